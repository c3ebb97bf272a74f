#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan) and runs each for the
# given number of seconds (default 600), seeded from fuzz/corpus/. New inputs go to
# build/fuzz/corpus/, findings to build/fuzz/findings/. Usage: scripts/fuzz.sh [seconds]
set -eu -o pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
scripts/setup-deps.sh clang
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/findings
status=0
for pair in kavrin_crc_fuzz:crc_paths kavrin_sfv_reader_fuzz:sfv-reader kavrin_sfv_paths_fuzz:sfv-paths \
            kavrin_size_text_fuzz:size-text kavrin_version_file_fuzz:version-file; do
  target=${pair%%:*}
  corpus=${pair#*:}
  mkdir -p "build/fuzz/corpus/$corpus"
  seeds="fuzz/corpus/$corpus"
  [ -d "$seeds" ] || seeds=""
  echo "== $target for ${seconds}s"
  if ! "build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="build/fuzz/findings/$target-" "build/fuzz/corpus/$corpus" $seeds \
      >"build/fuzz/$target.log" 2>&1; then
    status=1
    echo "FINDING: see build/fuzz/$target.log and build/fuzz/findings/"
  fi
  grep -E '^(Done|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY)' "build/fuzz/$target.log" || true
done
exit $status
