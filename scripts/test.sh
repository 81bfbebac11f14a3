#!/usr/bin/env bash
# test.sh: installs what is missing (Debian, as root), builds the trees and
# runs every test: native unit tests (with the check of the shipped
# qn3.exe), then the Windows tests and the end-to-end tests under Wine,
# then two more clean builds of the release that must give the same bytes
# (scripts/reproducible.sh).
#
# win32 is always built, since it is what ships; its tests run where the
# host runs 32-bit programs. On x86_64 the win64 tree (the same sources,
# a test vehicle) is built and tested too, so that path never rots; on a
# host that runs 64-bit code only it is the one Windows tree tested.
# QN3_HOST32=0 takes that path on any host. Exits non-zero when anything
# fails, and leaves no process behind.
set -euo pipefail
cd "$(dirname "$0")/.."
QN3_LOG_TAG=test
. scripts/common.sh

# An interrupted run must not leave its Xvfb and wineserver running.
cleanup() {
  local t
  for t in win32 win64; do
    [ -d "build/$t" ] || continue
    scripts/wine-fixture.sh cleanup "build/$t" >/dev/null 2>&1 || true
    for dpi in 144 192; do
      [ -d "build/$t/dpi$dpi" ] &&
        tests/e2e/dpi-fixture.sh cleanup "build/$t" "build/$t/dpi$dpi" "$dpi" >/dev/null 2>&1 || true
    done
  done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

qn3_install_packages

trees=()
if qn3_host32; then
  trees+=(win32)
else
  qn3_log "win32 tests not run: $(qn3_host32_why); the win64 tests stand in for them"
fi
if [ "$(uname -m)" = x86_64 ]; then
  trees+=(win64)
fi
[ ${#trees[@]} -gt 0 ] || qn3_die "no Windows tree can run on this host ($(uname -m)): $(qn3_host32_why)"

builds=(native win32)
case " ${trees[*]} " in *" win64 "*) builds+=(win64) ;; esac
for preset in "${builds[@]}"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

rc=0
# The native tree checks the shipped program, which must be there now.
QN3_REQUIRE_ARTEFACT=1 ctest --preset native || rc=1
for preset in "${trees[@]}"; do
  qn3_log "Windows tests of the $preset tree"
  ctest --preset "$preset" || rc=1
done
qn3_log "the release built twice in two folders"
scripts/reproducible.sh || rc=1
if [ $rc = 0 ]; then
  qn3_log "all tests passed (native, ${trees[*]})"
else
  qn3_log "some tests failed"
fi
exit $rc
