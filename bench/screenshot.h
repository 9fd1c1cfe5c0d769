// A screenshot of the kind users take, for the benchmarks: 1920 x 1080 of an
// application drawn with GDI (title bar, menu, toolbar, a file list, a page
// of Japanese and English text in anti-aliased fonts, a photograph-like
// picture in it, a status bar). variant changes the texts and the picture.
#pragma once

#include <windows.h>

#include <math.h>
#include <stdio.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "history/clip_formats.h"
#include "history/history_file.h"
#include "image/dib_codec.h"
#include "image/image.h"

namespace bench_shot {

inline void Fill(HDC dc, int l, int t, int r, int b, COLORREF c) {
    HBRUSH brush = CreateSolidBrush(c);
    RECT rect{l, t, r, b};
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

inline void Text(HDC dc, int x, int y, const std::string& text, COLORREF c) {
    SetTextColor(dc, c);
    TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

inline HFONT Font(int height, int weight) {
    return CreateFontA(-height, 0, 0, 0, weight, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0,
                       "IPAGothic");
}

inline kst::Image DrawScreenshot(unsigned variant) {
    constexpr int kWidth = 1920, kHeight = 1080;
    static const char* const lines[] = {
        "本日の会議の資料をお送りします。ご確認のほどよろしくお願いいたします。", "The quick brown fox jumps over the lazy dog.",
        "東京駅の改札で待ち合わせましょう。時間は午後三時です。", "C:\\Users\\data\\reports\\2026-12-08 週報.xlsx",
        "クリップボードの履歴から貼り付けると、書式も一緒に戻ります。", "HTTP/1.1 200 OK  Content-Type: text/html; charset=utf-8",
        "「引用」や（括弧）を含む文章、句読点の位置にも気をつけます。", "for (int k = 0; k < count; ++k) total += values[k];",
        "来週の予定：月曜 定例会議、水曜 顧客訪問、金曜 レビュー", "Please find the attached file and let me know your thoughts.",
    };
    std::mt19937 random(variant * 7919 + 1);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, section);
    SetBkMode(dc, TRANSPARENT);
    Fill(dc, 0, 0, kWidth, kHeight, RGB(255, 255, 255));
    for (int y = 0; y < 32; ++y) Fill(dc, 0, y, kWidth, y + 1, RGB(30 + y * 2, 80 + y * 3, 160 + y * 2)); // title bar
    HFONT ui = Font(15, FW_NORMAL), bold = Font(15, FW_BOLD), body = Font(18, FW_NORMAL);
    SelectObject(dc, bold);
    Text(dc, 12, 8, "週報 - 文書エディター", RGB(255, 255, 255));
    SelectObject(dc, ui);
    Fill(dc, 0, 32, kWidth, 58, RGB(243, 243, 243));
    const char* const menu[] = {"ファイル(F)", "編集(E)", "表示(V)", "挿入(I)", "書式(O)", "ツール(T)", "ヘルプ(H)"};
    for (int k = 0; k < 7; ++k) Text(dc, 12 + k * 96, 37, menu[k], RGB(0, 0, 0));
    Fill(dc, 0, 58, kWidth, 100, RGB(235, 235, 235));
    for (int k = 0; k < 28; ++k) { // toolbar buttons
        const int x = 8 + k * 40;
        Fill(dc, x, 64, x + 32, 94, RGB(250, 250, 250));
        Fill(dc, x + 8, 70, x + 24, 88, RGB(random() % 200, random() % 200, random() % 200));
    }
    Fill(dc, 0, 100, 320, kHeight - 28, RGB(248, 248, 250)); // the file list
    for (int row = 0; row < 44; ++row) {
        char name[64];
        snprintf(name, sizeof name, "%s %02u_%s.txt", row % 5 ? "  " : "▼", unsigned(random() % 100),
                 row % 3 ? "資料" : "report");
        if (row == 6) Fill(dc, 0, 104 + row * 21, 320, 104 + row * 21 + 21, RGB(204, 228, 247));
        Text(dc, 10, 106 + row * 21, name, RGB(30, 30, 30));
    }
    SelectObject(dc, body);
    for (int line = 0; line < 42; ++line) { // the page
        const int y = 116 + line * 22;
        if (line >= 8 && line < 25) continue; // the picture's place
        std::string text = lines[(line + variant) % 10];
        if (random() % 2) text += std::string(" ") + lines[random() % 10];
        Text(dc, 360, y, text, line % 7 == 0 ? RGB(0, 90, 180) : RGB(20, 20, 20));
    }
    // A photograph: smooth light and colour, and grain.
    std::uniform_int_distribution<int> grain(-9, 9);
    auto* pixels = static_cast<uint8_t*>(bits);
    const double phase = variant * 0.7;
    for (int y = 0; y < 360; ++y)
        for (int x = 0; x < 640; ++x) {
            uint8_t* p = pixels + ((size_t(292 + y) * kWidth) + 360 + x) * 4;
            const double light = 0.5 + 0.25 * sin(x / 90.0 + phase) + 0.2 * cos(y / 60.0 - phase);
            p[0] = static_cast<uint8_t>(std::min(255.0, std::max(0.0, 255 * light * 0.6 + grain(random))));
            p[1] = static_cast<uint8_t>(std::min(255.0, std::max(0.0, 255 * light * 0.8 + grain(random))));
            p[2] = static_cast<uint8_t>(std::min(255.0, std::max(0.0, 255 * light + grain(random))));
        }
    SelectObject(dc, ui);
    Fill(dc, 0, kHeight - 28, kWidth, kHeight, RGB(0, 120, 215)); // status bar
    Text(dc, 12, kHeight - 23, "ページ 1/3   2,418 文字   日本語", RGB(255, 255, 255));
    GdiFlush();
    kst::Image image;
    kst::AllocateImage(image, kWidth, kHeight);
    memcpy(image.bgra.data(), bits, image.bgra.size());
    for (size_t k = 3; k < image.bgra.size(); k += 4) image.bgra[k] = 255;
    SelectObject(dc, old);
    DeleteObject(section);
    DeleteDC(dc);
    for (HFONT f : {ui, bold, body}) DeleteObject(f);
    return image;
}

// What the capture does once it has a bitmap's bytes off the clipboard.
inline std::shared_ptr<const kst::ClipFormats> PictureOfDib(const std::string& dib) {
    kst::Image image;
    auto formats = std::make_shared<kst::ClipFormats>();
    formats->pictureEntry = true;
    if (!kst::DecodeDib(dib.data(), dib.size(), image) || !kst::AddPicture(image, nullptr, *formats)) return nullptr;
    return formats;
}

inline std::shared_ptr<const kst::ClipFormats> ScreenshotPicture(unsigned variant) {
    std::string dib;
    kst::EncodeDib(DrawScreenshot(variant), dib);
    return PictureOfDib(dib);
}

// A picture entry as the history file and its companion keep it.
inline kst::SavedEntry SavedPicture(std::shared_ptr<const kst::ClipFormats> picture) {
    const kst::StoredFormat* p = picture->Picture();
    return kst::SavedEntry{std::make_shared<const std::string>(kst::PictureEntryText(p->width, p->height)), nullptr,
                           -1, kst::LocalTime{2026, 12, 2, 8, 10, 0, 0, 0}, false, std::move(picture)};
}

} // namespace bench_shot
