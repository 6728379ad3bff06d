// The spectrum comment: a line of free text with optional acquisition facts
// that the spectrum view prints above the plot.
#pragma once

#include <cstdint>
#include <string>

namespace ov {

// The settings that make up the line (section Conditions of the settings).
struct SpectrumCommentOptions {
  std::string comments[3];  // UTF-8, at most 80 characters each
  int32_t selected = 0;     // SpectrumCommentNum, 0 ... 2
  bool sampleRate = false;  // SpectrumCommentFs
  bool fftSize = false;     // SpectrumCommentFftN
  bool resolution = false;  // SpectrumCommentFres
};

// The selected comment, then, when any option is on, "  [" + the items joined
// by " " + "]": "Fs:%d", "N:%d", "Fs/N:%3.1f" followed, with interpolation
// 1 (x16) or 2 (x128), by the interpolated resolution as "(%5.3f)" below 0.1,
// else "(%4.2f)".
std::string ComposeSpectrumComment(const SpectrumCommentOptions& options, int32_t sampleRate,
                                   int32_t n, int32_t interpolate);

// Text cut to at most maxChars characters (UTF-16 units, as the edits count
// them) without splitting a character.
std::string CutToCharacters(const std::string& utf8, size_t maxChars);

}  // namespace ov
