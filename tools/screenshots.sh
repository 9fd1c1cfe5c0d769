#!/usr/bin/env bash
# Takes the README's screenshots: the tray icon with a count, a balloon, the
# paste popup (expanded with a pinned entry and two selected, folded, with
# the current-clipboard row, a picture's row and preview, searching, and on
# a display scaled to 150 %)
# and the six pages of the settings sheet.
# Needs a built win64 test configuration (tools/test-all.sh makes one).
set -euo pipefail
source "$(dirname "$0")/bench-env.sh"
trap kst_cleanup EXIT
bin="$KST_BUILD/win64/bin"
out="$KST_ROOT/docs"
kst_start_xvfb
kst_make_prefix
work="$KST_TMP/app"
mkdir -p "$work"
cp -r "$bin/kestrane.exe" "$bin/ksthook.dll" "$bin/dict" "$work/"
# A saved history of ten entries, so the icon shows a count.
python3 - "$work/clipbuf.dat" <<'PY'
import struct, sys
texts = ["おはようございます", "本日の会議の資料です", "Hello, world", "クリップボード", "カイギ室の予約",
         "2026-12-07", "メモ", "かいぎ", "ｶﾀｶﾅ", "最後のコピー"]
data = bytes([len(texts)])
for t in texts:
    b = t.encode("cp932")
    data += struct.pack(">IB", len(b), 0xFF) + struct.pack(">HBBBB", 2026, 12, 7, 9, 30) + b
open(sys.argv[1], "wb").write(data)
PY
# Any copy counts (not only Ctrl+C), so that a picture put on the clipboard
# by a script shows in the popup's first row.
wine reg add 'HKCU\Software\Orvandel\kestrane' /v Version /t REG_DWORD /d 106 /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Orvandel\kestrane' /v CtrlCOnly /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine "$work/kestrane.exe" </dev/null >/dev/null 2>&1 &
sleep 6
import -display "$DISPLAY" -window root "$KST_TMP/full.png"
convert "$KST_TMP/full.png" -crop 64x20+960+748 -scale 400% "$out/tray-icon.png"
# Pause from the tray menu: the balloon says so.
wine "$bin/kstpost.exe" KESTRANE_TRAYNOTIFY 1 516
sleep 1.5
wine "$bin/kstpost.exe" --key R
sleep 1
import -display "$DISPLAY" -window root "$KST_TMP/full.png"
convert "$KST_TMP/full.png" -crop 320x140+704+628 -scale 200% "$out/balloon.png"
wine "$bin/kstpost.exe" KESTRANE_TRAYNOTIFY 1 516 # resume from the same menu
sleep 1.5
wine "$bin/kstpost.exe" --key R
sleep 1

# The popup at notepad's caret, opened through the program's popup command.
wine notepad.exe </dev/null >/dev/null 2>&1 &
sleep 4
popup_shot() {
    wine "$bin/kstpost.exe" KESTRANE_GENERALNOTIFY 3 0
    sleep 2
    import -display "$DISPLAY" -window root "$KST_TMP/full.png"
    convert "$KST_TMP/full.png" -crop "$1" "$out/$2"
}
# An entry selected, not the current-clipboard row: Down, Insert pins it,
# then Shift+Down takes the next one too.
forward() { wine "$bin/kstpost.exe" KESTRANE_KEYBOARD_FORWARD "$1" "${2:-0}"; }
wine "$bin/kstpost.exe" KESTRANE_GENERALNOTIFY 3 0
sleep 2
forward 40 # Down
forward 45 # Insert
forward 16 # Shift
forward 40
forward 16 -2147483648 # Shift up
sleep 1
import -display "$DISPLAY" -window root "$KST_TMP/full.png"
convert "$KST_TMP/full.png" -crop 540x250+0+50 "$out/popup.png"
wine "$bin/kstpost.exe" --key ' ' # fold
sleep 1
import -display "$DISPLAY" -window root "$KST_TMP/full.png"
convert "$KST_TMP/full.png" -crop 540x180+0+50 "$out/popup-folded.png"
wine "$bin/kstpost.exe" --key ' ' # unfold again for the next opening
wine "$bin/kstpost.exe" KESTRANE_KEYBOARD_FORWARD 27 0 # Esc
sleep 1
# A picture copied: the current-clipboard row first, and the picture's entry
# at the list's end, chosen with End: its thumbnail, and the detail's preview.
wine "$bin/kstpost.exe" --picture &
sleep 2
popup_shot 540x250+0+50 popup-clipboard.png
forward 35 # End
sleep 2
import -display "$DISPLAY" -window root "$KST_TMP/full.png"
convert "$KST_TMP/full.png" -crop 800x330+0+50 "$out/popup-picture.png"
wine "$bin/kstpost.exe" KESTRANE_KEYBOARD_FORWARD 27 0 # Esc
sleep 1
# Search: "/kaigi" typed to the popup.
wine "$bin/kstpost.exe" KESTRANE_GENERALNOTIFY 3 0
sleep 2
for vk in 191 75 65 73 71 73; do forward "$vk"; done # / k a i g i
sleep 2
import -display "$DISPLAY" -window root "$KST_TMP/full.png"
convert "$KST_TMP/full.png" -crop 540x250+0+50 "$out/popup-search.png"
forward 27 # Esc ends the search
forward 27 # and closes
sleep 1

# The settings sheet, each of its six pages, centred on the screen.
wine "$bin/kstpost.exe" KESTRANE_GENERALNOTIFY 5 0
sleep 2
for page in 0 1 2 3 4 5; do
    wine "$bin/kstpost.exe" --sheet-page "$page"
    sleep 1
    import -display "$DISPLAY" -window root "$KST_TMP/full.png"
    convert "$KST_TMP/full.png" -crop 400x370+312+200 "$out/settings-$page.png"
done
wine "$bin/kstpost.exe" --key $'\e' # Esc closes the sheet

# The display scaled to 150 % (144 DPI): the program and notepad started
# again, as after the user changed the scale.
wine "$bin/kstclose.exe" >/dev/null 2>&1 || true
wine taskkill /f /im notepad.exe >/dev/null 2>&1 || true
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
sleep 1
wine "$work/kestrane.exe" </dev/null >/dev/null 2>&1 &
sleep 6
wine notepad.exe </dev/null >/dev/null 2>&1 &
sleep 4
popup_shot 820x420+0+50 popup-150.png
wine "$bin/kstpost.exe" KESTRANE_KEYBOARD_FORWARD 27 0 # Esc
kst_log "screenshots in $out"
