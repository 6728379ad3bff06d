#include "app/shell/SystemCapabilities.h"

#include "app/engine/EngineTypes.h"

namespace ov {

SystemCapabilities CapabilitiesOf(const OsVersion& v, bool directDrawProbeSucceeded) {
  SystemCapabilities c;
  c.directXAvailable = directDrawProbeSucceeded;
  c.vistaOrLater = v.major > 5;
  c.wasapiLimited = v.major == 6 && v.minor == 0 && v.servicePackMajor == 0;
  return c;
}

int32_t UsableDriverType(int32_t configured, const SystemCapabilities& caps) {
  if (configured == kDriverDirectSound && !caps.directXAvailable) return kDriverMme;
  if (configured == kDriverWasapi && !caps.vistaOrLater) return kDriverMme;
  return configured;
}

}  // namespace ov
