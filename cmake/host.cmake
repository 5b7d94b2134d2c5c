# The platform-neutral logic, built natively and unit-tested with GoogleTest.
find_package(GTest REQUIRED)

option(TARROW_SANITIZE "Build the host tree with AddressSanitizer and UBSan" OFF)
if(TARROW_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

add_library(tarrow_core STATIC ${TARROW_COMMON_SOURCES} ${TARROW_HOST_SOURCES})
target_compile_options(tarrow_core PRIVATE ${TARROW_WARNINGS})
target_include_directories(tarrow_core PUBLIC ${CMAKE_SOURCE_DIR})

add_subdirectory(tests/host)
add_subdirectory(tests/tools)
if(NOT TARROW_SANITIZE)  # scripts only: nothing for the sanitizers to watch
  add_subdirectory(tests/setup)
endif()
