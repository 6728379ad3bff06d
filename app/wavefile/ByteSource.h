// The few file operations the wave reader needs, behind one small interface so
// the same parser reads a file on disk (POSIX or Win32) or a memory buffer
// (tests, fuzzing).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace ov {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Size of the whole source in bytes.
  virtual uint64_t Size() const = 0;
  // Reads up to count bytes at the current position and advances past them.
  // Returns the bytes read: fewer than count only at the end of the source or
  // on a read error.
  virtual size_t Read(void* destination, size_t count) = 0;
  // Moves the position to offset bytes from the start. Positions past the end
  // are allowed (reads there return 0 bytes); false only when the system
  // reports an error.
  virtual bool SeekTo(uint64_t offset) = 0;
  // Moves the position by delta bytes; false when the system reports an error
  // (a position before the start).
  virtual bool SeekBy(int64_t delta) = 0;
};

// Opens a file for reading, shared with other readers; the file must exist.
// name is UTF-8. Null when the file cannot be opened. Platform specific.
std::unique_ptr<ByteSource> OpenFileSource(const char* name);

}  // namespace ov
