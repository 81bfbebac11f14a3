#!/usr/bin/env bash
# wine-run.sh EXE [ARGS...]: run a Windows program of the build under Wine,
# in the build tree's private prefix, and pass its exit code through.
#
# The build tree is $QN3_BUILD_DIR, else the program's folder. When the
# "wine" test fixture runs (scripts/wine-fixture.sh), the program uses its
# display and warm wineserver. Otherwise the prefix is created (and the
# stand-ins installed) when missing, a private Xvfb serves when there is no
# $DISPLAY, and the run waits for its wineserver, so nothing is left running.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
QN3_LOG_TAG=wine-run
. "$here/common.sh"

[ $# -ge 1 ] || qn3_die "usage: wine-run.sh EXE [ARGS...]"
exe=$1
shift
[ -f "$exe" ] || qn3_die "no such program: $exe"

# Every program of a tree lies in its top folder, so the program's folder
# tells which tree, and so which Wine, it is for.
tree=$(cd "$(dirname "$exe")" && pwd)
build=${QN3_BUILD_DIR:-$tree}
wdir="$build/wine"
qn3_prefix_ensure "$wdir" "$(qn3_tree_arch "$tree")" || exit 1

warm=0
private=
if display=$(qn3_display "$wdir"); then
  export DISPLAY="$display"
  warm=1
else
  # Run by hand: without a display of its own a window cannot be created,
  # so bring a private Xvfb for this one run.
  if [ -z "${DISPLAY:-}" ]; then
    private=$(mktemp -d "$wdir/run.XXXXXX")
    trap 'qn3_xvfb_stop "$private"; rm -rf "$private"' EXIT
    qn3_xvfb_start "$private" || exit 1
    export DISPLAY=$(qn3_display "$private")
  fi
  # A prefix made before the stand-ins were built lacks them.
  if ! grep -q 'hxstandin.dll' "$WINEPREFIX/system.reg" 2>/dev/null ||
    [ ! -f "$WINEPREFIX/drive_c/Program Files/Help Viewer/dexplore.exe" ]; then
    qn3_install_standins "$wdir" "$build" "$build/viewer-standin.exe"
  fi
fi

qn3_wine "$exe" "$@"
rc=$?

# Without the fixture's persistent server, the server of this run ends
# by itself after the last program; wait so no process outlives us.
[ "$warm" = 1 ] || wineserver -w >/dev/null 2>&1
exit $rc
