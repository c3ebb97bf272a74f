#!/bin/sh
# Installs what the benchmarks and the fuzz target need beyond the test command's packages: zlib
# (the reference crc32()), 7-Zip and RHash (peers), fincore (util-linux), Python for the
# end-to-end driver, clang for libFuzzer. Does nothing when they are all present. Run as root.
set -eu
cd "$(dirname "$0")/.."
scripts/setup-deps.sh zlib1g-dev p7zip-full rhash util-linux python3 clang
