#include "app/engine/WasapiTransfer.h"

#include <cstring>

namespace ov {

WasapiTransfer::WasapiTransfer() {
  for (auto& d : done_) d.store(true);
  for (auto& b : bytes_) b.store(0);
}

void WasapiTransfer::Configure(const WasapiSampleLayout& layout, bool output,
                               AutoResetEvent* done) {
  layout_ = layout;
  output_ = output;
  event_ = done;
  ringFrameBytes_ = ov::RingFrameBytes(layout);
  deviceFrameBytes_ = ov::DeviceFrameBytes(layout, output);
  if (ringFrameBytes_ == 0) ringFrameBytes_ = 1;
  Clear();
}

void WasapiTransfer::Clear() {
  head_.store(0);
  tail_.store(0);
  frontUsed_ = 0;
  for (auto& d : done_) d.store(true);
  frames_.store(0);
}

void WasapiTransfer::MarkAllDone() {
  for (auto& d : done_) d.store(true);
}

bool WasapiTransfer::Submit(uint32_t index, uint8_t* data, uint32_t bytes) {
  const uint32_t tail = tail_.load(std::memory_order_relaxed);
  const uint32_t next = (tail + 1) % kSlots;
  if (next == head_.load(std::memory_order_acquire)) return false;
  // Whole frames only: a partial frame would shift every later sample.
  queue_[tail] = {index, data, bytes - bytes % ringFrameBytes_};
  bytes_[index % kMaxBuffers].store(0);
  done_[index % kMaxBuffers].store(false);
  tail_.store(next, std::memory_order_release);
  return true;
}

void WasapiTransfer::CompleteFront(uint32_t bytes) {
  const uint32_t head = head_.load(std::memory_order_relaxed);
  const uint32_t index = queue_[head].index % kMaxBuffers;
  frontUsed_ = 0;
  head_.store((head + 1) % kSlots, std::memory_order_release);
  bytes_[index].store(bytes);
  done_[index].store(true);
  if (event_) event_->Set();
}

uint32_t WasapiTransfer::Render(uint8_t* device, uint32_t frames) {
  uint32_t taken = 0;
  while (taken < frames) {
    const uint32_t head = head_.load(std::memory_order_relaxed);
    if (head == tail_.load(std::memory_order_acquire)) break;
    const Entry& e = queue_[head];
    const uint32_t available = (e.bytes - frontUsed_) / ringFrameBytes_;
    uint32_t n = frames - taken;
    if (n > available) n = available;
    if (n) {
      ConvertOut(layout_, e.data + frontUsed_, n, device + size_t{taken} * deviceFrameBytes_);
      frontUsed_ += n * ringFrameBytes_;
      taken += n;
    }
    if (frontUsed_ >= e.bytes) CompleteFront(e.bytes);
  }
  if (taken < frames) {
    std::memset(device + size_t{taken} * deviceFrameBytes_, 0,
                size_t{frames - taken} * deviceFrameBytes_);
  }
  frames_.fetch_add(taken);
  return taken;
}

uint32_t WasapiTransfer::Capture(const uint8_t* device, uint32_t frames) {
  uint32_t moved = 0;
  while (moved < frames) {
    const uint32_t head = head_.load(std::memory_order_relaxed);
    if (head == tail_.load(std::memory_order_acquire)) break;
    const Entry& e = queue_[head];
    const uint32_t room = (e.bytes - frontUsed_) / ringFrameBytes_;
    uint32_t n = frames - moved;
    if (n > room) n = room;
    if (n) {
      ConvertIn(layout_, device + size_t{moved} * deviceFrameBytes_, n, e.data + frontUsed_);
      frontUsed_ += n * ringFrameBytes_;
      moved += n;
    }
    if (frontUsed_ >= e.bytes) CompleteFront(e.bytes);
  }
  frames_.fetch_add(moved);
  return frames - moved;
}

void WasapiTransfer::FinishPartial() {
  const uint32_t head = head_.load();
  if (head == tail_.load() || frontUsed_ == 0) return;
  CompleteFront(frontUsed_);
}

}  // namespace ov
