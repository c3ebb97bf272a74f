#!/bin/sh
# Poses the program's windows on a virtual X server with a Wine desktop and saves the pictures
# the README shows: docs/main-window.png (part-way through verifying a set with intact, damaged,
# missing and pending files, comments open), docs/unicode-names.png (a verified list with names and
# comments in Cyrillic, Greek and Latin beyond Latin-1), docs/create-dialog.png and
# docs/progress-dialog.png.
# Usage: scripts/screenshots.sh
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
cmake --build --preset windows --target kavrin post-command kavrin_tests >/dev/null
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
wine reg add 'HKCR\.sfv' /ve /d Kavrin.SFV /f >/dev/null 2>&1 </dev/null

# The main window over a generated set; a 3 GiB sparse part keeps the run busy for the picture.
set_dir="$shots/Holiday Photos"
mkdir -p "$set_dir"
head -c 300000 /dev/urandom >"$set_dir/album.part1.rar"
head -c 300000 /dev/urandom >"$set_dir/album.part2.rar"
truncate -s 3G "$set_dir/album.part3.rar"
head -c 300000 /dev/urandom >"$set_dir/album.part4.rar"
head -c 120000 /dev/urandom >"$set_dir/cover.jpg"
head -c 2000 /dev/urandom >"$set_dir/index.nfo"
# Opens an SFV file in the program, opens its comments, saves the window as a picture and exits.
pose_main() {  # sfv file, output picture
  wine "$root/build/windows/kavrin.exe" "$(winepath -w "$1")" >/dev/null 2>&1 &
  wine "$root/build/windows/post-command.exe" Kavrin 1007 1500 >/dev/null 2>&1
  sleep 2
  import -display "$DISPLAY" -window root "$shots/pose.png"
  convert "$shots/pose.png" -trim +repage "$2"
  wine "$root/build/windows/post-command.exe" Kavrin 32773 >/dev/null 2>&1
  wineserver -w
}
crc() { python3 -c 'import sys, zlib; print("%08x" % (zlib.crc32(open(sys.argv[1], "rb").read()) & 0xffffffff))' "$1"; }
{
  printf '; Holiday photos, packed for the family server\r\n'
  printf '; Checked on the way out - please verify after copying\r\n'
  for f in album.part1.rar album.part2.rar album.part4.rar cover.jpg index.nfo; do
    printf '%s %s\r\n' "$f" "$(crc "$set_dir/$f")"
  done
  printf 'album.part3.rar 480bbe37\r\n'
  printf 'album.part5.rar 1c291ca3\r\n'
} >"$set_dir/album.sfv"
# Damage one part after its checksum was taken.
printf 'x' | dd of="$set_dir/album.part2.rar" bs=1 seek=1000 conv=notrunc 2>/dev/null
pose_main "$set_dir/album.sfv" docs/main-window.png

# The main window after verifying a list whose names and comments are in Cyrillic, Greek and
# Latin beyond Latin-1, written as UTF-8 without a byte-order mark, as the program writes it.
# Wine's Tahoma has no Greek letters (the Windows one has); link it to DejaVu Sans, as Windows
# links its dialog font to others for the scripts it lacks.
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v Tahoma \
  /t REG_MULTI_SZ /d 'DejaVuSans.ttf,DejaVu Sans' /f >/dev/null 2>&1 </dev/null
wineserver -w
trip_dir="$shots/Trip"
trip_files='Київ — Майдан.jpg
Москва зимой.jpg
Санкт-Петербург.jpg
Ακρόπολη τη νύχτα.png
Θεσσαλονίκη.mp4
Łódź – plan miasta.pdf
Žluťoučký kůň.txt
İstanbul gezisi.txt'
mkdir -p "$trip_dir"
printf '%s\n' "$trip_files" | while IFS= read -r f; do head -c 90000 /dev/urandom >"$trip_dir/$f"; done
{
  printf '; Подорож 2024 — фотографії та відео\r\n'
  printf '; Ταξίδι στην Ελλάδα και την Ευρώπη\r\n'
  printf '%s\n' "$trip_files" | while IFS= read -r f; do printf '%s %s\r\n' "$f" "$(crc "$trip_dir/$f")"; done
  printf 'Οδηγός.pdf 5d1c0a77\r\n'
} >"$trip_dir/trip.sfv"
# Damage one file after its checksum was taken.
printf 'x' | dd of="$trip_dir/Санкт-Петербург.jpg" bs=1 seek=1000 conv=notrunc 2>/dev/null
pose_main "$trip_dir/trip.sfv" docs/unicode-names.png

take() {  # pose name, output file
  for _ in $(seq 1 120); do
    [ -f "$shots/$1.ready" ] && break
    sleep 0.5
  done
  sleep 1
  import -display "$DISPLAY" -window root "$shots/$1.png"
  convert "$shots/$1.png" -trim +repage "$2"
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
echo "Saved docs/main-window.png, docs/unicode-names.png, docs/create-dialog.png and docs/progress-dialog.png"
