// The real OV.exe under Wine: the measure mode and its keys, the measure
// panel under the spectrum area, overlay capture and save through the Shift
// keys, and the top panel's controls at the default window size.
//
// The program reads Ctrl and Shift as they were when a key arrived, so the
// keys are pressed as input (SendInput into the focused program) rather than
// posted.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <fstream>
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

// Waits until the position text shows at least `seconds` played: the start
// of the sound can take a while on a loaded machine.
bool PlayedFor(HWND window, int seconds, DWORD ms) {
  return Until(
      [&] {
        int m = 0, s = 0;
        return swscanf(TextOf(GetDlgItem(window, IDC_MAIN_LABEL1)).c_str(), L"%dm%ds", &m, &s) ==
                   2 &&
               m * 60 + s >= seconds;
      },
      ms);
}

TEST(OvProgramMeasure, ShiftCCapturesAndShiftSSavesTheOverlayFile) {
  const fs::path dir = ProgramFolder("measureoverlay");
  WriteIni(dir / "OV.INI", "[MeasureMode]\r\nMeasureMode=1\r\n");
  WriteTone(dir / "tone.wav", 3000, 20);
  Process p(dir / "OV.exe", L"tone.wav");
  HWND window = WaitMainWindow(L"Orlavisonic 1.00", p.id());
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(PlayedFor(window, 2, 30000));
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
  ASSERT_TRUE(AnswerNamedFileDialog(p.id(), L"Save Overlay file.", out));
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

// A left click posted to a control of the program (an edit takes the focus).
void ClickChild(HWND window, HWND child) {
  for (int i = 0; i < 100 && GetForegroundWindow() != window; ++i) {
    SetForegroundWindow(window);
    Sleep(20);
  }
  PostMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
  PostMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  Sleep(200);
}

TEST(OvProgramMeasure, TypingIntoTheAveragingBoxOrAnOverlayCommentKeepsTheKeys) {
  const fs::path dir = ProgramFolder("measuretyping");
  WriteIni(dir / "OV.INI", "[MeasureMode]\r\nMeasureMode=1\r\n");
  WriteTone(dir / "tone.wav", 1000, 30);
  Process p(dir / "OV.exe", L"tone.wav");
  HWND window = WaitMainWindow(L"Orlavisonic 1.00", p.id());
  ASSERT_NE(window, nullptr);
  Sleep(1500);  // playing
  HWND panel = ChildOfClass(window, L"OvMeasurePanel");
  HWND overlays = ChildOfClass(window, L"OvOverlayPanel");
  ASSERT_NE(panel, nullptr);
  ASSERT_NE(overlays, nullptr);
  HWND peak = FindWindowExW(panel, nullptr, L"BUTTON", L"Peak");
  HWND box = FindWindowExW(panel, nullptr, L"ComboBox", nullptr);
  HWND boxEdit = box ? FindWindowExW(box, nullptr, L"Edit", nullptr) : nullptr;
  HWND comment = FindWindowExW(overlays, nullptr, L"Edit", nullptr);
  HWND pause = GetDlgItem(window, IDC_MAIN_PAUSE_BUTTON);
  ASSERT_NE(peak, nullptr);
  ASSERT_NE(boxEdit, nullptr);
  ASSERT_NE(comment, nullptr);

  // In the averaging box's text Shift+P and Space are typing, not commands.
  ClickChild(window, boxEdit);
  ASSERT_TRUE(PressKeys(window, {VK_SHIFT, 'P'}));
  ASSERT_TRUE(PressKeys(window, {VK_SPACE}));
  EXPECT_FALSE(Checked(peak)) << "Shift+P reached the key preview from the averaging box";
  EXPECT_FALSE(Checked(pause)) << "Space paused from the averaging box";

  // In an overlay comment the keys type their characters.
  ClickChild(window, comment);
  ASSERT_TRUE(PressKeys(window, {VK_SHIFT, 'P'}));
  ASSERT_TRUE(PressKeys(window, {VK_SPACE}));
  ASSERT_TRUE(PressKeys(window, {VK_SHIFT, 'A'}));
  EXPECT_EQ(TextOf(comment), L"P A");
  EXPECT_FALSE(Checked(peak));
  EXPECT_FALSE(Checked(pause));

  // Esc hands the focus back: the keys are commands again.
  ASSERT_TRUE(PressKeys(window, {VK_ESCAPE}));
  ASSERT_TRUE(PressKeys(window, {VK_SHIFT, 'P'}));
  EXPECT_TRUE(Checked(peak));
  HWND positioning = GetDlgItem(window, IDC_MAIN_POSITIONING_BUTTON);
  ASSERT_NE(positioning, nullptr);
  EXPECT_FALSE(IsWindowVisible(positioning)) << "the positioning button shows only while paused";
  ASSERT_TRUE(PressKeys(window, {VK_SPACE}));
  EXPECT_TRUE(Checked(pause));
  EXPECT_TRUE(IsWindowVisible(positioning));
  ASSERT_TRUE(PressKeys(window, {VK_SPACE}));
  EXPECT_FALSE(Checked(pause));
  EXPECT_FALSE(IsWindowVisible(positioning));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitExit(10000));
}

bool ShownDown(HWND overlayShowButton) {
  // The show buttons draw their pressed look from the window's user data.
  return GetWindowLongPtrW(overlayShowButton, GWLP_USERDATA) != 0;
}

TEST(OvProgramMeasure, EachMeasureShiftKeyReachesItsControl) {
  const fs::path dir = ProgramFolder("measureshift");
  WriteIni(dir / "OV.INI", "[MeasureMode]\r\nMeasureMode=1\r\n");
  WriteTone(dir / "tone.wav", 1000, 30);
  Process p(dir / "OV.exe", L"tone.wav");
  HWND window = WaitMainWindow(L"Orlavisonic 1.00", p.id());
  ASSERT_NE(window, nullptr);
  Sleep(1500);
  ASSERT_TRUE(PressKeys(window, {VK_SPACE}));  // paused
  HWND panel = ChildOfClass(window, L"OvMeasurePanel");
  HWND overlays = ChildOfClass(window, L"OvOverlayPanel");
  ASSERT_NE(panel, nullptr);
  ASSERT_NE(overlays, nullptr);
  HWND main = FindWindowExW(panel, nullptr, L"BUTTON", L"Main");
  HWND thd = FindWindowExW(panel, nullptr, L"BUTTON", L"THD");
  HWND rms = FindWindowExW(panel, nullptr, L"BUTTON", L"RMS");
  HWND box = FindWindowExW(panel, nullptr, L"ComboBox", nullptr);
  HWND ovl1 = FindWindowExW(overlays, nullptr, L"BUTTON", L"OVL1");
  HWND ovl2 = FindWindowExW(overlays, nullptr, L"BUTTON", L"OVL2");
  for (HWND h : {main, thd, rms, box, ovl1, ovl2}) ASSERT_NE(h, nullptr);
  EXPECT_TRUE(Checked(main));

  ASSERT_TRUE(PressKeys(window, {VK_SHIFT, 'T'}));
  EXPECT_TRUE(Checked(thd));
  ASSERT_TRUE(PressKeys(window, {VK_SHIFT, 'R'}));
  EXPECT_TRUE(Checked(rms));
  ASSERT_TRUE(PressKeys(window, {VK_SHIFT, 'A'}));
  EXPECT_EQ(TextOf(box), L"10");
  EXPECT_TRUE(ShownDown(ovl2)) << "an average count above 1 shows overlay 2";
  ASSERT_TRUE(PressKeys(window, {VK_SHIFT, '2'}));
  EXPECT_FALSE(ShownDown(ovl2));
  ASSERT_TRUE(PressKeys(window, {VK_SHIFT, 'C'}));
  EXPECT_TRUE(ShownDown(ovl1));
  ASSERT_TRUE(PressKeys(window, {VK_SHIFT, 'M'}));
  EXPECT_FALSE(Checked(main)) << "the main spectrum goes off while overlay 1 is shown";
  ASSERT_TRUE(PressKeys(window, {VK_SHIFT, '1'}));
  EXPECT_FALSE(ShownDown(ovl1));
  EXPECT_TRUE(Checked(main)) << "with no overlay shown the main spectrum comes back on";
  // Shift+L opens the load dialog (cancelled here).
  ASSERT_TRUE(PressKeys(window, {VK_SHIFT, 'L'}));
  HWND dialog = WaitWindow(L"#32770", L"Open Overlay file.", p.id(), 30000);
  ASSERT_NE(dialog, nullptr);
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  for (int i = 0; i < 100 && IsWindow(dialog); ++i) Sleep(50);
  EXPECT_FALSE(IsWindow(dialog));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitExit(10000));
  const fs::path ini = dir / "OV.INI";
  EXPECT_EQ(IniInt(ini, L"MeasureMode", L"THD"), 1);
  EXPECT_EQ(IniInt(ini, L"MeasureMode", L"RMS"), 1);
  EXPECT_EQ(IniInt(ini, L"MeasureMode", L"SpectrumAverageN"), 10);
}

TEST(OvProgramMeasure, ARightClickOnTheCommentLineOpensTheCommentEditor) {
  const fs::path dir = ProgramFolder("measurecomment");
  const fs::path ini = dir / "OV.INI";
  WriteIni(ini, "[Conditions]\r\nDispSpectrumComment=1\r\n");
  Process p(dir / "OV.exe", L"");
  HWND window = WaitMainWindow(L"Orlavisonic 1.00", p.id());
  ASSERT_NE(window, nullptr);
  Sleep(500);
  HWND spectrum = GetDlgItem(window, IDC_MAIN_SPECTRUM_AREA);
  ASSERT_NE(spectrum, nullptr);
  // The comment line: right of the plot's left edge (41), 4 pixels down.
  PostMessageW(spectrum, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(60, 7));
  PostMessageW(spectrum, WM_RBUTTONUP, 0, MAKELPARAM(60, 7));
  HWND dialog = WaitWindow(L"#32770", L"Orlavisonic - Spectrum Comment", p.id(), 30000);
  ASSERT_NE(dialog, nullptr);
  // At the spectrum plot's corner (41, 18 with the comment line) + (10, 10).
  POINT corner{41 + 10, 18 + 10};
  ClientToScreen(spectrum, &corner);
  RECT r{};
  GetWindowRect(dialog, &r);
  EXPECT_EQ(r.left, corner.x);
  EXPECT_EQ(r.top, corner.y);
  HWND edit = GetDlgItem(dialog, IDC_COMMENT_EDIT1);
  ASSERT_NE(edit, nullptr);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Probe A"), SMTO_ABORTIFHUNG,
                      5000, &result);
  SendMessageTimeoutW(GetDlgItem(dialog, IDC_COMMENT_FS_CHECK), BM_SETCHECK, BST_CHECKED, 0,
                      SMTO_ABORTIFHUNG, 5000, &result);
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  for (int i = 0; i < 100 && IsWindow(dialog); ++i) Sleep(50);
  EXPECT_FALSE(IsWindow(dialog));
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(p.WaitExit(10000));
  wchar_t text[64] = {};
  GetPrivateProfileStringW(L"Conditions", L"SpectrumComment1", L"", text, 64, ini.c_str());
  EXPECT_STREQ(text, L"Probe A");
  EXPECT_EQ(IniInt(ini, L"Conditions", L"SpectrumCommentFs"), 1);
}

// A 16-bit wave file of `channels` channels with a quiet tone.
void WriteChannels(const fs::path& file, uint16_t channels, double seconds) {
  const uint32_t rate = 48000, frames = static_cast<uint32_t>(rate * seconds);
  std::vector<int16_t> data(size_t{frames} * channels);
  for (uint32_t i = 0; i < frames; ++i)
    for (uint16_t c = 0; c < channels; ++c)
      data[size_t{i} * channels + c] =
          static_cast<int16_t>(4000 * std::sin(2 * 3.14159265358979 * 500.0 * (c + 1) * i / rate));
  const uint32_t bytes = static_cast<uint32_t>(data.size() * 2);
  std::ofstream out(file, std::ios::binary);
  auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out.write("RIFF", 4);
  u32(36 + bytes);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);
  u16(channels);
  u32(rate);
  u32(rate * 2 * channels);
  u16(static_cast<uint16_t>(2 * channels));
  u16(16);
  out.write("data", 4);
  u32(bytes);
  out.write(reinterpret_cast<const char*>(data.data()), bytes);
}

// Closes any message box of the process (a device that refuses the format).
void CloseBoxes(DWORD pid) {
  for (HWND box; (box = WaitWindow(L"#32770", L"Orlavisonic", pid, 1500)) != nullptr;) {
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    Sleep(200);
  }
}

TEST(OvProgramMeasure, TheChannelSelectorsFollowTheOpenedFile) {
  const fs::path dir = ProgramFolder("channels");
  WriteIni(dir / "OV.INI", "");
  WriteChannels(dir / "four.wav", 4, 5);
  WriteChannels(dir / "mono.wav", 1, 5);
  Process p(dir / "OV.exe", L"four.wav");
  HWND window = WaitMainWindow(L"Orlavisonic 1.00", p.id());
  ASSERT_NE(window, nullptr);
  Sleep(1500);
  CloseBoxes(p.id());
  HWND button = GetDlgItem(window, IDC_MAIN_CHANNEL_BUTTON);
  HWND box = GetDlgItem(window, IDC_MAIN_CHANNEL_BOX);
  HWND label = GetDlgItem(window, IDC_MAIN_CHANNEL_LABEL);
  ASSERT_NE(button, nullptr);
  ASSERT_NE(box, nullptr);
  ASSERT_NE(label, nullptr);
  // Four channels: the box with "1" ... "4", item 0 chosen; no channel button.
  EXPECT_TRUE(IsWindowVisible(box));
  EXPECT_TRUE(IsWindowVisible(label));
  EXPECT_FALSE(IsWindowVisible(button));
  DWORD_PTR count = 0, selected = 0;
  SendMessageTimeoutW(box, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
  SendMessageTimeoutW(box, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 5000, &selected);
  EXPECT_EQ(count, 4u);
  EXPECT_EQ(selected, 0u);
  EXPECT_EQ(TextOf(box), L"1");

  // A mono file handed over: the channel button shows, disabled.
  Process starter(dir / "OV.exe", L"mono.wav", dir);
  EXPECT_TRUE(starter.WaitExit(10000));
  Sleep(1500);
  CloseBoxes(p.id());
  EXPECT_FALSE(IsWindowVisible(box));
  EXPECT_FALSE(IsWindowVisible(label));
  EXPECT_TRUE(IsWindowVisible(button));
  EXPECT_FALSE(IsWindowEnabled(button));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitExit(10000));
}

TEST(OvProgramMeasure, ALowWaveAreaPlaysWithoutAWavePlot) {
  // A wave area of 10 to 24 pixels leaves no wave plot: the view draws its
  // bevel, frame and labels only, and the program goes on playing.
  const fs::path dir = ProgramFolder("lowwave");
  WriteIni(dir / "OV.INI", "WaveWindowRatioX1000=60\r\n");
  WriteTone(dir / "tone.wav", 1000, 20);
  Process p(dir / "OV.exe", L"tone.wav");
  HWND window = WaitMainWindow(L"Orlavisonic 1.00", p.id());
  ASSERT_NE(window, nullptr);
  std::vector<int16_t> heard = RecordLoopback(3000, [] {});
  RECT wave{};
  GetClientRect(GetDlgItem(window, IDC_MAIN_WAVE_AREA), &wave);
  EXPECT_GE(wave.bottom, 10);
  EXPECT_LE(wave.bottom, 24);
  DWORD_PTR result = 0;
  EXPECT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitExit(10000));
  if (heard.empty()) GTEST_SKIP() << "no loopback input (Monitor of Null Output)";
  EXPECT_GE(TenthsWithTone(heard), 20);
}

// The frames per second of the rate text; rates of 1000 and more are shown
// with a letter for the thousands and count as 1000 here.
long RateOf(HWND rateText) {
  const std::wstring text = TextOf(rateText);
  if (text.empty()) return 0;
  return iswdigit(text[0]) ? std::wcstol(text.c_str(), nullptr, 10) : 1000;
}

TEST(OvProgramMeasure, At65536PointsBothViewsKeepDrawingInEveryDrawTypeAndAfterAResize) {
  // A large transform in a 1024x768 window while playing: the rate text
  // shows the frames drawn each second (printed as the program's own figure).
  const fs::path dir = ProgramFolder("bigfft");
  WriteIni(dir / "OV.INI", "Width=1024\r\nHeight=768\r\n[Conditions]\r\nSample_N=65536\r\n");
  WriteTone(dir / "tone.wav", 1000, 60);  // plays through every step
  Process p(dir / "OV.exe", L"tone.wav");
  HWND window = WaitMainWindow(L"Orlavisonic 1.00", p.id());
  ASSERT_NE(window, nullptr);
  HWND rate = GetDlgItem(window, IDC_MAIN_FRAME_RATE_TEXT);
  ASSERT_NE(rate, nullptr);
  EXPECT_NE(TextOf(GetDlgItem(window, IDC_MAIN_FFT_INFO_TEXT)).find(L"65536"), std::wstring::npos);
  ASSERT_TRUE(PlayedFor(window, 2, 30000));
  RECT client{};
  GetClientRect(window, &client);
  std::vector<long> rates;
  for (int i = 0; i < 5; ++i) {
    Sleep(1000);
    rates.push_back(RateOf(rate));
  }
  // One layout pass each: a resize of the playing window, returned when the
  // program has laid out its views again.
  std::vector<DWORD> passes;
  for (int size : {800, 1024, 800, 1024}) {
    const DWORD before = GetTickCount();
    SetWindowPos(window, nullptr, 0, 0, size, size * 3 / 4, SWP_NOMOVE | SWP_NOZORDER);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    passes.push_back(GetTickCount() - before);
    RECT now{};
    GetWindowRect(window, &now);
    EXPECT_EQ(now.right - now.left, size);
  }
  Sleep(1500);
  EXPECT_GT(RateOf(rate), 0) << "drawing stopped after resizing";

  // Both views in each draw type, chosen in the (hidden) setup dialog, whose
  // lists act at once.
  Found f{L"#32770", L"Orlavisonic - Setup", p.id(), nullptr};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&f));
  ASSERT_NE(f.hwnd, nullptr);
  std::vector<long> typeRates;
  for (int type = 0; type < 6; ++type) {
    for (int id : {IDC_SETUP_WAVE_DRAW_TYPE, IDC_SETUP_SPEC_DRAW_TYPE}) {
      HWND list = GetDlgItem(f.hwnd, id);
      SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(type), 0);
      SendMessageW(f.hwnd, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(list));
    }
    Sleep(2200);  // a whole second of the new type behind the rate text
    typeRates.push_back(RateOf(rate));
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitExit(10000));
  std::printf("[ measured ] frames per second, both views, draw types 0-5:");
  for (long r : typeRates) std::printf(" %ld", r);
  std::printf("\n");
  for (long r : typeRates) EXPECT_GT(r, 0) << "a draw type stopped the views";
  std::printf("[ measured ] resize to views laid out again (ms):");
  for (DWORD ms : passes) std::printf(" %lu", static_cast<unsigned long>(ms));
  std::printf("\n");
  EXPECT_GT(client.bottom, 600) << "the window did not take its stored size";
  std::printf("[ measured ] frames per second at N = 65536, both views, client %ldx%ld:",
              client.right, client.bottom);
  for (long r : rates) std::printf(" %ld", r);
  std::printf("\n");
  for (long r : rates) EXPECT_GT(r, 0) << "the views stopped drawing";
}

}  // namespace
}  // namespace ov
