# Sourced by the try-out and test commands: installs the Debian packages they
# need and are missing, with apt's own summary of what comes and its sizes.
#   vn3_need_packages WHAT PACKAGE...    WHAT says what they are for
# As root it installs them; otherwise, on a terminal with sudo, it lists them
# and asks before using sudo; otherwise it stops with the line to run.
vn3_need_packages() {
  local what=$1 me=${0##*/} p missing=() install answer=
  shift
  if ! command -v dpkg-query >/dev/null || ! command -v apt-get >/dev/null; then
    echo "$me: not a Debian-like system, so nothing is installed; $what needs: $*"
    return 0
  fi
  for p in "$@"; do
    [[ $(dpkg-query -W -f='${Status}' "$p" 2>/dev/null) == "install ok installed" ]] || missing+=("$p")
  done
  ((${#missing[@]})) || return 0

  install="apt-get install -y --no-install-recommends ${missing[*]}"
  echo "$me: $what needs these packages, not installed yet: ${missing[*]}"
  if ((EUID == 0)); then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update && apt-get install -y --no-install-recommends "${missing[@]}" || return 1
  elif ! command -v sudo >/dev/null; then
    echo "$me: stopped; run this as root, then start again:" >&2
    echo "  apt-get update && $install" >&2
    return 1
  else
    [[ -t 0 && -t 1 ]] && read -r -p "Install them now with sudo? [y/N] " answer
    if [[ ${answer:-} != [yY]* ]]; then
      echo "$me: stopped; install them with this, then start again:" >&2
      echo "  sudo apt-get update && sudo $install" >&2
      return 1
    fi
    sudo apt-get update && sudo apt-get install -y --no-install-recommends "${missing[@]}" || return 1
  fi
  echo "$me: installed ${missing[*]}"
}
