#!/usr/bin/env bash
# Configures, builds and runs every test the project has:
#   1. the native build's unit and end-to-end tests, the same tests under the
#      address and undefined-behaviour sanitizers, and short fuzz runs;
#   2. the Windows cross-build and its unit tests under Wine;
#   3. both programs side by side through the same keys, Windows under Wine;
#   4. both release packages, built and checked (their release builds are
#      also what the try-out command runs).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset dev
cmake --workflow --preset sanitize
cmake --workflow --preset fuzz
cmake --workflow --preset mingw
tests/wine/smoke.sh build/mingw/vn3patch.exe build/dev/vn3patch
tools/package.sh
tests/package/check.sh build/packages
