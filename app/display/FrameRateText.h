// The frame-rate readout of the main window.
#pragma once

#include <cstdint>

namespace ov {

// Below 1000 the rate as "%d"; from 1000 on a letter for the hundreds (code
// fps / 100 + 55: 1000 reads "A00", 1100 "B00") and two digits, so that the
// readout keeps three characters. out holds at least 12 characters.
void FormatFrameRate(int32_t framesPerSecond, char* out);

}  // namespace ov
