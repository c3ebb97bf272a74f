# Native tree: the portable core, its tests and benchmarks.
find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(kavrin_core_tests
  tests/engine/Crc32_ut.cpp
  tests/engine/CrcPaths_ut.cpp
  tests/engine/HashStream_ut.cpp
  tests/engine/SfvReader_ut.cpp
  tests/engine/SfvWriter_ut.cpp
  tests/engine/RelativePath_ut.cpp
  tests/engine/SizeText_ut.cpp
  tests/engine/PathText_ut.cpp
  tests/app/CommandLineScan_ut.cpp
  tests/shell/VersionFile_ut.cpp
)
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

# libFuzzer target comparing the CRC-32 paths with the byte-table rule. Only clang has libFuzzer:
# the "fuzz" preset builds it (see README). Its own instrumented copy of the CRC sources.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_executable(kavrin_crc_fuzz fuzz/CrcPaths_fuzz.cpp
    engine/Crc32.cpp engine/CrcPaths.cpp engine/CrcSlice16.cpp engine/CrcPclmul.cpp engine/CrcVpclmul.cpp
    engine/CpuFeatures.cpp)
  target_include_directories(kavrin_crc_fuzz PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(kavrin_crc_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(kavrin_crc_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
endif()
