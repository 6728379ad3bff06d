#include "app/engine/AsioTransfer.h"

#include <cmath>
#include <cstring>

namespace ov::asio {
namespace {

uint32_t RingSampleBytes(int32_t bits) {
  switch (bits) {
    case 8:
      return 1;
    case 16:
      return 2;
    case 24:
      return 3;
    case 32:
    case -32:
      return 4;
    default:
      return 0;
  }
}

int16_t Load16(const uint8_t* p) {
  return static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8));
}
void Store16(uint8_t* p, int32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
int32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return static_cast<int32_t>(v);
}
void Store32(uint8_t* p, int32_t v) {
  std::memcpy(p, &v, 4);
}
float LoadFloat(const uint8_t* p) {
  float f;
  std::memcpy(&f, p, 4);
  return f;
}
void StoreFloat(uint8_t* p, float f) {
  std::memcpy(p, &f, 4);
}

// Walks the ring from `cursor` one frame per sample, wrapping at its end.
template <class F>
void ForEachFrame(const RingSide& ring, const uint8_t* cursor, uint32_t place, uint32_t frames,
                  F f) {
  const uint32_t offset = place * RingSampleBytes(ring.bits);
  const uint8_t* p = cursor;
  for (uint32_t i = 0; i < frames; ++i) {
    f(i, const_cast<uint8_t*>(p) + offset);
    p += ring.blockAlign;
    if (p >= ring.end) p = ring.start;
  }
}

}  // namespace

int16_t Int32To16(int32_t v) {
  const uint32_t upper = static_cast<uint32_t>(v) >> 16;
  int64_t r = v;
  if (v > 0 && upper != 0x7FFF) r += 4096;
  // Zero stays zero: digital silence must not come out as -1.
  if (v < 0 && upper != 0x8000) r -= 4096;
  return static_cast<int16_t>(static_cast<uint32_t>(static_cast<int32_t>(r)) >> 16);
}

int32_t FloatTo24(float f) {
  const double v = std::trunc(static_cast<double>(f) * 8388608.0);
  if (!(v == v)) return 0;  // NaN
  if (v > 8388607.0) return 8388607;
  if (v < -8388608.0) return -8388608;
  return static_cast<int32_t>(v);
}

void RingSide::Attach(uint8_t* ring, uint64_t ringBytes, uint32_t ringChannels, int32_t ringBits,
                      uint32_t align, uint32_t bufBytes) {
  start = ring;
  end = ring + ringBytes;
  channels = ringChannels;
  bits = ringBits;
  blockAlign = align ? align : 1;
  step = bufBytes;
  Rewind();
}

void RingSide::Rewind() {
  cursor = start;
  frames = 0;
  threshold = step;
}

int32_t ConvertInput(const void* srcVoid, int32_t type, RingSide& ring, uint8_t* cursor,
                     uint32_t place, uint32_t frames) {
  const uint8_t* src = static_cast<const uint8_t*>(srcVoid);
  const int32_t bits = ring.bits;
  switch (type) {
    case kInt16LSB:
      if (bits == 16) {
        ForEachFrame(ring, cursor, place, frames,
                     [&](uint32_t i, uint8_t* d) { std::memcpy(d, src + 2 * i, 2); });
      }
      return 0;
    case kInt24LSB:
      if (bits == 24) {
        ForEachFrame(ring, cursor, place, frames,
                     [&](uint32_t i, uint8_t* d) { std::memcpy(d, src + 3 * i, 3); });
      } else if (bits == 16) {
        ForEachFrame(ring, cursor, place, frames,
                     [&](uint32_t i, uint8_t* d) { Store16(d, Int24To16(Load24(src + 3 * i))); });
      } else if (bits == -32) {
        ForEachFrame(ring, cursor, place, frames, [&](uint32_t i, uint8_t* d) {
          StoreFloat(d, Int24ToFloat(Load24(src + 3 * i)));
        });
      }
      return 0;
    case kInt32LSB:
      if (bits == 32) {
        ForEachFrame(ring, cursor, place, frames,
                     [&](uint32_t i, uint8_t* d) { std::memcpy(d, src + 4 * i, 4); });
      } else if (bits == 24) {
        ForEachFrame(ring, cursor, place, frames,
                     [&](uint32_t i, uint8_t* d) { std::memcpy(d, src + 4 * i + 1, 3); });
      } else if (bits == 16) {
        ForEachFrame(ring, cursor, place, frames,
                     [&](uint32_t i, uint8_t* d) { Store16(d, Int32To16(Load32(src + 4 * i))); });
      } else if (bits == -32) {
        ForEachFrame(ring, cursor, place, frames, [&](uint32_t i, uint8_t* d) {
          StoreFloat(d, Int32ToFloat(Load32(src + 4 * i)));
        });
      }
      return 0;
    case kFloat32LSB:
    case kFloat64LSB:
    case kInt32LSB16:
    case kInt32LSB18:
    case kInt32LSB20:
    case kInt32LSB24:
      return type;
    default:
      return -999;
  }
}

int32_t ConvertOutput(void* dstVoid, int32_t type, const RingSide& ring, const uint8_t* cursor,
                      uint32_t place, uint32_t frames) {
  uint8_t* dst = static_cast<uint8_t*>(dstVoid);
  const int32_t bits = ring.bits;
  switch (type) {
    case kInt16LSB:
      if (bits == 8) {
        ForEachFrame(ring, cursor, place, frames,
                     [&](uint32_t i, uint8_t* s) { Store16(dst + 2 * i, (*s - 128) * 256); });
      } else if (bits == 16) {
        ForEachFrame(ring, cursor, place, frames,
                     [&](uint32_t i, uint8_t* s) { std::memcpy(dst + 2 * i, s, 2); });
      }
      return 0;
    case kInt24LSB:
      if (bits == 8) {
        ForEachFrame(ring, cursor, place, frames,
                     [&](uint32_t i, uint8_t* s) { Store24(dst + 3 * i, (*s - 128) * 65536); });
      } else if (bits == 16) {
        ForEachFrame(ring, cursor, place, frames,
                     [&](uint32_t i, uint8_t* s) { Store24(dst + 3 * i, Load16(s) * 256); });
      } else if (bits == 24) {
        ForEachFrame(ring, cursor, place, frames,
                     [&](uint32_t i, uint8_t* s) { std::memcpy(dst + 3 * i, s, 3); });
      } else if (bits == -32) {
        ForEachFrame(ring, cursor, place, frames, [&](uint32_t i, uint8_t* s) {
          Store24(dst + 3 * i, FloatTo24(LoadFloat(s)));
        });
      }
      return 0;
    case kInt32LSB:
      if (bits == 8) {
        ForEachFrame(ring, cursor, place, frames, [&](uint32_t i, uint8_t* s) {
          Store32(dst + 4 * i, static_cast<int32_t>(static_cast<uint32_t>(*s - 128) << 24));
        });
      } else if (bits == 16) {
        ForEachFrame(ring, cursor, place, frames, [&](uint32_t i, uint8_t* s) {
          Store32(dst + 4 * i, static_cast<int32_t>(static_cast<uint32_t>(Load16(s)) << 16));
        });
      } else if (bits == 24) {
        ForEachFrame(ring, cursor, place, frames, [&](uint32_t i, uint8_t* s) {
          Store32(dst + 4 * i, static_cast<int32_t>(static_cast<uint32_t>(Load24(s)) << 8));
        });
      } else if (bits == 32) {
        ForEachFrame(ring, cursor, place, frames,
                     [&](uint32_t i, uint8_t* s) { std::memcpy(dst + 4 * i, s, 4); });
      } else if (bits == -32) {
        ForEachFrame(ring, cursor, place, frames, [&](uint32_t i, uint8_t* s) {
          Store32(dst + 4 * i,
                  static_cast<int32_t>(static_cast<uint32_t>(FloatTo24(LoadFloat(s))) << 8));
        });
      }
      return 0;
    case kFloat32LSB:
    case kInt32LSB16:
    case kInt32LSB18:
    case kInt32LSB20:
    case kInt32LSB24:
      std::memset(dst, 0, static_cast<size_t>(frames) * 4);
      return type;
    case kFloat64LSB:
      std::memset(dst, 0, static_cast<size_t>(frames) * 8);
      return type;
    default:
      return -999;
  }
}

namespace {
uint8_t* Advance(const RingSide& ring, uint8_t* cursor, uint32_t frames) {
  if (!ring.start || ring.end <= ring.start) return cursor;
  const uint64_t size = static_cast<uint64_t>(ring.end - ring.start);
  const uint64_t at = static_cast<uint64_t>(cursor - ring.start);
  return ring.start + (at + static_cast<uint64_t>(frames) * ring.blockAlign) % size;
}
}  // namespace

int32_t Transfer(TransferSet& set, int32_t index) {
  const int32_t half = index ? 1 : 0;
  int32_t unsupported = 0;
  for (uint32_t c = 0; c < set.count; ++c) {
    UsedChannel& ch = set.channels[c];
    void* buf = ch.halves[half];
    if (!buf) continue;
    RingSide& ring = ch.input ? set.in : set.out;
    if (!ring.start) continue;
    const int32_t r = ch.input
                          ? ConvertInput(buf, ch.type, ring, ring.cursor, ch.place, set.frames)
                          : ConvertOutput(buf, ch.type, ring, ring.cursor, ch.place, set.frames);
    if (r != 0) unsupported = r;
  }
  set.in.cursor = Advance(set.in, set.in.cursor, set.frames);
  set.out.cursor = Advance(set.out, set.out.cursor, set.frames);
  return unsupported;
}

bool Account(RingSide& side, uint32_t frames, bool failed) {
  if (!side.running) return false;
  side.frames += frames;
  if (side.frames * side.blockAlign >= side.threshold || failed) {
    side.threshold += side.step;
    return true;
  }
  return false;
}

void ZeroOutputs(TransferSet& set) {
  for (uint32_t c = 0; c < set.count; ++c) {
    const UsedChannel& ch = set.channels[c];
    if (ch.input) continue;
    const size_t bytes = static_cast<size_t>(set.frames) * SampleBytes(ch.type);
    for (void* half : ch.halves) {
      if (half && bytes) std::memset(half, 0, bytes);
    }
  }
}

}  // namespace ov::asio
