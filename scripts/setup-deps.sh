#!/bin/sh
# Installs the Debian packages the build, the tests and the run command need, and any further
# packages named as arguments; does nothing when they are all present. Run as root.
# Usage: scripts/setup-deps.sh [package...]
set -eu
packages="$* cmake make g++ libgtest-dev libbenchmark-dev googletest g++-mingw-w64-i686-posix \
mingw-w64-i686-dev binutils-mingw-w64-i686 wine wine32:i386 wine64 fonts-wine xvfb xauth \
imagemagick x11-utils fonts-dejavu-core"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
# shellcheck disable=SC2086
apt-get install -y -q --no-install-recommends $missing
