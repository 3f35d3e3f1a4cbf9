#!/usr/bin/env bash
# Checks the two release packages that tools/package.sh made:
#   check.sh PACKAGE_DIR
# Each must hold exactly the files a player unpacks into the game's System
# folder, with no folder of its own around them; its programs must need no
# runtime libraries beyond the system's and must run from where they were
# unpacked, and only vn3patch-tool may carry SHA-256. Also runs the try-out
# command as a script or CI would, without a terminal.
set -euo pipefail

if (($# != 1)); then
  echo "usage: $0 PACKAGE_DIR" >&2
  exit 2
fi
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
source "$source_dir/tools/standin.sh"
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

# Checks the archive's files: exactly the two programs, README.txt,
# TROUBLESHOOTING.txt, LICENSE, THIRD-PARTY-NOTICES.txt and payload/README.txt.
# The texts end their lines with NEWLINE (CRLF or LF), and the player's two
# are their docs/ files with the archive's version filled in.
check_contents() {
  local archive=$1 suffix=$2 newline=$3 expected text version
  expected=$(printf '%s\n' LICENSE README.txt TROUBLESHOOTING.txt THIRD-PARTY-NOTICES.txt payload/README.txt \
    "vn3patch$suffix" "vn3patch-tool$suffix" | sort)
  if ! diff <(echo "$expected") <(entries "$archive") >&2; then
    fail "$(basename "$archive"): unexpected contents"
  fi
  mkdir -p "$work/unpacked"
  (cd "$work/unpacked" && cmake -E tar xf "$archive")
  cmp -s "$work/unpacked/LICENSE" "$source_dir/LICENSE" || fail "LICENSE is not the project's"
  for text in README.txt TROUBLESHOOTING.txt THIRD-PARTY-NOTICES.txt payload/README.txt; do
    if [[ $newline == CRLF ]]; then
      grep -qv $'\r$' "$work/unpacked/$text" && fail "$text has a line without CRLF"
    else
      grep -q $'\r' "$work/unpacked/$text" && fail "$text has a CR"
    fi
  done
  version=$(basename "$archive" | sed 's/^vn3patch-\([^-]*\)-.*/\1/')
  for text in README.txt:player-README.txt TROUBLESHOOTING.txt:TROUBLESHOOTING.txt; do
    sed "s/@PROJECT_VERSION@/$version/g" "$source_dir/docs/${text#*:}" |
      cmp -s - <(tr -d '\r' <"$work/unpacked/${text%:*}") || fail "${text%:*} is not docs/${text#*:}"
  done
}

# The third-party notice names each library linked into the programs.
check_notice() {
  local library
  for library in "$@"; do
    grep -q "$library" "$work/unpacked/THIRD-PARTY-NOTICES.txt" ||
      fail "THIRD-PARTY-NOTICES.txt does not name $library"
  done
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

# Runs the unpacked vn3patch-tool extract in the System folder of a stand-in
# of build B whose package holds the stock blocks' leading bytes: it must
# write both stock files into that working directory's payload folder.
check_extracts() {
  local package=$work/run/$vn3_package status=0
  rm -rf "$work/run"
  vn3_standin "$work/run" B stock
  (cd "$work/run/System" && setsid "$@" extract </dev/null >"$work/run/extract-out" 2>&1) ||
    status=$?
  ((status == 0)) || fail "the unpacked extractor ended with status $status: $(cat "$work/run/extract-out")"
  cmp -s <(vn3_block "$package" B trail) \
    "$work/run/System/payload/trail_stock.bin" || fail "no arrow-trail stock file in the working directory"
  cmp -s <(vn3_block "$package" B glint) \
    "$work/run/System/payload/glint_stock.bin" || fail "no loot-glint stock file in the working directory"
}

# Whether PROGRAM holds SHA-256's round constants (the first two, as a
# little-endian machine stores them): a hashing library linked in.
holds_sha256() { LC_ALL=C grep -qaP '\x98\x2F\x8A\x42\x91\x44\x37\x71' "$1"; }

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
  local archive needed program
  archive=$(package 'vn3patch-*-linux-*.tar.gz') || { ok=0; return; }
  check_contents "$archive" "" LF
  check_notice "GNU C Library" libstdc++ libgcc Nettle
  # Static: no program interpreter and no shared library, so that no C
  # library older than the build machine's can stop them before they start.
  for program in vn3patch vn3patch-tool; do
    [[ -f $work/unpacked/$program ]] || continue
    readelf -lW "$work/unpacked/$program" | grep -q '^ *INTERP ' && fail "$program has a program interpreter"
    needed=$(readelf -dW "$work/unpacked/$program" | awk '/\(NEEDED\)/ { print $NF }' | tr '\n' ' ')
    [[ -z $needed ]] || fail "$program needs $needed"
  done
  # The patcher stays on the standard library; the tool's nettle shows.
  holds_sha256 "$work/unpacked/vn3patch-tool" || fail "vn3patch-tool holds no SHA-256"
  ! holds_sha256 "$work/unpacked/vn3patch" || fail "vn3patch holds hashing code"
  check_runs timeout -k 5 30 "$work/unpacked/vn3patch"
  check_extracts timeout -k 5 30 "$work/unpacked/vn3patch-tool"
}

windows_package() {
  local archive dlls program
  archive=$(package 'vn3patch-*-windows-*.zip') || { ok=0; return; }
  check_contents "$archive" ".exe" CRLF
  check_notice libstdc++ libgcc "MinGW-w64 runtime" winpthreads
  # Only Windows' own libraries: the MinGW runtime is linked in. The tool
  # alone hashes, with the system's CNG.
  for program in vn3patch.exe vn3patch-tool.exe; do
    [[ -f $work/unpacked/$program ]] || continue
    allowed='KERNEL32.DLL|USER32.DLL|MSVCRT.DLL'
    [[ $program == vn3patch-tool.exe ]] && allowed+='|BCRYPT.DLL'
    dlls=$(x86_64-w64-mingw32-objdump -p "$work/unpacked/$program" |
      awk '/DLL Name:/ { print toupper($3) }' | grep -Evx "$allowed" | tr '\n' ' ') || true
    [[ -z $dlls ]] || fail "$program needs $dlls"
    grep -q 'level="asInvoker"' "$work/unpacked/$program" || fail "$program has no manifest"
  done
  ! holds_sha256 "$work/unpacked/vn3patch.exe" || fail "vn3patch.exe holds hashing code"
  check_runs "$source_dir/tools/wine-run.sh" "$work/unpacked/vn3patch.exe"
  check_extracts "$source_dir/tools/wine-run.sh" "$work/unpacked/vn3patch-tool.exe"
}

# SHA256SUMS lists both archives, and they match it.
sums() {
  local out
  [[ $(wc -l <"$packages/SHA256SUMS") == 2 ]] || fail "SHA256SUMS does not list exactly two archives"
  out=$(cd "$packages" && sha256sum -c SHA256SUMS 2>&1) || fail "sha256sum -c SHA256SUMS: $out"
}

# One version everywhere: both archives' names carry it, its major.minor is
# the banner's, and it is both Windows programs' version resource (read as
# UTF-16 strings) and manifest version.
versions() {
  local linux windows version banner program field
  linux=$(package 'vn3patch-*-linux-*.tar.gz') && windows=$(package 'vn3patch-*-windows-*.zip') ||
    { ok=0; return; }
  version=$(basename "$linux" | sed 's/^vn3patch-\([^-]*\)-.*/\1/')
  [[ $(basename "$windows") == "vn3patch-$version-windows-x64.zip" ]] ||
    fail "the archives' names disagree on the version"
  mkdir -p "$work/unpacked" "$work/run"
  (cd "$work/unpacked" && cmake -E tar xf "$linux" && cmake -E tar xf "$windows")
  banner=$(cd "$work/run" && setsid "$work/unpacked/vn3patch" </dev/null | grep -m1 '^Vantor3 ') || true
  [[ $banner == *" v${version%.*}" ]] || fail "the banner '$banner' is not of version ${version%.*}"
  for program in vn3patch.exe vn3patch-tool.exe; do
    for field in FileVersion ProductVersion; do
      [[ $(strings -el "$work/unpacked/$program" | grep -A1 -x "$field" | tail -n 1) == "$version" ]] ||
        fail "$program: $field is not $version"
    done
    grep -aq "<assemblyIdentity [^>]*version=\"$version.0\"" "$work/unpacked/$program" ||
      fail "$program: the manifest's version is not $version.0"
  done
}

# Every text of the programs is explained in the player's two files; see
# player_messages.cpp. The names are the header's string_view declarations.
player_messages() {
  local missing
  sed -n 's/^inline constexpr std::string_view \([A-Za-z0-9_]*\) =.*/{"\1", vn3::msg::\1},/p' \
    "$source_dir/common/messages.hpp" >"$work/message_names.inc"
  g++ -std=c++20 -I "$source_dir" -I "$work" "$source_dir/tests/package/player_messages.cpp" \
    -o "$work/player_messages" || { fail "player_messages.cpp did not compile"; return; }
  missing=$("$work/player_messages" "$source_dir"/docs/{player-README,TROUBLESHOOTING}.txt) ||
    fail "neither docs/player-README.txt nor docs/TROUBLESHOOTING.txt explains:"$'\n'"$missing"
}

# The try-out command with no terminal: the program must end at once, and
# the command must print what changed and exit with 0. Its stand-in goes
# into the work folder, which is removed at the end.
try_out() {
  local status=0 out=$work/run/try-out
  mkdir -p "$work/run"
  TMPDIR=$work/run setsid timeout -k 5 120 "$source_dir/tools/try-standin.sh" </dev/null >"$out" 2>&1 ||
    status=$?
  ((status == 0)) || fail "the try-out command ended with status $status: $(tail -n 5 "$out")"
  grep -qx 'System/VN3Main.exe: unchanged' "$out" && grep -q '^Remove the stand-in with: rm -rf ' "$out" ||
    fail "the try-out command printed no summary of what changed"
}

check linux-tar linux_package
check windows-zip windows_package
check sha256sums sums
check versions versions
check player-messages player_messages
check try-out try_out

echo "package: $passed passed, $failed failed"
((failed == 0))
