# Sourced by the scripts that run Windows programs under Wine: a quiet Wine in
# a prefix of the project's own, made on first use.
#   VN3_WINEPREFIX   the prefix (default: ~/.cache/vn3patch/wine)
export WINEPREFIX=${VN3_WINEPREFIX:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/vn3patch/wine}
export WINEDEBUG=-all
# Nothing here needs .NET or a browser engine: no install prompts for them.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Makes the prefix if it is not there yet. The first boot takes a while, so
# it is done once, under a lock, even when several tests start at once.
vn3_wine_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
      timeout -k 10 300 wineboot -i >/dev/null 2>&1 </dev/null || true
      timeout -k 10 120 wineserver -w || true
      [[ -f $WINEPREFIX/system.reg ]] || { echo "wine: could not make the prefix $WINEPREFIX" >&2; exit 1; }
    fi
  ) 9>"$WINEPREFIX.lock"
  # One server for all the short runs of a test suite, ending itself 30
  # seconds after the last: one that shuts down at each program's end, as
  # Debian's starts by default, can fail the next program as it connects.
  # When a server is up already this does nothing.
  wineserver -p30 >/dev/null 2>&1 </dev/null || true
}
