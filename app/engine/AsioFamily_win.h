// Driver type 2: an ASIO driver. The engine's device number is the index of
// the installed driver (0 = the first one). Opening a side loads the driver,
// starts it (init) and reads its capabilities; attaching the ring checks the
// format, sets the rate and creates the driver's double buffers for the
// channels used from the selected first channel on. From then on the driver
// calls the buffer switch on its own thread; the copy step (AsioTransfer.h)
// moves one buffer half between the driver and the ring and signals the
// engine's event once per ring buffer.
//
// Threads: the driver's callbacks carry no context, so one family object at a
// time is the active one (process-wide, as the driver is). Open, attach,
// close and the extras run on the main thread; start, pause, stop and the
// position on the pump threads; the buffer switch on the driver's thread,
// where it only converts, counts and signals (no allocation, lock or wait).
// Releasing the driver first closes the gate for callbacks and waits until
// none is running, so no callback touches a released driver or ring.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "app/engine/AsioExtras.h"
#include "app/engine/AsioHost_win.h"
#include "app/engine/AsioTexts.h"
#include "app/engine/AsioTransfer.h"
#include "app/engine/AudioDriver.h"
#include "app/engine/EngineTypes.h"

namespace ov {

class AsioFamily : public AudioDriver, public AsioExtras {
 public:
  // registry: where to read the drivers (tests); null reads the system's.
  explicit AsioFamily(std::unique_ptr<asio::AsioRegistry> registry = nullptr);
  ~AsioFamily() override;

  DeviceCheck CheckDevices() override;
  uint32_t DeviceCount(bool input) override;
  std::string DeviceName(uint32_t number, bool input) override;

  bool OpenOutput(int32_t id, const WaveFormat& f, const DriverOptions& o, AutoResetEvent& done,
                  EngineMessage& message) override;
  bool OutputOpen() const override { return side_ == Side::Output; }
  int32_t OutputId() const override { return side_ == Side::Output ? openedIndex_ - 1 : -1; }
  bool PauseOutput(EngineMessage& message) override;
  bool ResetOutput(EngineMessage& message) override;
  bool RestartOutput(EngineMessage& message) override;
  bool HasDoneFlags() const override { return false; }
  bool OutputDone(uint32_t) override { return true; }
  bool SubmitOutput(uint32_t index, uint8_t* data, uint32_t bytes, EngineMessage& message) override;
  void DrainOutput(uint32_t count, EngineMessage& message) override;
  void CloseOutput(EngineMessage& message) override;
  bool OutputPosition(uint64_t& samples) override;
  void SetFullVolume() override {}
  double OutputLatencySeconds() const override;

  bool ProbeInput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                  EngineMessage& message) override;
  bool OpenInput(int32_t id, const WaveFormat& f, const DriverOptions& o, AutoResetEvent& done,
                 EngineMessage& message) override;
  bool InputOpen() const override { return side_ == Side::Input; }
  bool QueueInput(uint32_t index, uint8_t* data, uint32_t bytes, EngineMessage& message) override;
  bool StartInput(EngineMessage& message) override;
  bool StopInput(EngineMessage& message) override;
  bool InputDone(uint32_t index) override;
  uint32_t BytesRecorded(uint32_t index) override;
  bool FinishInput(EngineMessage& message) override;
  void EndInput(uint32_t count, EngineMessage& message) override;
  void CloseInput(EngineMessage& message) override;
  double InputLatencySeconds() const override;

  // A sample type the callback could not move, or a reset or buffer-size
  // change the driver asked for while the side ran.
  bool DriverFault(EngineMessage& message) override { return PendingError(message); }

  bool SupportsFramePlay() const override { return false; }
  bool OpenFrame(int32_t, const WaveFormat&, const DriverOptions&, AutoResetEvent&, uint8_t*,
                 uint32_t, EngineMessage& message) override;
  bool SubmitFrame(EngineMessage&) override { return false; }
  bool RestartFrame(EngineMessage&) override { return false; }
  bool CloseFrame(EngineMessage&) override { return true; }

  // The format list: opens the driver on the direction's side; each try
  // checks the width against the first channel's sample type and asks the
  // driver for the rate. Null when the driver cannot be opened or a side is in
  // use (a running stream keeps its driver).
  std::unique_ptr<FormatTrier> CreateFormatTrier(int32_t id, bool input,
                                                 const DriverOptions& options) override;
  // The answer for one format on the side the trier opened.
  ProbeAnswer TryFormat(const WaveFormat& f);

  void SelectFirstChannel(bool input, int32_t channel) override;
  bool AttachRing(bool input, uint8_t* ring, uint64_t ringBytes, uint32_t bufBytes,
                  EngineMessage& message) override;

  // ---- For the setup dialog and the tools (main thread, family stopped).
  // Opens driver `index` on one side, runs the control panel, releases it.
  bool ShowControlPanel(int32_t index, bool input, EngineMessage& message) override;
  // Opens and releases driver `index`: true when it could be opened.
  bool TestDriver(int32_t index, bool input, EngineMessage& message) override;
  // Channel counts (0 when negative) and names of the last opened driver.
  int32_t InputChannels() const override { return inputs_ > 0 ? inputs_ : 0; }
  int32_t OutputChannels() const override { return outputs_ > 0 ? outputs_ : 0; }
  std::string ChannelName(uint32_t index) const override;
  double SampleRate() const { return rate_; }
  // Switches the driver's direct input monitoring; true when it answered success.
  bool SetDirectMonitor(int32_t index, bool on, EngineMessage& message) override;
  // The information text of driver `index` for the side and first channel,
  // prepared for `format`'s rate; false with the reason in `message`.
  bool Information(int32_t index, int32_t channel, bool input, const WaveFormat& format,
                   std::string& text, EngineMessage& message) override;

  // The last callback's time record as doubles, and the message requests
  // (bit n for selector n + 2). A reset request or a buffer size change while
  // a side runs ends that run with its reason (the next start opens the
  // driver afresh and reads its new sizes); the others are only recorded.
  double LastSamplePosition() const { return samplePosition_; }
  uint32_t RequestFlags() const { return requestFlags_.load(); }
  // Processor time the callbacks used, in microseconds, and their number.
  uint64_t CallbackCount() const { return callbacks_.load(); }

 private:
  enum class Side { None, Output, Input };
  bool OpenSide(int32_t index, Side side, EngineMessage& message);
  bool ReadDriverCaps();
  bool Prepare(bool input, bool informationOnly, const WaveFormat& f, EngineMessage& message);
  void Release();
  bool PendingError(EngineMessage& message) const;
  bool StartDriver(EngineMessage& message);
  void StopDriver();

  static void BufferSwitch(int32_t index, int32_t directProcess);
  static void SampleRateDidChange(double rate);
  static int32_t AsioMessage(int32_t selector, int32_t value, void* message, double* opt);
  static asio::Time* BufferSwitchTimeInfo(asio::Time* params, int32_t index, int32_t direct);
  void OnBufferSwitch(const asio::Time* params, int32_t index);
  // Marks every ring buffer the input has filled since the last call
  // (callback thread, or the stopped driver's).
  void MarkFilledInputs();

  std::unique_ptr<asio::AsioRegistry> registry_;
  std::unique_ptr<asio::AsioHost> host_;
  std::string names_[10];
  uint32_t nameCount_ = 0;
  Side side_ = Side::None;
  int32_t openedIndex_ = -1;
  int32_t firstChannel_[2] = {0, 0};  // output, input
  WaveFormat format_{};
  DriverOptions options_{};
  AutoResetEvent* done_ = nullptr;

  asio::DriverInfo info_;
  int32_t inputs_ = 0, outputs_ = 0;
  int32_t bufMin_ = 0, bufMax_ = 0, bufPreferred_ = 0, bufGranularity_ = 0;
  double rate_ = 0;
  bool postOutput_ = false;
  int32_t inputLatency_ = 0, outputLatency_ = 0;
  asio::ChannelInfo channelInfo_[asio::kMaxChannels] = {};
  int32_t channelInfoCount_ = 0;
  int32_t driverBits_ = 0;
  asio::BufferInfo bufferInfo_[asio::kMaxChannels] = {};
  int32_t bufferCount_ = 0;
  bool buffersCreated_ = false;
  bool started_ = false;
  bool zeroBeforeStart_ = true;
  asio::Callbacks callbacksRecord_{};

  // Written by the callback thread.
  asio::TransferSet transfer_;
  std::atomic<int32_t> unsupportedType_{0};
  std::atomic<uint32_t> requestFlags_{0};
  // Requests of the message callback that end the running side (kResetAsked,
  // kBufferSizeAsked): its buffers no longer match what the driver uses.
  std::atomic<uint32_t> runFault_{0};
  std::atomic<uint64_t> callbacks_{0};
  std::atomic<uint64_t> playFrames_{0};
  std::atomic<uint32_t> lastCallbackTick_{0};
  // The input's done marks: a ring buffer is done when it has been filled as
  // often as the pump queued it; `inFilled_` holds its bytes (less than a
  // buffer for the one a finished recording ends in). Counters written by the
  // callback thread, or by the pump once the driver is stopped.
  std::atomic<uint32_t> inQueued_[kMaxBuffers] = {};
  std::atomic<uint32_t> inDone_[kMaxBuffers] = {};
  std::atomic<uint32_t> inFilled_[kMaxBuffers] = {};
  uint32_t inRingCount_ = 0;
  uint64_t inPassed_ = 0;    // ring buffers filled since the start
  uint64_t inNextMark_ = 0;  // input bytes at which the next one is full
  double samplePosition_ = 0, systemTime_ = 0, timeCode_ = 0;
};

}  // namespace ov
