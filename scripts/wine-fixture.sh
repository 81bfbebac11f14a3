#!/usr/bin/env bash
# wine-fixture.sh setup|cleanup BUILD_DIR: the "wine" test fixture.
#
# setup: the build tree's prefix (created when missing, of the tree's
# architecture), a private Xvfb,
# a persistent wineserver with Wine's system processes, the stand-in Help
# runtime registered and the stand-in viewer installed as the registered
# viewer. cleanup: ends the wineserver of the prefix, then the Xvfb.
# Both are idempotent; a second setup reuses the prefix.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
QN3_LOG_TAG=wine-fixture
. "$here/common.sh"

[ $# -eq 2 ] || qn3_die "usage: wine-fixture.sh setup|cleanup BUILD_DIR"
build=$(cd "$2" && pwd) || exit 1
wdir="$build/wine"

case $1 in
  setup)
    qn3_prefix_ensure "$wdir" "$(qn3_tree_arch "$build")" || exit 1
    qn3_xvfb_start "$wdir" || exit 1
    qn3_wine_start "$wdir" || exit 1
    qn3_install_standins "$wdir" "$build" "$build/viewer-standin.exe"
    qn3_log "prefix $WINEPREFIX on display $(qn3_display "$wdir")"
    ;;
  cleanup)
    qn3_wine_stop "$wdir"
    qn3_xvfb_stop "$wdir"
    ;;
  *)
    qn3_die "usage: wine-fixture.sh setup|cleanup BUILD_DIR"
    ;;
esac
