#include "app/shell/IniText.h"

namespace ov {
namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

// A header line "[name]" (blanks allowed around and inside the brackets); a
// header without its closing bracket names everything after the opening one.
bool HeaderName(std::string_view line, std::string_view* name) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return false;
  line.remove_prefix(1);
  const size_t close = line.rfind(']');
  if (close != std::string_view::npos) line = line.substr(0, close);
  *name = Trim(line);
  return true;
}

// The key name of a line inside a section: the text before the first '=', or the
// whole line when there is none (so a comment line is a key nobody asks for).
std::string_view KeyName(std::string_view line) {
  const size_t eq = line.find('=');
  return Trim(eq == std::string_view::npos ? line : line.substr(0, eq));
}

}  // namespace

IniText::IniText(std::string_view content) {
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = content.size();
    lines_.emplace_back(content.substr(start, end - start));
    // CR LF, LF and a lone CR each end one line.
    if (end < content.size() && content[end] == '\r' && end + 1 < content.size() &&
        content[end + 1] == '\n')
      ++end;
    start = end + 1;
  }
}

size_t IniText::FindSection(std::string_view section) const {
  const std::string_view wanted = Trim(section);
  std::string_view name;
  for (size_t i = 0; i < lines_.size(); ++i)
    if (HeaderName(lines_[i], &name) && SameName(name, wanted)) return i;
  return lines_.size();
}

size_t IniText::SectionEnd(size_t header) const {
  std::string_view name;
  size_t i = header + 1;
  while (i < lines_.size() && !HeaderName(lines_[i], &name)) ++i;
  return i;
}

size_t IniText::FindKey(size_t header, std::string_view key) const {
  const std::string_view wanted = Trim(key);
  const size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    const std::string_view line = lines_[i];
    if (Trim(line).empty()) continue;
    if (SameName(KeyName(line), wanted)) return i;
  }
  return kNone;
}

std::string IniText::Get(std::string_view section, std::string_view key) const {
  const size_t header = FindSection(section);
  if (header == lines_.size()) return {};
  const size_t at = FindKey(header, key);
  if (at == kNone) return {};
  std::string_view line = lines_[at];
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return {};
  std::string_view value = line.substr(eq + 1);
  value = value.substr(0, value.find('\0'));
  value = Trim(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

void IniText::Set(std::string_view section, std::string_view key, std::string_view value) {
  const size_t header = FindSection(section);
  if (header == lines_.size()) {
    lines_.push_back("[" + std::string(Trim(section)) + "]");
    lines_.push_back(std::string(Trim(key)) + "=" + std::string(value));
    return;
  }
  const size_t at = FindKey(header, key);
  if (at != kNone) {
    lines_[at] = std::string(KeyName(lines_[at])) + "=" + std::string(value);
    return;
  }
  size_t last = header;
  const size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i)
    if (!Trim(lines_[i]).empty()) last = i;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last + 1),
                std::string(Trim(key)) + "=" + std::string(value));
}

std::string IniText::Text() const {
  std::string text;
  for (const std::string& line : lines_) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace ov
