// Test doubles and signal builders shared by the analysis tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/analysis/FrameAnalysis.h"
#include "app/common/SampleBlockSource.h"
#include "app/common/UserNotifier.h"
#include "app/common/WaveFormat.h"

namespace ov::test {

constexpr double kPi = 3.14159265358979323846;

// An engine that hands out one fixed block and records what was asked.
class FakeBlockSource : public SampleBlockSource {
 public:
  int32_t playState = kPlayStopped;
  int32_t recState = kRecStopped;
  std::vector<uint8_t> block;  // copied from its start, silence (0) beyond
  int playCopies = 0;
  int recCopies = 0;
  int ringStartCopies = 0;
  size_t lastByteCount = 0;
  int32_t playPlanMinSamples = -1;
  int32_t recPlanMinSamples = -1;

  int32_t PlayState() const override { return playState; }
  int32_t RecState() const override { return recState; }
  void CopyNewestPlayBlock(uint8_t* destination, size_t byteCount, bool fromRingStart) override {
    ++playCopies;
    if (fromRingStart) ++ringStartCopies;
    Copy(destination, byteCount);
  }
  void CopyNewestRecBlock(uint8_t* destination, size_t byteCount) override {
    ++recCopies;
    Copy(destination, byteCount);
  }
  bool SetPlayBufferPlan(int32_t, int32_t, int32_t minSamples) override {
    playPlanMinSamples = minSamples;
    return true;
  }
  bool SetRecBufferPlan(int32_t, int32_t, int32_t minSamples) override {
    recPlanMinSamples = minSamples;
    return true;
  }

 private:
  void Copy(uint8_t* destination, size_t byteCount) {
    lastByteCount = byteCount;
    const size_t n = byteCount < block.size() ? byteCount : block.size();
    if (n) std::memcpy(destination, block.data(), n);
    if (byteCount > n) std::memset(destination + n, 0, byteCount - n);
  }
};

class RecordingNotifier : public UserNotifier {
 public:
  std::vector<std::string> texts;
  std::vector<NoticeIcon> icons;
  NoticeAnswer Notify(std::string_view text, NoticeIcon icon) override {
    texts.emplace_back(text);
    icons.push_back(icon);
    return NoticeAnswer::Ok;
  }
};

class HeldModifierKeys : public ModifierKeys {
 public:
  bool held = false;
  bool ShiftCtrlAltDown() const override { return held; }
};

inline WaveFormat PcmFormat(uint16_t channels, uint32_t rate, uint16_t bits) {
  WaveFormat f{};
  f.formatTag = kWaveFormatPcm;
  f.channels = channels;
  f.samplesPerSec = rate;
  f.blockAlign = static_cast<uint16_t>(channels * ((bits + 7) / 8));
  f.avgBytesPerSec = rate * f.blockAlign;
  f.bitsPerSample = bits;
  return f;
}

inline WaveFormat FloatFormat(uint16_t channels, uint32_t rate) {
  WaveFormat f = PcmFormat(channels, rate, 32);
  f.formatTag = kWaveFormatIeeeFloat;
  return f;
}

// One partial of a test tone: amplitude in 16-bit units, frequency in Hz.
struct Partial {
  double amplitude;
  double hz;
};

// Interleaved frames of a tone (the same on every channel), or silence on
// channels other than toneChannel when toneChannel >= 0.
inline std::vector<uint8_t> ToneFrames(const WaveFormat& f, int frames,
                                       const std::vector<Partial>& partials, int toneChannel = -1) {
  const int bytes = f.bitsPerSample / 8;
  std::vector<uint8_t> out(static_cast<size_t>(frames) * f.blockAlign, 0);
  for (int i = 0; i < frames; ++i) {
    double v = 0;  // 16-bit units
    for (const Partial& p : partials)
      v += p.amplitude * std::sin(2 * kPi * p.hz * i / f.samplesPerSec);
    for (int c = 0; c < f.channels; ++c) {
      const double s = (toneChannel < 0 || c == toneChannel) ? v : 0.0;
      uint8_t* p = out.data() + static_cast<size_t>(i) * f.blockAlign + c * bytes;
      if (FloatWidth(f) == 32) {
        const float x = static_cast<float>(s / 32768.0);
        std::memcpy(p, &x, 4);
      } else if (bytes == 1) {
        p[0] = static_cast<uint8_t>(std::lround(s / 256.0) + 128);
      } else {
        // Left-justified integer rounded to the container.
        const int64_t full = std::llround(s * 65536.0) >> (32 - 8 * bytes);
        for (int b = 0; b < bytes; ++b) p[b] = static_cast<uint8_t>(full >> (8 * b));
      }
    }
  }
  return out;
}

// Frequency of bin k at rate and analysis size n.
inline double BinHz(int k, uint32_t rate, int n) {
  return static_cast<double>(k) * rate / n;
}

}  // namespace ov::test
