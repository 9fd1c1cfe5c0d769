#!/usr/bin/env bash
# Runs a Windows test program with the display's DPI set as a user's scaling
# would set it, for that program only, and puts the setting back after.
# usage: at_dpi.sh WINE DPI PROGRAM [ARGS...]
set -u
wine=$1 dpi=$2
shift 2
key='HKCU\Control Panel\Desktop'
old=$("$wine" reg query "$key" /v LogPixels 2>/dev/null | awk '/LogPixels/ {print $3}')
"$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
"$wine" "$@"
status=$?
if [ -n "$old" ]; then
    "$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$((old))" /f >/dev/null 2>&1
else
    "$wine" reg delete "$key" /v LogPixels /f >/dev/null 2>&1
fi
exit $status
