// Writing and reading the overlay file in memory.
#include "app/analysis/OverlayFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace ov {

namespace {

constexpr const char kCommentKey[] = "Comment";
constexpr const char kRateKey[] = "Sampling Frequency";
constexpr const char kSizeKey[] = "FFT Samples";
constexpr const char kCountKey[] = "Amplitude";
constexpr int kValuesPerLine = 8;

bool IsUtf8Continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

void AppendKeyNumber(std::string& out, const char* key, int32_t value) {
  char line[96];
  std::snprintf(line, sizeof line, "\"%s\",%d\r\n", key, value);
  out += line;
}

// Reads the file left to right; every failure is one of the fixed texts.
class OverlayParser {
 public:
  OverlayParser(std::string_view file, Language language) : file_(file), language_(language) {}

  // Line 1 (the version is read and ignored), 2, 3, 4 and 5.
  bool ReadNumberLine(const char* key, double& value) {
    std::string_view rest;
    if (!ReadKeyLine(key, rest)) return false;
    if (rest.empty() || rest[0] != ',' || !ParseNumber(rest.substr(1), value)) {
      return Fail(overlay_text::kReadValue.In(language_));
    }
    return true;
  }
  bool ReadIntegerLine(const char* key, int32_t& value) {
    double number = 0;
    if (!ReadNumberLine(key, number)) return false;
    // Truncated to an integer; beyond the integer range it is no usable value.
    if (!(number > -2147483649.0 && number < 2147483648.0)) {
      return Fail(overlay_text::kReadValue.In(language_));
    }
    value = static_cast<int32_t>(number);
    return true;
  }
  bool ReadCommentLine(std::string& comment) {
    std::string_view rest;
    if (!ReadKeyLine(kCommentKey, rest)) return false;
    // ,"<comment>" : everything between the opening quote and the line's last
    // character, which must be the closing quote.
    if (rest.size() < 3 || rest[0] != ',' || rest[1] != '"' || rest.back() != '"') {
      return Fail(overlay_text::kReadString.In(language_));
    }
    comment.assign(rest.substr(2, rest.size() - 3));
    return true;
  }

  // count values into values[], each after the first doubled. A value ends at
  // "," or at CR (its LF consumed); data after the last value is ignored.
  bool ReadValues(double* values, int32_t count) {
    for (int32_t k = 0; k < count; ++k) {
      const size_t start = pos_;
      const size_t limit = std::min(file_.size(), start + kOverlayValueMax + 1);
      size_t end = start;
      while (end < limit && file_[end] != ',' && file_[end] != '\r') ++end;
      if (end == limit) {
        if (end - start > kOverlayValueMax) return Fail(overlay_text::kReadValue.In(language_));
        return Fail(overlay_text::kReadData.In(language_));
      }
      double v = 0;
      if (!ParseNumber(file_.substr(start, end - start), v) || v < 0) {
        return Fail(overlay_text::kReadValue.In(language_));
      }
      if (k > 0) v *= 2;
      if (!std::isfinite(v)) return Fail(overlay_text::kReadValue.In(language_));
      values[k] = v;
      pos_ = end + 1;
      if (file_[end] == '\r' && pos_ < file_.size() && file_[pos_] == '\n') ++pos_;
    }
    return true;
  }

  bool Fail(const char* text) {
    message_ = text;
    return false;
  }
  bool Fail(std::string text) {
    message_ = std::move(text);
    return false;
  }
  std::string TakeMessage() { return std::move(message_); }

 private:
  // One key line: at most 300 characters up to and including its CR LF; it
  // must start with "<key>". rest is what follows the closing quote, without
  // the CR LF.
  bool ReadKeyLine(const char* key, std::string_view& rest) {
    const size_t available = file_.size() - pos_;
    const size_t scan = std::min(available, kOverlayKeyLineMax);
    const std::string_view window = file_.substr(pos_, scan);
    const size_t cr = window.find("\r\n");
    if (cr == std::string_view::npos) {
      return Fail(available < kOverlayKeyLineMax ? overlay_text::kReadData.In(language_)
                                                 : overlay_text::kTooLong.In(language_));
    }
    const std::string_view line = window.substr(0, cr);
    pos_ += cr + 2;
    const size_t keyLength = std::strlen(key);
    if (line.empty() || line[0] != '"' || line.size() < keyLength + 2 ||
        line[keyLength + 1] != '"') {
      return Fail(overlay_text::kFormatMismatch.In(language_));
    }
    if (line.substr(1, keyLength) != key) {
      std::string text = overlay_text::kStringsMismatch.In(language_);
      text += "\n\n\"";
      text += key;
      text += '"';
      return Fail(std::move(text));
    }
    rest = line.substr(keyLength + 2);
    return true;
  }

  // A whole decimal number, spaces around it allowed; finite only.
  static bool ParseNumber(std::string_view text, double& value) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (text.empty()) return false;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    return error == std::errc() && end == last && std::isfinite(value);
  }

  std::string_view file_;
  Language language_;
  size_t pos_ = 0;
  std::string message_;
};

std::string Mismatch(const TwoLanguageText& text, Language language, int32_t fileValue) {
  char line[160];
  std::snprintf(line, sizeof line, "%s\n\n%d", text.In(language), fileValue);
  return line;
}

}  // namespace

std::string OverlayFileComment(std::string_view comment) {
  std::string out;
  out.reserve(std::min(comment.size(), kOverlayCommentMaxBytes));
  for (size_t i = 0; i < comment.size(); ++i) {
    const char c = comment[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < comment.size() && comment[i + 1] == '\n') ++i;
      out += ' ';
    } else {
      out += c;
    }
  }
  if (out.size() > kOverlayCommentMaxBytes) {
    size_t cut = kOverlayCommentMaxBytes;
    while (cut > 0 && IsUtf8Continuation(out[cut])) --cut;
    out.resize(cut);
  }
  return out;
}

std::string FormatOverlayFile(std::string_view comment, int32_t sampleRate, int32_t n,
                              const double* amplitudes, int32_t count) {
  std::string out;
  out.reserve(256 + static_cast<size_t>(count > 0 ? count : 0) * 24);
  out += '"';
  out += kOverlayFileKey;
  out += "\",";
  out += kOverlayFileVersion;
  out += "\r\n\"";
  out += kCommentKey;
  out += "\",\"";
  out += OverlayFileComment(comment);
  out += "\"\r\n";
  AppendKeyNumber(out, kRateKey, sampleRate);
  AppendKeyNumber(out, kSizeKey, n);
  AppendKeyNumber(out, kCountKey, count);
  char value[40];
  for (int32_t k = 0; k < count; ++k) {
    const double v = k == 0 ? amplitudes[0] : amplitudes[k] / 2;
    const int length = std::snprintf(value, sizeof value, "%.15g", v);
    out.append(value, static_cast<size_t>(length));
    const bool lineEnd = (k + 1) % kValuesPerLine == 0 || k + 1 == count;
    out += lineEnd ? "\r\n" : ",";
  }
  return out;
}

std::string ParseOverlayFile(std::string_view file, const OverlayExpectation& expected,
                             Language language, OverlayFileContents& out) {
  out = OverlayFileContents{};
  OverlayParser parser(file, language);
  double version = 0;
  OverlayFileContents read;
  if (!parser.ReadNumberLine(kOverlayFileKey, version) || !parser.ReadCommentLine(read.comment) ||
      !parser.ReadIntegerLine(kRateKey, read.sampleRate)) {
    return parser.TakeMessage();
  }
  if (expected.sampleRate && read.sampleRate != *expected.sampleRate) {
    return Mismatch(overlay_text::kRateMismatch, language, read.sampleRate);
  }
  if (!parser.ReadIntegerLine(kSizeKey, read.n)) return parser.TakeMessage();
  if (expected.n && read.n != *expected.n) {
    return Mismatch(overlay_text::kFftMismatch, language, read.n);
  }
  if (!parser.ReadIntegerLine(kCountKey, read.amplitudeCount)) return parser.TakeMessage();
  const std::optional<int32_t> count =
      expected.n ? std::optional<int32_t>(*expected.n / 2 + 1) : std::nullopt;
  if (count && read.amplitudeCount != *count) {
    return Mismatch(overlay_text::kCountMismatch, language, read.amplitudeCount);
  }
  // Without an expected size the file's own count is used, within what an
  // analysis can hold.
  if (read.amplitudeCount < 1 || read.amplitudeCount > 131072 / 2 + 1) {
    return Mismatch(overlay_text::kCountMismatch, language, read.amplitudeCount);
  }
  read.amplitudes.assign(static_cast<size_t>(read.amplitudeCount), 0.0);
  if (!parser.ReadValues(read.amplitudes.data(), read.amplitudeCount)) {
    return parser.TakeMessage();
  }
  out = std::move(read);
  return {};
}

}  // namespace ov
