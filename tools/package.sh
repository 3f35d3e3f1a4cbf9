#!/usr/bin/env bash
# Builds both release packages into build/packages/:
#   vn3patch-<version>-windows-x64.zip       cross-built with MinGW-w64
#   vn3patch-<version>-linux-x86_64.tar.gz
# Each unpacks straight into the game's System folder.
set -euo pipefail
cd "$(dirname "$0")/.."

out=$PWD/build/packages
mkdir -p "$out"
for preset in release mingw-release; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  cpack --config "build/$preset/CPackConfig.cmake" -B "$out"
done
rm -rf "$out/_CPack_Packages"
ls -l "$out"
