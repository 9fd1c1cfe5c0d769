#include "reform/reformatter.h"

#include <bitset>
#include <cstdint>
#include <cstring>
#include <memory>

#include "reform/char_convert.h"
#include "reform/reform_flags.h"

namespace kst {
namespace {

// A set of characters by code, built from a code page 932 string read
// character by character.
class CharSet {
  public:
    explicit CharSet(const char* text) {
        if (!text) return;
        const auto* s = reinterpret_cast<const unsigned char*>(text);
        for (size_t i = 0; s[i];) {
            if (IsLeadByte(s[i]) && s[i + 1]) {
                bits_.set(s[i] << 8 | s[i + 1]);
                i += 2;
            } else {
                bits_.set(s[i++]);
            }
        }
    }
    bool Has(unsigned code) const { return bits_.test(code & 0xFFFF); }

  private:
    std::bitset<0x10000> bits_;
};

// Drives the progress display in whole percent, messaging it only when the
// percentage changes.
class ProgressDriver {
  public:
    ProgressDriver(ProgressIndicator* display, size_t length, void* instance)
        : display_(length > kProgressThreshold ? display : nullptr), length_(length) {
        if (!display_) return;
        display_->Create(instance);
        display_->Init();
    }
    ~ProgressDriver() {
        if (display_) display_->Destroy();
    }
    // The next position at which At has something to do.
    size_t Next() const { return display_ ? next_ : SIZE_MAX; }
    void At(size_t position) {
        if (!display_ || position < next_) return;
        const int percent = static_cast<int>(uint64_t{100} * position / length_);
        if (percent != display_->GetStep()) display_->SetStep(percent);
        // The first position at which the percentage grows again.
        next_ = static_cast<size_t>((uint64_t(percent + 1) * length_ + 99) / 100);
    }

  private:
    ProgressIndicator* display_;
    size_t length_;
    size_t next_ = 0;
};

bool StartsWithNoCase(const unsigned char* s, size_t available, const char* prefix) {
    const size_t n = strlen(prefix);
    if (available < n) return false;
    for (size_t k = 0; k < n; ++k) {
        unsigned char c = s[k];
        if (c >= 'A' && c <= 'Z') c += 0x20;
        if (c != static_cast<unsigned char>(prefix[k])) return false;
    }
    return true;
}

constexpr int kCaseAndPunctuationFlags = REFORM_TO_UPPER | REFORM_TO_LOWER | REFORM_TOUTEN_TO_COMMA |
                                         REFORM_COMMA_TO_TOUTEN | REFORM_KUTEN_TO_PERIOD |
                                         REFORM_PERIOD_TO_KUTEN;

class Reformatter {
  public:
    Reformatter(const char* source, size_t length, const ReformParams& p, std::string& out)
        : src_(reinterpret_cast<const unsigned char*>(source)), len_(length), flags_(p.flags),
          wrapAt_((p.flags & REFORM_WRAP) && p.columnWidth > 0 ? p.columnWidth : 0),
          kinsokuReach_((p.flags & REFORM_KINSOKU) ? static_cast<size_t>(wrapAt_ / 4) : 0),
          tabWidth_(p.tabWidth < 1 ? 1 : p.tabWidth), tabReplace_(p.tabReplace == 1),
          quote_((p.flags & REFORM_QUOTE) && p.quoteText ? p.quoteText : nullptr),
          quoteLength_(quote_ ? static_cast<int>(strlen(quote_)) : 0),
          convertsCharacters_((p.flags & kCaseAndPunctuationFlags) != 0),
          halfWidth_((p.flags & REFORM_TO_HALFWIDTH) != 0),
          changesCase_((p.flags & (REFORM_TO_UPPER | REFORM_TO_LOWER)) != 0),
          inlineHalfWidth_(halfWidth_ && !convertsCharacters_), out_(out) {
        BuildUnchangedBytes();
        BuildRunWidths();
        if (wrapAt_ && kinsokuReach_) {
            front_ = std::make_unique<CharSet>(p.correctFront);
            end_ = std::make_unique<CharSet>(p.correctEnd);
        }
    }

    void Run(ProgressDriver& progress) {
        if (quote_) AppendQuote();
        while (i_ < len_) {
            progress.At(i_);
            const bool copied = wrapAt_ ? CopyUnchangedRun<true>(progress.Next()) : CopyUnchangedRun<false>(progress.Next());
            if (!copied) Step();
        }
    }

  private:
    // Marks the single bytes that no flag changes and that need no care: they
    // are copied in runs, which is most of any text.
    void BuildUnchangedBytes() {
        for (unsigned b = 0x20; b <= 0x7E; ++b) unchangedByte_[b] = !(flags_ & REFORM_TO_FULLWIDTH);
        for (unsigned b = 0xA1; b <= 0xDF; ++b) unchangedByte_[b] = !(flags_ & REFORM_TO_FULLWIDTH);
        if (flags_ & REFORM_TAG_REMOVE) unchangedByte_[static_cast<unsigned char>('<')] = false;
        for (unsigned b = 'a'; b <= 'z'; ++b)
            if (flags_ & REFORM_TO_UPPER) unchangedByte_[b] = false;
        for (unsigned b = 'A'; b <= 'Z'; ++b)
            if (flags_ & REFORM_TO_LOWER) unchangedByte_[b] = false;
        if (flags_ & (REFORM_TOUTEN_TO_COMMA | REFORM_COMMA_TO_TOUTEN)) unchangedByte_[0x2C] = unchangedByte_[0xA4] = false;
        if (flags_ & (REFORM_KUTEN_TO_PERIOD | REFORM_PERIOD_TO_KUTEN)) unchangedByte_[0x2E] = unchangedByte_[0xA1] = false;
    }

    // Double-byte characters that some flag may change all lie in 0x8140-0x8491.
    bool MayChangeDouble(unsigned ch) const {
        if (halfWidth_ && IsHalfWidthConvertible(ch)) return true;
        if (changesCase_ && ((ch >= 0x8260 && ch <= 0x829A) || (ch >= 0x839F && ch <= 0x83D6) || ch >= 0x8440))
            return true;
        return convertsCharacters_ && ch <= 0x8144;
    }
    // For every first byte: the width of the unchanged character it starts
    // (1 or 2), 0 when it must be stepped, or kLookAtPair for the lead bytes
    // of characters that some flag may change; for those, by the whole
    // character: 2 unchanged, 0 stepped, or kToHalfWidth. Small tables: they
    // stay in the fastest cache, which the run loop's speed depends on.
    void BuildRunWidths() {
        for (unsigned ch = kFirstChangeable; ch <= kLastChangeable; ++ch)
            unchangedDouble_[ch - kFirstChangeable] = !MayChangeDouble(ch);
        for (unsigned b = 0; b < 256; ++b) {
            const auto byte = static_cast<unsigned char>(b);
            if (unchangedByte_[b]) firstByteWidth_[b] = 1;
            else if (!IsLeadByte(byte)) firstByteWidth_[b] = 0;
            else firstByteWidth_[b] = (b >= (kPairBase >> 8) && b <= (kLastChangeable >> 8)) ? kLookAtPair : 2;
        }
        for (unsigned k = 0; k < kPairCount; ++k) {
            const unsigned ch = kPairBase + k;
            pairWidth_[k] = IsUnchangedDouble(ch)                                  ? 2
                            : inlineHalfWidth_ && IsHalfWidthConvertible(ch) ? kToHalfWidth
                                                                             : 0;
        }
    }
    bool IsUnchangedDouble(unsigned ch) const {
        return ch < kFirstChangeable || ch > kLastChangeable || unchangedDouble_[ch - kFirstChangeable];
    }

    // Copies characters that pass unchanged, while they leave the line
    // short of the wrap column and do not reach the next progress position.
    // Without wrapping there are no columns to count: a loop of its own.
    template <bool kWrapping>
    bool CopyUnchangedRun(size_t progressAt) {
        const size_t limit = progressAt < len_ ? progressAt : len_;
        // Columns that may still be added before the line must break.
        const long long room = wrapAt_ ? static_cast<long long>(wrapAt_) - 1 - col_ : (1LL << 62);
        // Columns the run adds: counted as it goes when wrapping; without,
        // one per byte but for the conversions to a single byte.
        long long used = 0;
        size_t converted = 0;
        size_t pos = i_, copyFrom = i_;
        // The loop reads a character's second byte unchecked: it stops one
        // byte short of the text's end, which the last step below takes.
        const size_t pairLimit = limit < len_ ? limit : len_ - 1;
        while (pos < pairLimit) {
            // The first byte decides, but for the few lead bytes of characters
            // a flag may change: those look up the whole character. Both look-
            // ups are made and one is chosen, without a branch to mispredict
            // on text that mixes the kinds at every character. A lead byte at
            // the very end of the text stands alone (it is stepped).
            const unsigned b = src_[pos];
            const unsigned ch = b << 8 | src_[pos + 1];
            int width = firstByteWidth_[b];
            const bool pair = width == kLookAtPair;
            const int pairWidth = pairWidth_[pair ? ch - kPairBase : 0];
            width = pair ? pairWidth : width;
            // The one conversion done in the run: full width to half width,
            // when nothing converts the result further. It makes a single
            // column, so the line still stays short of the wrap.
            if (width == kToHalfWidth) {
                if (kWrapping && used + 1 > room) break;
                CopySource(copyFrom, pos);
                out_.push_back(static_cast<char>(ToHalfWidth(ch)));
                if (kWrapping)
                    used += 1;
                else
                    ++converted;
                pos += 2;
                copyFrom = pos;
                continue;
            }
            if (!width || (kWrapping && used + width > room)) break;
            if (kWrapping) used += width;
            pos += width;
        }
        if (!kWrapping) used = static_cast<long long>(pos - i_ - converted);
        // The text's last byte, alone: a single-byte character that passes
        // unchanged joins the run (a lead byte there is stepped).
        if (pos == len_ - 1 && pos < limit && firstByteWidth_[src_[pos]] == 1 && used + 1 <= room) {
            used += 1;
            pos += 1;
        }
        if (pos == i_) return false;
        out_.append(reinterpret_cast<const char*>(src_ + copyFrom), pos - copyFrom);
        col_ += static_cast<int>(used);
        i_ = pos;
        return true;
    }

    // A conversion every few characters leaves short stretches between them:
    // those go byte by byte, without a call each.
    void CopySource(size_t from, size_t to) {
        if (to - from > 8) {
            out_.append(reinterpret_cast<const char*>(src_ + from), to - from);
            return;
        }
        for (size_t k = from; k < to; ++k) out_.push_back(static_cast<char>(src_[k]));
    }

    void Step() {
        const unsigned char b = src_[i_];
        if (IsLeadByte(b) && i_ + 1 < len_) {
            unsigned ch = b << 8 | src_[i_ + 1];
            i_ += 2;
            if (halfWidth_ && IsHalfWidthConvertible(ch)) {
                col_ += 1;
                EmitSingle(ToHalfWidth(ch));
            } else {
                EmitDouble(ch);
            }
            return;
        }
        ++i_;
        if (flags_ & REFORM_TAG_REMOVE) {
            if (b == '\r' || b == '\n') return;
            if (b == '<') return RemoveTag();
        }
        if (b == '\t' && tabReplace_) return ExpandTab();
        if (b == '\t') return EmitSingle(b);
        if (b == '\n' || b == '\r') {
            col_ = 0;
            return EmitSingle(b);
        }
        if (flags_ & REFORM_TO_FULLWIDTH) {
            const unsigned char next = i_ < len_ ? src_[i_] : 0;
            switch (ClassifyHalfWidth(b, next)) {
            case 1:
                return EmitDouble(ToFullWidth(b));
            case 2:
                ++i_; // the voicing mark goes with the kana
                return EmitDouble(VoicedToFullWidth(b, next));
            }
        }
        col_ += 1;
        EmitSingle(b);
    }

    void EmitDouble(unsigned ch) {
        if (convertsCharacters_) ch = ConvertCaseAndPunctuation(ch, flags_, 1);
        const size_t start = out_.size();
        out_.push_back(static_cast<char>(ch >> 8));
        out_.push_back(static_cast<char>(ch & 0xFF));
        col_ += 2;
        CheckWrap(2, start);
    }

    // The character's column was counted by the caller.
    void EmitSingle(unsigned ch) {
        if (convertsCharacters_) ch = ConvertCaseAndPunctuation(ch, flags_, 0);
        const size_t start = out_.size();
        out_.push_back(static_cast<char>(ch));
        if (ch == '\n' || ch == '\r') {
            lineFloor_ = out_.size();
            if (ch == '\n' && quote_ && i_ < len_) AppendQuote();
        }
        CheckWrap(1, start);
    }

    void AppendQuote() {
        out_.append(quote_, quoteLength_);
        col_ = quoteLength_;
        lineFloor_ = out_.size();
    }

    void ExpandTab() {
        do {
            out_.push_back(' ');
            ++col_;
        } while (col_ % tabWidth_ != 0);
    }

    void RemoveTag() {
        const unsigned char* tag = src_ + i_ - 1;
        const size_t available = len_ - (i_ - 1);
        if (StartsWithNoCase(tag, available, "<br>") || StartsWithNoCase(tag, available, "<p>") ||
            StartsWithNoCase(tag, available, "</tr>")) {
            out_.append("\r\n");
            col_ = 0;
            lineFloor_ = out_.size();
            if (quote_) AppendQuote();
        }
        const void* close = memchr(tag, '>', available);
        i_ = close ? static_cast<size_t>(static_cast<const unsigned char*>(close) - src_) + 1 : len_;
    }

    void CheckWrap(int width, size_t start) {
        if (wrapAt_ && col_ >= wrapAt_) BreakLine(width, start);
    }

    unsigned CodeAt(size_t p) const {
        const auto b = static_cast<unsigned char>(out_[p]);
        if (IsLeadByte(b) && p + 1 < out_.size()) return b << 8 | static_cast<unsigned char>(out_[p + 1]);
        return b;
    }

    // Start of the character that ends at p, never before lineFloor_. A
    // byte that cannot lead a character ends one (it is a single-byte
    // character or a trail byte): the scan back stops at the first.
    size_t PreviousCharStart(size_t p) const {
        size_t anchor = p - 1;
        while (anchor > lineFloor_ && IsLeadByte(static_cast<unsigned char>(out_[anchor - 1]))) --anchor;
        size_t q = anchor;
        for (;;) {
            const size_t next = q + (IsLeadByte(static_cast<unsigned char>(out_[q])) ? 2 : 1);
            if (next >= p) return q;
            q = next;
        }
    }

    // Breaks the line before the character just emitted at `start`, or, by
    // kinsoku, before up to a few characters preceding it.
    void BreakLine(int width, size_t start) {
        size_t p = start;
        col_ = width;
        while (kinsokuReach_ && p > lineFloor_) {
            const size_t before = PreviousCharStart(p);
            if (start - before >= kinsokuReach_) break;
            if (!front_->Has(CodeAt(p)) && !end_->Has(CodeAt(before))) break;
            p = before;
            col_ += width;
        }
        out_.insert(p, "\r\n");
        lineFloor_ = p + 2;
        if (quote_ && i_ < len_) {
            out_.insert(lineFloor_, quote_);
            col_ += quoteLength_;
            lineFloor_ += quoteLength_;
        }
    }

    const unsigned char* src_;
    const size_t len_;
    const int flags_;
    const int wrapAt_;              // 0: no wrapping
    const size_t kinsokuReach_;     // bytes kinsoku may carry back; 0: none
    const int tabWidth_;
    const bool tabReplace_;
    const char* const quote_;       // null: no quotation prefix
    const int quoteLength_;
    const bool convertsCharacters_;
    const bool halfWidth_;
    const bool changesCase_;
    const bool inlineHalfWidth_;
    bool unchangedByte_[256] = {};
    static constexpr unsigned kFirstChangeable = 0x8140, kLastChangeable = 0x8491;
    bool unchangedDouble_[kLastChangeable - kFirstChangeable + 1] = {};
    static constexpr uint8_t kLookAtPair = 3, kToHalfWidth = 4;
    // Every character whose lead byte is that of a changeable one.
    static constexpr unsigned kPairBase = 0x8100, kPairCount = 0x400;
    uint8_t firstByteWidth_[256] = {};
    uint8_t pairWidth_[kPairCount] = {};
    std::unique_ptr<CharSet> front_, end_;
    std::string& out_;
    size_t i_ = 0;
    int col_ = 0;
    size_t lineFloor_ = 0; // kinsoku never moves a break before this
};

} // namespace

std::string Reformat(const char* source, size_t length, const ReformParams& params,
                     ProgressIndicator* progress, void* instance) {
    std::string out;
    out.reserve(length * 2);
    ProgressDriver driver(progress, length, instance);
    Reformatter(source, length, params, out).Run(driver);
    return out;
}

} // namespace kst
