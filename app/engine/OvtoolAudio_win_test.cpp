// ovtool's audio commands as a user runs them. Crash safety end to end:
// `ovtool record` terminated at a random moment leaves a valid wave file
// describing the audio up to its last header update (the tool rewrites the
// header every second of audio).
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "app/engine/ConsoleEngineHost.h"
#include "app/engine/ProcessStart_win_test.h"
#include "app/engine/WavePlayRec.h"
#include "app/wavefile/WaveFileParse.h"

namespace ov {
namespace {

namespace fs = std::filesystem;

class NullNotifier : public UserNotifier {
 public:
  NoticeAnswer Notify(std::string_view, NoticeIcon) override { return NoticeAnswer::Ok; }
};

fs::path OvtoolPath() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  // build/<preset>/app/engine/ov_engine_tests.exe -> build/<preset>/tools/ovtool/ovtool.exe
  return fs::path(self).parent_path().parent_path().parent_path() / "tools" / "ovtool" /
         "ovtool.exe";
}

int32_t MonitorInput() {
  ConsoleEngineHost host;
  NullNotifier n;
  std::atomic<int32_t> p{0}, r{0};
  WavePlayRec e(host, n, p, r, {}, EngineSettings{});
  for (uint32_t i = 1; i <= e.GetDeviceCount(AudioDirection::Input); ++i) {
    if (e.GetDeviceName(i, AudioDirection::Input) == "Monitor of Null Output")
      return static_cast<int32_t>(i);
  }
  return -1;
}

TEST(EngineRecordKill, KilledRecordingLeavesAValidFile) {
  const fs::path tool = OvtoolPath();
  if (!fs::exists(tool)) GTEST_SKIP() << "ovtool.exe not built beside the tests: " << tool;
  const int32_t in = MonitorInput();
  if (in < 0) GTEST_SKIP() << "no loopback input (Monitor of Null Output)";
  const fs::path dir = fs::temp_directory_path() / "ov_record_kill";
  fs::create_directories(dir);
  std::mt19937 rng(std::random_device{}());
  for (int round = 0; round < 3; ++round) {
    const fs::path file = dir / ("KILL" + std::to_string(round) + ".WAV");
    std::wstring cmd = L"\"" + tool.wstring() + L"\" record \"" + file.wstring() +
                       L"\" --seconds 60 --device " + std::to_wstring(in);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    const test::ProcessStart start = test::StartProcess(cmd, false, CREATE_NO_WINDOW, si);
    ASSERT_TRUE(start.started) << "ovtool did not start (" << start.errors << ")";
    const PROCESS_INFORMATION pi = start.info;
    // Let at least three seconds of audio reach the file, then kill at a random moment.
    const uint64_t threeSeconds = 3ull * 176400;
    const DWORD begin = GetTickCount();
    std::error_code ec;
    while ((!fs::exists(file, ec) || fs::file_size(file, ec) < threeSeconds) &&
           GetTickCount() - begin < 60000) {
      Sleep(50);
    }
    Sleep(std::uniform_int_distribution<DWORD>(0, 1500)(rng));
    TerminateProcess(pi.hProcess, 9);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);

    WaveFormat f{};
    WaveFileInfo info;
    ReaderMessage m;
    ASSERT_TRUE(ParseWaveFile(file.string().c_str(), &f, &info, &m, ParseOptions{})) << m.c_str();
    EXPECT_TRUE(info.valid) << "round " << round;
    EXPECT_EQ(f.samplesPerSec, 44100u);
    EXPECT_EQ(f.blockAlign, 4u);
    EXPECT_EQ(info.dataSize % 4, 0u);
    // At least two header updates have happened: at least one second is described.
    EXPECT_GE(info.dataSize, 176400u) << "round " << round;
    EXPECT_LE(info.dataOffset + info.dataSize, fs::file_size(file));
  }
  std::error_code ignored;
  fs::remove_all(dir, ignored);
}

// Runs ovtool with `arguments`; returns its exit code and what it printed on
// standard output and standard error together.
int RunOvtool(const std::wstring& arguments, std::string& output) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return -1;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  std::wstring cmd = L"\"" + OvtoolPath().wstring() + L"\" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = writeEnd;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  const test::ProcessStart started = test::StartProcess(cmd, true, CREATE_NO_WINDOW, si);
  CloseHandle(writeEnd);
  output.clear();
  if (!started.started) {
    CloseHandle(readEnd);
    output = "ovtool did not start (" + started.errors + ")";
    return -1;
  }
  const PROCESS_INFORMATION pi = started.info;
  // Read while the tool runs and until it has ended: helpers the system starts
  // beside a console program may keep the pipe open after the tool exits.
  char chunk[4096];
  const DWORD start = GetTickCount();
  bool ended = false;
  while (true) {
    DWORD avail = 0;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &avail, nullptr) && avail > 0) {
      DWORD got = 0;
      if (!ReadFile(readEnd, chunk, std::min<DWORD>(avail, sizeof chunk), &got, nullptr) || !got) {
        break;
      }
      output.append(chunk, got);
    }
    if (ended || GetTickCount() - start > 120000) break;
    ended = WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0;
  }
  CloseHandle(readEnd);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

// `--driver` picks the family; one that cannot be used says why and fails
// instead of listing another family's devices.
TEST(OvtoolDriverOption, EachFamilyListsItsDevicesOrSaysWhyNot) {
  if (!fs::exists(OvtoolPath())) GTEST_SKIP() << "ovtool.exe not built beside the tests";
  std::string out;
  ASSERT_EQ(RunOvtool(L"devices --driver mme", out), 0) << out;
  EXPECT_NE(out.find("Null Output"), std::string::npos) << out;
  for (const wchar_t* family : {L"ds", L"wasapi", L"asio"}) {
    const int code = RunOvtool(std::wstring(L"devices --driver ") + family, out);
    if (code == 0) {
      EXPECT_NE(out.find("Output devices:"), std::string::npos) << out;
    } else {
      EXPECT_EQ(code, 1) << out;
      EXPECT_NE(out.find("the driver family cannot be used: "), std::string::npos) << out;
      EXPECT_EQ(out.find("Output devices:"), std::string::npos) << out;
    }
  }
  EXPECT_EQ(RunOvtool(L"devices --driver pulse", out), 2) << out;
  EXPECT_EQ(RunOvtool(L"play --driver", out), 2) << out;
}

int32_t DeviceNumber(const char* name, AudioDirection d, int32_t family = kDriverMme) {
  ConsoleEngineHost host;
  NullNotifier n;
  std::atomic<int32_t> p{0}, r{0};
  EngineSettings s;
  s.PlayRecDriverType = family;
  WavePlayRec e(host, n, p, r, {}, s);
  if (e.GetDriverType() != family) return -1;
  const uint32_t first = family == kDriverWasapi ? 0 : 1;  // WASAPI numbers from 0
  for (uint32_t i = first; i <= e.GetDeviceCount(d); ++i) {
    if (e.GetDeviceName(i, d) == name) return static_cast<int32_t>(i);
  }
  return -1;
}

int32_t MmeDeviceNumber(const char* name, AudioDirection d) {
  ConsoleEngineHost host;
  NullNotifier n;
  std::atomic<int32_t> p{0}, r{0};
  WavePlayRec e(host, n, p, r, {}, EngineSettings{});
  for (uint32_t i = 1; i <= e.GetDeviceCount(d); ++i) {
    if (e.GetDeviceName(i, d) == name) return static_cast<int32_t>(i);
  }
  return -1;
}

// What the device answers for one format when opened directly: the grid of
// `ovtool formats` must show exactly these answers.
bool OpensDirectly(bool input, UINT id, const WaveFormat& f, bool query) {
  const auto* wf = reinterpret_cast<const WAVEFORMATEX*>(&f);
  const DWORD flags = CALLBACK_NULL | (query ? WAVE_FORMAT_QUERY : 0);
  if (input) {
    HWAVEIN h = nullptr;
    const MMRESULT r = waveInOpen(query ? nullptr : &h, id, wf, 0, 0, flags);
    if (h) waveInClose(h);
    return r == MMSYSERR_NOERROR;
  }
  HWAVEOUT h = nullptr;
  const MMRESULT r = waveOutOpen(query ? nullptr : &h, id, wf, 0, 0, flags);
  if (h) waveOutClose(h);
  return r == MMSYSERR_NOERROR;
}

std::string WithoutCarriageReturns(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

TEST(OvtoolFormats, EachCellIsWhatADirectOpenOfThatFormatAnswers) {
  if (!fs::exists(OvtoolPath())) GTEST_SKIP() << "ovtool.exe not built beside the tests";
  const int32_t out = MmeDeviceNumber("Null Output", AudioDirection::Output);
  const int32_t in = MmeDeviceNumber("Monitor of Null Output", AudioDirection::Input);
  if (out < 0 || in < 0) GTEST_SKIP() << "no null sink loopback devices";
  for (bool input : {false, true}) {
    for (bool query : {true, false}) {
      const int32_t number = input ? in : out;
      std::wstring args = L"formats --driver mme --device " + std::to_wstring(number);
      if (input) args += L" --input";
      if (query) args += L" --query";
      std::string printed;
      ASSERT_EQ(RunOvtool(args, printed), 0) << printed;
      FormatProbeTable expected;
      for (int r = 0; r < kProbeRates; ++r) {
        for (int w = 0; w < kProbeWidths; ++w) {
          for (uint16_t ch : {1, 2}) {
            const WaveFormat f = ProbeFormat(kProbeRateList[r], w, ch, false);
            if (OpensDirectly(input, static_cast<UINT>(number - 1), f, query)) {
              expected.cells[r][w] |= static_cast<uint16_t>(1u << (ch - 1));
            }
          }
          expected.tried[r][w] = true;
        }
      }
      EXPECT_EQ(WithoutCarriageReturns(printed), WithoutCarriageReturns(FormatGridText(expected)))
          << (input ? "input" : "output") << (query ? " query" : " open");
    }
  }
  std::string printed;
  EXPECT_EQ(RunOvtool(L"formats --driver mme --device 99", printed), 1) << printed;
  EXPECT_EQ(RunOvtool(L"formats --device 1", printed), 2) << printed;
  // A stop after 3 cells leaves the others empty.
  ASSERT_EQ(
      RunOvtool(L"formats --driver mme --query --stop-after 3 --device " + std::to_wstring(out),
                printed),
      0);
  EXPECT_NE(WithoutCarriageReturns(printed).find("  11025\t   12\t   12\t   12\t\t\n"),
            std::string::npos)
      << printed;
}

// The probe's time per family and mode on the loopback devices, reported
// (the machine's load decides it, so nothing is asserted on it), and the
// WASAPI grid of the real endpoints: the test environment's sound server
// refuses exclusive mode, so no cell may claim a format.
TEST(OvtoolFormats, ProbeTimesPerFamilyAndTheRefusedWasapiGrid) {
  if (!fs::exists(OvtoolPath())) GTEST_SKIP() << "ovtool.exe not built beside the tests";
  struct Case {
    const wchar_t* driver;
    int32_t family;
    bool input;
    bool query;
  };
  const Case cases[] = {
      {L"mme", kDriverMme, false, true},         {L"mme", kDriverMme, false, false},
      {L"mme", kDriverMme, true, true},          {L"mme", kDriverMme, true, false},
      {L"ds", kDriverDirectSound, false, false}, {L"ds", kDriverDirectSound, true, false},
      {L"wasapi", kDriverWasapi, false, true},   {L"wasapi", kDriverWasapi, false, false},
      {L"wasapi", kDriverWasapi, true, true},    {L"wasapi", kDriverWasapi, true, false},
  };
  int ran = 0;
  for (const Case& c : cases) {
    const char* name = c.input ? "Monitor of Null Output" : "Null Output";
    const int32_t number =
        DeviceNumber(name, c.input ? AudioDirection::Input : AudioDirection::Output, c.family);
    if (number < 0) continue;
    std::wstring args = std::wstring(L"formats --json --driver ") + c.driver + L" --device " +
                        std::to_wstring(number);
    if (c.input) args += L" --input";
    if (c.query) args += L" --query";
    std::string json;
    ASSERT_EQ(RunOvtool(args, json), 0) << json;
    EXPECT_NE(json.find("\"cellsTried\":55,\"cancelled\":false"), std::string::npos) << json;
    const size_t at = json.find("\"elapsedMs\":");
    ASSERT_NE(at, std::string::npos) << json;
    const long long ms = std::atoll(json.c_str() + at + 12);
    std::printf("[ PROBE    ] %ls %s %s: %lld ms for 55 cells\n", c.driver,
                c.input ? "record" : "play", c.query ? "query" : "real opens", ms);
    ++ran;
    if (c.family != kDriverWasapi) continue;
    std::string grid;
    args.erase(0, std::wstring(L"formats --json").size());
    ASSERT_EQ(RunOvtool(L"formats" + args, grid), 0) << grid;
    FormatProbeTable none;
    for (auto& row : none.tried) {
      for (bool& b : row) b = true;
    }
    EXPECT_EQ(WithoutCarriageReturns(grid), WithoutCarriageReturns(FormatGridText(none)))
        << (c.input ? "record" : "play") << (c.query ? " query" : " real opens");
  }
  if (ran == 0) GTEST_SKIP() << "no loopback devices in any family";
}

}  // namespace
}  // namespace ov
