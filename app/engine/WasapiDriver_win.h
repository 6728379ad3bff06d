// Driver type 3: WASAPI endpoints in exclusive mode. The engine's ring stays
// the unit of work of the pumps; one transfer thread per direction
// (WAS_PlayThread, WAS_RecThread), registered with the multimedia class
// scheduler task "Pro Audio", moves samples between the ring buffers the pump
// hands over and the endpoint buffer, converting the sample width (and mono
// to stereo on output) on the way, and marks each ring buffer done and
// signals the engine's event when it has been used up.
//
// The production code calls the Core Audio interfaces themselves; where they
// come from is the one seam: the device enumerator is made by a factory, the
// system's (CoCreateInstance) or a test double's.
//
// Threads: the AudioDriver calls run on the main thread (checks, opens,
// closes, information) and on the pump threads (submit, queue, start, pause,
// reset, position); each transfer thread exists from its side's open until
// its close. A side is never opened twice at once; Pause/Reset/Drain first
// stop the transfer thread's access (it finishes the period it is in) and
// only then stop the client and touch the hand-over.
#pragma once

#include <windows.h>
#include <audioclient.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <atomic>
#include <functional>
#include <thread>

#include "app/engine/AudioDriver.h"
#include "app/engine/AvrtBinding.h"
#include "app/engine/WasapiTexts.h"
#include "app/engine/WasapiTransfer.h"

namespace ov {

using WasapiEnumeratorFactory = std::function<HRESULT(IMMDeviceEnumerator**)>;

// The system's device enumerator (CoCreateInstance, all contexts).
HRESULT CreateSystemEnumerator(IMMDeviceEnumerator** out);

class WasapiDriver : public AudioDriver {
 public:
  static constexpr uint32_t kMaxEndpoints = 30;
  static constexpr uint32_t kNameChars = 80;

  // mmcss: the engine's binding of "Avrt.dll" (null: the scheduler is missing).
  explicit WasapiDriver(const AvrtBinding* mmcss,
                        WasapiEnumeratorFactory factory = CreateSystemEnumerator);
  ~WasapiDriver() override;

  DeviceCheck CheckDevices() override;
  uint32_t DeviceCount(bool input) override;
  // The endpoint's friendly name; the device number is the table index.
  std::string DeviceName(uint32_t number, bool input) override;
  // Active endpoints the system reported, including those beyond the table.
  uint32_t ReportedCount(bool input) const { return input ? inCount_ : outCount_; }

  bool OpenOutput(int32_t id, const WaveFormat& f, const DriverOptions& o, AutoResetEvent& done,
                  EngineMessage& message) override;
  bool OutputOpen() const override { return out_.client != nullptr; }
  int32_t OutputId() const override { return static_cast<int32_t>(out_.index) - 1; }
  bool PauseOutput(EngineMessage& message) override;
  bool ResetOutput(EngineMessage& message) override;
  bool RestartOutput(EngineMessage& message) override;
  bool HasDoneFlags() const override { return true; }
  bool OutputDone(uint32_t index) override { return out_.transfer.Done(index); }
  bool SubmitOutput(uint32_t index, uint8_t* data, uint32_t bytes, EngineMessage& message) override;
  void DrainOutput(uint32_t count, EngineMessage& message) override;
  void CloseOutput(EngineMessage& message) override;
  bool OutputPosition(uint64_t& samples) override;
  void SetFullVolume() override {}
  double OutputLatencySeconds() const override { return out_.latency * 1e-7; }

  bool ProbeInput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                  EngineMessage& message) override;
  bool OpenInput(int32_t id, const WaveFormat& f, const DriverOptions& o, AutoResetEvent& done,
                 EngineMessage& message) override;
  bool InputOpen() const override { return in_.client != nullptr; }
  bool QueueInput(uint32_t index, uint8_t* data, uint32_t bytes, EngineMessage& message) override;
  bool StartInput(EngineMessage& message) override;
  bool StopInput(EngineMessage& message) override;
  bool InputDone(uint32_t index) override { return in_.transfer.Done(index); }
  uint32_t BytesRecorded(uint32_t index) override { return in_.transfer.BytesRecorded(index); }
  void EndInput(uint32_t count, EngineMessage& message) override;
  void CloseInput(EngineMessage& message) override;
  double InputLatencySeconds() const override { return in_.latency * 1e-7; }

  // Frame play is a waveform-audio feature.
  bool SupportsFramePlay() const override { return false; }
  bool OpenFrame(int32_t, const WaveFormat&, const DriverOptions&, AutoResetEvent&, uint8_t*,
                 uint32_t, EngineMessage&) override {
    return false;
  }
  bool SubmitFrame(EngineMessage&) override { return false; }
  bool RestartFrame(EngineMessage&) override { return false; }
  bool CloseFrame(EngineMessage&) override { return true; }

  // ShowWasapiInfo: opens the endpoint, runs the preparation of that
  // direction, releases it again and returns the information text.
  std::string DeviceInfo(uint32_t number, bool input, const WaveFormat& f, const DriverOptions& o,
                         bool detailed) override;

  // The format list: a side of its own on endpoint `id` (a running stream is
  // left alone); each try asks the endpoint about one format in exclusive
  // mode, by IsFormatSupported (query) or by a real 10 ms Initialize with the
  // alignment retry (capture also starts and stops the stream). Null when the
  // endpoint cannot be opened.
  std::unique_ptr<FormatTrier> CreateFormatTrier(int32_t id, bool input,
                                                 const DriverOptions& options) override;

  // What the last preparation of a side negotiated (tests, information).
  const WaveFormat& DeviceFormatOf(bool input) const {
    return input ? in_.deviceFormat : out_.deviceFormat;
  }
  uint32_t BufferFramesOf(bool input) const { return input ? in_.bufferFrames : out_.bufferFrames; }
  // Processor time (ms) the last transfer thread of a side used.
  double TransferCpuMs(bool input) const { return input ? in_.cpuMs.load() : out_.cpuMs.load(); }

 private:
  friend class WasapiFormatTrier;
  struct Endpoint {
    wchar_t name[kNameChars + 1];
    wchar_t id[256];
  };
  // One direction's interfaces, stream values and transfer thread.
  struct Side {
    bool output = true;
    uint32_t index = 0;  // table index of the open endpoint
    IMMDevice* device = nullptr;
    IAudioClient* client = nullptr;
    IAudioEndpointVolume* volume = nullptr;
    IAudioClock* clock = nullptr;
    IAudioRenderClient* render = nullptr;
    IAudioCaptureClient* capture = nullptr;
    REFERENCE_TIME defaultPeriod = 0, minPeriod = 0, duration = 0, latency = 0;
    int32_t channelCount = 0;  // -2: the endpoint volume was not obtained
    UINT32 bufferFrames = 0;
    uint32_t latencyMs = 0;
    WaveFormat deviceFormat{};
    bool eventMode = true;
    int priority = 3;
    WasapiTransfer transfer;
    HANDLE event = nullptr;  // WasPlayEvent / WasRecEvent (auto-reset)
    EngineMessage* message = nullptr;
    AutoResetEvent* done = nullptr;
    std::thread thread;
    std::atomic<bool> terminate{false}, running{false}, threadEnded{false};
    // The transfer thread may move samples (the client runs) / is doing so.
    std::atomic<bool> open{false}, busy{false};
    std::atomic<bool> failed{false};
    bool started = false;                 // Start called and not stopped
    bool needsPrime = true;               // output: the next start pre-fills the endpoint buffer
    bool firstStart = true;               // output: the first start pre-fills silence
    std::atomic<int64_t> lastCounter{0};  // the clock's counter at the last transfer
    std::atomic<double> cpuMs{0};
  };

  bool OpenSide(Side& s, int32_t id, EngineMessage& message);
  bool ActivateClient(Side& s);
  bool InitStream(Side& s, const WaveFormat& f, const DriverOptions& o, EngineMessage& message);
  bool StartThread(Side& s, EngineMessage& message);
  void ReleaseSide(Side& s);
  void StopTransfers(Side& s);
  bool StopClient(Side& s, const char* failure, EngineMessage& message);
  void FailTransfer(Side& s, const char* text);
  void PlayThreadMain();
  void RecThreadMain();
  void RenderPeriod(Side& s, BYTE* data, UINT32 frames);
  bool CapturePackets(Side& s);
  void NoteClock(Side& s);
  void EnumerateEndpoints(EDataFlow flow, Endpoint* table, uint32_t& count);

  const AvrtBinding* mmcss_;
  WasapiEnumeratorFactory factory_;
  bool comInitialized_ = false;
  IMMDeviceEnumerator* enumerator_ = nullptr;
  Endpoint outTable_[kMaxEndpoints]{}, inTable_[kMaxEndpoints]{};
  uint32_t outCount_ = 0, inCount_ = 0;
  Side out_, in_;
};

}  // namespace ov
