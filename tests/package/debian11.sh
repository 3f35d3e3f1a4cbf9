#!/usr/bin/env bash
# Runs the packaged Linux programs where an older system has an older C
# library: in a minimal Debian 11 root, as a player there would.
#   debian11.sh PACKAGE_DIR [E2E_TESTS]
#   VN3_BULLSEYE_ROOT   the root (default: ~/.cache/vn3patch/bullseye)
# The root is made on first use with `debootstrap --variant=minbase
# bullseye`, under a lock and a temporary name, renamed when complete. Only
# root can make it and change into it; for anyone else this says that it
# skipped and why. With E2E_TESTS (the end-to-end test program), the
# start-up transcripts and an action are also run against the packaged
# vn3patch.
set -euo pipefail

if (($# < 1 || $# > 2)); then
  echo "usage: $0 PACKAGE_DIR [E2E_TESTS]" >&2
  exit 2
fi
archive=("$1"/vn3patch-*-linux-*.tar.gz)
[[ -f ${archive[0]} ]] || { echo "no Linux package in $1" >&2; exit 1; }
root=${VN3_BULLSEYE_ROOT:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/vn3patch/bullseye}
work=$(mktemp -d "${TMPDIR:-/tmp}/vn3-debian11.XXXXXX")
trap 'rm -rf "$work" ${standin:+"$standin"}' EXIT
tar -C "$work" -xzf "${archive[0]}"

if [[ -n ${2:-} ]]; then
  echo "The start-up transcripts and action 3 against the packaged vn3patch:"
  VN3PATCH_BINARY=$work/vn3patch "$2" --gtest_filter='GoldenTranscript.*' --gtest_brief=1
fi

if ((EUID != 0)); then
  echo "debian11: skipped the run in Debian 11: only root can make its root and change into it"
  exit 0
fi

# Makes the root once, even when several runs start at once; a root that
# is there is complete, since only a finished one gets its name.
mkdir -p "$(dirname "$root")"
(
  flock 9
  if [[ ! -d $root ]]; then
    echo "Making the Debian 11 root $root (first use only, a minute or two) ..."
    rm -rf "$root".partial.*
    partial=$(mktemp -d "$root.partial.XXXXXX")
    if ! debootstrap --variant=minbase bullseye "$partial" >"$work/debootstrap.log" 2>&1; then
      tail -n 20 "$work/debootstrap.log" >&2
      rm -rf "$partial"
      echo "debian11: could not make the root $root" >&2
      exit 1
    fi
    mv "$partial" "$root"
  fi
) 9>"$root.lock"

# A stand-in installation of build B inside the root, the programs unpacked
# into its System folder; its package holds zeros, so no stock bytes.
standin=$(mktemp -d "$root/tmp/vn3-standin.XXXXXX")
mkdir -p "$standin/System" "$standin/CONTENT/VN3/Maps"
truncate -s $((0x628000)) "$standin/System/VN3Main.exe"
truncate -s $((0x826800)) "$standin/CONTENT/VN3/Maps/Core_FXBANK.ibt"
tar -C "$standin/System" -xzf "${archive[0]}"

# Runs PROGRAM in the stand-in's System folder inside the root, with no
# terminal and its own /proc; prints its output, returns its status.
run_in_root() {
  setsid unshare --fork --pid --mount-proc="$root/proc" \
    chroot "$root" /bin/sh -c 'cd "$1" && exec "./$2"' sh "/tmp/${standin##*/}/System" "$1" \
    </dev/null 2>&1
}

failed=0
status=0
out=$(run_in_root vn3patch) || status=$?
if ((status != 0)) || ! grep -qx 'Vantor3 v1.0 patcher v0.5' <<<"$out" ||
  ! grep -q '^IMPORTANT: ' <<<"$out" || ! grep -q 'Q\. Quit' <<<"$out"; then
  echo "debian11: vn3patch did not show its banner, notices and menu and end with 0 (status $status):" >&2
  echo "$out" >&2
  failed=1
fi
status=0
out=$(run_in_root vn3patch-extract) || status=$?
if ((status != 1)) || ! grep -q '^Refused the ' <<<"$out"; then
  echo "debian11: vn3patch-extract did not refuse the package with status 1 (status $status):" >&2
  echo "$out" >&2
  failed=1
fi
((failed)) && exit 1
echo "debian11: both programs ran in $(cat "$root/etc/debian_version" 2>/dev/null || echo "?") ($root)"
