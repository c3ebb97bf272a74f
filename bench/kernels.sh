#!/bin/sh
# CRC-32 kernel throughput in memory, 64 KiB chunks: every path this processor offers, CrcUpdate
# as the program calls it, and zlib's crc32() as the reference. Reports mean, median and spread
# of 7 repetitions; the GB/s column is decimal gigabytes per second.
# Usage: bench/kernels.sh [more Google Benchmark flags]
set -eu
cd "$(dirname "$0")/.."
bench/setup.sh
cmake --preset native >/dev/null
cmake --build --preset native --target kavrin_bench >/dev/null
lscpu | grep 'Model name'
build/native/kavrin_bench --benchmark_repetitions=7 --benchmark_report_aggregates_only=true "$@"
