#!/bin/sh
# Installs what the benchmarks and the fuzz target need beyond the test command's packages: zlib
# (the reference crc32()), 7-Zip and RHash (peers), fincore (util-linux), Python for the
# end-to-end driver, clang for libFuzzer. Does nothing when they are all present. Run as root.
set -eu
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
packages="zlib1g-dev p7zip-full rhash util-linux python3 clang"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
# shellcheck disable=SC2086
apt-get install -y -q --no-install-recommends $missing
