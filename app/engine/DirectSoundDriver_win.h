// Driver type 1: DirectSound. Playback goes through a secondary buffer and
// recording through a capture buffer; each is a loop of two equal halves with
// a position notification at the end of each half. One transfer thread per
// direction wakes on these notifications and moves the half just passed
// between the device buffer and the engine's ring (RingTransfer), marking
// every ring buffer it passes done and signalling the engine's event.
//
// Threads and lifetimes:
// - The main thread checks the devices, opens, prepares and closes. Prepare
//   creates the device buffer and starts the transfer thread, and returns
//   only once that thread runs or has failed (its failure is the prepare's).
//   Close ends the transfer thread (it never waits on the main thread, so the
//   join cannot deadlock) and releases the objects.
// - The pump threads submit/queue (which only counts), start, reset, pause and
//   read the position; the transfer thread copies. The copies, the start's two
//   priming copies and the reset of the cursors are serialised by one mutex
//   per direction: a notification that arrives while the pump re-primes must
//   not move a half with stale cursors. The pump never waits on the transfer
//   thread otherwise.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "app/engine/AudioDriver.h"
#include "app/engine/DirectSoundApi_win.h"
#include "app/engine/DirectSoundTransfer.h"

namespace ov {

class DirectSoundDriver : public AudioDriver {
 public:
  explicit DirectSoundDriver(std::unique_ptr<DsSystem> system);
  ~DirectSoundDriver() override;
  DirectSoundDriver(const DirectSoundDriver&) = delete;
  DirectSoundDriver& operator=(const DirectSoundDriver&) = delete;

  DeviceCheck CheckDevices() override;
  bool NeedsDirectX() const override { return true; }
  uint32_t DeviceCount(bool input) override;
  std::string DeviceName(uint32_t number, bool input) override;

  // `id` is the device number minus 1 (-1: number 0, the default device).
  bool OpenOutput(int32_t id, const WaveFormat& f, const DriverOptions& o, AutoResetEvent& done,
                  EngineMessage& message) override;
  bool OutputOpen() const override { return out_ != nullptr; }
  bool PrepareOutput(const RingLayout& ring, EngineMessage& message) override;
  int32_t OutputId() const override { return outputId_; }
  bool PauseOutput(EngineMessage& message) override;
  bool ResetOutput(EngineMessage& message) override;
  // Starts (after a preparation or a reset: the first two halves from the
  // ring, then looping play) or resumes the play buffer.
  bool RestartOutput(EngineMessage& message) override;
  bool HasDoneFlags() const override { return true; }
  bool OutputDone(uint32_t index) override { return play_.ring.Done(index); }
  bool SubmitOutput(uint32_t index, uint8_t* data, uint32_t bytes, EngineMessage& message) override;
  void DrainOutput(uint32_t count, EngineMessage& message) override;
  void CloseOutput(EngineMessage& message) override;
  bool OutputPosition(uint64_t& samples) override;
  void SetFullVolume() override;
  double OutputLatencySeconds() const override;

  bool ProbeInput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                  EngineMessage& message) override;
  bool OpenInput(int32_t id, const WaveFormat& f, const DriverOptions& o, AutoResetEvent& done,
                 EngineMessage& message) override;
  bool InputOpen() const override { return in_ != nullptr; }
  bool PrepareInput(const RingLayout& ring, EngineMessage& message) override;
  bool QueueInput(uint32_t index, uint8_t* data, uint32_t bytes, EngineMessage& message) override;
  bool StartInput(EngineMessage& message) override;
  bool StopInput(EngineMessage& message) override;
  bool InputDone(uint32_t index) override { return rec_.ring.Done(index); }
  uint32_t BytesRecorded(uint32_t index) override;
  void EndInput(uint32_t count, EngineMessage& message) override;
  void CloseInput(EngineMessage& message) override;
  double InputLatencySeconds() const override;

  // Opens the device of the direction; each try creates the device buffer
  // with the format. Null when the device cannot be opened or the side is in
  // use.
  std::unique_ptr<FormatTrier> CreateFormatTrier(int32_t id, bool input,
                                                 const DriverOptions& options) override;

  bool SupportsFramePlay() const override { return false; }
  bool OpenFrame(int32_t, const WaveFormat&, const DriverOptions&, AutoResetEvent&, uint8_t*,
                 uint32_t, EngineMessage& message) override;
  bool SubmitFrame(EngineMessage& message) override;
  bool RestartFrame(EngineMessage& message) override;
  bool CloseFrame(EngineMessage&) override { return true; }

  // For tests and measurements: the open buffers' geometry, and the processor
  // time (ms) each transfer thread used in its last run.
  const DsHalfGeometry& PlayGeometry() const { return play_.geometry; }
  const DsHalfGeometry& RecGeometry() const { return rec_.geometry; }
  double TransferCpuMs(bool input) const { return (input ? rec_ : play_).cpuMs.load(); }

  // The steps of the preparation, each returning the system's result code.
  HRESULT CreatePlayBuffer(const WaveFormat& f);
  HRESULT CreateCaptureBuffer(const WaveFormat& f);
  HRESULT RestorePlayBuffer();

 private:
  // What the two directions share: the notify event, the geometry, the
  // device cursor (where the next half is written or read), the transfer
  // state and the transfer thread.
  struct Direction {
    HANDLE notify = nullptr;  // auto-reset, set by the device at each half's end
    DsHalfGeometry geometry;
    uint32_t cursor = 0;
    RingTransfer ring;
    uint8_t silence = 0;
    WaveFormat format{};
    DriverOptions options;
    AutoResetEvent* done = nullptr;
    std::mutex mutex;
    std::thread thread;
    std::atomic<bool> terminate{false};
    std::atomic<int> state{0};  // 0 starting, 1 running, 2 ended
    bool stopped = false;       // capture: stopped, its tail taken (under the mutex)
    bool draining = false;      // play: the run's data is all in the device (under the mutex)
    EngineMessage threadMessage;
    std::atomic<double> cpuMs{0};
  };

  bool StartTransferThread(Direction& d, bool input, EngineMessage& message);
  void EndTransferThread(Direction& d);
  void PlayThreadMain();
  void RecThreadMain();
  void TransferOut();
  void TransferIn();
  // With the mutex held: copies `bytes` of the capture buffer at the device
  // cursor into the ring and advances; returns the ring buffers passed.
  uint32_t CopyCaptured(uint32_t bytes);
  bool LockAndFill(bool input, DWORD offset, DWORD bytes, uint8_t value);
  void ReleasePlaySide();
  void ReleaseRecSide();
  // Turns an open's device number into the table's index; false with a text
  // when the table has no such entry.
  bool TableIndex(int32_t id, bool input, uint32_t& index, EngineMessage& message);
  HWND CooperativeWindow(const DriverOptions& o);

  std::unique_ptr<DsSystem> system_;
  DsDeviceTable outputs_, inputs_;
  std::unique_ptr<DsOutputDevice> out_;
  std::unique_ptr<DsPlayBuffer> playBuffer_;
  std::unique_ptr<DsInputDevice> in_;
  std::unique_ptr<DsCaptureBuffer> captureBuffer_;
  DSCAPS outCaps_{};
  DSCCAPS inCaps_{};
  WAVEFORMATEX captureFormat_{};  // what the capture buffer reports
  int32_t outputId_ = -1;
  int32_t inputId_ = -1;
  HWND ownWindow_ = nullptr;  // a hidden window where there is no main window

  Direction play_, rec_;
  bool needsStart_ = true;  // the next restart primes both halves first
  DWORD lastPlayCursor_ = 0;
  uint64_t playedFrames_ = 0;
};

// The family with the running system's DirectSound.
std::unique_ptr<AudioDriver> CreateDirectSoundDriver();

}  // namespace ov
