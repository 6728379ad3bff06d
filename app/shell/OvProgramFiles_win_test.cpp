// The real OV.exe under Wine with the windows that work on the open file: the
// play list filled from the command line and played in order, Shift+O, the
// precise positioning window stepping a paused file and writing a marker
// renamed through the edit dialog, and the wave file information window shown
// by a right press on the format text.
#include <windows.h>

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/common/Utf8.h"
#include "app/resources/ResourceIds.h"
#include "app/shell/OvProgramTestSupport_win.h"
#include "app/wavefile/PlayList.h"
#include "app/wavefile/PositioningTexts.h"
#include "app/wavefile/WaveFileParse.h"
#include "app/wavefile/WaveInfoText.h"

namespace ov {
namespace {

using namespace ovprogram_test;

std::string Narrow(const std::wstring& w) {
  return Utf16ToUtf8(std::u16string(w.begin(), w.end()));
}

// The tone (1000 or 2000 Hz, at least 2000 in level) heard in each tenth of a
// second: 1, 2, or 0 for neither.
std::vector<int> TonesByTenth(const std::vector<int16_t>& heard) {
  std::vector<int> tones;
  for (size_t i = 0; i + 4800 <= heard.size(); i += 4800) {
    const std::vector<int16_t> block(heard.begin() + static_cast<std::ptrdiff_t>(i),
                                     heard.begin() + static_cast<std::ptrdiff_t>(i + 4800));
    const double a = Level(block, 1000), b = Level(block, 2000);
    tones.push_back(a > 2000.0 && a > 4 * b ? 1 : b > 2000.0 && b > 4 * a ? 2 : 0);
  }
  return tones;
}

// The little-endian u32 at p.
uint32_t U32(const std::string& s, size_t p) {
  uint32_t v = 0;
  std::memcpy(&v, s.data() + p, 4);
  return v;
}

// Several files on the command line go to the play list window, which is
// shown with their rows, and play one after the other; the caption names the
// item playing.
TEST(OvProgramFiles, SeveralFilesFillThePlayListAndPlayInOrder) {
  const fs::path dir = ProgramFolder("files_list");
  WriteIni(dir / "OV.INI", "");
  WriteTone(dir / "a.wav", 1000, 3);
  WriteTone(dir / "b.wav", 2000, 3);
  Process p(dir / "OV.exe", L"a.wav b.wav");
  ASSERT_TRUE(p.ok());
  HWND main = WaitMainWindow(L"Orlavisonic 1.00", p.id());
  ASSERT_NE(main, nullptr);
  std::wstring secondCaption;
  std::vector<int16_t> heard = RecordLoopback(8000, [&] {
    Until(
        [&] {
          const std::wstring c = TextOf(main);
          if (c.find(L"b.wav") == std::wstring::npos) return false;
          secondCaption = c;
          return true;
        },
        7500);
  });
  HWND list = WaitWindow(L"#32770", L"Orlavisonic - Playlist", p.id(), 5000);
  ASSERT_NE(list, nullptr) << "the play list window is not shown";
  EXPECT_EQ(SendMessageW(GetDlgItem(list, IDC_PL_GRID), LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(secondCaption, L"Orlavisonic 1.00 - " + (dir / "b.wav").wstring());
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitExit(10000));
  if (heard.empty()) GTEST_SKIP() << "no loopback input (Monitor of Null Output)";
  const std::vector<int> tones = TonesByTenth(heard);
  int first = 0, second = 0, lastFirst = -1, firstSecond = -1;
  for (size_t i = 0; i < tones.size(); ++i) {
    if (tones[i] == 1) {
      ++first;
      lastFirst = static_cast<int>(i);
    }
    if (tones[i] == 2) {
      ++second;
      if (firstSecond < 0) firstSecond = static_cast<int>(i);
    }
  }
  std::printf("play list from the command line: a.wav %d, b.wav %d tenths heard\n", first, second);
  EXPECT_GE(first, 15) << "the first item was not heard";
  EXPECT_GE(second, 25) << "the second item was not heard";
  EXPECT_LT(lastFirst, firstSecond) << "the items did not play in order";
}

// Shift+O, typed into the main window, shows the play list window.
TEST(OvProgramFiles, ShiftOShowsThePlayList) {
  const fs::path dir = ProgramFolder("files_shift_o");
  WriteIni(dir / "OV.INI", "");
  Process p(dir / "OV.exe", L"");
  ASSERT_TRUE(p.ok());
  HWND main = WaitMainWindow(L"Orlavisonic 1.00", p.id());
  ASSERT_NE(main, nullptr);
  Sleep(500);  // first activation done
  ASSERT_FALSE(WaitWindow(L"#32770", L"Orlavisonic - Playlist", p.id(), 100));
  ASSERT_TRUE(PressKeys(main, {VK_SHIFT, 'O'}));
  HWND list = WaitWindow(L"#32770", L"Orlavisonic - Playlist", p.id(), 10000);
  EXPECT_NE(list, nullptr) << "Shift+O did not show the play list";
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitExit(10000));
}

// A pause shows the positioning window; Page Down steps the position by the
// move amount; a marker added there, renamed through the edit dialog and
// written lands in the file at that position with its label.
TEST(OvProgramFiles, PausedPositionStepsAndARenamedMarkerIsWritten) {
  const fs::path dir = ProgramFolder("files_positioning");
  WriteIni(dir / "OV.INI", "[PositioningWindow]\r\nVisible=1\r\n");
  WriteTone(dir / "tone.wav", 1000, 20);
  Process p(dir / "OV.exe", L"tone.wav");
  ASSERT_TRUE(p.ok());
  HWND main = WaitMainWindow(L"Orlavisonic 1.00", p.id());
  ASSERT_NE(main, nullptr);
  // Playing: the pause button is enabled.
  ASSERT_TRUE(
      Until([&] { return IsWindowEnabled(GetDlgItem(main, IDC_MAIN_PAUSE_BUTTON)); }, 60000));
  Sleep(1000);
  PostMessageW(main, WM_KEYDOWN, VK_SPACE, 1);
  PostMessageW(main, WM_KEYUP, VK_SPACE, 0xC0000001);
  HWND pos = WaitWindow(L"#32770", L"Orlavisonic - Positioning", p.id(), 20000);
  ASSERT_NE(pos, nullptr) << "the pause did not show the positioning window";
  HWND posLabel = GetDlgItem(pos, IDC_POS_POSITION_LABEL);
  HWND timeLabel = GetDlgItem(pos, IDC_POS_POSITION_TIME_LABEL);
  ASSERT_TRUE(Until([&] { return !TextOf(posLabel).empty(); }, 10000));
  Sleep(300);  // the show's own seek has been answered
  const uint64_t start = std::stoull(TextOf(posLabel));
  EXPECT_GT(start, 0u) << "the position played before the pause";
  EXPECT_EQ(TextOf(GetDlgItem(pos, IDC_POS_LENGTH_LABEL)), L"960000");

  // Page Down three times, typed into the marker grid; each step is waited
  // for, as a key typed while the view is re-read does not move.
  HWND grid = GetDlgItem(pos, IDC_POS_GRID);
  for (int i = 1; i <= 3; ++i) {
    PostMessageW(grid, WM_KEYDOWN, VK_NEXT, 1);
    PostMessageW(grid, WM_KEYUP, VK_NEXT, 0xC0000001);
    const std::wstring step = std::to_wstring(start + 500 * i);
    EXPECT_TRUE(Until([&] { return TextOf(posLabel) == step; }, 20000))
        << "position " << Narrow(TextOf(posLabel)) << " after " << i << " steps";
  }
  const uint64_t want = start + 1500;
  EXPECT_EQ(Narrow(TextOf(timeLabel)), MarkerTimeText(want, 48000));

  // Add, Rename through the edit dialog, Write with Yes.
  Click(pos, IDC_POS_ADD_BUTTON);
  ASSERT_TRUE(Until([&] { return SendMessageW(grid, LVM_GETITEMCOUNT, 0, 0) == 1; }, 10000));
  Click(pos, IDC_POS_RENAME_BUTTON);
  HWND edit = WaitWindow(L"#32770", L"Rename Label", p.id(), 20000);
  ASSERT_NE(edit, nullptr) << "no edit dialog for the rename";
  HWND field = GetDlgItem(edit, IDC_EDIT_FORM_EDIT1);
  EXPECT_EQ(TextOf(field), L"Marker 1");
  const std::wstring label = L"Intro \u00fc";
  DWORD_PTR r = 0;
  SendMessageTimeoutW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(label.c_str()),
                      SMTO_ABORTIFHUNG, 5000, &r);
  Click(edit, IDOK);
  ASSERT_TRUE(Until([&] { return !IsWindow(edit); }, 10000));
  Click(pos, IDC_POS_WRITE_BUTTON);
  HWND box = WaitWindow(L"#32770", L"Orlavisonic", p.id(), 20000);
  ASSERT_NE(box, nullptr) << "no question before the write";
  EXPECT_EQ(BoxText(box), L"The markers are written to current file.\n\nAre you sure?");
  PostMessageW(box, WM_COMMAND, IDYES, 0);
  // Written: the write button is disabled again.
  EXPECT_TRUE(
      Until([&] { return !IsWindowEnabled(GetDlgItem(pos, IDC_POS_WRITE_BUTTON)); }, 20000));

  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(p.WaitExit(10000));
  const std::string bytes = ReadFile(dir / "tone.wav");
  const size_t cue = bytes.rfind("cue ");
  ASSERT_NE(cue, std::string::npos) << "no cue chunk written";
  EXPECT_EQ(U32(bytes, cue + 8), 1u);     // one cue point
  EXPECT_EQ(U32(bytes, cue + 12), 1u);    // its ID
  EXPECT_EQ(U32(bytes, cue + 16), want);  // its position
  const size_t labl = bytes.find("labl", cue);
  ASSERT_NE(labl, std::string::npos);
  EXPECT_EQ(bytes.substr(labl + 12, 9), std::string("Intro \xC3\xBC\0", 9));
  EXPECT_EQ(U32(bytes, 4), bytes.size() - 8);  // the RIFF size follows the new length
}

// A right press on the format text shows the wave file information window
// with the file's chunk tree and its summary; a file handed over afterwards
// rebuilds it.
TEST(OvProgramFiles, RightPressOnTheFormatTextShowsTheChunkTree) {
  const fs::path dir = ProgramFolder("files_wave_info");
  WriteIni(dir / "OV.INI", "");
  WriteTone(dir / "tone.wav", 1000, 2);
  WriteTone(dir / "other.wav", 2000, 1);
  Process p(dir / "OV.exe", L"tone.wav");
  ASSERT_TRUE(p.ok());
  HWND main = WaitMainWindow(L"Orlavisonic 1.00", p.id());
  ASSERT_NE(main, nullptr);
  HWND format = GetDlgItem(main, IDC_MAIN_WAVE_INFO_TEXT);
  ASSERT_TRUE(Until([&] { return !TextOf(format).empty(); }, 20000)) << "no format text";
  PostMessageW(format, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  PostMessageW(format, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  HWND info = WaitWindow(L"#32770", L"Orlavisonic - Wave file Info.", p.id(), 20000);
  ASSERT_NE(info, nullptr) << "the right press did not show the window";

  // What the window shows, built here from the same file.
  const std::string path = (dir / "tone.wav").string();
  ChunkTable table;
  MarkerTable markers;
  WaveFormat wf{};
  WaveFileInfo fileInfo;
  ReaderMessage message;
  ParseOptions options;
  options.chunks = &table;
  options.markers = &markers;
  options.dataSaveBytes = 512;
  ASSERT_TRUE(ParseWaveFile(path.c_str(), &wf, &fileInfo, &message, options));
  wchar_t sep[8] = {};
  GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, sep, 8);
  // The format text is set before its notice reaches the window: a press in
  // between shows the window empty until the notice fills it.
  EXPECT_TRUE(Until(
      [&] {
        return TextOf(GetDlgItem(info, IDC_WAVE_INFO_FILE_NAME)) == (dir / "tone.wav").wstring();
      },
      10000));
  EXPECT_EQ(SendMessageW(GetDlgItem(info, IDC_WAVE_INFO_CHUNK_TREE), TVM_GETCOUNT, 0, 0),
            static_cast<LRESULT>(BuildChunkTree(table).size()));
  EXPECT_EQ(Narrow(TextOf(GetDlgItem(info, IDC_WAVE_INFO_MEMO2))),
            FileSummaryText(table, Narrow(sep)));
  const SummaryFields fields = BuildSummaryFields(table, Narrow(sep));
  EXPECT_EQ(Narrow(TextOf(GetDlgItem(info, IDC_WAVE_INFO_FORMAT))), fields.format);
  EXPECT_EQ(Narrow(TextOf(GetDlgItem(info, IDC_WAVE_INFO_TIME))), fields.time);

  // Another file handed over: the format text's message rebuilds the window.
  Process starter(dir / "OV.exe", L"other.wav");
  EXPECT_TRUE(starter.WaitExit(20000));
  EXPECT_TRUE(Until(
      [&] {
        return TextOf(GetDlgItem(info, IDC_WAVE_INFO_FILE_NAME)) == (dir / "other.wav").wstring();
      },
      20000))
      << Narrow(TextOf(GetDlgItem(info, IDC_WAVE_INFO_FILE_NAME)));
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitExit(10000));
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

// The list of two command-line files, stopped and saved through the real
// save dialog, is written byte for byte as the list model writes it.
TEST(OvProgramFiles, ThePlayListSavedThroughTheDialogIsWrittenExactly) {
  const fs::path dir = ProgramFolder("files_list_save");
  WriteIni(dir / "OV.INI", "");
  WriteTone(dir / "a.wav", 1000, 3);
  WriteTone(dir / "b.wav", 2000, 3);
  PlayList expected;
  std::string message;
  ASSERT_EQ(expected.AddFile((dir / "a.wav").string(), 0, &message), AddResult::Added) << message;
  ASSERT_EQ(expected.AddFile((dir / "b.wav").string(), 0, &message), AddResult::Added) << message;
  const fs::path saved = dir / "SAVED.M3U";
  Process p(dir / "OV.exe", L"a.wav b.wav");
  ASSERT_TRUE(p.ok());
  HWND main = WaitMainWindow(L"Orlavisonic 1.00", p.id());
  ASSERT_NE(main, nullptr);
  HWND list = WaitWindow(L"#32770", L"Orlavisonic - Playlist", p.id(), 30000);
  ASSERT_NE(list, nullptr) << "the play list window is not shown";
  // The list is frozen while it plays (its Save disabled): stop it, then save.
  HWND saveButton = GetDlgItem(list, IDC_PL_SAVE_BUTTON);
  ASSERT_TRUE(Until(
      [&] {
        return IsWindowEnabled(GetDlgItem(main, IDC_MAIN_STOP_BUTTON)) &&
               !IsWindowEnabled(saveButton);
      },
      30000));
  Click(main, IDC_MAIN_STOP_BUTTON);
  ASSERT_TRUE(Until(
      [&] {
        return !IsWindowEnabled(GetDlgItem(main, IDC_MAIN_STOP_BUTTON)) &&
               IsWindowEnabled(saveButton);
      },
      20000));
  PostMessageW(saveButton, BM_CLICK, 0, 0);
  ASSERT_TRUE(AnswerNamedFileDialog(p.id(), L"Save list file", saved)) << "no save dialog";
  ASSERT_TRUE(Until([&] { return fs::exists(saved) && fs::file_size(saved) > 0; }, 20000));
  Sleep(300);
  EXPECT_EQ(ReadFile(saved), M3uText(expected));
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitExit(10000));
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

// Paused steps at the largest transform: each Page Down until the position
// shows the new sample and both windows have handled everything sent so far
// (the views redrawn from the new position). The times are printed; a step
// should stay well inside the 80 ms repeat of the move buttons.
TEST(OvProgramFiles, PausedStepsAt65536PointsAreTimed) {
  const fs::path dir = ProgramFolder("files_steps_65536");
  WriteIni(dir / "OV.INI",
           "[PositioningWindow]\r\nVisible=1\r\n[Conditions]\r\nSample_N=65536\r\n");
  WriteTone(dir / "tone.wav", 1000, 20);
  Process p(dir / "OV.exe", L"tone.wav");
  ASSERT_TRUE(p.ok());
  HWND main = WaitMainWindow(L"Orlavisonic 1.00", p.id());
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(
      Until([&] { return IsWindowEnabled(GetDlgItem(main, IDC_MAIN_PAUSE_BUTTON)); }, 60000));
  Sleep(1000);
  PostMessageW(main, WM_KEYDOWN, VK_SPACE, 1);
  PostMessageW(main, WM_KEYUP, VK_SPACE, 0xC0000001);
  HWND pos = WaitWindow(L"#32770", L"Orlavisonic - Positioning", p.id(), 20000);
  ASSERT_NE(pos, nullptr);
  HWND posLabel = GetDlgItem(pos, IDC_POS_POSITION_LABEL);
  ASSERT_TRUE(Until([&] { return !TextOf(posLabel).empty(); }, 10000));
  Sleep(500);
  const uint64_t start = std::stoull(TextOf(posLabel));
  HWND grid = GetDlgItem(pos, IDC_POS_GRID);
  std::vector<double> ms;
  for (int i = 1; i <= 10; ++i) {
    const std::wstring step = std::to_wstring(start + 500 * i);
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    PostMessageW(grid, WM_KEYDOWN, VK_NEXT, 1);
    PostMessageW(grid, WM_KEYUP, VK_NEXT, 0xC0000001);
    ASSERT_TRUE(Until([&] { return TextOf(posLabel) == step; }, 20000))
        << "position " << Narrow(TextOf(posLabel)) << " after " << i << " steps";
    DWORD_PTR r = 0;
    SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
    SendMessageTimeoutW(pos, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &r);
    QueryPerformanceCounter(&t1);
    ms.push_back((t1.QuadPart - t0.QuadPart) * 1000.0 / f.QuadPart);
  }
  std::sort(ms.begin(), ms.end());
  std::printf("paused step at N = 65536: median %.1f ms, slowest %.1f ms over %zu steps\n",
              ms[ms.size() / 2], ms.back(), ms.size());
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(p.WaitExit(10000));
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

// As a new user would: a tone opened, stopped, then Shift+Space opens it in
// the analyze mode at sample 0 with the positioning window; Page Down three
// times shows 1500; Add, Write and Yes put "Marker 1" at 1500 into the file,
// as the project's reader (and so `ovtool markers`) finds it.
TEST(OvProgramFiles, ShiftSpaceAnalyzesFromTheStartAndAMarkerLandsAt1500) {
  const fs::path dir = ProgramFolder("files_analyze_marker");
  // The positioning window follows its toggle button, left down last time.
  WriteIni(dir / "OV.INI", "[PositioningWindow]\r\nVisible=1\r\n");
  WriteTone(dir / "tone.wav", 1000, 20);
  Process p(dir / "OV.exe", L"tone.wav");
  ASSERT_TRUE(p.ok());
  HWND main = WaitMainWindow(L"Orlavisonic 1.00", p.id());
  ASSERT_NE(main, nullptr);
  HWND stop = GetDlgItem(main, IDC_MAIN_STOP_BUTTON);
  ASSERT_TRUE(Until([&] { return IsWindowEnabled(stop) != 0; }, 60000));
  Click(main, IDC_MAIN_STOP_BUTTON);
  ASSERT_TRUE(Until([&] { return !IsWindowEnabled(stop); }, 20000));
  Sleep(300);
  ASSERT_TRUE(PressKeys(main, {VK_SHIFT, VK_SPACE}));
  HWND pos = WaitWindow(L"#32770", L"Orlavisonic - Positioning", p.id(), 20000);
  ASSERT_NE(pos, nullptr) << "Shift+Space did not open the analyze mode";
  HWND posLabel = GetDlgItem(pos, IDC_POS_POSITION_LABEL);
  ASSERT_TRUE(Until([&] { return TextOf(posLabel) == L"0"; }, 10000))
      << "analyze mode at " << Narrow(TextOf(posLabel));
  HWND grid = GetDlgItem(pos, IDC_POS_GRID);
  for (int i = 1; i <= 3; ++i) {
    PostMessageW(grid, WM_KEYDOWN, VK_NEXT, 1);
    PostMessageW(grid, WM_KEYUP, VK_NEXT, 0xC0000001);
    const std::wstring step = std::to_wstring(500 * i);
    ASSERT_TRUE(Until([&] { return TextOf(posLabel) == step; }, 20000))
        << "position " << Narrow(TextOf(posLabel)) << " after " << i << " steps";
  }
  Click(pos, IDC_POS_ADD_BUTTON);
  ASSERT_TRUE(Until([&] { return SendMessageW(grid, LVM_GETITEMCOUNT, 0, 0) == 1; }, 10000));
  Click(pos, IDC_POS_WRITE_BUTTON);
  HWND box = WaitWindow(L"#32770", L"Orlavisonic", p.id(), 20000);
  ASSERT_NE(box, nullptr) << "no question before the write";
  PostMessageW(box, WM_COMMAND, IDYES, 0);
  EXPECT_TRUE(
      Until([&] { return !IsWindowEnabled(GetDlgItem(pos, IDC_POS_WRITE_BUTTON)); }, 20000));
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(p.WaitExit(10000));

  const std::string path = (dir / "tone.wav").string();
  ChunkTable table;
  MarkerTable markers;
  WaveFormat wf{};
  WaveFileInfo fileInfo;
  ReaderMessage message;
  ParseOptions options;
  options.chunks = &table;
  options.markers = &markers;
  ASSERT_TRUE(ParseWaveFile(path.c_str(), &wf, &fileInfo, &message, options)) << message.c_str();
  ASSERT_EQ(markers.count, 1);
  EXPECT_EQ(markers.markers[0].position, 1500u);
  EXPECT_STREQ(markers.markers[0].label, "Marker 1");
}

}  // namespace
}  // namespace ov
