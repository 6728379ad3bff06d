#include "app/engine/DirectSoundTransfer.h"

#include <cstring>

namespace ov {

DsHalfGeometry DsGeometry(int32_t latencyMs, uint32_t rate, uint32_t blockAlign) {
  const double seconds = latencyMs > 0 ? latencyMs * 0.001 : 0.05;
  DsHalfGeometry g;
  g.halfBytes = static_cast<uint32_t>(rate * seconds) * blockAlign;
  g.bufferBytes = 2 * g.halfBytes;
  if (g.halfBytes) {
    g.notify[0] = g.halfBytes - 1;
    g.notify[1] = g.bufferBytes - 1;
  }
  return g;
}

double DsHalfSeconds(const DsHalfGeometry& g, uint32_t rate, uint32_t blockAlign) {
  if (!rate || !blockAlign) return 0;
  return static_cast<double>(g.halfBytes / blockAlign) / rate;
}

// ---------------------------------------------------------------- device tables

std::string CutUtf8(const std::string& s, uint32_t maxChars) {
  uint32_t chars = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    // A character starts at every byte that is not a continuation byte.
    if ((static_cast<uint8_t>(s[i]) & 0xC0) != 0x80) {
      if (chars == maxChars) return s.substr(0, i);
      ++chars;
    }
  }
  return s;
}

bool DsDeviceTable::Add(const uint8_t* guid, const std::string& description) {
  if (count_ >= kMaxEntries) return false;
  Entry& e = entries_[count_++];
  e.hasGuid = guid != nullptr;
  if (guid) {
    std::memcpy(e.guid, guid, sizeof e.guid);
  } else {
    std::memset(e.guid, 0, sizeof e.guid);
  }
  e.description = CutUtf8(description, kMaxDescription);
  return count_ < kMaxEntries;
}

std::string DsDeviceTable::Description(uint32_t index) const {
  if (index >= count_) return {};
  return entries_[index].description;
}

// ---------------------------------------------------------------- transfer

void RingTransfer::Layout(uint8_t* ring, uint32_t count, uint32_t bufBytes, uint32_t blockAlign) {
  ring_ = ring;
  count_ = count < kMaxBuffers ? count : kMaxBuffers;
  bufBytes_ = bufBytes;
  ringBytes_ = static_cast<uint64_t>(count_) * bufBytes;
  align_ = blockAlign ? blockAlign : 1;
  Rewind();
}

void RingTransfer::Rewind() {
  cursor_ = 0;
  moved_ = 0;
  nextSignal_ = bufBytes_;
  passed_ = 0;
  for (auto& h : handed_) h = 0;
  for (auto& d : done_) d = 0;
  for (auto& f : filled_) f = 0;
}

uint32_t RingTransfer::CopyOut(uint8_t* dst, uint32_t bytes) {
  if (!ring_ || ringBytes_ == 0) return 0;
  uint32_t left = bytes;
  while (left) {
    const uint64_t room = ringBytes_ - cursor_;
    const uint32_t n = static_cast<uint32_t>(left < room ? left : room);
    std::memcpy(dst, ring_ + cursor_, n);
    dst += n;
    left -= n;
    cursor_ = (cursor_ + n) % ringBytes_;
  }
  return Advance(bytes);
}

uint32_t RingTransfer::CopyIn(const uint8_t* src, uint32_t bytes) {
  if (!ring_ || ringBytes_ == 0) return 0;
  uint32_t left = bytes;
  while (left) {
    const uint64_t room = ringBytes_ - cursor_;
    const uint32_t n = static_cast<uint32_t>(left < room ? left : room);
    std::memcpy(ring_ + cursor_, src, n);
    src += n;
    left -= n;
    cursor_ = (cursor_ + n) % ringBytes_;
  }
  return Advance(bytes);
}

uint32_t RingTransfer::Advance(uint32_t bytes) {
  // Counted in whole frames of the ring's format.
  const uint64_t moved = moved_.load() + bytes / align_ * align_;
  uint32_t passed = 0;
  while (bufBytes_ && moved >= nextSignal_) {
    nextSignal_ += bufBytes_;
    filled_[passed_ % count_] = bufBytes_;
    done_[passed_ % count_].fetch_add(1);
    ++passed_;
    ++passed;
  }
  moved_ = moved;
  return passed;
}

uint32_t RingTransfer::FinishPartial() {
  if (!ring_ || !bufBytes_) return 0;
  const uint64_t moved = moved_.load();
  const uint64_t start = nextSignal_ - bufBytes_;  // where the current buffer began
  if (moved <= start) return 0;
  const uint32_t slot = static_cast<uint32_t>(passed_ % count_);
  filled_[slot] = static_cast<uint32_t>(moved - start);
  done_[slot].fetch_add(1);
  ++passed_;
  nextSignal_ = moved + bufBytes_;
  cursor_ = static_cast<uint64_t>(passed_ % count_) * bufBytes_;
  return 1;
}

uint32_t RingTransfer::Filled(uint32_t index) const {
  return index < kMaxBuffers ? filled_[index].load() : 0;
}

void RingTransfer::Handed(uint32_t index) {
  if (index < kMaxBuffers) handed_[index].fetch_add(1);
}

bool RingTransfer::Done(uint32_t index) const {
  if (index >= kMaxBuffers) return true;
  return done_[index].load() >= handed_[index].load();
}

}  // namespace ov
