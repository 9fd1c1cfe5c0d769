# Shared by the run and test commands: Debian packages, builds, a throwaway
# Wine prefix with the Japanese code page, and a private X display.
# Source it; every function stops what it started through kst_cleanup.

KST_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KST_BUILD=${KST_BUILD:-$KST_ROOT/build}
KST_PACKAGES="cmake g++ googletest libgtest-dev libgmock-dev g++-mingw-w64-x86-64 g++-mingw-w64-i686
 libbenchmark-dev wine wine64 xvfb x11-utils xclip xdotool xauth locales fonts-ipafont-gothic imagemagick clang
 libclang-rt-14-dev nkf zip unzip dpkg-dev cmigemo-common skkdic"
# Search expands romaji with C/Migemo, built from Debian's source package of
# this release, and its dictionary in code page 932 from cmigemo-common.
KST_CMIGEMO_DIR=$KST_BUILD/third_party/cmigemo
KST_MIGEMO_DICT=/usr/share/cmigemo/cp932/migemo-dict
# Pictures are compressed with zlib, built from Debian's source package of
# the version this system runs.
KST_ZLIB_DIR=$KST_BUILD/third_party/zlib

kst_log() { printf '== %s\n' "$*" >&2; }

# Installs what is missing, from Debian's packages only.
kst_install() {
    local missing=()
    for p in $KST_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        kst_log "installing ${missing[*]}"
        local sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
    fi
    if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
        kst_log "generating the ja_JP.UTF-8 locale"
        local sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
        grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
        $sudo locale-gen >/dev/null
    fi
    kst_fetch_cmigemo
    kst_fetch_zlib
}

# A source entry beside each binary one of the system's, for apt-get source.
kst_add_source_entries() {
    local sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            $sudo tee /etc/apt/sources.list.d/kestrane-src.sources >/dev/null
    else
        grep -h '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | sed 's/^deb /deb-src /' |
            $sudo tee /etc/apt/sources.list.d/kestrane-src.list >/dev/null
    fi
    $sudo apt-get update -qq
}

# kst_fetch_source PACKAGE[=VERSION] FOLDER: a source package, unpacked
# (with Debian's patches) into FOLDER.
kst_fetch_source() {
    local package=$1 folder=$2
    kst_log "fetching the source package $package"
    apt-get source --print-uris "$package" >/dev/null 2>&1 || kst_add_source_entries
    mkdir -p "$KST_BUILD"
    local tmp
    tmp=$(mktemp -d "$KST_BUILD/source-fetch.XXXXXX")
    (cd "$tmp" && apt-get source -qq "$package" >/dev/null 2>&1)
    mkdir -p "$(dirname "$folder")"
    rm -rf "$folder"
    mv "$tmp"/"${package%%=*}"-*/ "$folder"
    rm -rf "$tmp"
}

# C/Migemo's source.
kst_fetch_cmigemo() {
    [ -f "$KST_CMIGEMO_DIR/src/migemo.c" ] && return 0
    kst_fetch_source cmigemo "$KST_CMIGEMO_DIR"
}

# zlib's source, of the version installed (a newer one may not be served).
kst_fetch_zlib() {
    [ -f "$KST_ZLIB_DIR/deflate.c" ] && return 0
    kst_fetch_source "zlib=$(dpkg-query -W -f='${source:Version}' zlib1g)" "$KST_ZLIB_DIR"
}

# kst_configure NAME [cmake args...]; kst_build NAME
kst_configure() {
    local name=$1; shift
    cmake -S "$KST_ROOT" -B "$KST_BUILD/$name" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKST_CMIGEMO_DIR="$KST_CMIGEMO_DIR" -DKST_MIGEMO_DICT="$KST_MIGEMO_DICT" \
        -DKST_ZLIB_DIR="$KST_ZLIB_DIR" "$@" >/dev/null
}
kst_build() { cmake --build "$KST_BUILD/$1" -j"$(nproc)" -- --no-print-directory >&2; }

KST_TMP=""
KST_XVFB_PID=""

KST_STOP_WINE=""

kst_cleanup() {
    if [ -n "${WINEPREFIX:-}" ] && { [ -n "$KST_TMP" ] || [ -n "$KST_STOP_WINE" ]; }; then
        WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
        WINEPREFIX=$WINEPREFIX wineserver -w 2>/dev/null || true
    fi
    [ -n "$KST_XVFB_PID" ] && kill "$KST_XVFB_PID" 2>/dev/null && wait "$KST_XVFB_PID" 2>/dev/null
    KST_XVFB_PID=""
    if [ -n "$KST_TMP" ] && [ -z "${KST_KEEP_PREFIX:-}" ]; then rm -rf "$KST_TMP"; fi
    KST_TMP=""
}

# A private X display; sets DISPLAY.
kst_start_xvfb() {
    # The server picks a free display itself and tells us which: two users
    # (or two runs) on one machine never collide.
    local fdfile
    fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    KST_XVFB_PID=$!
    local n=""
    for _ in $(seq 100); do
        n=$(tr -dc 0-9 <"$fdfile")
        [ -n "$n" ] && [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
    rm -f "$fdfile"
    export DISPLAY=":$n"
    kst_log "private display $DISPLAY"
}

kst_wine_env() {
    export WINEPREFIX="$1" WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
}

# Creates the prefix in $WINEPREFIX when it is not there yet, and gives it our
# settings: Japanese, one shared virtual desktop, and fonts that render
# Japanese text (in the faces Wine's own programs ask for too).
kst_prepare_prefix() {
    local created=""
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        created=1
        kst_log "creating Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        wineserver -w
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    fi
    # Every time, so that a prefix made by an older version gets new settings.
    cp "$KST_ROOT/tools/wine-setup.reg" "$WINEPREFIX/drive_c/kestrane-setup.reg"
    wine regedit /S 'C:\kestrane-setup.reg' >/dev/null 2>&1
    # A new prefix: let its first server end before the caller starts its own.
    if [ -n "$created" ]; then wineserver -w; fi
}

# A throwaway prefix for one test run, with one server kept alive for the
# whole run so that every process shares its desktop and hooks.
kst_make_prefix() {
    KST_TMP=$(mktemp -d /tmp/kestrane-wine.XXXXXX)
    kst_wine_env "$KST_TMP/prefix"
    kst_prepare_prefix
    wineserver -p
    kst_start_desktop
}

# Starts Wine's services and the shared desktop now, detached from our
# output: started by a test, they would inherit its pipe and keep the test
# runner waiting for the end of it.
kst_start_desktop() {
    wine cmd /c exit </dev/null >/dev/null 2>&1
    setsid wine explorer /desktop=shell,1024x768 </dev/null >/dev/null 2>&1 &
    for _ in $(seq 50); do
        wine cmd /c exit </dev/null >/dev/null 2>&1
        pgrep -f 'explorer.exe /desktop' >/dev/null && return 0
        sleep 0.2
    done
}
