#!/usr/bin/env bash
# Builds the release preset (the native programs, no tests) for the try-out
# command and the benchmark, installing the compiler, the build tools and
# nettle (vn3patch-tool's SHA-256) first if they are missing. Prints a line per stage and the build's progress; the
# configure step's output is shown only if it fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh

vn3_need_packages "the native build" cmake ninja-build g++ nettle-dev

echo "Configuring the release build in build/release ..."
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! cmake --preset release >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi
echo "Building vn3patch and vn3patch-tool ..."
cmake --build --preset release
