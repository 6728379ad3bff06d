// What the recording writer tells the user, in both languages. Boxes show
// "%s\n\n%s": the text, then the file name.
#pragma once

#include "app/common/UserNotifier.h"

namespace ov::recording_text {

inline constexpr TwoLanguageText kNotWav{"ファイル拡張子が 'WAV' ではありません",
                                         "File extent is not 'WAV'."};
inline constexpr TwoLanguageText kCannotCreate{"ファイルが作成できません",
                                               "Unable to create file."};
inline constexpr TwoLanguageText kCannotWrite{"ファイルが書けません", "Unable to write file."};
inline constexpr TwoLanguageText kCannotSeek{"シークできません", "Unable to seek."};
inline constexpr TwoLanguageText kCannotClose{"クローズできません", "Unable to close."};
// "<first> <volume> <second>  (free MB)\n\n<name>  (needed MB)"
inline constexpr TwoLanguageText kDiskSpaceFirst{"ディスク", "Insufficient disk space on disk"};
inline constexpr TwoLanguageText kDiskSpaceSecond{"の空き容量が足りません", ""};
// "<first> <volume> <second>\n\n<name>": the volume's free space cannot be read.
inline constexpr TwoLanguageText kFreeSpaceUnknownFirst{"ディスク",
                                                        "Unable to measure the free space on disk"};
inline constexpr TwoLanguageText kFreeSpaceUnknownSecond{"の空き容量を測れません", ""};

}  // namespace ov::recording_text
