// Files through Win32 handles. Names are UTF-8 and reach the system through
// the wide-character API, so any path the user can pick opens.
#include <windows.h>

#include <string>

#include "app/common/Utf8.h"
#include "app/wavefile/ByteSource.h"

namespace ov {
namespace {

class WinFileSource final : public ByteSource {
 public:
  explicit WinFileSource(HANDLE h) : h_(h) {}
  ~WinFileSource() override { CloseHandle(h_); }
  WinFileSource(const WinFileSource&) = delete;
  WinFileSource& operator=(const WinFileSource&) = delete;

  uint64_t Size() const override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(h_, &size) || size.QuadPart < 0) return 0;
    return static_cast<uint64_t>(size.QuadPart);
  }

  size_t Read(void* destination, size_t count) override {
    auto* out = static_cast<char*>(destination);
    size_t done = 0;
    while (done < count) {
      const size_t left = count - done;
      const DWORD ask = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
      DWORD got = 0;
      if (!ReadFile(h_, out + done, ask, &got, nullptr) || got == 0) break;
      done += got;
    }
    return done;
  }

  bool SeekTo(uint64_t offset) override {
    if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(h_, to, nullptr, FILE_BEGIN) != 0;
  }

  bool SeekBy(int64_t delta) override {
    LARGE_INTEGER by;
    by.QuadPart = delta;
    return SetFilePointerEx(h_, by, nullptr, FILE_CURRENT) != 0;
  }

 private:
  HANDLE h_;
};

}  // namespace

std::unique_ptr<ByteSource> OpenFileSource(const char* name) {
  const std::u16string wide = Utf8ToUtf16(name);
  HANDLE h = CreateFileW(reinterpret_cast<const wchar_t*>(wide.c_str()), GENERIC_READ,
                         FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<WinFileSource>(h);
}

}  // namespace ov
