# tarrow.exe: a 32-bit GUI program for every Windows from the first Windows 95 on a 486.
# Its own entry point, CRTDLL.DLL (the C runtime DLL the first Windows 95 ships) and its own
# compiler helpers (base/runtime_win32.cpp) keep the compiler's start-up code and runtime
# libraries out: those are built for later processors. The Windows headers are held to the
# oldest target's records.
enable_language(RC)

set(TARROW_WIN32_COMPILE_OPTIONS
    ${TARROW_WARNINGS} -march=i486 -mtune=i486 -Os -fno-exceptions -fno-rtti
    -fno-asynchronous-unwind-tables -fno-unwind-tables -fno-threadsafe-statics
    -fno-stack-protector)
set(TARROW_WIN32_DEFINITIONS _WIN32_WINNT=0x0400 WINVER=0x0400 _WIN32_IE=0x0300)
set(TARROW_WIN32_LINK_OPTIONS
    -nostartfiles -nostdlib -mwindows -s
    -Wl,--subsystem,windows:4.0
    -Wl,--major-os-version,4 -Wl,--minor-os-version,0
    -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0)
set(TARROW_WIN32_LIBRARIES
    comctl32 user32 gdi32 advapi32 version winmm wsock32 kernel32 crtdll)
set(CMAKE_CXX_STANDARD_LIBRARIES "")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/resources")

# The processor code is kept apart, in a library of its own, so the map file names it for
# the audit (the only code that may hold the guarded processor instructions) and so the
# benchmark can build the program once without it.
set(TARROW_WIN32_APP_SOURCES)
set(TARROW_WIN32_CPU_SOURCES)
foreach(source ${TARROW_COMMON_SOURCES} ${TARROW_WIN32_SOURCES})
  if(source MATCHES "/cpu/[^/]*$")
    list(APPEND TARROW_WIN32_CPU_SOURCES ${source})
  else()
    list(APPEND TARROW_WIN32_APP_SOURCES ${source})
  endif()
endforeach()

function(tarrow_win32_objects name)
  add_library(${name} OBJECT ${ARGN})
  target_compile_options(${name} PRIVATE ${TARROW_WIN32_COMPILE_OPTIONS})
  target_compile_definitions(${name} PRIVATE ${TARROW_WIN32_DEFINITIONS})
endfunction()

# Links a program from object libraries like tarrow.exe, with a map file beside it.
function(tarrow_win32_program name)
  add_executable(${name} WIN32 ${ARGN} ${CMAKE_SOURCE_DIR}/resources/tarrow.rc)
  target_link_options(${name} PRIVATE ${TARROW_WIN32_LINK_OPTIONS} -Wl,-e,_TarrowStartup@0
                      -Wl,-Map,${CMAKE_BINARY_DIR}/${name}.map)
  target_link_libraries(${name} PRIVATE ${TARROW_WIN32_LIBRARIES})
  set_target_properties(${name} PROPERTIES SUFFIX .exe
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()

# The inventory pass (with the guard it runs each probe in) is an object set of its own so
# the benchmark can leave it out.
set(TARROW_WIN32_INVENTORY_SOURCES ${TARROW_WIN32_APP_SOURCES})
list(FILTER TARROW_WIN32_INVENTORY_SOURCES INCLUDE REGEX "/(inventory|probe_guard)_win32\\.cpp$")
list(FILTER TARROW_WIN32_APP_SOURCES EXCLUDE REGEX "/(inventory|probe_guard)_win32\\.cpp$")
tarrow_win32_objects(tarrow_app_objects ${TARROW_WIN32_APP_SOURCES})
tarrow_win32_objects(tarrow_inventory_objects ${TARROW_WIN32_INVENTORY_SOURCES})
tarrow_win32_program(tarrow $<TARGET_OBJECTS:tarrow_app_objects>
                     $<TARGET_OBJECTS:tarrow_inventory_objects>)
if(TARROW_WIN32_CPU_SOURCES)
  add_library(tarrow_cpu STATIC ${TARROW_WIN32_CPU_SOURCES})
  target_compile_options(tarrow_cpu PRIVATE ${TARROW_WIN32_COMPILE_OPTIONS})
  target_compile_definitions(tarrow_cpu PRIVATE ${TARROW_WIN32_DEFINITIONS})
  # The system libraries as the library's own, so they follow it on the link line.
  target_link_libraries(tarrow_cpu INTERFACE ${TARROW_WIN32_LIBRARIES})
  target_link_libraries(tarrow PRIVATE tarrow_cpu)
endif()

add_subdirectory(tests/wine)
add_subdirectory(tests/audit)
add_subdirectory(tests/bench)
