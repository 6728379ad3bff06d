// A profile store over a file of the program's own reading and writing: every
// read looks at the file afresh and every write rewrites it whole, as the Windows
// profile functions do. Text is taken as UTF-8. Used where the Windows functions
// are not at hand (native tests, tools).
#pragma once

#include <string>

#include "app/shell/IniText.h"
#include "app/shell/ProfileStore.h"

namespace ov {

class FileProfileStore : public ProfileStore {
 public:
  explicit FileProfileStore(std::string path) : path_(std::move(path)) {}

  bool Exists() const override;
  std::string Path() const override { return path_; }
  std::string Read(std::string_view section, std::string_view key) const override;
  bool Write(std::string_view section, std::string_view key, std::string_view value) override;
  std::u16string ReadWide(std::string_view section, std::string_view key) const override;
  bool WriteWide(std::string_view section, std::string_view key,
                 std::u16string_view value) override;

 private:
  // The file's text, parsed again only when its bytes changed since the last look.
  const IniText& Current() const;

  std::string path_;
  mutable std::string cachedBytes_;
  mutable IniText cachedText_;
};

}  // namespace ov
