#!/usr/bin/env bash
# End-to-end run of the Windows build under Wine against the POSIX build:
#   smoke.sh WINDOWS_EXE POSIX_EXE
# Each scenario makes two identical stand-in installations and runs one
# program in each through the same keys. A program runs in a tmux pane, which
# is its console (keys typed with send-keys), while its standard output goes
# to a file. The two transcripts must be equal byte for byte once the Windows
# line ends (CRLF, the C runtime's text mode) are folded to LF, and so must
# the game files; the patched bytes are checked on their own as well. The
# vn3patch-tool beside each program gets one scenario of its own.
set -euo pipefail

if (($# != 2)); then
  echo "usage: $0 WINDOWS_EXE POSIX_EXE" >&2
  exit 2
fi
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
source "$source_dir/tools/wine-env.sh"
source "$source_dir/tools/standin.sh"
vn3_wine_prefix

work=$(mktemp -d "${TMPDIR:-/tmp}/vn3-wine-smoke.XXXXXX")
socket=$work/tmux.sock
tmux_() { tmux -f /dev/null -S "$socket" "$@"; }
cleanup() {
  tmux_ kill-server >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# Each program alone in a folder: no stock data files beside it.
mkdir -p "$work/windows" "$work/posix"
cp "$1" "$work/windows/vn3patch.exe"
cp "$2" "$work/posix/vn3patch"
cp "$(dirname "$1")/vn3patch-tool.exe" "$work/windows/"
cp "$(dirname "$2")/vn3patch-tool" "$work/posix/"

# How long one program may run, and how long to wait for a prompt.
run_limit=60
wait_limit=30

passed=0
failed=0

# Makes a stand-in installation of build A or B in DIR, whose bytes all
# have their top bit set, so that every byte written shows. Build "none" is
# a System folder without the game.
make_standin() {
  mkdir -p "$1/System"
  [[ $2 == none ]] || vn3_standin "$1" "$2" ${unlike:+stock}
  [[ -z ${unlike:-} ]] || { mkdir "$1/System/payload"; { vn3_bytes "$1/$vn3_package" \
    "${vn3_trail_site[$2]}" 16; head -c 448 /dev/zero; } >"$1/System/payload/trail_stock.bin"; }
}

# The command that runs the program NAME, bounded by the run limit.
# --foreground: the program must stay in the terminal's foreground group to
# read keys from it; a tmux window is killed at the end in any case.
program_command() {
  if [[ $1 == windows ]]; then
    printf '%s' "env WINEPREFIX='$WINEPREFIX' WINEDEBUG=-all WINEDLLOVERRIDES='$WINEDLLOVERRIDES'" \
      " timeout --foreground -k 5 $run_limit wine '$work/windows/vn3patch.exe'"
  else
    printf '%s' "timeout --foreground -k 5 $run_limit '$work/posix/vn3patch'"
  fi
}

# Starts a program in DIR/System, its output to DIR/out: in a new tmux
# window, or with CONSOLE=none in a session of its own without any terminal.
start_program() {
  local name=$1 dir=$2 console=$3 command
  command="cd '$dir/System' && $(program_command "$name") >'$dir/out' 2>'$dir/err'"
  command+="; echo \$? >'$dir/status'"
  if [[ $console == none ]]; then
    setsid bash -c "$command" </dev/null >/dev/null 2>&1 &
  else
    tmux_ new-window -d -t smoke -n "$name" "$command"
  fi
}

# Waits until DIR/out holds the menu prompt, or PATTERN, COUNT times.
wait_for_prompt() {
  local dir=$1 count=$2 pattern=${3:-'Pick one, vesker> '} deadline=$((SECONDS + wait_limit))
  while (($(grep -o "$pattern" "$dir/out" 2>/dev/null | wc -l) < count)); do
    if ((SECONDS >= deadline)); then
      echo "  no prompt $count in $dir/out after ${wait_limit}s" >&2
      return 1
    fi
    sleep 0.1
  done
}

wait_for_exit() {
  local dir=$1 deadline=$((SECONDS + run_limit + 10))
  while [[ ! -s $dir/status ]]; do
    if ((SECONDS >= deadline)); then
      echo "  $dir: the program did not end" >&2
      return 1
    fi
    sleep 0.1
  done
}

# Sends KEYS (tmux key names; "prompt" waits for the next menu prompt,
# "paste:TEXT" waits for the colour prompt and pastes TEXT as a terminal
# does, each line end a CR) to the program named NAME running in DIR.
drive() {
  local name=$1 dir=$2 prompts=0 key
  shift 2
  for key in "$@"; do
    if [[ $key == prompt ]]; then
      prompts=$((prompts + 1))
      wait_for_prompt "$dir" "$prompts" || return 1
    elif [[ $key == paste:* ]]; then
      wait_for_prompt "$dir" 1 'in RGB order' || return 1
      tmux_ set-buffer -b paste "${key#paste:}"
      tmux_ paste-buffer -d -b paste -t "smoke:$name"
      sleep 0.2
    else
      tmux_ send-keys -t "smoke:$name" "$key"
      # Keys a moment apart, as typed: a lone Esc must not run into the
      # next key and read as the start of an escape sequence.
      sleep 0.2
    fi
  done
}

# What a program printed, with Windows line ends folded.
transcript() { sed 's/\r$//' "$1/out"; }

# Fails unless FILE differs from ORIGINAL exactly in the COUNT bytes from
# OFFSET on, which must equal EXPECTED (a file of COUNT bytes).
check_patched() {
  local file=$1 original=$2 offset=$3 count=$4 expected=$5
  local changed
  changed=$(cmp -l "$original" "$file" | awk -v lo=$((offset + 1)) -v hi=$((offset + count)) \
    '$1 < lo || $1 > hi { outside++ } END { print outside + 0 }') || true
  if ((changed != 0)); then
    echo "  $file: $changed bytes changed outside the patched range" >&2
    return 1
  fi
  if ! cmp -s <(tail -c +$((offset + 1)) "$file" | head -c "$count") "$expected"; then
    echo "  $file: the patched range does not hold the expected bytes" >&2
    return 1
  fi
}

# Runs one scenario: BUILD, expected exit status, then the keys.
scenario() {
  local title=$1 build=$2 status=$3
  shift 3
  local name dir ok=1
  local console=tmux
  [[ $build == none ]] && console=none
  echo "smoke: $title"
  for name in windows posix; do
    dir=$work/$title/$name
    make_standin "$dir" "$build"
    start_program "$name" "$dir" "$console"
    drive "$name" "$dir" "$@" || ok=0
    wait_for_exit "$dir" || ok=0
    tmux_ kill-window -t "smoke:$name" >/dev/null 2>&1 || true
    if [[ $(cat "$dir/status" 2>/dev/null) != "$status" ]]; then
      echo "  $name: exit status $(cat "$dir/status" 2>/dev/null), expected $status" >&2
      ok=0
    fi
  done
  local windows=$work/$title/windows posix=$work/$title/posix
  if ! diff -u --label posix <(transcript "$posix") --label windows <(transcript "$windows") >&2; then
    echo "  the transcripts differ" >&2
    ok=0
  fi
  for file in "$vn3_exe" "$vn3_package"; do
    [[ $build == none ]] && break
    if ! cmp "$posix/$file" "$windows/$file" >&2; then
      echo "  $file differs between the two builds" >&2
      ok=0
    fi
  done
  last_dir=$windows
  last_original=$work/$title/original
  make_standin "$last_original" "$build"
  scenario_ok=$ok
}

finish() {
  local title=$1
  if ((scenario_ok)); then
    passed=$((passed + 1))
    echo "  ok"
  else
    failed=$((failed + 1))
    echo "  FAILED: $title"
    for name in windows posix; do
      echo "  --- $name output:"
      sed 's/^/    /' "$work/$title/$name/out" 2>/dev/null || true
      echo "  --- $name errors:"
      sed 's/^/    /' "$work/$title/$name/err" 2>/dev/null || true
    done
  fi
}

tmux_ new-session -d -s smoke -x 100 -y 50 -n idle

# Build B: disable the loot percentage (one zero byte in the executable),
# then quit with Esc, whose Wine key event carries no character.
scenario exe-action-esc B 0 prompt 3 prompt Escape
printf '\000' >"$work/zero"
check_patched "$last_dir/$vn3_exe" "$last_original/$vn3_exe" \
  $((vn3_loot_site[B])) 1 "$work/zero" || scenario_ok=0
finish exe-action-esc

# Build A: disable the arrow trails (the built-in 464-byte image in the
# package), then quit with F1, whose first code is 0.
scenario package-action-f1 A 0 prompt 5 prompt F1
check_patched "$last_dir/$vn3_package" "$last_original/$vn3_package" \
  $((vn3_trail_site[A])) "$vn3_trail_length" "$source_dir/payload/trail_off.bin" || scenario_ok=0
finish package-action-f1

# The cursor keys do nothing at the menu; Page Down's second code is "Q".
# Under Wine they arrive without the grey-key flag: were they taken for the
# keypad's (prefix 0), the first would quit and action 4 would never run.
scenario cursor-keys B 0 prompt Up Left Home End Insert Delete PageUp C-PageDown 4 prompt PageDown
printf ' ' >"$work/space"
check_patched "$last_dir/$vn3_exe" "$last_original/$vn3_exe" \
  $((vn3_loot_site[B])) 1 "$work/space" || scenario_ok=0
finish cursor-keys

# With $unlike the trail block begins as stock data, unlike the stock file: 5 changes nothing.
unlike=1 scenario stock-unlike A 0 prompt 5 prompt q
cmp -s {"$last_dir","$last_original"}/"$vn3_package" &&
  cmp -s {"$last_dir","$last_original"}/System/payload/trail_stock.bin &&
  grep -q '^Error: .* begins like stock data' <(transcript "$last_dir") || scenario_ok=0
finish stock-unlike

# Fails unless both programs of scenario TITLE reported COUNT successes and
# nothing else, and wrote the colour whose 12 bytes are COLOUR to the shader.
check_colour() {
  local title=$1 count=$2 colour=$3 name
  for name in windows posix; do
    cmp -s <(tail -c +53 "$work/$title/$name/System/Shaders/Rovizera.pso" | head -c 12) \
      <(printf "$colour") || { echo "  $name: the shader holds another colour" >&2; scenario_ok=0; }
    [[ $(grep -c '^-- Patch Applied --$' <(transcript "$work/$title/$name")) == "$count" ]] &&
      ! grep -q '^Error' "$work/$title/$name/out" ||
      { echo "  $name: not $count successes alone" >&2; scenario_ok=0; }
  done
}

# A colour typed at action 1's prompt reaches the shader files, and the key
# after its line runs its own action once.
scenario colour-prompt B 0 prompt 1 y "0.5 0.25 1" Enter prompt 3 prompt q
check_colour colour-prompt 2 '\000\000\000\077\000\000\200\076\000\000\200\077'
finish colour-prompt

# Two lines pasted at the colour prompt: the first is the colour, the rest
# is dropped, never menu keys (each 7 would restore the arrow trails).
scenario colour-paste B 0 prompt 1 y $'paste:0.5 0.5 0.5\n0.7 0.7 0.7\n' prompt q
check_colour colour-paste 1 '\000\000\000\077\000\000\000\077\000\000\000\077'
finish colour-paste

# No game and no console at all: the error, then the key pause ends at once
# because no key can be read, and the exit status is 1.
scenario no-game-no-console none 1
grep -q '^<press any key>$' <(transcript "$last_dir") || scenario_ok=0
finish no-game-no-console

# vn3patch-tool, no console: each build backs up a build A stand-in whose
# loot percentage is hidden, then prints its status. SHA-256 comes from CNG
# on the one side and nettle on the other; the lines must be the same.
echo "smoke: tool-status"
scenario_ok=1
for name in windows posix; do
  dir=$work/tool-status/$name
  make_standin "$dir" A
  printf '\000' | dd of="$dir/System/VN3Main.exe" bs=1 seek=$((0x57CEE1)) conv=notrunc status=none
  tool=(timeout -k 5 "$run_limit" "$work/posix/vn3patch-tool")
  [[ $name == windows ]] && tool=("$source_dir/tools/wine-run.sh" "$work/windows/vn3patch-tool.exe")
  (cd "$dir/System" && "${tool[@]}" backup && "${tool[@]}" status) </dev/null >"$dir/out" \
    2>"$dir/err" || { echo "  $name: exit status $?" >&2; scenario_ok=0; }
done
diff -u --label posix <(transcript "$work/tool-status/posix") \
  --label windows <(transcript "$work/tool-status/windows") >&2 || scenario_ok=0
grep -qx 'Backup vn3patch-backup\\: complete, sums match' <(transcript "$dir") || scenario_ok=0
finish tool-status

echo "smoke: $passed passed, $failed failed"
((failed == 0))
