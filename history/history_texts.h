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
constexpr char kNoMemoryDeleteText[] = "メモリが足りないため、削除しませんでした";
constexpr char kNoMemoryLoadText[] = "メモリが足りないため、履歴ファイルを読み込めませんでした。履歴を変更するまでファイルは上書きしません";
constexpr char kPartialLoadTextFormat[] = "メモリが足りないため、履歴ファイルの%u件のうち%u件だけを読み込みました。履歴を変更するまでファイルは上書きしません";
constexpr char kClearedKeptTextFormat[] = "履歴リストをクリアしました (固定した%d件は残しました)";
constexpr char kAllPinnedText[] = "すべての項目が固定されているため、追加できませんでした。固定を外すと追加できます";
constexpr char kPinnedNotDeletedTitle[] = "Kestrane [削除]";
constexpr char kPinnedNotDeletedText[] = "固定された項目は削除できません。Insert で固定を外してから削除してください";
constexpr char kTooLargeTitle[] = "Kestrane [追加しません]";
constexpr char kTooLargeTextFormat[] = "コピーされたテキスト (%s) は上限 (%s) より大きいため、履歴に追加しませんでした。クリップボードはそのままです";
constexpr char kPictureAddedText[] = "画像を履歴に追加しました";
constexpr char kPictureEntryTextFormat[] = "[画像 %u×%u]";
constexpr char kPictureLabelFormat[] = "画像 %u×%u";
constexpr char kPictureTooLargeTextFormat[] = "コピーされた画像 (%u×%u, %s) は上限 (%s) より大きいため、履歴に追加しませんでした。クリップボードはそのままです";
constexpr char kFormatsTooLargeTextFormat[] = "コピーされた書式と画像 (%s) は上限 (%s) より大きいため、テキストだけを履歴に追加しました。クリップボードはそのままです";

} // namespace kst
