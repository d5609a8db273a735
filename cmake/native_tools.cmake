# The virtual Windows machine, the simulator command and the tests.
find_package(GTest REQUIRED)
find_package(benchmark QUIET)
find_package(CLI11 REQUIRED)
find_package(nlohmann_json REQUIRED)

file(GLOB_RECURSE VM_SOURCES CONFIGURE_DEPENDS src/platform/vm/*.cpp)
add_library(setup_vm STATIC ${VM_SOURCES})
target_include_directories(setup_vm PUBLIC src)
target_link_libraries(setup_vm PUBLIC setup_journal setup_faults nlohmann_json::nlohmann_json)

# >>> Resource scripts embedded in setup_vm (cmake/embed_resources.cmake): the
# virtual machine reads the dialog templates setup.exe is built from.
file(GLOB EMBEDDED_RESOURCE_FILES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/resources/*.rc
  ${CMAKE_SOURCE_DIR}/src/resources/*.rci
  ${CMAKE_SOURCE_DIR}/src/resources/*.h)
set(EMBEDDED_RESOURCES_CPP ${CMAKE_BINARY_DIR}/generated/embedded_resources_data.cpp)
add_custom_command(
  OUTPUT ${EMBEDDED_RESOURCES_CPP}
  COMMAND ${CMAKE_COMMAND} -DRESOURCE_DIR=${CMAKE_SOURCE_DIR}/src/resources
          -DOUTPUT=${EMBEDDED_RESOURCES_CPP} -P ${CMAKE_SOURCE_DIR}/cmake/embed_resources.cmake
  DEPENDS ${EMBEDDED_RESOURCE_FILES} ${CMAKE_SOURCE_DIR}/cmake/embed_resources.cmake
  COMMENT "Embedding the resource scripts for the virtual machine"
  VERBATIM)
target_sources(setup_vm PRIVATE ${EMBEDDED_RESOURCES_CPP})
# <<< Resource scripts embedded in setup_vm

file(GLOB SIM_LIB_SOURCES CONFIGURE_DEPENDS tools/setupsim/*.cpp)
list(FILTER SIM_LIB_SOURCES EXCLUDE REGEX "main\\.cpp$")
add_library(setupsim_lib STATIC ${SIM_LIB_SOURCES})
target_include_directories(setupsim_lib PUBLIC src tools)
target_link_libraries(setupsim_lib PUBLIC setup_logic setup_vm)
target_link_libraries(setupsim_lib PUBLIC CLI11::CLI11)

add_executable(setupsim tools/setupsim/main.cpp)
target_link_libraries(setupsim PRIVATE setupsim_lib)

# libFuzzer targets: only a clang configuration with SETUP_FUZZ on builds them (scripts/run-fuzzers).
add_subdirectory(tests/fuzz)

enable_testing()
if(NOT SETUP_SANITIZE)
  add_test(NAME floors.includes_point_down COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-floors)
endif()
file(GLOB_RECURSE TEST_SOURCES CONFIGURE_DEPENDS tests/*.cpp)
list(FILTER TEST_SOURCES EXCLUDE REGEX "/tests/wine/")

# >>> Fault campaign (tools/fault_campaign): its flows and judges as a library
# that the fault_campaign command, unit_tests (which runs a campaign),
# setup_bench and the fuzzers' oracles link.
file(GLOB CAMPAIGN_SOURCES CONFIGURE_DEPENDS tools/fault_campaign/*.cpp)
list(FILTER CAMPAIGN_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(campaign_scenarios STATIC ${CAMPAIGN_SOURCES})
target_include_directories(campaign_scenarios PUBLIC tools)
target_link_libraries(campaign_scenarios PUBLIC setupsim_lib)
target_compile_definitions(campaign_scenarios PRIVATE SETUP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_executable(fault_campaign tools/fault_campaign/main.cpp)
target_link_libraries(fault_campaign PRIVATE campaign_scenarios)
list(FILTER TEST_SOURCES EXCLUDE REGEX "/tests/fuzz/fuzz_main\\.cpp$")
# unit_tests and setup_bench are made further down.
function(link_campaign_scenarios)
  foreach(target unit_tests setup_bench)
    if(TARGET ${target})
      target_link_libraries(${target} PRIVATE campaign_scenarios)
    endif()
  endforeach()
endfunction()
cmake_language(DEFER CALL link_campaign_scenarios)
# <<< Fault campaign

add_executable(unit_tests ${TEST_SOURCES})
target_include_directories(unit_tests PRIVATE tests)
target_link_libraries(unit_tests PRIVATE setupsim_lib GTest::gtest GTest::gtest_main)
target_compile_definitions(unit_tests PRIVATE
  SETUP_SOURCE_DIR="${CMAKE_SOURCE_DIR}" SETUPSIM_PATH="$<TARGET_FILE:setupsim>")
include(GoogleTest)
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/wine/CMakeLists.txt)
  add_subdirectory(tests/wine)
endif()

# >>> Windows 95 loadability of build/win32/setup.exe (tests/imports)
if(NOT SETUP_SANITIZE AND EXISTS ${CMAKE_SOURCE_DIR}/tests/imports/CMakeLists.txt)
  add_subdirectory(tests/imports)
endif()
# <<< Windows 95 loadability of build/win32/setup.exe

if(benchmark_FOUND AND NOT SETUP_SANITIZE)
  file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS bench/*.cpp)
  if(BENCH_SOURCES)
    add_executable(setup_bench EXCLUDE_FROM_ALL ${BENCH_SOURCES})
    target_link_libraries(setup_bench PRIVATE setupsim_lib benchmark::benchmark)
    target_compile_definitions(setup_bench PRIVATE SETUP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  endif()
endif()
