// Overlay files through POSIX calls (native builds and tests).
#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

#include "app/analysis/OverlayStorage.h"

namespace ov {

namespace {

class PosixTextFiles final : public TextFiles {
 public:
  bool ReadPrefix(const char* path, size_t maxBytes, std::string& bytes) override {
    bytes.clear();
    const int fd = ::open(path, O_RDONLY);
    if (fd < 0) return false;
    char block[65536];
    bool ok = true;
    while (bytes.size() < maxBytes) {
      const size_t ask = std::min(sizeof block, maxBytes - bytes.size());
      const ssize_t n = ::read(fd, block, ask);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) ok = false;
      if (n <= 0) break;
      bytes.append(block, static_cast<size_t>(n));
    }
    ::close(fd);
    return ok;
  }

  WriteResult WriteNew(const char* path, std::string_view bytes) override {
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return WriteResult::CreateFailed;
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    return done == bytes.size() && synced && closed ? WriteResult::Ok : WriteResult::WriteFailed;
  }

  bool Replace(const char* from, const char* to) override { return std::rename(from, to) == 0; }
  bool Remove(const char* path) override { return ::unlink(path) == 0; }
};

}  // namespace

TextFiles& SystemTextFiles() {
  static PosixTextFiles files;
  return files;
}

}  // namespace ov
