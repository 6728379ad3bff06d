// The text of an INI-style file as the Windows profile-string functions see it:
// lines are kept verbatim so that comments, blank lines, unknown sections and
// hand edits survive a write; only the line of the key written changes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ov {

class IniText {
 public:
  explicit IniText(std::string_view content = {});

  // The value of key in section: blanks around it trimmed, one pair of matching
  // quotes removed, cut at a NUL byte. Empty when the section or key is missing.
  // The first section of that name and its first line of that key count.
  std::string Get(std::string_view section, std::string_view key) const;

  // Replaces the key's line ("name=value", the name as already spelt in the file),
  // or adds the line after the section's last non-blank line, or appends the
  // section with the line at the end of the text.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // The lines joined with CR LF, each line ended.
  std::string Text() const;

 private:
  // Index of the section's header line, or lines_.size() when absent.
  size_t FindSection(std::string_view section) const;
  // Index of the key's line inside the section starting after header, or npos.
  size_t FindKey(size_t header, std::string_view key) const;
  // One past the section's last line (the next header or the end).
  size_t SectionEnd(size_t header) const;

  std::vector<std::string> lines_;
};

}  // namespace ov
