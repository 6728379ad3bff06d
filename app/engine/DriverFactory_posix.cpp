// The native build has no sound devices of any family; tests give the engine
// their own driver.
#include "app/engine/AudioDriver.h"
#include "app/engine/EngineTexts.h"
#include "app/engine/UnavailableDriver.h"

namespace ov {

std::unique_ptr<AudioDriver> CreateAudioDriver(int32_t driverType, const AvrtBinding*) {
  if (driverType == 0) return std::make_unique<UnavailableDriver>(text::kNoWaveInputOutput);
  return std::make_unique<UnavailableDriver>(UnbuiltFamilyText(driverType));
}

}  // namespace ov
