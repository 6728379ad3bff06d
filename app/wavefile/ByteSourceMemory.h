// A ByteSource over a caller-owned memory buffer: tests and the fuzzer parse
// and stream wave data without touching the disk.
#pragma once

#include "app/wavefile/ByteSource.h"

namespace ov {

class MemoryByteSource final : public ByteSource {
 public:
  // The buffer must outlive the source.
  MemoryByteSource(const void* data, size_t size)
      : data_(static_cast<const uint8_t*>(data)), size_(size) {}

  uint64_t Size() const override { return size_; }
  size_t Read(void* destination, size_t count) override;
  bool SeekTo(uint64_t offset) override;
  bool SeekBy(int64_t delta) override;
  uint64_t Position() const { return position_; }

 private:
  const uint8_t* data_;
  size_t size_;
  uint64_t position_ = 0;
};

}  // namespace ov
