// The operating system's version as the program's decisions need it (WASAPI,
// the multimedia class scheduler, the driver fallback).
#pragma once

#include <cstdint>

namespace ov {

struct OsVersion {
  uint32_t major = 0, minor = 0, servicePackMajor = 0;
};

}  // namespace ov
