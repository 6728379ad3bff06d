// Files through POSIX descriptors.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "app/wavefile/ByteSource.h"

namespace ov {
namespace {

class PosixFileSource final : public ByteSource {
 public:
  explicit PosixFileSource(int fd) : fd_(fd) {}
  ~PosixFileSource() override { ::close(fd_); }
  PosixFileSource(const PosixFileSource&) = delete;
  PosixFileSource& operator=(const PosixFileSource&) = delete;

  uint64_t Size() const override {
    struct stat st;
    if (::fstat(fd_, &st) != 0 || st.st_size < 0) return 0;
    return static_cast<uint64_t>(st.st_size);
  }

  size_t Read(void* destination, size_t count) override {
    // read may return less than asked (signals, pipes): loop until the end.
    auto* out = static_cast<char*>(destination);
    size_t done = 0;
    while (done < count) {
      const ssize_t n = ::read(fd_, out + done, count - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    return done;
  }

  bool SeekTo(uint64_t offset) override {
    if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
    return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0;
  }

  bool SeekBy(int64_t delta) override {
    return ::lseek(fd_, static_cast<off_t>(delta), SEEK_CUR) >= 0;
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<ByteSource> OpenFileSource(const char* name) {
  int fd;
  do {
    fd = ::open(name, O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return nullptr;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    // A folder or a device is not a wave file.
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixFileSource>(fd);
}

}  // namespace ov
