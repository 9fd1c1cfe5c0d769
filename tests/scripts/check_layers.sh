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
    reform) echo "reform" ;;
    hook) echo "hook" ;;
    history) echo "history reform" ;;
    store) echo "store history hook reform" ;;
    ui) echo "ui reform resources" ;;
    notify) echo "notify ui store reform resources" ;;
    popup) echo "popup notify ui store history reform hook resources" ;;
    settings) echo "settings ui store history reform hook resources" ;;
    shell) echo "shell settings popup notify ui store history reform hook resources" ;;
    esac
}

bad=0
for layer in reform hook history store ui notify popup settings shell; do
    ok=$(allowed "$layer")
    for file in $(find "$layer" -name '*.h' -o -name '*.cpp' | sort); do
        grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" | while IFS= read -r line; do
            target=$(printf '%s\n' "$line" | sed 's/.*include[[:space:]]*"\([^"]*\)".*/\1/')
            case $target in
            version.h) continue ;; # generated into the build folder
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
if [ -s /tmp/kst-layers.$$ ]; then
    cat /tmp/kst-layers.$$
    rm -f /tmp/kst-layers.$$
    exit 1
fi
rm -f /tmp/kst-layers.$$
echo "every include points down"
