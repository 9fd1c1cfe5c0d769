// Notification texts of the history (code page 932 in the build).
#pragma once

namespace kst {

constexpr char kAddedTitleFormat[] = "Kestrane %d/%d件 [追加]";
constexpr char kAddedText[] = "履歴リストに追加しました";
constexpr char kOverflowTextFormat[] = "バッファオーバーの為、履歴リスト(%d)の削除/追加を行いました";
constexpr char kFilePathsAddedText[] = "ファイルパスを履歴に追加しました";
constexpr char kFullText[] = "履歴リストがいっぱいになりました";
constexpr char kClearedTitle[] = "Kestrane [履歴消去]";
constexpr char kClearedText[] = "履歴リストをクリアしました";
constexpr char kNoMemoryTitle[] = "Kestrane [メモリ不足]";
constexpr char kNoMemoryCaptureText[] = "メモリが足りないため、このコピーは履歴に追加しませんでした";
constexpr char kNoMemoryPasteText[] = "メモリが足りないため、貼り付けませんでした。クリップボードはそのままです";
constexpr char kNoMemoryLoadText[] = "メモリが足りないため、履歴ファイルを読み込めませんでした。ファイルはそのまま残し、上書きしません";

} // namespace kst
