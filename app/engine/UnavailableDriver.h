// A driver family this program cannot use: it has no devices, every open
// fails with the family's reason, and the device check marks it unusable so
// that the engine falls back to waveform audio.
#pragma once

#include "app/engine/AudioDriver.h"

namespace ov {

class UnavailableDriver : public AudioDriver {
 public:
  explicit UnavailableDriver(std::string reason) : reason_(std::move(reason)) {}

  DeviceCheck CheckDevices() override;
  uint32_t DeviceCount(bool) override { return 0; }
  std::string DeviceName(uint32_t, bool) override { return {}; }

  bool OpenOutput(int32_t, const WaveFormat&, const DriverOptions&, AutoResetEvent&,
                  std::string& message) override;
  bool OutputOpen() const override { return false; }
  int32_t OutputId() const override { return -1; }
  bool PauseOutput(std::string&) override { return true; }
  bool ResetOutput(std::string&) override { return true; }
  bool RestartOutput(std::string&) override { return true; }
  bool SubmitOutput(uint32_t, uint8_t*, uint32_t, std::string& message) override;
  void DrainOutput(uint32_t, std::string&) override {}
  void CloseOutput(std::string&) override {}
  bool OutputPosition(uint64_t&) override { return false; }
  void SetFullVolume() override {}
  double OutputLatencySeconds() const override { return 0; }

  bool ProbeInput(int32_t, const WaveFormat&, const DriverOptions&, std::string& message) override;
  bool OpenInput(int32_t, const WaveFormat&, const DriverOptions&, AutoResetEvent&,
                 std::string& message) override;
  bool InputOpen() const override { return false; }
  bool QueueInput(uint32_t, uint8_t*, uint32_t, std::string& message) override;
  bool StartInput(std::string& message) override;
  bool StopInput(std::string&) override { return true; }
  bool InputDone(uint32_t) override { return true; }
  uint32_t BytesRecorded(uint32_t) override { return 0; }
  void EndInput(uint32_t, std::string&) override {}
  void CloseInput(std::string&) override {}
  double InputLatencySeconds() const override { return 0; }

  bool SupportsFramePlay() const override { return false; }
  bool OpenFrame(int32_t, const WaveFormat&, const DriverOptions&, AutoResetEvent&, uint8_t*,
                 uint32_t, std::string& message) override;
  bool SubmitFrame(std::string& message) override;
  bool RestartFrame(std::string& message) override;
  bool CloseFrame(std::string&) override { return true; }

 private:
  bool Fail(std::string& message) const {
    message = reason_;
    return false;
  }
  std::string reason_;
};

}  // namespace ov
