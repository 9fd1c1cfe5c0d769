#!/usr/bin/env bash
# Builds Kestrane when needed and starts it under Wine, in a prefix of its
# own (settings and history persist there between runs). Without a usable
# display it runs on a private virtual display beside Wine's notepad, copies
# a Japanese text there, opens the paste popup, and saves a screenshot.
#
#   KESTRANE_WINEPREFIX  the Wine prefix (default ~/.local/share/kestrane/wineprefix)
#   KESTRANE_PROGRAM_DIR where the program is copied to and run from, its
#                        history beside it, outside the build tree
#                        (default ~/.local/share/kestrane/program)
#   KESTRANE_SCREENSHOT  where the headless screenshot goes
#                        (default ~/.cache/kestrane/screen.png)
#   DISPLAY              the X display to use; when unset or unusable, a
#                        private one is started and stopped again
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
    kst_start_xvfb
fi
kst_prepare_prefix

# Asks Kestrane's main window to close, as its menu's exit does, and waits:
# the history is saved on the way out.
stop_kestrane() {
    wine "$KST_BUILD/app-win64/bin/kstclose.exe" >/dev/null 2>&1 || true
    [ -n "${pid:-}" ] && wait "$pid" 2>/dev/null || true
}
trap 'stop_kestrane; [ -n "$headless" ] && kst_cleanup' EXIT
trap 'exit 130' INT TERM

# Run from a folder of its own: the history lies beside the program, and a
# build folder is deleted without a word.
program_dir="${KESTRANE_PROGRAM_DIR:-$HOME/.local/share/kestrane/program}"
mkdir -p "$program_dir"
cp -f "$KST_BUILD/app-win64/bin/"{kestrane.exe,ksthook.dll,kestrane-help.html} "$program_dir/"
mkdir -p "$program_dir/dict" # search's dictionary, as the zips have it
cp -f "$KST_BUILD/app-win64/bin/dict/migemo-dict" "$program_dir/dict/"
exe="$program_dir/kestrane.exe"
kst_log "starting $exe"
wine "$exe" &
pid=$!
if [ -n "$headless" ]; then
    # Something to copy from and paste into: notepad with a Japanese text.
    demo="$WINEPREFIX/drive_c/kestrane-demo.txt"
    printf 'Kestrane のお試し：この行をコピーしました。\r\n' | iconv -f UTF-8 -t CP932 >"$demo"
    wine notepad.exe 'C:\kestrane-demo.txt' </dev/null >/dev/null 2>&1 &
    sleep 6
    desktop=$(xdotool search --name 'Wine desktop' 2>/dev/null | head -n 1 || true)
    [ -n "$desktop" ] && xdotool windowfocus "$desktop" 2>/dev/null || true
    xdotool key ctrl+a ctrl+c End Return
    sleep 1.5
    xdotool key ctrl+v
    sleep 1.5
    shot="${KESTRANE_SCREENSHOT:-${XDG_CACHE_HOME:-$HOME/.cache}/kestrane/screen.png}"
    mkdir -p "$(dirname "$shot")"
    import -display "$DISPLAY" -window root "$shot"
    kst_log "a screenshot of Kestrane at work in notepad: $shot"
    kst_log "to reach it: DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX (for example: DISPLAY=$DISPLAY xdotool key Escape)"
    kst_log "press Ctrl+C here to stop Kestrane and the private display"
fi
wait "$pid"
