// The copy step of the ASIO family: on every buffer switch the driver's
// channel buffers (one half of each) are converted into or out of the engine's
// interleaved ring, and the ring cursor and the frame count advance; each time
// one ring buffer's worth of frames has passed, the direction's event is due.
//
// Threads: Transfer and Account run on the driver's callback thread only; the
// set is laid out by the main thread before the driver starts and is not
// changed while it runs. Nothing here allocates, locks or blocks.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/engine/AsioTypes.h"

namespace ov::asio {

// At most this many channels are used per direction.
constexpr uint32_t kMaxChannels = 32;

// --- One sample. Ring samples are 8-bit unsigned, 16/24/32-bit signed or
// 32-bit float; driver samples are signed integers.
// A 24- or 32-bit driver sample (scaled to 32 bits) as 16 bits: the upper half
// after a small push away from zero, unless that would overflow.
int16_t Int32To16(int32_t v);
inline int16_t Int24To16(int32_t s24) {
  return Int32To16(static_cast<int32_t>(static_cast<uint32_t>(s24) << 8));
}
inline float Int32ToFloat(int32_t s32) {
  return static_cast<float>(s32 * (1.0 / 2147483648.0));
}
inline float Int24ToFloat(int32_t s24) {
  return Int32ToFloat(static_cast<int32_t>(static_cast<uint32_t>(s24) << 8));
}
// A float sample (full scale +-1) as 24 bits, truncated and kept in range.
int32_t FloatTo24(float f);

// Sign-extended 24-bit little-endian sample and its store.
inline int32_t Load24(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 8 | static_cast<uint32_t>(p[1]) << 16 |
                              static_cast<uint32_t>(p[2]) << 24) >>
         8;
}
inline void Store24(uint8_t* p, int32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
}

// The ring side of one direction.
struct RingSide {
  uint8_t* start = nullptr;
  uint8_t* end = nullptr;
  uint8_t* cursor = nullptr;
  uint32_t channels = 0;
  int32_t bits = 0;  // 8, 16, 24, 32, or -32 for float
  uint32_t blockAlign = 0;
  uint64_t frames = 0;     // frames moved since the start
  uint64_t threshold = 0;  // bytes at which the next event is due
  uint32_t step = 0;       // bytes of one ring buffer
  bool running = false;

  // Points the side at a ring and clears the cursor and the counters.
  void Attach(uint8_t* ring, uint64_t ringBytes, uint32_t ringChannels, int32_t ringBits,
              uint32_t align, uint32_t bufBytes);
  void Rewind();
};

// A channel in use: its buffer halves, type and place in the ring frame.
struct UsedChannel {
  bool input = false;
  int32_t type = 0;
  void* halves[2] = {nullptr, nullptr};
  uint32_t place = 0;  // sample index within the ring frame
};

struct TransferSet {
  UsedChannel channels[2 * kMaxChannels];
  uint32_t count = 0;
  uint32_t frames = 0;  // frames per buffer half (the driver's preferred size)
  RingSide in, out;
};

// Converts `frames` samples of one channel. Returns 0, or the type number to
// report as unsupported (-999 for a type the host does not know at all).
int32_t ConvertInput(const void* src, int32_t type, RingSide& ring, uint8_t* cursor, uint32_t place,
                     uint32_t frames);
int32_t ConvertOutput(void* dst, int32_t type, const RingSide& ring, const uint8_t* cursor,
                      uint32_t place, uint32_t frames);

// Copies buffer half `index` of every used channel (inputs first) and advances
// the cursors. Returns the last unsupported type met (0 when none).
int32_t Transfer(TransferSet& set, int32_t index);

// Adds one half's frames to a running side; true when its event is due (a
// ring buffer's worth has passed, or `failed`).
bool Account(RingSide& side, uint32_t frames, bool failed);

// Zeroes both halves of every used output channel.
void ZeroOutputs(TransferSet& set);

// The place in the ring frame of the channel `order` of its direction: a mono
// ring feeds every output channel from its one sample.
inline uint32_t PlaceInFrame(uint32_t order, uint32_t ringChannels) {
  return order < ringChannels ? order : (ringChannels ? ringChannels - 1 : 0);
}

}  // namespace ov::asio
