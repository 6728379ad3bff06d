// An owned, zero-initialised heap array that reports allocation failure
// instead of throwing. The analysis buffers are sized only when the analysis
// size or the sound format changes, never per frame.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

namespace ov {

template <typename T>
class AnalysisArray {
 public:
  // Replaces the contents by count zeroed elements. On failure the array is
  // empty and false is returned. operator new aligns for T (at least 8 bytes
  // for doubles).
  bool Allocate(size_t count) {
    Free();
    if (count == 0) return true;
    data_.reset(new (std::nothrow) T[count]());
    if (!data_) return false;
    size_ = count;
    return true;
  }
  void Free() {
    data_.reset();
    size_ = 0;
  }
  void Zero() {
    if (size_) std::memset(static_cast<void*>(data_.get()), 0, size_ * sizeof(T));
  }
  // Every byte 0xFF: for point arrays every x and y reads -1 (nothing to draw).
  void FillBytesFF() {
    if (size_) std::memset(static_cast<void*>(data_.get()), 0xFF, size_ * sizeof(T));
  }

  T* data() { return data_.get(); }
  const T* data() const { return data_.get(); }
  size_t size() const { return size_; }
  size_t bytes() const { return size_ * sizeof(T); }
  T& operator[](size_t i) { return data_[i]; }
  const T& operator[](size_t i) const { return data_[i]; }

 private:
  std::unique_ptr<T[]> data_;
  size_t size_ = 0;
};

}  // namespace ov
