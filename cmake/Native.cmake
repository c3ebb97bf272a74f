# Native tree: the portable core, its tests and benchmarks.
find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(kavrin_core_tests ${KAVRIN_CORE_TESTS})
target_link_libraries(kavrin_core_tests PRIVATE kavrin_core GTest::gtest GTest::gtest_main)
gtest_discover_tests(kavrin_core_tests DISCOVERY_MODE PRE_TEST)

# Kernel throughput (bench/kernels.sh); zlib's crc32() joins as the reference when present.
find_package(benchmark QUIET)
find_package(ZLIB QUIET)
if(benchmark_FOUND)
  add_executable(kavrin_bench bench/Crc32_bench.cpp)
  target_link_libraries(kavrin_bench PRIVATE kavrin_core benchmark::benchmark)
  if(ZLIB_FOUND)
    target_compile_definitions(kavrin_bench PRIVATE KAVRIN_BENCH_ZLIB)
    target_link_libraries(kavrin_bench PRIVATE ZLIB::ZLIB)
  endif()
endif()

# libFuzzer targets, built with their own instrumented copies of the sources they test. Only
# clang has libFuzzer: the "fuzz" preset builds them (scripts/fuzz.sh runs them).
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  get_target_property(KAVRIN_CORE_SOURCES kavrin_core SOURCES)
  function(kavrin_fuzz_target name source)
    add_executable(${name} ${source} ${KAVRIN_CORE_SOURCES})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/fuzz)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  endfunction()
  kavrin_fuzz_target(kavrin_crc_fuzz fuzz/CrcPaths_fuzz.cpp)
  kavrin_fuzz_target(kavrin_sfv_reader_fuzz fuzz/SfvReader_fuzz.cpp)
  kavrin_fuzz_target(kavrin_sfv_paths_fuzz fuzz/SfvPaths_fuzz.cpp)
  kavrin_fuzz_target(kavrin_size_text_fuzz fuzz/SizeText_fuzz.cpp)
  kavrin_fuzz_target(kavrin_version_file_fuzz fuzz/VersionFile_fuzz.cpp)
endif()
