#!/usr/bin/env bash
# Fails when a C++ file is not as clang-format leaves it:
#   format.sh CLANG_FORMAT
# Each such file is named, with its first unformatted line. The files are
# the ones git tracks; outside a git checkout, every one in the source tree
# but build/.
set -euo pipefail

if (($# != 1)); then
  echo "usage: $0 CLANG_FORMAT" >&2
  exit 2
fi
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.hpp')
else
  mapfile -t files < <(find . -path ./build -prune -o -type f \( -name '*.cpp' -o -name '*.hpp' \) -print)
fi
if ((${#files[@]} == 0)); then
  echo "format.sh: no C++ files found" >&2
  exit 1
fi
"$1" --dry-run --Werror --ferror-limit=1 "${files[@]}"
echo "${#files[@]} C++ files formatted as clang-format leaves them"
