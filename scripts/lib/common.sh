# Shared by the scripts in scripts/: package installation, the builds,
# Xvfb and the private Wine prefix. Source it; do not run it.

QUIBEX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
QUIBEX_BUILD=${QUIBEX_BUILD:-$QUIBEX_ROOT/build}
QUIBEX_JOBS=${QUIBEX_JOBS:-$(nproc 2>/dev/null || echo 2)}

quibex_log() { printf '==> %s\n' "$*" >&2; }

# quibex_need_packages CHECK:PACKAGE... installs each package whose check
# (a command on PATH or an absolute path) is missing, with one apt-get call.
quibex_need_packages() {
  local missing=() pair check pkg
  for pair in "$@"; do
    check=${pair%%:*}; pkg=${pair#*:}
    if [[ $check == /* ]]; then
      [[ -e $check ]] && continue
    else
      command -v "$check" >/dev/null 2>&1 && continue
    fi
    missing+=("$pkg")
  done
  ((${#missing[@]})) || return 0
  quibex_log "installing: ${missing[*]}"
  local sudo=
  [[ $(id -u) -eq 0 ]] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

quibex_need_native_tools() {
  quibex_need_packages cmake:cmake g++:g++ make:make /usr/src/googletest/CMakeLists.txt:googletest \
    /usr/include/nlohmann/json.hpp:nlohmann-json3-dev pkg-config:pkg-config /usr/include/git2.h:libgit2-dev \
    git:git /usr/bin/python3:python3 /usr/lib/python3/dist-packages/jsonschema/__init__.py:python3-jsonschema \
    /usr/include/toml++/toml.h:libtomlplusplus-dev \
    dpkg-shlibdeps:dpkg-dev file:file groff:groff-base
}

# Chromium for the HTML report's browser tests (headless, from disk).
quibex_need_browser() {
  quibex_need_packages chromium:chromium
}

quibex_need_windows_tools() {
  quibex_need_native_tools
  quibex_need_packages \
    x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64 \
    i686-w64-mingw32-g++-posix:g++-mingw-w64-i686 \
    x86_64-w64-mingw32-windres:binutils-mingw-w64-x86-64 \
    /usr/lib/wine/wine64:wine64 wine:wine Xvfb:xvfb xdpyinfo:x11-utils \
    /usr/share/wine/fonts/marlett.ttf:fonts-wine
}

# quibex_configure NAME [cmake args...]; quibex_build NAME [targets...]
quibex_configure() {
  local name=$1; shift
  cmake -S "$QUIBEX_ROOT" -B "$QUIBEX_BUILD/$name" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}
quibex_build() {
  local name=$1; shift
  local targets=()
  for t in "$@"; do targets+=(--target "$t"); done
  cmake --build "$QUIBEX_BUILD/$name" -j "$QUIBEX_JOBS" "${targets[@]}"
}

QUIBEX_WIN64_TOOLCHAIN=$QUIBEX_ROOT/cmake/toolchain-x86_64-w64-mingw32.cmake
QUIBEX_WIN32_TOOLCHAIN=$QUIBEX_ROOT/cmake/toolchain-i686-w64-mingw32.cmake

# Starts Xvfb on a free display unless QUIBEX_KEEP_DISPLAY is set and
# DISPLAY works; exports DISPLAY. quibex_stop_xvfb undoes it.
QUIBEX_XVFB_PID=
quibex_start_xvfb() {
  if [[ -n ${QUIBEX_KEEP_DISPLAY:-} && -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n
  for n in $(seq 91 140); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    QUIBEX_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do
      xdpyinfo >/dev/null 2>&1 && return 0
      kill -0 "$QUIBEX_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "error: could not start Xvfb" >&2
  return 1
}
quibex_stop_xvfb() {
  if [[ -n $QUIBEX_XVFB_PID ]]; then
    kill "$QUIBEX_XVFB_PID" 2>/dev/null || true
    wait "$QUIBEX_XVFB_PID" 2>/dev/null || true
    QUIBEX_XVFB_PID=
  fi
}

quibex_wine() {
  if [[ -x /usr/lib/wine/wine64 ]]; then /usr/lib/wine/wine64 "$@"; else wine64 "$@"; fi
}
quibex_wineserver() {
  if [[ -x /usr/lib/wine/wineserver ]]; then /usr/lib/wine/wineserver "$@"; else wineserver "$@"; fi
}

# A private prefix inside the build folder, made on first use. No Mono or
# Gecko installer window, no menu entries written to this machine.
quibex_wine_env() {
  export WINEPREFIX=${QUIBEX_WINEPREFIX:-$QUIBEX_BUILD/wineprefix}
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINEARCH=win64
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    quibex_log "making the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    quibex_wine wineboot -i </dev/null >/dev/null 2>&1 || true
    quibex_wineserver -w || true
  fi
  quibex_wine_fonts
}

# Debian's Wine leaves a new prefix without Wine's own fonts: windows there
# would draw "MS Sans Serif" in a look-alike and the caption buttons'
# Marlett symbols as letters. The prefix's font folder gets them, so that
# screenshots and the tests see what Windows shows.
#
# Wine loads a bitmap font only when the registry lists it, and lists for
# "MS Sans Serif" only the file of the system's code page: a font asked for
# in the Central European character set (238), as the About window's are,
# would come from an outline face of other widths. The prefix lists Wine's
# Central European MS Sans Serif too (same widths, more letters). Once per
# prefix; the server writes the registry to disk when it ends, so it is
# waited for. (A FontSubstitutes entry "MS Sans Serif,238" = "MS Sans
# Serif,0" would not do: Wine drops substitutes that name their own face.)
quibex_wine_fonts() {
  local from=/usr/share/wine/fonts to=$WINEPREFIX/drive_c/windows/Fonts
  [[ -d $from ]] || return 0
  mkdir -p "$to"
  cp -n "$from"/* "$to"/ 2>/dev/null || true

  local stamp=$WINEPREFIX/.quibex-fonts-listed server=/usr/lib/wine/wineserver
  [[ -f $stamp || ! -f $to/sserifee.fon ]] && return 0
  [[ -x $server ]] || server=$(command -v wineserver)
  if quibex_wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' \
       /v 'MS Sans Serif 8,10,12,14,18,24 (Central European)' /d sserifee.fon /f </dev/null >/dev/null 2>&1; then
    timeout 60 "$server" -w || true
    touch "$stamp"
  fi
}

# Keeps the prefix's server and services running until quibex_wine_stop.
# The services must not start inside a test: they would inherit the test's
# output pipes and ctest would wait for them to close.
quibex_wine_start() {
  quibex_wine_env
  quibex_wineserver -p </dev/null >/dev/null 2>&1 || true
  quibex_wine wineboot </dev/null >/dev/null 2>&1 || true
}
quibex_wine_stop() {
  quibex_wineserver -k >/dev/null 2>&1 || true
}
