// The texts of the device format list window, each as {Japanese, English}.
#pragma once

#include "app/common/UserNotifier.h"

namespace ov::format_list_text {

constexpr TwoLanguageText kPlayback{"再生", "Playback "};
constexpr TwoLanguageText kRecord{"録音", "Record "};
constexpr TwoLanguageText kDeviceFormatList{"デバイスのフォーマット一覧", "device Format list"};
constexpr TwoLanguageText kComment{"数字: 対応ch数   *: 本来のビット長   -: 非対応",
                                   "Num: Supported ch   *: Original bits   -:NA"};
constexpr TwoLanguageText kClose{"閉じる(&C)", "&Close"};
constexpr TwoLanguageText kStop{"停止(&S)", "&Stop"};

}  // namespace ov::format_list_text
