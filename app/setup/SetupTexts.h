// The setup dialog's texts, each as {Japanese, English}: the caption, the
// warnings on the pages, the messages and their box captions.
#pragma once

#include <cstdint>

#include "app/common/UserNotifier.h"

namespace ov::setup_text {

// The application title: the caption of the information boxes.
constexpr const char kAppTitle[] = "Orlavisonic";
constexpr TwoLanguageText kCaption{"Orlavisonic - 設定", "Orlavisonic - Setup"};
constexpr TwoLanguageText kApply{"適用(&A)", "&Apply"};
constexpr TwoLanguageText kCancel{"キャンセル(&C)", "&Cancel"};
constexpr TwoLanguageText kHelp{"ヘルプ", "Help"};
constexpr TwoLanguageText kPageNames[5] = {{"Wave", "Wave"},
                                           {"Spectrum", "Spectrum"},
                                           {"FFT", "FFT"},
                                           {"再生/録音", "Play/Rec"},
                                           {"その他", "Misc"}};

// Warnings shown on the pages.
constexpr TwoLanguageText kUnableWhilePlaying{"再生中は変更できません。",
                                              "Unable to change while playing."};
constexpr TwoLanguageText kUnableWhileRecording{"録音中は変更できません。",
                                                "Unable to change while recording."};
constexpr TwoLanguageText kUnableFftRunning{"FFT 実行中は変更できません。",
                                            "Unable to change when FFT running."};
constexpr TwoLanguageText kUnableMeasureMode{"測定モードでは変更できません。",
                                             "Unable to change in Meas. mode."};

// Messages and their captions.
constexpr TwoLanguageText kUnableToLoadDriver{"選択したドライバをロードできません。",
                                              "Unable to load selected driver."};
constexpr TwoLanguageText kCapDriver{"Setup - Play/Rec - Driver", "Setup - Play/Rec - Driver"};
constexpr TwoLanguageText kUnableControlPanel{"コントロールパネルを開けません",
                                              "Unable to open Control Panel"};
constexpr TwoLanguageText kCapControlPanel{"Setup - Play/Rec - Control Panel",
                                           "Setup - Play/Rec - Control Panel"};
constexpr TwoLanguageText kDirectMonitorUnsupported{"ASIO ダイレクトモニタはサポートされていません",
                                                    "ASIO Direct Monitor is not supported"};
constexpr TwoLanguageText kCapDirectMonitor{"Setup - Play/Rec - Direct Monitor",
                                            "Setup - Play/Rec - Direct Monitor"};
constexpr TwoLanguageText kIllegalFreqRange{"周波数範囲の値が不正です",
                                            "Illegal value for frequency range"};
constexpr TwoLanguageText kCapFreqApply{"Setup - Spectrum - Frequency - Apply",
                                        "Setup - Spectrum - Frequency - Apply"};
constexpr TwoLanguageText kUnableRestoreRunning{"再生中または録音中は元に戻せません。",
                                                "Unable to restore when Playing or Recording."};
constexpr TwoLanguageText kCapRestoreDevice{"Setup - Play/Rec - Device",
                                            "Setup - Play/Rec - Device"};
constexpr TwoLanguageText kCapRestoreDispPeriod{"Setup - Disp.Period", "Setup - Disp.Period"};
constexpr TwoLanguageText kUnableRestoreFft{"FFT 実行中は元に戻せません。",
                                            "Unable to restore when FFT running."};
constexpr TwoLanguageText kCapRestoreFft{"Setup - FFT - Sample points",
                                         "Setup - FFT - Sample points"};
constexpr TwoLanguageText kAsioTabRefused{
    "ASIO ドライバ使用中は 再生/録音 タブを選択できません。\n\n停止後に再度選択してください。\n\n"
    "   (初回のみ)",
    "Unable to select Play/Rec tab while using ASIO driver.\n\nPlease retry after stop.\n\n"
    "   (1'st time only)"};
constexpr TwoLanguageText kCapPlayRec{"Setup - Play/Rec", "Setup - Play/Rec"};
constexpr TwoLanguageText kUnableToRun{"プログラムを起動できません: ", "Unable to start: "};
constexpr TwoLanguageText kSettingsNotSaved{"設定ファイルを保存できません。",
                                            "Unable to save the settings file."};
constexpr TwoLanguageText kWait{"Wait..", "Wait.."};
constexpr TwoLanguageText kError{"Error", "Error"};

// Programs and the vendor page the buttons start.
constexpr const char kPlaybackPanel[] = "rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,@0,0";
constexpr const char kRecordPanel[] = "rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,@0,1";
constexpr const char kOldVolumeControl[] = "SNDVOL32.EXE";
constexpr const char kVolumeControl[] = "SNDVOL.EXE";
constexpr const char kAsioVendorPage[] = "https://www.steinberg.net/developers/";

// Help context ids of OV.chm, one per page (Wave .. Misc).
constexpr uint32_t kHelpTopics[5] = {30, 31, 32, 33, 34};

}  // namespace ov::setup_text
