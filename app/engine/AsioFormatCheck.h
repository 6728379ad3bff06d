// Whether the ASIO host can move a file format through a driver whose
// channels have one sample type: the bit check of a side's preparation, and
// what the device format list marks for a width.
#pragma once

#include <cstdint>

#include "app/engine/FormatProbe.h"

namespace ov::asio {

// The preparation's bit check of a side with the driver's bit width
// (`DriverBitsOf` of the first channel's type): record takes 16 from 16, 24
// from 24, 32 or 24 from 32; play takes any width up to the driver's (24 for
// a float file).
bool BitLengthFits(int32_t driverBits, bool input, int32_t bits, bool isFloat);

// True for the sample types the host converts (16-, 24- and 32-bit integers,
// little-endian); any other type stops a run with "ASIO Error: Unsupported
// sample type %d".
bool HostConvertsType(int32_t type);

// A width of the format list: it works when the host converts the driver's
// type and the bit check passes (the rate is asked of the driver apart); it is
// the driver's own width when the bits equal the driver's.
ProbeAnswer ProbeWidth(int32_t type, bool input, int32_t bits, bool isFloat);

}  // namespace ov::asio
