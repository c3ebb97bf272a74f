#!/bin/sh
# End to end under Wine: the real verification and creation runs over one 1 GiB file and over
# 10,000 files of 4 KiB, page-cached, each beside cat, 7z h -scrcCRC32 and rhash --crc32 over the
# same files in the same repetition; then what a cross-thread control update and a pause-event
# wait cost. Data goes to build/bench-data (about 1.1 GB). The 10,000 small files take minutes a
# repetition under Wine.
# Usage: bench/end-to-end.sh [repetitions, default 5] [runs: verify,create (default), verify, create]
#        [more options of bench/end_to_end.py: --sets big|small, --build DIR]
set -eu
cd "$(dirname "$0")/.."
bench/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target kavrin_verify_bench kavrin_create_bench kavrin_wine_costs >/dev/null
prefix=build/windows/wineprefix-bench
scripts/wine-prefix.sh "$prefix" null
export WINEARCH=win32 WINEPREFIX="$(cd "$prefix" && pwd)" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY || true
# The server first, with its output away from ours (as scripts/wine-ctest.sh does).
wineserver -p </dev/null >/dev/null 2>&1
wine wineboot </dev/null >/dev/null 2>&1
# The association is already made, so the window asks nothing at start.
wine regedit /S "$(winepath -w tests/wineprefix.reg)" </dev/null >/dev/null 2>&1
status=0
reps=${1:-5}
runs=${2:-verify,create}
[ $# -gt 0 ] && shift
[ $# -gt 0 ] && shift
python3 bench/end_to_end.py --reps "$reps" --runs "$runs" "$@" || status=$?
wineserver -k || true
exit $status
