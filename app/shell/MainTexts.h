// The main window's user texts, each as a Japanese and an English twin.
#pragma once

#include "app/common/UserNotifier.h"

namespace ov {

inline constexpr TwoLanguageText kFirstUseNotice = {
    "使い方と注意事項についてはヘルプファイルを参照してください。\n\n"
    " ヘルプファイルはいつでも F1 キーで開くことができます。 \n\n"
    " (このメッセージは次回から表示されません)",
    "Please refer to the Help file for the usage and notes.\n\n"
    " The Help file can be opened by pressing F1 key at any time. \n\n"
    " (This message is not displayed from next time)"};

inline constexpr TwoLanguageText kNewVersionNotice = {
    "新しいバージョンです。\n変更点についてはヘルプファイルを参照してください。\n\n"
    " ヘルプファイルはいつでも F1 キーで開くことができます。 \n\n"
    " (このメッセージは次回から表示されません)",
    "This is the new version.\nPlease refer to the Help file for the modifications.\n\n"
    " The Help file can be opened by pressing F1 key at any time. \n\n"
    " (This message is not displayed from next time)"};

// %s: the face name. Shown before the language is applied, so English only.
inline constexpr char kUnableToLoadFont[] = "Unable to load %s Font.";

// %zu: the number of names not taken.
inline constexpr TwoLanguageText kItemsLeftOut = {
    "一度に扱えるファイルは 100 個までです。%zu 個のファイル名は無視されました。",
    "At most 100 files are taken at once: %zu more file names were left out."};

// %s: the name as given.
inline constexpr TwoLanguageText kFileNameTooLong = {"ファイル名が長すぎます。\n\n%s",
                                                     "The file name is too long.\n\n%s"};

// %s: the names, one per line.
inline constexpr TwoLanguageText kFilesNotPlayable = {
    "次のファイルは再生できないため除外されました。\n%s",
    "These files cannot be played and were left out:\n%s"};

// %s: the engine's reason.
inline constexpr TwoLanguageText kUnableToOpen = {"ファイルを開けません。\n\n%s",
                                                  "Unable to open file.\n\n%s"};

}  // namespace ov
