#!/bin/sh
# Includes point down: each folder names the folders below it that it may
# include, and every include of ours names its folder. Prints each include
# that breaks the rule and exits 1; silent success prints one line.
# usage: check_layers.sh ROOT
root=${1:-.}
cd "$root" || exit 2

# folder: the folders its code may include (itself first).
allowed() {
    case $1 in
    base) echo "base" ;;
    reform) echo "reform" ;;
    hook) echo "hook base" ;;
    image) echo "image base" ;;
    history) echo "history image reform base" ;;
    search) echo "search reform base" ;;
    store) echo "store history hook reform base" ;;
    ui) echo "ui image reform resources base" ;;
    notify) echo "notify ui image store reform resources base" ;;
    popup) echo "popup notify ui store search history image reform hook resources base" ;;
    settings) echo "settings ui store history reform hook resources base" ;;
    shell) echo "shell settings popup notify ui store search history image reform hook resources base" ;;
    esac
}

bad=0
for layer in base image reform hook history search store ui notify popup settings shell; do
    ok=$(allowed "$layer")
    for file in $(find "$layer" -name '*.h' -o -name '*.cpp' | sort); do
        grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" | while IFS= read -r line; do
            target=$(printf '%s\n' "$line" | sed 's/.*include[[:space:]]*"\([^"]*\)".*/\1/')
            case $target in
            version.h) continue ;; # generated into the build folder
            migemo.h) continue ;;  # C/Migemo's, from its fetched source
            */*) folder=${target%%/*} ;;
            *) echo "$file:${line%%:*}: \"$target\" does not name its folder"; continue ;;
            esac
            case " $ok " in
            *" $folder "*) ;;
            *) echo "$file:${line%%:*}: $layer may not include $target" ;;
            esac
        done
    done
done > /tmp/kst-layers.$$

# The build's file lists keep to the layers too: a target's sources lie in
# the folders it is named for.
sources_of() { # target, build file: the files its add_library and target_sources name
    awk -v t="$1" '
        $0 ~ "(add_library|target_sources)\\(" t "[ )]" { on = 1 }
        on { for (i = 1; i <= NF; ++i) if ($i ~ /\.cpp\)?$/) { f = $i; sub(/\)$/, "", f); print f } }
        on && /\)/ { on = 0 }' "$2"
}
check_target() { # target, build file, allowed folders
    for file in $(sources_of "$1" "$2"); do
        case " $3 " in
        *" ${file%%/*} "*) ;;
        *) echo "$2: $1 may not build $file" ;;
        esac
    done
}
{
    check_target kst_core CMakeLists.txt "image reform history"
    check_target kst_search CMakeLists.txt "search"
    check_target ksthook cmake/Windows.cmake "hook"
} >> /tmp/kst-layers.$$
if [ -s /tmp/kst-layers.$$ ]; then
    cat /tmp/kst-layers.$$
    rm -f /tmp/kst-layers.$$
    exit 1
fi
rm -f /tmp/kst-layers.$$
echo "every include points down, and every core source lies in its layer"
