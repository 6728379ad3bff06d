#include "app/display/AutoSetRun.h"

#include <cstdio>

namespace ov {
namespace {

// Each text as {Japanese, English}.
constexpr TwoLanguageText kSleepZero{"（表示周期のスリープ時間を一時的にゼロにしました。）",
                                     "(Sleep time has been set to zero temporarily.)"};
constexpr TwoLanguageText kSaveToFileOff{
    "（「ファイルに保存」チェックボックスを一時的にオフにしました。）",
    "('Save to file' CheckBox has been set to off temporarily.)"};
constexpr TwoLanguageText kRecordingDidNotStart{
    "（録音が開始されなかったため中止します。）",
    "(Recording did not start, so the check is aborted.)"};
constexpr TwoLanguageText kCheckingWave{"Wave の描画速度をチェックしています...",
                                        "Checking Wave drawing speed..."};
constexpr TwoLanguageText kCheckingSpectrum{"Spectrum の描画速度をチェックしています...",
                                            "Checking Spectrum drawing speed..."};
constexpr TwoLanguageText kCheckingWaveAgain{"Wave の描画速度を再度チェックしています...",
                                             "Checking Wave drawing speed again..."};
constexpr TwoLanguageText kMax{"   最高: %s --> %u fps", "   Max: %s --> %u fps"};
constexpr TwoLanguageText kMeasured{" %s\t --> %u fps", " %s\t --> %u fps"};
constexpr TwoLanguageText kSkippedLine{" %s\t --> %s", " %s\t --> %s"};
constexpr TwoLanguageText kSkipped{"スキップ", "Skipped"};
constexpr TwoLanguageText kSettingFailed{"\r\n--- 描画方法の設定に失敗しました。 ---",
                                         "\r\n--- Setting of draw type failed. ---"};
constexpr TwoLanguageText kAborted{"*中止しました!", "*Aborted!"};
constexpr TwoLanguageText kRestored{"\r\n（描画方法の設定を元に戻しました。）",
                                    "\r\n(The setting of the drawing method has been restored.)"};
constexpr TwoLanguageText kResultsSet{"\r\n次の結果を設定しました:", "\r\nThese results are set:"};
constexpr TwoLanguageText kResultLine{" Wave: %s\t Spectrum: %s", " Wave: %s\t Spectrum: %s"};
constexpr TwoLanguageText kSaveToFileRestored{
    "（「ファイルに保存」チェックボックスを元に戻しました。）",
    "('Save to file' CheckBox has been restored.)"};
constexpr TwoLanguageText kSleepRestored{"（スリープ時間を元に戻しました。）",
                                         "(Sleep time has been restored.)"};

const char* const kHeadingWave[] = {kCheckingWave.japanese, kCheckingWave.english};
const char* const kHeadingSpectrum[] = {kCheckingSpectrum.japanese, kCheckingSpectrum.english};
const char* const kHeadingWaveAgain[] = {kCheckingWaveAgain.japanese, kCheckingWaveAgain.english};

constexpr const char* kDrawTypeNames[kAutoSetDrawTypes] = {"Screen",  "Image 1", "Image 2",
                                                           "DDraw 1", "DDraw 2", "DDraw 3"};

template <typename... Args>
std::string Format(const char* pattern, Args... args) {
  char text[256];
  std::snprintf(text, sizeof text, pattern, args...);
  return text;
}

bool NoFlicker(const AutoSetConditions& c, int view) {
  return view == kAutoSetWaveView ? c.waveNoFlicker : c.spectrumNoFlicker;
}
bool CheckVBlank(const AutoSetConditions& c, int view) {
  return view == kAutoSetWaveView ? c.waveCheckVBlank : c.spectrumCheckVBlank;
}

}  // namespace

const char* DrawTypeName(int32_t type) {
  return type >= 0 && type < kAutoSetDrawTypes ? kDrawTypeNames[type] : "?";
}

int ChooseFastestDrawType(const std::array<uint32_t, kAutoSetDrawTypes>& rates) {
  int best = 0;
  for (int t = 1; t < kAutoSetDrawTypes; ++t) {
    if (rates[t] > rates[best]) best = t;
  }
  return best;
}

bool AutoSetRun::BeginRun() {
  if (busy_.exchange(true)) return false;
  abortRequested_ = false;
  stopFailed_ = false;
  spectrumTypeBeforeStart_ = host_.CurrentSettings().spectrumDrawType;
  host_.SetDrawType(kAutoSetSpectrumView, 0);  // the wave pass runs beside "Screen"
  return true;
}

void AutoSetRun::Add(const std::string& text) {
  host_.OnMainThread([&] { host_.AddMemoLine(text); });
}

void AutoSetRun::Work(const AutoSetConditions& conditions) {
  conditions_ = conditions;
  step_ = 0;
  bool prepared = false;
  host_.OnMainThread([&] { prepared = PrepareRun(conditions); });
  if (!prepared) abortRequested_ = true;
  if (!abortRequested_) {
    host_.Sleep(100);
    const bool done = Pass(kAutoSetWaveView, conditions, kHeadingWave) &&
                      Pass(kAutoSetSpectrumView, conditions, kHeadingSpectrum) &&
                      Pass(kAutoSetWaveView, conditions, kHeadingWaveAgain);
    if (!done) abortRequested_ = true;
  }
  host_.OnMainThread([&] { FinishRun(); });
  busy_ = false;
}

bool AutoSetRun::PrepareRun(const AutoSetConditions& c) {
  host_.ShowRunControls(true);
  host_.SetProgress(0);
  saved_ = host_.CurrentSettings();
  saved_.spectrumDrawType = spectrumTypeBeforeStart_;
  host_.SetVBlankCheck(kAutoSetWaveView, c.waveCheckVBlank);
  host_.SetVBlankCheck(kAutoSetSpectrumView, c.spectrumCheckVBlank);
  host_.SetDisplayPeriod(0, 0);
  host_.AddMemoLine(kSleepZero.In(language_));
  if (saved_.recToFile) {
    host_.SetRecToFile(false);
    host_.AddMemoLine(kSaveToFileOff.In(language_));
  }
  host_.AddMemoLine(" ");
  if (host_.RecButtonEnabled()) {
    host_.PressRecButton();
    const uint32_t start = host_.TickMs();
    while (!host_.DisplayActive()) {
      if (abortRequested_) return false;
      if (host_.TickMs() - start >= kAutoSetRecordStartTimeoutMs) {
        host_.AddMemoLine(kRecordingDidNotStart.In(language_));
        return false;
      }
      host_.ProcessMessages();
      host_.Sleep(50);
    }
  }
  return true;
}

bool AutoSetRun::Pass(int view, const AutoSetConditions& c, const char* const* heading) {
  Add(heading[static_cast<int>(language_)]);
  auto& rates = view == kAutoSetWaveView ? results_.wave : results_.spectrum;
  for (int32_t t = 0; t < kAutoSetDrawTypes; ++t) {
    if (!Measure(view, t, c, rates)) return false;
  }
  const int best = ChooseFastestDrawType(rates);
  (view == kAutoSetWaveView ? results_.bestWave : results_.bestSpectrum) = best;
  Add(Format(kMax.In(language_), DrawTypeName(best), rates[best]));
  return Switch(view, best);
}

bool AutoSetRun::Measure(int view, int32_t type, const AutoSetConditions& c,
                         std::array<uint32_t, kAutoSetDrawTypes>& rates) {
  // Types 0, 2 and 4 draw the trace straight onto the screen and may flicker.
  const bool flickers =
      (type == 0 || type == 2 || type == 4) && NoFlicker(c, view) && !CheckVBlank(c, view);
  bool directDraw = true;
  if (type >= 3) host_.OnMainThread([&] { directDraw = host_.DirectDrawAvailable(); });
  if (flickers || !directDraw) {
    rates[type] = 0;
    Add(Format(kSkippedLine.In(language_), DrawTypeName(type), kSkipped.In(language_)));
  } else {
    if (!Switch(view, type)) return false;
    uint32_t f1 = 0, f2 = 0, f3 = 0;
    if (!WaitAndRead(1800, f1) || !WaitAndRead(1000, f2) || !WaitAndRead(1000, f3)) return false;
    rates[type] = static_cast<uint32_t>((uint64_t{f1} + f2 + f3) / 3);
    Add(Format(kMeasured.In(language_), DrawTypeName(type), rates[type]));
  }
  ++step_;
  const int percent = step_ * 100 / kAutoSetSteps;
  host_.OnMainThread([&] { host_.SetProgress(percent); });
  return true;
}

bool AutoSetRun::WaitAndRead(uint32_t ms, uint32_t& fps) {
  host_.WaitWake(ms);
  if (abortRequested_) return false;
  fps = host_.FramesPerSecond();
  return true;
}

bool AutoSetRun::Switch(int view, int32_t type) {
  stopFailed_ = !host_.SetDisplayRunning(false);
  if (stopFailed_) return false;
  host_.OnMainThread([&] { host_.SetDrawType(view, type); });
  host_.Sleep(50);
  host_.SetDisplayRunning(true);
  return true;
}

void AutoSetRun::FinishRun() {
  if (host_.StopButtonEnabled()) {
    host_.PressStopButton();
    host_.ProcessMessages();
    host_.Sleep(100);
  }
  host_.ShowRunControls(false);
  if (abortRequested_) {
    if (stopFailed_) host_.AddMemoLine(kSettingFailed.In(language_));
    host_.AddMemoLine(kAborted.In(language_));
    host_.SetDrawType(kAutoSetWaveView, saved_.waveDrawType);
    host_.SetDrawType(kAutoSetSpectrumView, saved_.spectrumDrawType);
    host_.SetVBlankCheck(kAutoSetWaveView, saved_.waveCheckVBlank);
    host_.SetVBlankCheck(kAutoSetSpectrumView, saved_.spectrumCheckVBlank);
    host_.AddMemoLine(kRestored.In(language_));
  } else {
    host_.AddMemoLine(kResultsSet.In(language_));
    host_.AddMemoLine(Format(kResultLine.In(language_), DrawTypeName(results_.bestWave),
                             DrawTypeName(results_.bestSpectrum)));
    AutoSetSettings chosen = saved_;
    chosen.waveDrawType = results_.bestWave;
    chosen.spectrumDrawType = results_.bestSpectrum;
    chosen.waveCheckVBlank = conditions_.waveCheckVBlank;
    chosen.spectrumCheckVBlank = conditions_.spectrumCheckVBlank;
    host_.KeepInSetupSnapshot(chosen);
  }
  host_.SetDisplayPeriod(saved_.useTimer, saved_.dispThreadSleepPeriod);
  host_.AddMemoLine(" ");
  if (saved_.recToFile) {
    host_.SetRecToFile(true);
    host_.AddMemoLine(kSaveToFileRestored.In(language_));
  }
  host_.AddMemoLine(kSleepRestored.In(language_));
}

std::string AutoSetOpeningText(bool firstUse, bool recordingPossible, Language language) {
  static constexpr TwoLanguageText kFirstUsePossible{
      "[メッセージ]\r\n初回起動のため、スタートボタンをクリックして描画方法を設定してください。",
      "[Message]\r\nBecause of first run, please click start button and set the drawing type."};
  static constexpr TwoLanguageText kFirstUseImpossible{
      "初回起動のため、描画方法を設定してください。\r\nしかし現在の設定では録音できません。\r\n\r\n"
      "設定を変更してから再度実行してください。 (セットアップダイアログ -- Play/Rec タブ、Wave "
      "または Spectrum タブ)",
      "Because of first run, please set the drawing type.\r\nBut unable to record with current "
      "settings.\r\n\r\nPlease change the settings and run this again. (Setup dialog box -- "
      "Play/Rec tab, Wave or Spectrum tab)"};
  static constexpr TwoLanguageText kSetupPossible{
      "[注意]\r\n 描画速度のチェック中は表示周期のスリープ時間を一時的にゼロにし、録音を行い"
      "ます。\r\n現在の設定で録音できますが、必要ならスタート前にデバイスとフォーマットを変更"
      "してください。\r\n\r\n",
      "[Note]\r\n While check drawing speed, sleep time for display period is set to zero "
      "temporarily and recording is performed.\r\nRecording is available with current settings, "
      "but please change device and format before start if necessary.\r\n\r\n"};
  static constexpr TwoLanguageText kSetupImpossible{
      "現在の設定では録音できません。\r\n設定を変更してください。\r\n\r\n",
      "Unable to record with current settings.\r\nPlease change settings.\r\n\r\n"};
  static constexpr TwoLanguageText kRecommended{
      "[推奨設定] (初期設定)\r\n ドライバ:   MME\r\n デバイス:   適当なもの\r\n フォーマット:   "
      "48000s/s  16bit  stereo\r\n\r\nFFT のサンプル数は 4096 を推奨します。",
      "[Recommended settings] (initial settings)\r\n Driver:   MME\r\n Device:   suitable\r\n "
      "Format:   48000s/s  16bit  stereo\r\n\r\nAlso recommended sample number of FFT is 4096."};
  static constexpr const char kJapaneseChangeNote[] =
      "\r\n今の設定を変更する場合は一旦閉じて設定後に再実行してください。";
  if (firstUse) {
    return recordingPossible ? kFirstUsePossible.In(language) : kFirstUseImpossible.In(language);
  }
  std::string text =
      recordingPossible ? kSetupPossible.In(language) : kSetupImpossible.In(language);
  text += kRecommended.In(language);
  if (recordingPossible && language == Language::Japanese) text += kJapaneseChangeNote;
  return text;
}

}  // namespace ov
