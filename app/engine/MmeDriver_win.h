// Driver type 0: the waveform-audio functions (waveOut / waveIn). The engine's
// ring buffers are handed to the system directly: every ring buffer is one
// WAVEHDR prepared on the device handle, and the device sets the engine's
// event (CALLBACK_EVENT) once per finished buffer.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include "app/engine/AudioDriver.h"
#include "app/engine/EngineTypes.h"

namespace ov {

class MmeDriver : public AudioDriver {
 public:
  MmeDriver();
  ~MmeDriver() override;

  DeviceCheck CheckDevices() override;
  uint32_t DeviceCount(bool input) override;
  std::string DeviceName(uint32_t number, bool input) override;

  bool OpenOutput(int32_t id, const WaveFormat& f, const DriverOptions& o, AutoResetEvent& done,
                  EngineMessage& message) override;
  bool OutputOpen() const override { return out_ != nullptr; }
  int32_t OutputId() const override { return outputId_; }
  bool PauseOutput(EngineMessage& message) override;
  bool ResetOutput(EngineMessage& message) override;
  bool RestartOutput(EngineMessage& message) override;
  bool HasDoneFlags() const override { return true; }
  bool OutputDone(uint32_t index) override;
  bool SubmitOutput(uint32_t index, uint8_t* data, uint32_t bytes, EngineMessage& message) override;
  void DrainOutput(uint32_t count, EngineMessage& message) override;
  void CloseOutput(EngineMessage& message) override;
  bool OutputPosition(uint64_t& samples) override;
  void SetFullVolume() override;
  double OutputLatencySeconds() const override { return 0.05; }

  bool ProbeInput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                  EngineMessage& message) override;
  bool OpenInput(int32_t id, const WaveFormat& f, const DriverOptions& o, AutoResetEvent& done,
                 EngineMessage& message) override;
  bool InputOpen() const override { return in_ != nullptr; }
  bool QueueInput(uint32_t index, uint8_t* data, uint32_t bytes, EngineMessage& message) override;
  bool StartInput(EngineMessage& message) override;
  bool StopInput(EngineMessage& message) override;
  bool InputDone(uint32_t index) override;
  uint32_t BytesRecorded(uint32_t index) override;
  void EndInput(uint32_t count, EngineMessage& message) override;
  void CloseInput(EngineMessage& message) override;
  double InputLatencySeconds() const override { return 0.05; }

  bool SupportsFramePlay() const override { return true; }
  bool OpenFrame(int32_t id, const WaveFormat& f, const DriverOptions& o, AutoResetEvent& done,
                 uint8_t* data, uint32_t bytes, EngineMessage& message) override;
  bool SubmitFrame(EngineMessage& message) override;
  bool RestartFrame(EngineMessage& message) override;
  bool CloseFrame(EngineMessage& message) override;

  std::unique_ptr<FormatTrier> CreateFormatTrier(int32_t id, bool input,
                                                 const DriverOptions& options) override;

 private:
  HWAVEOUT out_ = nullptr;
  HWAVEIN in_ = nullptr;
  HWAVEOUT frame_ = nullptr;
  int32_t outputId_ = -1;
  int32_t inputId_ = -1;
  uint32_t waveOutCount_ = 0;
  uint32_t waveInCount_ = 0;
  WAVEOUTCAPSA outCaps_{};
  WAVEINCAPSA inCaps_{};
  WAVEHDR outHeaders_[kMaxBuffers]{};
  WAVEHDR inHeaders_[kMaxBuffers]{};
  WAVEHDR frameHeader_{};
};

}  // namespace ov
