#!/usr/bin/env bash
# dpi-fixture.sh setup|cleanup BUILD_DIR STATE_DIR DPI: a test fixture
# ("wine144", "wine192"), a Wine environment of its own at that DPI in
# STATE_DIR/wine with the build's stand-ins registered. Tests run in it with
# QN3_BUILD_DIR=STATE_DIR (scripts/wine-run.sh takes the prefix from there).
# Idempotent.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
QN3_LOG_TAG=dpi-fixture
. "$here/../../scripts/common.sh"

usage="usage: dpi-fixture.sh setup|cleanup BUILD_DIR STATE_DIR DPI"
[ $# -eq 4 ] || qn3_die "$usage"
build=$(cd "$2" && pwd) || exit 1
mkdir -p "$3"
state=$(cd "$3" && pwd)
dpi=$4
case $dpi in '' | *[!0-9]*) qn3_die "$usage" ;; esac
wdir="$state/wine"
stamp=.qn3-dpi$dpi

dpi_reg() {
  local hex
  hex=$(printf '%08x' "$dpi")
  cat <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"LogPixels"=dword:$hex

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]
"LogPixels"=dword:$hex

REG
}

case $1 in
  setup)
    qn3_prefix_ensure "$wdir" "$(qn3_tree_arch "$build")" || exit 1
    if [ ! -f "$WINEPREFIX/$stamp" ]; then
      dpi_reg | qn3_regedit || qn3_die "could not set $dpi DPI"
      # Every process reads the DPI when it starts; save it for the next server.
      wineserver -w
      touch "$WINEPREFIX/$stamp"
    fi
    qn3_xvfb_start "$wdir" || exit 1
    qn3_wine_start "$wdir" || exit 1
    qn3_install_standins "$wdir" "$build" "$build/viewer-standin.exe"
    qn3_log "$dpi-DPI prefix $WINEPREFIX on display $(qn3_display "$wdir")"
    ;;
  cleanup)
    qn3_wine_stop "$wdir"
    qn3_xvfb_stop "$wdir"
    ;;
  *)
    qn3_die "$usage"
    ;;
esac
