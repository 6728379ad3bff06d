// The real OV.exe under Wine: the measure mode and its keys, the measure
// panel under the spectrum area, overlay capture and save through the Shift
// keys, and the top panel's controls at the default window size.
//
// The program reads Ctrl and Shift with GetAsyncKeyState, so the keys are
// pressed as input (SendInput into the focused program) rather than posted.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "app/resources/ResourceIds.h"
#include "app/shell/OvProgramTestSupport_win.h"

namespace ov {
namespace {

using namespace ovprogram_test;

namespace fs = std::filesystem;

// The program's window takes the focus, then the keys go down in order and
// up in reverse, as typed; true when the window had the focus.
bool PressKeys(HWND window, std::initializer_list<WORD> keys) {
  for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i) {
    SetForegroundWindow(window);
    Sleep(20);
  }
  if (GetForegroundWindow() != window) return false;
  std::vector<INPUT> in;
  for (WORD k : keys) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = k;
    in.push_back(i);
  }
  for (auto it = keys.end(); it != keys.begin();) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = *--it;
    i.ki.dwFlags = KEYEVENTF_KEYUP;
    in.push_back(i);
  }
  // One key at a time: the program sees each state change in turn.
  for (INPUT& i : in) {
    SendInput(1, &i, sizeof i);
    Sleep(30);
  }
  // The keys have been handled when the window answers again.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  Sleep(200);
  return true;
}

struct Child {
  std::wstring cls, text;
  HWND hwnd;
};

std::vector<Child> Children(HWND window) {
  std::vector<Child> all;
  EnumChildWindows(
      window,
      [](HWND h, LPARAM p) -> BOOL {
        wchar_t cls[64] = {}, text[128] = {};
        GetClassNameW(h, cls, 64);
        DWORD_PTR n = 0;
        SendMessageTimeoutW(h, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                            2000, &n);
        reinterpret_cast<std::vector<Child>*>(p)->push_back({cls, text, h});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  return all;
}

HWND ChildOfClass(HWND window, const wchar_t* cls) {
  for (const Child& c : Children(window))
    if (c.cls == cls) return c.hwnd;
  return nullptr;
}

// A child's rectangle in the main window's client coordinates.
RECT ClientRectOf(HWND main, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool Checked(HWND button) {
  DWORD_PTR state = 0;
  SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
  return state == BST_CHECKED;
}

int IniInt(const fs::path& ini, const wchar_t* section, const wchar_t* key) {
  return static_cast<int>(GetPrivateProfileIntW(section, key, -7, ini.c_str()));
}

TEST(OvProgramMeasure, CtrlMThenShiftPIsSavedWhileShiftPAloneDoesNothing) {
  const fs::path dir = ProgramFolder("measurekeys");
  const fs::path ini = dir / "OV.INI";
  WriteIni(ini, "");
  {
    // Outside measure mode Shift+P is no command, and no panel is shown.
    Process p(dir / "OV.exe", L"");
    HWND window = WaitMainWindow(L"Orlavisonic 1.00", p.id());
    ASSERT_NE(window, nullptr);
    Sleep(500);
    HWND panel = ChildOfClass(window, L"OvMeasurePanel");
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(IsWindowVisible(panel));
    ASSERT_TRUE(PressKeys(window, {VK_SHIFT, 'P'}));
    EXPECT_FALSE(IsWindowVisible(panel));
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(p.WaitExit(10000));
    EXPECT_EQ(IniInt(ini, L"MeasureMode", L"MeasureMode"), 0);
    EXPECT_EQ(IniInt(ini, L"MeasureMode", L"SpectrumPeakHold"), 0);
  }
  {
    // Ctrl+M shows the measure panel under the spectrum area; Shift+P then
    // presses "Peak"; both are in the settings file at exit.
    Process p(dir / "OV.exe", L"");
    HWND window = WaitMainWindow(L"Orlavisonic 1.00", p.id());
    ASSERT_NE(window, nullptr);
    Sleep(500);
    HWND spectrum = GetDlgItem(window, IDC_MAIN_SPECTRUM_AREA);
    const RECT before = ClientRectOf(window, spectrum);
    ASSERT_TRUE(PressKeys(window, {VK_CONTROL, 'M'}));
    HWND panel = ChildOfClass(window, L"OvMeasurePanel");
    HWND overlays = ChildOfClass(window, L"OvOverlayPanel");
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(overlays, nullptr);
    EXPECT_TRUE(IsWindowVisible(panel));
    EXPECT_TRUE(IsWindowVisible(overlays));
    RECT client{};
    GetClientRect(window, &client);
    const RECT area = ClientRectOf(window, spectrum);
    const RECT tools = ClientRectOf(window, panel), ovl = ClientRectOf(window, overlays);
    EXPECT_EQ(area.bottom, before.bottom - 50) << "the spectrum area gives 50 pixels up";
    for (const RECT& r : {tools, ovl}) {
      EXPECT_GE(r.top, area.bottom);
      EXPECT_LE(r.bottom, client.bottom);
      EXPECT_GE(r.left, 0);
      EXPECT_LE(r.right, client.right);
    }
    std::vector<std::wstring> texts;
    for (const Child& c : Children(panel)) texts.push_back(c.text);
    for (const Child& c : Children(overlays)) texts.push_back(c.text);
    for (const wchar_t* caption : {L"Main", L"Peak", L"THD", L"RMS", L"OVL1", L"OVL2", L"L", L"S"})
      EXPECT_NE(std::find(texts.begin(), texts.end(), caption), texts.end()) << caption;
    HWND peak = FindWindowExW(panel, nullptr, L"BUTTON", L"Peak");
    ASSERT_NE(peak, nullptr);
    EXPECT_FALSE(Checked(peak));
    ASSERT_TRUE(PressKeys(window, {VK_SHIFT, 'P'}));
    EXPECT_TRUE(Checked(peak));
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(p.WaitExit(10000));
    EXPECT_EQ(IniInt(ini, L"MeasureMode", L"MeasureMode"), 1);
    EXPECT_EQ(IniInt(ini, L"MeasureMode", L"SpectrumPeakHold"), 1);
  }
  {
    // The next start shows the panel with "Peak" down.
    Process p(dir / "OV.exe", L"");
    HWND window = WaitMainWindow(L"Orlavisonic 1.00", p.id());
    ASSERT_NE(window, nullptr);
    Sleep(500);
    HWND panel = ChildOfClass(window, L"OvMeasurePanel");
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(IsWindowVisible(panel));
    HWND peak = FindWindowExW(panel, nullptr, L"BUTTON", L"Peak");
    ASSERT_NE(peak, nullptr);
    EXPECT_TRUE(Checked(peak));
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(p.WaitExit(10000));
  }
}

// Answers the program's overlay save dialog with `path`; true when it came.
bool AnswerSaveDialog(DWORD pid, const fs::path& path) {
  HWND dialog = WaitWindow(L"#32770", L"Save Overlay file.", pid, 30000);
  if (dialog == nullptr) return false;
  Sleep(300);
  HWND name = GetDlgItem(dialog, 0x480);                  // edt1
  if (name == nullptr) name = GetDlgItem(dialog, 0x47C);  // cmb13
  if (name == nullptr) return false;
  DWORD_PTR r = 0;
  SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_ABORTIFHUNG,
                      5000, &r);
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  return true;
}

TEST(OvProgramMeasure, ShiftCCapturesAndShiftSSavesTheOverlayFile) {
  const fs::path dir = ProgramFolder("measureoverlay");
  WriteIni(dir / "OV.INI", "[MeasureMode]\r\nMeasureMode=1\r\n");
  WriteTone(dir / "tone.wav", 3000, 20);
  Process p(dir / "OV.exe", L"tone.wav");
  HWND window = WaitMainWindow(L"Orlavisonic 1.00", p.id());
  ASSERT_NE(window, nullptr);
  Sleep(2000);                                 // playing
  ASSERT_TRUE(PressKeys(window, {VK_SPACE}));  // paused: the frame is held
  HWND overlays = ChildOfClass(window, L"OvOverlayPanel");
  ASSERT_NE(overlays, nullptr);
  HWND save = FindWindowExW(overlays, nullptr, L"BUTTON", L"S");
  ASSERT_NE(save, nullptr);
  EXPECT_FALSE(IsWindowEnabled(save)) << "nothing to save before a capture";
  ASSERT_TRUE(PressKeys(window, {VK_SHIFT, 'C'}));
  EXPECT_TRUE(IsWindowEnabled(save)) << "the capture made overlay 1 savable";

  const fs::path out = dir / "captured.ovo";
  ASSERT_TRUE(PressKeys(window, {VK_SHIFT, 'S'}));
  ASSERT_TRUE(AnswerSaveDialog(p.id(), out));
  for (int i = 0; i < 200 && !fs::exists(out); ++i) Sleep(50);
  Sleep(500);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitExit(10000));

  // The file holds the paused frame's spectrum: 4096 points at 48 kHz, the
  // largest value at the tone's bin (3000 Hz / 11.71875 Hz = 256).
  std::istringstream in(ReadFile(out));
  std::string line;
  std::vector<std::string> header;
  for (int i = 0; i < 5 && std::getline(in, line); ++i) header.push_back(line);
  ASSERT_EQ(header.size(), 5u);
  EXPECT_EQ(header[0], "\"Orlavisonic Overlay\",1.20\r");
  EXPECT_EQ(header[2], "\"Sampling Frequency\",48000\r");
  EXPECT_EQ(header[3], "\"FFT Samples\",4096\r");
  EXPECT_EQ(header[4], "\"Amplitude\",2049\r");
  std::vector<double> values;
  while (std::getline(in, line)) {
    std::istringstream row(line);
    std::string v;
    while (std::getline(row, v, ',')) values.push_back(std::stod(v));
  }
  ASSERT_EQ(values.size(), 2049u);
  size_t peak = 0;
  for (size_t k = 1; k < values.size(); ++k)
    if (values[k] > values[peak]) peak = k;
  EXPECT_NEAR(static_cast<double>(peak), 256.0, 1.0);
  // Half scale is 16384; the file holds single-bin magnitudes (half the
  // amplitude), lowered by the window's gain: well above the noise.
  EXPECT_GT(values[peak], 1000.0);
  EXPECT_LT(values[peak], 16384.0);
}

TEST(OvProgramMeasure, TopPanelControlsLieInsideTheDefaultWindow) {
  const fs::path dir = ProgramFolder("toppanel");
  WriteIni(dir / "OV.INI", "");  // the default window size
  WriteTone(dir / "tone.wav", 1000, 20);
  Process p(dir / "OV.exe", L"tone.wav");
  HWND window = WaitMainWindow(L"Orlavisonic 1.00", p.id());
  ASSERT_NE(window, nullptr);
  Sleep(2500);  // playing: the time labels hold texts
  RECT outer{}, client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  EXPECT_EQ(outer.right - outer.left, 564);
  HWND label1 = GetDlgItem(window, IDC_MAIN_LABEL1), label2 = GetDlgItem(window, IDC_MAIN_LABEL2);
  ASSERT_NE(label1, nullptr);
  ASSERT_NE(label2, nullptr);
  wchar_t text[32] = {};
  GetWindowTextW(label2, text, 32);
  EXPECT_STREQ(text, L"00m20s");
  HWND setup = GetDlgItem(window, IDC_MAIN_SETUP_BUTTON);
  HWND measure = GetDlgItem(window, IDC_MAIN_MEASURE_BUTTON);
  ASSERT_NE(setup, nullptr);
  ASSERT_NE(measure, nullptr);
  const RECT l1 = ClientRectOf(window, label1), l2 = ClientRectOf(window, label2);
  for (const RECT& r : {l1, l2}) {
    EXPECT_GE(r.left, 0);
    EXPECT_LE(r.right, client.right) << "a time label runs past the right edge";
    EXPECT_LE(r.right, ClientRectOf(window, measure).left);
  }
  EXPECT_LE(l1.right, l2.left);
  // Every visible control of the top panel lies inside the client area, and
  // the panel ends above the wave area.
  const RECT wave = ClientRectOf(window, GetDlgItem(window, IDC_MAIN_WAVE_AREA));
  for (int id : {IDC_MAIN_OPEN_BUTTON, IDC_MAIN_PLAY_BUTTON, IDC_MAIN_STOP_BUTTON,
                 IDC_MAIN_PAUSE_BUTTON, IDC_MAIN_REC_BUTTON, IDC_MAIN_TRACK_BAR,
                 IDC_MAIN_CHANNEL_BUTTON, IDC_MAIN_MEASURE_BUTTON, IDC_MAIN_SETUP_BUTTON,
                 IDC_MAIN_WAVE_INFO_TEXT, IDC_MAIN_FFT_INFO_TEXT, IDC_MAIN_FRAME_RATE_TEXT}) {
    HWND c = GetDlgItem(window, id);
    ASSERT_NE(c, nullptr) << id;
    EXPECT_TRUE(IsWindowVisible(c)) << id;
    const RECT r = ClientRectOf(window, c);
    EXPECT_GE(r.left, 0) << id;
    EXPECT_LE(r.right, client.right) << id;
    EXPECT_LE(r.bottom, wave.top) << id;
  }
  // A stereo file: the channel button is usable, the channel box hidden.
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_MAIN_CHANNEL_BUTTON)));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_MAIN_CHANNEL_BOX)));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitExit(10000));
}

}  // namespace
}  // namespace ov
