#include "app/shell/SettingsValueRules.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace ov {
namespace {

bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

}  // namespace

int32_t AtolValue(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t magnitude = 0;
  const int64_t limit = negative ? int64_t{1} << 31 : (int64_t{1} << 31) - 1;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > limit) {
      magnitude = limit;  // saturate, keep consuming digits
    }
  }
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

int32_t ReadInt(std::string_view text, int32_t fallback, int32_t min, int32_t max) {
  if (text.empty()) return fallback;
  const int32_t v = AtolValue(text);
  return v < min || v > max ? fallback : v;
}

int32_t ReadClampedInt(std::string_view text, int32_t fallback, int32_t min, int32_t max) {
  if (text.empty()) return fallback;
  const int32_t v = AtolValue(text);
  return v < min ? min : v > max ? max : v;
}

int8_t ReadSmallInt(std::string_view text, int8_t fallback, int8_t min, int8_t max) {
  return static_cast<int8_t>(ReadInt(text, fallback, min, max));
}

bool ReadBool(std::string_view text, bool fallback) {
  return ReadSmallInt(text, fallback ? 1 : 0, 0, 1) != 0;
}

double ReadReal(std::string_view text, double fallback, double min, double max) {
  if (text.empty()) return fallback;
  const std::string terminated(text);
  const double v = std::strtod(terminated.c_str(), nullptr);
  // The comparison also turns away NaN.
  return v >= min && v <= max ? v : fallback;
}

std::optional<int32_t> ParseHexInt(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  uint64_t value = 0;
  bool hex = false;
  if (!text.empty() && text.front() == '$') {
    hex = true;
    text.remove_prefix(1);
  } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    hex = true;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  for (const char c : text) {
    const int digit = hex ? HexDigit(c) : (IsDigit(c) ? c - '0' : -1);
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    if (value > limit) return std::nullopt;
  }
  // Hexadecimal digits give the 32-bit pattern; decimal ones a signed value.
  const uint32_t pattern = static_cast<uint32_t>(value);
  const uint32_t result = negative ? 0u - pattern : pattern;
  return static_cast<int32_t>(result);
}

std::string CutText(std::string_view utf8, size_t maxChars) {
  size_t i = 0;
  for (size_t chars = 0; i < utf8.size() && chars < maxChars; ++chars) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i++]);
    // A lead byte takes at most three continuation bytes along; stray
    // continuation bytes count as characters of their own.
    if (lead >= 0xC0)
      for (int n = 0; n < 3 && i < utf8.size() && IsContinuation(utf8[i]); ++n) ++i;
  }
  return std::string(utf8.substr(0, i));
}

std::u16string CutWide(std::u16string_view utf16, size_t maxUnits) {
  if (utf16.size() <= maxUnits) return std::u16string(utf16);
  size_t n = maxUnits;
  const char16_t last = n > 0 ? utf16[n - 1] : 0;
  if (last >= 0xD800 && last <= 0xDBFF) --n;  // keep the pair whole by dropping its first half
  return std::u16string(utf16.substr(0, n));
}

std::string FormatInt(int32_t value) {
  return std::to_string(value);
}

std::string FormatReal(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.7g", value);
  std::string text = buffer;
  if (std::isfinite(value) && text.find_first_of(".e") == std::string::npos) text += '.';
  return text;
}

std::string FormatHex(int32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<uint32_t>(value));
  return buffer;
}

std::string ProfileValueText(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::string line(text);
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  if (line.empty()) return line;
  const char first = line.front(), last = line.back();
  const bool blankAtEnd = first == ' ' || first == '\t' || last == ' ' || last == '\t';
  const bool quoted = line.size() >= 2 && (first == '"' || first == '\'') && last == first;
  return blankAtEnd || quoted ? "\"" + line + "\"" : line;
}

}  // namespace ov
