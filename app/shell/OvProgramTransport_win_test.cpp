// The real OV.exe under Wine, driven from outside: two instances playing in
// step, a recording that survives closing the window, the file a recording
// leaves open, the driver fallback when DirectDraw is unavailable, and
// files dropped on the window.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/resources/ResourceIds.h"
#include "app/shell/OvProgramTestSupport_win.h"

namespace ov {
namespace {

using namespace ovprogram_test;

// Types `path` into the common file dialog the process shows and accepts it.
bool AnswerFileDialog(DWORD pid, const fs::path& path) {
  HWND dialog = WaitWindow(L"#32770", L"", pid, 30000);
  if (dialog == nullptr) return false;
  HWND name = GetDlgItem(dialog, 0x47C);                  // the file-name combo box
  if (name == nullptr) name = GetDlgItem(dialog, 0x480);  // or the plain edit field
  if (name == nullptr) return false;
  const std::wstring text = path.wstring();
  DWORD_PTR result = 0;
  SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                      5000, &result);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  // The dialog is gone once the program has taken the name.
  const DWORD start = GetTickCount();
  while (IsWindow(dialog) && IsWindowVisible(dialog) && GetTickCount() - start < 15000) Sleep(20);
  return !IsWindowVisible(dialog);
}

bool WaitEnabled(HWND window, int id, bool enabled, DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    if ((IsWindowEnabled(GetDlgItem(window, id)) != 0) == enabled) return true;
    Sleep(20);
  } while (GetTickCount() - start < ms);
  return false;
}

// The first 10 ms block from which the tone at hz stays clearly audible for
// 100 ms; -1 when it never does.
int OnsetMs(const std::vector<int16_t>& heard, double hz) {
  const size_t block = 480;
  int run = 0;
  for (size_t i = 0; i + block <= heard.size(); i += block) {
    const std::vector<int16_t> part(heard.begin() + static_cast<std::ptrdiff_t>(i),
                                    heard.begin() + static_cast<std::ptrdiff_t>(i + block));
    run = Level(part, hz) > 1500.0 ? run + 1 : 0;
    if (run == 10) return static_cast<int>((i / block - 9) * 10);
  }
  return -1;
}

TEST(OvProgramTransport, TwoInstancesInStepStartWithinOneHundredMillisecondsAndStopTogether) {
  const fs::path dir = ProgramFolder("instep");
  WriteIni(dir / "OV.INI", "[Conditions]\r\nSync2ndInstance=1\r\nPlaySyncDelay=0\r\n");
  WriteIni(dir / "OV_2.INI", "[Conditions]\r\nPlaySyncDelay=0\r\n");
  WriteTone(dir / "one.wav", 1000, 20);
  WriteTone(dir / "two.wav", 2500, 20);

  Process first(dir / "OV.exe", L"");
  ASSERT_TRUE(first.ok());
  HWND one = WaitMainWindow(L"Orlavisonic 1.00", first.id());
  ASSERT_NE(one, nullptr);
  Process second(dir / "OV.exe", L"");
  ASSERT_TRUE(second.ok());
  HWND two = WaitMainWindow(L"Orlavisonic:2 1.00", second.id());
  ASSERT_NE(two, nullptr);

  // Instance 2 opens its file through the open dialog (hand-overs go to instance 1).
  Sleep(500);
  Click(two, IDC_MAIN_OPEN_BUTTON);
  ASSERT_TRUE(AnswerFileDialog(second.id(), dir / "two.wav"));
  ASSERT_TRUE(WaitEnabled(two, IDC_MAIN_PLAY_BUTTON, true, 10000));

  // Instance 1 gets its file by hand-over and plays it; instance 2 follows.
  std::vector<int16_t> heard = RecordLoopback(6000, [&] {
    Sleep(500);
    Process handOver(dir / "OV.exe", L"one.wav");
    EXPECT_TRUE(handOver.WaitExit(15000));
    Sleep(2500);
    PostMessageW(one, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(one, WM_KEYUP, VK_ESCAPE, 0xC0000001);
  });
  const bool twoStopped = WaitEnabled(two, IDC_MAIN_STOP_BUTTON, false, 10000);
  PostMessageW(two, WM_CLOSE, 0, 0);
  PostMessageW(one, WM_CLOSE, 0, 0);
  EXPECT_TRUE(second.WaitExit(15000));
  EXPECT_TRUE(first.WaitExit(15000));
  if (heard.empty()) GTEST_SKIP() << "no loopback input (Monitor of Null Output)";

  const int onsetOne = OnsetMs(heard, 1000), onsetTwo = OnsetMs(heard, 2500);
  std::printf("instance 1 tone from %d ms, instance 2 tone from %d ms\n", onsetOne, onsetTwo);
  ASSERT_GE(onsetOne, 0) << "instance 1 did not play";
  ASSERT_GE(onsetTwo, 0) << "instance 2 did not follow";
  EXPECT_LE(std::abs(onsetOne - onsetTwo), 100);
  EXPECT_TRUE(twoStopped) << "instance 2 did not stop with instance 1";
  // After the Esc both tones are gone from the loopback.
  const std::vector<int16_t> tail(heard.end() - 48000 / 2, heard.end());
  EXPECT_LT(Level(tail, 1000), 300.0);
  EXPECT_LT(Level(tail, 2500), 300.0);
}

uint32_t U32(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  if (at + 4 <= bytes.size()) std::memcpy(&v, bytes.data() + at, 4);
  return v;
}

// RIFF size, the data chunk's size and the bytes present agree; returns the
// data size, or -1 for a file that does not describe its own contents.
int64_t ConsistentDataSize(const std::string& bytes) {
  if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
    return -1;
  if (U32(bytes, 4) != bytes.size() - 8) return -1;
  size_t at = 12;
  uint16_t blockAlign = 0;
  while (at + 8 <= bytes.size()) {
    const uint32_t size = U32(bytes, at + 4);
    if (bytes.compare(at, 4, "fmt ") == 0) std::memcpy(&blockAlign, bytes.data() + at + 20, 2);
    if (bytes.compare(at, 4, "data") == 0) {
      if (blockAlign == 0 || size % blockAlign != 0 || at + 8 + size > bytes.size()) return -1;
      return size;
    }
    at += 8 + size + (size & 1);
  }
  return -1;
}

TEST(OvProgramTransport, ARecordingToAFileStaysOpenAfterStopAndSurvivesClosing) {
  const fs::path dir = ProgramFolder("recclose");
  WriteIni(dir / "OV.INI", "[Conditions]\r\nRecToFile=1\r\n");
  WriteTone(dir / "tone.wav", 1000, 30);
  const fs::path stopped = dir / "STOPPED.WAV", closed = dir / "CLOSED.WAV";

  Process program(dir / "OV.exe", L"");
  ASSERT_TRUE(program.ok());
  HWND window = WaitMainWindow(L"Orlavisonic 1.00", program.id());
  ASSERT_NE(window, nullptr);
  Sleep(500);

  // A recording stopped with Esc: the recorded file becomes the open file.
  Click(window, IDC_MAIN_REC_BUTTON);
  ASSERT_TRUE(AnswerFileDialog(program.id(), stopped));
  ASSERT_TRUE(WaitEnabled(window, IDC_MAIN_STOP_BUTTON, true, 20000));
  Sleep(2000);
  PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageW(window, WM_KEYUP, VK_ESCAPE, 0xC0000001);
  ASSERT_TRUE(WaitEnabled(window, IDC_MAIN_STOP_BUTTON, false, 20000));
  EXPECT_TRUE(WaitEnabled(window, IDC_MAIN_PLAY_BUTTON, true, 5000))
      << "the recorded file is not open for play";
  const int64_t stoppedSize = ConsistentDataSize(ReadFile(stopped));
  EXPECT_GE(stoppedSize, 176400) << "about 2 s recorded at 44.1 kHz, 16-bit stereo";

  // A recording running while the window closes is finished, not lost.
  Click(window, IDC_MAIN_REC_BUTTON);
  ASSERT_TRUE(AnswerFileDialog(program.id(), closed));
  ASSERT_TRUE(WaitEnabled(window, IDC_MAIN_STOP_BUTTON, true, 20000));
  Sleep(2000);
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.WaitExit(30000));
  const int64_t closedSize = ConsistentDataSize(ReadFile(closed));
  std::printf("recorded %lld bytes before stop, %lld before closing\n",
              static_cast<long long>(stoppedSize), static_cast<long long>(closedSize));
  EXPECT_GE(closedSize, 176400);
}

TEST(OvProgramTransport, WithoutDirectDrawTheDirectSoundChoiceIsSavedAsMme) {
  const fs::path dir = ProgramFolder("noddraw");
  WriteIni(dir / "OV.INI", "[Conditions]\r\nPlayRecDriverType=1\r\n");
  // Wine's per-program DLL override with an empty value disables DDRAW.DLL for
  // OV.exe only (the environment form is read from the Unix side at start).
  const wchar_t* key = L"Software\\Wine\\AppDefaults\\OV.exe\\DllOverrides";
  HKEY overrides = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &overrides, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(overrides, L"ddraw", 0, REG_SZ, reinterpret_cast<const BYTE*>(L""),
                 sizeof(wchar_t));
  RegCloseKey(overrides);
  Process program(dir / "OV.exe", L"");
  ASSERT_TRUE(program.ok());
  HWND window = WaitMainWindow(L"Orlavisonic 1.00", program.id());
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_CLOSE, 0, 0);
  const bool exited = program.WaitExit(15000);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\OV.exe");
  ASSERT_TRUE(exited);
  const std::string ini = ReadFile(dir / "OV.INI");
  EXPECT_NE(ini.find("PlayRecDriverType=0"), std::string::npos) << ini;
}

// Posts WM_DROPFILES with `names` to the program's main window. A drop handle
// is only good inside the process that receives it, so the DROPFILES block is
// written into the program's own memory (a fixed block: the handle is its
// address) before the message is posted.
void DropInto(HWND window, const std::vector<fs::path>& names) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  ASSERT_NE(process, nullptr);
  std::vector<uint8_t> block(sizeof(DROPFILES));
  for (const fs::path& name : names) {
    const std::wstring text = name.wstring();
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.c_str());
    block.insert(block.end(), bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
  }
  block.resize(block.size() + sizeof(wchar_t), 0);
  DROPFILES header{};
  header.pFiles = sizeof(DROPFILES);
  header.fWide = TRUE;
  std::memcpy(block.data(), &header, sizeof header);
  void* remote =
      VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  const bool written =
      remote != nullptr && WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
  ASSERT_TRUE(written);
  PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

TEST(OvProgramTransport, ADroppedWaveFileOpensAnotherNameDoesNotAndTwoFilesOrEscStopAtOnce) {
  const fs::path dir = ProgramFolder("drops");
  WriteIni(dir / "OV.INI", "");
  WriteTone(dir / "tone.wav", 1000, 20);
  WriteTone(dir / "tone.txt", 1000, 20);
  Process program(dir / "OV.exe", L"");
  ASSERT_TRUE(program.ok());
  HWND window = WaitMainWindow(L"Orlavisonic 1.00", program.id());
  ASSERT_NE(window, nullptr);
  Sleep(500);

  DropInto(window, {dir / "tone.txt"});
  EXPECT_FALSE(WaitEnabled(window, IDC_MAIN_PLAY_BUTTON, true, 3000))
      << "a name other than .wav opened without Ctrl";
  DropInto(window, {dir / "tone.wav"});
  EXPECT_TRUE(WaitEnabled(window, IDC_MAIN_PLAY_BUTTON, true, 10000)) << ".wav did not open";
  EXPECT_TRUE(Until([&] { return TextOf(window).find(L"tone.wav") != std::wstring::npos; }, 10000))
      << TextOf(window);
  // With Ctrl held any name opens.
  bool txtOpened = false;
  {
    HeldControl control(window);
    ASSERT_TRUE(control.pressed()) << "xdotool could not be started";
    DropInto(window, {dir / "tone.txt"});
    txtOpened =
        Until([&] { return TextOf(window).find(L"tone.txt") != std::wstring::npos; }, 10000);
  }
  EXPECT_TRUE(txtOpened) << "a .txt dropped with Ctrl held did not open: " << TextOf(window);

  Click(window, IDC_MAIN_PLAY_BUTTON);
  ASSERT_TRUE(WaitEnabled(window, IDC_MAIN_STOP_BUTTON, true, 10000));
  DropInto(window, {dir / "tone.wav", dir / "tone.txt"});
  EXPECT_TRUE(WaitEnabled(window, IDC_MAIN_STOP_BUTTON, false, 10000)) << "two files did not stop";
  // Esc at once after Play, while the device is still being primed, stops too.
  Click(window, IDC_MAIN_PLAY_BUTTON);
  ASSERT_TRUE(WaitEnabled(window, IDC_MAIN_STOP_BUTTON, true, 10000));
  PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageW(window, WM_KEYUP, VK_ESCAPE, 0xC0000001);
  EXPECT_TRUE(WaitEnabled(window, IDC_MAIN_STOP_BUTTON, false, 10000)) << "Esc did not stop";
  DWORD_PTR result = 0;
  EXPECT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result), 0);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitExit(15000));
}

// One pixel row of the screen, from x0 to x1 at y.
std::vector<uint32_t> ScreenRow(int x0, int x1, int y) {
  const int width = x1 - x0;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = 1;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, width, 1, screen, x0, y, SRCCOPY);
  GdiFlush();
  std::vector<uint32_t> row(static_cast<const uint32_t*>(bits),
                            static_cast<const uint32_t*>(bits) + width);
  SelectObject(memory, old);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return row;
}

TEST(OvProgramTransport, SpaceOnAnOpenedFileDrawsTheToneAndACloseAtOnceEndsTheProgram) {
  const fs::path dir = ProgramFolder("firstframe");
  WriteIni(dir / "OV.INI", "");
  WriteTone(dir / "tone.wav", 1000, 10);
  Process program(dir / "OV.exe", L"");
  ASSERT_TRUE(program.ok());
  HWND window = WaitMainWindow(L"Orlavisonic 1.00", program.id());
  ASSERT_NE(window, nullptr);
  Sleep(500);
  DropInto(window, {dir / "tone.wav"});
  ASSERT_TRUE(WaitEnabled(window, IDC_MAIN_PLAY_BUTTON, true, 10000));
  ASSERT_TRUE(PressKeys(window, {}));  // in front: the screen shows its views
  Sleep(500);

  // A row 5/16 of the wave area down: empty before the play, crossed by the
  // half-scale tone's trace once a frame is drawn, whether the two channels
  // share the area or lie one above the other.
  HWND wave = GetDlgItem(window, IDC_MAIN_WAVE_AREA);
  ASSERT_NE(wave, nullptr);
  RECT area{};
  GetWindowRect(wave, &area);
  const int height = area.bottom - area.top;
  const int y = area.top + height * 5 / 16;
  const int x0 = area.left + (area.right - area.left) / 10;
  const int x1 = area.right - (area.right - area.left) / 10;
  const std::vector<uint32_t> before = ScreenRow(x0, x1, y);
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  PostMessageW(window, WM_KEYDOWN, VK_SPACE, 1);
  PostMessageW(window, WM_KEYUP, VK_SPACE, 0xC0000001);
  double ms = -1;
  for (;;) {
    const std::vector<uint32_t> row = ScreenRow(x0, x1, y);
    QueryPerformanceCounter(&now);
    const double elapsed = (now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
    int changed = 0;
    for (size_t i = 0; i < row.size(); ++i) changed += row[i] != before[i];
    if (changed >= 4) {
      ms = elapsed;
      std::printf("[ measured ] %d pixels of the row changed\n", changed);
      break;
    }
    if (elapsed > 10000) break;
    Sleep(1);
  }
  // Closed at once, while the play has only just begun, the program ends.
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitExit(15000)) << "the program did not end after a close during the start";
  ASSERT_GE(ms, 0) << "no trace crossed the row within 10 s of Space";
  std::printf("[ measured ] Space to the first frame on the screen: %.0f ms (wave area %dx%d)\n",
              ms, static_cast<int>(area.right - area.left), height);
}

}  // namespace
}  // namespace ov
