#include "app/shell/WinProfileStore_win.h"

#include <windows.h>

#include <vector>

#include "app/common/Utf8.h"

namespace ov {
namespace {

const wchar_t* W(const std::u16string& s) {
  return reinterpret_cast<const wchar_t*>(s.c_str());
}

// Values longer than the first buffer are read again into a larger one; the
// function reports a full buffer by returning its size less one.
constexpr DWORD kFirstBufferChars = 1024;
constexpr DWORD kLargestBufferChars = 1 << 20;

}  // namespace

WinProfileStore::WinProfileStore(std::string pathUtf8)
    : path_(std::move(pathUtf8)), widePath_(Utf8ToUtf16(path_)) {}

bool WinProfileStore::Exists() const {
  const DWORD attributes = GetFileAttributesW(W(widePath_));
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::u16string WinProfileStore::ReadWide(std::string_view section, std::string_view key) const {
  const std::u16string wideSection = Utf8ToUtf16(section);
  const std::u16string wideKey = Utf8ToUtf16(key);
  std::vector<wchar_t> buffer(kFirstBufferChars);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD n = GetPrivateProfileStringW(W(wideSection), W(wideKey), L"", buffer.data(), size,
                                             W(widePath_));
    if (n + 1 < size || size >= kLargestBufferChars)
      return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), n);
    buffer.resize(buffer.size() * 4);
  }
}

std::string WinProfileStore::Read(std::string_view section, std::string_view key) const {
  return Utf16ToUtf8(ReadWide(section, key));
}

void WinProfileStore::CreateAsUnicodeWhenMissing() const {
  if (Exists()) return;
  const HANDLE file = CreateFileW(W(widePath_), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  static constexpr unsigned char kUtf16LeMark[] = {0xFF, 0xFE};
  DWORD written = 0;
  WriteFile(file, kUtf16LeMark, sizeof kUtf16LeMark, &written, nullptr);
  CloseHandle(file);
}

bool WinProfileStore::WriteWide(std::string_view section, std::string_view key,
                                std::u16string_view value) {
  const std::u16string wideSection = Utf8ToUtf16(section);
  const std::u16string wideKey = Utf8ToUtf16(key);
  const std::u16string wideValue(value);
  CreateAsUnicodeWhenMissing();
  return WritePrivateProfileStringW(W(wideSection), W(wideKey), W(wideValue), W(widePath_)) != 0;
}

bool WinProfileStore::Write(std::string_view section, std::string_view key,
                            std::string_view value) {
  return WriteWide(section, key, Utf8ToUtf16(value));
}

}  // namespace ov
