#!/bin/sh
# Makes the screenshots shown in the README: the main window part-way through verifying a set
# with intact, damaged, missing and pending files, its comments open. Needs the windows build.
# Usage: docs/make-screenshots.sh
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
cmake --build --preset windows --target kavrin post-command >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
set_dir="$work/Holiday Photos"
mkdir -p "$set_dir"
head -c 300000 /dev/urandom >"$set_dir/album.part1.rar"
head -c 300000 /dev/urandom >"$set_dir/album.part2.rar"
truncate -s 3G "$set_dir/album.part3.rar"
head -c 300000 /dev/urandom >"$set_dir/album.part4.rar"
head -c 120000 /dev/urandom >"$set_dir/cover.jpg"
head -c 2000 /dev/urandom >"$set_dir/index.nfo"
crc() { python3 -c 'import sys, zlib; print("%08x" % (zlib.crc32(open(sys.argv[1], "rb").read()) & 0xffffffff))' "$1"; }
{
  printf '; Holiday photos, packed for the family server\r\n'
  printf '; Checked on the way out - please verify after copying\r\n'
  for f in album.part1.rar album.part2.rar album.part4.rar cover.jpg index.nfo; do
    printf '%s %s\r\n' "$f" "$(crc "$set_dir/$f")"
  done
  printf 'album.part3.rar %s\r\n' "$(python3 -c 'import zlib; print("%08x" % (zlib.crc32(bytes(3 << 30)) & 0xffffffff))' 2>/dev/null || echo 00000000)"
  printf 'album.part5.rar 1c291ca3\r\n'
} >"$set_dir/album.sfv"
# Damage one part after its checksum was taken.
printf 'x' | dd of="$set_dir/album.part2.rar" bs=1 seek=1000 conv=notrunc 2>/dev/null

prefix="$root/build/windows/wineprefix-run"
export WINEARCH=win32 WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
display=:$(( ($$ % 400) + 500 ))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
sleep 1
scripts/wine-prefix.sh "$prefix" desktop
wine reg add 'HKCR\.sfv' /ve /d Kavrin.SFV /f >/dev/null 2>&1 </dev/null
wine "$root/build/windows/kavrin.exe" "$(winepath -w "$set_dir/album.sfv")" >/dev/null 2>&1 &
wine "$root/build/windows/post-command.exe" Kavrin 1007 1500 >/dev/null 2>&1
sleep 2
import -display "$DISPLAY" -window root "$work/screen.png"
# The window, as the virtual desktop shows it (narrow window centred, then widened to the right).
convert "$work/screen.png" -crop 711x440+312+164 +repage "$root/docs/main-window.png"
wineserver -k >/dev/null 2>&1 || true
kill "$xvfb_pid" 2>/dev/null || true
echo "Wrote docs/main-window.png"
