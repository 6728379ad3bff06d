// The files and volumes a recording is written to. The program uses the
// Win32 file API (Disk_win.cpp), native builds use POSIX (Disk_posix.cpp),
// and tests substitute their own disks (a full disk, a failing write).
// Names are the program's narrow (ANSI) names, as the recording file name is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace ov {

// One file open for writing. Not thread-safe; one thread writes at a time.
class DiskFile {
 public:
  virtual ~DiskFile() = default;
  // Writes at the file pointer and advances it. Returns the bytes written;
  // fewer than asked means the write failed (a full disk, an I/O error).
  virtual size_t Write(const void* data, size_t bytes) = 0;
  virtual bool SeekTo(uint64_t offset) = 0;
  virtual bool SeekToEnd() = 0;
  // Cuts the file to size bytes and leaves the file pointer there
  // (SetEndOfFile / ftruncate): a failed write leaves no partial tail.
  virtual bool TruncateAt(uint64_t size) = 0;
  // Pushes the file's buffers to the device (FlushFileBuffers / fsync).
  virtual bool Flush() = 0;
  // Releases the handle; the object is unusable afterwards whatever the result.
  virtual bool Close() = 0;
};

// An existing file opened for editing in place: it may also be read, and its
// size is known. Used by the marker write-back, which rewrites a file's tail.
class DiskEditFile : public DiskFile {
 public:
  // Reads up to bytes at the file pointer and advances it; fewer only at the
  // end of the file or on an error.
  virtual size_t Read(void* data, size_t bytes) = 0;
  // The file's size in bytes; false when the system cannot tell.
  virtual bool Size(uint64_t* bytes) = 0;
};

class Disk {
 public:
  virtual ~Disk() = default;
  // Creates or truncates name for exclusive write access. nullptr on failure.
  virtual std::unique_ptr<DiskFile> CreateAlways(const char* name) = 0;
  // Opens an existing file for reading and writing, shared with nobody.
  // nullptr when it does not exist, is read-only or is open elsewhere.
  virtual std::unique_ptr<DiskEditFile> OpenExisting(const char* name) = 0;
  virtual bool Remove(const char* name) = 0;
  // Makes name carry its volume (Windows: a name that starts with neither '\'
  // nor a drive letter gets the current drive's "X:"), within capacity bytes
  // including the terminator. A name that would not fit is left as it is.
  virtual void QualifyName(char* name, size_t capacity) = 0;
  // The folder whose volume holds name, as shown to the user: "X:\" for a
  // drive name, else the directory part with its trailing separator.
  virtual void VolumeOf(const char* name, char* volume, size_t capacity) = 0;
  // Bytes the caller may still write on the volume of folder; false when the
  // system cannot tell.
  virtual bool FreeBytes(const char* volume, uint64_t* bytes) = 0;
  // True when both names exist and are one file, also under another name (a
  // link, a relative name, other letter case on Windows).
  virtual bool SameFile(const char* a, const char* b) = 0;
};

// The machine's own disk.
Disk& SystemDisk();

}  // namespace ov
