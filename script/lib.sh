# Shared by the project's scripts: installs what is missing and sets up Wine under Xvfb.
# shellcheck shell=bash

SORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export SORVANE_ROOT

log() { printf '== %s\n' "$*" >&2; }

# need_packages PACKAGE... : installs the Debian packages that are not installed yet.
need_packages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    if [ -z "${SORVANE_APT_UPDATED:-}" ]; then
        $sudo apt-get update -qq >&2
        SORVANE_APT_UPDATED=1
    fi
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >&2
}

BUILD_PACKAGES=(cmake make g++ libgtest-dev googletest g++-mingw-w64-x86-64-win32
    binutils-mingw-w64-x86-64)
WINE_PACKAGES=(wine wine64 fonts-wine xvfb xauth x11-xkb-utils)
PACKAGE_PACKAGES=(zip)

# configure_and_build PRESET : configures the preset if needed and builds it.
configure_and_build() {
    local preset=$1
    (cd "$SORVANE_ROOT" &&
        cmake --preset "$preset" >/dev/null &&
        cmake --build --preset "$preset" -j"$(nproc)" -- --no-print-directory) >&2
}

# tidy_windows FILE... : clang-tidy over Windows sources as the cross compiler builds them
# (build/mingw): clang reads the MinGW headers for the Windows target, and the cross compiler
# names its own C++ include folders.
tidy_windows() {
    local dirs=() dir
    while read -r dir; do
        dirs+=("--extra-arg=-isystem$dir")
    done < <(x86_64-w64-mingw32-g++-win32 -E -x c++ -v /dev/null 2>&1 |
        sed -n '/search starts here:/,/End of search/s/^ \(.*c++.*\)/\1/p')
    clang-tidy-19 -p build/mingw --quiet --extra-arg=--target=x86_64-w64-mingw32 "${dirs[@]}" \
        "$@" 2>&1 | grep -v -e 'warnings generated' -e '^\[[0-9]*/[0-9]*\] Processing'
    return "${PIPESTATUS[0]}"
}

# start_xvfb WORKDIR : an Xvfb display of its own, stopped by stop_wine. Xvfb picks a free
# display itself and writes its number once it takes clients, so that runs started at the same
# moment (the suite beside script/mutate, say) never share one.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp -maxclients 512 \
        3>"$1/display" >"$1/xvfb.log" 2>&1 &
    SORVANE_XVFB_PID=$!
    local i
    for i in $(seq 100); do
        [ -s "$1/display" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(tr -d '\n' <"$1/display")"
}

# start_display WORKDIR : an Xvfb display of its own for Wine, stopped by stop_wine. Wine sounds
# the system beep as the X bell; xkbevd (gone with the display) logs each ring as one byte, so
# that the tests can count the beeps.
start_display() {
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win64
    start_xvfb "$1"
    printf 'Bell() shell "echo >> %s/bells"\n' "$1" >"$1/xkbevd.cf"
    xkbevd -cfg "$1/xkbevd.cf" -bg </dev/null >/dev/null 2>&1
    export SORVANE_BELL_LOG="Z:$1/bells"
}

# start_wine WORKDIR : a fresh Wine prefix and an Xvfb display of its own, both removed by
# stop_wine. Wine draws the windows itself on a virtual desktop, so focus and activation
# work as on Windows without a window manager.
start_wine() {
    local work=$1
    mkdir -p "$work"
    export WINEPREFIX="$work/prefix"
    start_display "$work"
    log "Wine prefix $WINEPREFIX on display $DISPLAY"
    wineboot -i >"$work/wineboot.log" 2>&1 || wine wineboot -i >"$work/wineboot.log" 2>&1
    add_wine_fonts
    # A desktop as large as a common screen, on which the window fits whole at 200 %; a
    # program that crashes ends at once, with its backtrace on its error output, instead of
    # waiting behind Wine's crash dialog until a test's time runs out.
    cat >"$work/settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1920x1200"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
    wine regedit /S "$(winepath -w "$work/settings.reg")" >/dev/null 2>&1
    wineserver -w </dev/null >/dev/null 2>&1
    # Keep one server for the whole run, so that each program starts quickly.
    wineserver -p </dev/null >/dev/null 2>&1
}

# add_wine_fonts : gives the prefix Wine's own Windows fonts (Tahoma, Marlett, MS Sans Serif).
# Debian's fonts-wine puts them in /usr/share/wine/fonts, where Wine 8 as Debian builds it
# never looks: it loads only the Windows fonts folder of the prefix and the system's
# fontconfig fonts, so every Windows face would fall back to DejaVu Sans.
add_wine_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    ln -sf /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$fonts/"
}

# clone_wine PREFIX WORKDIR : a copy of a prefix that start_wine made (and stop_wine stopped),
# on a display of its own, so that nothing one run leaves behind (a process, a window, a file, a
# setting) reaches the next. The copy links the prefix's files, which Wine only reads, and copies
# its registry, which Wine writes.
clone_wine() {
    local work=$2
    rm -rf "$work"
    mkdir -p "$work"
    cp -al "$1" "$work/prefix" || return 1
    cp --remove-destination "$1"/*.reg "$work/prefix/" || return 1
    export WINEPREFIX="$work/prefix"
    start_display "$work"
    wineserver -p </dev/null >/dev/null 2>&1
}

stop_wine() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1
    [ -n "${SORVANE_XVFB_PID:-}" ] && kill "$SORVANE_XVFB_PID" >/dev/null 2>&1
    wait 2>/dev/null
    return 0
}
