// Texts the program shows; the build stores them as code page 932 bytes.
#pragma once

namespace kst {

constexpr char kProgramName[] = "kestrane";
constexpr char kAlreadyRunningText[] = "kestraneは既に起動しています";
constexpr char kMainWindowClass[] = "KestraneMain";
constexpr char kSingleInstanceMutex[] = "kestrane";
constexpr char kErrorTitle[] = "Kestrane [ERROR]";
constexpr char kHistoryTitle[] = "Kestrane [履歴]";
constexpr char kHistoryMovedText[] = "プログラムのフォルダに書き込めないため、履歴は次のフォルダに保存します: ";
constexpr char kHistoryNotSavedText[] = "履歴ファイルを保存できませんでした。";
constexpr char kHistoryKeptAsideText[] = "履歴ファイルを復号できないため、上書きせず次の名前で残しました: ";
constexpr char kHooksRefusedText[] = "キー操作を受け取る準備ができませんでした。ホットキーは使えません。";
constexpr char kClipboardBusyText[] = "クリップボードを使用できないため、貼り付けできませんでした。";

} // namespace kst
