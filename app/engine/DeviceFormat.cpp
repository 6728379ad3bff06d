#include <cstring>

#include "app/engine/AudioDriver.h"

namespace ov {

WaveFormat DeviceFormat(const WaveFormat& f, bool useExtensible) {
  WaveFormat d = f;
  if (d.formatTag == kWaveFormatExtensible) {
    if (d.validBitsPerSample == 0) d.validBitsPerSample = d.bitsPerSample;
    return d;
  }
  if (!useExtensible) return d;
  d.formatTag = kWaveFormatExtensible;
  d.extraSize = 22;
  d.validBitsPerSample = d.bitsPerSample;
  d.channelMask = d.channels == 0    ? 0
                  : d.channels >= 32 ? 0xFFFFFFFFu
                                     : (uint32_t{1} << d.channels) - 1;
  std::memcpy(d.subFormat,
              f.formatTag == kWaveFormatIeeeFloat ? kSubFormatIeeeFloat : kSubFormatPcm,
              sizeof d.subFormat);
  return d;
}

}  // namespace ov
