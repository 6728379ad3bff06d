// The per-frame amplitude pass of the spectrum: magnitudes of the transform's
// bins in 16-bit units, fused with the search for the largest one.
#pragma once

#include <cstdint>

namespace ov {

// amp[k] = 2 x |bins[k]| for k = 1 ... count-1, amp[0] = |bins[0]| (bin 0 has
// no mirror half); bins holds count complex values (re, im). When maximum is
// not null, *maximum and *maximumBin are raised to the largest amplitude above
// *maximum and its bin, the first of equal amplitudes; they stay unchanged when
// no amplitude exceeds *maximum.
void ComputeAmplitudes(const double* bins, int32_t count, double* amp, double* maximum,
                       int32_t* maximumBin);

}  // namespace ov
