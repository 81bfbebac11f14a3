# Shared shell functions for the Wine scripts. Source it; it defines
# functions and a few read-only settings, and runs nothing by itself.
#
# A "wine dir" holds everything one Wine environment needs:
#   prefix/      the WINEPREFIX, of the architecture in arch
#   arch         win32 or win64: the tree whose programs run there
#   display      the X display of the Xvfb the fixture started (":N")
#   xvfb.pid     that Xvfb's process id
#   prefix.lock  serialises prefix creation between parallel callers
# Test runs use BUILD_DIR/wine; the demo uses its own.
#
# Two build trees run under Wine: win32 (what ships) with the 32-bit
# loader, and win64 (a test vehicle for the same sources) with the 64-bit
# one. Every Wine call here goes through qn3_wine, which uses the loader of
# the tree in use.

QN3_VIEWER_APPID='{5E3C1E2A-7A51-4C1B-9F0D-2B1C6A0E4D11}'
QN3_VIEWER_WINPATH='C:\Program Files\Help Viewer\dexplore.exe'
# Bump when the prefix settings change, so old prefixes are reconfigured.
QN3_PREFIX_STAMP=.qn3-prefix-v1
QN3_WINE32_LOADER=/usr/lib/wine/wine
QN3_WINE64_LOADER=/usr/lib/wine/wine64

qn3_log() { printf '%s: %s\n' "${QN3_LOG_TAG:-qn3}" "$*" >&2; }
qn3_die() { qn3_log "$*"; exit 1; }

# qn3_host32: the host runs 32-bit programs, that is, the 32-bit Wine
# loader starts. Some x86_64 hosts run 64-bit user code only, and there an
# i386 execve fails. QN3_HOST32=0 takes the 64-bit-only path on any host.
qn3_host32() {
  [ "${QN3_HOST32:-}" = 0 ] && return 1
  "$QN3_WINE32_LOADER" --version >/dev/null 2>&1
}

# qn3_host32_why: one line saying why the 32-bit tree cannot run here.
qn3_host32_why() {
  if [ "${QN3_HOST32:-}" = 0 ]; then
    echo "QN3_HOST32=0 asks for the 64-bit-only path"
  elif [ ! -x "$QN3_WINE32_LOADER" ]; then
    echo "there is no 32-bit Wine loader ($QN3_WINE32_LOADER)"
  else
    echo "the 32-bit Wine loader does not start ($("$QN3_WINE32_LOADER" --version 2>&1 | head -n1)): the host runs 64-bit code only"
  fi
}

# qn3_run_tree: the tree to run when one is enough (the demo, the
# screenshots, the benchmarks): win32, which ships, where the host runs it,
# else win64.
qn3_run_tree() {
  if qn3_host32; then echo win32; else echo win64; fi
}

# qn3_tree_arch BUILD_DIR: the Wine architecture of a build tree (win32 or
# win64), as its configure step wrote it.
qn3_tree_arch() {
  local a
  a=$(cat "$1/wine-arch" 2>/dev/null) || a=win32
  case $a in win64) echo win64 ;; *) echo win32 ;; esac
}

# qn3_wine_env WINEDIR [ARCH]: export the environment every wine call here
# uses. ARCH defaults to the one the wine dir was made for, else win32.
qn3_wine_env() {
  local arch=${2:-}
  [ -n "$arch" ] || arch=$(cat "$1/arch" 2>/dev/null) || arch=win32
  export WINEPREFIX="$1/prefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  if [ "$arch" = win64 ]; then
    export WINEARCH=win64 WINELOADER=$QN3_WINE64_LOADER
  else
    export WINEARCH=win32 WINELOADER=$QN3_WINE32_LOADER
  fi
}

# qn3_wine PROGRAM [ARGS...]: run a program in the prefix of the last
# qn3_wine_env, with that tree's loader. Debian's wine wrapper would pick
# the 32-bit loader whenever it is installed, even where it cannot run.
qn3_wine() {
  "$WINELOADER" "$@"
}

# The prefix settings: no crash dialog (a crash would wait for a click
# until the test times out), one shared virtual desktop (windows get
# frames, and hiding a window costs nothing without a window manager),
# and 96 DPI so the designed geometry is exact.
qn3_prefix_reg() {
  cat <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts]
"LogPixels"=dword:00000060

REG
}

# The stand-in viewer's registration, as the real viewer is found.
qn3_viewer_reg() {
  local path=${QN3_VIEWER_WINPATH//\\/\\\\}
  cat <<REG
REGEDIT4

[HKEY_CLASSES_ROOT\\AppID\\dexplore.exe]
"AppID"="$QN3_VIEWER_APPID"

[HKEY_CLASSES_ROOT\\CLSID\\$QN3_VIEWER_APPID\\LocalServer32]
@="$path"

REG
}

# qn3_regedit FILE-CONTENT-ON-STDIN: import a .reg text into the prefix.
qn3_regedit() {
  local f
  f=$(mktemp "$WINEPREFIX/../reg.XXXXXX") || return 1
  cat >"$f"
  qn3_wine regedit /s "$(qn3_winpath "$f")" </dev/null >/dev/null 2>&1
  local rc=$?
  rm -f "$f"
  return $rc
}

# qn3_prefix_ensure WINEDIR ARCH: create and configure the prefix of that
# architecture if it is not ready yet. Safe to call from parallel
# processes; fast when ready. Leaves no wineserver running for the prefix
# when it had to do work.
qn3_prefix_ensure() {
  local dir=$1 arch=${2:?qn3_prefix_ensure: no architecture}
  mkdir -p "$dir"
  if [ -f "$dir/arch" ] && [ "$(cat "$dir/arch")" != "$arch" ]; then
    qn3_die "$dir holds a $(cat "$dir/arch") prefix, not $arch"
  fi
  qn3_wine_env "$dir" "$arch"
  if [ -f "$WINEPREFIX/$QN3_PREFIX_STAMP" ]; then
    [ -f "$dir/arch" ] || echo "$arch" >"$dir/arch"
    return 0
  fi
  (
    flock 9
    # Another caller may have finished while we waited for the lock.
    [ -f "$WINEPREFIX/$QN3_PREFIX_STAMP" ] && exit 0
    qn3_log "creating Wine prefix $WINEPREFIX"
    # No display while the prefix is built: nothing should show.
    unset DISPLAY
    echo "$arch" >"$dir/arch"
    qn3_wine wineboot -i </dev/null >/dev/null 2>&1 || qn3_die "wineboot -i failed for $WINEPREFIX"
    # Wine does not pick up fonts-wine by itself; without Tahoma the
    # window's font falls back and every text metric changes.
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp -f /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null ||
      qn3_log "warning: no /usr/share/wine/fonts (package fonts-wine)"
    qn3_prefix_reg | qn3_regedit || qn3_die "could not write the prefix settings"
    # The desktop settings take effect only for a wineserver started after
    # them; let this one save the registry and go.
    wineserver -w
    touch "$WINEPREFIX/$QN3_PREFIX_STAMP"
  ) 9>"$dir/prefix.lock"
}

# qn3_pid_is_ours PIDFILE NAME: the file names a live process whose
# program is NAME (a stale file after a reboot may name someone else's).
qn3_pid_is_ours() {
  local pid
  [ -f "$1" ] || return 1
  pid=$(cat "$1" 2>/dev/null) || return 1
  [ -n "$pid" ] && [ -d "/proc/$pid" ] || return 1
  [ "$(basename "$(readlink "/proc/$pid/exe" 2>/dev/null)")" = "$2" ]
}

# qn3_find_tagged NAME TAG: the process id of a live NAME whose environment
# holds TAG (one variable=value), if there is one.
qn3_find_tagged() {
  local p
  for p in /proc/[0-9]*; do
    [ "$(basename "$(readlink "$p/exe" 2>/dev/null)")" = "$1" ] || continue
    if tr '\0' '\n' <"$p/environ" 2>/dev/null | grep -qxF "$2"; then
      basename "$p"
      return 0
    fi
  done
  return 1
}

# qn3_xvfb_start WINEDIR: start a private Xvfb on a free display unless
# one from this wine dir still runs; writes WINEDIR/display and xvfb.pid.
qn3_xvfb_start() {
  local dir=$1 out i pid tag
  if qn3_pid_is_ours "$dir/xvfb.pid" Xvfb && [ -s "$dir/display" ]; then
    return 0
  fi
  rm -f "$dir/display" "$dir/xvfb.pid"
  out="$dir/display.tmp"
  : >"$out"
  # setsid keeps the server out of the caller's process group; it may fork
  # to do so, so the server is found by a tag in its environment.
  tag="QN3_XVFB_OWNER=$(cd "$dir" && pwd)"
  # -displayfd picks a free display and tells us which once it listens.
  env "$tag" setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$out" </dev/null >/dev/null 2>&1 &
  for i in $(seq 1 200); do
    if [ -s "$out" ] && grep -q '^[0-9]' "$out" && pid=$(qn3_find_tagged Xvfb "$tag"); then
      echo "$pid" >"$dir/xvfb.pid"
      echo ":$(head -n1 "$out" | tr -dc 0-9)" >"$dir/display"
      rm -f "$out"
      return 0
    fi
    sleep 0.05
  done
  rm -f "$out"
  if pid=$(qn3_find_tagged Xvfb "$tag"); then
    echo "$pid" >"$dir/xvfb.pid"
    qn3_xvfb_stop "$dir"
  fi
  qn3_die "Xvfb did not start"
}

# qn3_xvfb_stop WINEDIR: end the Xvfb this wine dir started, by its PID.
qn3_xvfb_stop() {
  local dir=$1 pid i
  if qn3_pid_is_ours "$dir/xvfb.pid" Xvfb; then
    pid=$(cat "$dir/xvfb.pid")
    kill "$pid" 2>/dev/null
    for i in $(seq 1 100); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.05
    done
    kill -9 "$pid" 2>/dev/null
  fi
  rm -f "$dir/xvfb.pid" "$dir/display"
}

# qn3_display WINEDIR: print the display of this wine dir's Xvfb, if it runs.
qn3_display() {
  qn3_pid_is_ours "$1/xvfb.pid" Xvfb && [ -s "$1/display" ] && cat "$1/display"
}

# qn3_wine_start WINEDIR [DISPLAY]: a persistent wineserver and the system
# processes for this prefix, on DISPLAY (default: the wine dir's Xvfb), so
# each program starts warm and all share one virtual desktop.
qn3_wine_start() {
  local dir=$1 display=${2:-}
  [ -n "$display" ] || display=$(qn3_display "$dir") || display=
  qn3_wine_env "$dir"
  # A server already running may predate the desktop settings, or not be
  # persistent; start afresh.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  wineserver -p </dev/null >/dev/null 2>&1
  # Whatever program first needs the desktop starts it on its own display,
  # so every later wine call of the caller must see this one too.
  if [ -n "$display" ]; then export DISPLAY=$display; else unset DISPLAY; fi
  setsid "$WINELOADER" wineboot </dev/null >/dev/null 2>&1 &
  wait $! 2>/dev/null || true
}

# qn3_wine_stop WINEDIR: end everything running in this prefix.
qn3_wine_stop() {
  qn3_wine_env "$1"
  [ -d "$WINEPREFIX" ] || return 0
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# qn3_winpath UNIXPATH: the Windows form of a path (Z:\...).
qn3_winpath() {
  local p
  p=$(readlink -f "$1")
  printf 'Z:%s' "${p//\//\\}"
}

# qn3_install_standins WINEDIR DLLDIR VIEWEREXE: register the stand-in
# runtime DLL (DLLDIR/hxstandin.dll) and install the stand-in viewer as
# the registered viewer; either is skipped when it is not built.
qn3_install_standins() {
  local dir=$1 dlldir=$2 viewer=$3 dest
  qn3_wine_env "$dir"
  if [ -f "$dlldir/hxstandin.dll" ]; then
    # In a win64 prefix this is the 64-bit regsvr32, as the DLL is.
    qn3_wine regsvr32 /s "$(qn3_winpath "$dlldir/hxstandin.dll")" </dev/null >/dev/null 2>&1 ||
      qn3_log "warning: regsvr32 hxstandin.dll failed"
  fi
  if [ -f "$viewer" ]; then
    dest="$WINEPREFIX/drive_c/Program Files/Help Viewer"
    mkdir -p "$dest"
    cp -f "$viewer" "$dest/dexplore.exe"
    qn3_viewer_reg | qn3_regedit || qn3_log "warning: viewer registration failed"
  fi
}

# qn3_bench_dir ROOT TREE: the Release tree of its own that bench.sh builds
# for TREE and every benchmark runs in: build/bench, or build/bench64.
qn3_bench_dir() {
  case $2 in
    win32) echo "$1/build/bench" ;;
    win64) echo "$1/build/bench64" ;;
    *) qn3_die "--tree takes win32 or win64" ;;
  esac
}

# qn3_bench_args ROOT USAGE ARGS...: a benchmark script's options, those
# its USAGE line offers: --rounds N into rounds, --tree into tree (default:
# the tree that runs here), --no-build into do_build (else 1), --build-dir
# DIR into bench (default: the tree's, qn3_bench_dir).
qn3_bench_args() {
  local root=$1 usage=$2
  shift 2
  tree= do_build=1 bench=
  while [ $# -gt 0 ]; do
    case " $usage " in *" [$1 "* | *" [$1]"*) ;; *) qn3_die "usage: $usage" ;; esac
    case $1 in
      --rounds) rounds=${2:?}; shift 2 ;;
      --tree) tree=${2:?}; shift 2 ;;
      --build-dir) bench=$(mkdir -p "${2:?}" && cd "$2" && pwd) || exit 1; shift 2 ;;
      --no-build) do_build=0; shift ;;
      *) qn3_die "usage: $usage" ;;
    esac
  done
  [ -n "$tree" ] || tree=$(qn3_run_tree)
  local dir
  dir=$(qn3_bench_dir "$root" "$tree") || exit 1
  [ -n "$bench" ] || bench=$dir
  qn3_log "measuring the $tree tree"
}

# qn3_bench_wine_up BENCH: BENCH's Wine prefix (BENCH/wine), a private Xvfb
# as DISPLAY, a warm wineserver and the stand-ins from BENCH, ready for a
# benchmark; all of them end when the calling script exits.
qn3_bench_wine_up() {
  local bench=$1 wdir=$1/wine q
  q=$(printf %q "$wdir")
  trap "qn3_wine_stop $q; qn3_xvfb_stop $q" EXIT
  trap 'exit 130' INT TERM
  qn3_prefix_ensure "$wdir" "$(qn3_tree_arch "$bench")" || exit 1
  qn3_xvfb_start "$wdir" || exit 1
  qn3_wine_start "$wdir" || exit 1
  qn3_install_standins "$wdir" "$bench" "$bench/viewer-standin.exe"
  DISPLAY=$(qn3_display "$wdir")
  export DISPLAY
}

# qn3_copy_sources ROOT DEST: DEST afresh, holding what git tracks or would
# track under ROOT, as it is in the working tree. The benchmarks change such
# copies, never the sources.
qn3_copy_sources() {
  rm -rf "$2" && mkdir -p "$2" &&
    (cd "$1" && git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$2")
}

# What the build, the tests and the demo need on Debian (the demo: a
# Japanese font for its Japanese description; the release ZIP: zip).
# wine32 comes from the i386 architecture. The shipped programs are built
# with the -win32 compiler, the tests with the -posix one.
QN3_PACKAGES=(cmake g++ make clang libclang-rt-14-dev googletest g++-mingw-w64-i686-posix
  g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 mingw-w64-i686-dev g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev wine wine32:i386 wine64 xvfb xauth fonts-wine
  x11-apps x11-utils imagemagick fonts-ipafont-gothic zip)

# qn3_install_packages: installs the packages that are missing; does
# nothing (and needs no network or root) when all are there.
qn3_install_packages() {
  local missing=() p sudo=
  for p in "${QN3_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  qn3_log "installing: ${missing[*]}"
  if [ "$(id -u)" != 0 ]; then
    command -v sudo >/dev/null || qn3_die "missing packages and not root: ${missing[*]}"
    sudo=sudo
  fi
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  # A mirror in the middle of a sync fails one index for a while; the
  # others still serve, so the install is tried all the same.
  local try
  for try in 1 2 3; do
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq >/dev/null && break
    [ $try = 3 ] && qn3_log "apt-get update failed three times; installing from the indexes it got"
    [ $try = 3 ] || sleep 20
  done
  qn3_apt_install $sudo "${missing[@]}" && return 0
  # Without the i386 indexes wine32 cannot be had; the win64 tests then
  # stand in for the win32 ones, as on a host that runs 64-bit code only.
  local rest=()
  for p in "${missing[@]}"; do [ "$p" = wine32:i386 ] || rest+=("$p"); done
  [ ${#rest[@]} -lt ${#missing[@]} ] || qn3_die "apt-get install failed"
  qn3_log "wine32 cannot be installed now; going on without it"
  [ ${#rest[@]} -eq 0 ] || qn3_apt_install $sudo "${rest[@]}" || qn3_die "apt-get install failed"
}

# qn3_apt_install [sudo] PACKAGE...: one quiet apt-get install.
qn3_apt_install() {
  local sudo=
  [ "$1" = sudo ] && sudo=sudo && shift
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}
