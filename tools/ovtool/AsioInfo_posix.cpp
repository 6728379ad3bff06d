#include "tools/ovtool/AsioInfo.h"

#include "app/engine/EngineTexts.h"
#include "app/engine/EngineTypes.h"

namespace ov::tool {

bool AsioInfoText(int32_t, int32_t, bool, const WaveFormat&, std::string&, std::string& error) {
  error = UnbuiltFamilyText(kDriverAsio);
  return false;
}

}  // namespace ov::tool
