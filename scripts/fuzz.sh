#!/usr/bin/env bash
# fuzz.sh SECONDS: fuzzes the settings reader for SECONDS seconds on one
# core (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) in
# its own build tree, build/fuzz. New inputs that add coverage are merged
# into tests/fuzz/corpus, which CTest replays; a crash leaves its input in
# build/fuzz and makes the script fail.
set -eu
[ $# -eq 1 ] || { echo "usage: fuzz.sh SECONDS" >&2; exit 2; }
secs=$1
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build/fuzz
corpus=$root/tests/fuzz/corpus

cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target settings_fuzz -j2

work=$build/corpus
mkdir -p "$work"
cd "$build"
rc=0
./settings_fuzz -max_total_time="$secs" -workers=1 -jobs=1 -timeout=10 -max_len=12000 \
  -rss_limit_mb=2048 -print_final_stats=1 "$work" "$corpus" || rc=$?
tail -n 15 fuzz-0.log 2>/dev/null || true
[ $rc -eq 0 ] || { echo "fuzz.sh: the fuzzer stopped with $rc; see $build" >&2; exit $rc; }
./settings_fuzz -merge=1 -max_len=12000 "$corpus" "$work" 2>&1 | tail -n 2
echo "fuzz.sh: corpus $(ls "$corpus" | wc -l) files"
