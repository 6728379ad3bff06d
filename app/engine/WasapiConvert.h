// Sample-width conversion between the engine's ring and a WASAPI endpoint
// buffer in exclusive mode. The endpoint takes the ring's samples only in the
// widths it accepts, so 8- and 16-bit sources are widened (16 -> 24 -> 32),
// floats become 24- or 32-bit integers when the endpoint refuses float, and a
// mono ring can be sent as stereo. Exact to the bit: integers are shifted,
// never scaled through floating point; floats are clipped to the integer range
// at both ends and NaN becomes 0.
//
// Pure functions, no state: the transfer threads call them on every device
// period. Any pair of widths outside the tables writes nothing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ov {

// The two sides of one stream's conversion.
struct WasapiSampleLayout {
  int32_t deviceBits = 16;    // container bits of the endpoint's samples (16, 24, 32)
  bool deviceFloat = false;   // the endpoint takes 32-bit IEEE float samples
  int32_t sourceBits = 16;    // the ring's bits: 8, 16, 24, 32, or -32 for IEEE float
  uint32_t channels = 2;      // channels of the ring
  bool monoToStereo = false;  // output only: each ring sample is written twice
};

// Ring -> endpoint: `frames` ring frames from `ring` into `device`. Returns
// the endpoint bytes written (0 when the pair is not in the table).
size_t ConvertOut(const WasapiSampleLayout& l, const uint8_t* ring, uint32_t frames,
                  uint8_t* device);

// Endpoint -> ring: `frames` endpoint frames from `device` into `ring`.
// Returns the ring bytes written (0 when the pair is not in the table).
size_t ConvertIn(const WasapiSampleLayout& l, const uint8_t* device, uint32_t frames,
                 uint8_t* ring);

// Bytes per frame on each side.
uint32_t RingFrameBytes(const WasapiSampleLayout& l);
uint32_t DeviceFrameBytes(const WasapiSampleLayout& l, bool output);

// trunc(f x 8388608) limited to the signed 24-bit range; NaN gives 0.
int32_t FloatToS24(float f);

}  // namespace ov
