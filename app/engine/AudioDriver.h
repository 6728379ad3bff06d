// The seam between the engine and one driver family. The engine always works
// on its own ring of equal buffers; a family either hands those buffers to the
// system (waveform audio) or copies between them and the device's own buffer.
// Either way it signals the engine's play event once per consumed buffer and
// the record event once per filled buffer, so the pumps are the same for all.
//
// Threads: device checks, opens, closes and the frame play run on the main
// thread; Submit/Queue/Start/Reset and the position run on the pump threads
// while the main thread only pauses and resumes. A family never allocates,
// locks or blocks inside Submit or Queue.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/common/WaveFormat.h"
#include "app/engine/EnginePlatform.h"
#include "app/engine/FormatProbe.h"
#include "app/wavefile/WaveFileParse.h"

namespace ov {

// The engine's message text: a fixed buffer, so pump threads may set it.
using EngineMessage = ReaderMessage;

struct DeviceCheck {
  uint32_t outputs = 0;
  uint32_t inputs = 0;
  std::string message;    // empty when both directions have devices
  bool unusable = false;  // the family cannot be used at all
};

struct DriverOptions {
  bool useExtensible = false;  // hand the device an extensible format record
  bool useDirect = false;      // ask for the format without conversion
  bool monoAsStereo = false;   // play a mono format on two output channels
  // DirectSound: the length of one half of the device buffer (0: 50 ms).
  int32_t dsPlayLatencyMs = 0;
  int32_t dsRecLatencyMs = 0;
  // Priority levels (1 lowest .. 5 highest) of a family's transfer threads.
  int playThreadPriority = 3;
  int recThreadPriority = 3;
  // The main window (a Windows HWND); null where there is none.
  void* ownerWindow = nullptr;
  // WASAPI: the requested buffer length (ms, 1..200) and event- or
  // timer-driven transfers.
  int32_t wasapiLatencyMs = 20;
  bool wasapiEventMode = true;
};

// The engine's ring as laid out for a run, for families that copy between it
// and a device buffer of their own.
struct RingLayout {
  uint8_t* data = nullptr;
  uint32_t count = 0;     // buffers
  uint32_t bufBytes = 0;  // bytes per buffer
  uint8_t silence = 0;    // 0, or 128 for 8-bit samples
};

class AvrtBinding;

class AudioDriver {
 public:
  virtual ~AudioDriver() = default;

  virtual DeviceCheck CheckDevices() = 0;
  // True for a family that needs DirectX 7 or later; the engine's own probe
  // decides before the family is asked for its devices.
  virtual bool NeedsDirectX() const { return false; }
  virtual uint32_t DeviceCount(bool input) = 0;
  // UTF-8; device number 0 is the family's default (the mapper for MME).
  virtual std::string DeviceName(uint32_t number, bool input) = 0;

  // --- Output. `id` is the system's identifier (-1: the mapper). On failure
  // the reason is left in `message`.
  virtual bool OpenOutput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                          AutoResetEvent& done, EngineMessage& message) = 0;
  virtual bool OutputOpen() const = 0;
  // After the ring is laid out (the output open): families with a device
  // buffer of their own create it and start their transfer thread.
  virtual bool PrepareOutput(const RingLayout&, EngineMessage&) { return true; }
  // The identifier the system reports for the open output.
  virtual int32_t OutputId() const = 0;
  virtual bool PauseOutput(EngineMessage& message) = 0;
  virtual bool ResetOutput(EngineMessage& message) = 0;
  virtual bool RestartOutput(EngineMessage& message) = 0;
  // True when the family marks each buffer done (waveform audio's WHDR_DONE).
  // The pumps then follow the marks, as an auto-reset event signalled twice
  // before the pump waits wakes it only once; other families signal their
  // events from their own copy step, exactly once per buffer.
  virtual bool HasDoneFlags() const = 0;
  // With done flags: true when output buffer `index` has been played.
  virtual bool OutputDone(uint32_t index) = 0;
  // Hands ring buffer `index` (bytes of data) to the device.
  virtual bool SubmitOutput(uint32_t index, uint8_t* data, uint32_t bytes,
                            EngineMessage& message) = 0;
  // Returns every submitted buffer and releases the first `count` headers.
  virtual void DrainOutput(uint32_t count, EngineMessage& message) = 0;
  virtual void CloseOutput(EngineMessage& message) = 0;
  // Samples played so far, as the device counts them; false when unknown.
  virtual bool OutputPosition(uint64_t& samples) = 0;
  virtual void SetFullVolume() = 0;
  // The device's own output latency in seconds (for the automatic correction).
  virtual double OutputLatencySeconds() const = 0;

  // A failure the device met on a thread of its own since the side was
  // prepared (a buffer type it cannot move, a reset it asked for): its text
  // goes into `message` when that is still empty, and the result is true.
  // The pumps ask after every completed buffer, so the run ends there.
  virtual bool DriverFault(EngineMessage& /*message*/) { return false; }

  // --- Input.
  // Opens the input once with the format and closes it again.
  virtual bool ProbeInput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                          EngineMessage& message) = 0;
  virtual bool OpenInput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                         AutoResetEvent& done, EngineMessage& message) = 0;
  virtual bool InputOpen() const = 0;
  virtual bool PrepareInput(const RingLayout&, EngineMessage&) { return true; }
  virtual bool QueueInput(uint32_t index, uint8_t* data, uint32_t bytes,
                          EngineMessage& message) = 0;
  virtual bool StartInput(EngineMessage& message) = 0;
  virtual bool StopInput(EngineMessage& message) = 0;
  // True when buffer `index` has been filled by the device.
  virtual bool InputDone(uint32_t index) = 0;
  // Bytes the device put into buffer `index`.
  virtual uint32_t BytesRecorded(uint32_t index) = 0;
  // Stops the input at the end of a recording and marks the partly filled
  // buffer done with the bytes it holds. False when the family keeps no done
  // marks for its input, so that the captured tail cannot be told from older
  // ring contents.
  virtual bool FinishInput(EngineMessage& message) {
    StopInput(message);
    return HasDoneFlags();
  }
  // Stops the input, returns every queued buffer and releases `count` headers.
  virtual void EndInput(uint32_t count, EngineMessage& message) = 0;
  virtual void CloseInput(EngineMessage& message) = 0;
  virtual double InputLatencySeconds() const = 0;

  // --- Frame play: a second output playing one caller-owned block.
  virtual bool SupportsFramePlay() const = 0;
  virtual bool OpenFrame(int32_t id, const WaveFormat& f, const DriverOptions& o,
                         AutoResetEvent& done, uint8_t* data, uint32_t bytes,
                         EngineMessage& message) = 0;
  // Submits the block and restarts the frame output; the caller resets the
  // event between the two.
  virtual bool SubmitFrame(EngineMessage& message) = 0;
  virtual bool RestartFrame(EngineMessage& message) = 0;
  // Resets, releases and closes the frame output; false when any step failed.
  virtual bool CloseFrame(EngineMessage& message) = 0;

  // The information text of one device for the setup dialog, after a trial
  // preparation with the format (WASAPI); empty for families without one.
  // detailed: add the endpoint volume.
  virtual std::string DeviceInfo(uint32_t /*number*/, bool /*input*/, const WaveFormat&,
                                 const DriverOptions&, bool /*detailed*/) {
    return {};
  }

  // --- Format probe: opens what the family needs to ask device `id` (the
  // system's identifier, -1 the default) about formats of one direction. Null
  // when the device cannot be opened: the grid then stays "    -". The trier
  // releases what it opened when it is destroyed.
  virtual std::unique_ptr<FormatTrier> CreateFormatTrier(int32_t /*id*/, bool /*input*/,
                                                         const DriverOptions& /*options*/) {
    return nullptr;
  }

  // --- Families that copy between the ring and buffers of their own.
  // The first device channel to use (ASIO), set before the side is opened.
  virtual void SelectFirstChannel(bool /*input*/, int32_t /*channel*/) {}
  // Called once the side's ring is laid out (after the open): the family
  // keeps its address and prepares its own buffers. False leaves the reason.
  virtual bool AttachRing(bool /*input*/, uint8_t* /*ring*/, uint64_t /*ringBytes*/,
                          uint32_t /*bufBytes*/, EngineMessage& /*message*/) {
    return true;
  }
};

// The family for a driver type (0 waveform audio, 1 DirectSound, 2 ASIO,
// 3 WASAPI). Families not built into this program report themselves unusable.
// mmcss: the engine's scheduler binding, which the WASAPI transfer threads use.
std::unique_ptr<AudioDriver> CreateAudioDriver(int32_t driverType,
                                               const AvrtBinding* mmcss = nullptr);

// The format record handed to a device: with `useExtensible` a record that is
// not yet extensible becomes one (tag 0xFFFE, 22 extra bytes, valid bits =
// bits, the first `channels` speaker positions, PCM or float sub-format); an
// extensible record with valid bits 0 gets valid bits = bits.
WaveFormat DeviceFormat(const WaveFormat& f, bool useExtensible);

}  // namespace ov
