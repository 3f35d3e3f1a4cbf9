#!/usr/bin/env bash
# Runs the packaged Linux programs where an older system has an older C
# library, as a player there would: in a minimal Debian 11 root.
#   debian11.sh PACKAGE_DIR [E2E_TESTS]
#   VN3_BULLSEYE_ROOT   the root (default: ~/.cache/vn3patch/bullseye)
# The root is made on first use with `debootstrap --variant=minbase
# bullseye`, under a lock and a temporary name, renamed when complete. Only
# root can make it and change into it; anyone else is told it was skipped.
# E2E_TESTS, the end-to-end test program, also runs its start-up transcripts
# and an action against the packaged vn3patch.
set -euo pipefail

archive=("$1"/vn3patch-*-linux-*.tar.gz)
[[ -f ${archive[0]} ]] || { echo "debian11: no Linux package in $1" >&2; exit 1; }
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

# Made once even when several runs start at once; a root that has its name
# is complete.
mkdir -p "$(dirname "$root")"
(
  flock 9
  [[ -d $root ]] && exit 0
  echo "Making the Debian 11 root $root (first use only, a minute or two) ..."
  rm -rf "$root".partial.*
  partial=$(mktemp -d "$root.partial.XXXXXX")
  debootstrap --variant=minbase bullseye "$partial" >"$work/debootstrap.log" 2>&1 ||
    { tail -n 20 "$work/debootstrap.log" >&2; rm -rf "$partial"; exit 1; }
  mv "$partial" "$root"
) 9>"$root.lock" || { echo "debian11: could not make the root $root" >&2; exit 1; }

# A stand-in installation of build B inside the root, the programs unpacked
# into its System folder; its package holds no stock bytes.
standin=$(mktemp -d "$root/tmp/vn3-standin.XXXXXX")
source "$(dirname "$0")/../../tools/standin.sh"
vn3_standin "$standin" B
tar -C "$standin/System" -xzf "${archive[0]}"

# A /proc of the programs' own, in a mount namespace whose mounts unshare
# first makes private, which needs / to be a mount point. In a chroot it is
# not, and a proc mounted there without that could propagate back into the
# caller's mount table and stay; there the programs, which read nothing in
# /proc, run without one.
own_proc=() proc_note=", without /proc: / is no mount point here"
if mountpoint -q /; then own_proc=(--mount-proc="$root/proc") proc_note=; fi

# Runs COMMAND (a program of the package and its arguments, one word each)
# in the stand-in's System folder inside the root, without a terminal and
# in a pid namespace of its own; expects STATUS and lines matching each
# PATTERN in its output.
failed=0
expect_run() {
  local program=$1 expected=$2 pattern status=0 out
  out=$(setsid unshare --fork --pid "${own_proc[@]}" chroot "$root" \
    /bin/sh -c 'cd "$1" && exec ./$2' sh "/tmp/${standin##*/}/System" "$program" \
    </dev/null 2>&1) || status=$?
  shift 2
  for pattern in "$@"; do grep -q "$pattern" <<<"$out" || status="$status, no '$pattern'"; done
  if [[ $status != "$expected" ]]; then
    echo "debian11: $program ended with status $status (expected $expected) and printed:" >&2
    echo "$out" >&2
    failed=1
  fi
}
# The banner, the notices and the menu, then the end with no terminal.
expect_run vn3patch 0 '^Vantor3 v1.0 patcher v0.5$' '^IMPORTANT: ' '^	Q\. Quit$'
expect_run "vn3patch-tool extract" 1 '^Refused the arrow-trail stock data: '
expect_run "vn3patch-tool status" 0 "^Game: build B (VN3Main.exe, ${vn3_exe_size[B]} bytes)$"
((failed == 0)) || exit 1
echo "debian11: both programs ran in Debian $(cat "$root/etc/debian_version") ($root$proc_note)"
