#!/usr/bin/env bash
# Builds vn3patch and starts it in a freshly made stand-in installation: a
# throw-away folder tree with a game executable and graphics package of one
# build's exact sizes, so the whole program can be seen working without the
# game. Pass "A" to stand in for build A instead of build B. When the program
# ends, it lists every run of bytes that differs from how the stand-in began
# and the files the program made.
set -euo pipefail

build=${1:-B}
[[ $build == [AB] ]] || { echo "usage: $0 [A|B]" >&2; exit 2; }

source_dir=$(cd "$(dirname "$0")/.." && pwd)
source "$source_dir/tools/standin.sh"
"$source_dir/tools/build-release.sh"

standin=$(mktemp -d "${TMPDIR:-/tmp}/vn3patch-standin.XXXXXX")
vn3_standin "$standin" "$build"
mkdir "$standin/as-made"
cp "$standin/$vn3_exe" "$standin/$vn3_package" "$standin/as-made/"

echo "Stand-in installation of build $build made: $standin"
echo "  (its game files hold bytes 80 to FF over and over; copies of them as made are in as-made/)"
echo "Starting vn3patch in its System folder; Q quits."
status=0
(cd "$standin/System" && "$source_dir/build/release/vn3patch") || status=$?

# Every run of bytes in FILE that differs from ORIGINAL: its offset, its
# length and, for short runs, the bytes before and after.
changes() {
  local file=$1 original=$2 size
  if cmp -s "$original" "$file"; then
    echo "$3: unchanged"
    return
  fi
  echo "$3:"
  size=$(stat -c %s "$file")
  [[ $size == "$(stat -c %s "$original")" ]] || echo "  now $size bytes long"
  # cmp ends with status 1 when the files differ, which is the point here.
  { cmp -l "$original" "$file" 2>/dev/null || true; } | awk '
    function byte(octal,  v, i) {
      v = 0
      for (i = 1; i <= length(octal); i++) v = v * 8 + substr(octal, i, 1)
      return sprintf(" %02X", v)
    }
    function flush() {
      if (!n) return
      line = sprintf("  0x%X, %d byte%s", start - 1, n, n == 1 ? "" : "s")
      if (n <= 8) print line ":" was " ->" now
      else if (n <= 16) print line "\n    was" was "\n    now" now
      else print line
    }
    {
      if (n && $1 == start + n) n++
      else { flush(); start = $1; n = 1; was = ""; now = "" }
      if (n <= 16) { was = was byte($2); now = now byte($3) }
    }
    END { flush() }'
}

printf '\n\n'
echo "What changed in the stand-in:"
changes "$standin/$vn3_exe" "$standin/as-made/VN3Main.exe" "$vn3_exe"
changes "$standin/$vn3_package" "$standin/as-made/Core_FXBANK.ibt" "$vn3_package"
made=$(cd "$standin" && find System CONTENT -type f ! -path "$vn3_exe" ! -path "$vn3_package" \
  -printf '  %p, %s bytes\n' | sort)
echo "Files made:${made:+$'\n'}${made:- none}"
echo "Remove the stand-in with: rm -rf $standin"
exit "$status"
