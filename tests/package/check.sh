#!/usr/bin/env bash
# Checks the two release packages that tools/package.sh made:
#   check.sh PACKAGE_DIR
# Each must hold exactly the files a player unpacks into the game's System
# folder, with no folder of its own around them; its program must need no
# runtime libraries beyond the system's and must run from where it was
# unpacked.
set -euo pipefail

if (($# != 1)); then
  echo "usage: $0 PACKAGE_DIR" >&2
  exit 2
fi
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
packages=$(cd "$1" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/vn3-package.XXXXXX")
trap 'rm -rf "$work"' EXIT

passed=0
failed=0
fail() {
  echo "  $*" >&2
  ok=0
}

# The one package matching PATTERN.
package() {
  local matches=("$packages"/$1)
  if ((${#matches[@]} != 1)) || [[ ! -f ${matches[0]} ]]; then
    echo "no single package $1 in $packages" >&2
    return 1
  fi
  echo "${matches[0]}"
}

# The entries of an archive, files only, sorted; a trailing "/" marks a folder.
entries() { cmake -E tar tf "$1" | grep -v '/$' | sort; }

# Checks the archive's files: exactly the program(s), README.md, LICENSE and
# payload/README.txt, where the extraction tool may stand beside the patcher.
check_contents() {
  local archive=$1 suffix=$2 expected
  expected=$(printf '%s\n' LICENSE README.md payload/README.txt "vn3patch$suffix" | sort)
  if ! diff <(echo "$expected") <(entries "$archive" | grep -vx "vn3patch-extract$suffix") >&2; then
    fail "$(basename "$archive"): unexpected contents"
  fi
  mkdir -p "$work/unpacked"
  (cd "$work/unpacked" && cmake -E tar xf "$archive")
  cmp -s "$work/unpacked/README.md" "$source_dir/README.md" || fail "README.md is not the project's"
  cmp -s "$work/unpacked/LICENSE" "$source_dir/LICENSE" || fail "LICENSE is not the project's"
}

# Runs the unpacked program with no game and no console, as from a System
# folder without the game: it must say so and end with status 1.
check_runs() {
  local status=0
  mkdir -p "$work/run"
  (cd "$work/run" && setsid "$@" </dev/null >"$work/run/out" 2>"$work/run/err") || status=$?
  if ((status != 1)); then
    fail "the unpacked program ended with status $status, not 1"
  fi
  if ! tr -d '\r' <"$work/run/out" | grep -qx 'Error: run this application from the Vantor3\\System folder'; then
    fail "the unpacked program did not ask to be run from the System folder"
  fi
}

check() {
  local title=$1
  shift
  echo "package: $title"
  ok=1
  rm -rf "$work/unpacked" "$work/run"
  "$@"
  if ((ok)); then
    passed=$((passed + 1))
    echo "  ok"
  else
    failed=$((failed + 1))
    echo "  FAILED: $title"
  fi
}

linux_package() {
  local archive needed
  archive=$(package 'vn3patch-*-linux-*.tar.gz') || { ok=0; return; }
  check_contents "$archive" ""
  # Only the C library: the C++ runtime is linked in.
  needed=$(objdump -p "$work/unpacked/vn3patch" | awk '/NEEDED/ { print $2 }' | sort | tr '\n' ' ')
  [[ $needed == "ld-linux-x86-64.so.2 libc.so.6 " ]] || fail "vn3patch needs $needed"
  check_runs timeout -k 5 30 "$work/unpacked/vn3patch"
}

windows_package() {
  local archive dlls
  archive=$(package 'vn3patch-*-windows-*.zip') || { ok=0; return; }
  check_contents "$archive" ".exe"
  # Only Windows' own libraries: the MinGW runtime is linked in.
  dlls=$(x86_64-w64-mingw32-objdump -p "$work/unpacked/vn3patch.exe" |
    awk '/DLL Name:/ { print toupper($3) }' | sort | tr '\n' ' ')
  [[ $dlls == "KERNEL32.DLL MSVCRT.DLL " ]] || fail "vn3patch.exe needs $dlls"
  grep -q 'level="asInvoker"' "$work/unpacked/vn3patch.exe" || fail "vn3patch.exe has no manifest"
  check_runs "$source_dir/tools/wine-run.sh" "$work/unpacked/vn3patch.exe"
}

check linux-tar linux_package
check windows-zip windows_package

echo "package: $passed passed, $failed failed"
((failed == 0))
