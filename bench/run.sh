#!/usr/bin/env bash
# Benchmarks vn3patch: a scripted session (start-up, the nine actions, quit)
# in a throw-away stand-in installation of build B whose package holds
# synthetic stock blocks, timed step by step; once more under strace, for
# its system calls and game-file bytes; and beside it the same nine patches
# done with dd. Prints the machine and the tables, and removes the stand-in.
# Not part of the tests.
#   bench/run.sh [SESSIONS]     timed sessions, default 20
# The program is the release preset's, built first, or the one VN3PATCH
# names. The session's driver (bench/session.cpp, on the end-to-end
# harness) is built in the dev preset.
set -euo pipefail

runs=${1:-20}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
cd "$source_dir"
source tools/packages.sh
source tools/standin.sh

vn3_need_packages "the benchmark" cmake ninja-build g++ libgtest-dev strace || exit 1
# Containers may forbid tracing; say so before anything is built.
if ! strace -o /dev/null true 2>/dev/null; then
  echo "bench: strace cannot trace here (ptrace not permitted)" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/vn3patch-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "Building the session's driver in build/dev ..."
cmake --preset dev >"$work/configure.log" 2>&1 || { cat "$work/configure.log" >&2; exit 1; }
cmake --build --preset dev --target vn3_bench_session
driver=$source_dir/build/dev/tests/vn3_bench_session
if [[ -n ${VN3PATCH:-} ]]; then
  binary=$(realpath "$VN3PATCH")
  build_note="given binary"
else
  tools/build-release.sh
  binary=$source_dir/build/release/vn3patch
  build_note="release preset"
fi

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
virt=$(lscpu 2>/dev/null | sed -n 's/^Hypervisor vendor:[[:space:]]*//p')
# The compiler as recorded in the binary itself.
compiler=$(readelf -p .comment "$binary" 2>/dev/null | sed -n 's/^ *\[ *[0-9a-f]*\] *//p' | sort -u |
  paste -sd ';' -)
echo
echo "machine:  $cpu, $(nproc) logical CPUs${virt:+, virtual machine ($virt)}"
echo "          $(awk '/MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo) memory," \
  "temporary files on $(df -PT "$work" | awk 'NR == 2 {print $2}')"
echo "system:   $(uname -sr), $(. /etc/os-release 2>/dev/null && echo "${PRETTY_NAME:-}")"
echo "program:  $binary ($build_note; ${compiler:-compiler unknown})"
echo "load:     $(cut -d' ' -f1-3 /proc/loadavg) (1, 5, 15 min) before the run"

game=$work/game
vn3_standin "$game" B stock
cp "$game/$vn3_package" "$work/package.as-made"

# One session, its figures added to FILE; with a third argument, under
# strace writing there. Each starts without stock files, so actions 5 and
# 8 keep their blocks as on a first run; and from the stock package, which
# 7 and 9 put back.
session() {
  rm -rf "$game/System/payload"
  "$driver" "$binary" "$game/System" "${@:2}" >>"$1"
  cmp -s "$game/$vn3_package" "$work/package.as-made" ||
    { echo "bench: actions 7 and 9 did not put the stock blocks back" >&2; exit 1; }
}
# A first session, not counted: it makes the shader folder and warms the
# caches.
session "$work/warm-up"
for ((i = 0; i < runs; i++)); do session "$work/times"; done
session /dev/null "$work/session.strace"
awk -f bench/syscalls.awk "$work/session.strace" >"$work/counts"

# Median (min-max) in milliseconds of COLUMN (2 wall, 3 CPU) of STEP's lines.
spread() {
  awk -v step="$1" -v column="$2" '$1 == step { print $column / 1e6 }' "$work/times" | sort -g |
    awk '{ v[NR] = $1 }
      END { printf "%7.3f (%.3f-%.3f)", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2, v[1], v[NR] }'
}
labels=("start-up" "1 frob highlight on" "2 frob highlight off" "3 loot % off" "4 loot % on"
  "5 trails off" "6 trails subtle" "7 trails stock" "8 glint off" "9 glint stock" quit
  "whole session")
steps=(start-up 1 2 3 4 5 6 7 8 9 quit session)
echo
echo "vn3patch, $runs sessions in a pseudo-terminal after one warm-up (wall: key press to next"
echo "prompt; CPU: the program's own, scheduler clock); system calls and game-file bytes from"
echo "one more session under strace"
printf '%-22s %-28s %-28s %8s %7s %7s  %s\n' step "wall ms median (min-max)" \
  "CPU ms median (min-max)" syscalls "game rd" "game wr" screen/keys/game/other
for i in "${!steps[@]}"; do
  printf '%-22s %-28s %-28s %s\n' "${labels[i]}" "$(spread "${steps[i]}" 2)" \
    "$(spread "${steps[i]}" 3)" \
    "$(awk -v step="${steps[i]}" '$1 == "row" && $2 == step { printf "%8d %7d %7d  %s", $3, $4, $5, $6 }' \
      "$work/counts")"
done
echo "  (whole-session wall includes the driver's waits between keys)"
grep -v '^row ' "$work/counts"
echo "peak resident set (VmHWM before quit): $(awk '$1 == "peak-kib" { print $2 }' "$work/times" |
  sort -n | sed -n '1p;$p' | paste -sd-) KiB"

# The dd baseline, from the System folder: for each action, one dd per
# site (and for action 1 per shader file) with the bytes the program
# writes there, in the array dd_ACTION, each command's words closed by a
# word ";": made beforehand, so that a run starts nothing but dd.
cd "$game/System"
data=$work/dd
mkdir "$data"
printf Z >"$data/Z"
printf M >"$data/M"
printf '\0' >"$data/zero"
printf ' ' >"$data/space"
head -c "$vn3_glint_length" /dev/zero >"$data/glint_off"
vn3_block "$work/package.as-made" B trail >"$data/trail_stock"
vn3_block "$work/package.as-made" B glint >"$data/glint_stock"
cp "$source_dir"/payload/trail_*.bin Shaders/*.pso "$data/"
for shader in Shaders/*.pso; do dd_1+=(dd if="$data/${shader#*/}" of="$shader" status=none ";"); done
put() {
  local -n list=dd_$1
  list+=(dd if="$data/$4" of="../$2" bs="$(stat -c %s "$data/$4")" seek=$(($3)) oflag=seek_bytes
    conv=notrunc status=none ";")
}
for offset in ${vn3_frob_sites[B]}; do put 1 "$vn3_exe" "$offset" Z; put 2 "$vn3_exe" "$offset" M; done
put 3 "$vn3_exe" "${vn3_loot_site[B]}" zero
put 4 "$vn3_exe" "${vn3_loot_site[B]}" space
put 5 "$vn3_package" "${vn3_trail_site[B]}" trail_off.bin
put 6 "$vn3_package" "${vn3_trail_site[B]}" trail_subtle.bin
put 7 "$vn3_package" "${vn3_trail_site[B]}" trail_stock
put 8 "$vn3_package" "${vn3_glint_site[B]}" glint_off
put 9 "$vn3_package" "${vn3_glint_site[B]}" glint_stock

# Runs the dd commands of ACTION, each after the words that follow (a
# tracer) if any.
dd_action() {
  local -n words=dd_$1
  local word command=()
  shift
  for word in "${words[@]}"; do
    if [[ $word == ";" ]]; then
      "$@" "${command[@]}"
      command=()
    else
      command+=("$word")
    fi
  done
}

# Mean wall and CPU milliseconds of one run of COMMAND, from bash's time
# over as many runs as sessions (the shell's fork for each process
# included).
mean() {
  local TIMEFORMAT='%3R %3U %3S' times
  times=$({ time for ((i = 0; i < runs; i++)); do "$@"; done; } 2>&1)
  awk -v runs="$runs" '{ printf "%.3f %.3f", $1 * 1000 / runs, ($2 + $3) * 1000 / runs }' <<<"$times"
}

echo
echo "the same nine patches with dd conv=notrunc (one dd per site or file; mean of $runs runs)"
for action in 1 2 3 4 5 6 7 8 9; do
  rm -f "$work/dd.strace"
  dd_action "$action" strace -y -A -o "$work/dd.strace"
  echo "${labels[action]}|$(grep -c '^+++ exited' "$work/dd.strace") $(mean dd_action "$action")" \
    "$(awk -f "$source_dir/bench/syscalls.awk" "$work/dd.strace" | awk '$2 == "session" { print $3, $4, $5 }')"
done | awk '
  function row(label, f) { printf "%-22s %7d %8.3f %8.3f %8d %7d %7d\n", label, f[1], f[2], f[3], f[4], f[5], f[6] }
  BEGIN { printf "%-22s %7s %8s %8s %8s %7s %7s\n", "action", "dd runs", "wall ms", "CPU ms", "syscalls", "game rd", "game wr" }
  { split(substr($0, index($0, "|") + 1), f, " "); row(substr($0, 1, index($0, "|") - 1), f); for (i in f) sum[i] += f[i] }
  END { row("all nine", sum) }'
read -r wall cpu <<<"$(mean /bin/true)"
echo
echo "process start-up floor, /bin/true run the same way: wall $wall ms, CPU $cpu ms"
