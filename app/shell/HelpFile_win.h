// The help file "OV.chm" beside the program, opened at a topic through the
// HTML help viewer ("HHCTRL.OCX", loaded when first needed). Main thread.
#pragma once

#include <windows.h>

#include <string>

namespace ov {

class HelpFile {
 public:
  explicit HelpFile(std::wstring path) : path_(std::move(path)) {}
  ~HelpFile();
  HelpFile(const HelpFile&) = delete;
  HelpFile& operator=(const HelpFile&) = delete;

  // Opens the help file at a context id of its map; null when the viewer or
  // the file or the id is missing.
  HWND ShowContext(HWND owner, DWORD contextId);
  // Closes every help window this process opened.
  void CloseAll();

 private:
  using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
  bool Bind();

  std::wstring path_;
  HMODULE viewer_ = nullptr;
  HtmlHelpFn htmlHelp_ = nullptr;
};

}  // namespace ov
