#!/usr/bin/env bash
# The Windows build in Wine's windowed console, keys typed as real key events:
#   windowed.sh WINDOWS_EXE
# That console tells the grey cursor keys from the keypad's as Windows does.
# In a stand-in installation, grey Up and Shift+keypad 5 must do nothing and
# keypad Up (NumLock off, prefix 0) must quit with status 0, the game files
# unchanged. The console runs on a virtual X server (xvfb-run) and gets its
# keys from xdotool; the program's output goes to a file, checked after each
# key. Its Wine prefix is its own, so that ending the run ends all its
# processes and no others.
set -euo pipefail

if (($# != 1)); then
  echo "usage: $0 WINDOWS_EXE" >&2
  exit 2
fi
if [[ ${VN3_WINDOWED_DISPLAY:-} != yes ]]; then
  VN3_WINDOWED_DISPLAY=yes exec timeout -k 10 300 xvfb-run -a bash "$0" "$@" </dev/null
fi

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
source "$source_dir/tools/wine-env.sh"
source "$source_dir/tools/standin.sh"
export WINEPREFIX=$WINEPREFIX-windowed
vn3_wine_prefix
# One run at a time in this prefix: the end of one would end the other's.
exec 8>"$WINEPREFIX.run.lock"
flock -w 200 8 || { echo "windowed: $WINEPREFIX is busy" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vn3-wine-windowed.XXXXXX")
cleanup() {
  timeout -k 5 20 wineserver -k >/dev/null 2>&1 </dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' TERM INT HUP

fail() {
  echo "windowed: FAILED: $1" >&2
  echo "--- output:" >&2
  sed 's/^/    /' "$work/out" >&2 2>/dev/null || true
  exit 1
}

# Two stand-in installations of build A: one to run in, one to compare.
vn3_standin "$work/game" A
vn3_standin "$work/original" A
cp "$1" "$work/vn3patch.exe"

# cmd sends the output to a file, names the window and records the status.
win() { printf 'Z:%s' "${1//\//\\}"; }
printf '%s\r\n' "@title vn3-windowed" \
  "@$(win "$work/vn3patch.exe") >$(win "$work/out")" \
  "@echo %errorlevel% >$(win "$work/status")" >"$work/run.bat"
(cd "$work/game/System" && wineconsole cmd /c "$(win "$work/run.bat")" </dev/null >/dev/null 2>&1 &)

# Waits up to SECONDS for the command after them to succeed.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.2
  done
}
xdo() { timeout 10 xdotool "$@"; }
prompts() { grep -o 'Pick one, vesker> ' "$work/out" 2>/dev/null | wc -l; }
one_prompt() { (($(prompts) == 1)); }
window() { xdo search --onlyvisible --name '^vn3-windowed$' 2>/dev/null | head -1; }
has_window() { [[ -n $(window) ]]; }
ended() { [[ -s $work/status ]]; }

wait_for 90 one_prompt || fail "no menu prompt"
wait_for 30 has_window || fail "no console window"
id=$(window)
xdo windowfocus --sync "$id" || true
[[ $(xdo getwindowfocus) == "$id" ]] || fail "the console window has no focus"

# Keys that must do nothing: the program neither prints nor ends.
for key in Up shift+KP_Begin; do
  before=$(cat "$work/out")
  xdo key "$key"
  sleep 1.5
  ! ended || fail "$key ended the program"
  [[ $(cat "$work/out") == "$before" ]] || fail "$key was not ignored"
done

xdo key KP_Up
wait_for 30 ended || fail "keypad Up did not quit"
status=$(tr -d ' \r\n' <"$work/status")
[[ $status == 0 ]] || fail "exit status $status after keypad Up, expected 0"
one_prompt || fail "keypad Up ran an action"
for file in "$vn3_exe" "$vn3_package"; do
  cmp -s "$work/original/$file" "$work/game/$file" || fail "$file changed"
done
echo "windowed: ok"
