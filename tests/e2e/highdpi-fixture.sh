#!/usr/bin/env bash
# highdpi-fixture.sh setup|cleanup BUILD_DIR STATE_DIR: the "wine144" test
# fixture, a second Wine environment at 144 DPI in STATE_DIR/wine with the
# build's stand-ins registered. Tests run in it with QN3_BUILD_DIR=STATE_DIR
# (scripts/wine-run.sh takes the prefix from there). Idempotent.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
QN3_LOG_TAG=highdpi-fixture
. "$here/../../scripts/common.sh"

[ $# -eq 3 ] || qn3_die "usage: highdpi-fixture.sh setup|cleanup BUILD_DIR STATE_DIR"
build=$(cd "$2" && pwd) || exit 1
mkdir -p "$3"
state=$(cd "$3" && pwd)
wdir="$state/wine"
stamp=.qn3-dpi144

dpi_reg() {
  cat <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000090

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts]
"LogPixels"=dword:00000090

REG
}

case $1 in
  setup)
    qn3_prefix_ensure "$wdir" "$(qn3_tree_arch "$build")" || exit 1
    if [ ! -f "$WINEPREFIX/$stamp" ]; then
      dpi_reg | qn3_regedit || qn3_die "could not set 144 DPI"
      # Every process reads the DPI when it starts; save it for the next server.
      wineserver -w
      touch "$WINEPREFIX/$stamp"
    fi
    qn3_xvfb_start "$wdir" || exit 1
    qn3_wine_start "$wdir" || exit 1
    qn3_install_standins "$wdir" "$build" "$build/viewer-standin.exe"
    qn3_log "144-DPI prefix $WINEPREFIX on display $(qn3_display "$wdir")"
    ;;
  cleanup)
    qn3_wine_stop "$wdir"
    qn3_xvfb_stop "$wdir"
    ;;
  *)
    qn3_die "usage: highdpi-fixture.sh setup|cleanup BUILD_DIR STATE_DIR"
    ;;
esac
