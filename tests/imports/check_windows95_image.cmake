# Fails unless the PE image IMAGE keeps to what Windows 95 can load:
#   cmake -DOBJDUMP=i686-w64-mingw32-objdump -DIMAGE=setup.exe -DC_RUNTIME=msvcrt.dll
#         -P check_windows95_image.cmake
# - a 32-bit image for the GUI subsystem, subsystem and OS version 4.0;
# - static imports only from the system DLLs every Windows 95 has and the
#   program needs, and from the C run-time DLL C_RUNTIME (the Setup API, the
#   Configuration Manager and the mixer are loaded at run time);
# - no wide function imported (a name ending in "W"): Windows 95 has them as
#   stubs that fail;
# - no iostreams linked in: their type information names std::ios_base;
# - with -DMAX_BYTES=N, no larger than N bytes.
# Every problem found is listed, one per line.
cmake_minimum_required(VERSION 3.20)
set(WINDOWS95_DLLS KERNEL32.DLL USER32.DLL GDI32.DLL ADVAPI32.DLL)

if(NOT OBJDUMP OR NOT IMAGE OR NOT C_RUNTIME)
  message(FATAL_ERROR "usage: cmake -DOBJDUMP=... -DIMAGE=... -DC_RUNTIME=... -P check_windows95_image.cmake")
endif()
if(NOT EXISTS "${IMAGE}")
  message(FATAL_ERROR "${IMAGE} is missing: build the win32 preset first "
                      "(cmake --preset win32 && cmake --build build/win32 -j2)")
endif()
execute_process(COMMAND "${OBJDUMP}" -p "${IMAGE}"
  OUTPUT_VARIABLE dump ERROR_VARIABLE dump_errors RESULT_VARIABLE dumped)
if(NOT dumped EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${IMAGE} failed (${dumped}): ${dump_errors}")
endif()

set(problems "")
if(NOT dump MATCHES "file format pei-i386")
  list(APPEND problems "not a 32-bit x86 image")
endif()
foreach(field MajorOSystemVersion MinorOSystemVersion MajorSubsystemVersion MinorSubsystemVersion Subsystem)
  if(dump MATCHES "\n${field}[ \t]+([0-9a-fA-F]+)")
    math(EXPR value "0x${CMAKE_MATCH_1}")  # Subsystem is printed in hex, the versions are single digits
    set(${field} ${value})
  else()
    list(APPEND problems "no ${field} in the PE header")
  endif()
endforeach()
if(NOT "${MajorOSystemVersion}.${MinorOSystemVersion}" STREQUAL "4.0")
  list(APPEND problems "OS version ${MajorOSystemVersion}.${MinorOSystemVersion}, not 4.0")
endif()
if(NOT "${MajorSubsystemVersion}.${MinorSubsystemVersion}" STREQUAL "4.0")
  list(APPEND problems "subsystem version ${MajorSubsystemVersion}.${MinorSubsystemVersion}, not 4.0")
endif()
if(NOT Subsystem EQUAL 2)
  list(APPEND problems "subsystem ${Subsystem}, not 2 (Windows GUI)")
endif()

string(TOUPPER "${C_RUNTIME}" allowed)
list(APPEND allowed ${WINDOWS95_DLLS})
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
if(NOT imports)
  list(APPEND problems "no import table found")
endif()
set(names "")
foreach(import IN LISTS imports)
  string(REGEX REPLACE "^DLL Name: " "" name "${import}")
  string(STRIP "${name}" name)
  list(APPEND names "${name}")
  string(TOUPPER "${name}" upper)
  if(NOT upper IN_LIST allowed)
    list(APPEND problems "imports ${name}, not one of ${WINDOWS95_DLLS} ${C_RUNTIME}")
  endif()
endforeach()

string(REGEX MATCHALL "\n\t[0-9a-fA-F]+\t +[0-9]+  [A-Za-z0-9_]+W\n" wide "${dump}\n")
foreach(line IN LISTS wide)
  string(REGEX REPLACE ".* " "" function "${line}")
  string(STRIP "${function}" function)
  list(APPEND problems "imports ${function}, a wide function Windows 95 only stubs")
endforeach()
if(MAX_BYTES)
  file(SIZE "${IMAGE}" bytes)
  if(bytes GREATER MAX_BYTES)
    list(APPEND problems "${bytes} bytes, more than ${MAX_BYTES} (make size shows where they go)")
  endif()
endif()

file(STRINGS "${IMAGE}" iostreams REGEX "St8ios_base" LIMIT_COUNT 1)
if(iostreams)
  list(APPEND problems "iostreams are linked in (type information of std::ios_base)")
endif()

if(problems)
  list(JOIN problems "\n  " listed)
  message(FATAL_ERROR "${IMAGE} is not fit for Windows 95:\n  ${listed}")
endif()
list(JOIN names ", " listed)
message(STATUS "${IMAGE}: Windows GUI 4.0, imports ${listed}")
