// The program's command line: the text after the program path, split into
// file names. Used at start-up and for every command line handed over by a
// later start. Portable; main thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ov {

// At most this many items are taken from one command line.
constexpr size_t kMaxCommandLineItems = 100;
// Longest file name the program opens, in bytes of UTF-8 (the buffers of
// the reader and the play list hold MAX_PATH - 1 characters).
constexpr size_t kMaxFileNameBytes = 259;

// The arguments of a full process command line: the program path (quoted, or
// up to the first blank) and the blanks after it removed.
std::string_view ArgumentsOf(std::string_view commandLine);

struct SplitCommandLine {
  std::vector<std::string> items;
  size_t leftOut = 0;  // items past the 100th, not taken
};

// Splits the text into items: an item that begins with a double quote runs to
// the next double quote (or the end of the text when there is none); any other
// item runs to the next blank or tab. Runs of blanks give no empty items; a
// quoted empty item ("") gives none either.
SplitCommandLine Split(std::string_view text, size_t maxItems = kMaxCommandLineItems);

// A single item is a wave file: unless it begins with a backslash or has a
// colon as its second character, the program's folder (ending in a backslash)
// is put in front of it. Empty when the result is longer than kMaxFileNameBytes.
std::string ResolveSingleItem(const std::string& item, const std::string& programFolder);

}  // namespace ov
