// The level meter's numbers: per channel the current peak, the RMS averaged
// over the last four updates, the held peak with its age, and in margin mode the
// highest peak since the last reset; and the text each bar shows. The window
// only draws what this holds.
//
// Units: tenths of a dB, 0 = full scale. Main thread only (Timer2 and the
// paused single-frame path).
#pragma once

#include <array>
#include <cstdint>

namespace ov {

constexpr int kMeterMaxChannels = 8;
constexpr int32_t kMeterRange = 600;   // the scale covers 60.0 dB
constexpr int32_t kMeterFloor = -960;  // levels after a reset: -96.0 dB
constexpr int32_t kMeterMarginFloor = -1000;
constexpr int kMeterHoldUpdates = 50;  // about 1.5 s at 30 ms per update
constexpr int kMeterRmsHistory = 4;

struct MeterChannel {
  int32_t peak = kMeterFloor;
  int32_t rms = kMeterFloor;
  std::array<int32_t, kMeterRmsHistory> rmsHistory{kMeterFloor, kMeterFloor, kMeterFloor,
                                                   kMeterFloor};
  int32_t rmsAverage = kMeterFloor;
  int32_t hold = kMeterFloor;
  int holdAge = kMeterHoldUpdates;  // the first update takes the current peak as hold
  int32_t margin = kMeterMarginFloor;
  int32_t shownValue = 0;
  char text[8] = " ---";
  bool textDirty = true;
};

// Where a bar's parts end, in pixels from its base along a bar of `length`.
struct MeterBarExtent {
  int32_t rms = 0;   // 0: no RMS part
  int32_t peak = 0;  // at least rms
  int32_t hold = 0;  // 0: no hold mark
};

class LevelMeterModel {
 public:
  // Every channel back to the values after a reset; the texts are kept but
  // marked for redrawing.
  void Reset();
  // Every channel's margin back to its floor (the Reset button in margin mode).
  void ResetMargins();
  // One update with the levels of `count` channels (peaks above 0 count as 0).
  void Update(const int32_t* peaks, const int32_t* rms, int count, bool marginMode);

  const MeterChannel& Channel(int i) const { return channels_[i]; }
  void MarkDrawn(int i) { channels_[i].textDirty = false; }
  MeterBarExtent Extent(int i, int32_t length) const;

 private:
  std::array<MeterChannel, kMeterMaxChannels> channels_{};
  int ring_ = kMeterRmsHistory - 1;  // the first update writes slot 0
};

// The margin text of a peak: " --" at -90 dB or below, " 4.5" within 10 dB,
// else " 12" (whole dB).
void MeterMarginText(int32_t peak, char (&text)[8]);
// The held-peak text: "---" below -89.9 dB, "-12" below -9.9 dB, "-4.5" above,
// " 0.0" at full scale.
void MeterHoldText(int32_t hold, char (&text)[8]);

}  // namespace ov
