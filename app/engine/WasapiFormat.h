// The formats an exclusive-mode WASAPI stream is offered, in order. An
// endpoint in exclusive mode takes only the widths its hardware has, so a
// refused format is widened and tried again: output 16 -> 24 -> 32 bits
// (8-bit sources start at 16), float -> 24-bit PCM -> 32-bit PCM; input only
// 24 -> 32 and float -> 24-bit PCM -> 32-bit PCM (a narrower capture would
// lose nothing by widening, but the ring's width must match what is offered).
#pragma once

#include <cstdint>

#include "app/common/WaveFormat.h"
#include "app/engine/WasapiConvert.h"

namespace ov {

// The first format offered: the engine format made extensible; on output a
// mono format with forceMonoStereo becomes stereo (the channel mask keeps its
// one-channel value) and 8-bit samples are sent as 16-bit (valid bits stay 8).
// *monoToStereo tells whether the first step applied.
WaveFormat FirstWasapiFormat(const WaveFormat& engine, bool output, bool forceMonoStereo,
                             bool* monoToStereo);

// The next format after `refused` was refused, or false when none is left.
// floatWidth: the engine format's float width (non-zero: a float source, which
// may fall back to integer containers once).
bool NextWasapiFormat(WaveFormat& refused, uint32_t floatWidth, bool output);

// The conversion between the ring (engine format) and the negotiated format.
WasapiSampleLayout WasapiLayout(const WaveFormat& engine, const WaveFormat& device,
                                bool monoToStereo);

}  // namespace ov
