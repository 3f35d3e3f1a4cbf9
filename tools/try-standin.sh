#!/usr/bin/env bash
# Builds vn3patch and starts it in a freshly made stand-in installation: a
# throw-away folder tree with a game executable and graphics package of one
# build's exact sizes (sparse files, all zeros), so the whole program can be
# seen working without the game. Pass "A" to stand in for the other build.
set -euo pipefail

build=${1:-B}
case $build in
  A) exe_size=$((0x624000)); package_size=$((0x7CE000)); loot_offset=0x57CEE1 ;;
  B) exe_size=$((0x628000)); package_size=$((0x826800)); loot_offset=0x5814B9 ;;
  *) echo "usage: $0 [A|B]" >&2; exit 2 ;;
esac

source_dir=$(cd "$(dirname "$0")/.." && pwd)
"$source_dir/tools/build-release.sh"

standin=$(mktemp -d "${TMPDIR:-/tmp}/vn3patch-standin.XXXXXX")
mkdir -p "$standin/System" "$standin/CONTENT/VN3/Maps"
truncate -s "$exe_size" "$standin/System/VN3Main.exe"
truncate -s "$package_size" "$standin/CONTENT/VN3/Maps/Core_FXBANK.ibt"

echo "Stand-in installation (build $build): $standin"
echo "Inspect the bytes afterwards with, for example:"
echo "  od -A x -t x1 -j $((loot_offset)) -N 1 $standin/System/VN3Main.exe   (the loot-percentage byte)"
cd "$standin/System"
exec "$source_dir/build/release/vn3patch"
