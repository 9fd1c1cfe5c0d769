// The clipboard side of the history: the viewer chain, the quiet-period
// thread, capturing a copy and putting an entry back on the clipboard.
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <new>
#include <string>

#include "history/clip_history.h"
#include "history/history_texts.h"
#include "history/clipboard_access.h"
#include "image/dib_codec.h"
#include "image/png_codec.h"
#include "reform/cp932_codec.h"
#include "reform/cp932_path.h"

namespace kst {
namespace {

constexpr char kWaitEventName[] = "KESTRANE-WAITCLIPUPDATE";
constexpr char kGeneralNotifyName[] = "KESTRANE_GENERALNOTIFY";
constexpr WPARAM kCaptureCommand = 6;
constexpr DWORD kQuietPeriodMs = 200;
constexpr DWORD kOwnPasteGuardMs = 800;

enum FilePathBits { kFilePathRecord = 0x1, kFilePathToClipboard = 0x2, kFilePathNameOnly = 0x4 };

// What a quiet-period thread needs, handed to it whole: it reads nothing else.
struct QuietPeriod {
    HANDLE event;
    HWND window;
    UINT message;
};

// Waits until the clipboard has been quiet for 200 ms, then asks the main
// window to capture. Every change notice in between restarts the wait.
DWORD WINAPI QuietPeriodThread(LPVOID param) {
    const QuietPeriod period = *static_cast<QuietPeriod*>(param);
    delete static_cast<QuietPeriod*>(param);
    while (WaitForSingleObject(period.event, kQuietPeriodMs) != WAIT_TIMEOUT) {
    }
    CloseHandle(period.event);
    PostMessageA(period.window, period.message, kCaptureCommand, 0);
    return 0;
}

int FormatBit(UINT format) {
    switch (format) {
    case CF_TEXT:
    case CF_OEMTEXT:
    case CF_UNICODETEXT:
        return 0x02;
    case CF_BITMAP:
    case CF_TIFF:
    case CF_DIB:
        return 0x04;
    case CF_METAFILEPICT:
    case CF_ENHMETAFILE:
        return 0x08;
    case CF_RIFF:
    case CF_WAVE:
        return 0x10;
    case CF_HDROP:
        return 0x20;
    default:
        return 0x01;
    }
}

bool IsTextFormat(UINT format) {
    return format == CF_TEXT || format == CF_OEMTEXT || format == CF_UNICODETEXT || format == CF_LOCALE;
}

// The copied files' paths, one a line; with bit 4 their names only.
std::string PathText(int filePath) {
    HDROP drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
    if (!drop) return "";
    std::string text;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        char path[MAX_PATH] = "";
        DragQueryFileA(drop, i, path, sizeof path);
        std::string one = path;
        if (filePath & kFilePathNameOnly) one.erase(0, FileNameOffset(one));
        if (i) text += "\r\n";
        text += one;
    }
    return text;
}

constexpr LCID kJapaneseLocale = 0x0411;

// The clipboard's text of the format up to its first zero; false when it
// cannot be had.
template <typename Char>
bool ClipboardData(UINT format, std::basic_string<Char>& text) {
    HANDLE data = GetClipboardData(format);
    const Char* locked = data ? static_cast<const Char*>(GlobalLock(data)) : nullptr;
    if (!locked) return false;
    const SIZE_T units = GlobalSize(data) / sizeof(Char);
    SIZE_T length = 0;
    while (length < units && locked[length]) ++length;
    text.assign(locked, length);
    GlobalUnlock(data);
    return true;
}

// The ANSI code page the clipboard's text is in: its CF_LOCALE's, else 932.
UINT ClipboardTextCodePage() {
    HANDLE data = GetClipboardData(CF_LOCALE);
    const LCID* locale = data && GlobalSize(data) >= sizeof(LCID) ? static_cast<const LCID*>(GlobalLock(data)) : nullptr;
    if (!locale) return kCodePage932;
    const LCID lcid = *locale;
    GlobalUnlock(data);
    char number[8] = "";
    if (!GetLocaleInfoA(lcid, LOCALE_IDEFAULTANSICODEPAGE, number, sizeof number)) return kCodePage932;
    const UINT codePage = static_cast<UINT>(atoi(number));
    return codePage ? codePage : kCodePage932;
}

std::u16string FromCodePage(UINT codePage, const std::string& text) {
    if (text.empty() || text.size() > 0x7FFFFFFF) return std::u16string();
    const int size = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::u16string wide(size > 0 ? static_cast<size_t>(size) : 0, u'\0');
    if (size > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                            reinterpret_cast<wchar_t*>(&wide[0]), size);
    return wide;
}

// A copied text: code page 932 made from the Unicode text (the system's
// ANSI code page and the keyboard layout play no part), and the Unicode
// text itself when code page 932 cannot hold it exactly. Without Unicode
// text, the ANSI text in its locale's code page.
struct CopiedText {
    std::string cp932;
    std::u16string exact;
    bool needsExact = false;
};

// The clipboard's Unicode text's size in code page 932, read in place: a
// copy too large to keep is never copied nor converted.
size_t Cp932SizeOfUnicodeText() {
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* locked = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (!locked) return 0;
    const SIZE_T units = GlobalSize(data) / sizeof(wchar_t);
    SIZE_T length = 0;
    while (length < units && locked[length]) ++length;
    size_t bytes = 0;
    constexpr SIZE_T kPiece = 1 << 20;
    for (SIZE_T at = 0; at < length;) {
        SIZE_T n = length - at < kPiece ? length - at : kPiece;
        if (at + n < length && locked[at + n - 1] >= 0xD800 && locked[at + n - 1] <= 0xDBFF) ++n; // a pair whole
        bytes += static_cast<size_t>(
            WideCharToMultiByte(kCodePage932, 0, locked + at, static_cast<int>(n), nullptr, 0, nullptr, nullptr));
        at += n;
    }
    GlobalUnlock(data);
    return bytes;
}

size_t SizeOfAnsiText() {
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* locked = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (!locked) return 0;
    const size_t size = strnlen(locked, GlobalSize(data));
    GlobalUnlock(data);
    return size;
}

size_t CopiedTextSize() {
    return IsClipboardFormatAvailable(CF_UNICODETEXT) ? Cp932SizeOfUnicodeText() : SizeOfAnsiText();
}

bool ReadCopiedText(CopiedText& copied) {
    const Cp932Codec& codec = SystemCp932();
    std::u16string wide;
    if (IsClipboardFormatAvailable(CF_UNICODETEXT) && ClipboardData(CF_UNICODETEXT, wide)) {
        copied.cp932 = codec.ToCp932(wide);
    } else {
        if (!ClipboardData(CF_TEXT, copied.cp932)) return false;
        const UINT codePage = ClipboardTextCodePage();
        if (codePage == kCodePage932) return true;
        wide = FromCodePage(codePage, copied.cp932);
        copied.cp932 = codec.ToCp932(wide);
    }
    copied.needsExact = !codec.HoldsExactly(wide);
    if (copied.needsExact) copied.exact = std::move(wide);
    return true;
}

// Registered formats by which careful programs (password managers and the
// like) ask clipboard monitors to leave their copy alone.
constexpr char kExcludeFormat[] = "ExcludeClipboardContentFromMonitorProcessing";
constexpr char kViewerIgnoreFormat[] = "Clipboard Viewer Ignore";
constexpr char kHistoryConsentFormat[] = "CanIncludeInClipboardHistory";

// The consent format holds a DWORD: 0 asks us not to record, 1 is an
// ordinary copy. What cannot be read counts as a refusal: a secret that is
// kept out by mistake costs less than one written to disk.
bool ConsentRefused(UINT consent, HWND owner) {
    ClipboardSession clipboard(owner);
    if (!clipboard.IsOpen()) return true;
    HANDLE data = GetClipboardData(consent);
    const void* locked = data ? GlobalLock(data) : nullptr;
    if (!locked) return true;
    DWORD value = 0;
    const bool sized = GlobalSize(data) >= sizeof value;
    if (sized) memcpy(&value, locked, sizeof value);
    GlobalUnlock(data);
    return !sized || value == 0;
}

bool ClipboardAsksNotToBeRecorded(HWND owner) {
    if (IsClipboardFormatAvailable(RegisterClipboardFormatA(kExcludeFormat)) ||
        IsClipboardFormatAvailable(RegisterClipboardFormatA(kViewerIgnoreFormat)))
        return true;
    const UINT consent = RegisterClipboardFormatA(kHistoryConsentFormat);
    return IsClipboardFormatAvailable(consent) && ConsentRefused(consent, owner);
}

// One clipboard format's memory, made before the clipboard is opened: the
// user's clipboard is emptied only once all that replaces it is ready.
class ClipboardMemory {
  public:
    ClipboardMemory() = default;
    ~ClipboardMemory() {
        if (memory_) GlobalFree(memory_);
    }
    ClipboardMemory(const ClipboardMemory&) = delete;
    ClipboardMemory& operator=(const ClipboardMemory&) = delete;

    // bytes and a zero terminator of the given size.
    bool Fill(UINT format, const void* bytes, size_t size, size_t terminator) {
        format_ = format;
        memory_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size + terminator);
        void* locked = memory_ ? GlobalLock(memory_) : nullptr;
        if (!locked) return false;
        memcpy(locked, bytes, size);
        GlobalUnlock(memory_);
        return true;
    }
    // Handed to the open clipboard, which owns it from then on.
    bool Hand() {
        if (!SetClipboardData(format_, memory_)) return false;
        memory_ = nullptr;
        return true;
    }

  private:
    UINT format_ = 0;
    HGLOBAL memory_ = nullptr;
};

// The registered formats a copy may carry beside its text, or instead of it.
constexpr char kPngFormat[] = "PNG";
constexpr char kHtmlFormat[] = "HTML Format";
constexpr char kRtfFormat[] = "Rich Text Format";

// The bytes of a clipboard format as they are, its memory's whole size.
bool ClipboardBytes(UINT format, std::string& bytes) {
    HANDLE data = GetClipboardData(format);
    const void* locked = data ? GlobalLock(data) : nullptr;
    if (!locked) return false;
    bytes.assign(static_cast<const char*>(locked), GlobalSize(data));
    GlobalUnlock(data);
    return true;
}

SIZE_T ClipboardSize(UINT format) {
    HANDLE data = IsClipboardFormatAvailable(format) ? GetClipboardData(format) : nullptr;
    return data ? GlobalSize(data) : 0;
}

// A copied picture as read while the clipboard is open: its bytes (a PNG or
// a device-independent bitmap) or, from a bitmap handle, its pixels. Decoding
// and compressing come after the clipboard is closed again.
struct CopiedPicture {
    enum Kind { kNone, kPng, kDib, kPixels } kind = kNone;
    UINT format = 0; // of the bytes
    uint32_t width = 0, height = 0;
    std::string bytes;
    Image pixels;
};

bool PictureOnClipboard() {
    return IsClipboardFormatAvailable(RegisterClipboardFormatA(kPngFormat)) || IsClipboardFormatAvailable(CF_DIB) ||
           IsClipboardFormatAvailable(CF_DIBV5) || IsClipboardFormatAvailable(CF_BITMAP);
}

// The size a format's header gives, read in place.
template <typename SizeReader>
bool SizeInPlace(UINT format, SizeReader read, CopiedPicture& p) {
    HANDLE data = IsClipboardFormatAvailable(format) ? GetClipboardData(format) : nullptr;
    const void* locked = data ? GlobalLock(data) : nullptr;
    if (!locked) return false;
    const bool sized = read(locked, GlobalSize(data), p.width, p.height);
    GlobalUnlock(data);
    return sized;
}

// Which picture the open clipboard offers, and its size, without copying
// anything: a picture above the bound is never copied. A PNG as it was
// copied comes first (lossless, with its transparency), then the bitmap.
bool PictureSize(CopiedPicture& p) {
    p = CopiedPicture{};
    if (SizeInPlace(RegisterClipboardFormatA(kPngFormat), PngSize, p)) {
        p.kind = CopiedPicture::kPng;
        p.format = RegisterClipboardFormatA(kPngFormat);
        return true;
    }
    for (UINT format : {UINT(CF_DIB), UINT(CF_DIBV5)}) {
        if (!SizeInPlace(format, DibSize, p)) continue;
        p.kind = CopiedPicture::kDib;
        p.format = format;
        return true;
    }
    HBITMAP bitmap = IsClipboardFormatAvailable(CF_BITMAP) ? static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)) : nullptr;
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight == 0) return false;
    p.width = static_cast<uint32_t>(info.bmWidth);
    p.height = static_cast<uint32_t>(info.bmHeight < 0 ? -info.bmHeight : info.bmHeight);
    p.kind = CopiedPicture::kPixels;
    return true;
}

// A bitmap handle's pixels in 32 bits, opaque.
bool ReadBitmapPixels(CopiedPicture& p) {
    HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    if (!bitmap || !AllocateImage(p.pixels, p.width, p.height)) return false;
    BITMAPINFO wanted{};
    wanted.bmiHeader.biSize = sizeof wanted.bmiHeader;
    wanted.bmiHeader.biWidth = static_cast<LONG>(p.width);
    wanted.bmiHeader.biHeight = -static_cast<LONG>(p.height); // rows from the top
    wanted.bmiHeader.biPlanes = 1;
    wanted.bmiHeader.biBitCount = 32;
    wanted.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, p.height, p.pixels.bgra.data(), &wanted, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (size_t k = 3; k < p.pixels.bgra.size(); k += 4) p.pixels.bgra[k] = 255;
    return rows == static_cast<int>(p.height);
}

// The picture PictureSize found, copied off the open clipboard.
bool ReadPicture(CopiedPicture& p) {
    const bool read = p.kind == CopiedPicture::kPixels ? ReadBitmapPixels(p) : ClipboardBytes(p.format, p.bytes);
    if (!read) p.kind = CopiedPicture::kNone;
    return read;
}

bool TooLarge(const CopiedPicture& p, uint64_t bound) {
    return bound && p.kind != CopiedPicture::kNone && Image::BytesOf(p.width, p.height) > bound;
}

// Decoded and compressed, after the clipboard is closed.
bool AddCopiedPicture(CopiedPicture& p, ClipFormats& formats) {
    switch (p.kind) {
    case CopiedPicture::kPng: {
        Image image;
        return DecodePng(p.bytes.data(), p.bytes.size(), image) && AddPicture(image, &p.bytes, formats);
    }
    case CopiedPicture::kDib: {
        Image image;
        return DecodeDib(p.bytes.data(), p.bytes.size(), image) && AddPicture(image, nullptr, formats);
    }
    case CopiedPicture::kPixels:
        return AddPicture(p.pixels, nullptr, formats);
    default:
        return false;
    }
}

// What a text copy carried beside it, read while the clipboard is open.
struct CopiedFormats {
    std::string html, rtf;
    CopiedPicture picture;
    uint64_t plainBytes = 0; // all of them uncompressed, for the bound
    bool any = false;
};

void ReadCopiedFormats(CopiedFormats& f, uint64_t bound) {
    const UINT html = RegisterClipboardFormatA(kHtmlFormat), rtf = RegisterClipboardFormatA(kRtfFormat);
    const SIZE_T htmlSize = ClipboardSize(html), rtfSize = ClipboardSize(rtf);
    const bool picture = PictureOnClipboard() && PictureSize(f.picture);
    f.plainBytes = htmlSize + rtfSize + (picture ? Image::BytesOf(f.picture.width, f.picture.height) : 0);
    f.any = htmlSize || rtfSize || picture;
    if (!f.any || (bound && f.plainBytes > bound)) {
        f.picture = CopiedPicture{};
        return;
    }
    if (htmlSize) ClipboardBytes(html, f.html);
    if (rtfSize) ClipboardBytes(rtf, f.rtf);
    if (picture) ReadPicture(f.picture);
}

std::shared_ptr<const ClipFormats> MakeCopiedFormats(CopiedFormats& f) {
    auto formats = std::make_shared<ClipFormats>();
    if (!f.html.empty() && !AddDeflated(FormatKind::kHtml, f.html, *formats)) return nullptr;
    if (!f.rtf.empty() && !AddDeflated(FormatKind::kRtf, f.rtf, *formats)) return nullptr;
    if (f.picture.kind != CopiedPicture::kNone) AddCopiedPicture(f.picture, *formats); // the text and the rest stay
    if (formats->parts.empty()) return nullptr;
    return formats;
}

// Unicode programs get the exact text, ANSI programs the code page 932 form,
// and the locale says which code page that is, whatever the keyboard layout.
struct TextForClipboard {
    ClipboardMemory wide, ansi, locale;

    bool Fill(const std::string& cp932, const char16_t* exact, size_t units) {
        const LCID japanese = kJapaneseLocale;
        return wide.Fill(CF_UNICODETEXT, exact, units * sizeof(char16_t), sizeof(char16_t)) &&
               ansi.Fill(CF_TEXT, cp932.data(), cp932.size(), 1) && locale.Fill(CF_LOCALE, &japanese, sizeof japanese, 0);
    }
    bool Fill(const std::string& cp932) {
        const std::u16string converted = SystemCp932().FromCp932(cp932);
        return Fill(cp932, converted.data(), converted.size());
    }
    bool Hand() { return wide.Hand() && ansi.Hand() && locale.Hand(); }
};

// A kept picture and formats as they were copied: the formatted texts
// inflated, the picture as a bitmap and as its PNG.
struct FormatsForClipboard {
    ClipboardMemory parts[4];
    int count = 0;

    // One of each kind, the first kept.
    bool Fill(const ClipFormats& formats) {
        if (const StoredFormat* picture = formats.Picture()) {
            Image image;
            std::string dib;
            if (!DecodePicture(*picture, image) || !EncodeDib(image, dib)) return false;
            std::vector<uint8_t>().swap(image.bgra);
            if (!Add(CF_DIB, dib) || !Add(RegisterClipboardFormatA(kPngFormat), picture->stored)) return false;
        }
        return AddInflated(formats.Find(FormatKind::kHtml), kHtmlFormat) &&
               AddInflated(formats.Find(FormatKind::kRtf), kRtfFormat);
    }
    bool AddInflated(const StoredFormat* part, const char* format) {
        std::string plain;
        return !part || (Inflated(*part, plain) && Add(RegisterClipboardFormatA(format), plain));
    }
    bool Add(UINT format, const std::string& bytes) {
        return count < 4 && parts[count++].Fill(format, bytes.data(), bytes.size(), 0);
    }
    bool Hand() {
        for (int k = 0; k < count; ++k)
            if (!parts[k].Hand()) return false;
        return true;
    }
};

} // namespace

void ClipHistory::Attach(void* window, void* programInstance) {
    mainWindow = window;
    instance = programInstance;
    captureMessage = RegisterWindowMessageA(kGeneralNotifyName);
}

// The chain is passed on without waiting: a viewer after us that stopped
// answering must not stop this thread, which the keyboard depends on.
void ClipHistory::OnClipboardChainMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
    const HWND next = static_cast<HWND>(nextViewer);
    if (message == WM_DRAWCLIPBOARD) {
        if (next) SendNotifyMessageA(next, message, wParam, lParam);
        if (skipNextChange)
            skipNextChange = 0;
        else
            RestartQuietPeriod();
    } else if (message == WM_CHANGECBCHAIN) {
        if (reinterpret_cast<HWND>(wParam) == next)
            nextViewer = reinterpret_cast<void*>(lParam);
        else if (next)
            SendNotifyMessageA(next, message, wParam, lParam);
    }
}

// The event exists exactly as long as a quiet-period thread waits on it; it
// is made here, before the thread starts, so that two notices in quick
// succession can never start two threads.
void ClipHistory::RestartQuietPeriod() {
    if (HANDLE running = OpenEventA(EVENT_ALL_ACCESS, FALSE, kWaitEventName)) {
        SetEvent(running);
        CloseHandle(running);
        return;
    }
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, kWaitEventName);
    if (!event) return;
    auto* period = new QuietPeriod{event, static_cast<HWND>(mainWindow), captureMessage};
    HANDLE thread = CreateThread(nullptr, 0, QuietPeriodThread, period, 0, nullptr);
    if (!thread) {
        delete period;
        CloseHandle(event);
        return;
    }
    if (waitThread) CloseHandle(static_cast<HANDLE>(waitThread));
    waitThread = thread;
}

int ClipHistory::SetViewer(int mode) {
    const HWND window = static_cast<HWND>(mainWindow);
    if (mode == 1 && !viewerJoined) {
        nextViewer = SetClipboardViewer(window);
        viewerJoined = 1;
    } else if (mode == 0 && viewerJoined) {
        ChangeClipboardChain(window, static_cast<HWND>(nextViewer));
        nextViewer = nullptr;
        viewerJoined = 0;
    }
    return viewerJoined;
}

void ClipHistory::ReadFormats() {
    ClipboardSession clipboard(nullptr);
    if (!clipboard.IsOpen()) return;
    int mask = 0;
    for (UINT format = 0; (format = EnumClipboardFormats(format)) != 0;) mask |= FormatBit(format);
    clipboard_.formatMask = mask;
}

// Our own writes are told by the clipboard's sequence number (the state
// right after our write) or its owner, never by timing or by counting change
// notices: a busy machine can deliver them late or twice.
bool ClipHistory::IsOwnClipboardWrite() const {
    if (ownWriteSequence != 0 && GetClipboardSequenceNumber() == ownWriteSequence) return true;
    return mainWindow && GetClipboardOwner() == static_cast<HWND>(mainWindow);
}

void ClipHistory::NoteOwnWrite() { ownWriteSequence = GetClipboardSequenceNumber(); }

// With bit 2 of FilePath: the copied files' path text put on the clipboard
// beside the file list. False when it could not be written.
bool ClipHistory::AddPathTextToClipboard(int filePath) {
    {
        ClipboardSession clipboard(static_cast<HWND>(mainWindow));
        if (!clipboard.IsOpen()) return false;
        skipNextChange = 1;
        TextForClipboard text;
        if (!text.Fill(PathText(filePath)) || !text.Hand()) {
            skipNextChange = 0;
            return false;
        }
    }
    NoteOwnWrite();
    return true;
}

// A copy that asked not to be recorded: the clipboard holds no history
// text, so the popup offers it as the current clipboard, pasted unchanged.
void ClipHistory::KeepOutOfHistory() {
    clipboard_.textOnClipboard = IsClipboardFormatAvailable(CF_TEXT) ? 1 : 0;
    clipboard_.otherFormats = 1;
    clipboard_.currentEntryIndex = kNoCurrentEntry;
    ReadFormats();
}

// A copy too large for the memory there is refuses that one copy: the
// history and the clipboard stay as they were.
int ClipHistory::Capture(const CaptureRules& rules) {
    try {
        return CaptureCopy(rules);
    } catch (const std::bad_alloc&) {
        RefuseForMemory(kNoMemoryCaptureText);
        return 0;
    }
}

int ClipHistory::CaptureCopy(const CaptureRules& rules) {
    const int filePath = rules.filePath;
    if (host_ && !host_->TakeCopyKeyMark()) return 0;
    if (host_ && !host_->ForegroundAllowsCapture()) return 0;
    if (GetTickCount() - lastPasteTick < kOwnPasteGuardMs && lastPasteTick != 0) return 0;
    const bool own = IsOwnClipboardWrite();
    if (!own && ClipboardAsksNotToBeRecorded(static_cast<HWND>(mainWindow))) {
        KeepOutOfHistory();
        return 0;
    }

    if (IsClipboardFormatAvailable(CF_TEXT)) {
        clipboard_.textOnClipboard = 1;
    } else {
        clipboard_.textOnClipboard = 0;
        clipboard_.otherFormats = CountClipboardFormats() > 0 ? 1 : 0;
        clipboard_.currentEntryIndex = kNoCurrentEntry;
        ReadFormats();
        if (!own && !(clipboard_.formatMask & 0x20) && PictureOnClipboard()) return CapturePicture();
        if (own || !(clipboard_.formatMask & 0x20) || filePath == 0) return 0;
        if (filePath & kFilePathToClipboard) {
            if (!AddPathTextToClipboard(filePath)) return 0;
            clipboard_.textOnClipboard = 1;
        }
    }
    if (own) return 0;
    ReadFormats();

    CopiedText copied;
    CopiedFormats beside;
    size_t tooLarge = 0;
    const bool isFilePaths = (clipboard_.formatMask & 0x20) != 0;
    {
        ClipboardSession clipboard(static_cast<HWND>(mainWindow));
        if (!clipboard.IsOpen()) return 0;
        int others = 0;
        for (UINT format = 0; (format = EnumClipboardFormats(format)) != 0;) others |= !IsTextFormat(format);
        clipboard_.otherFormats = others;
        // A text that cannot be had adds nothing (no empty entry).
        if (isFilePaths) {
            copied.cp932 = PathText(filePath);
        } else {
            const size_t size = entryBound_ ? CopiedTextSize() : 0;
            if (size > entryBound_)
                tooLarge = size;
            else if (!ReadCopiedText(copied))
                return 0;
            if (!tooLarge) ReadCopiedFormats(beside, formatsBound_);
        }
    }
    // Left on the clipboard for the application: the popup offers it as
    // the current clipboard.
    if (tooLarge) {
        KeepOutOfHistory();
        KeepsTextOfSize(tooLarge);
        return 0;
    }
    const bool formatsKept = !formatsBound_ || beside.plainBytes <= formatsBound_;
    std::shared_ptr<const ClipFormats> formats = beside.any && formatsKept ? MakeCopiedFormats(beside) : nullptr;
    const int added = AddCopy(std::move(copied.cp932), isFilePaths, copied.needsExact ? &copied.exact : nullptr,
                              std::move(formats));
    // Said after the entry's own notice, which it would hide.
    if (added && beside.any && !formatsKept) KeepsFormatsOfSize(beside.plainBytes);
    return added;
}

// A picture without text: a picture entry. Too large for the bound, it
// stays on the clipboard for the application, offered as the current one.
int ClipHistory::CapturePicture() {
    CopiedPicture picture;
    bool keep = false;
    {
        ClipboardSession clipboard(static_cast<HWND>(mainWindow));
        if (!clipboard.IsOpen() || !PictureSize(picture)) return 0;
        keep = !TooLarge(picture, formatsBound_);
        if (keep && !ReadPicture(picture)) return 0;
    }
    if (!keep) {
        KeepOutOfHistory();
        KeepsPictureOfSize(picture.width, picture.height); // says so
        return 0;
    }
    auto formats = std::make_shared<ClipFormats>();
    formats->pictureEntry = true;
    // A picture that cannot be read (or memory for it had) stays on the
    // clipboard, offered as the current one.
    if (!AddCopiedPicture(picture, *formats)) {
        KeepOutOfHistory();
        return 0;
    }
    return AddPicture(std::move(formats));
}

// Everything the clipboard is to hold is made before it is opened and
// emptied: a paste that cannot be made leaves the user's clipboard as it was.
int ClipHistory::PasteToClipboard(int index, int keep, const PasteParameters& parameters, bool asCopied) {
    pasteLackedMemory_ = false;
    if (!IsValidIndex(index)) return 0;
    int written = 0;
    try {
        SetPasteParameters(parameters);
        const ClipItem& item = *Item(index);
        if (item.IsPicture())
            written = WriteToClipboard(nullptr, nullptr, item.Formats().get());
        else if (asCopied)
            written = WriteToClipboard(&item.Text(0), item.ExactText(0), item.Formats().get());
        else {
            ReformItem(index);
            written = WriteToClipboard(&item.Text(1), item.ExactText(1), nullptr);
        }
    } catch (const std::bad_alloc&) {
        written = -1;
    }
    if (!PasteWasWritten(written)) return 0;
    AfterPaste(index, keep);
    lastPasteTick = GetTickCount();
    return 1;
}

int ClipHistory::PasteManyToClipboard(const std::vector<int>& indices, int keep, const PasteParameters& parameters,
                                      bool asCopied) {
    pasteLackedMemory_ = false;
    int written = 0;
    std::vector<const ClipItem*> pasted;
    try {
        const std::vector<int> texts = EntriesWithText(indices);
        if (texts.empty()) return indices.empty() ? 0 : PasteToClipboard(indices.front(), keep, parameters, asCopied);
        SetPasteParameters(parameters);
        pasted = ItemsAt(texts);
        if (!asCopied)
            for (int index : texts) ReformItem(index);
        const JoinedText joined = JoinTexts(texts, asCopied ? 0 : 1);
        written = WriteToClipboard(&joined.cp932, joined.hasExact ? &joined.exact : nullptr, nullptr);
    } catch (const std::bad_alloc&) {
        written = -1;
    }
    if (!PasteWasWritten(written)) return 0;
    AfterPasteOfItems(pasted, keep);
    lastPasteTick = GetTickCount();
    return 1;
}

// written as WriteToClipboard says; a paste without memory says so.
bool ClipHistory::PasteWasWritten(int written) {
    if (written >= 0) return written > 0;
    pasteLackedMemory_ = true;
    RefuseForMemory(kNoMemoryPasteText);
    return false;
}

// 1 written, 0 the clipboard could not be had, -1 no memory for the text.
// cp932: the text (null: none); formats: what goes beside it (null: none).
int ClipHistory::WriteToClipboard(const std::string* cp932, const std::u16string* exact, const ClipFormats* formats) {
    TextForClipboard text;
    if (cp932 && !(exact ? text.Fill(*cp932, exact->data(), exact->size()) : text.Fill(*cp932))) return -1;
    FormatsForClipboard beside;
    if (formats && !beside.Fill(*formats)) return -1;
    // The change notice of our own write may come while we still hold the
    // clipboard: skip it from the start, and take that back if nothing was
    // written. Nothing is ranked or removed for a paste that cannot happen.
    skipNextChange = 1;
    {
        ClipboardSession clipboard(static_cast<HWND>(mainWindow));
        if (!clipboard.IsOpen() || !EmptyClipboard() || (cp932 && !text.Hand()) || !beside.Hand()) {
            skipNextChange = 0;
            return 0;
        }
    }
    NoteOwnWrite();
    // What we wrote is an entry's: no current-clipboard row for it.
    clipboard_.otherFormats = 0;
    clipboard_.textOnClipboard = cp932 ? 1 : 0;
    clipboard_.currentEntryIndex = -1;
    return 1;
}

} // namespace kst
