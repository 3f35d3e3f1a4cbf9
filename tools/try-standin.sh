#!/usr/bin/env bash
# Builds vn3patch and starts it in a freshly made stand-in installation: a
# throw-away folder tree with a game executable and graphics package of one
# build's exact sizes, so the whole program can be seen working without the
# game. Pass "A" to stand in for build A instead of build B. When the program
# ends, it lists every run of bytes that differs from how the stand-in began
# and the files the program made.
set -euo pipefail

build=${1:-B}
case $build in
  A) exe_size=$((0x624000)); package_size=$((0x7CE000)) ;;
  B) exe_size=$((0x628000)); package_size=$((0x826800)) ;;
  *) echo "usage: $0 [A|B]" >&2; exit 2 ;;
esac

source_dir=$(cd "$(dirname "$0")/.." && pwd)
"$source_dir/tools/build-release.sh"

exe=System/VN3Main.exe
package=CONTENT/VN3/Maps/Core_FXBANK.ibt
standin=$(mktemp -d "${TMPDIR:-/tmp}/vn3patch-standin.XXXXXX")
mkdir -p "$standin/System" "$standin/CONTENT/VN3/Maps" "$standin/as-made"

# Byte o of each game file is 0x80 + o % 128: every byte has its top bit set,
# so any write of 00, 20 or text shows, and no block site holds the stock
# lead bytes. Doubling a 128-byte seed makes megabytes in a moment.
printf "$(printf '\\%o' {128..255})" >"$standin/as-made/pattern"
while (($(stat -c %s "$standin/as-made/pattern") < package_size)); do
  cat "$standin/as-made/pattern" "$standin/as-made/pattern" >"$standin/as-made/next"
  mv "$standin/as-made/next" "$standin/as-made/pattern"
done
head -c "$exe_size" "$standin/as-made/pattern" >"$standin/as-made/VN3Main.exe"
head -c "$package_size" "$standin/as-made/pattern" >"$standin/as-made/Core_FXBANK.ibt"
rm "$standin/as-made/pattern"
cp "$standin/as-made/VN3Main.exe" "$standin/$exe"
cp "$standin/as-made/Core_FXBANK.ibt" "$standin/$package"

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
changes "$standin/$exe" "$standin/as-made/VN3Main.exe" "$exe"
changes "$standin/$package" "$standin/as-made/Core_FXBANK.ibt" "$package"
made=$(cd "$standin" && find System CONTENT -type f ! -path "$exe" ! -path "$package" \
  -printf '  %p, %s bytes\n' | sort)
echo "Files made:${made:+$'\n'}${made:- none}"
echo "Remove the stand-in with: rm -rf $standin"
exit "$status"
