# The virtual Windows machine, the simulator command and the tests.
find_package(GTest REQUIRED)
find_package(benchmark QUIET)
find_package(CLI11 REQUIRED)
find_package(nlohmann_json REQUIRED)

file(GLOB_RECURSE VM_SOURCES CONFIGURE_DEPENDS src/platform/vm/*.cpp)
add_library(setup_vm STATIC ${VM_SOURCES})
target_include_directories(setup_vm PUBLIC src)
target_link_libraries(setup_vm PUBLIC setup_logic nlohmann_json::nlohmann_json)

file(GLOB SIM_LIB_SOURCES CONFIGURE_DEPENDS tools/setupsim/*.cpp)
list(FILTER SIM_LIB_SOURCES EXCLUDE REGEX "main\\.cpp$")
add_library(setupsim_lib STATIC ${SIM_LIB_SOURCES})
target_include_directories(setupsim_lib PUBLIC src tools)
target_link_libraries(setupsim_lib PUBLIC setup_vm)
target_link_libraries(setupsim_lib PUBLIC CLI11::CLI11)

add_executable(setupsim tools/setupsim/main.cpp)
target_link_libraries(setupsim PRIVATE setupsim_lib)

enable_testing()
file(GLOB_RECURSE TEST_SOURCES CONFIGURE_DEPENDS tests/*.cpp)
list(FILTER TEST_SOURCES EXCLUDE REGEX "/tests/wine/")
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

if(benchmark_FOUND AND NOT SETUP_SANITIZE)
  file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS bench/*.cpp)
  if(BENCH_SOURCES)
    add_executable(setup_bench ${BENCH_SOURCES})
    target_link_libraries(setup_bench PRIVATE setupsim_lib benchmark::benchmark)
    target_compile_definitions(setup_bench PRIVATE SETUP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  endif()
endif()
