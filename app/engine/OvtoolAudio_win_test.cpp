// ovtool's audio commands as a user runs them. Crash safety end to end:
// `ovtool record` terminated at a random moment leaves a valid wave file
// describing the audio up to its last header update (the tool rewrites the
// header every second of audio).
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "app/engine/ConsoleEngineHost.h"
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
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                               nullptr, nullptr, &si, &pi));
    // Let at least three seconds of audio reach the file, then kill at a random moment.
    const uint64_t threeSeconds = 3ull * 176400;
    const DWORD start = GetTickCount();
    std::error_code ec;
    while ((!fs::exists(file, ec) || fs::file_size(file, ec) < threeSeconds) &&
           GetTickCount() - start < 60000) {
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
  PROCESS_INFORMATION pi{};
  const BOOL started = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                      nullptr, nullptr, &si, &pi);
  CloseHandle(writeEnd);
  output.clear();
  char chunk[4096];
  DWORD got = 0;
  while (started && ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0) {
    output.append(chunk, got);
  }
  CloseHandle(readEnd);
  if (!started) return -1;
  WaitForSingleObject(pi.hProcess, 60000);
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

}  // namespace
}  // namespace ov
