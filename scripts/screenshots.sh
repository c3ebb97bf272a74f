#!/bin/sh
# Poses the Create dialog and the progress dialog on a virtual X server with a Wine desktop and
# saves them as docs/create-dialog.png and docs/progress-dialog.png.
# Usage: scripts/screenshots.sh   (after the windows build)
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
prefix="$root/build/windows/wineprefix-shots"
shots="$root/build/shots"
rm -rf "$shots"
mkdir -p "$shots" docs
export WINEARCH=win32 WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
display=:$(( ($$ % 400) + 100 ))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
sleep 1
scripts/wine-prefix.sh "$prefix" desktop
export KAVRIN_SHOTS="$(winepath -w "$shots")"

take() {  # pose name, output file
  for _ in $(seq 1 120); do
    [ -f "$shots/$1.ready" ] && break
    sleep 0.5
  done
  sleep 1
  import -display "$DISPLAY" -window root "$2"
  touch "$shots/$1.done"
}

for pose in create progress; do
  case $pose in
    create) filter=DISABLED_Screenshots.CreateDialogWithRows; out=docs/create-dialog.png ;;
    progress) filter=DISABLED_Screenshots.CreateDialogAndProgress; out=docs/progress-dialog.png ;;
  esac
  (cd build/windows && wine kavrin_tests.exe --gtest_also_run_disabled_tests --gtest_filter="$filter" \
     </dev/null >/dev/null 2>&1) &
  run_pid=$!
  take "$pose" "$out"
  wait "$run_pid" || true
done
wineserver -k >/dev/null 2>&1 || true
kill "$xvfb_pid" 2>/dev/null || true
echo "Saved docs/create-dialog.png and docs/progress-dialog.png"
