// The arithmetic of the DirectSound family, free of the system so that it is
// tested natively: the geometry of a device buffer made of two halves, the
// device tables, and the transfer between the engine's ring and one half.
//
// A DirectSound device buffer is a loop of two equal halves with a position
// notification at the end of each. On every notification the family's
// transfer thread moves one half between the device buffer and the engine's
// ring (RingTransfer) and counts the ring buffers that have passed; each
// passed buffer is marked done, and the engine's event is signalled.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "app/engine/EngineTypes.h"

namespace ov {

// ---------------------------------------------------------------- geometry

struct DsHalfGeometry {
  uint32_t halfBytes = 0;    // bytes per half: trunc(rate x seconds) x block align
  uint32_t bufferBytes = 0;  // the device buffer: two halves
  uint32_t notify[2] = {};   // notification offsets: the last byte of each half
};

// latencyMs: the DS_PlayLatency / DS_RecLatency setting (0: 50 ms).
DsHalfGeometry DsGeometry(int32_t latencyMs, uint32_t rate, uint32_t blockAlign);

// Seconds one half lasts (the device's latency for the automatic correction).
double DsHalfSeconds(const DsHalfGeometry& g, uint32_t rate, uint32_t blockAlign);

// ---------------------------------------------------------------- device tables

// One direction's devices as enumerated: entry 0 is the system's default
// device (no GUID); the settings' device number is the entry's index.
class DsDeviceTable {
 public:
  static constexpr uint32_t kMaxEntries = 30;
  static constexpr uint32_t kMaxDescription = 70;  // characters

  void Clear() { count_ = 0; }
  // Adds an entry (guid: 16 bytes, or null for none) with the description cut
  // to 70 characters. Returns false once the table is full: the enumeration
  // may stop there.
  bool Add(const uint8_t* guid, const std::string& utf8Description);

  uint32_t Count() const { return count_; }
  bool HasGuid(uint32_t index) const { return index < count_ && entries_[index].hasGuid; }
  const uint8_t* Guid(uint32_t index) const { return entries_[index].guid; }
  // Empty beyond the table.
  std::string Description(uint32_t index) const;

 private:
  struct Entry {
    bool hasGuid = false;
    uint8_t guid[16] = {};
    std::string description;
  };
  Entry entries_[kMaxEntries];
  uint32_t count_ = 0;
};

// The first `maxChars` characters (code points) of a UTF-8 text.
std::string CutUtf8(const std::string& utf8, uint32_t maxChars);

// ---------------------------------------------------------------- transfer

// The transfer state of one direction: the ring, its cursor, the bytes moved
// since the last rewind and the done marks of the ring's buffers.
//
// Threads: Copy* run on the transfer thread; Handed and Done on the pump
// thread; Layout and Rewind while the transfer thread is parked (the family
// serialises them with the copies). The done marks are atomics because the
// pump reads what the transfer thread writes.
class RingTransfer {
 public:
  // The ring: `count` buffers of `bufBytes` each; the cursor at its start.
  void Layout(uint8_t* ring, uint32_t count, uint32_t bufBytes, uint32_t blockAlign);
  // Cursor back to the ring's start, counters and marks cleared (re-prime).
  void Rewind();

  // Copies `bytes` from the ring at its cursor to dst (play), wrapping at the
  // ring's end, and advances. Returns the number of ring buffers that the
  // cursor passed: each is marked done.
  uint32_t CopyOut(uint8_t* dst, uint32_t bytes);
  // The twin for recording: copies src into the ring at its cursor.
  uint32_t CopyIn(const uint8_t* src, uint32_t bytes);

  // The pump handed buffer `index` to the device (submitted for playing or
  // queued for recording) once more.
  void Handed(uint32_t index);
  // True when buffer `index` has been passed as often as it was handed over:
  // its latest contents have been moved. A completion whose event merged with
  // an earlier one is thus never lost.
  bool Done(uint32_t index) const;
  // Bytes the latest pass over buffer `index` left in it: the whole buffer,
  // or less for a buffer finished early by FinishPartial.
  uint32_t Filled(uint32_t index) const;
  // Ends the buffer at the cursor where it stands (a stopped capture): a
  // buffer holding some bytes is marked done with that many bytes and the
  // cursor moves to the next buffer's start. Returns the buffers passed (0 or
  // 1).
  uint32_t FinishPartial();

  // Frames moved since the last rewind (the transfer's own count).
  uint64_t Frames() const { return moved_.load() / align_; }
  bool Empty() const { return ring_ == nullptr; }
  uint32_t BufBytes() const { return bufBytes_; }

 private:
  uint32_t Advance(uint32_t bytes);

  uint8_t* ring_ = nullptr;
  uint32_t count_ = 0;
  uint32_t bufBytes_ = 0;
  uint64_t ringBytes_ = 0;
  uint32_t align_ = 1;
  uint64_t cursor_ = 0;             // byte offset in the ring
  std::atomic<uint64_t> moved_{0};  // bytes moved since the last rewind
  uint64_t nextSignal_ = 0;         // moved bytes at which the next buffer is passed
  uint64_t passed_ = 0;             // ring buffers passed since the last rewind
  std::atomic<uint32_t> handed_[kMaxBuffers] = {};
  std::atomic<uint32_t> done_[kMaxBuffers] = {};
  std::atomic<uint32_t> filled_[kMaxBuffers] = {};
};

}  // namespace ov
