#!/bin/sh
# Runs the Windows tree's tests under Wine. The wine server is started first, with its output
# away from CTest: otherwise CTest waits for Wine's helper processes that hold its pipes.
set -eu
build=$(cd "$1" && pwd)
shift
export WINEARCH=win32 WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY || true
wineserver -p </dev/null >/dev/null 2>&1 || true  # one may be running already
wine wineboot </dev/null >/dev/null 2>&1
# The registry values every test run starts from.
root=$(cd "$(dirname "$0")/.." && pwd)
wine regedit /S "$(winepath -w "$root/tests/wineprefix.reg")" </dev/null >/dev/null 2>&1
# A drive of its own (K:) lets tests put files in the root of a drive.
mkdir -p "$WINEPREFIX/drive_k"
ln -sfn ../drive_k "$WINEPREFIX/dosdevices/k:"
# A small drive (F:, 256 KiB) lets tests fill a disk; skipped where mounting is not allowed.
mkdir -p "$WINEPREFIX/drive_f"
if ! mountpoint -q "$WINEPREFIX/drive_f"; then
  mount -t tmpfs -o size=256k kavrin-small "$WINEPREFIX/drive_f" 2>/dev/null || true
fi
if mountpoint -q "$WINEPREFIX/drive_f"; then
  ln -sfn ../drive_f "$WINEPREFIX/dosdevices/f:"
else
  rm -f "$WINEPREFIX/dosdevices/f:"
fi
status=0
ctest --test-dir "$build" --output-on-failure "$@" || status=$?
wineserver -k || true
if mountpoint -q "$WINEPREFIX/drive_f"; then
  umount "$WINEPREFIX/drive_f" 2>/dev/null || true
fi
exit $status
