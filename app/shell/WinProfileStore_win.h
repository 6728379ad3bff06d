// The settings file through the Windows profile-string functions. Keys are read
// and written with the wide-character functions (GetPrivateProfileStringW,
// WritePrivateProfileStringW), which convert from and to the system code page on
// an 8-bit file exactly as the 8-bit functions would, and also reach a program
// folder whose name the code page cannot spell.
//
// A file this store creates starts with a UTF-16 byte-order mark: Windows then
// keeps the file in UTF-16, so texts outside the system code page (Japanese
// comments on a Western system) survive. An existing 8-bit file stays 8-bit.
#pragma once

#include <string>

#include "app/shell/ProfileStore.h"

namespace ov {

class WinProfileStore : public ProfileStore {
 public:
  explicit WinProfileStore(std::string pathUtf8);

  bool Exists() const override;
  std::string Path() const override { return path_; }
  std::string Read(std::string_view section, std::string_view key) const override;
  bool Write(std::string_view section, std::string_view key, std::string_view value) override;
  std::u16string ReadWide(std::string_view section, std::string_view key) const override;
  bool WriteWide(std::string_view section, std::string_view key,
                 std::u16string_view value) override;

 private:
  // Creates the missing file as an empty UTF-16 one; a failure shows in the write.
  void CreateAsUnicodeWhenMissing() const;

  std::string path_;
  std::u16string widePath_;
};

}  // namespace ov
