#include "app/engine/AudioDriver.h"
#include "app/engine/DirectSoundDriver_win.h"
#include "app/engine/EngineTexts.h"
#include "app/engine/MmeDriver_win.h"
#include "app/engine/UnavailableDriver.h"

namespace ov {

std::unique_ptr<AudioDriver> CreateAudioDriver(int32_t driverType) {
  if (driverType == 0) return std::make_unique<MmeDriver>();
  if (driverType == kDriverDirectSound) return CreateDirectSoundDriver();
  return std::make_unique<UnavailableDriver>(UnbuiltFamilyText(driverType));
}

}  // namespace ov
