// Where the settings file's keys are read and written: an INI-style text file
// reached by section and key, with the behaviour of the Windows profile-string
// functions. Section and key names compare case-insensitively; a missing file,
// section or key reads as an empty string; reading trims blanks around the value
// and drops one pair of matching quotes around it; writing replaces the key's
// line in place or appends the key to its section (the section to the file),
// leaving every other line, comment and unknown section as it was.
#pragma once

#include <string>
#include <string_view>

namespace ov {

class ProfileStore {
 public:
  virtual ~ProfileStore() = default;

  // True when the file exists (a missing file marks the program's first run).
  virtual bool Exists() const = 0;
  // The file's path in UTF-8, for messages.
  virtual std::string Path() const = 0;

  // 8-bit text of the file, handed over as UTF-8 (the program converts from and
  // to the system code page).
  virtual std::string Read(std::string_view section, std::string_view key) const = 0;
  virtual bool Write(std::string_view section, std::string_view key, std::string_view value) = 0;

  // The same key read and written through the wide-character functions.
  virtual std::u16string ReadWide(std::string_view section, std::string_view key) const = 0;
  virtual bool WriteWide(std::string_view section, std::string_view key,
                         std::u16string_view value) = 0;
};

}  // namespace ov
