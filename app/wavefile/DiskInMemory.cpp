#include "app/wavefile/DiskInMemory.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace ov {

namespace {

class MemoryFile : public DiskEditFile {
 public:
  MemoryFile(DiskInMemory& disk, DiskInMemory::Stored& stored) : disk_(disk), stored_(stored) {}
  ~MemoryFile() override { stored_.open = false; }

  size_t Write(const void* data, size_t bytes) override {
    if (++disk_.writeCalls == disk_.failAtWrite) return 0;
    // Growth beyond the free space, or beyond the fault budget, is refused.
    const uint64_t end = pos_ + bytes;
    const uint64_t growth = end > stored_.size ? end - stored_.size : 0;
    uint64_t allowed = std::min<uint64_t>(bytes, disk_.writeBudget);
    if (growth > disk_.freeBytes) {
      const uint64_t over = growth - disk_.freeBytes;
      allowed = std::min<uint64_t>(allowed, bytes > over ? bytes - over : 0);
    }
    if (allowed == 0) return 0;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (pos_ < disk_.keepBytes) {
      const uint64_t keepEnd = std::min(pos_ + allowed, disk_.keepBytes);
      if (stored_.bytes.size() < keepEnd) stored_.bytes.resize(keepEnd);
      std::memcpy(stored_.bytes.data() + pos_, p, keepEnd - pos_);
    }
    pos_ += allowed;
    if (pos_ > stored_.size) {
      disk_.freeBytes -= pos_ - stored_.size;
      stored_.size = pos_;
    }
    if (disk_.writeBudget != UINT64_MAX) disk_.writeBudget -= allowed;
    disk_.bytesWritten += allowed;
    return allowed;
  }
  size_t Read(void* data, size_t bytes) override {
    // Bytes past keepBytes were counted but not kept: they read as zeros.
    const uint64_t n = pos_ < stored_.size ? std::min<uint64_t>(bytes, stored_.size - pos_) : 0;
    uint8_t* p = static_cast<uint8_t*>(data);
    for (uint64_t i = 0; i < n; ++i) {
      const uint64_t at = pos_ + i;
      p[i] = at < stored_.bytes.size() ? stored_.bytes[at] : 0;
    }
    pos_ += n;
    disk_.bytesRead += n;
    return static_cast<size_t>(n);
  }
  bool Size(uint64_t* bytes) override {
    *bytes = stored_.size;
    return true;
  }
  bool SeekTo(uint64_t offset) override {
    if (disk_.failSeek) return false;
    pos_ = offset;
    return true;
  }
  bool SeekToEnd() override {
    if (disk_.failSeek) return false;
    pos_ = stored_.size;
    return true;
  }
  bool TruncateAt(uint64_t size) override {
    if (disk_.failSeek || disk_.failTruncate) return false;
    if (size < stored_.size) {
      disk_.freeBytes += stored_.size - size;
      stored_.size = size;
      if (stored_.bytes.size() > size) stored_.bytes.resize(size);
    }
    pos_ = size;
    return true;
  }
  bool Flush() override {
    ++disk_.flushes;
    return !disk_.failFlush;
  }
  bool Close() override {
    stored_.open = false;
    return !disk_.failClose;
  }

 private:
  DiskInMemory& disk_;
  DiskInMemory::Stored& stored_;
  uint64_t pos_ = 0;
};

}  // namespace

std::unique_ptr<DiskFile> DiskInMemory::CreateAlways(const char* name) {
  if (failCreate) return nullptr;
  Stored& stored = files[name];
  if (stored.open) return nullptr;  // no sharing
  freeBytes += stored.size;         // the old content is replaced
  stored = Stored{};
  stored.open = true;
  return std::make_unique<MemoryFile>(*this, stored);
}

std::unique_ptr<DiskEditFile> DiskInMemory::OpenExisting(const char* name) {
  auto found = files.find(name);
  if (failOpenExisting || found == files.end() || found->second.open) return nullptr;
  found->second.open = true;
  return std::make_unique<MemoryFile>(*this, found->second);
}

void DiskInMemory::VolumeOf(const char* name, char* volume, size_t capacity) {
  const char* slash = std::strrchr(name, '/');
  const size_t n = slash ? std::min<size_t>(slash - name + 1, capacity - 1) : 0;
  std::memcpy(volume, name, n);
  volume[n] = '\0';
}

bool DiskInMemory::FreeBytes(const char* volume, uint64_t* bytes) {
  lastVolume = volume;
  if (failFreeSpace) return false;
  *bytes = freeBytes;
  return true;
}

}  // namespace ov
