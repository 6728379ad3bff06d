#include "app/wavefile/PositioningTexts.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ov {

namespace {

constexpr uint64_t kAmountMax = uint64_t(1) << 62;

// Digits with an optional sign and, for fractions, one decimal point; no
// exponent, no spaces inside (leading and trailing spaces are allowed).
bool IsDecimal(std::string_view s, bool fraction) {
  size_t i = 0, end = s.size();
  while (i < end && s[i] == ' ') ++i;
  while (end > i && s[end - 1] == ' ') --end;
  if (i < end && (s[i] == '-' || s[i] == '+')) ++i;
  bool digits = false, point = false;
  for (; i < end; ++i) {
    if (s[i] >= '0' && s[i] <= '9') {
      digits = true;
    } else if (fraction && s[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

}  // namespace

const char* const kMoveSampleItems[11] = {"1",    "5",    "10",   "50",   "100",  "500",
                                          "1000", "2048", "4096", "8192", "16384"};
const char* const kMoveSecondItems[6] = {"0.1", "0.5", "1", "5", "10", "60"};

std::string MarkerTimeText(uint64_t samples, uint32_t samplesPerSec) {
  uint64_t whole = 0, millis = 0;
  if (samplesPerSec) {
    whole = samples / samplesPerSec;
    millis = (samples % samplesPerSec) * 1000 / samplesPerSec;
  }
  char text[48];
  std::snprintf(
      text, sizeof text, "%02llum%02llus%03llu", static_cast<unsigned long long>(whole / 60),
      static_cast<unsigned long long>(whole % 60), static_cast<unsigned long long>(millis));
  return text;
}

std::optional<uint64_t> MoveAmount(std::string_view text, MoveUnit unit, uint32_t samplesPerSec,
                                   bool shift) {
  const bool seconds = unit == MoveUnit::Seconds;
  if (!IsDecimal(text, seconds)) return std::nullopt;
  const std::string s(text);
  double amount;
  if (seconds) {
    amount = std::floor(std::strtod(s.c_str(), nullptr) * samplesPerSec + 0.5);
  } else {
    errno = 0;
    const long long v = std::strtoll(s.c_str(), nullptr, 10);
    amount = errno == ERANGE ? (v < 0 ? -1.0 : double(kAmountMax)) : double(v);
  }
  if (shift) amount *= 10;
  if (!(amount > 0)) return uint64_t(0);
  if (amount >= double(kAmountMax)) return kAmountMax;
  return static_cast<uint64_t>(amount);
}

uint64_t MoveBackward(uint64_t position, uint64_t amount) {
  return amount >= position ? 0 : position - amount;
}

uint64_t MoveForward(uint64_t position, uint64_t amount) {
  return amount > UINT64_MAX - position ? UINT64_MAX : position + amount;
}

namespace positioning_text {
const TwoLanguageText kHeaderNo{"No", "No"};
const TwoLanguageText kHeaderLabel{"     ﾗﾍﾞﾙ", "     Label"};
const TwoLanguageText kHeaderSamples{"   ｻﾝﾌﾟﾙ", "   Samples"};
const TwoLanguageText kHeaderTime{"    時間", "    Time"};
const TwoLanguageText kBackwardHint{"戻す", "Backward"};
const TwoLanguageText kForwardHint{"進める", "Forward"};
const TwoLanguageText kTopHint{"先頭へ", "Move to Top"};
const TwoLanguageText kEndHint{"末尾へ", "Move to End"};
const TwoLanguageText kPlayFrameHint{"1フレーム再生する", "Play one frame"};
const TwoLanguageText kPlay100msHint{"100ms再生する", "Play 100ms"};
const TwoLanguageText kSampleLabel{"ｻﾝﾌﾟﾙ", "sampl"};
const TwoLanguageText kMoveGroup{"移動ステップ", "Move step"};
const TwoLanguageText kSampleRadio{"ｻﾝﾌﾟﾙ", "sampl"};
const TwoLanguageText kSecondRadio{"秒", "sec"};
const TwoLanguageText kMarkerGroup{"マーカー", "Marker"};
const TwoLanguageText kAdd{"追加", "Add"};
const TwoLanguageText kDelete{"削除", "Del."};
const TwoLanguageText kRename{"名前変更", "Rename"};
const TwoLanguageText kWrite{"書込", "Write"};
const TwoLanguageText kShowUtf8{"UTF_8で表示", "Disp. UTF_8"};
const TwoLanguageText kDeleteAllQuestion{"全てのマーカーを消去します。\nよろしいですか？",
                                         "All markers are deleted.\n Are you sure?"};
const TwoLanguageText kWriteQuestion{
    "マーカーを cueチャンク としてファイルに書き込みます。\n\n"
    "現在開かれているファイルが変更されますがよろしいですか？",
    "The markers are written to current file.\n\nAre you sure?"};
const TwoLanguageText kRenameTitle{"ﾗﾍﾞﾙ 名前変更", "Rename Label"};
const TwoLanguageText kLabelTooLong{"ﾗﾍﾞﾙが長すぎます。", "The label name is too long."};
const TwoLanguageText kWasapiLatency{
    "現在のWASAPIのレイテンシーの設定が大きすぎるため、この機能を使用するとエラーで終了したり"
    "音が止まらなくなる可能性があります。\nレイテンシーを30ms以下に設定してください。",
    "Because of the current setting of WASAPI Latency is too large, it may be finished by an "
    "error or the sound may not stop if you use this function.\nPlease set the Latency in less "
    "than 30ms."};
const TwoLanguageText kCurrentLatency{"現在のレイテンシー:", "Current Latency:"};
const TwoLanguageText kUnableToWrite{"ファイルが書けません", "Unable to write file."};
}  // namespace positioning_text

std::string WasapiLatencyNotice(Language language, int32_t latencyMs) {
  char text[512];
  std::snprintf(text, sizeof text, "%s\n\n [%s %dms]",
                positioning_text::kWasapiLatency.In(language),
                positioning_text::kCurrentLatency.In(language), static_cast<int>(latencyMs));
  return text;
}

std::string MarkerWriteFailureText(Language language, std::string_view reason) {
  return std::string(positioning_text::kUnableToWrite.In(language)) + "\n\n" + std::string(reason);
}

}  // namespace ov
