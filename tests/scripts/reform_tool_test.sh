#!/bin/sh
# kestrane-reform from the outside: conversions, options, bad input.
# usage: reform_tool_test.sh TOOL
tool=$1
failures=0
check() { # name expected-hex actual-hex
    if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAIL: $1: expected $2, got $3"; failures=$((failures + 1)); fi
}
hex() { od -An -tx1 | tr -d ' \n'; }

check "full width and upper case" "826082618262" "$(printf abc | "$tool" --flags 0x5 | hex)"
check "wrap at 10" "6162636465666768690d0a6a6b6c" "$(printf abcdefghijkl | "$tool" --flags 256 --column 10 | hex)"
check "tab replace" "6120202062" "$(printf 'a\tb' | "$tool" --tab-replace --tab 4 | hex)"
check "quotation prefix" "3e780a3e790a" "$(printf 'x\ny\n' | "$tool" --flags 0x200 | hex)"
# A custom kinsoku set: 'x' may not begin a line.
check "default front set" "61626364656667" "$(printf 'abcdefgx' | "$tool" --flags 0x500 --column 8 | hex | cut -c1-14)"
check "custom front set" "6162636465660d0a6778" "$(printf 'abcdefgx' | "$tool" --flags 0x500 --column 8 --front x | hex)"
check "empty input" "" "$(printf '' | "$tool" --flags 0x5 | hex)"
big=$(head -c 3000000 /dev/zero | tr '\0' 'a' | "$tool" --flags 4 | wc -c)
check "three megabytes" "3000000" "$big"

for bad in "--flags" "--flags 4096" "--flags x" "--flags 0x" "--column 1.5" "--tab" "--bogus" "--flags 99999999999"; do
    err=$(printf x | "$tool" $bad 2>&1 >/dev/null); code=$?
    lines=$(printf '%s\n' "$err" | wc -l)
    check "bad option '$bad' exits 2 with one usage line" "2 1 usage" "$code $lines $(printf '%s' "$err" | cut -c1-5)"
done
"$tool" --help | grep -q -- '--tab-replace' && echo "ok: help" || { echo "FAIL: help"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ]
