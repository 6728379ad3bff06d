#include "app/engine/UnavailableDriver.h"

namespace ov {

DeviceCheck UnavailableDriver::CheckDevices() {
  DeviceCheck c;
  c.message = reason_;
  c.unusable = true;
  return c;
}

bool UnavailableDriver::OpenOutput(int32_t, const WaveFormat&, const DriverOptions&,
                                   AutoResetEvent&, EngineMessage& message) {
  return Fail(message);
}
bool UnavailableDriver::SubmitOutput(uint32_t, uint8_t*, uint32_t, EngineMessage& message) {
  return Fail(message);
}
bool UnavailableDriver::ProbeInput(int32_t, const WaveFormat&, const DriverOptions&,
                                   EngineMessage& message) {
  return Fail(message);
}
bool UnavailableDriver::OpenInput(int32_t, const WaveFormat&, const DriverOptions&, AutoResetEvent&,
                                  EngineMessage& message) {
  return Fail(message);
}
bool UnavailableDriver::QueueInput(uint32_t, uint8_t*, uint32_t, EngineMessage& message) {
  return Fail(message);
}
bool UnavailableDriver::StartInput(EngineMessage& message) {
  return Fail(message);
}
bool UnavailableDriver::OpenFrame(int32_t, const WaveFormat&, const DriverOptions&, AutoResetEvent&,
                                  uint8_t*, uint32_t, EngineMessage& message) {
  return Fail(message);
}
bool UnavailableDriver::SubmitFrame(EngineMessage& message) {
  return Fail(message);
}
bool UnavailableDriver::RestartFrame(EngineMessage& message) {
  return Fail(message);
}

}  // namespace ov
