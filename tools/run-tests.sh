#!/usr/bin/env bash
# Configures, builds and runs every test the project has.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset dev
