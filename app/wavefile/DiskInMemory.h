// A disk held in memory, for tests and fuzzing of the writer: files are byte
// vectors, free space shrinks as they grow, and faults come on demand. Files
// larger than memory are simulated by keeping only their first keepBytes
// bytes while still counting their full size.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/wavefile/Disk.h"

namespace ov {

class DiskInMemory : public Disk {
 public:
  struct Stored {
    std::vector<uint8_t> bytes;  // the first min(size, keepBytes) bytes
    uint64_t size = 0;
    bool open = false;
  };

  // Space left on the volume; writes past it come up short (a full disk).
  uint64_t freeBytes = UINT64_MAX;
  uint64_t keepBytes = UINT64_MAX;
  // Faults: writes stop after this many more bytes; operations that fail.
  uint64_t writeBudget = UINT64_MAX;
  bool failCreate = false;
  bool failSeek = false;
  bool failFlush = false;
  bool failClose = false;
  bool failFreeSpace = false;
  bool failOpenExisting = false;
  bool failTruncate = false;
  // The Write call with this number (counted from 1 over the disk's life)
  // writes nothing; 0: none fails.
  int failAtWrite = 0;
  int writeCalls = 0;
  int flushes = 0;
  uint64_t bytesRead = 0;  // read through OpenExisting files
  uint64_t bytesWritten = 0;
  std::string lastVolume;  // the volume the last free-space query asked for

  std::map<std::string, Stored> files;

  std::unique_ptr<DiskFile> CreateAlways(const char* name) override;
  std::unique_ptr<DiskEditFile> OpenExisting(const char* name) override;
  bool Remove(const char* name) override { return files.erase(name) > 0; }
  void QualifyName(char*, size_t) override {}
  void VolumeOf(const char* name, char* volume, size_t capacity) override;
  bool FreeBytes(const char* volume, uint64_t* bytes) override;
  bool SameFile(const char* a, const char* b) override {
    return files.count(a) != 0 && std::string(a) == b;
  }
};

}  // namespace ov
