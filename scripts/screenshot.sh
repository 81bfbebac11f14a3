#!/usr/bin/env bash
# screenshot.sh: refreshes the README's pictures in docs/ from a built tree
# (win32 where the host runs it, else win64): the main window as the demo
# shows it (on a private Xvfb), the About box, the window started at 144 DPI
# and the window moved from 96 to 144 DPI as their end-to-end tests leave
# them.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
QN3_LOG_TAG=screenshot
. scripts/common.sh

# QN3_BUILD_DIR picks another build tree (default build/win32, or
# build/win64 on a host that runs 64-bit code only).
build=${QN3_BUILD_DIR:-$root/build/$(qn3_run_tree)}
shots="$root/build/screenshots"
rm -rf "$shots"
mkdir -p "$shots" docs

env -u DISPLAY QN3_BUILD_DIR="$build" ./scripts/demo.sh
cp -f build/demo/qn3.png docs/qn3.png

# The tests write NAME.bmp into a Windows folder they are given.
QN3_SCREENSHOT_DIR=$(qn3_winpath "$shots") \
  ctest --test-dir "$build" -R '^(e2e_about_test|e2e_highdpi_test|e2e_dpi_change_test)$' --output-on-failure \
  >/dev/null || qn3_die "the tests that take the pictures failed"
for name in about qn3-144dpi qn3-moved-96-to-144dpi; do
  [ -f "$shots/$name.bmp" ] || qn3_die "no picture $name from the tests"
  convert "$shots/$name.bmp" -strip "docs/$name.png"
done
qn3_log "pictures in $root/docs: $(cd docs && echo *.png)"
