// Overlay files through the Win32 wide-character file API.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "app/analysis/OverlayStorage.h"
#include "app/common/Utf8.h"

namespace ov {

namespace {

std::wstring Wide(const char* path) {
  const std::u16string w = Utf8ToUtf16(path);
  return std::wstring(w.begin(), w.end());
}

class WinTextFiles final : public TextFiles {
 public:
  bool ReadPrefix(const char* path, size_t maxBytes, std::string& bytes) override {
    bytes.clear();
    HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(h, &size) != 0;
    if (ok) {
      const uint64_t want = std::min<uint64_t>(static_cast<uint64_t>(size.QuadPart), maxBytes);
      bytes.resize(static_cast<size_t>(want));
      size_t done = 0;
      while (ok && done < bytes.size()) {
        DWORD got = 0;
        const DWORD ask = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        ok = ReadFile(h, &bytes[done], ask, &got, nullptr) != 0;
        if (got == 0) break;
        done += got;
      }
      bytes.resize(done);
    }
    CloseHandle(h);
    return ok;
  }

  WriteResult WriteNew(const char* path, std::string_view bytes) override {
    HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return WriteResult::CreateFailed;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
      DWORD put = 0;
      const DWORD ask = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
      ok = WriteFile(h, bytes.data() + done, ask, &put, nullptr) != 0 && put == ask;
      done += put;
    }
    ok = FlushFileBuffers(h) != 0 && ok;
    ok = CloseHandle(h) != 0 && ok;
    return ok ? WriteResult::Ok : WriteResult::WriteFailed;
  }

  bool Replace(const char* from, const char* to) override {
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  bool Remove(const char* path) override { return DeleteFileW(Wide(path).c_str()) != 0; }
};

}  // namespace

TextFiles& SystemTextFiles() {
  static WinTextFiles files;
  return files;
}

}  // namespace ov
