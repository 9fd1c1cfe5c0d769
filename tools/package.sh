#!/usr/bin/env bash
# Builds the release configurations (optimised, stripped, static runtime)
# and writes dist/kestrane-<version>-win64.zip and -win32.zip, each holding
# kestrane.exe, ksthook.dll, the help document, readme.txt, and search's
# dictionary folder with the licences of C/Migemo and of the SKK dictionary.
set -euo pipefail
source "$(dirname "$0")/bench-env.sh"
kst_install

version=$(head -n 1 "$KST_ROOT/VERSION")
dist="$KST_ROOT/dist"
mkdir -p "$dist"
for target in win64:x86_64 win32:i686; do
    name=${target%%:*}
    arch=${target##*:}
    build="release-$name"
    kst_configure "$build" -DCMAKE_BUILD_TYPE=Release -DKST_TESTS=OFF -DKST_WERROR=ON \
        -DCMAKE_TOOLCHAIN_FILE="$KST_ROOT/cmake/mingw-w64-$arch.cmake" \
        -DCMAKE_EXE_LINKER_FLAGS=-s -DCMAKE_SHARED_LINKER_FLAGS=-s
    cmake --build "$KST_BUILD/$build" -j"$(nproc)" --target kestrane -- --no-print-directory >&2

    stage="$KST_BUILD/$build/stage"
    rm -rf "$stage"
    mkdir -p "$stage"
    cp "$KST_BUILD/$build/bin/kestrane.exe" "$KST_BUILD/$build/bin/ksthook.dll" \
       "$KST_BUILD/$build/bin/kestrane-help.html" "$stage/"
    # Notepad on Japanese Windows reads code page 932 with CRLF line ends.
    sed -e "s/@KST_VERSION@/$version/" -e "s/@KST_ARCH@/$name/" -e 's/$/\r/' \
        "$KST_ROOT/resources/release/readme.txt" | iconv -f UTF-8 -t CP932 >"$stage/readme.txt"
    # The dictionary as cmigemo-common builds it from skkdic; the licences as
    # Debian states them, in UTF-8 with a byte-order mark (code page 932
    # lacks some of their characters), with CRLF for Notepad.
    mkdir -p "$stage/dict"
    cp "$KST_MIGEMO_DICT" "$stage/dict/migemo-dict"
    for licence in "$KST_CMIGEMO_DIR/debian/copyright:LICENSE-cmigemo.txt" "/usr/share/doc/skkdic/copyright:LICENSE-skkdic.txt"; do
        { printf '\xEF\xBB\xBF'; sed 's/$/\r/' "${licence%%:*}"; } >"$stage/dict/${licence##*:}"
    done
    zip="$dist/kestrane-$version-$name.zip"
    rm -f "$zip"
    (cd "$stage" && zip -q -X "$zip" kestrane.exe ksthook.dll kestrane-help.html readme.txt \
        dict/migemo-dict dict/LICENSE-cmigemo.txt dict/LICENSE-skkdic.txt)
    kst_log "wrote $zip ($(stat -c %s "$zip") bytes)"
done
