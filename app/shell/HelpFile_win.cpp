#include "app/shell/HelpFile_win.h"

namespace ov {

namespace {

constexpr UINT kHelpContext = 0x000F;  // HH_HELP_CONTEXT
constexpr UINT kCloseAll = 0x0012;     // HH_CLOSE_ALL

}  // namespace

HelpFile::~HelpFile() {
  if (viewer_ != nullptr) {
    CloseAll();
    FreeLibrary(viewer_);
  }
}

bool HelpFile::Bind() {
  if (htmlHelp_ != nullptr) return true;
  if (viewer_ == nullptr) viewer_ = LoadLibraryW(L"HHCTRL.OCX");
  if (viewer_ == nullptr) return false;
  // The wide-character entry, so that a program folder of any name works.
  htmlHelp_ =
      reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(viewer_, "HtmlHelpW")));
  return htmlHelp_ != nullptr;
}

HWND HelpFile::ShowContext(HWND owner, DWORD contextId) {
  if (!Bind()) return nullptr;
  return htmlHelp_(owner, path_.c_str(), kHelpContext, contextId);
}

void HelpFile::CloseAll() {
  if (htmlHelp_ != nullptr) htmlHelp_(nullptr, nullptr, kCloseAll, 0);
}

}  // namespace ov
