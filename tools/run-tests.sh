#!/usr/bin/env bash
# Configures, builds and runs every test the project has: the unit and
# end-to-end tests, the release build, the same under the address and undefined-behaviour
# sanitizers, and short fuzz runs.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset dev
# The release build is what the try-out command and the packages use.
cmake --preset release
cmake --build --preset release
cmake --workflow --preset sanitize
cmake --workflow --preset fuzz
