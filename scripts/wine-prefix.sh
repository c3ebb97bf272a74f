#!/bin/sh
# Creates the Wine prefix of a build folder once: headless (null graphics driver), no Mono or
# Gecko prompts, Wine's own fonts copied in so dialog sizes come out as on a normal desktop.
# Usage: scripts/wine-prefix.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
export WINEARCH=win32 WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY || true
[ -f "$WINEPREFIX/.kavrin-ready" ] && exit 0
rm -rf "$WINEPREFIX"
echo "Creating the Wine prefix $WINEPREFIX (once per build folder)..."
wineboot -i >/dev/null 2>&1 </dev/null
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 </dev/null
for f in /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon; do
  [ -e "$f" ] && cp "$f" "$WINEPREFIX/drive_c/windows/Fonts/"
done
wineserver -w
touch "$WINEPREFIX/.kavrin-ready"
