# setup.exe: the logic on the Win32 backend, with the dialog resources.
file(GLOB_RECURSE WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
file(GLOB RC_SOURCES CONFIGURE_DEPENDS src/resources/*.rc)
add_executable(setup WIN32 ${WIN32_SOURCES} ${RC_SOURCES})
set_target_properties(setup PROPERTIES OUTPUT_NAME setup SUFFIX .exe)
target_include_directories(setup PRIVATE src)
target_link_libraries(setup PRIVATE setup_logic)
# Loadable on Windows 95: subsystem and OS version 4.0, no run-time DLLs.
target_link_options(setup PRIVATE -static -static-libgcc -static-libstdc++ -s
  -Wl,--subsystem,windows:4.0 -Wl,--major-os-version,4 -Wl,--minor-os-version,0)
target_link_libraries(setup PRIVATE user32 gdi32 advapi32 kernel32)

# Small Windows programs the end-to-end tests start (win64 build only).
if(EXISTS ${CMAKE_SOURCE_DIR}/tests/wine/programs/CMakeLists.txt)
  add_subdirectory(tests/wine/programs)
endif()
