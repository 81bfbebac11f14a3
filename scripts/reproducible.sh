#!/usr/bin/env bash
# reproducible.sh: builds the release twice from these sources, in two
# clean win32 trees in two different folders, and checks that both give
# the same qn3.exe, qn3prefs.exe, ZIP and SHA256SUMS, byte for byte.
# Prints the SHA-256 of each. Exits non-zero when they differ (the copies
# are kept then, under build/reproducible/, to compare), else removes them.
#
# The sources are the files git knows here, as they are in the work tree,
# so uncommitted changes are checked too. The copies are no checkouts, so
# the ZIP is told the time of the commit here (SOURCE_DATE_EPOCH); the
# programs are built without it, as anyone builds them.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
QN3_LOG_TAG=reproducible
. scripts/common.sh

qn3_install_packages
work="$root/build/reproducible"
# Two folders of different depth and name, so a build path that leaks into
# the programs shows as a difference.
copies=("$work/one/qn3" "$work/two/elsewhere/sources")
rm -rf "$work"
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}
unset SOURCE_DATE_EPOCH

version=$(sed -n 's/^project(QN3 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
files=(qn3.exe qn3prefs.exe "qn3-$version-win32.zip" SHA256SUMS)
for src in "${copies[@]}"; do
  qn3_log "building the release in $src"
  qn3_copy_sources "$root" "$src"
  (cd "$src" && cmake --preset win32 -DQN3_TESTS=OFF >/dev/null &&
    cmake --build --preset win32 >"$src/../build.log" 2>&1 &&
    SOURCE_DATE_EPOCH=$epoch cmake --build --preset win32 --target package >>"$src/../build.log" 2>&1) ||
    qn3_die "the build in $src failed: $src/../build.log"
done

a="${copies[0]}/build/win32"
b="${copies[1]}/build/win32"
differ=0
for f in "${files[@]}"; do
  if cmp -s "$a/$f" "$b/$f"; then
    printf '%s  %s\n' "$(sha256sum <"$a/$f" | cut -d' ' -f1)" "$f"
  else
    differ=1
    qn3_log "$f differs between the two builds; first differing bytes (offset, octal):"
    cmp -l "$a/$f" "$b/$f" 2>&1 | head -n 8 >&2 || true
  fi
done
if [ $differ = 1 ]; then
  qn3_die "the two builds differ; both are kept in $work"
fi
rm -rf "$work"
qn3_log "two builds in two folders gave the same bytes"
