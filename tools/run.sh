#!/usr/bin/env bash
# Builds Kestrane when needed and starts it under Wine, in a prefix of its
# own (settings and history persist there between runs). Without a usable
# display it runs on a private virtual display and saves a screenshot.
set -euo pipefail
source "$(dirname "$0")/bench-env.sh"

kst_install
kst_configure app-win64 -DKST_TESTS=OFF -DCMAKE_TOOLCHAIN_FILE="$KST_ROOT/cmake/mingw-w64-x86_64.cmake"
kst_build app-win64

kst_wine_env "${KESTRANE_WINEPREFIX:-$HOME/.local/share/kestrane/wineprefix}"
headless=""
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    headless=1
    KST_STOP_WINE=1
    trap kst_cleanup EXIT
    trap 'exit 130' INT TERM
    kst_start_xvfb
fi
kst_prepare_prefix

exe="$KST_BUILD/app-win64/bin/kestrane.exe"
kst_log "starting $exe"
wine "$exe" &
pid=$!
if [ -n "$headless" ]; then
    sleep 5
    shot="${KESTRANE_SCREENSHOT:-/tmp/kestrane-screen.png}"
    import -display "$DISPLAY" -window root "$shot"
    kst_log "Kestrane runs on the private display $DISPLAY; a screenshot is in $shot"
    kst_log "press Ctrl+C to stop it"
fi
wait "$pid"
