#include "app/display/LevelMeterModel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace ov {
namespace {

// The texts are at most four characters; the wider scratch keeps the
// compiler's worst case for %d inside it.
template <typename... Args>
void SetText(char (&text)[8], const char* pattern, Args... args) {
  char scratch[32];
  std::snprintf(scratch, sizeof scratch, pattern, args...);
  std::memcpy(text, scratch, sizeof text - 1);
  text[sizeof text - 1] = '\0';
}
void SetText(char (&text)[8], const char* fixed) {
  SetText(text, "%s", fixed);
}

}  // namespace

void MeterMarginText(int32_t peak, char (&text)[8]) {
  const int32_t down = -std::clamp(peak, -9999, 0);
  if (down >= 900) {
    SetText(text, " --");
  } else if (down < 100) {
    SetText(text, " %d.%d", static_cast<int>(down / 10), static_cast<int>(down % 10));
  } else {
    SetText(text, " %d", static_cast<int>(down / 10));
  }
}

void MeterHoldText(int32_t hold, char (&text)[8]) {
  hold = std::clamp(hold, -9999, 0);
  if (hold < -899) {
    SetText(text, "---");
  } else if (hold < -99) {
    SetText(text, "-%d", static_cast<int>(-hold / 10));
  } else if (hold < 0) {
    SetText(text, "-%d.%d", static_cast<int>(-hold / 10), static_cast<int>(-hold % 10));
  } else {
    SetText(text, " 0.0");
  }
}

void LevelMeterModel::Reset() {
  for (auto& c : channels_) {
    char text[8];
    std::memcpy(text, c.text, sizeof text);
    c = MeterChannel{};
    std::memcpy(c.text, text, sizeof text);
    c.textDirty = true;
  }
  ring_ = kMeterRmsHistory - 1;
}

void LevelMeterModel::ResetMargins() {
  for (auto& c : channels_) c.margin = kMeterMarginFloor;
}

void LevelMeterModel::Update(const int32_t* peaks, const int32_t* rms, int count, bool marginMode) {
  ring_ = (ring_ + 1) % kMeterRmsHistory;
  count = std::clamp(count, 0, kMeterMaxChannels);
  for (int i = 0; i < count; ++i) {
    MeterChannel& c = channels_[i];
    c.peak = std::min(peaks[i], 0);
    c.rms = rms[i];
    // The age grows past the limit after a reset, so the first update takes
    // the current peak.
    if (++c.holdAge >= kMeterHoldUpdates) {
      c.holdAge = 0;
      c.hold = c.peak;
    }
    c.rmsHistory[ring_] = c.rms;
    int64_t sum = 0;
    for (int32_t v : c.rmsHistory) sum += v;
    c.rmsAverage = static_cast<int32_t>(sum / kMeterRmsHistory);
    if (c.hold < c.peak) {
      c.hold = c.peak;
      c.holdAge = 0;
    }
    char text[8];
    std::memcpy(text, c.text, sizeof text);
    if (marginMode) {
      if (c.peak > c.margin) {
        c.margin = c.peak;
        MeterMarginText(c.peak, text);
      }
    } else if (c.holdAge == 0 && c.hold != c.shownValue) {
      MeterHoldText(c.hold, text);
      c.shownValue = c.hold;
    }
    if (std::strcmp(text, c.text) != 0) {
      std::memcpy(c.text, text, sizeof text);
      c.textDirty = true;
    }
  }
}

MeterBarExtent LevelMeterModel::Extent(int i, int32_t length) const {
  const MeterChannel& c = channels_[i];
  // Levels above 0 dB draw as 0 dB; at or below -60 dB the bar stays empty.
  auto along = [length](int32_t level) {
    const int64_t v = std::clamp<int64_t>(int64_t{level} + kMeterRange, 0, kMeterRange);
    return static_cast<int32_t>(v * std::max(length, 0) / kMeterRange);
  };
  MeterBarExtent e;
  e.rms = along(c.rmsAverage);
  e.peak = std::max(along(c.peak), e.rms);
  e.hold = along(c.hold);
  return e;
}

}  // namespace ov
