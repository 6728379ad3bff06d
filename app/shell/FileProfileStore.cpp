#include "app/shell/FileProfileStore.h"

#include <fstream>

#include "app/common/Utf8.h"

namespace ov {
namespace {

// The file's bytes; a missing or unreadable file reads as empty.
std::string LoadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  const std::streamoff size = in.tellg();
  if (size <= 0) return {};
  std::string bytes(static_cast<size_t>(size), '\0');
  in.seekg(0);
  in.read(bytes.data(), size);
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

}  // namespace

bool FileProfileStore::Exists() const {
  std::ifstream in(path_, std::ios::binary);
  return static_cast<bool>(in);
}

const IniText& FileProfileStore::Current() const {
  std::string bytes = LoadBytes(path_);
  if (bytes != cachedBytes_) {
    cachedText_ = IniText(bytes);
    cachedBytes_ = std::move(bytes);
  }
  return cachedText_;
}

std::string FileProfileStore::Read(std::string_view section, std::string_view key) const {
  return Current().Get(section, key);
}

bool FileProfileStore::Write(std::string_view section, std::string_view key,
                             std::string_view value) {
  IniText text = Current();
  text.Set(section, key, value);
  const std::string bytes = text.Text();
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

std::u16string FileProfileStore::ReadWide(std::string_view section, std::string_view key) const {
  return Utf8ToUtf16(Read(section, key));
}

bool FileProfileStore::WriteWide(std::string_view section, std::string_view key,
                                 std::u16string_view value) {
  return Write(section, key, Utf16ToUtf8(value));
}

}  // namespace ov
