#include "app/shell/EmbeddedFont_win.h"

#include "app/resources/ResourceIds.h"

namespace ov {

bool EmbeddedFont::Add(HMODULE module) {
  if (handle_ != nullptr) return true;
  if (module == nullptr) module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(IDR_KP1_FONT), MAKEINTRESOURCEW(8));
  if (resource == nullptr) return false;
  HGLOBAL loaded = LoadResource(module, resource);
  void* data = loaded ? LockResource(loaded) : nullptr;
  if (data == nullptr) return false;
  DWORD count = 0;
  handle_ = AddFontMemResourceEx(data, SizeofResource(module, resource), nullptr, &count);
  return handle_ != nullptr && count > 0;
}

void EmbeddedFont::Remove() {
  if (handle_ != nullptr) RemoveFontMemResourceEx(handle_);
  handle_ = nullptr;
}

HFONT EmbeddedFont::CreateGuiFont() {
  return CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, OEM_CHARSET, OUT_RASTER_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                     kEmbeddedFontFace);
}

}  // namespace ov
