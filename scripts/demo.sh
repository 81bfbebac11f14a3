#!/usr/bin/env bash
# demo.sh: installs what is missing, builds the Windows program and starts
# it under Wine in a private demo prefix (build/demo), with the stand-in
# Help runtime listing a few demo namespaces and the stand-in viewer
# installed as the registered viewer.
#
# With a usable display it shows the window there and returns when it is
# closed. Without one it runs on a private Xvfb, saves a screenshot of the
# window to build/demo/qn3.png, and ends everything it started.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
QN3_LOG_TAG=demo
. scripts/common.sh

demo="$root/build/demo"
qn3_install_packages
# win32 where the host runs it, else the win64 test vehicle (the same
# sources). QN3_BUILD_DIR picks another build tree of that kind.
if [ -n "${QN3_BUILD_DIR:-}" ] && [ -f "$QN3_BUILD_DIR/wine-arch" ]; then
  tree=$(qn3_tree_arch "$QN3_BUILD_DIR")
else
  tree=$(qn3_run_tree)
  [ "$tree" = win32 ] || qn3_log "running the win64 tree: $(qn3_host32_why)"
fi
build=${QN3_BUILD_DIR:-$root/build/$tree}
wdir="$demo/$tree/wine"

cleanup() {
  qn3_wine_stop "$wdir" >/dev/null 2>&1 || true
  qn3_xvfb_stop "$wdir" >/dev/null 2>&1 || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

cmake --preset "$tree" -B "$build" >/dev/null
cmake --build "$build" -j2 --target qn3 hxstandin viewer-standin e2e-wait-window

# The stand-in runtime lists the names file beside the DLL, so the demo
# registers its own copy, of the tree's kind, with its own names.
standins="$demo/$tree"
mkdir -p "$standins"
cp -f "$build/hxstandin.dll" "$standins/hxstandin.dll"
# A tab parts each name from its description, another one from its
# collection file: one in Japanese (in UTF-8, as the file is), one whose
# collection is gone.
printf '%s\r\n' $'Tarvik.QN3.UserGuide\tQN3 Helper User\'s Guide' \
  $'Tarvik.QN3.Reference\tQN3 Helper Reference' $'Demo.Library.v1\tDemo Library, version 1' \
  $'Demo.Handbook.ja\t\xE3\x83\x87\xE3\x83\xA2 \xE3\x83\x8F\xE3\x83\xB3\xE3\x83\x89\xE3\x83\x96\xE3\x83\x83\xE3\x82\xAF \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE7\x89\x88' \
  $'Demo.Tutorials.2026\tDemo Tutorials 2026\tC:\\Help\\Demo Tutorials\\Tutorials.HxC' \
  $'Sample.Collection\tSample Collection of Help 2 Topics' \
  >"$standins/namespaces.txt"

qn3_prefix_ensure "$wdir" "$(qn3_tree_arch "$build")"

display=
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  display=$DISPLAY
  headless=0
else
  qn3_xvfb_start "$wdir"
  display=$(qn3_display "$wdir")
  headless=1
fi

qn3_wine_start "$wdir" "$display"
qn3_install_standins "$wdir" "$standins" "$build/viewer-standin.exe"
# The list's font borrows the Japanese description's glyphs from IPA Gothic
# (fonts-ipafont-gothic), as Windows links its own Japanese font.
qn3_wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v Tahoma \
  /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic' /f </dev/null >/dev/null 2>&1 ||
  qn3_log "warning: no font link for the Japanese description"
export DISPLAY=$display

if [ $headless = 0 ]; then
  qn3_log "showing the window on $DISPLAY; close it to end the demo"
  qn3_wine "$build/qn3.exe" </dev/null >/dev/null 2>&1 || true
  exit 0
fi

qn3_wine "$build/qn3.exe" </dev/null >/dev/null 2>&1 &
# The picture shows the namespace list (control 101) dropped down, with the
# namespaces' descriptions.
rect=$(qn3_wine "$build/e2e-wait-window.exe" QN3Helper.Main 60 101 2>/dev/null | tr -d '\r') ||
  qn3_die "the main window did not appear"
read -r left top right bottom <<<"$rect"
# Wine copies what a window painted to the X screen when the program goes
# idle; give it that moment before the picture is taken.
sleep 1

# Windows coordinates are relative to Wine's desktop window; find where
# that window lies on the X screen.
offset=$(xwininfo -root -tree 2>/dev/null | awk '/Wine desktop/ {
  for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+\+-?[0-9]+\+-?[0-9]+$/) { print $i; exit } }')
dx=0 dy=0
if [[ $offset =~ ^[0-9]+x[0-9]+\+(-?[0-9]+)\+(-?[0-9]+)$ ]]; then
  dx=${BASH_REMATCH[1]} dy=${BASH_REMATCH[2]}
fi
out="$demo/qn3.png"
xwd -root -silent | convert xwd:- -crop "$((right - left))x$((bottom - top))+$((left + dx))+$((top + dy))" \
  +repage -strip "png:$out"
qn3_log "screenshot of the window: $out"
