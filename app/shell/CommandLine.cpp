#include "app/shell/CommandLine.h"

namespace ov {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

size_t SkipBlanks(std::string_view text, size_t i) {
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i;
}

}  // namespace

std::string_view ArgumentsOf(std::string_view commandLine) {
  size_t i = SkipBlanks(commandLine, 0);
  if (i < commandLine.size() && commandLine[i] == '"') {
    const size_t close = commandLine.find('"', i + 1);
    i = close == std::string_view::npos ? commandLine.size() : close + 1;
  }
  while (i < commandLine.size() && !IsBlank(commandLine[i])) ++i;
  return commandLine.substr(SkipBlanks(commandLine, i));
}

SplitCommandLine Split(std::string_view text, size_t maxItems) {
  SplitCommandLine result;
  size_t i = 0;
  for (;;) {
    i = SkipBlanks(text, i);
    if (i >= text.size()) break;
    size_t begin = i, end;
    if (text[i] == '"') {
      begin = i + 1;
      const size_t close = text.find('"', begin);
      end = close == std::string_view::npos ? text.size() : close;
      i = close == std::string_view::npos ? text.size() : close + 1;
    } else {
      while (i < text.size() && !IsBlank(text[i])) ++i;
      end = i;
    }
    if (end == begin) continue;  // ""
    if (result.items.size() < maxItems) {
      result.items.emplace_back(text.substr(begin, end - begin));
    } else {
      ++result.leftOut;
    }
  }
  return result;
}

std::string ResolveSingleItem(const std::string& item, const std::string& programFolder) {
  const bool absolute = (!item.empty() && item[0] == '\\') || (item.size() >= 2 && item[1] == ':');
  std::string path = absolute ? item : programFolder + item;
  if (path.size() > kMaxFileNameBytes) return std::string();
  return path;
}

}  // namespace ov
