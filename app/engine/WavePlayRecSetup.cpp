// The engine's calls for the setup dialog: the ASIO family's extras.
#include <string>

#include "app/engine/AsioExtras.h"
#include "app/engine/WavePlayRec.h"

namespace ov {

namespace {
constexpr char kNotAsio[] = "The ASIO driver is not selected.";
constexpr char kRunning[] = "Unable to use the device while playing or recording.";
}  // namespace

// The ASIO family when it is current and free; otherwise null with the reason set.
static AsioExtras* FreeAsio(AudioDriver* driver, bool running, EngineMessage& message) {
  auto* asio = dynamic_cast<AsioExtras*>(driver);
  if (asio == nullptr) {
    message.Set(kNotAsio);
    return nullptr;
  }
  if (running) {
    message.Set(kRunning);
    return nullptr;
  }
  message.Clear();
  return asio;
}

bool WavePlayRec::ShowAsioControlPanel(int32_t index, AudioDirection direction) {
  AsioExtras* asio = FreeAsio(driver_.get(), PumpsRunning() || InMessageWait(), Message);
  return asio && asio->ShowControlPanel(index, direction == AudioDirection::Input, Message);
}

bool WavePlayRec::TestAsioDriver(int32_t index, AudioDirection direction) {
  AsioExtras* asio = FreeAsio(driver_.get(), PumpsRunning() || InMessageWait(), Message);
  return asio && asio->TestDriver(index, direction == AudioDirection::Input, Message);
}

int32_t WavePlayRec::GetAsioChannels(AudioDirection direction) {
  auto* asio = dynamic_cast<AsioExtras*>(driver_.get());
  if (asio == nullptr) return 0;
  return direction == AudioDirection::Input ? asio->InputChannels() : asio->OutputChannels();
}

std::string WavePlayRec::GetAsioChannelName(uint32_t channel) {
  auto* asio = dynamic_cast<AsioExtras*>(driver_.get());
  return asio ? asio->ChannelName(channel) : std::string();
}

bool WavePlayRec::SetAsioDirectMonitor(int32_t index, bool on) {
  AsioExtras* asio = FreeAsio(driver_.get(), PumpsRunning() || InMessageWait(), Message);
  return asio && asio->SetDirectMonitor(index, on, Message);
}

std::string WavePlayRec::ShowAsioInfo(int32_t index, int32_t channel, AudioDirection direction,
                                      const WaveFormat& format) {
  AsioExtras* asio = FreeAsio(driver_.get(), PumpsRunning() || InMessageWait(), Message);
  std::string text;
  if (asio && asio->Information(index, channel, direction == AudioDirection::Input, format, text,
                                Message)) {
    return text;
  }
  return text + "\n\n Error: " + Message.c_str();
}

}  // namespace ov
