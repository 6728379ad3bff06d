#include "app/engine/WasapiConvert.h"

#include <cmath>
#include <cstring>

namespace ov {
namespace {

// Little-endian sample access; memcpy keeps unaligned reads defined.
inline int32_t LoadU8(const uint8_t* p) {
  return static_cast<int32_t>(*p) - 128;
}
inline int32_t LoadS16(const uint8_t* p) {
  int16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline int32_t LoadS24(const uint8_t* p) {
  const int32_t v = p[0] | (p[1] << 8) | (p[2] << 16);
  return (v ^ 0x800000) - 0x800000;
}
inline int32_t LoadS32(const uint8_t* p) {
  int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline float LoadF32(const uint8_t* p) {
  float v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void StoreS16(uint8_t* p, int32_t v) {
  const int16_t s = static_cast<int16_t>(v);
  std::memcpy(p, &s, 2);
}
inline void StoreS24(uint8_t* p, int32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
}
inline void StoreS32(uint8_t* p, int32_t v) {
  std::memcpy(p, &v, 4);
}
inline void StoreF32(uint8_t* p, float v) {
  std::memcpy(p, &v, 4);
}

// One pass over n ring samples: each is loaded once and stored `Rep` times.
template <int Rep, int In, int Out, class Load, class Store>
void Run(const uint8_t* s, size_t n, uint8_t* d, Load load, Store store) {
  for (size_t i = 0; i < n; ++i, s += In) {
    const auto v = load(s);
    for (int r = 0; r < Rep; ++r, d += Out) store(d, v);
  }
}

// Copies n samples of `bytes` each, duplicating them when Rep is 2.
template <int Rep>
void Copy(const uint8_t* s, size_t n, uint8_t* d, uint32_t bytes) {
  if (Rep == 1) {
    std::memcpy(d, s, n * bytes);
    return;
  }
  for (size_t i = 0; i < n; ++i, s += bytes) {
    for (int r = 0; r < Rep; ++r, d += bytes) std::memcpy(d, s, bytes);
  }
}

uint32_t SourceBytes(int32_t sourceBits) {
  return static_cast<uint32_t>(sourceBits < 0 ? -sourceBits : sourceBits) / 8;
}

template <int Rep>
bool Out(const WasapiSampleLayout& l, const uint8_t* s, size_t n, uint8_t* d) {
  constexpr float kInv8 = 1.0f / 128.0f, kInv16 = 1.0f / 32768.0f;
  constexpr float kInv24 = 1.0f / 8388608.0f, kInv32 = 1.0f / 2147483648.0f;
  if (l.deviceFloat) {
    if (l.deviceBits != 32) return false;
    switch (l.sourceBits) {
      case -32:
        Copy<Rep>(s, n, d, 4);
        return true;
      case 8:
        Run<Rep, 1, 4>(s, n, d, LoadU8, [&](uint8_t* p, int32_t v) { StoreF32(p, v * kInv8); });
        return true;
      case 16:
        Run<Rep, 2, 4>(s, n, d, LoadS16, [&](uint8_t* p, int32_t v) { StoreF32(p, v * kInv16); });
        return true;
      case 24:
        Run<Rep, 3, 4>(s, n, d, LoadS24, [&](uint8_t* p, int32_t v) { StoreF32(p, v * kInv24); });
        return true;
      case 32:
        Run<Rep, 4, 4>(s, n, d, LoadS32,
                       [&](uint8_t* p, int32_t v) { StoreF32(p, static_cast<float>(v) * kInv32); });
        return true;
      default:
        return false;
    }
  }
  switch (l.deviceBits * 100 + l.sourceBits) {
    case 1608:
      Run<Rep, 1, 2>(s, n, d, LoadU8, [](uint8_t* p, int32_t v) { StoreS16(p, v * 256); });
      return true;
    case 1616:
      Copy<Rep>(s, n, d, 2);
      return true;
    case 2408:
      Run<Rep, 1, 3>(s, n, d, LoadU8, [](uint8_t* p, int32_t v) { StoreS24(p, v * 65536); });
      return true;
    case 2416:
      Run<Rep, 2, 3>(s, n, d, LoadS16, [](uint8_t* p, int32_t v) { StoreS24(p, v * 256); });
      return true;
    case 2424:
      Copy<Rep>(s, n, d, 3);
      return true;
    case 2400 - 32:
      Run<Rep, 4, 3>(s, n, d, LoadF32, [](uint8_t* p, float f) { StoreS24(p, FloatToS24(f)); });
      return true;
    case 3208:
      Run<Rep, 1, 4>(s, n, d, LoadU8, [](uint8_t* p, int32_t v) { StoreS32(p, v * 16777216); });
      return true;
    case 3216:
      Run<Rep, 2, 4>(s, n, d, LoadS16, [](uint8_t* p, int32_t v) { StoreS32(p, v * 65536); });
      return true;
    case 3224:
      Run<Rep, 3, 4>(s, n, d, LoadS24, [](uint8_t* p, int32_t v) { StoreS32(p, v * 256); });
      return true;
    case 3232:
      Copy<Rep>(s, n, d, 4);
      return true;
    case 3200 - 32:
      Run<Rep, 4, 4>(s, n, d, LoadF32,
                     [](uint8_t* p, float f) { StoreS32(p, FloatToS24(f) * 256); });
      return true;
    default:
      return false;
  }
}

}  // namespace

int32_t FloatToS24(float f) {
  if (std::isnan(f)) return 0;
  const float scaled = f * 8388608.0f;  // exact: a power of two
  if (scaled >= 8388607.0f) return 8388607;
  if (scaled <= -8388608.0f) return -8388608;
  return static_cast<int32_t>(scaled);  // truncates toward zero
}

uint32_t RingFrameBytes(const WasapiSampleLayout& l) {
  return SourceBytes(l.sourceBits) * l.channels;
}

uint32_t DeviceFrameBytes(const WasapiSampleLayout& l, bool output) {
  const uint32_t channels = output && l.monoToStereo ? 2 * l.channels : l.channels;
  return static_cast<uint32_t>(l.deviceBits / 8) * channels;
}

size_t ConvertOut(const WasapiSampleLayout& l, const uint8_t* ring, uint32_t frames,
                  uint8_t* device) {
  const size_t n = static_cast<size_t>(frames) * l.channels;
  const bool ok = l.monoToStereo ? Out<2>(l, ring, n, device) : Out<1>(l, ring, n, device);
  return ok ? static_cast<size_t>(frames) * DeviceFrameBytes(l, true) : 0;
}

size_t ConvertIn(const WasapiSampleLayout& l, const uint8_t* d, uint32_t frames, uint8_t* r) {
  const size_t n = static_cast<size_t>(frames) * l.channels;
  if (l.deviceFloat) {
    if (l.deviceBits != 32 || l.sourceBits != -32) return 0;
    std::memcpy(r, d, n * 4);
    return n * 4;
  }
  constexpr float kInv31 = 1.0f / 2147483648.0f;
  switch (l.deviceBits * 100 + l.sourceBits) {
    case 808:
      std::memcpy(r, d, n);
      break;
    case 1616:
      std::memcpy(r, d, n * 2);
      break;
    case 2424:
      std::memcpy(r, d, n * 3);
      break;
    case 3232:
      std::memcpy(r, d, n * 4);
      break;
    case 2400 - 32:
      Run<1, 3, 4>(d, n, r, LoadS24, [](uint8_t* p, int32_t v) {
        StoreF32(p, static_cast<float>(v * 256) * kInv31);
      });
      break;
    case 3224:
      Run<1, 4, 3>(
          d, n, r, [](const uint8_t* p) { return p; },
          [](uint8_t* p, const uint8_t* s) { std::memcpy(p, s + 1, 3); });
      break;
    case 3200 - 32:
      Run<1, 4, 4>(d, n, r, LoadS32,
                   [](uint8_t* p, int32_t v) { StoreF32(p, static_cast<float>(v) * kInv31); });
      break;
    default:
      return 0;
  }
  return n * SourceBytes(l.sourceBits);
}

}  // namespace ov
