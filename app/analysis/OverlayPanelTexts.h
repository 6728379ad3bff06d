// Captions and hints of the overlay controls on the measure panel.
#pragma once

#include "app/common/UserNotifier.h"

namespace ov::overlay_panel_text {

// Index 0 overlay 1, 1 overlay 2.
constexpr const wchar_t* kShowCaption[2] = {L"OVL1", L"OVL2"};
constexpr const wchar_t kLoadCaption[] = L"L";
constexpr const wchar_t kSaveCaption[] = L"S";

constexpr TwoLanguageText kShowHint[2] = {{"ｵｰﾊﾞｰﾚｲ1表示 On/Off", "Overlay1 On/Off"},
                                          {"ｵｰﾊﾞｰﾚｲ2表示 On/Off", "Overlay2 On/Off"}};
constexpr TwoLanguageText kCaptureHint[2] = {{"ｵｰﾊﾞｰﾚｲ1 ｷｬﾌﾟﾁｬ", "Capture Overlay1"},
                                             {"ｵｰﾊﾞｰﾚｲ2 ｷｬﾌﾟﾁｬ", "Capture Overlay2"}};
constexpr TwoLanguageText kCommentHint[2] = {{"ｵｰﾊﾞｰﾚｲ1 ｺﾒﾝﾄ", "Overlay1 comment"},
                                             {"ｵｰﾊﾞｰﾚｲ2 ｺﾒﾝﾄ", "Overlay2 comment"}};
constexpr TwoLanguageText kLoadHint[2] = {{"ｵｰﾊﾞｰﾚｲ1 読込み", "Load Overlay1"},
                                          {"ｵｰﾊﾞｰﾚｲ2 読込み", "Load Overlay2"}};
constexpr TwoLanguageText kSaveHint[2] = {{"ｵｰﾊﾞｰﾚｲ1 保存", "Save Overlay1"},
                                          {"ｵｰﾊﾞｰﾚｲ2 保存", "Save Overlay2"}};

}  // namespace ov::overlay_panel_text
