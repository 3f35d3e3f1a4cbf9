#!/usr/bin/env bash
# Benchmarks vn3patch: builds the release preset, then in a throw-away
# stand-in installation (build B, sparse files, synthetic stock blocks in the
# package) runs a scripted session through a pseudo-terminal (start-up, the
# nine actions, quit), times it, checks that 7 and 9 put the stock blocks
# back, counts its system calls and game-file bytes under strace, and does the same
# nine patches with dd for comparison. Prints the machine and a table; the
# stand-in is removed afterwards. Not part of the tests.
#
# Usage: bench/run.sh [sessions]      (timed sessions, default 20)
# VN3PATCH=/path/to/vn3patch bench/run.sh measures that binary instead of
# building one.
set -euo pipefail

runs=${1:-20}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

for tool in python3 strace dd; do
  if ! command -v "$tool" >/dev/null; then
    echo "bench: $tool is needed (on Debian, as root: apt-get install -y --no-install-recommends strace python3)" >&2
    exit 1
  fi
done
# Containers may forbid tracing; say so before anything is built.
if ! strace -o /dev/null true 2>/dev/null; then
  echo "bench: strace cannot trace here (ptrace not permitted)" >&2
  exit 1
fi

if [[ -n ${VN3PATCH:-} ]]; then
  binary=$(realpath "$VN3PATCH")
  build_note="given binary"
else
  "$source_dir/tools/build-release.sh"
  binary=$source_dir/build/release/vn3patch
  build_note="release preset"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/vn3patch-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
virt=$(lscpu 2>/dev/null | sed -n 's/^Hypervisor vendor:[[:space:]]*//p')
# The compiler as recorded in the binary itself.
compiler=$(readelf -p .comment "$binary" 2>/dev/null | sed -n 's/^ *\[ *[0-9a-f]*\] *//p' | sort -u |
  paste -sd ';' -)
echo "machine:  $cpu, $(nproc) logical CPUs${virt:+, virtual machine ($virt)}"
echo "          $(awk '/MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo) memory," \
  "temporary files on $(df -PT "$work" | awk 'NR == 2 {print $2}')"
echo "system:   $(uname -sr), $(. /etc/os-release 2>/dev/null && echo "${PRETTY_NAME:-}")"
echo "program:  $binary ($build_note; ${compiler:-compiler unknown})"
echo "load:     $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min) before the run"

python3 "$source_dir/bench/measure.py" --binary "$binary" --work "$work" --runs "$runs"
