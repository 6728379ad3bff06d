#include "tools/ovtool/AsioInfo.h"

#include "app/engine/AsioFamily_win.h"

namespace ov::tool {

bool AsioInfoText(int32_t index, int32_t channel, bool input, const WaveFormat& format,
                  std::string& text, std::string& error) {
  AsioFamily family;
  family.CheckDevices();
  EngineMessage m;
  if (!family.Information(index, channel, input, format, text, m)) {
    error = m.c_str();
    return false;
  }
  return true;
}

}  // namespace ov::tool
