// kestrane-reform: reformats code page 932 text from standard input to
// standard output with the same conversions as a paste.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "reform/reform_flags.h"
#include "reform/reformatter.h"
#include "reform/wide_carrier.h"
#include "reform/tool/utf8_cp932.h"

namespace {

constexpr size_t kPieceBytes = 1 << 18;
// The tab stops the settings allow.
constexpr int kMinTab = 1, kMaxTab = 32;

constexpr char kUsage[] =
    "usage: kestrane-reform [--flags N] [--column N] [--tab N] [--tab-replace] [--front TEXT] "
    "[--end TEXT] [--utf8] [-h|--help]\n";

constexpr char kHelp[] =
    "Reads text on standard input and writes it reformatted on standard output, with the\n"
    "conversions of a paste. The text is code page 932 (Shift-JIS), or UTF-8 with --utf8.\n"
    "\n"
    "  --flags N      conversions, decimal or 0x hex, added together (default 0: none):\n"
    "                 0x001 half width to full width (ASCII, kana, Japanese punctuation)\n"
    "                 0x002 full width to half width: ASCII and 「」 (kana, 。、・ stay)\n"
    "                 0x004 upper case           0x008 lower case (full-width letters too)\n"
    "                 0x010 \"、\" to \"，\"         0x020 \"，\" to \"、\"\n"
    "                 0x040 \"。\" to \"．\"         0x080 \"．\" to \"。\"\n"
    "                 0x100 wrap lines           0x200 quotation prefix \">\" on every line\n"
    "                 0x400 Japanese line-breaking rules (kinsoku) when wrapping\n"
    "                 0x800 remove HTML tags\n"
    "  --column N     the first column that no longer fits (default 60): a wrapped line holds\n"
    "                 at most N-1 columns, a double-byte character counting two and the\n"
    "                 quotation prefix counting too; 0 or less turns wrapping off.\n"
    "                 Inserted line breaks are CR LF.\n"
    "  --tab N        tab stop distance, 1 to 32 (default 4)\n"
    "  --tab-replace  expand tabs to spaces\n"
    "  --front TEXT   characters that must not begin a line\n"
    "  --end TEXT     characters that must not end a line\n"
    "                 (code page 932 bytes, UTF-8 with --utf8; both default to the\n"
    "                 Japanese sets Kestrane uses)\n"
    "  --utf8         read and write UTF-8; characters that code page 932 cannot hold pass\n"
    "                 through every conversion unchanged, in place (wrapping counts each as\n"
    "                 two columns); input that is not UTF-8 is refused (exit status 1, with\n"
    "                 its byte offset)\n"
    "  -h, --help     this text\n"
    "\n"
    "Exit status: 0 done, 1 the text could not be read, converted or written, 2 bad arguments.\n";

// What is wrong, then the usage line.
int Usage(const std::string& problem) {
    fprintf(stderr, "kestrane-reform: %s\n", problem.c_str());
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

// "" when the option's value is sound, else what is wrong with it.
std::string IntProblem(const std::string& option, const char* value, int& target) {
    if (!value) return option + ": missing value";
    if (!ParseInt(value, target)) return option + " " + value + ": not a number";
    return "";
}

// Line by line the conversions are independent (a line feed ends every
// column count and line-breaking look-back, and the next piece starts with
// the quotation prefix the whole text would put there), so a long text goes
// in pieces that end with a line feed: the working memory stays small and
// warm. Tag removal can span lines: it takes the whole.
size_t PieceEnd(const char* text, size_t length) {
    if (length <= kPieceBytes) return length;
    const void* feed = memchr(text + kPieceBytes, '\n', length - kPieceBytes);
    return feed ? static_cast<size_t>(static_cast<const char*>(feed) - text) + 1 : length;
}

bool IsRegularFile(int fd) {
    struct stat info;
    return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// Bytes read from a pipe, in memory that is never cleared first.
class Buffer {
  public:
    Buffer() = default;
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    ~Buffer() { free(data_); }
    char* Data() const { return data_; }
    size_t Size() const { return size_; }
    // Reads at least once more; 0 at the end of input, -1 on an error.
    ssize_t ReadMore(int fd) {
        if (capacity_ - size_ < kPieceBytes) {
            const size_t grown = capacity_ ? capacity_ * 2 : 4 * kPieceBytes;
            char* bigger = static_cast<char*>(realloc(data_, grown));
            if (!bigger) return -1;
            data_ = bigger;
            capacity_ = grown;
        }
        for (;;) {
            const ssize_t n = read(fd, data_ + size_, capacity_ - size_);
            if (n < 0 && errno == EINTR) continue;
            if (n > 0) size_ += static_cast<size_t>(n);
            return n;
        }
    }
    void Drop(size_t front) {
        memmove(data_, data_ + front, size_ - front);
        size_ -= front;
    }

  private:
    char* data_ = nullptr;
    size_t size_ = 0, capacity_ = 0;
};

// All of standard input. A file is mapped as it is (no copy, no fresh pages
// to clear); anything else is read into a growing buffer.
class Input {
  public:
    Input() = default;
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;
    ~Input() {
        if (mapped_) munmap(mapped_, size_);
    }
    const char* Data() const { return mapped_ ? static_cast<const char*>(mapped_) : buffer_.data(); }
    size_t Size() const { return mapped_ ? size_ : buffer_.size(); }

    bool Read() {
        struct stat info;
        if (fstat(0, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
            void* view = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, 0, 0);
            if (view != MAP_FAILED) {
                mapped_ = view;
                size_ = static_cast<size_t>(info.st_size);
                return true;
            }
        }
        char chunk[1 << 16];
        for (;;) {
            const ssize_t n = read(0, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return n == 0;
            buffer_.append(chunk, static_cast<size_t>(n));
        }
    }

  private:
    void* mapped_ = nullptr;
    size_t size_ = 0;
    std::string buffer_;
};

bool Written(const std::string& output) {
    if (fwrite(output.data(), 1, output.size(), stdout) == output.size()) return true;
    fputs("kestrane-reform: cannot write standard output\n", stderr);
    return false;
}

bool Flushed() {
    if (fflush(stdout) == 0) return true;
    fputs("kestrane-reform: cannot write standard output\n", stderr);
    return false;
}

bool WritePiece(const char* text, size_t length, const kst::ReformParams& params) {
    return Written(kst::Reformat(text, length, params));
}

// UTF-8 goes through the code page 932 conversions with the characters code
// page 932 lacks standing in for themselves.
bool WriteUtf8Piece(const char* text, size_t length, const kst::ReformParams& params) {
    const kst::Cp932Codec& codec = kst::SystemCp932();
    kst::WideCarrier carrier;
    if (!kst::BuildCarrier(kst::Utf8ToUtf16(text, length), codec, carrier)) {
        fprintf(stderr, "kestrane-reform: more than %zu different characters outside code page 932 within %zu bytes\n",
                kst::kMaxStandIns, kPieceBytes);
        return false;
    }
    const std::string converted = kst::Reformat(carrier.text.data(), carrier.text.size(), params);
    return Written(kst::Utf16ToUtf8(kst::RestoreCarrier(converted, carrier, codec)));
}

// Standard input as it comes: each piece is converted as soon as it has
// ended with a line feed past the piece size.
int StreamPipe(const kst::ReformParams& params) {
#ifdef F_SETPIPE_SZ
    // A larger pipe: fewer reads, and the writer waits on us less often.
    fcntl(0, F_SETPIPE_SZ, static_cast<int>(4 * kPieceBytes));
#endif
    Buffer buffer;
    size_t searched = 0; // no line feed in the buffer before this, past the piece size
    bool wroteAny = false;
    for (;;) {
        const ssize_t n = buffer.ReadMore(0);
        if (n < 0) {
            fputs("kestrane-reform: cannot read standard input\n", stderr);
            return 1;
        }
        if (n == 0) break;
        // Every piece the buffer holds, then what is left moved to its start
        // once: moving it after each piece would copy most of the input again.
        size_t done = 0;
        while (buffer.Size() - done > kPieceBytes) {
            const size_t from = done + kPieceBytes > searched ? done + kPieceBytes : searched;
            const void* feed = memchr(buffer.Data() + from, '\n', buffer.Size() - from);
            if (!feed) {
                searched = buffer.Size();
                break;
            }
            const size_t end = static_cast<size_t>(static_cast<const char*>(feed) - buffer.Data()) + 1;
            if (!WritePiece(buffer.Data() + done, end - done, params)) return 1;
            wroteAny = true;
            done = end;
        }
        if (done) {
            buffer.Drop(done);
            searched = searched > done ? searched - done : 0;
        }
    }
    // The rest; an empty input is converted once, as an empty file is.
    if ((buffer.Size() > 0 || !wroteAny) && !WritePiece(buffer.Data() ? buffer.Data() : "", buffer.Size(), params))
        return 1;
    return Flushed() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    kst::ReformParams params;
    params.correctFront = kst::kDefaultCorrectFront;
    params.correctEnd = kst::kDefaultCorrectEnd;
    params.quoteText = kst::kQuoteText;
    bool utf8 = false;
    std::string front, end; // as given, converted below when they are UTF-8
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        std::string problem;
        if (option == "--help" || option == "-h") {
            fputs(kUsage, stdout);
            fputs(kst::ForTerminal(kHelp).c_str(), stdout);
            return 0;
        } else if (option == "--tab-replace") {
            params.tabReplace = 1;
            continue;
        } else if (option == "--utf8") {
            utf8 = true;
            continue;
        } else if (option == "--flags") {
            problem = IntProblem(option, value, params.flags);
            if (problem.empty() && (params.flags < 0 || params.flags > kst::REFORM_ALL))
                problem = option + " " + value + ": not between 0 and 0xFFF";
        } else if (option == "--column") {
            problem = IntProblem(option, value, params.columnWidth);
        } else if (option == "--tab") {
            problem = IntProblem(option, value, params.tabWidth);
            if (problem.empty() && (params.tabWidth < kMinTab || params.tabWidth > kMaxTab))
                problem = option + " " + value + ": not between 1 and 32";
        } else if (option == "--front" || option == "--end") {
            if (!value) problem = option + ": missing value";
            else (option == "--front" ? front : end) = value;
        } else if (option.empty() || option[0] != '-') {
            problem = "takes no file arguments (" + option + "); reads standard input";
        } else {
            problem = "unknown option " + option;
        }
        if (!problem.empty()) return Usage(problem);
        ++i; // the option's value
    }
    for (std::string* set : {&front, &end}) {
        size_t offset = 0;
        std::string sjis;
        if (utf8 && !set->empty() && !kst::Utf8ToCp932(*set, sjis, offset))
            return Usage((set == &front ? "--front" : "--end") + std::string(": not code page 932 text"));
        if (utf8) set->swap(sjis);
    }
    if (!front.empty()) params.correctFront = front.c_str();
    if (!end.empty()) params.correctEnd = end.c_str();
    // A code page 932 text from a pipe is converted as it comes, piece by
    // piece, as a mapped file is.
    const bool pieces = !(params.flags & kst::REFORM_TAG_REMOVE);
    if (!utf8 && pieces && !IsRegularFile(0)) return StreamPipe(params);
    Input input;
    if (!input.Read()) {
        fputs("kestrane-reform: cannot read standard input\n", stderr);
        return 1;
    }
    const char* text = input.Data();
    const size_t length = input.Size();
    if (utf8) {
        const size_t offset = kst::FirstNonUtf8(text, length);
        if (offset != length) {
            fprintf(stderr, "kestrane-reform: byte %zu: not UTF-8\n", offset);
            return 1;
        }
    }
    for (size_t at = 0; at < length || (at == 0 && length == 0);) {
        const size_t end = pieces ? at + PieceEnd(text + at, length - at) : length;
        if (!(utf8 ? WriteUtf8Piece(text + at, end - at, params) : WritePiece(text + at, end - at, params))) return 1;
        if (end == length) break;
        at = end;
    }
    return Flushed() ? 0 : 1;
}
