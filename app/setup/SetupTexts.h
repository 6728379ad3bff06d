// The setup dialog's texts, each as {Japanese, English}: the caption, the
// warnings on the pages, the messages and their box captions.
#pragma once

#include <cstdint>

#include "app/common/UserNotifier.h"
#include "app/resources/ResourceIds.h"

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

// The labels of the pages' controls, by control id (app/resources/SetupDlgIds.h).
struct ControlText {
  int id;
  TwoLanguageText text;
};
constexpr ControlText kControlTexts[] = {
    {IDC_SETUP_WAVE_LABEL1, {"表示タイプ", "Display type"}},
    {IDC_SETUP_WAVE_NORMAL, {"通常", "Normal"}},
    {IDC_SETUP_WAVE_LISSAJOUS, {"リサージュ (X-Y)", "Lissajous (X-Y)"}},
    {IDC_SETUP_LISSAJOUS_WINDOW, {"別ウィンドウ", "Separate window"}},
    {IDC_SETUP_LISSAJOUS_BEZIER, {"ベジェ曲線で描画", "Draw with Bezier"}},
    {IDC_SETUP_LISSAJOUS_CENTER, {"中央に表示", "Center"}},
    {IDC_SETUP_WAVE_LABEL2, {"Y 倍率", "Y mag."}},
    {IDC_SETUP_WAVE_LABEL3, {"X 倍率", "X mag."}},
    {IDC_SETUP_WAVE_HEX, {"値を16進で表示", "Values in hex"}},
    {IDC_SETUP_WAVE_RMS_SINE, {"RMS 0dB = フルスケール正弦波", "RMS 0dB = full-scale sine"}},
    {IDC_SETUP_WAVE_LABEL4, {"描画方法", "Drawing method"}},
    {IDC_SETUP_WAVE_AUTO_SET, {"自動設定", "Auto set"}},
    {IDC_SETUP_WAVE_LABEL5, {"レベルメータ", "Level meter"}},
    {IDC_SETUP_MARGIN_MODE, {"マージンモード", "Margin mode"}},
    {IDC_SETUP_WAVE_LABEL6, {"Wave ファイル情報", "Wave file information"}},
    {IDC_SETUP_WAVE_INFO_SHOW, {"表示", "Show"}},
    {IDC_SETUP_SPEC_LABEL1, {"表示タイプ", "Display type"}},
    {IDC_SETUP_SPEC_NORMAL, {"通常", "Normal"}},
    {IDC_SETUP_SPEC_SPECTROGRAM, {"スペクトログラム", "Spectrogram"}},
    {IDC_SETUP_SPEC_LABEL2, {"傾き", "Slope"}},
    {IDC_SETUP_SPEC_LABEL3, {"本数", "Lines"}},
    {IDC_SETUP_PEAK_ONLY, {"ピークのみ", "Peak only"}},
    {IDC_SETUP_SPEC_LOG, {"dB 振幅", "dB amplitude"}},
    {IDC_SETUP_SPEC_LABEL4, {"倍率", "Mag."}},
    {IDC_SETUP_SPEC_LABEL5, {"範囲", "Range"}},
    {IDC_SETUP_SPEC_LABEL6, {"シフト", "Shift"}},
    {IDC_SETUP_SPEC_LABEL7, {"補間", "Interp."}},
    {IDC_SETUP_FREQ_LOG, {"対数周波数", "Log frequency"}},
    {IDC_SETUP_SPEC_LABEL8, {"周波数範囲", "Frequency range"}},
    {IDC_SETUP_FREQ_RANGE, {"範囲", "Range"}},
    {IDC_SETUP_FREQ_APPLY, {"適用", "Apply"}},
    {IDC_SETUP_COMMENT, {"コメント行", "Comment line"}},
    {IDC_SETUP_COMMENT_EDIT, {"編集", "Edit"}},
    {IDC_SETUP_SPEC_AUTO_SET, {"自動設定", "Auto set"}},
    {IDC_SETUP_FFT_LABEL1, {"サンプル点数", "Sample points"}},
    {IDC_SETUP_FFT_LABEL2, {"窓関数", "Window function"}},
    {IDC_SETUP_WINFUNC_LAST, {"なし (矩形)", "None (Rect.)"}},
    {IDC_SETUP_PR_LABEL1, {"ドライバ", "Driver"}},
    {IDC_SETUP_PR_LABEL2, {"再生", "Play"}},
    {IDC_SETUP_PR_LABEL3, {"録音", "Rec"}},
    {IDC_SETUP_PLAY_FORMATS, {"フォーマット", "Formats"}},
    {IDC_SETUP_REC_FORMATS, {"フォーマット", "Formats"}},
    {IDC_SETUP_PLAY_INFO, {"情報", "Info."}},
    {IDC_SETUP_REC_INFO, {"情報", "Info."}},
    {IDC_SETUP_PLAY_PANEL, {"パネル", "Panel"}},
    {IDC_SETUP_REC_PANEL, {"パネル", "Panel"}},
    {IDC_SETUP_DIRECT_MONITOR, {"ダイレクトモニタ", "Direct monitor"}},
    {IDC_SETUP_FULL_VOL, {"最大音量", "Full volume"}},
    {IDC_SETUP_MONO_STEREO, {"モノラルをステレオで", "Mono as stereo"}},
    {IDC_SETUP_AUTO_ANALYZE, {"自動で解析モード", "Auto analyze mode"}},
    {IDC_SETUP_WAS_EVENT, {"WASAPI イベントモード", "WASAPI event mode"}},
    {IDC_SETUP_PR_LABEL4, {"遅延 (ms)", "Latency (ms)"}},
    {IDC_SETUP_PR_LABEL5, {"録音フォーマット", "Record format"}},
    {IDC_SETUP_REC_MONITOR, {"モニタ", "Monitor"}},
    {IDC_SETUP_REC_TO_FILE, {"ファイルに録音", "Record to file"}},
    {IDC_SETUP_UPDATE_HEADER, {"ヘッダ更新", "Update header"}},
    {IDC_SETUP_VOLUME_CTRL, {"音量調節", "Volume Ctrl."}},
    {IDC_SETUP_MISC_LABEL1, {"画面コピー", "Screen copy"}},
    {IDC_SETUP_CAPTURE_CURSOR, {"カーソル", "Cursor"}},
    {IDC_SETUP_MISC_LABEL2, {"カラーセット", "Colour set"}},
    {IDC_SETUP_MISC_LABEL3, {"メインウィンドウに追従", "Follow the main window"}},
    {IDC_SETUP_FOLLOW_LISSAJOUS, {"リサージュ", "Lissajous"}},
    {IDC_SETUP_FOLLOW_METER, {"レベルメータ", "Level meter"}},
    {IDC_SETUP_FOLLOW_POSITIONING, {"位置決め", "Positioning"}},
    {IDC_SETUP_FOLLOW_PLAY_LIST, {"プレイリスト", "Play list"}},
    {IDC_SETUP_FOLLOW_WAVE_INFO, {"Wave 情報", "Wave information"}},
    {IDC_SETUP_FOLLOW_SETUP, {"設定", "Setup"}},
    {IDC_SETUP_RESIZE_TRACK_BAR, {"トラックバーを伸縮", "Resize track bar"}},
    {IDC_SETUP_AUTO_PLAY, {"自動再生", "Auto play"}},
    {IDC_SETUP_MISC_LABEL4, {"2番目との同期", "2nd instance sync"}},
    {IDC_SETUP_SYNC_PLAY_POS, {"位置の同期", "Position sync"}},
    {IDC_SETUP_MISC_LABEL5, {"タイマー分解能", "Timer resolution"}},
    {IDC_SETUP_TIMER_CHECK, {"確認", "Check"}},
    {IDC_SETUP_MISC_LABEL6, {"表示周期", "Display period"}},
};

}  // namespace ov::setup_text
