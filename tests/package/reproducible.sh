#!/usr/bin/env bash
# Builds the release packages twice, from two copies of this tree (as it is,
# uncommitted changes included) in two folders, the second at least a second
# after the first and, when this runs as root, as the user nobody; every byte
# of the two builds' packages must agree.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/vn3-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT
chmod 0755 "$work"
# The copies have no history to take the time from.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$source_dir" log -1 --format=%ct)}

# Copies the tree without its builds and history into FOLDER and makes the
# packages there, as USER if given.
build_copy() {
  local copy=$1 user=${2:-} as=()
  mkdir -p "$copy"
  tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$copy" -xf -
  if [[ -n $user ]]; then
    chown -R "$user:" "$copy"
    as=(runuser -u "$user" -- env HOME="$copy")
  fi
  "${as[@]}" "$copy/tools/package.sh" >"$copy.log" 2>&1 ||
    { tail -n 20 "$copy.log" >&2; echo "reproducible: the package build in $copy failed" >&2; return 1; }
}

first=$work/one/vn3patch
second=$work/two/a/longer/path/vn3patch
echo "Building the packages in $first ..."
build_copy "$first"
sleep 1
if ((EUID == 0)); then
  echo "Building them again in $second as nobody ..."
  build_copy "$second" nobody
else
  echo "Building them again in $second (as $(id -un): only root can build as another user) ..."
  build_copy "$second"
fi

differ=0
diff <(ls "$first/build/packages") <(ls "$second/build/packages") >&2 || differ=1
for file in "$first"/build/packages/*; do
  cmp "$file" "$second/build/packages/${file##*/}" >&2 || differ=1
done
((differ == 0)) || { echo "reproducible: the two builds differ" >&2; exit 1; }
echo "reproducible: both builds gave the same bytes:"
cat "$first/build/packages/SHA256SUMS"
