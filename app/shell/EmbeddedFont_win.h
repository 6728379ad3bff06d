// The bitmap font "KP1" embedded in the program (resource type 8, id 100),
// registered for this process only while the object lives. Main thread.
#pragma once

#include <windows.h>

namespace ov {

constexpr wchar_t kEmbeddedFontFace[] = L"KP1";

class EmbeddedFont {
 public:
  EmbeddedFont() = default;
  ~EmbeddedFont() { Remove(); }
  EmbeddedFont(const EmbeddedFont&) = delete;
  EmbeddedFont& operator=(const EmbeddedFont&) = delete;

  // Adds the font from the module's resources; false when it could not be added.
  bool Add(HMODULE module = nullptr);
  void Remove();
  bool Added() const { return handle_ != nullptr; }
  // A font of the face "KP1" with character set 255 (OEM), 12 pixels high.
  static HFONT CreateGuiFont();

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace ov
