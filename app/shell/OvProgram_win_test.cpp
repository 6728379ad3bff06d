// The real OV.exe under Wine: captions, instance roles, hand-over, the
// missing FFT library, closing with the settings written, the embedded font
// and the help file's context ids. Each test runs the program from a folder
// of its own, with OV.exe, KP05DLL.DLL and OV.chm copied from beside this test.
#include <windows.h>

#include <gtest/gtest.h>

#include <mmsystem.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/resources/ResourceIds.h"
#include "app/shell/OvProgramTestSupport_win.h"

namespace ov {
namespace {

using namespace ovprogram_test;

namespace fs = std::filesystem;

TEST(OvProgram, CaptionsInstancesAndTheirSettingsFiles) {
  const fs::path dir = ProgramFolder("instances");
  WriteIni(dir / "OV.INI", "PosX=40\r\nPosY=30\r\nWidth=700\r\nHeight=500\r\n");
  WriteIni(dir / "OV_2.INI", "PosX=321\r\nPosY=123\r\nWidth=640\r\nHeight=480\r\n");

  Process first(dir / "OV.exe", L"");
  ASSERT_TRUE(first.ok());
  HWND one = WaitMainWindow(L"Orlavisonic 1.00", first.id());
  ASSERT_NE(one, nullptr);
  std::printf("instance 1: start to main window shown %lu ms (CreateProcess to visible)\n",
              static_cast<unsigned long>(GetTickCount() - first.started()));

  Process second(dir / "OV.exe", L"");
  HWND two = WaitMainWindow(L"Orlavisonic:2 1.00", second.id());
  ASSERT_NE(two, nullptr);
  // Instance 2 is placed from OV_2.INI.
  RECT r{};
  for (int i = 0; i < 200; ++i) {
    GetWindowRect(two, &r);
    if (r.left == 321) break;
    Sleep(20);
  }
  EXPECT_EQ(r.left, 321);
  EXPECT_EQ(r.top, 123);
  EXPECT_EQ(r.right - r.left, 640);

  // A third plain start only brings instance 2 forward and ends.
  Process third(dir / "OV.exe", L"");
  EXPECT_TRUE(third.WaitExit(5000));
  EXPECT_TRUE(IsWindow(two));
  EXPECT_EQ(WaitMainWindow(L"Orlavisonic:2 1.00", third.id(), 200), nullptr);

  // Closing instance 2 writes OV_2.INI and leaves OV.INI alone.
  const std::string firstIni = ReadFile(dir / "OV.INI");
  PostMessageW(two, WM_CLOSE, 0, 0);
  ASSERT_TRUE(second.WaitExit(10000));
  EXPECT_EQ(ReadFile(dir / "OV.INI"), firstIni);
  wchar_t value[32] = {};
  GetPrivateProfileStringW(L"Window", L"PosX", L"", value, 32, (dir / "OV_2.INI").c_str());
  EXPECT_STREQ(value, L"321");
  GetPrivateProfileStringW(L"Version", L"Ver", L"", value, 32, (dir / "OV_2.INI").c_str());
  EXPECT_STRNE(value, L"");

  PostMessageW(one, WM_CLOSE, 0, 0);
  ASSERT_TRUE(first.WaitExit(10000));
  GetPrivateProfileStringW(L"Version", L"Ver", L"", value, 32, (dir / "OV.INI").c_str());
  EXPECT_STRNE(value, L"");
}

TEST(OvProgram, MissingLibraryIsNamedAndNoSettingsAreWritten) {
  const fs::path dir = ProgramFolder("nolib", false);
  Process p(dir / "OV.exe", L"");
  ASSERT_TRUE(p.ok());
  HWND box = WaitWindow(L"#32770", L"", p.id(), 20000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box), L"Unable to load 'KP05DLL.DLL'. \n\n  (LoadLibrary: 126)");
  wchar_t caption[64] = {};
  GetWindowTextW(box, caption, 64);
  EXPECT_STREQ(caption, L"Orlavisonic");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(p.WaitExit(5000));
  EXPECT_FALSE(fs::exists(dir / "OV.INI"));
}

TEST(OvProgram, FirstRunShowsTheNoticeAndCloseWritesTheSettings) {
  const fs::path dir = ProgramFolder("firstrun");
  Process p(dir / "OV.exe", L"");
  ASSERT_TRUE(p.ok());
  HWND box = WaitWindow(L"#32770", L"", p.id(), 20000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box),
            L"Please refer to the Help file for the usage and notes.\n\n The Help file can be "
            L"opened by pressing F1 key at any time. \n\n (This message is not displayed from "
            L"next time)");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  HWND main = WaitMainWindow(L"Orlavisonic 1.00", p.id());
  ASSERT_NE(main, nullptr);
  Sleep(500);  // the help file opens after the notice
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(p.WaitExit(10000));
  ASSERT_TRUE(fs::exists(dir / "OV.INI"));
  EXPECT_EQ(GetPrivateProfileIntW(L"Window", L"DispHelp", 7, (dir / "OV.INI").c_str()), 1);
}

// ---- Hand-over and playback

// A 16-bit stereo wave file with a sine of `hz` at half scale.

TEST(OvProgram, AStartWithARelativeFileHandsItToInstanceOneWhichPlaysIt) {
  const fs::path dir = ProgramFolder("handover");
  WriteIni(dir / "OV.INI", "");
  WriteTone(dir / "tone.wav", 1000, 3);
  // The same name in the current folder holds another tone: it must not play.
  const fs::path elsewhere = fs::temp_directory_path() / "ovprog_cwd";
  fs::create_directories(elsewhere);
  WriteTone(elsewhere / "tone.wav", 440, 3);

  Process first(dir / "OV.exe", L"");
  HWND one = WaitMainWindow(L"Orlavisonic 1.00", first.id());
  ASSERT_NE(one, nullptr);
  Sleep(300);  // first activation done

  DWORD handOverMs = 0;
  std::vector<int16_t> heard = RecordLoopback(2500, [&] {
    Process starter(dir / "OV.exe", L"tone.wav", elsewhere);
    ASSERT_TRUE(starter.ok());
    EXPECT_TRUE(starter.WaitExit(5000));
    handOverMs = GetTickCount() - starter.started();
  });
  if (heard.empty()) GTEST_SKIP() << "no loopback input (Monitor of Null Output)";
  std::printf("start with a file: the handing-over process ended after %lu ms\n",
              static_cast<unsigned long>(handOverMs));
  const double at1k = Level(heard, 1000), at440 = Level(heard, 440);
  EXPECT_GT(at1k, 2000.0) << "1 kHz from OV's folder not heard";
  EXPECT_LT(at440, at1k / 20) << "the current folder's file was played";

  // A hand-over round trip from outside: the receiver answers at once.
  std::string text = "\"" + (dir / "tone.wav").string() + "\"";
  COPYDATASTRUCT cd{0, static_cast<DWORD>(text.size() + 1), text.data()};
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t0);
  DWORD_PTR result = 0;
  EXPECT_NE(SendMessageTimeoutW(one, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cd),
                                SMTO_ABORTIFHUNG, 5000, &result),
            0);
  QueryPerformanceCounter(&t1);
  std::printf("WM_COPYDATA hand-over round trip %.2f ms\n",
              1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / f.QuadPart);

  // Bad hand-overs are ignored without harm: no data, foreign dwData, 70 000 bytes without NUL.
  COPYDATASTRUCT empty{0, 0, nullptr};
  SendMessageTimeoutW(one, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&empty), SMTO_ABORTIFHUNG, 5000,
                      &result);
  COPYDATASTRUCT foreign{7, static_cast<DWORD>(text.size() + 1), text.data()};
  SendMessageTimeoutW(one, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&foreign), SMTO_ABORTIFHUNG,
                      5000, &result);
  std::string big(70000, 'x');
  COPYDATASTRUCT large{0, 70000, big.data()};
  SendMessageTimeoutW(one, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&large), SMTO_ABORTIFHUNG, 5000,
                      &result);
  // The long name is refused with a notice; close it.
  HWND box = WaitWindow(L"#32770", L"", first.id(), 5000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box).rfind(L"The file name is too long.", 0), 0u)
      << "got: " << BoxText(box).substr(0, 60);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  // An unknown synchronisation command and a start tick far ahead do nothing.
  PostMessageW(one, 32778, 42, 0);
  PostMessageW(one, 32778, 6, 0x7FFFFFFF);
  EXPECT_NE(SendMessageTimeoutW(one, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);

  PostMessageW(one, WM_CLOSE, 0, 0);
  EXPECT_TRUE(first.WaitExit(10000));
}

TEST(OvProgram, AFirstStartWithAFilePlaysItToTheEnd) {
  const fs::path dir = ProgramFolder("firststart");
  WriteIni(dir / "OV.INI", "");
  WriteTone(dir / "tone.wav", 1000, 4);
  Process first(dir / "OV.exe", L"tone.wav");
  ASSERT_TRUE(first.ok());
  HWND window = WaitMainWindow(L"Orlavisonic 1.00", first.id());
  ASSERT_NE(window, nullptr);
  // The play starts with the first activation, about when the window shows.
  std::vector<int16_t> heard = RecordLoopback(6000, [] {});
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(first.WaitExit(10000));
  if (heard.empty()) GTEST_SKIP() << "no loopback input (Monitor of Null Output)";
  // Most of the 4 s are heard, not just the first buffers.
  const int tenths = TenthsWithTone(heard);
  std::printf("first start with a file: tone heard for %d tenths of a second\n", tenths);
  EXPECT_GE(tenths, 30);
  EXPECT_LE(tenths, 60);  // block edges; under heavy load gaps stretch the tone
}

TEST(OvProgram, SpacePausesAndResumesAndEscStops) {
  const fs::path dir = ProgramFolder("keys");
  WriteIni(dir / "OV.INI", "");
  WriteTone(dir / "tone.wav", 1000, 20);
  Process first(dir / "OV.exe", L"tone.wav");
  ASSERT_TRUE(first.ok());
  HWND window = WaitMainWindow(L"Orlavisonic 1.00", first.id());
  ASSERT_NE(window, nullptr);
  Sleep(1500);  // playing
  auto key = [&](WPARAM vk) {
    PostMessageW(window, WM_KEYDOWN, vk, 1);
    PostMessageW(window, WM_KEYUP, vk, 0xC0000001);
  };
  // 0-1.5 s playing, Space: paused until 3 s, Space: playing until 4.5 s, Esc: stopped.
  std::vector<int16_t> heard = RecordLoopback(7500, [&] {
    Sleep(1500);
    key(VK_SPACE);
    Sleep(1500);
    key(VK_SPACE);
    Sleep(1500);
    key(VK_ESCAPE);
  });
  DWORD_PTR result = 0;
  EXPECT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(first.WaitExit(10000));
  if (heard.empty()) GTEST_SKIP() << "no loopback input (Monitor of Null Output)";
  // Generous margins for the device latency under Wine.
  EXPECT_GE(TenthsWithToneBetween(heard, 0.0, 1.2), 11) << "not playing before the first Space";
  EXPECT_EQ(TenthsWithToneBetween(heard, 2.2, 2.9), 0) << "the first Space did not pause";
  EXPECT_GE(TenthsWithToneBetween(heard, 3.8, 4.4), 4) << "the second Space did not resume";
  EXPECT_EQ(TenthsWithToneBetween(heard, 5.8, 7.4), 0) << "Esc did not stop";
  // The time from the resuming Space to the tone, within the 100 ms blocks.
  for (int t = 30; t < 45; ++t) {
    if (TenthsWithToneBetween(heard, t / 10.0, t / 10.0 + 0.1) == 1) {
      std::printf("Space (resume) to tone in the loopback: about %d ms\n", (t - 30) * 100);
      break;
    }
  }
}

TEST(OvProgram, StrayApplicationMessagesLeaveTheWindowAnswering) {
  const fs::path dir = ProgramFolder("stray");
  WriteIni(dir / "OV.INI", "");
  Process first(dir / "OV.exe", L"");
  HWND window = WaitMainWindow(L"Orlavisonic 1.00", first.id());
  ASSERT_NE(window, nullptr);
  const LPARAM params[] = {0, 1, -1, 0x7FFFFFFF, static_cast<LPARAM>(0x8000000000000000ull)};
  for (LPARAM p : params) {
    PostMessageW(window, 32778, static_cast<WPARAM>(p), p);  // synchronisation commands
    PostMessageW(window, 32798, static_cast<WPARAM>(p), p);  // timer period
    PostMessageW(window, 32869, static_cast<WPARAM>(p), p);  // engine notifications
    PostMessageW(window, 32888, static_cast<WPARAM>(p), p);
  }
  std::string bytes(100000, '\0');
  for (DWORD size : {0u, 1u, 7u, 65536u, 100000u}) {
    COPYDATASTRUCT cd{1, size, bytes.data()};
    DWORD_PTR r = 0;
    SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cd), SMTO_ABORTIFHUNG,
                        5000, &r);
  }
  DWORD_PTR result = 0;
  EXPECT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(first.WaitExit(10000));
}

// ---- Resources

#pragma pack(push, 1)
struct FontHeader {  // the version-2 raster font layout
  uint16_t version;
  uint32_t size;
  char copyright[60];
  uint16_t type, points, vertRes, horizRes, ascent, internalLeading, externalLeading;
  uint8_t italic, underline, strikeOut;
  uint16_t weight;
  uint8_t charSet;
  uint16_t pixWidth, pixHeight;
  uint8_t pitchAndFamily;
  uint16_t avgWidth, maxWidth;
  uint8_t firstChar, lastChar, defaultChar, breakChar;
  uint16_t widthBytes;
  uint32_t device, face, bitsPointer, bitsOffset;
  uint8_t reserved;
};
#pragma pack(pop)
static_assert(sizeof(FontHeader) == 118);

TEST(OvResources, TheKp1FontReadsBackFieldByFieldAndRenders) {
  const fs::path exe = TestFolder() / "OV.exe";
  HMODULE m = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(m, nullptr);
  HRSRC res = FindResourceW(m, MAKEINTRESOURCEW(IDR_KP1_FONT), MAKEINTRESOURCEW(8));
  ASSERT_NE(res, nullptr);
  const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(m, res)));
  const DWORD size = SizeofResource(m, res);
  FontHeader h;
  memcpy(&h, bytes, sizeof h);
  EXPECT_EQ(h.version, 0x200);
  EXPECT_EQ(h.size, size);
  EXPECT_EQ(h.type, 0);  // raster
  EXPECT_EQ(h.points, 9);
  EXPECT_EQ(h.vertRes, 96);
  EXPECT_EQ(h.horizRes, 96);
  EXPECT_EQ(h.ascent, 10);
  EXPECT_EQ(h.weight, 400);
  EXPECT_EQ(h.charSet, 255);
  EXPECT_EQ(h.pixWidth, 6);
  EXPECT_EQ(h.pixHeight, 12);
  EXPECT_EQ(h.pitchAndFamily & 1, 0);  // fixed pitch
  EXPECT_EQ(h.avgWidth, 6);
  EXPECT_EQ(h.maxWidth, 6);
  EXPECT_EQ(h.firstChar, 0);
  EXPECT_EQ(h.lastChar, 255);
  EXPECT_EQ(h.defaultChar, 32);
  EXPECT_EQ(h.breakChar, 32);
  ASSERT_LT(h.face, size);
  EXPECT_STREQ(reinterpret_cast<const char*>(bytes + h.face), "KP1");
  // The glyph of 'A': one byte column of 12 rows.
  uint16_t width = 0, offset = 0;
  memcpy(&width, bytes + 118 + 'A' * 4, 2);
  memcpy(&offset, bytes + 118 + 'A' * 4 + 2, 2);
  EXPECT_EQ(width, 6);
  const std::vector<uint8_t> glyph(bytes + offset, bytes + offset + 12);

  DWORD count = 0;
  HANDLE added = AddFontMemResourceEx(const_cast<uint8_t*>(bytes), size, nullptr, &count);
  ASSERT_NE(added, nullptr);
  HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, OEM_CHARSET, OUT_RASTER_PRECIS, 0, 0,
                           FIXED_PITCH, L"KP1");
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof bi.bmiHeader, 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  uint32_t* bits = nullptr;
  HBITMAP bmp =
      CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  SelectObject(dc, bmp);
  SelectObject(dc, font);
  TEXTMETRICW tm{};
  ASSERT_TRUE(GetTextMetricsW(dc, &tm));
  wchar_t face[32] = {};
  GetTextFaceW(dc, 32, face);
  EXPECT_STREQ(face, L"KP1");
  EXPECT_EQ(tm.tmHeight, 12);
  EXPECT_EQ(tm.tmAscent, 10);
  EXPECT_EQ(tm.tmAveCharWidth, 6);
  EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);  // the flag is set for variable pitch
  RECT all{0, 0, 16, 16};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  TextOutW(dc, 0, 0, L"A", 1);
  GdiFlush();
  int mismatches = 0;
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool ink = (bits[y * 16 + x] & 0xFFFFFF) == 0;
      const bool want = (glyph[y] >> (7 - x)) & 1;
      mismatches += ink != want;
    }
  }
  EXPECT_EQ(mismatches, 0);
  DeleteDC(dc);
  DeleteObject(bmp);
  DeleteObject(font);
  RemoveFontMemResourceEx(added);
  FreeLibrary(m);
}

TEST(OvResources, TheHelpFileOpensAtItsContextIds) {
  HMODULE hh = LoadLibraryW(L"HHCTRL.OCX");
  if (hh == nullptr) GTEST_SKIP() << "no HTML help viewer";
  using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
  auto help =
      reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(hh, "HtmlHelpW")));
  ASSERT_NE(help, nullptr);
  const std::wstring chm = (TestFolder() / "OV.chm").wstring();
  for (DWORD id : {IDH_CONTENTS, IDH_MAIN_WINDOW, IDH_MEASURE_MODE}) {
    EXPECT_NE(help(nullptr, chm.c_str(), 0x000F, id), nullptr) << id;
  }
  EXPECT_EQ(help(nullptr, chm.c_str(), 0x000F, 5), nullptr);
  help(nullptr, nullptr, 0x0012, 0);  // HH_CLOSE_ALL
}

// The setup dialog is made with the main window, hidden until the user asks
// for it, and follows the run-state messages the main window posts to it.
TEST(OvProgram, TheSetupDialogIsMadeHiddenWithTheMainWindow) {
  const fs::path dir = ProgramFolder("setup");
  WriteIni(dir / "OV.INI", "");
  WriteTone(dir / "tone.wav", 1000, 3);
  Process first(dir / "OV.exe", L"tone.wav");
  ASSERT_TRUE(first.ok());
  HWND window = WaitMainWindow(L"Orlavisonic 1.00", first.id());
  ASSERT_NE(window, nullptr);
  Found f{L"#32770", L"Orlavisonic - Setup", first.id(), nullptr};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&f));
  ASSERT_NE(f.hwnd, nullptr) << "no setup dialog in the program's process";
  EXPECT_FALSE(IsWindowVisible(f.hwnd));
  EXPECT_EQ(GetWindow(f.hwnd, GW_OWNER), window);
  // Play begins and ends (the file is 3 s) while the dialog is hidden; both
  // windows keep answering.
  Sleep(4000);
  DWORD_PTR result = 0;
  EXPECT_NE(SendMessageTimeoutW(f.hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
  EXPECT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(first.WaitExit(10000));
  EXPECT_FALSE(IsWindow(f.hwnd));
}

}  // namespace
}  // namespace ov
