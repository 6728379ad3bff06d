// POSIX files and volumes for native builds and tests.
#include "app/wavefile/Disk.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace ov {

namespace {

class PosixFile : public DiskEditFile {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override {
    if (fd_ >= 0) ::close(fd_);
  }

  size_t Write(const void* data, size_t bytes) override {
    const char* p = static_cast<const char*>(data);
    size_t done = 0;
    while (done < bytes) {
      const ssize_t n = ::write(fd_, p + done, bytes - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;  // ENOSPC, EIO, ...
      done += static_cast<size_t>(n);
    }
    return done;
  }
  size_t Read(void* data, size_t bytes) override {
    char* p = static_cast<char*>(data);
    size_t done = 0;
    while (done < bytes) {
      const ssize_t n = ::read(fd_, p + done, bytes - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    return done;
  }
  bool Size(uint64_t* bytes) override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return false;
    *bytes = static_cast<uint64_t>(st.st_size);
    return true;
  }
  bool SeekTo(uint64_t offset) override {
    return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0;
  }
  bool SeekToEnd() override { return ::lseek(fd_, 0, SEEK_END) >= 0; }
  bool TruncateAt(uint64_t size) override {
    return ::ftruncate(fd_, static_cast<off_t>(size)) == 0 && SeekTo(size);
  }
  bool Flush() override { return ::fsync(fd_) == 0; }
  bool Close() override {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

class PosixDisk : public Disk {
 public:
  std::unique_ptr<DiskFile> CreateAlways(const char* name) override {
    const int fd = ::open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixFile>(fd);
  }
  std::unique_ptr<DiskEditFile> OpenExisting(const char* name) override {
    const int fd = ::open(name, O_RDWR | O_CLOEXEC);
    if (fd < 0) return nullptr;
    // Exclusive in the program's sense: no other writer of this process
    // family may hold an advisory lock on it at the same time.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<PosixFile>(fd);
  }
  bool Remove(const char* name) override { return ::unlink(name) == 0; }
  // POSIX names need no volume prefix: a relative name lies on the volume of
  // the current directory, which VolumeOf names "./".
  void QualifyName(char*, size_t) override {}
  void VolumeOf(const char* name, char* volume, size_t capacity) override {
    if (capacity == 0) return;
    const char* slash = std::strrchr(name, '/');
    if (!slash) {
      std::snprintf(volume, capacity, "./");
      return;
    }
    const size_t n = std::min(static_cast<size_t>(slash - name + 1), capacity - 1);
    std::memcpy(volume, name, n);
    volume[n] = '\0';
  }
  bool FreeBytes(const char* volume, uint64_t* bytes) override {
    struct statvfs st;
    if (::statvfs(volume, &st) != 0) return false;
    *bytes = static_cast<uint64_t>(st.f_bavail) * st.f_frsize;
    return true;
  }
  bool SameFile(const char* a, const char* b) override {
    struct stat sa, sb;
    if (::stat(a, &sa) != 0 || ::stat(b, &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  }
};

}  // namespace

Disk& SystemDisk() {
  static PosixDisk disk;
  return disk;
}

}  // namespace ov
