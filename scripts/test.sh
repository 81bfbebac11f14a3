#!/usr/bin/env bash
# test.sh: installs what is missing (Debian, as root), builds both presets
# and runs every test: native unit tests, then the Windows tests and the
# end-to-end tests under Wine. Exits non-zero when anything fails, and
# leaves no process behind.
set -euo pipefail
cd "$(dirname "$0")/.."
QN3_LOG_TAG=test
. scripts/common.sh

# An interrupted run must not leave its Xvfb and wineserver running.
cleanup() { scripts/wine-fixture.sh cleanup build/win32 >/dev/null 2>&1 || true; }
trap cleanup EXIT
trap 'exit 130' INT TERM

qn3_install_packages

cmake --preset native >/dev/null
cmake --build --preset native
cmake --preset win32 >/dev/null
cmake --build --preset win32

rc=0
ctest --preset native || rc=1
ctest --preset win32 || rc=1
if [ $rc = 0 ]; then
  qn3_log "all tests passed"
else
  qn3_log "some tests failed"
fi
exit $rc
