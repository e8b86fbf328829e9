# Native (Linux) build: the portable core, its unit tests with the sanitizers, and benchmarks.
find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)
include(GoogleTest)

set(TRAFIMO_SANITIZERS -fsanitize=address,undefined -fno-omit-frame-pointer
                       -fno-sanitize-recover=all)

# The core as the tests see it: with AddressSanitizer and UBSan.
trafimo_core_library(trafimo_core)
target_compile_options(trafimo_core PUBLIC ${TRAFIMO_SANITIZERS})
target_link_options(trafimo_core PUBLIC ${TRAFIMO_SANITIZERS})

file(GLOB_RECURSE TRAFIMO_NATIVE_TESTS CONFIGURE_DEPENDS tests/*_test.cpp)
add_executable(trafimo_tests ${TRAFIMO_NATIVE_TESTS} ${TRAFIMO_TEST_SUPPORT})
target_include_directories(trafimo_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(trafimo_tests PRIVATE trafimo_core GTest::gtest GTest::gmock GTest::gtest_main)
gtest_discover_tests(trafimo_tests DISCOVERY_MODE PRE_TEST TEST_PREFIX "native.")

# The core as the benchmarks measure it: optimised, no sanitizers.
trafimo_core_library(trafimo_core_bench)
target_compile_options(trafimo_core_bench PRIVATE -O2)
file(GLOB_RECURSE TRAFIMO_BENCHMARKS CONFIGURE_DEPENDS bench/*_bench.cpp)
if(TRAFIMO_BENCHMARKS)
  add_executable(trafimo_bench ${TRAFIMO_BENCHMARKS} ${TRAFIMO_TEST_SUPPORT})
  target_compile_options(trafimo_bench PRIVATE -O2)
  target_include_directories(trafimo_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(trafimo_bench PRIVATE trafimo_core_bench benchmark::benchmark
                                              benchmark::benchmark_main)
endif()
