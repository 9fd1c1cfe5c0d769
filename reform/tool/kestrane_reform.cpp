// kestrane-reform: reformats code page 932 text from standard input to
// standard output with the same conversions as a paste.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "reform_flags.h"
#include "reformatter.h"

namespace {

constexpr char kUsage[] =
    "usage: kestrane-reform [--flags N] [--column N] [--tab N] [--tab-replace] [--front TEXT] "
    "[--end TEXT] [--help]\n";

constexpr char kHelp[] =
    "Reads code page 932 text on standard input and writes it reformatted on standard output.\n"
    "\n"
    "  --flags N      conversions, decimal or 0x hex (default 0):\n"
    "                 0x001 to full width    0x002 to half width    0x004 upper case\n"
    "                 0x008 lower case       0x010 touten to comma  0x020 comma to touten\n"
    "                 0x040 kuten to period  0x080 period to kuten  0x100 wrap\n"
    "                 0x200 quotation prefix 0x400 kinsoku          0x800 tag removal\n"
    "  --column N     wrap column (default 60; -1: never wrap)\n"
    "  --tab N        tab stop distance (default 4)\n"
    "  --tab-replace  expand tabs to spaces\n"
    "  --front TEXT   characters that must not begin a line (code page 932 bytes)\n"
    "  --end TEXT     characters that must not end a line (code page 932 bytes)\n"
    "  --help         this text\n";

int Usage() {
    fputs(kUsage, stderr);
    return 2;
}

// A whole decimal or 0x hexadecimal int, nothing else.
bool ParseInt(const char* text, int& value) {
    if (!text || !*text) return false;
    errno = 0;
    char* end = nullptr;
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const long long parsed = strtoll(hex ? text + 2 : text, &end, hex ? 16 : 10);
    if (errno || *end || end == (hex ? text + 2 : text) || parsed < -2147483647LL - 1 || parsed > 2147483647LL)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool ReadAll(FILE* in, std::string& text) {
    char buffer[1 << 16];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, in)) > 0) text.append(buffer, n);
    return !ferror(in);
}

} // namespace

int main(int argc, char** argv) {
    kst::ReformParams params;
    params.correctFront = kst::kDefaultCorrectFront;
    params.correctEnd = kst::kDefaultCorrectEnd;
    params.quoteText = kst::kQuoteText;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (option == "--help") {
            fputs(kUsage, stdout);
            fputs(kHelp, stdout);
            return 0;
        } else if (option == "--tab-replace") {
            params.tabReplace = 1;
        } else if (option == "--flags") {
            if (!ParseInt(value, params.flags) || params.flags < 0 || params.flags > kst::REFORM_ALL)
                return Usage();
            ++i;
        } else if (option == "--column") {
            if (!ParseInt(value, params.columnWidth)) return Usage();
            ++i;
        } else if (option == "--tab") {
            if (!ParseInt(value, params.tabWidth)) return Usage();
            ++i;
        } else if (option == "--front" || option == "--end") {
            if (!value) return Usage();
            (option == "--front" ? params.correctFront : params.correctEnd) = value;
            ++i;
        } else {
            return Usage();
        }
    }
    std::string input;
    if (!ReadAll(stdin, input)) {
        fputs("kestrane-reform: cannot read standard input\n", stderr);
        return 1;
    }
    const std::string output = kst::Reformat(input.data(), input.size(), params);
    if (fwrite(output.data(), 1, output.size(), stdout) != output.size() || fflush(stdout) != 0) {
        fputs("kestrane-reform: cannot write standard output\n", stderr);
        return 1;
    }
    return 0;
}
