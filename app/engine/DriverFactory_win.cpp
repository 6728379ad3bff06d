#include "app/engine/AsioFamily_win.h"
#include "app/engine/AudioDriver.h"
#include "app/engine/DirectSoundDriver_win.h"
#include "app/engine/EngineTexts.h"
#include "app/engine/MmeDriver_win.h"
#include "app/engine/UnavailableDriver.h"
#include "app/engine/WasapiDriver_win.h"

namespace ov {

std::unique_ptr<AudioDriver> CreateAudioDriver(int32_t driverType, const AvrtBinding* mmcss) {
  if (driverType == kDriverMme) return std::make_unique<MmeDriver>();
  if (driverType == kDriverDirectSound) return CreateDirectSoundDriver();
  if (driverType == kDriverAsio) return std::make_unique<AsioFamily>();
  if (driverType == kDriverWasapi) return std::make_unique<WasapiDriver>(mmcss);
  return std::make_unique<UnavailableDriver>(UnbuiltFamilyText(driverType));
}

}  // namespace ov
