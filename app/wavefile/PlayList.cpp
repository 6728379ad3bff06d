#include "app/wavefile/PlayList.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace ov {

namespace playlist_text {
const TwoLanguageText kUnableToOpen{"ファイルを開くことが出来ません", "Unable to open file."};
const TwoLanguageText kUnsupported{"サポートされていないフォーマットです", "Unsupported format."};
const TwoLanguageText kNotValid{"このファイルは有効なPCMファイルではありません",
                                "This file is not valid PCM wave file."};
const TwoLanguageText kUnableToCreate{"ファイルが作成できません", "Unable to create file."};
const TwoLanguageText kUnableToWrite{"ファイルが書けません", "Unable to write file."};
const TwoLanguageText kBadExtension{"ファイル拡張子が 'WAV' 又は 'M3U' ではありません",
                                    "File extent is not 'WAV' or 'M3U'."};
const TwoLanguageText kUnableToRegister{"ファイルが登録できませんでした",
                                        "Unable to register file."};
const TwoLanguageText kLeftOut{"%d 個のファイルは登録できませんでした (最大 99 個)。",
                               "%d files were left out: the list holds 99."};
}  // namespace playlist_text

namespace {

constexpr uint32_t kPreviousWindowMs = 500;

// The file name without folder and extension.
std::string BaseTitle(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

}  // namespace

std::string PlayListTimeText(uint32_t seconds) {
  char t[32];
  std::snprintf(t, sizeof t, "%3um%02us", seconds / 60, seconds % 60);
  return t;
}

std::string PlayListTotalText(uint64_t seconds) {
  char t[40];
  std::snprintf(t, sizeof t, "%02llum%02llus", static_cast<unsigned long long>(seconds / 60),
                static_cast<unsigned long long>(seconds % 60));
  return t;
}

std::string PlayListFormatText(const WaveFormat& f, uint32_t floatWidth) {
  char t[48];
  std::snprintf(t, sizeof t, "%5u %s%u %u", f.samplesPerSec, floatWidth ? "F" : "", f.bitsPerSample,
                f.channels);
  return t;
}

uint32_t SilenceBytes(const WaveFormat& f, int seconds) {
  if (seconds <= 0 || f.blockAlign == 0) return 0;
  const uint64_t bytes = uint64_t(seconds) * f.samplesPerSec * f.blockAlign;
  if (bytes <= 0xFFFFFFFFull) return static_cast<uint32_t>(bytes);
  return 0xFFFFFFFFu / f.blockAlign * f.blockAlign;
}

AddResult PlayList::AddFile(const std::string& path, int silenceSeconds, std::string* message) {
  message->clear();
  WaveFormat format{};
  WaveFileInfo info;
  ReaderMessage reason;
  ParseOptions options;  // no chunk table: the header walk only
  options.opener = opener;
  const Language l = language;
  if (!ParseWaveFile(path.c_str(), &format, &info, &reason, options)) {
    *message =
        std::string(playlist_text::kUnableToOpen.In(l)) + "\n [" + reason.c_str() + "]\n\n" + path;
    return AddResult::Refused;
  }
  const uint16_t tag = format.formatTag;
  const bool knownTag =
      tag == kWaveFormatPcm || tag == kWaveFormatIeeeFloat || tag == kWaveFormatExtensible;
  // A rate or block align of 0 cannot be timed or played: unsupported too.
  if (!knownTag || format.blockAlign == 0 || format.samplesPerSec == 0) {
    *message = std::string(playlist_text::kUnsupported.In(l)) + "\n" + playlist_text::kNotPcmFile +
               "\n" + path;
    return AddResult::Refused;
  }
  if (!info.valid) {
    *message = std::string(playlist_text::kNotValid.In(l)) + "\n\n" + path;
    return AddResult::Refused;
  }
  if (count_ >= kCapacity) return AddResult::ListFull;
  if (path.size() >= kPlayItemNameBytes) {
    *message = std::string(playlist_text::kUnableToOpen.In(l)) + "\n\n" + path;
    return AddResult::Refused;
  }
  PlayListRow& row = rows_[count_++];
  row = PlayListRow{};
  std::memcpy(row.item.fileName, path.data(), path.size());
  row.item.format = format;
  row.item.floatWidth = info.floatWidth;
  row.item.dataSize = info.dataSize;
  row.silenceSeconds = silenceSeconds < 0 ? 0 : (silenceSeconds > 99 ? 99 : silenceSeconds);
  row.item.trailingSilence = SilenceBytes(format, row.silenceSeconds);
  const uint64_t frames = info.dataSize / format.blockAlign;
  row.durationSeconds =
      static_cast<uint32_t>((frames + format.samplesPerSec / 2) / format.samplesPerSec);
  row.title = pendingTitle_.empty() ? BaseTitle(path) : pendingTitle_;
  pendingTitle_.clear();
  selected_ = 1;
  return AddResult::Added;
}

const PlayItem* PlayList::ItemAt(int row) const {
  return row >= 1 && row <= count_ ? &rows_[row - 1].item : nullptr;
}

uint64_t PlayList::TotalSeconds() const {
  uint64_t total = 0;
  for (int i = 0; i < count_; ++i) total += rows_[i].durationSeconds + rows_[i].silenceSeconds;
  return total;
}

void PlayList::SelectRow(int row) {
  if (row >= 1 && row <= kCapacity) selected_ = row;
}

bool PlayList::MoveUp() {
  if (frozen_ || count_ < 2 || selected_ < 2 || selected_ > count_) return false;
  std::swap(rows_[selected_ - 1], rows_[selected_ - 2]);
  --selected_;
  return true;
}

bool PlayList::MoveDown() {
  if (frozen_ || count_ < 2 || selected_ < 1 || selected_ >= count_) return false;
  std::swap(rows_[selected_ - 1], rows_[selected_]);
  ++selected_;
  return true;
}

bool PlayList::Delete() {
  if (frozen_ || selected_ < 1 || selected_ > count_) return false;
  for (int i = selected_ - 1; i + 1 < count_; ++i) rows_[i] = std::move(rows_[i + 1]);
  rows_[--count_] = PlayListRow{};
  if (selected_ > count_) selected_ = count_ > 0 ? count_ : 1;
  return true;
}

bool PlayList::DeleteAll() {
  if (frozen_) return false;
  for (PlayListRow& r : rows_) r = PlayListRow{};
  count_ = 0;
  selected_ = 1;
  return true;
}

bool PlayList::SetSilence(int firstRow, int lastRow, int seconds) {
  if (frozen_ || seconds < 0 || seconds > 99) return false;
  bool any = false;
  for (int r = firstRow < 1 ? 1 : firstRow; r <= lastRow && r <= count_; ++r) {
    rows_[r - 1].silenceSeconds = seconds;
    rows_[r - 1].item.trailingSilence = SilenceBytes(rows_[r - 1].item.format, seconds);
    any = true;
  }
  return any;
}

bool PlayList::SetTitle(int row, std::string title) {
  if (frozen_ || row < 1 || row > count_) return false;
  rows_[row - 1].title = std::move(title);
  return true;
}

PlayList::PreviousAction PlayList::Previous(uint32_t nowMs) {
  if (previousArmed_ && nowMs - previousAtMs_ < kPreviousWindowMs) {
    previousArmed_ = false;
    return PreviousAction::PlayPrevious;
  }
  previousArmed_ = true;
  previousAtMs_ = nowMs;
  return PreviousAction::RestartCurrent;
}

int PlayList::WindStepSeconds(int repeat) {
  if (repeat > 65) return 120;
  if (repeat > 50) return 60;
  if (repeat > 35) return 30;
  if (repeat > 25) return 10;
  return 5;
}

}  // namespace ov
