#include "app/wavefile/ByteSourceMemory.h"

#include <cstring>

namespace ov {

size_t MemoryByteSource::Read(void* destination, size_t count) {
  if (position_ >= size_) return 0;
  const uint64_t left = size_ - position_;
  const size_t n = count < left ? count : static_cast<size_t>(left);
  if (n) std::memcpy(destination, data_ + position_, n);
  position_ += n;
  return n;
}

// Like a file handle: any offset up to the largest signed 64-bit file offset
// is a position, even past the end.
constexpr uint64_t kMaxOffset = 0x7FFFFFFFFFFFFFFFull;

bool MemoryByteSource::SeekTo(uint64_t offset) {
  if (offset > kMaxOffset) return false;
  position_ = offset;
  return true;
}

bool MemoryByteSource::SeekBy(int64_t delta) {
  if (delta < 0) {
    const uint64_t back = 0 - static_cast<uint64_t>(delta);
    if (back > position_) return false;
    position_ -= back;
  } else {
    if (static_cast<uint64_t>(delta) > kMaxOffset - position_) return false;
    position_ += static_cast<uint64_t>(delta);
  }
  return true;
}

}  // namespace ov
