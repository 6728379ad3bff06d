#include "app/analysis/SampleConversion.h"

#include <cmath>
#include <cstring>

namespace ov {

void FloatSamplesToInt32InPlace(uint8_t* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    float v;
    std::memcpy(&v, bytes + 4 * i, 4);
    const double w = static_cast<double>(v) * 2147483648.0;
    int32_t out;
    if (w >= 2147483647.0) {
      out = 2147483647;
    } else if (w <= -2147483648.0) {
      out = INT32_MIN;
    } else if (w == w) {
      out = static_cast<int32_t>(w);  // truncates toward zero
    } else {
      out = 0;  // NaN: a broken float file must not become undefined behaviour
    }
    std::memcpy(bytes + 4 * i, &out, 4);
  }
}

uint32_t UnpackedSampleBytes(uint32_t bitsPerSample) {
  switch (bitsPerSample) {
    case 32:
      return 4;
    case 24:
      return 3;
    case 16:
      return 2;
    default:
      return 1;
  }
}

namespace {

constexpr double kTo16Bit = 1.0 / 65536.0;
constexpr int32_t kMaxUnpackChannels = 8;

// One loop per sample width keeps the width test out of the per-sample path;
// the spectrum channel's loop also writes the transform input, saving a pass.
// Stereo, the common case, goes through the block once, frame by frame.
template <typename Decode>
void UnpackWith(const uint8_t* frames, size_t frameCount, uint32_t blockAlign, uint32_t sampleBytes,
                int32_t channelCount, int32_t* const* channels, int32_t spectrumChannel,
                double* spectrumInput, Decode decode) {
  if (channelCount == 2 && spectrumInput != nullptr && (spectrumChannel & ~1) == 0) {
    int32_t* spectrumOut = channels[spectrumChannel];
    int32_t* otherOut = channels[1 - spectrumChannel];
    const uint8_t* p = frames + static_cast<size_t>(spectrumChannel) * sampleBytes;
    const uint8_t* q = frames + static_cast<size_t>(1 - spectrumChannel) * sampleBytes;
    for (size_t i = 0; i < frameCount; ++i, p += blockAlign, q += blockAlign) {
      const int32_t v = decode(p);
      spectrumOut[i] = v;
      spectrumInput[i] = v * kTo16Bit;
      otherOut[i] = decode(q);
    }
    return;
  }
  for (int32_t j = 0; j < channelCount; ++j) {
    const uint8_t* p = frames + static_cast<size_t>(j) * sampleBytes;
    int32_t* out = channels[j];
    if (j == spectrumChannel && spectrumInput != nullptr) {
      for (size_t i = 0; i < frameCount; ++i, p += blockAlign) {
        const int32_t v = decode(p);
        out[i] = v;
        spectrumInput[i] = v * kTo16Bit;
      }
    } else {
      for (size_t i = 0; i < frameCount; ++i, p += blockAlign) out[i] = decode(p);
    }
  }
}

}  // namespace

void UnpackFrames(const uint8_t* frames, size_t frameCount, uint32_t blockAlign,
                  uint32_t bitsPerSample, int32_t channelCount, int32_t* const* channels,
                  int32_t spectrumChannel, double* spectrumInput) {
  const uint32_t sampleBytes = UnpackedSampleBytes(bitsPerSample);
  switch (sampleBytes) {
    case 4:
      UnpackWith(frames, frameCount, blockAlign, 4, channelCount, channels, spectrumChannel,
                 spectrumInput, [](const uint8_t* p) {
                   int32_t v;
                   std::memcpy(&v, p, 4);
                   return v;
                 });
      break;
    case 3: {
      // Every frame but the last has a next frame behind it, so a 4-byte load
      // at any sample stays inside the block; the last frame reads 3 bytes.
      const size_t inner = frameCount > 0 ? frameCount - 1 : 0;
      UnpackWith(frames, inner, blockAlign, 3, channelCount, channels, spectrumChannel,
                 spectrumInput, [](const uint8_t* p) {
                   uint32_t u;
                   std::memcpy(&u, p, 4);
                   return static_cast<int32_t>(u << 8);  // little-endian: drop the 4th byte
                 });
      if (frameCount > 0) {
        int32_t* last[kMaxUnpackChannels];
        for (int32_t j = 0; j < channelCount; ++j) last[j] = channels[j] + inner;
        UnpackWith(frames + inner * blockAlign, 1, blockAlign, 3, channelCount, last,
                   spectrumChannel, spectrumInput ? spectrumInput + inner : nullptr,
                   [](const uint8_t* p) {
                     // Assembled unsigned and reinterpreted: the top byte carries the sign.
                     const uint32_t u =
                         (uint32_t{p[2]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[0]} << 8);
                     return static_cast<int32_t>(u);
                   });
      }
      break;
    }
    case 2:
      UnpackWith(frames, frameCount, blockAlign, 2, channelCount, channels, spectrumChannel,
                 spectrumInput, [](const uint8_t* p) {
                   const uint32_t u = (uint32_t{p[1]} << 24) | (uint32_t{p[0]} << 16);
                   return static_cast<int32_t>(u);
                 });
      break;
    default:
      UnpackWith(frames, frameCount, blockAlign, 1, channelCount, channels, spectrumChannel,
                 spectrumInput, [](const uint8_t* p) {
                   return static_cast<int32_t>(static_cast<uint32_t>(p[0] ^ 0x80u) << 24);
                 });
      break;
  }
}

void ToSpectrumInput(const int32_t* samples, size_t count, double* out) {
  for (size_t i = 0; i < count; ++i) out[i] = samples[i] * kTo16Bit;
}

ChannelLevels MeasureChannelLevels(const int32_t* samples, size_t count, bool sineIsZeroDb) {
  double sum = 0.0;
  int32_t lo = 0;
  int32_t hi = 0;
  for (size_t i = 0; i < count; ++i) {
    const int32_t s = samples[i];
    const double v = s * kTo16Bit;
    sum += v * v;
    if (s < lo) lo = s;
    if (s > hi) hi = s;
  }
  const int64_t magnitudeLo = lo == INT32_MIN ? 2147483647 : -static_cast<int64_t>(lo);
  const double peak = static_cast<double>(magnitudeLo > hi ? magnitudeLo : hi);
  ChannelLevels levels;
  levels.peak = static_cast<int32_t>(
      std::floor(200.0 * std::log10((peak < 1.0 ? 1.0 : peak) / 2147483647.0) + 0.5));
  const double meanSquare = (sum == 0.0 || count == 0) ? 0.0001 : sum / static_cast<double>(count);
  const double sineCorrection = sineIsZeroDb ? 30.10299957 : 0.0;
  levels.rms = static_cast<int32_t>(
      std::floor(200.0 * std::log10(std::sqrt(meanSquare) / 32767.0) + sineCorrection + 0.5));
  return levels;
}

}  // namespace ov
