#!/usr/bin/env bash
# bench-pieces.sh [--rounds N] [--tree win32|win64] [--no-build]: where
# qn3.exe's start-up time and peak working set go beyond the floor, one
# piece at a time, in the tree bench.sh measures (or the one named).
#
# Each piece of our own start is taken out of a copy of the sources
# (build/pieces/TREE/<piece>/src) by the edit script
# benchmarks/pieces/<piece>.sh, and qn3.exe is built from that copy in a
# Release tree of its own beside it; the sources and every shipped build
# stay whole. Its qn3.exe goes to BENCH/pieces/<piece>/qn3.exe (BENCH:
# build/bench, or build/bench64 for win64), so that it keeps the program's
# name and so its settings file. Pieces that no edit can take out are
# measured the other way round, as the floor plus that piece: floor-cxx.exe
# (the C++ runtime) and floor-dlls.exe (the file dialog's DLL, which qn3.exe
# loads only at Browse), built in BENCH. Then qn3bench compare starts all of
# them in turn, round after round, in BENCH's Wine prefix, and prints what
# each saves against qn3.exe; the figures go to BENCH/pieces.json.
#
# An edit script is a few lines of these verbs, each FILE relative to the
# copy. Every anchor is a fixed snippet that must stand on exactly one line
# of FILE (and, for replace, once there); where one does not, the script
# stops and names the piece, rather than measure qn3.exe with the piece in.
#   replace FILE OLD NEW    OLD becomes NEW
#   drop FILE FIRST [LAST]  the lines from FIRST's through the end (";") of
#                           the statement that holds LAST (default FIRST) go
#   begin FILE HEAD CODE    CODE comes first in the body ("{") that HEAD's
#                           line opens, or the first line after it that does
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
QN3_LOG_TAG=bench-pieces
. "$here/common.sh"

# The pieces of our start, each taken out by benchmarks/pieces/<piece>.sh.
PIECES=(app_window tooltips font dpi_query probe settings_read first_refresh)

rounds=100
qn3_bench_args "$root" "bench-pieces.sh [--rounds N] [--tree win32|win64] [--no-build]" "$@"
qn3_install_packages

# edit VERB FILE A [B]: one edit of the piece being taken out, in its copy.
edit() {
  local verb=$1 file=$2
  [ -f "$src/$file" ] || qn3_die "$piece: its edit no longer applies: there is no $file"
  EDIT_VERB=$verb EDIT_A=$3 EDIT_B=${4:-} awk '
    function lines_with(t,   i, n, at) {
      for (i = 1; i <= NR; i++) if (index(L[i], t)) { n++; at = i }
      return n == 1 ? at : 0
    }
    # The first line from FROM on whose last visible character is C.
    function ending(from, c,   i, s) {
      for (i = from; i <= NR; i++) { s = L[i]; sub(/[ \t]+$/, "", s); if (substr(s, length(s)) == c) return i }
      return 0
    }
    { L[NR] = $0 }
    END {
      verb = ENVIRON["EDIT_VERB"]; a = ENVIRON["EDIT_A"]; b = ENVIRON["EDIT_B"]
      if (!(at = lines_with(a))) exit 1
      first = last = 0
      if (verb == "replace") {
        k = index(L[at], a); rest = substr(L[at], k + length(a))
        if (index(rest, a)) exit 1
        L[at] = substr(L[at], 1, k - 1) b rest
      } else if (verb == "drop") {
        to = b == "" ? at : lines_with(b)
        if (to < at || !(last = ending(to, ";"))) exit 1
        first = at
      } else if (verb == "begin") {
        if (!(open = ending(at, "{"))) exit 1
        match(L[open + 1], /^[ \t]*/)
        L[open] = L[open] "\n" substr(L[open + 1], 1, RLENGTH) b
      } else exit 2
      for (i = 1; i <= NR; i++) if (i < first || i > last) print L[i]
    }' "$src/$file" >"$src/$file.new" ||
    qn3_die "$piece: its edit no longer applies, a snippet is not there exactly once: $verb $file '$3'${4:+ '$4'}"
  mv "$src/$file.new" "$src/$file"
  edits=$((edits + 1))
}
replace() { edit replace "$@"; }
drop() { edit drop "$@"; }
begin() { edit begin "$@"; }

# build_without PIECE: qn3.exe without that piece, from a copy of the
# sources that its edit script changed, to BENCH/pieces/PIECE/qn3.exe.
build_without() {
  piece=$1
  local script="$root/benchmarks/pieces/$piece.sh" ptree="$root/build/pieces/$tree/$piece"
  [ -f "$script" ] || qn3_die "$piece: there is no $script"
  qn3_log "building qn3.exe without $piece"
  src="$ptree/src"
  qn3_copy_sources "$root" "$src" || qn3_die "cannot copy the sources"
  edits=0
  . "$script"
  [ "$edits" -gt 0 ] || qn3_die "$piece: $script makes no edit"
  # What a piece leaves unused is no fault of the build.
  (cd "$src" && cmake --preset "$tree" -B "$ptree/out" -DQN3_TESTS=OFF \
    "-DCMAKE_CXX_FLAGS=-Wno-unused-function -Wno-unused-variable" >/dev/null) ||
    qn3_die "configure failed for $piece"
  cmake --build "$ptree/out" -j2 --target qn3 >/dev/null || qn3_die "build failed for $piece"
  mkdir -p "$bench/pieces/$piece"
  cp -f "$ptree/out/qn3.exe" "$bench/pieces/$piece/qn3.exe"
}

if [ $do_build = 1 ]; then
  qn3_log "building the Release tree $bench"
  (cd "$root" && cmake --preset "$tree" -B "$bench" -DQN3_TESTS=OFF >/dev/null) || qn3_die "configure failed"
  cmake --build "$bench" -j2 --target qn3 hxstandin floor floor-cxx floor-dlls qn3bench >/dev/null ||
    qn3_die "build failed"
  for piece in "${PIECES[@]}"; do
    build_without "$piece"
  done
fi
contenders=(qn3.exe)
for piece in "${PIECES[@]}"; do
  f="$bench/pieces/$piece/qn3.exe"
  [ -f "$f" ] || qn3_die "missing $f"
  # Without the first refresh the list stays empty: ready once shown and idle.
  if [ "$piece" = first_refresh ]; then
    contenders+=("pieces\\$piece\\qn3.exe=QN3Helper.Main,0")
  else
    contenders+=("pieces\\$piece\\qn3.exe")
  fi
done
contenders+=(floor.exe floor-cxx.exe floor-dlls.exe)

qn3_bench_wine_up "$bench"

qn3_log "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
qn3_wine "$bench/qn3bench.exe" compare "$rounds" "$(qn3_winpath "$bench")\\pieces.json" "${contenders[@]}" \
  </dev/null 2>/dev/null | tr -d '\r'
rc=${PIPESTATUS[0]}
qn3_log "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
qn3_log "results: $bench/pieces.json"
exit "$rc"
