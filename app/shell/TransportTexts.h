// The transport's user texts, each as a Japanese and an English twin.
#pragma once

#include "app/common/UserNotifier.h"

namespace ov {

inline constexpr TwoLanguageText kOpenTitle = {"Waveﾌｧｲﾙを開く", "Open Wave file."};
inline constexpr TwoLanguageText kAllFiles = {"すべてのﾌｧｲﾙ", "All files"};
inline constexpr TwoLanguageText kSaveTitle = {"Waveﾌｧｲﾙの保存", "Save Wave file."};
inline constexpr TwoLanguageText kCannotOpen = {"ﾌｧｲﾙを開けません", "Unable to open file."};
inline constexpr TwoLanguageText kCannotPlay = {"再生できません", "Unable to play."};
inline constexpr TwoLanguageText kCannotRecord = {"録音できません", "Unable to record."};
inline constexpr TwoLanguageText kDeviceInUse = {
    "デバイスが使用中のため初期化できません。",
    "Unable to initialize because the Device is already in use."};
inline constexpr TwoLanguageText kFormatOrBuffer = {
    "サポートされていないフォーマットまたはバッファサイズのため初期化できません。",
    "Unable to initialize because of unsupported format or buffer size."};
inline constexpr TwoLanguageText kTryBuffer = {
    "\nフォーマットがサポートされている場合はバッファサイズを変更してください。",
    "\nIf format is supported, try to change buffer size."};
inline constexpr TwoLanguageText kFewerPoints = {"FFTサンプル点数を減らしてください。",
                                                 "Please decrease FFT sample points."};
inline constexpr TwoLanguageText kUnsupported = {
    "再生できません  [サポートされていないフォーマット]", "Unable to play.  [Unsupported format]"};
inline constexpr TwoLanguageText kNoOutput = {"再生できません  [Wave出力デバイスがありません]",
                                              "Unable to play.  [No Wave Output device]"};
inline constexpr TwoLanguageText kAnalyzeNow = {
    "\n\n解析モード(精密位置決めモード)で動作します。",
    "\n\nOperate on Analyze Mode (Precise Positioning Mode)."};
inline constexpr TwoLanguageText kShiftHint = {
    "\n\n*Shiftキーを押しながら再生ボタンを押すと、解析モード(精密位置決めモード)が使えます。",
    "\n\n*If you press Play button /w Shift key, Analyze Mode (Precise Positioning Mode) is "
    "available."};

}  // namespace ov
