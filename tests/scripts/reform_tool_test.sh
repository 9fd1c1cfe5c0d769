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
# A long text goes in pieces: the quotation prefix still starts every line once.
lines=$(yes 'abc' | head -n 200000 | "$tool" --flags 0x300 | grep -c '^>abc$')
check "pieces keep one prefix a line" "200000" "$lines"
check "pieces keep the text" "$(yes 'abc' | head -n 200000 | sed 's/^/>/' | md5sum)" \
    "$(yes 'abc' | head -n 200000 | "$tool" --flags 0x300 | md5sum)"

for bad in "--flags" "--flags 4096" "--flags x" "--flags 0x" "--column 1.5" "--tab" "--tab -3" "--tab 0" "--tab 33" \
    "--bogus" "--flags 99999999999" "notes.txt"; do
    err=$(printf x | "$tool" $bad 2>&1 >/dev/null); code=$?
    lines=$(printf '%s\n' "$err" | wc -l)
    check "bad option '$bad' exits 2, says what is wrong, then the usage line" "2 2 kestrane-reform: usage" \
        "$code $lines $(printf '%s' "$err" | head -n 1 | cut -d' ' -f1) $(printf '%s' "$err" | tail -n 1 | cut -c1-5)"
done
check "names the bad value" "kestrane-reform: --flags zz: not a number" "$(printf x | "$tool" --flags zz 2>&1 >/dev/null | head -n 1)"
check "names the missing value" "kestrane-reform: --column: missing value" "$(printf x | "$tool" --column 2>&1 >/dev/null | head -n 1)"
check "names the unknown option" "kestrane-reform: unknown option --bogus" "$(printf x | "$tool" --bogus 2>&1 >/dev/null | head -n 1)"
check "a file name is not an option" "kestrane-reform: takes no file arguments (notes.txt); reads standard input" \
    "$(printf x | "$tool" notes.txt 2>&1 >/dev/null | head -n 1)"
check "a tab stop out of range" "kestrane-reform: --tab -3: not between 1 and 32" "$(printf x | "$tool" --tab -3 2>&1 >/dev/null | head -n 1)"
for h in --help -h; do
    "$tool" $h | grep -q -- 'CR LF' && echo "ok: $h" || { echo "FAIL: $h"; failures=$((failures + 1)); }
done

# UTF-8 in and out; the conversions still run on code page 932.
check "utf8 half width and comma" "$(printf 'ABC，あいう' | hex)" "$(printf 'ＡＢＣ、あいう' | "$tool" --utf8 --flags 0x12 | hex)"
check "utf8 wrap counts two columns a character" "$(printf 'あいうえ\r\nおか' | hex)" \
    "$(printf 'あいうえおか' | "$tool" --utf8 --flags 0x100 --column 10 | hex)"
check "utf8 kinsoku with the default sets" "$(printf 'ああああああああ\r\n「い' | hex)" \
    "$(printf 'ああああああああ「い' | "$tool" --utf8 --flags 0x500 --column 20 | hex)"
check "utf8 front set given as UTF-8" "$(printf 'abcdef\r\ngｘy' | hex)" \
    "$(printf 'abcdefgｘy' | "$tool" --utf8 --flags 0x500 --column 9 --front 'ｘ' | hex)"
check "utf8 unchanged text is the same bytes" "$(printf '～∥－￢ ① Ⅰ ㈱' | hex)" "$(printf '～∥－￢ ① Ⅰ ㈱' | "$tool" --utf8 | hex)"
check "characters code page 932 lacks pass through unchanged" "$(printf 'ab—c 😀 〜 가' | hex)" \
    "$(printf 'ab—c 😀 〜 가' | "$tool" --utf8 | hex)"
check "and through the conversions, in place" "$(printf 'AB😀C—D' | hex)" "$(printf 'ＡＢ😀Ｃ—Ｄ' | "$tool" --utf8 --flags 0x2 | hex)"
check "wrapping counts each of them as two columns" "$(printf 'あ😀\r\n가う' | hex)" \
    "$(printf 'あ😀가う' | "$tool" --utf8 --flags 0x100 --column 6 | hex)"
check "the help in a UTF-8 terminal shows its Japanese" "1" "$(LC_ALL=C.UTF-8 "$tool" --help | grep -c '"、" to "，"')"
# A pipe is converted as it comes: the same bytes as from a file.
big=$(mktemp)
i=0; while [ $i -lt 20000 ]; do printf 'ＡＢＣ、あいうえお。 line %d tab\there\r\n' $i; i=$((i + 1)); done | iconv -f UTF-8 -t CP932 > "$big"
check "a pipe gives what the file gives" "$("$tool" --flags 0x512 --column 20 < "$big" | hex | md5sum)" \
    "$(cat "$big" | "$tool" --flags 0x512 --column 20 | hex | md5sum)"
: > "$big"
check "an empty pipe gives what an empty file gives" "$("$tool" --flags 0x200 < "$big" | hex)" "$(printf '' | "$tool" --flags 0x200 | hex)"
rm -f "$big"
err=$(printf 'ab\377' | "$tool" --utf8 2>&1 >/dev/null); code=$?
check "bytes that are not UTF-8 are refused" "1 byte 2:" "$code $(printf '%s' "$err" | cut -d' ' -f2,3)"
[ "$failures" -eq 0 ]
