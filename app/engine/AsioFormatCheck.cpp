#include "app/engine/AsioFormatCheck.h"

#include <cstdlib>

#include "app/engine/AsioTypes.h"

namespace ov::asio {

bool BitLengthFits(int32_t driverBits, bool input, int32_t bits, bool isFloat) {
  if (input) {
    return (driverBits == 16 && bits == 16) || (driverBits == 24 && bits == 24) ||
           (driverBits == 32 && (bits == 32 || bits == 24));
  }
  return std::abs(driverBits) >= (isFloat ? 24 : bits);
}

bool HostConvertsType(int32_t type) {
  return type == kInt16LSB || type == kInt24LSB || type == kInt32LSB;
}

ProbeAnswer ProbeWidth(int32_t type, bool input, int32_t bits, bool isFloat) {
  if (!HostConvertsType(type)) return {};
  const int32_t driverBits = DriverBitsOf(type);
  if (!BitLengthFits(driverBits, input, bits, isFloat)) return {};
  return {true, !isFloat && bits == driverBits};
}

}  // namespace ov::asio
