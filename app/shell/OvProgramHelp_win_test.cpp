// The real OV.exe under Wine with its help and hints: F1 opens the help file
// while help is on (DispHelp 1) and does nothing while it is off; the pointer
// resting on the open button shows that button's English hint.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/resources/ResourceIds.h"
#include "app/shell/OvProgramTestSupport_win.h"

namespace ov {
namespace {

using namespace ovprogram_test;

namespace fs = std::filesystem;

constexpr wchar_t kMainCaption[] = L"Orlavisonic 1.00";

// A visible top-level window of the process that is neither the main window
// nor a hint window: the help viewer.
HWND OtherVisibleWindow(DWORD pid, HWND main) {
  struct Search {
    DWORD pid;
    HWND main;
    HWND found;
  } s{pid, main, nullptr};
  EnumWindows(
      [](HWND h, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        wchar_t cls[64] = {};
        GetClassNameW(h, cls, 64);
        if (owner != s->pid || h == s->main || !IsWindowVisible(h) ||
            wcscmp(cls, TOOLTIPS_CLASSW) == 0)
          return TRUE;
        s->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// The process's hint window while it is shown.
HWND ShownHint(DWORD pid) {
  Found f{TOOLTIPS_CLASSW, L"", pid, nullptr, true};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&f));
  return f.hwnd;
}

TEST(OvProgramHelp, F1OpensTheHelpAndTheOpenButtonShowsItsHint) {
  const fs::path dir = ProgramFolder("helpon");
  WriteIni(dir / "OV.INI", "");  // DispHelp=1
  Process p(dir / "OV.exe", L"");
  ASSERT_TRUE(p.ok());
  HWND window = WaitMainWindow(kMainCaption, p.id());
  ASSERT_NE(window, nullptr);
  ASSERT_EQ(OtherVisibleWindow(p.id(), window), nullptr);

  // The hint: the pointer rests on the open button.
  HWND open = GetDlgItem(window, IDC_MAIN_OPEN_BUTTON);
  ASSERT_NE(open, nullptr);
  RECT r{};
  GetWindowRect(open, &r);
  ASSERT_TRUE(PressKeys(window, {}));  // the window in front, under the pointer
  SetCursorPos((r.left + r.right) / 2 - 3, (r.top + r.bottom) / 2);
  Sleep(50);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  HWND hint = nullptr;
  EXPECT_TRUE(Until([&] { return (hint = ShownHint(p.id())) != nullptr; }, 10000))
      << "no hint shown over the open button";
  EXPECT_EQ(hint ? TextOf(hint) : L"", L"Open Wave file (w/shift key, Open PlayList)");
  SetCursorPos(0, 0);

  ASSERT_TRUE(PressKeys(window, {VK_F1}));
  HWND help = nullptr;
  EXPECT_TRUE(Until([&] { return (help = OtherVisibleWindow(p.id(), window)) != nullptr; }, 20000))
      << "F1 opened no help window";
  if (help != nullptr) {
    std::printf("help window: \"%ls\"\n", TextOf(help).c_str());
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitExit(15000));
}

TEST(OvProgramHelp, F1DoesNothingWhileHelpIsOff) {
  const fs::path dir = ProgramFolder("helpoff");
  std::ofstream(dir / "OV.INI") << "[Version]\r\nVer=1.00\r\n[Window]\r\nDispHelp=0\r\n";
  Process p(dir / "OV.exe", L"");
  ASSERT_TRUE(p.ok());
  HWND window = WaitMainWindow(kMainCaption, p.id());
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(PressKeys(window, {VK_F1}));
  Sleep(3000);
  EXPECT_EQ(OtherVisibleWindow(p.id(), window), nullptr) << "F1 opened help while it is off";
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitExit(15000));
}

}  // namespace
}  // namespace ov
