// The overlay open and save dialogs: the system's common file dialogs.
#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <string>

#include "app/analysis/OverlayFile.h"
#include "app/analysis/OverlayPanelWindow_win.h"
#include "app/common/Utf8.h"

namespace ov {

namespace {

std::wstring Wide(const std::string& utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

std::string Narrow(const wchar_t* wide) {
  return Utf16ToUtf8(reinterpret_cast<const char16_t*>(wide));
}

// "Overlay file (*.OVO)|*.OVO|All files (*.*)|*.*" with the bars as the
// dialog's zero separators; the save dialog offers only the first pair.
std::wstring Filter(Language language, bool save) {
  std::wstring f = Wide(overlay_text::kFileKind.In(language));
  f += L" (*.OVO)";
  f.push_back(L'\0');
  f += L"*.OVO";
  f.push_back(L'\0');
  if (!save) {
    f += Wide(overlay_text::kAllFiles.In(language));
    f += L" (*.*)";
    f.push_back(L'\0');
    f += L"*.*";
    f.push_back(L'\0');
  }
  f.push_back(L'\0');
  return f;
}

class CommonDialogChooser final : public OverlayFileChooser {
 public:
  bool Choose(HWND owner, const OverlayDialogRequest& r, std::string& path) override {
    const std::wstring filter = Filter(r.language, r.save);
    const std::wstring title =
        Wide((r.save ? overlay_text::kSaveTitle : overlay_text::kOpenTitle).In(r.language));
    const std::wstring folder = Wide(r.initialDir);
    const std::wstring extension = Wide(kOverlayDefaultExtension);
    // Room for long paths; the dialog reports a longer choice as cancelled.
    std::wstring file(32768, L'\0');
    if (r.save) {
      const std::wstring proposed = Wide(r.fileName.empty() ? kOverlayDefaultName : r.fileName);
      proposed.copy(file.data(), std::min(proposed.size(), file.size() - 1));
    }
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = extension.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    ofn.Flags |= r.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
    const BOOL ok = r.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!ok) return false;
    path = Narrow(file.c_str());
    return !path.empty();
  }
};

}  // namespace

OverlayFileChooser& SystemOverlayFileChooser() {
  static CommonDialogChooser chooser;
  return chooser;
}

}  // namespace ov
