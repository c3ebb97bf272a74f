#!/bin/sh
# Builds kavrin.exe and runs it under Wine, optionally with an SFV file to verify.
# With a display the window opens there. Without one the program runs on a virtual X server
# (Xvfb) and a screenshot is saved to build/screenshot.png once the window is up.
# Usage: scripts/run.sh [file.sfv]
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/setup-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target kavrin

prefix="$root/build/windows/wineprefix-run"
export WINEARCH=win32 WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  display=:$(( ($$ % 400) + 100 ))
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY="$display"
  sleep 1
fi
scripts/wine-prefix.sh "$prefix" desktop

set -- "$@"
if [ $# -gt 0 ]; then
  sfv=$(winepath -w "$(readlink -f "$1")" 2>/dev/null)
  set -- "$sfv"
fi

if [ -z "$xvfb_pid" ]; then
  exec wine "$root/build/windows/kavrin.exe" "$@"
fi

wine "$root/build/windows/kavrin.exe" "$@" >/dev/null 2>&1 &
app_pid=$!
# Wait until the program's window is on the virtual desktop, then give it a moment to paint.
for _ in $(seq 1 60); do
  if xwininfo -root -tree 2>/dev/null | grep -q '"Kavrin'; then break; fi
  sleep 0.5
done
sleep 3
shot="$root/build/screenshot.png"
import -display "$DISPLAY" -window root "$shot"
echo "No display: the program ran on a virtual X server; its screenshot is $shot"
wineserver -k >/dev/null 2>&1 || true
kill "$app_pid" 2>/dev/null || true
kill "$xvfb_pid" 2>/dev/null || true
