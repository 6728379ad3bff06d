#include "app/engine/WasapiFormat.h"

#include <cstring>

#include "app/engine/AudioDriver.h"

namespace ov {
namespace {

void SetWidth(WaveFormat& f, uint16_t bits) {
  f.bitsPerSample = bits;
  f.blockAlign = static_cast<uint16_t>(f.channels * bits / 8);
  f.avgBytesPerSec = f.samplesPerSec * f.blockAlign;
}

bool IsFloat(const WaveFormat& f) {
  return FloatWidth(f) != 0;
}

}  // namespace

WaveFormat FirstWasapiFormat(const WaveFormat& engine, bool output, bool forceMonoStereo,
                             bool* monoToStereo) {
  WaveFormat d = DeviceFormat(engine, true);
  *monoToStereo = false;
  if (!output) return d;
  if (forceMonoStereo && d.channels == 1) {
    d.channels = 2;
    d.blockAlign = static_cast<uint16_t>(d.blockAlign * 2);
    d.avgBytesPerSec *= 2;
    *monoToStereo = true;
  }
  if (d.bitsPerSample == 8) {
    d.bitsPerSample = 16;
    d.blockAlign = static_cast<uint16_t>(d.blockAlign * 2);
    d.avgBytesPerSec *= 2;
  }
  return d;
}

bool NextWasapiFormat(WaveFormat& f, uint32_t floatWidth, bool output) {
  const uint16_t bits = f.bitsPerSample;
  const bool widen = output ? (bits >= 9 && bits <= 31) : (bits >= 17 && bits <= 31);
  if (widen && !IsFloat(f)) {
    SetWidth(f, static_cast<uint16_t>(bits + 8));
    f.validBitsPerSample = f.bitsPerSample;
    return true;
  }
  // A float source is offered as integers once: 24-bit PCM first.
  if (floatWidth == 0 || !IsFloat(f)) return false;
  SetWidth(f, 24);
  f.validBitsPerSample = 24;
  std::memcpy(f.subFormat, kSubFormatPcm, sizeof f.subFormat);
  if (f.formatTag == kWaveFormatIeeeFloat) f.formatTag = kWaveFormatPcm;
  return true;
}

WasapiSampleLayout WasapiLayout(const WaveFormat& engine, const WaveFormat& device,
                                bool monoToStereo) {
  WasapiSampleLayout l;
  l.deviceBits = device.bitsPerSample;
  l.deviceFloat = IsFloat(device);
  l.sourceBits = FloatWidth(engine) ? -32 : engine.bitsPerSample;
  l.channels = engine.channels;
  l.monoToStereo = monoToStereo;
  return l;
}

}  // namespace ov
