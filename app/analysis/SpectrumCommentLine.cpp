// Composing the spectrum comment line.
#include "app/analysis/SpectrumCommentLine.h"

#include <cstdio>

namespace ov {

std::string ComposeSpectrumComment(const SpectrumCommentOptions& options, int32_t sampleRate,
                                   int32_t n, int32_t interpolate) {
  const int32_t selected = options.selected >= 0 && options.selected <= 2 ? options.selected : 0;
  std::string line = options.comments[selected];
  if (!options.sampleRate && !options.fftSize && !options.resolution) return line;

  char item[64];
  std::string items;
  auto add = [&items](const char* text) {
    if (!items.empty()) items += ' ';
    items += text;
  };
  if (options.sampleRate) {
    std::snprintf(item, sizeof item, "Fs:%d", sampleRate);
    add(item);
  }
  if (options.fftSize) {
    std::snprintf(item, sizeof item, "N:%d", n);
    add(item);
  }
  if (options.resolution) {
    const double fres = n > 0 ? static_cast<double>(sampleRate) / n : 0.0;
    std::snprintf(item, sizeof item, "Fs/N:%3.1f", fres);
    std::string text = item;
    if (interpolate == 1 || interpolate == 2) {
      const double r = fres / (interpolate == 1 ? 16 : 128);
      std::snprintf(item, sizeof item, r < 0.1 ? "(%5.3f)" : "(%4.2f)", r);
      text += item;
    }
    add(text.c_str());
  }
  line += "  [";
  line += items;
  line += ']';
  return line;
}

std::string CutToCharacters(const std::string& utf8, size_t maxChars) {
  size_t units = 0;
  size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (i + length > utf8.size()) length = utf8.size() - i;
    const size_t needed = length == 4 ? 2 : 1;  // beyond the BMP: a surrogate pair
    if (units + needed > maxChars) break;
    units += needed;
    i += length;
  }
  return utf8.substr(0, i);
}

}  // namespace ov
