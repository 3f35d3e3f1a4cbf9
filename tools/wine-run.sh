#!/usr/bin/env bash
# Runs one Windows program under Wine for the tests, bounded by a timeout:
#   wine-run.sh PROGRAM.exe [ARGS...]
#   VN3_WINE_TIMEOUT   seconds before the program is killed (default 120)
# Standard input is /dev/null, so Wine never takes a terminal as the console.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
vn3_wine_prefix
exec timeout -k 10 "${VN3_WINE_TIMEOUT:-120}" wine "$@" </dev/null
