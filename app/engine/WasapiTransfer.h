// The transfer state of one WASAPI stream direction: the ring buffers the
// pump has handed over, in order, and the copy step between them and the
// endpoint buffer. The pump submits (output) or queues (input) each ring
// buffer; the transfer thread converts from the oldest one into the endpoint
// buffer (or from the endpoint buffer into it) and, when a buffer has been
// used up, marks it done and signals the engine's event, exactly as a device
// that takes the ring buffers itself would.
//
// Threads: Submit/Queue and Done run on the pump thread, Render/Capture on the
// transfer thread (one producer, one consumer, no locks). Clear, FinishPartial
// and Configure run only while the transfer thread does not transfer (the
// stream is stopped and the driver has waited for the thread to be idle).
#pragma once

#include <atomic>
#include <cstdint>

#include "app/engine/EnginePlatform.h"
#include "app/engine/EngineTypes.h"
#include "app/engine/WasapiConvert.h"

namespace ov {

class WasapiTransfer {
 public:
  WasapiTransfer();
  WasapiTransfer(const WasapiTransfer&) = delete;
  WasapiTransfer& operator=(const WasapiTransfer&) = delete;

  // output: the direction; done: the engine's event for a used-up buffer.
  void Configure(const WasapiSampleLayout& layout, bool output, AutoResetEvent* done);
  const WasapiSampleLayout& Layout() const { return layout_; }
  uint32_t DeviceFrameBytes() const { return deviceFrameBytes_; }
  uint32_t RingFrameBytes() const { return ringFrameBytes_; }

  // Forgets every handed-over buffer, marking each done; counters to 0.
  void Clear();
  // Marks every buffer done without touching the hand-over (any thread): after
  // a transfer failure the pump must not wait for buffers that never finish.
  void MarkAllDone();
  // Hands ring buffer `index` (`bytes` of it) to the stream. False when more
  // buffers are outstanding than the ring has (a pump fault).
  bool Submit(uint32_t index, uint8_t* data, uint32_t bytes);
  bool Done(uint32_t index) const { return done_[index % kMaxBuffers].load(); }
  // Input: the bytes written into buffer `index` by the time it was done.
  uint32_t BytesRecorded(uint32_t index) const { return bytes_[index % kMaxBuffers].load(); }

  // Output: fills `frames` endpoint frames, converting from the handed-over
  // buffers and completing with silence when none is left. Returns the ring
  // frames taken.
  uint32_t Render(uint8_t* device, uint32_t frames);
  // Input: converts `frames` endpoint frames into the queued buffers. Returns
  // the frames that found no buffer (lost).
  uint32_t Capture(const uint8_t* device, uint32_t frames);
  // Input, after the stream stopped: a partly filled oldest buffer is marked
  // done with the bytes it holds (so a stop keeps the captured tail).
  void FinishPartial();

  // Ring frames moved since the last Clear.
  uint64_t FramesTransferred() const { return frames_.load(); }

 private:
  struct Entry {
    uint32_t index;
    uint8_t* data;
    uint32_t bytes;
  };
  static constexpr uint32_t kSlots = kMaxBuffers + 1;

  void CompleteFront(uint32_t bytes);

  WasapiSampleLayout layout_;
  bool output_ = true;
  AutoResetEvent* event_ = nullptr;
  uint32_t ringFrameBytes_ = 4, deviceFrameBytes_ = 4;
  Entry queue_[kSlots]{};
  std::atomic<uint32_t> head_{0}, tail_{0};  // consumer / producer positions
  uint32_t frontUsed_ = 0;                   // bytes of the oldest entry already moved
  std::atomic<bool> done_[kMaxBuffers];
  std::atomic<uint32_t> bytes_[kMaxBuffers];
  std::atomic<uint64_t> frames_{0};
};

}  // namespace ov
