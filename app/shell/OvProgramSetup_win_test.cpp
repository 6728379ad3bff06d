// The real OV.exe under Wine with its setup dialog: Ctrl+T shows it, a change
// acts on the main window at once, "&Apply" writes OV.INI at once and
// "&Cancel" puts the change back (the file written at exit keeps the applied
// value). The times from the key to the shown dialog and from Apply to the
// written file are printed.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/resources/ResourceIds.h"
#include "app/shell/OvProgramTestSupport_win.h"

namespace ov {
namespace {

using namespace ovprogram_test;

namespace fs = std::filesystem;

constexpr wchar_t kMainCaption[] = L"Orlavisonic 1.00";
constexpr wchar_t kSetupCaption[] = L"Orlavisonic - Setup";
constexpr int kFftPage = 2;

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// The dialog exists hidden from the start; the search does not need it shown.
HWND SetupDialogOf(DWORD pid) {
  Found f{L"#32770", kSetupCaption, pid, nullptr};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&f));
  return f.hwnd;
}

// The FFT page's point count, picked as a user would: the page's tab, then
// the list's item, with the notification the list sends.
void SelectFftPoints(HWND dialog, int index) {
  SendMessageW(GetDlgItem(dialog, IDC_SETUP_TAB), TCM_SETCURFOCUS, kFftPage, 0);
  HWND list = GetDlgItem(dialog, IDC_SETUP_FFT_POINTS);
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_SETUP_FFT_POINTS, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
}

bool FileHas(const fs::path& file, const std::string& text) {
  return ReadFile(file).find(text) != std::string::npos;
}

TEST(OvProgramSetup, CtrlTShowsTheDialogWhoseChangeActsAtOnceApplyWritesAndCancelPutsBack) {
  const fs::path dir = ProgramFolder("setupkeys");
  const fs::path ini = dir / "OV.INI";
  WriteIni(ini, "[Conditions]\r\nSample_N=4096\r\n");
  Process p(dir / "OV.exe", L"");
  ASSERT_TRUE(p.ok());
  HWND window = WaitMainWindow(kMainCaption, p.id());
  ASSERT_NE(window, nullptr);
  HWND dialog = nullptr;
  ASSERT_TRUE(Until([&] { return (dialog = SetupDialogOf(p.id())) != nullptr; }, 20000));
  HWND fftInfo = GetDlgItem(window, IDC_MAIN_FFT_INFO_TEXT);
  ASSERT_NE(fftInfo, nullptr);
  EXPECT_NE(TextOf(fftInfo).find(L" 4096 "), std::wstring::npos) << TextOf(fftInfo);
  EXPECT_FALSE(IsWindowVisible(dialog));

  {
    HeldControl control(window);
    ASSERT_TRUE(control.pressed()) << "xdotool could not be started";
    // The time includes the key presses' own pacing (about 0.25 s).
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(PressKeys(window, {'T'}));
    ASSERT_TRUE(Until([&] { return IsWindowVisible(dialog) != FALSE; }, 20000))
        << "Ctrl+T did not show the setup dialog";
    std::printf("[ measured ] T pressed with Ctrl held to the setup dialog shown: %.0f ms\n",
                MsSince(start));
  }

  // 1024 points (the list's fourth item) act on the main window at once.
  SelectFftPoints(dialog, 3);
  EXPECT_TRUE(Until([&] { return TextOf(fftInfo).find(L" 1024 ") != std::wstring::npos; }, 5000))
      << TextOf(fftInfo);
  const auto applied = std::chrono::steady_clock::now();
  Click(dialog, IDC_SETUP_APPLY);
  ASSERT_TRUE(Until([&] { return FileHas(ini, "Sample_N=1024"); }, 20000))
      << "Apply did not write the new size";
  std::printf("[ measured ] Apply to OV.INI written: %.0f ms\n", MsSince(applied));
  EXPECT_TRUE(Until([&] { return IsWindowVisible(dialog) == FALSE; }, 5000));

  // Opened again, a second change is shown at once and Cancel puts the
  // applied size back.
  ASSERT_TRUE(PressWithControl(window, 'T'));
  ASSERT_TRUE(Until([&] { return IsWindowVisible(dialog) != FALSE; }, 20000));
  SelectFftPoints(dialog, 7);  // 16384
  EXPECT_TRUE(Until([&] { return TextOf(fftInfo).find(L"16384 ") != std::wstring::npos; }, 5000))
      << TextOf(fftInfo);
  Click(dialog, IDC_SETUP_CANCEL);
  EXPECT_TRUE(Until([&] { return IsWindowVisible(dialog) == FALSE; }, 5000));
  EXPECT_TRUE(Until([&] { return TextOf(fftInfo).find(L" 1024 ") != std::wstring::npos; }, 5000))
      << TextOf(fftInfo);
  EXPECT_TRUE(FileHas(ini, "Sample_N=1024")) << "Cancel does not write the file";

  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(p.WaitExit(10000));
  EXPECT_TRUE(FileHas(ini, "Sample_N=1024"));
  EXPECT_FALSE(FileHas(ini, "Sample_N=16384"));
}

}  // namespace
}  // namespace ov
