#!/bin/sh
# Creates a 32-bit Wine prefix once: no Mono or Gecko prompts, Wine's own fonts copied in so
# dialog sizes come out as on a normal desktop.
# Usage: scripts/wine-prefix.sh PREFIX [null|desktop]
#   null     headless: the null graphics driver (tests)
#   desktop  X11 with a 1024x768 virtual desktop, so windows get their captions (running, screenshots)
set -eu
prefix=$1
mode=${2:-null}
mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
export WINEARCH=win32 WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$prefix/.kavrin-ready" ] && exit 0
echo "Creating the Wine prefix $prefix (once)..."
if [ "$mode" = null ]; then
  (unset DISPLAY WAYLAND_DISPLAY; wineboot -i >/dev/null 2>&1 </dev/null)
  (unset DISPLAY; wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 </dev/null)
else
  wineboot -i >/dev/null 2>&1 </dev/null
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 </dev/null
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1 </dev/null
fi
for f in /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon; do
  [ -e "$f" ] && cp "$f" "$prefix/drive_c/windows/Fonts/"
done
wineserver -w
touch "$prefix/.kavrin-ready"
