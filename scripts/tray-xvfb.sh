#!/bin/sh
# Checks the notification-area icon against Wine's real notification area: runs the tests that
# call Shell_NotifyIconW for real on a virtual X server, in an X11 prefix of the build folder
# (the test prefix uses the null driver, which has no notification area).
# Usage: scripts/tray-xvfb.sh BUILD_FOLDER
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
prefix="$build/wineprefix-x11"
export WINEARCH=win32 WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

display=:$(( ($$ % 400) + 500 ))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'wineserver -k >/dev/null 2>&1 || true; kill "$xvfb_pid" 2>/dev/null || true' EXIT
export DISPLAY="$display"
sleep 1
mkdir -p "$prefix"
if [ ! -f "$prefix/.kavrin-ready" ]; then
  echo "Creating the Wine prefix $prefix (once)..."
  wineboot -i >/dev/null 2>&1 </dev/null
  wineserver -w
  touch "$prefix/.kavrin-ready"
fi
wineserver -p </dev/null >/dev/null 2>&1
wine wineboot </dev/null >/dev/null 2>&1
cd "$build"
wine "$build/kavrin_tests.exe" --gtest_filter='TrayIconSystem.*' </dev/null
