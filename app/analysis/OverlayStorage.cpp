// Overlay files to and from disk through a temporary file.
#include "app/analysis/OverlayStorage.h"

namespace ov {

namespace {
std::string PathMessage(const TwoLanguageText& text, Language language, const char* path) {
  std::string message = text.In(language);
  message += "\n\n";
  message += path;
  return message;
}
}  // namespace

std::string LoadOverlayFile(TextFiles& files, const char* path, const OverlayExpectation& expected,
                            Language language, OverlayFileContents& out) {
  out = OverlayFileContents{};
  std::string bytes;
  if (!files.ReadPrefix(path, kOverlayFileReadLimit, bytes)) {
    return PathMessage(overlay_text::kOpen, language, path);
  }
  return ParseOverlayFile(bytes, expected, language, out);
}

std::string SaveOverlayFile(TextFiles& files, const char* path, std::string_view text,
                            Language language) {
  const std::string temporary = std::string(path) + kOverlaySaveSuffix;
  switch (files.WriteNew(temporary.c_str(), text)) {
    case TextFiles::WriteResult::Ok:
      break;
    case TextFiles::WriteResult::CreateFailed:
      return PathMessage(overlay_text::kCreate, language, path);
    case TextFiles::WriteResult::WriteFailed:
      files.Remove(temporary.c_str());
      return PathMessage(overlay_text::kWrite, language, path);
  }
  if (!files.Replace(temporary.c_str(), path)) {
    files.Remove(temporary.c_str());
    return PathMessage(overlay_text::kWrite, language, path);
  }
  return {};
}

}  // namespace ov
