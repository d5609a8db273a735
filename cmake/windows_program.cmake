# setup.exe: the logic on the Win32 backend, with the dialog resources. The
# backend is one library that the test programs link too.
file(GLOB_RECURSE WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
add_library(setup_win32 STATIC ${WIN32_SOURCES})
target_include_directories(setup_win32 PUBLIC src)
target_link_libraries(setup_win32 PUBLIC user32 gdi32 advapi32 kernel32)

# setup.exe's size (make size). The program neither throws nor catches (the
# library's throw helpers end it: src/program/cxx_runtime_stand_ins.cpp), so
# its code needs no landing pads, no type information and, on i686, no unwind
# tables. It has one thread, so a function-local static needs no guard (whose
# lock would import CreateSemaphoreW, a failing stub on Windows 95). One
# section a function lets the linker drop what nothing calls; std::string is
# compiled once (src/platform/win32/win32_string_instantiation.*). On i686
# the per-file clones of IPA-SRA and the inlining of small functions cost
# more bytes than they save.
set(SETUP_EXCEPTION_OPTIONS -fno-exceptions -fno-rtti -fno-threadsafe-statics -ffunction-sections -fdata-sections -fno-ident
  -include ${CMAKE_SOURCE_DIR}/src/platform/win32/win32_string_instantiation.h)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  list(APPEND SETUP_EXCEPTION_OPTIONS -fno-asynchronous-unwind-tables -fno-ipa-sra -fno-inline-small-functions
    -mpreferred-stack-boundary=2)
endif()
foreach(target setup_journal setup_logic setup_win32)
  target_compile_options(${target} PRIVATE ${SETUP_EXCEPTION_OPTIONS})
endforeach()

# The dialog resources, compiled once for setup.exe and the test programs.
file(GLOB RC_SOURCES CONFIGURE_DEPENDS src/resources/*.rc)
add_library(setup_resources OBJECT ${RC_SOURCES})

# The run-time stand-ins are setup.exe's alone: the test programs keep the
# library's own.
add_executable(setup WIN32 src/program/main.cpp src/program/cxx_runtime_stand_ins.cpp)
set_target_properties(setup PROPERTIES OUTPUT_NAME setup SUFFIX .exe)
target_link_libraries(setup PRIVATE setup_logic setup_win32 setup_resources)
target_compile_options(setup PRIVATE ${SETUP_EXCEPTION_OPTIONS})
# Loadable on Windows 95: subsystem and OS version 4.0, no run-time DLLs.
target_link_options(setup PRIVATE -static -static-libgcc -static-libstdc++ -s
  -Wl,--subsystem,windows:4.0 -Wl,--major-os-version,4 -Wl,--minor-os-version,0
  # No link time stamp: two builds of one commit give the same bytes.
  -Wl,--no-insert-timestamp
  # Functions and data nothing refers to stay out.
  -Wl,--gc-sections
  # An exe loads at its preferred base on every Windows it runs on.
  -Wl,--disable-reloc-section
  # What each library and object takes up, for make size (scripts/size-report).
  -Wl,-Map,${CMAKE_BINARY_DIR}/setup.map)

# Windows programs the Wine tests run beside setup.exe.
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/wine/programs/CMakeLists.txt)
  add_subdirectory(tests/wine/programs)
endif()

# The dialogs one at a time, for make screenshots.
add_subdirectory(tools/screenshots)
