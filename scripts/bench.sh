#!/usr/bin/env bash
# bench.sh [--rounds N] [--tree win32|win64] [--build-dir DIR] [--no-build]:
# the benchmarks.
#
# Measures the win32 tree where the host runs it, else the win64 one (or
# the tree named). Builds a Release tree of its own (build/bench, or
# build/bench64 for win64; tests off), starts a private
# Wine prefix and Xvfb there with the stand-in Help runtime registered, runs
# the start-up and memory benchmarks (qn3.exe in pairs with benchmarks/bare
# and with benchmarks/floor), the size and refresh benchmarks, the time
# from qn3.exe /open NAME to the stand-in viewer's start, the memory
# after 1,000 refreshes of 100 namespaces and the settings-text benchmark
# when it is built, prints their tables and writes
# every figure to build/bench/results.json. It ends everything it started.
#
# The settings-text benchmark (benchmarks/settings, settings_bench.exe) joins
# in when it is there: its table is shown as it prints it, and its rows go
# into the results as "settings", with the growth of the time per byte from
# the smallest to the largest text of each case.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
QN3_LOG_TAG=bench
. "$here/common.sh"

# Pairs: one start takes 0.1 to 0.4 s here, and a pair's two starts differ
# by some 50 ms on a busy machine; 40 pairs put the median within a few ms.
rounds=40
qn3_bench_args "$root" "bench.sh [--rounds N] [--tree win32|win64] [--build-dir DIR] [--no-build]" "$@"
qn3_install_packages
results="$root/build/bench"
parts="$results/parts"
mkdir -p "$parts"
rm -f "$parts"/*.json

if [ $do_build = 1 ]; then
  qn3_log "building the Release tree $bench"
  (cd "$root" && cmake --preset "$tree" -B "$bench" -DQN3_TESTS=OFF >/dev/null) || qn3_die "configure failed"
  targets=(qn3 hxstandin viewer-standin bare floor qn3bench)
  if grep -qs 'settings_bench' "$root/benchmarks/settings/CMakeLists.txt"; then targets+=(settings_bench); fi
  cmake --build "$bench" -j2 --target "${targets[@]}" >/dev/null || qn3_die "build failed"
fi
for f in qn3.exe hxstandin.dll viewer-standin.exe bare.exe floor.exe qn3bench.exe; do
  [ -f "$bench/$f" ] || qn3_die "missing $bench/$f"
done

qn3_bench_wine_up "$bench"

# run EXE ARGS...: a Windows program of the tree, its output without CR.
run() {
  qn3_wine "$@" </dev/null 2>/dev/null | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

failed=0
# The load beside us, before and after: timings on a shared machine are only
# as good as it was quiet.
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
run "$bench/qn3bench.exe" startup "$rounds" "$(qn3_winpath "$parts")\\startup.json" || failed=1
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
qn3_log "load average (1, 5, 15 min) before start-up: $load_before, after: $load_after"
printf '{"startup_load_average": {"before": "%s", "after": "%s"}}\n' "$load_before" "$load_after" >"$parts/load.json"
run "$bench/qn3bench.exe" refresh "$rounds" "$(qn3_winpath "$parts")\\refresh.json" || failed=1
run "$bench/qn3bench.exe" open "$rounds" "$(qn3_winpath "$parts")\\open.json" || failed=1
# Memory is not timing: a thousand refreshes whatever --rounds says.
run "$bench/qn3bench.exe" memory 1000 "$(qn3_winpath "$parts")\\memory.json" || failed=1
# settings_bench prints "case items bytes bytes ms ms MB/s MB/s ns/byte ns/byte"
# rows, the case name in the first 28 columns.
settings_json() {
  awk '
    / ns\/byte$/ {
      name = substr($0, 1, 28); sub(/ +$/, "", name)
      n = split(substr($0, 29), f, " +")
      i = (f[1] == "" ? 2 : 1)
      items = f[i]; bytes = f[i + 1]; ms = f[i + 3]; mbs = f[i + 5]; nsb = f[i + 7]
      rows = rows (rows == "" ? "" : ", ") sprintf("{\"case\": \"%s\", \"items\": %s, \"bytes\": %s, \"ms\": %s, \"mb_per_s\": %s, \"ns_per_byte\": %s}", name, items, bytes, ms, mbs, nsb)
      if (!(name in first)) { first[name] = nsb; order[++cases] = name }
      last[name] = nsb
    }
    END {
      growth = ""
      for (c = 1; c <= cases; c++) {
        g = first[order[c]] > 0 ? last[order[c]] / first[order[c]] : 0
        growth = growth (growth == "" ? "" : ", ") sprintf("\"%s\": %.3f", order[c], g)
      }
      printf "{\"rows\": [%s], \"ns_per_byte_growth_smallest_to_largest\": {%s}}\n", rows, growth
    }'
}
if [ -f "$bench/settings_bench.exe" ]; then
  echo "Settings text (benchmarks/settings)"
  if run "$bench/settings_bench.exe" >"$parts/settings.txt"; then
    cat "$parts/settings.txt"
    echo
    settings_json <"$parts/settings.txt" >"$parts/settings.json"
  else
    failed=1
  fi
else
  qn3_log "no settings_bench.exe in $bench: no settings-text figures"
fi

# The results: when and where, then each benchmark's object.
cpu=$(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo 2>/dev/null)
os=$(. /etc/os-release 2>/dev/null && echo "${PRETTY_NAME:-}")
json_str() { printf '"%s"' "$(printf '%s' "$1" | sed 's/\\/\\\\/g; s/"/\\"/g')"; }
{
  printf '{"date": %s, ' "$(json_str "$(date -u +%Y-%m-%dT%H:%M:%SZ)")"
  printf '"tree": %s, "loader": %s, ' "$(json_str "$tree")" "$(json_str "$WINELOADER")"
  printf '"machine": {"cpu": %s, "cores": %s, "os": %s, "wine": %s}' "$(json_str "${cpu:-unknown}")" \
    "$(nproc)" "$(json_str "${os:-unknown}")" "$(json_str "$(qn3_wine --version 2>/dev/null)")"
  for part in startup refresh open memory load; do
    f="$parts/$part.json"
    [ -s "$f" ] && printf ', %s' "$(tr -d '\r\n' <"$f" | sed 's/^{//; s/}$//')"
  done
  if [ -s "$parts/settings.json" ]; then
    printf ', "settings": %s' "$(tr -d '\r\n' <"$parts/settings.json")"
  fi
  printf '}\n'
} >"$results/results.json"
qn3_log "results: $results/results.json"
exit $failed
