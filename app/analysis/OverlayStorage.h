// Loading and saving overlay files on disk. The bytes go through TextFiles, so
// tests can substitute a disk that fails; paths are UTF-8.
//
// A load reads the whole file into memory first and a save writes a complete
// temporary file beside the target before replacing it: a refused load leaves
// the caller's overlay as it was, and a failed save leaves the old file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "app/analysis/OverlayFile.h"

namespace ov {

class TextFiles {
 public:
  enum class WriteResult { Ok, CreateFailed, WriteFailed };
  virtual ~TextFiles() = default;
  // At most maxBytes from the start of path (shared read); false when the
  // file cannot be opened or read.
  virtual bool ReadPrefix(const char* path, size_t maxBytes, std::string& bytes) = 0;
  // Creates or truncates path (no sharing), writes bytes, flushes and closes.
  virtual WriteResult WriteNew(const char* path, std::string_view bytes) = 0;
  // Puts from in the place of to (replacing it), in one step where the system
  // allows.
  virtual bool Replace(const char* from, const char* to) = 0;
  virtual bool Remove(const char* path) = 0;
};

// The machine's own files (Win32 wide-character API or POSIX).
TextFiles& SystemTextFiles();

// The temporary file a save writes first: the target's name plus this suffix.
constexpr const char kOverlaySaveSuffix[] = ".saving";

// Reads and parses path; "" on success, else the message to show ("%s\n\n%s"
// with "Unable to open file." and the path when it cannot be read).
std::string LoadOverlayFile(TextFiles& files, const char* path, const OverlayExpectation& expected,
                            Language language, OverlayFileContents& out);

// Writes text to path through a temporary file. "" on success, else the
// message ("Unable to create file." / "Unable to write file." and the path).
std::string SaveOverlayFile(TextFiles& files, const char* path, std::string_view text,
                            Language language);

}  // namespace ov
