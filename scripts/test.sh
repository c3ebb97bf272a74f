#!/bin/sh
# Installs what is missing, builds both trees and runs every test.
set -eu
cd "$(dirname "$0")/.."
scripts/setup-deps.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

# The portable core once more under AddressSanitizer and UBSan.
cmake --preset native-asan
cmake --build --preset native-asan
ctest --preset native-asan

cmake --preset windows
cmake --build --preset windows
scripts/wine-prefix.sh build/windows/wineprefix null
# The notification-area icon against Wine's real notification area, on a virtual X server.
scripts/tray-xvfb.sh build/windows
scripts/wine-ctest.sh build/windows -j2 --timeout 120
