#!/usr/bin/env bash
# Installs what the tests need, then configures, builds and runs every test
# the project has, stage by stage:
#   dev, sanitize, fuzz   the native build's unit and end-to-end tests and
#                         the layering and format checks, the same under the
#                         address and undefined-behaviour sanitizers, and
#                         short fuzz runs;
#   mingw                 the Windows cross-build and its unit tests under Wine;
#   wine-smoke            both programs side by side through the same keys;
#   wine-window           the Windows program in a console window of its own;
#   package, package-check  both release packages, built and checked, and the
#                         try-out command run without a terminal;
#   debian11              the packaged Linux programs in a minimal Debian 11
#                         root, and end-to-end transcripts against them;
#   reproducible          the packages built twice from two copies of the
#                         tree, which must agree byte for byte.
# Each stage prints its elapsed time and the tests it skipped, with why; the
# first stage that fails ends the run. The last line sums up all stages.
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
source tools/wine-env.sh

# Everything the tests use; the CI runs this script and nothing else.
packages=(cmake ninja-build g++ nettle-dev googletest libgtest-dev clang libclang-rt-14-dev
          zip clang-format-14 g++-mingw-w64-x86-64-posix wine tmux xvfb xdotool xauth strace
          debootstrap)
vn3_need_packages "the tests" "${packages[@]}" || exit 1

# Minutes and seconds since START.
elapsed() {
  local s=$((SECONDS - $1))
  printf '%d:%02d' $((s / 60)) $((s % 60))
}

# The tests the last ctest run in build/PRESET skipped, each with the reason
# its test gave; ctest itself counts them as passed and says no more.
report_skips() {
  local log=build/$1/Testing/Temporary/LastTest.log
  [[ -f $log ]] || return 0
  tr -d '\r' <"$log" | awk -v preset="$1" '
    / Skipped$/ { getline reason; next }
    /^\[  SKIPPED \] .* \([0-9]+ ms\)$/ { skipped[++n] = $4 ": " (reason == "" ? "no reason given" : reason); reason = "" }
    END {
      if (!n) exit
      printf "%s: %d test%s skipped:\n", preset, n, n == 1 ? "" : "s"
      for (i = 1; i <= n; i++) print "  " skipped[i]
    }'
}

workflow() {
  cmake --workflow --preset "$1" && report_skips "$1"
}

stage_dev() { workflow dev; }
stage_sanitize() { workflow sanitize; }
stage_fuzz() {
  echo "(the two fuzz targets run side by side for 20 s and print nothing until they end)"
  CTEST_PARALLEL_LEVEL=2 workflow fuzz
}
stage_mingw() {
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    echo "Making the Wine prefix $WINEPREFIX (first use only, half a minute or so) ..."
    vn3_wine_prefix
    [[ -f $WINEPREFIX/system.reg ]] || return
  fi
  workflow mingw
}
stage_wine_smoke() { tests/wine/smoke.sh build/mingw/vn3patch.exe build/dev/vn3patch; }
stage_wine_window() { tests/wine/windowed.sh build/mingw/vn3patch.exe; }
stage_package() { tools/package.sh; }
stage_package_check() { tests/package/check.sh build/packages; }
stage_debian11() { tests/package/debian11.sh build/packages build/dev/tests/vn3_e2e_tests; }
stage_reproducible() { tests/package/reproducible.sh; }

stages=(dev sanitize fuzz mingw wine-smoke wine-window package package-check debian11
        reproducible)
summary=()
failed=
start=$SECONDS
for i in "${!stages[@]}"; do
  name=${stages[i]}
  if [[ -n $failed ]]; then
    summary+=("$name not run")
    continue
  fi
  echo "=== stage $((i + 1))/${#stages[@]}: $name ==="
  began=$SECONDS
  if "stage_${name//-/_}"; then
    echo "=== $name passed in $(elapsed "$began") ==="
    summary+=("$name ok $(elapsed "$began")")
  else
    echo "=== $name FAILED after $(elapsed "$began") ==="
    summary+=("$name FAILED $(elapsed "$began")")
    failed=$name
  fi
done

line=$(printf '%s, ' "${summary[@]}")
if [[ -n $failed ]]; then
  echo "Tests FAILED in stage $failed after $(elapsed "$start"): ${line%, }"
  exit 1
fi
echo "All ${#stages[@]} stages passed in $(elapsed "$start"): ${line%, }"
