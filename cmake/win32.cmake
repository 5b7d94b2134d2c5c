# tarrow.exe: a 32-bit GUI program for every Windows from the first Windows 95 on a 486.
# Its own entry point and the C runtime DLL's functions keep the compiler's start-up code
# and runtime libraries out; the Windows headers are held to the oldest target's records.
enable_language(RC)

set(TARROW_WIN32_COMPILE_OPTIONS
    ${TARROW_WARNINGS} -march=i486 -mtune=i486 -Os -fno-exceptions -fno-rtti
    -fno-asynchronous-unwind-tables -fno-unwind-tables -fno-threadsafe-statics
    -fno-stack-protector)
set(TARROW_WIN32_DEFINITIONS _WIN32_WINNT=0x0400 WINVER=0x0400 _WIN32_IE=0x0300)
set(TARROW_WIN32_LINK_OPTIONS
    -nostartfiles -nostdlib -static-libgcc -mwindows -s
    -Wl,--subsystem,windows:4.0
    -Wl,--major-os-version,4 -Wl,--minor-os-version,0
    -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0)
set(TARROW_WIN32_LIBRARIES
    comctl32 user32 gdi32 advapi32 version winmm wsock32 kernel32 msvcrt gcc)
set(CMAKE_CXX_STANDARD_LIBRARIES "")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/resources")

add_executable(tarrow WIN32
    ${TARROW_COMMON_SOURCES} ${TARROW_WIN32_SOURCES} ${CMAKE_SOURCE_DIR}/resources/tarrow.rc)
target_compile_options(tarrow PRIVATE ${TARROW_WIN32_COMPILE_OPTIONS})
target_compile_definitions(tarrow PRIVATE ${TARROW_WIN32_DEFINITIONS})
target_link_options(tarrow PRIVATE ${TARROW_WIN32_LINK_OPTIONS} -Wl,-e,_TarrowStartup@0)
target_link_libraries(tarrow PRIVATE ${TARROW_WIN32_LIBRARIES})
set_target_properties(tarrow PROPERTIES OUTPUT_NAME tarrow SUFFIX .exe
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

add_subdirectory(tests/wine)
