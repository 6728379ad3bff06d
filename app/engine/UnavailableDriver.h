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
                  EngineMessage& message) override;
  bool OutputOpen() const override { return false; }
  int32_t OutputId() const override { return -1; }
  bool PauseOutput(EngineMessage&) override { return true; }
  bool ResetOutput(EngineMessage&) override { return true; }
  bool RestartOutput(EngineMessage&) override { return true; }
  bool HasDoneFlags() const override { return false; }
  bool OutputDone(uint32_t) override { return true; }
  bool SubmitOutput(uint32_t, uint8_t*, uint32_t, EngineMessage& message) override;
  void DrainOutput(uint32_t, EngineMessage&) override {}
  void CloseOutput(EngineMessage&) override {}
  bool OutputPosition(uint64_t&) override { return false; }
  void SetFullVolume() override {}
  double OutputLatencySeconds() const override { return 0; }

  bool ProbeInput(int32_t, const WaveFormat&, const DriverOptions&,
                  EngineMessage& message) override;
  bool OpenInput(int32_t, const WaveFormat&, const DriverOptions&, AutoResetEvent&,
                 EngineMessage& message) override;
  bool InputOpen() const override { return false; }
  bool QueueInput(uint32_t, uint8_t*, uint32_t, EngineMessage& message) override;
  bool StartInput(EngineMessage& message) override;
  bool StopInput(EngineMessage&) override { return true; }
  bool InputDone(uint32_t) override { return true; }
  uint32_t BytesRecorded(uint32_t) override { return 0; }
  void EndInput(uint32_t, EngineMessage&) override {}
  void CloseInput(EngineMessage&) override {}
  double InputLatencySeconds() const override { return 0; }

  bool SupportsFramePlay() const override { return false; }
  bool OpenFrame(int32_t, const WaveFormat&, const DriverOptions&, AutoResetEvent&, uint8_t*,
                 uint32_t, EngineMessage& message) override;
  bool SubmitFrame(EngineMessage& message) override;
  bool RestartFrame(EngineMessage& message) override;
  bool CloseFrame(EngineMessage&) override { return true; }

 private:
  bool Fail(EngineMessage& message) const {
    message.Set(reason_.c_str());
    return false;
  }
  std::string reason_;
};

}  // namespace ov
