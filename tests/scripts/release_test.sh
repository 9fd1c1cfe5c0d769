#!/usr/bin/env bash
# Checks the release zips that tools/package.sh wrote: the files in each (the
# dictionary the same as the one installed), no DLL needed beyond Windows'
# own and ksthook.dll, and the 64-bit one unpacked into a fresh Wine prefix
# starts, records a copy, finds it by romaji through the dictionary and
# exits cleanly.
# usage: release_test.sh OBJDUMP TEST_BIN_DIR
set -euo pipefail
objdump=$1 bin=$2
source "$(dirname "$0")/../../tools/bench-env.sh"
version=$(head -n 1 "$KST_ROOT/VERSION")
fail() { echo "release: $*" >&2; exit 1; }

# Windows' own libraries (compared in upper case) and our hook library.
system_dlls=" ADVAPI32.DLL COMCTL32.DLL COMDLG32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL "
system_dlls="$system_dlls CRYPT32.DLL IMM32.DLL OLEACC.DLL OLEAUT32.DLL SHELL32.DLL USER32.DLL KSTHOOK.DLL "
unpacked=$(mktemp -d /tmp/kestrane-release.XXXXXX)
trap 'rm -rf "$unpacked"' EXIT
for name in win64 win32; do
    zip="$KST_ROOT/dist/kestrane-$version-$name.zip"
    [ -f "$zip" ] || fail "$zip is missing: run tools/package.sh"
    files=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
    expected="dict/LICENSE-cmigemo.txt dict/LICENSE-skkdic.txt dict/migemo-dict kestrane-help.html kestrane.exe ksthook.dll readme.txt "
    [ "$files" = "$expected" ] || fail "$zip holds: $files"
    unzip -q "$zip" -d "$unpacked/$name"
    cmp -s "$unpacked/$name/dict/migemo-dict" "$KST_MIGEMO_DICT" || fail "$name's dictionary is not cmigemo-common's"
    for licence in LICENSE-cmigemo.txt LICENSE-skkdic.txt; do
        grep -q "License" "$unpacked/$name/dict/$licence" || fail "$name/dict/$licence states no licence"
    done
    grep -q "$version" "$unpacked/$name/kestrane-help.html" || fail "the help of $name does not name $version"
    for exe in kestrane.exe ksthook.dll; do
        for dll in $("$objdump" -p "$unpacked/$name/$exe" | awk '/DLL Name:/ {print toupper($3)}'); do
            case "$system_dlls" in *" $dll "*) ;; *) fail "$name/$exe needs $dll" ;; esac
        done
        "$objdump" -h "$unpacked/$name/$exe" | grep -q '\.debug' && fail "$name/$exe is not stripped"
    done
    echo "$zip: the program, its dictionary and licences, Windows' own DLLs only, stripped"
done

# A fresh prefix of its own, with its own server: nothing of the test prefix.
kst_wine_env "$unpacked/prefix"
KST_TMP="$unpacked"
trap 'kst_cleanup' EXIT
kst_prepare_prefix
wineserver -p
kst_start_desktop
mkdir -p "$WINEPREFIX/drive_c/Kestrane"
unzip -q "$KST_ROOT/dist/kestrane-$version-win64.zip" -d "$WINEPREFIX/drive_c/Kestrane"
KST_RELEASE_DIR='C:\Kestrane\' WINEDEBUG=-all wine "$bin/kst_release_check.exe" </dev/null
