#!/usr/bin/env bash
# bench-trace.sh [--rounds N] [--tree win32|win64]: where the start-up time
# of qn3.exe and of floor.exe goes, step by step, measured inside each
# program, in the tree bench.sh measures (or the one named).
#
# Copies the tracked sources of this tree to build/trace/src, inserts the
# marks of benchmarks/trace/marks.txt there (benchmarks/trace/Trace.h), builds
# qn3.exe and floor.exe from that copy (build/trace/TREE) and starts them in
# turn in the bench tree's Wine prefix (build/bench, or build/bench64 for
# win64, built by bench.sh), as
# qn3bench compare does. Each run records its marks; the table gives each
# step's median in ms, the step from process creation to WinMain included.
# The marks time only the program's own thread, and add a little; the
# start-up figures are bench.sh's.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
QN3_LOG_TAG=bench-trace
. "$here/common.sh"

rounds=40
qn3_bench_args "$root" "bench-trace.sh [--rounds N] [--tree win32|win64]" "$@"
for f in qn3bench.exe hxstandin.dll; do
  [ -f "$bench/$f" ] || qn3_die "missing $bench/$f: run scripts/bench.sh first"
done
src="$root/build/trace/src"
out="$root/build/trace/$tree"

# The copy the marks go into.
qn3_copy_sources "$root" "$src" || qn3_die "cannot copy the sources"

# mark FILE WHERE LINE NAME: insert the mark before or after the one line
# that reads LINE; "idle" is taken on the first WM_NULL only.
mark() {
  local file="$src/$1" where=$2 line=$3 name=$4 code
  code="QN3_MARK(\"$name\");"
  [ "$name" = idle ] && code="if (msg == WM_NULL) $code"
  awk -v line="$line" -v code="$code" -v where="$where" '
    $0 == line { found++; if (where == "before") print code; print; if (where == "after") print code; next }
    { print }
    END { if (found != 1) exit 1 }' "$file" >"$file.new" || qn3_die "$1: the line for mark $name is not there once: $line"
  mv "$file.new" "$file"
}
declare -A marked=()
while IFS=$'\t' read -r file where line name; do
  case $file in '#'* | '') continue ;; esac
  mark "$file" "$where" "$line" "$name"
  marked[$file]=1
done <"$root/benchmarks/trace/marks.txt"
for file in "${!marked[@]}"; do
  sed -i '1i #include "benchmarks/trace/Trace.h"' "$src/$file"
done

qn3_log "building the marked copy in $out"
(cd "$src" && cmake --preset "$tree" -B "$out" -DQN3_TESTS=OFF >/dev/null) || qn3_die "configure failed"
cmake --build "$out" -j2 --target qn3 floor >/dev/null || qn3_die "build failed"
mkdir -p "$bench/trace"
cp -f "$out/qn3.exe" "$out/floor.exe" "$bench/trace/"

qn3_bench_wine_up "$bench"

log="$bench/trace/marks.txt"
rm -f "$log"
QN3_TRACE_FILE=$(qn3_winpath "$bench/trace")\\marks.txt
export QN3_TRACE_FILE
qn3_log "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
qn3_wine "$bench/qn3bench.exe" compare "$rounds" "$(qn3_winpath "$bench/trace")\\compare.json" \
  'trace\qn3.exe' 'trace\floor.exe' </dev/null 2>/dev/null | tr -d '\r'
qn3_log "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
[ -s "$log" ] || qn3_die "no marks in $log"

# Medians of each step, per program; the first run of each (unmeasured by
# compare, it loads the files) is left out.
tr -d '\r' <"$log" | awk '
  function median(list, n,   a, i, j, t, k) {
    k = split(list, a, " ")
    for (i = 2; i <= k; i++) for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
    return k % 2 ? a[(k + 1) / 2] : (a[k / 2] + a[k / 2 + 1]) / 2
  }
  {
    prog = $1
    if (!(prog in runs)) { runs[prog] = 0; progs[++np] = prog }
    if (runs[prog]++ == 0) next
    prev = 0
    for (i = 2; i <= NF; i++) {
      split($i, kv, ":"); name = kv[1]; t = kv[2] + 0
      key = prog SUBSEP name
      if (!(key in steps)) { steps[key] = ""; order[prog, ++ns[prog]] = name }
      step = (name == "created") ? t : t - prev
      if (name != "created") prev = t
      steps[key] = steps[key] " " step
      if (name == "idle") { total[prog] = total[prog] " " t }
    }
  }
  END {
    for (p = 1; p <= np; p++) {
      prog = progs[p]
      printf "%s, %d runs: median ms of each step (created: process creation to WinMain)\n", prog, runs[prog] - 1
      for (s = 1; s <= ns[prog]; s++) { name = order[prog, s]; printf "  %-24s %8.2f\n", name, median(steps[prog, name]) }
      printf "  %-24s %8.2f\n\n", "WinMain to idle", median(total[prog])
    }
  }'
