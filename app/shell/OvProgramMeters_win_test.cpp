// The real OV.exe under Wine with its level meter, Lissajous window and
// draw-type auto-set window: shown from the settings, moving with the sound,
// following the main window, stored at exit; the auto-set window opened at
// the first use and from the setup dialog, a whole run, an abort, a closed
// program during a run and a recording that cannot start.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/resources/ResourceIds.h"
#include "app/shell/OvProgramTestSupport_win.h"

namespace ov {
namespace {

using namespace ovprogram_test;

namespace fs = std::filesystem;

constexpr wchar_t kMeterClass[] = L"OvLevelMeterForm";
constexpr wchar_t kLissajousClass[] = L"OvLissajousForm";
constexpr wchar_t kAutoSetClass[] = L"OvDrawTypeAutoSetForm";
constexpr wchar_t kMainCaption[] = L"Orlavisonic 1.00";

// A window of a class in a process, shown or not.
HWND FindAny(const wchar_t* cls, const std::wstring& caption, DWORD pid) {
  struct Search {
    const wchar_t* cls;
    const std::wstring* caption;
    DWORD pid;
    HWND found;
  } s{cls, &caption, pid, nullptr};
  EnumWindows(
      [](HWND h, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        wchar_t name[64] = {}, text[256] = {};
        GetClassNameW(h, name, 64);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (wcscmp(name, s->cls) != 0 || owner != s->pid) return TRUE;
        if (!s->caption->empty()) {
          DWORD_PTR n = 0;
          SendMessageTimeoutW(h, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                              2000, &n);
          if (*s->caption != text) return TRUE;
        }
        s->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (size_t at; (at = text.find(L"\r\n", start)) != std::wstring::npos; start = at + 2)
    lines.push_back(text.substr(start, at - start));
  lines.push_back(text.substr(start));
  return lines;
}

// Waits until the memo holds `part`; returns the memo's text.
std::wstring WaitMemo(HWND memo, const std::wstring& part, DWORD ms) {
  const DWORD start = GetTickCount();
  std::wstring text;
  do {
    text = TextOf(memo);
    if (text.find(part) != std::wstring::npos) break;
    Sleep(100);
  } while (GetTickCount() - start < ms);
  return text;
}

int IniInt(const fs::path& ini, const wchar_t* section, const wchar_t* key) {
  return static_cast<int>(GetPrivateProfileIntW(section, key, -12345, ini.c_str()));
}

// Two tones one after the other, the same on both channels: `loud` (amplitude)
// for `loudSeconds`, then `soft` for `softSeconds`; 48 kHz, 16 bits.
void WriteTwoTones(const fs::path& file, double loud, double loudSeconds, double soft,
                   double softSeconds) {
  const uint32_t rate = 48000;
  const uint32_t a = static_cast<uint32_t>(rate * loudSeconds),
                 n = a + static_cast<uint32_t>(rate * softSeconds);
  std::vector<int16_t> data(n * 2);
  for (uint32_t i = 0; i < n; ++i) {
    const double amplitude = i < a ? loud : soft;
    data[2 * i] = data[2 * i + 1] =
        static_cast<int16_t>(amplitude * std::sin(2 * 3.14159265358979 * 1000.0 * i / rate));
  }
  WriteStereo16(file, rate, data);
}

// The window's client area as the screen shows it (0x00RRGGBB per pixel).
struct Shot {
  int width = 0, height = 0;
  std::vector<uint32_t> rgb;
  uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

Shot Capture(HWND window) {
  Shot s;
  RECT client;
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  s.width = client.right;
  s.height = client.bottom;
  if (s.width <= 0 || s.height <= 0) return s;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), s.width, -s.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, s.width, s.height, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  const auto* p = static_cast<const uint32_t*>(bits);
  s.rgb.assign(p, p + static_cast<size_t>(s.width) * s.height);
  for (uint32_t& c : s.rgb) c &= 0xFFFFFF;
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return s;
}

// The last column of row y in [x0, x1) that differs from the same row of
// `idle`; -1 when none does.
int LastChange(const Shot& now, const Shot& idle, int y, int x0, int x1) {
  if (now.width != idle.width || now.height != idle.height || y >= now.height) return -1;
  int last = -1;
  for (int x = x0; x < std::min(x1, now.width); ++x)
    if (now.At(x, y) != idle.At(x, y)) last = x;
  return last;
}

// ---- Level meter

TEST(OvProgramMeters, TheLevelMeterShowsFollowsTheSoundAndTheMainWindowAndIsStored) {
  const fs::path dir = ProgramFolder("meter");
  // A horizontal meter of two bars below the main window (the screen is read
  // back: nothing may cover it when a hand-over brings the main window
  // forward), moving with the main window.
  WriteIni(dir / "OV.INI",
           "PosX=40\r\nPosY=30\r\nWidth=700\r\nHeight=500\r\n"
           "[LevelMeterWindow]\r\nVisible=1\r\nPosX=420\r\nPosY=600\r\nWidth=330\r\n"
           "Height=42\r\nChannels=2\r\nFollow=1\r\n");
  // 3 s at half scale (-6.0 dB), then 4 s at a tenth (-20.0 dB).
  WriteTwoTones(dir / "tones.wav", 16384, 3, 3277, 4);
  Process p(dir / "OV.exe", L"");
  ASSERT_TRUE(p.ok());
  HWND main = WaitMainWindow(kMainCaption, p.id());
  ASSERT_NE(main, nullptr);
  HWND meter = WaitWindow(kMeterClass, L"", p.id(), 20000);
  ASSERT_NE(meter, nullptr) << "the meter is not shown";
  RECT r;
  GetWindowRect(meter, &r);
  EXPECT_EQ(r.left, 420);
  EXPECT_EQ(r.top, 600);
  RECT client;
  GetClientRect(meter, &client);
  EXPECT_EQ(client.right, 330);
  EXPECT_EQ(client.bottom, 42);
  EXPECT_TRUE(GetWindowLongW(meter, GWL_EXSTYLE) & WS_EX_TOPMOST);
  Sleep(500);
  const Shot idle = Capture(meter);
  ASSERT_EQ(idle.width, 330);

  // Bar 0 of a horizontal two-bar meter starts at x = 16, y = 4, with a
  // thickness of (H - th - 15) / 2: its middle row lies within rows 5..8.
  // The bars' end moves with the peak: p = (level + 600) x L / 600, and the
  // hold mark takes the 4 columns beyond it. The numbers begin right of
  // W - 45 (their width is that of "-8.8"), so the scan stops there.
  Process starter(dir / "OV.exe", L"tones.wav");
  ASSERT_TRUE(starter.ok());
  EXPECT_TRUE(starter.WaitExit(10000));
  std::map<int, int> ends;  // last changed column -> captures
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 9000) {
    const Shot now = Capture(meter);
    const int end = LastChange(now, idle, 6, 16, idle.width - 45);
    if (end > 0) ++ends[end];
    Sleep(60);
  }
  ASSERT_FALSE(ends.empty()) << "the bars never moved";
  // Two clusters: the loud tone's end and the soft tone's end (the most
  // frequent column well below the loud one).
  const int loudEnd = ends.rbegin()->first;
  int softEnd = -1, softCount = 0;
  for (const auto& [end, count] : ends) {
    if (end < loudEnd - 20 && count > softCount) {
      softEnd = end;
      softCount = count;
    }
  }
  ASSERT_GT(softEnd, 16) << "the soft tone was not shown";
  const double ratio = static_cast<double>(loudEnd - 20) / (softEnd - 20);
  std::printf("bar ends: loud %d, soft %d (ratio %.3f, expected 540/400 = 1.350)\n", loudEnd,
              softEnd, ratio);
  EXPECT_NEAR(ratio, 540.0 / 400.0, 0.03);

  // The meter moves with the main window by the same delta.
  RECT before, mainRect;
  GetWindowRect(meter, &before);
  GetWindowRect(main, &mainRect);
  SetWindowPos(main, nullptr, mainRect.left + 37, mainRect.top + 21, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT after{};
  for (int i = 0; i < 100; ++i) {
    GetWindowRect(meter, &after);
    if (after.left != before.left) break;
    Sleep(20);
  }
  EXPECT_EQ(after.left - before.left, 37);
  EXPECT_EQ(after.top - before.top, 21);

  // Moved and resized by hand, the meter's geometry is stored at exit.
  SetWindowPos(meter, nullptr, 211, 177, 300, 50, SWP_NOZORDER | SWP_NOACTIVATE);
  Sleep(300);
  GetClientRect(meter, &client);
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(p.WaitExit(20000));
  const fs::path ini = dir / "OV.INI";
  EXPECT_EQ(IniInt(ini, L"LevelMeterWindow", L"PosX"), 211);
  EXPECT_EQ(IniInt(ini, L"LevelMeterWindow", L"PosY"), 177);
  EXPECT_EQ(IniInt(ini, L"LevelMeterWindow", L"Width"), client.right);
  EXPECT_EQ(IniInt(ini, L"LevelMeterWindow", L"Height"), client.bottom);
  EXPECT_EQ(IniInt(ini, L"LevelMeterWindow", L"Visible"), 1);
  EXPECT_EQ(IniInt(ini, L"LevelMeterWindow", L"Channels"), 2);
}

// ---- Lissajous window

TEST(OvProgramMeters, TheLissajousWindowShowsTheFigureOfTwoEqualChannelsAsADiagonal) {
  const fs::path dir = ProgramFolder("lissajous");
  // Right of the main window: nothing covers it.
  WriteIni(dir / "OV.INI",
           "PosX=40\r\nPosY=30\r\nWidth=700\r\nHeight=500\r\n"
           "[LissajousWindow]\r\nVisible=1\r\nPosX=800\r\nPosY=200\r\nWidth=160\r\n"
           "Height=160\r\n");
  WriteTone(dir / "tone.wav", 1000, 6);
  Process p(dir / "OV.exe", L"");
  ASSERT_TRUE(p.ok());
  HWND main = WaitMainWindow(kMainCaption, p.id());
  ASSERT_NE(main, nullptr);
  HWND window = WaitWindow(kLissajousClass, L"", p.id(), 20000);
  ASSERT_NE(window, nullptr) << "the Lissajous window is not shown";
  RECT r, client;
  GetWindowRect(window, &r);
  GetClientRect(window, &client);
  EXPECT_EQ(r.left, 800);
  EXPECT_EQ(r.top, 200);
  EXPECT_EQ(client.right, 160);
  EXPECT_EQ(client.bottom, 160);
  Sleep(500);
  const Shot idle = Capture(window);

  Process starter(dir / "OV.exe", L"tone.wav");
  ASSERT_TRUE(starter.ok());
  EXPECT_TRUE(starter.WaitExit(10000));
  // The plot is the square of side 150 at (5, 5). Equal channels put every
  // point on the line from its bottom left to its top right corner: x + y = s
  // in plot coordinates; the half-scale tone reaches a quarter of the side.
  const int side = 150;
  int best = 0, offLine = 0;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 4000) {
    Sleep(200);
    const Shot now = Capture(window);
    if (now.width != idle.width) continue;
    int on = 0, off = 0;
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x)
        if (now.At(x + 5, y + 5) != idle.At(x + 5, y + 5)) {
          if (std::abs(x + y - side) <= 3)
            ++on;
          else
            ++off;
        }
    if (on > best) {
      best = on;
      offLine = off;
    }
  }
  std::printf("Lissajous: %d changed pixels on the diagonal, %d off it\n", best, offLine);
  EXPECT_GT(best, side / 4);
  EXPECT_LT(offLine, best / 10);

  SetWindowPos(window, nullptr, 333, 222, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Sleep(300);
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(p.WaitExit(20000));
  EXPECT_EQ(IniInt(dir / "OV.INI", L"LissajousWindow", L"PosX"), 333);
  EXPECT_EQ(IniInt(dir / "OV.INI", L"LissajousWindow", L"PosY"), 222);
  EXPECT_EQ(IniInt(dir / "OV.INI", L"LissajousWindow", L"Width"), 160);
}

// ---- Draw-type auto-set

// The settings a run changes, and changes back.
const char kRunSettings[] =
    "[Conditions]\r\nWaveDrawType=1\r\nSpectrumDrawType=2\r\nUseTimer=1\r\n"
    "DispThreadSleepPeriod=15\r\nRecToFile=1\r\n";

void ExpectRunSettingsBack(const fs::path& ini) {
  EXPECT_EQ(IniInt(ini, L"Conditions", L"UseTimer"), 1);
  EXPECT_EQ(IniInt(ini, L"Conditions", L"DispThreadSleepPeriod"), 15);
  EXPECT_EQ(IniInt(ini, L"Conditions", L"RecToFile"), 1);
}

bool AnyWaveFile(const fs::path& dir) {
  for (const auto& e : fs::directory_iterator(dir)) {
    std::string ext = e.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), ::toupper);
    if (ext == ".WAV") return true;
  }
  return false;
}

// What a completed run's memo says: the measured lines, and the fastest
// types of the passes (the last "Max" line is the wave's, the one before it
// the spectrum's) with the line that names the types set.
struct RunMemo {
  int measured = 0;
  int wave = -1;
  int spectrum = -1;
  std::wstring chosen;
  std::wstring ChosenLine() const {
    if (wave < 0 || spectrum < 0) return L"";
    return L" Wave: " + std::wstring(kTypeNames[wave]) + L"\t Spectrum: " + kTypeNames[spectrum];
  }
  static constexpr const wchar_t* kTypeNames[] = {L"Screen",  L"Image 1", L"Image 2",
                                                  L"DDraw 1", L"DDraw 2", L"DDraw 3"};
};

RunMemo ReadRunMemo(const std::wstring& text) {
  RunMemo run;
  std::vector<std::wstring> maxima;
  for (const std::wstring& line : Lines(text)) {
    if (line.find(L"\t --> ") != std::wstring::npos) ++run.measured;
    if (line.rfind(L"   Max: ", 0) == 0) maxima.push_back(line);
    if (line.rfind(L" Wave: ", 0) == 0) run.chosen = line;
    if (line.find(L" --> ") != std::wstring::npos)
      std::printf("  %s\n", std::string(line.begin(), line.end()).c_str());
  }
  auto typeAt8 = [](const std::wstring& line) {
    for (int i = 5; i >= 0; --i)
      if (line.find(RunMemo::kTypeNames[i], 8) == 8) return i;
    return -1;
  };
  if (maxima.size() == 3) {
    run.wave = typeAt8(maxima[2]);
    run.spectrum = typeAt8(maxima[1]);
  }
  return run;
}

// The hidden setup dialog's "Auto set" button opens the window (modal).
HWND OpenFromSetup(const Process& p) {
  HWND setup = FindAny(L"#32770", L"Orlavisonic - Setup", p.id());
  if (setup == nullptr) return nullptr;
  Click(setup, IDC_SETUP_WAVE_AUTO_SET);
  return WaitWindow(kAutoSetClass, L"Orlavisonic - Drawing type auto set", p.id(), 20000);
}

TEST(OvProgramMeters, FirstUseOpensTheAutoSetWindowWhoseRunChoosesAndStoresTheTypes) {
  const fs::path dir = ProgramFolder("autoset_first");
  // No settings file: the first use. The run's settings are its defaults.
  Process p(dir / "OV.exe", L"");
  ASSERT_TRUE(p.ok());
  HWND box = WaitWindow(L"#32770", L"", p.id(), 60000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box).rfind(L"Please refer to the Help file", 0), 0u);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  HWND form = WaitWindow(kAutoSetClass, L"Orlavisonic - Drawing type auto set", p.id(), 30000);
  ASSERT_NE(form, nullptr) << "the auto-set window did not open after the notice";
  HWND main = FindAny(L"TMainForm", kMainCaption, p.id());
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(IsWindowEnabled(main)) << "the window is not modal";
  HWND memo = GetDlgItem(form, IDC_AUTO_SET_MEMO);
  const std::wstring opening = WaitMemo(memo, L"first run", 5000);
  EXPECT_EQ(opening,
            L"[Message]\r\nBecause of first run, please click start button and set the drawing "
            L"type.");
  ASSERT_TRUE(IsWindowEnabled(GetDlgItem(form, IDC_AUTO_SET_START_BUTTON)));

  const DWORD start = GetTickCount();
  Click(form, IDC_AUTO_SET_START_BUTTON);
  const std::wstring text = WaitMemo(memo, L"(Sleep time has been restored.)", 240000);
  std::printf("auto-set run in OV.exe: %lu ms\n",
              static_cast<unsigned long>(GetTickCount() - start));
  ASSERT_NE(text.find(L"These results are set:"), std::wstring::npos)
      << "memo:\n"
      << std::string(text.begin(), text.end());
  const RunMemo run = ReadRunMemo(text);
  EXPECT_EQ(run.measured, 18);
  ASSERT_GE(run.wave, 0);
  ASSERT_GE(run.spectrum, 0);
  EXPECT_EQ(run.chosen, run.ChosenLine());
  const int wave = run.wave, spectrum = run.spectrum;
  Click(form, IDC_AUTO_SET_CLOSE_BUTTON);
  for (int i = 0; i < 100 && !IsWindowEnabled(main); ++i) Sleep(50);
  EXPECT_TRUE(IsWindowEnabled(main));
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(p.WaitExit(20000));
  const fs::path ini = dir / "OV.INI";
  EXPECT_EQ(IniInt(ini, L"Conditions", L"WaveDrawType"), wave);
  EXPECT_EQ(IniInt(ini, L"Conditions", L"SpectrumDrawType"), spectrum);
  EXPECT_EQ(IniInt(ini, L"Conditions", L"UseTimer"), 0);
  EXPECT_EQ(IniInt(ini, L"Window", L"DispHelp"), 1);
  EXPECT_FALSE(AnyWaveFile(dir)) << "the run recorded into a file";
}

TEST(OvProgramMeters, CancelInTheSetupDialogAfterACompletedRunKeepsTheChosenTypes) {
  const fs::path dir = ProgramFolder("autoset_cancel");
  // Image 1 for both, the slowest type in every measured run, so that the
  // run's choice differs from it. A start in a DirectDraw type would not do
  // under Wine: a primary surface made while the program starts leaves the
  // window without a picture for the whole session, and the DirectDraw types
  // then measure frames that never reach the screen. The window of the
  // display benchmark's both-views table (1024 x 768), so that the printed
  // rates compare.
  WriteIni(dir / "OV.INI",
           "Width=1024\r\nHeight=768\r\n[Conditions]\r\nWaveDrawType=1\r\nSpectrumDrawType=1\r\n"
           "UseTimer=1\r\nDispThreadSleepPeriod=15\r\nRecToFile=1\r\n");
  Process p(dir / "OV.exe", L"");
  ASSERT_TRUE(p.ok());
  HWND main = WaitMainWindow(kMainCaption, p.id());
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(PressWithControl(main, 'T'));
  HWND setup = WaitWindow(L"#32770", L"Orlavisonic - Setup", p.id(), 20000);
  ASSERT_NE(setup, nullptr) << "Ctrl+T did not show the setup dialog";
  HWND form = OpenFromSetup(p);
  ASSERT_NE(form, nullptr);
  HWND memo = GetDlgItem(form, IDC_AUTO_SET_MEMO);
  WaitMemo(memo, L"[Note]", 5000);
  Click(form, IDC_AUTO_SET_START_BUTTON);
  const RunMemo run = ReadRunMemo(WaitMemo(memo, L"(Sleep time has been restored.)", 240000));
  ASSERT_GE(run.wave, 0);
  ASSERT_GE(run.spectrum, 0);
  Click(form, IDC_AUTO_SET_CLOSE_BUTTON);
  ASSERT_TRUE(Until([&] { return IsWindowEnabled(setup) != FALSE; }, 5000));
  Click(setup, IDC_SETUP_CANCEL);
  EXPECT_TRUE(Until([&] { return IsWindowVisible(setup) == FALSE; }, 5000));
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(p.WaitExit(20000));
  const fs::path ini = dir / "OV.INI";
  EXPECT_EQ(IniInt(ini, L"Conditions", L"WaveDrawType"), run.wave);
  EXPECT_EQ(IniInt(ini, L"Conditions", L"SpectrumDrawType"), run.spectrum);
  ExpectRunSettingsBack(ini);
}

TEST(OvProgramMeters, AnAbortFromTheSetupDialogsWindowPutsTheSettingsBack) {
  const fs::path dir = ProgramFolder("autoset_abort");
  WriteIni(dir / "OV.INI", kRunSettings);
  Process p(dir / "OV.exe", L"");
  ASSERT_TRUE(p.ok());
  HWND main = WaitMainWindow(kMainCaption, p.id());
  ASSERT_NE(main, nullptr);
  Sleep(500);
  HWND form = OpenFromSetup(p);
  ASSERT_NE(form, nullptr);
  HWND memo = GetDlgItem(form, IDC_AUTO_SET_MEMO);
  EXPECT_EQ(WaitMemo(memo, L"[Note]", 5000).rfind(L"[Note]\r\n While check drawing speed", 0), 0u);
  Click(form, IDC_AUTO_SET_START_BUTTON);
  WaitMemo(memo, L"Checking Wave drawing speed...", 30000);
  Sleep(5000);
  const DWORD abortAt = GetTickCount();
  Click(form, IDC_AUTO_SET_START_BUTTON);
  const std::wstring text = WaitMemo(memo, L"(Sleep time has been restored.)", 30000);
  std::printf("abort to restored: %lu ms\n", static_cast<unsigned long>(GetTickCount() - abortAt));
  EXPECT_NE(text.find(L"*Aborted!"), std::wstring::npos);
  EXPECT_NE(text.find(L"(The setting of the drawing method has been restored.)"),
            std::wstring::npos);
  EXPECT_NE(text.find(L"('Save to file' CheckBox has been restored.)"), std::wstring::npos);
  Click(form, IDC_AUTO_SET_CLOSE_BUTTON);
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(p.WaitExit(20000));
  const fs::path ini = dir / "OV.INI";
  EXPECT_EQ(IniInt(ini, L"Conditions", L"WaveDrawType"), 1);
  EXPECT_EQ(IniInt(ini, L"Conditions", L"SpectrumDrawType"), 2);
  ExpectRunSettingsBack(ini);
  EXPECT_FALSE(AnyWaveFile(dir)) << "the run recorded into a file";
}

TEST(OvProgramMeters, ClosingTheProgramDuringARunEndsItWithTheSettingsBack) {
  const fs::path dir = ProgramFolder("autoset_close");
  WriteIni(dir / "OV.INI", kRunSettings);
  Process p(dir / "OV.exe", L"");
  ASSERT_TRUE(p.ok());
  HWND main = WaitMainWindow(kMainCaption, p.id());
  ASSERT_NE(main, nullptr);
  Sleep(500);
  HWND form = OpenFromSetup(p);
  ASSERT_NE(form, nullptr);
  HWND memo = GetDlgItem(form, IDC_AUTO_SET_MEMO);
  WaitMemo(memo, L"[Note]", 5000);
  Click(form, IDC_AUTO_SET_START_BUTTON);
  WaitMemo(memo, L"Checking Wave drawing speed...", 30000);
  Sleep(3000);
  const DWORD closeAt = GetTickCount();
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(p.WaitExit(60000)) << "the program hung or crashed";
  std::printf("close during a run to exit: %lu ms\n",
              static_cast<unsigned long>(GetTickCount() - closeAt));
  const fs::path ini = dir / "OV.INI";
  EXPECT_EQ(IniInt(ini, L"Conditions", L"WaveDrawType"), 1);
  EXPECT_EQ(IniInt(ini, L"Conditions", L"SpectrumDrawType"), 2);
  ExpectRunSettingsBack(ini);
  EXPECT_FALSE(AnyWaveFile(dir)) << "the run recorded into a file";
}

TEST(OvProgramMeters, ARecordingThatCannotStartLeavesStartDisabled) {
  const fs::path dir = ProgramFolder("autoset_norec");
  // Wine refuses plain 32-bit input on the null sink's monitor.
  WriteIni(dir / "OV.INI", "[Conditions]\r\nRecBitLen=32\r\n");
  Process p(dir / "OV.exe", L"");
  ASSERT_TRUE(p.ok());
  HWND main = WaitMainWindow(kMainCaption, p.id());
  ASSERT_NE(main, nullptr);
  Sleep(500);
  HWND form = OpenFromSetup(p);
  ASSERT_NE(form, nullptr);
  const std::wstring text =
      WaitMemo(GetDlgItem(form, IDC_AUTO_SET_MEMO), L"[Recommended settings]", 10000);
  EXPECT_EQ(text.rfind(L"Unable to record with current settings.\r\nPlease change settings.", 0),
            0u);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(form, IDC_AUTO_SET_START_BUTTON)));
  Click(form, IDC_AUTO_SET_CLOSE_BUTTON);
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitExit(20000));
}

}  // namespace
}  // namespace ov
