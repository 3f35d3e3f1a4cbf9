#!/usr/bin/env bash
# Builds the release preset quietly: its output is shown only if it fails.
set -euo pipefail
cd "$(dirname "$0")/.."

log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! (cmake --preset release && cmake --build --preset release) >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi
