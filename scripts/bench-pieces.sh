#!/usr/bin/env bash
# bench-pieces.sh [--rounds N] [--tree win32|win64] [--no-build]: where
# qn3.exe's start-up time and peak working set go beyond the floor, one
# piece at a time, in the tree bench.sh measures (or the one named).
#
# Each piece of our own start is switched off by one compile definition
# (QN3_BENCH_WITHOUT_<PIECE>) in a Release tree of its own under
# build/pieces/TREE/, never in a shipped build; its qn3.exe goes to
# BENCH/pieces/<piece>/qn3.exe (BENCH: build/bench, or build/bench64 for
# win64), so that it keeps the program's name and
# so its settings file. Pieces that no definition can take out are measured
# the other way round, as the floor plus that piece: floor-cxx.exe (the C++
# runtime) and floor-dlls.exe (the file dialog's DLL, which qn3.exe loads
# only at Browse), built in BENCH. Then qn3bench compare starts all of them
# in turn, round after round, in BENCH's Wine prefix, and prints what each
# saves against qn3.exe; the figures go to BENCH/pieces.json.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
QN3_LOG_TAG=bench-pieces
. "$here/common.sh"

# The pieces of our start that a definition switches off.
PIECES=(app_window tooltips font dpi_query probe settings_read first_refresh)

rounds=100
tree=
do_build=1
while [ $# -gt 0 ]; do
  case $1 in
    --rounds) rounds=${2:?}; shift 2 ;;
    --tree) tree=${2:?}; shift 2 ;;
    --no-build) do_build=0; shift ;;
    *) qn3_die "usage: bench-pieces.sh [--rounds N] [--tree win32|win64] [--no-build]" ;;
  esac
done
qn3_install_packages
[ -n "$tree" ] || tree=$(qn3_run_tree)
case $tree in
  win32) build="$root/build/bench" ;;
  win64) build="$root/build/bench64" ;;
  *) qn3_die "--tree takes win32 or win64" ;;
esac
qn3_log "measuring the $tree tree"
if [ $do_build = 1 ]; then
  qn3_log "building the Release tree $build"
  (cd "$root" && cmake --preset "$tree" -B "$build" -DQN3_TESTS=OFF >/dev/null) || qn3_die "configure failed"
  cmake --build "$build" -j2 --target qn3 hxstandin floor floor-cxx floor-dlls qn3bench >/dev/null ||
    qn3_die "build failed"
  for piece in "${PIECES[@]}"; do
    ptree="$root/build/pieces/$tree/$piece"
    def="QN3_BENCH_WITHOUT_${piece^^}"
    qn3_log "building qn3.exe without $piece ($def)"
    # What a piece leaves unused is no fault of the build.
    (cd "$root" && cmake --preset "$tree" -B "$ptree" -DQN3_TESTS=OFF \
      "-DCMAKE_CXX_FLAGS=-D$def -Wno-unused-function -Wno-unused-variable" >/dev/null) ||
      qn3_die "configure failed for $piece"
    cmake --build "$ptree" -j2 --target qn3 >/dev/null || qn3_die "build failed for $piece"
    mkdir -p "$build/pieces/$piece"
    cp -f "$ptree/qn3.exe" "$build/pieces/$piece/qn3.exe"
  done
fi
contenders=(qn3.exe)
for piece in "${PIECES[@]}"; do
  f="$build/pieces/$piece/qn3.exe"
  [ -f "$f" ] || qn3_die "missing $f"
  # Without the first refresh the list stays empty: ready once shown and idle.
  if [ "$piece" = first_refresh ]; then
    contenders+=("pieces\\$piece\\qn3.exe=QN3Helper.Main,0")
  else
    contenders+=("pieces\\$piece\\qn3.exe")
  fi
done
contenders+=(floor.exe floor-cxx.exe floor-dlls.exe)

wdir="$build/wine"
cleanup() {
  qn3_wine_stop "$wdir"
  qn3_xvfb_stop "$wdir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
qn3_prefix_ensure "$wdir" "$(qn3_tree_arch "$build")" || exit 1
qn3_xvfb_start "$wdir" || exit 1
qn3_wine_start "$wdir" || exit 1
qn3_install_standins "$wdir" "$build" "$build/viewer-standin.exe"
DISPLAY=$(qn3_display "$wdir")
export DISPLAY

qn3_log "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
qn3_wine "$build/qn3bench.exe" compare "$rounds" "$(qn3_winpath "$build")\\pieces.json" "${contenders[@]}" \
  </dev/null 2>/dev/null | tr -d '\r'
rc=${PIPESTATUS[0]}
qn3_log "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
qn3_log "results: $build/pieces.json"
exit "$rc"
