// What the main window learns of the operating system at creation. Portable:
// the Windows side reads the version (RtlGetVersion) and passes it in.
#pragma once

#include <cstdint>

#include "app/common/OsVersion.h"

namespace ov {

struct SystemCapabilities {
  bool directXAvailable = false;  // the DirectDraw probe succeeded
  bool vistaOrLater = false;      // major version above 5
  bool wasapiLimited = false;     // 6.0 without a service pack: WASAPI treated as unavailable
};

SystemCapabilities CapabilitiesOf(const OsVersion& v, bool directDrawProbeSucceeded);

// The driver family to use: DirectSound without DirectX, or WASAPI before
// version 6, falls back to MME (0).
int32_t UsableDriverType(int32_t configured, const SystemCapabilities& caps);

}  // namespace ov
