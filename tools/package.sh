#!/usr/bin/env bash
# Builds both release packages into build/packages/, with SHA256SUMS beside
# them (the format `sha256sum -c` reads), and prints the sums:
#   vn3patch-<version>-windows-x64.zip       cross-built with MinGW-w64
#   vn3patch-<version>-linux-x86_64.tar.gz
# Each unpacks straight into the game's System folder. The same tree gives
# the same bytes in any folder and for any user: every time in the archives
# and executables is SOURCE_DATE_EPOCH (the last commit's, unless it is set
# already), entries are sorted by name, owned by 0 and 0 with no names, and
# their modes are 0644, or 0755 for programs and folders.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh

vn3_need_packages "the release packages" cmake ninja-build g++ g++-mingw-w64-x86-64-posix zip ||
  exit 1
# Strip writes this time into the Windows programs' PE header.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct || true)}
if [[ -z $SOURCE_DATE_EPOCH ]]; then
  echo "package.sh: no git history to take the time from; set SOURCE_DATE_EPOCH" >&2
  exit 1
fi
# A zip holds local times.
export TZ=UTC LC_ALL=C

out=$PWD/build/packages
staging=$PWD/build/package-staging
rm -rf "$out" "$staging"
mkdir -p "$out"
for preset in release mingw-release; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  name=$(<"build/$preset/package-name")
  cmake --install "build/$preset" --prefix "$staging/$name" --strip >/dev/null
  (
    cd "$staging/$name"
    find . -type d -exec chmod 0755 {} +
    find . -type f -exec chmod 0644 {} +
    chmod 0755 vn3patch*
    find . -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
    # The entries in name order, without a leading "./".
    find . -mindepth 1 -printf '%P\n' | sort >"$staging/$name.list"
    if [[ $preset == mingw-* ]]; then
      # -X: no owner or extra times; names are taken in the order given.
      zip -X -q -D "$out/$name.zip" -@ <"$staging/$name.list"
    else
      tar --format=gnu --no-recursion --owner=0 --group=0 --numeric-owner \
        --mtime="@$SOURCE_DATE_EPOCH" -cf - -T "$staging/$name.list" | gzip -9 -n >"$out/$name.tar.gz"
    fi
  )
done
rm -rf "$staging"
(cd "$out" && sha256sum -- *.tar.gz *.zip >SHA256SUMS)
echo "Packages in $out, SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH:"
cat "$out/SHA256SUMS"
