#!/usr/bin/env bash
# Fails when a project include runs against the layers:
#   layering.sh
# A folder includes its own headers and those of the folders below it, in
# the order common < payload < patch < app; the console (app/console/) and
# the hashing (app/tool/hash/) include only their own; the companion
# (app/tool/) takes of app/ only the console header and the installation
# check, and nothing outside it includes it. Each include that breaks this is
# named with its file and line. The files are the C++ ones that git tracks in those
# folders; outside a git checkout, every one in them.
set -euo pipefail

cd "$(dirname "$0")/.."
layers=(common payload patch app)
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -- "${layers[@]}" | grep -E '\.(cpp|hpp)$')
else
  mapfile -t files < <(find "${layers[@]}" -type f \( -name '*.cpp' -o -name '*.hpp' \))
fi
if ((${#files[@]} == 0)); then
  echo "layering.sh: no C++ files found" >&2
  exit 1
fi

awk -v order="${layers[*]}" '
  BEGIN {
    n = split(order, names, " ")
    for (i = 1; i <= n; i++) rank[names[i]] = i
    gsub(" ", " < ", order)
  }
  FNR == 1 {
    split(FILENAME, part, "/"); own = part[1]; files++
    room = FILENAME ~ /^app\/(console|tool\/hash)\// ? (part[2] == "tool" ? "app/tool/hash/" : "app/console/") : ""
    tool = FILENAME ~ /^app\/tool\//
  }
  /^[ \t]*#[ \t]*include[ \t]*"/ {
    split($0, quoted, "\""); target = quoted[2]; split(target, part, "/")
    includes++
    if (room != "" && index(target, room) != 1) {
      printf "%s:%d: includes %s; %s includes only its own\n", FILENAME, FNR, target, room
      bad++
    } else if (!tool && index(target, "app/tool/") == 1) {
      printf "%s:%d: includes %s; only app/tool/ includes app/tool/\n", FILENAME, FNR, target
      bad++
    } else if (tool && part[1] == "app" && target !~ /^app\/(tool\/|console\/console\.hpp$|installation\.hpp$)/) {
      printf "%s:%d: includes %s; app/tool/ takes of app/ only console/console.hpp and installation.hpp\n", FILENAME, FNR, target
      bad++
    } else if ((part[1] in rank) && rank[part[1]] > rank[own]) {
      printf "%s:%d: includes %s, from above %s/ (%s)\n", FILENAME, FNR, target, own, order
      bad++
    }
  }
  END {
    if (bad) { printf "%d include%s against the layers\n", bad, bad == 1 ? "" : "s"; exit 1 }
    printf "%d includes in %d files, none against the layers\n", includes, files
  }' "${files[@]}"
