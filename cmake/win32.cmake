# tarrow.exe: a 32-bit GUI program for every Windows from the first Windows 95 on a 486.
# Its own entry point, CRTDLL.DLL (the C runtime DLL the first Windows 95 ships) and its own
# compiler helpers (base/runtime_win32.cpp) keep the compiler's start-up code and runtime
# libraries out: those are built for later processors. The Windows headers are held to the
# oldest target's records.
#
# tarrow64.exe, in a tree of its own (build/win64): the same program for 64-bit Windows from
# XP x64 and Server 2003 x64 on, for the x86-64 processors' common instruction set. It takes
# MSVCRT.DLL, the C runtime DLL every 64-bit Windows ships, and keeps the unwind tables: a
# probe's fault is dispatched and unwound through them (app/probe_guard_win64.cpp). It is
# compiled from the same sources with the same headers, so it takes the same branches for
# Windows 95 to NT 4.0 that the Wine bench reaches through Wine's version settings.
#
# Both import only the DLLs Windows always maps from its own folder. The C runtime and every
# other DLL are loaded at start from the system folder by full path (base/system_dll*.cpp),
# so no import library of theirs is linked.
enable_language(RC)

if(TARROW_WIN64)
  set(TARROW_PROGRAM_NAME tarrow64)
  set(TARROW_ARCH_OPTIONS -march=x86-64 -mtune=generic)
  set(TARROW_UNWIND_OPTIONS) # the unwind tables stay
  set(TARROW_WINDOWS_MAJOR 5)
  set(TARROW_WINDOWS_MINOR 2)
  set(TARROW_SUBSYSTEM windows:5.02)
  # No decoration of C names on x64.
  set(TARROW_STARTUP_SYMBOL TarrowStartup)
else()
  set(TARROW_PROGRAM_NAME tarrow)
  set(TARROW_ARCH_OPTIONS -march=i486 -mtune=i486)
  set(TARROW_UNWIND_OPTIONS -fno-asynchronous-unwind-tables -fno-unwind-tables)
  set(TARROW_WINDOWS_MAJOR 4)
  set(TARROW_WINDOWS_MINOR 0)
  set(TARROW_SUBSYSTEM windows:4.0)
  set(TARROW_STARTUP_SYMBOL _TarrowStartup@0)
endif()
set(TARROW_WIN32_COMPILE_OPTIONS
    ${TARROW_WARNINGS} ${TARROW_ARCH_OPTIONS} -Os -fno-exceptions -fno-rtti
    ${TARROW_UNWIND_OPTIONS} -fno-threadsafe-statics -fno-stack-protector)
set(TARROW_WIN32_LINK_OPTIONS
    -nostartfiles -nostdlib -mwindows -s
    -Wl,--subsystem,${TARROW_SUBSYSTEM}
    -Wl,--major-os-version,${TARROW_WINDOWS_MAJOR}
    -Wl,--minor-os-version,${TARROW_WINDOWS_MINOR}
    -Wl,--major-subsystem-version,${TARROW_WINDOWS_MAJOR}
    -Wl,--minor-subsystem-version,${TARROW_WINDOWS_MINOR})
set(TARROW_WIN32_DEFINITIONS _WIN32_WINNT=0x0400 WINVER=0x0400 _WIN32_IE=0x0300)
set(TARROW_WIN32_LIBRARIES user32 gdi32 advapi32 kernel32)
set(CMAKE_CXX_STANDARD_LIBRARIES "")

# Every date a build writes is the commit's, so that two builds of one commit, in any folder
# and at any time, give the same bytes: SOURCE_DATE_EPOCH where it is set, else the time of
# the commit the tree is at, else a fixed date outside a git checkout (scripts/make-dist.py
# takes the zip's dates the same way). The linker writes it as each program's link time; a
# new date relinks them.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(TARROW_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE TARROW_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                    ERROR_QUIET)
  endif()
endif()
if(NOT TARROW_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  set(TARROW_SOURCE_DATE_EPOCH 1767225600) # 2026-01-01 00:00:00 UTC
endif()
set_property(GLOBAL PROPERTY RULE_LAUNCH_LINK
             "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${TARROW_SOURCE_DATE_EPOCH}")
set(TARROW_SOURCE_DATE_FILE ${CMAKE_BINARY_DIR}/source-date-epoch.txt)
file(WRITE ${TARROW_SOURCE_DATE_FILE}.new "${TARROW_SOURCE_DATE_EPOCH}\n")
configure_file(${TARROW_SOURCE_DATE_FILE}.new ${TARROW_SOURCE_DATE_FILE} COPYONLY)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/resources")

# tarrow64.exe's manifest: tarrow.manifest naming the x64 processor architecture, written
# into the tree whenever tarrow.manifest changes (resources/tarrow.rc picks it).
if(TARROW_WIN64)
  set(manifest ${CMAKE_SOURCE_DIR}/resources/tarrow.manifest)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${manifest})
  file(READ ${manifest} text)
  string(REPLACE "processorArchitecture=\"x86\"" "processorArchitecture=\"amd64\"" text64
                 "${text}")
  if(text64 STREQUAL text)
    message(FATAL_ERROR "${manifest} names no processorArchitecture=\"x86\" to replace")
  endif()
  file(WRITE ${CMAKE_BINARY_DIR}/resources/tarrow64.manifest.new "${text64}")
  configure_file(${CMAKE_BINARY_DIR}/resources/tarrow64.manifest.new
                 ${CMAKE_BINARY_DIR}/resources/tarrow64.manifest COPYONLY)
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_BINARY_DIR}/resources")
endif()

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

# Links a program from object libraries like tarrow.exe, with a map file beside it. The
# program itself takes the name of its tree's architecture; its copies keep their own.
function(tarrow_win32_program name)
  set(output ${name})
  if(name STREQUAL "tarrow")
    set(output ${TARROW_PROGRAM_NAME})
  endif()
  add_executable(${name} WIN32 ${ARGN} ${CMAKE_SOURCE_DIR}/resources/tarrow.rc)
  target_link_options(${name} PRIVATE ${TARROW_WIN32_LINK_OPTIONS}
                      -Wl,-e,${TARROW_STARTUP_SYMBOL} -Wl,-Map,${CMAKE_BINARY_DIR}/${output}.map)
  target_link_libraries(${name} PRIVATE ${TARROW_WIN32_LIBRARIES})
  set_target_properties(${name} PROPERTIES OUTPUT_NAME ${output} SUFFIX .exe
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}
                        LINK_DEPENDS ${TARROW_SOURCE_DATE_FILE})
endfunction()

# The inventory pass (with the guard it runs each probe in) is an object set of its own so
# the benchmark can leave it out.
set(TARROW_WIN32_INVENTORY_SOURCES ${TARROW_WIN32_APP_SOURCES})
set(TARROW_INVENTORY_PATTERN "/(inventory|probe_guard)_win(32|64)\\.cpp$")
list(FILTER TARROW_WIN32_INVENTORY_SOURCES INCLUDE REGEX ${TARROW_INVENTORY_PATTERN})
list(FILTER TARROW_WIN32_APP_SOURCES EXCLUDE REGEX ${TARROW_INVENTORY_PATTERN})
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
