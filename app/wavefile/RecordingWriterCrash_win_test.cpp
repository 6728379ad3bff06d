// A writer process ended by TerminateProcess at random moments: the file it
// leaves parses, and the data it describes is a byte-exact prefix of what was
// recorded, missing at most one update period plus one block. The writer is
// this test program itself, started again to run the disabled child case.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/wavefile/RecordingTestSupport.h"
#include "app/wavefile/RecordingWriter.h"

namespace ov {
namespace {

using namespace testing_support;

constexpr uint32_t kBlock = 4000;         // a quarter second of 8 kHz 16-bit mono
constexpr uint64_t kPeriodBytes = 16000;  // one second
constexpr char kFileVariable[] = "OV_CRASH_CHILD_FILE";

// Run only as the child: records the pattern into the named file until killed.
TEST(RecordingCrashChild, DISABLED_RecordUntilKilled) {
  const char* name = std::getenv(kFileVariable);
  if (!name) GTEST_SKIP() << "started by RecordingCrashWin only";
  RecordingFile file;
  PlayReadState engine;
  KeepingNotifier notes;
  RecordingWriter writer(file, engine, notes);
  engine.format = RecordFormat(1, 8000, 16, false);
  const bool rf64Ready = std::getenv("OV_CRASH_CHILD_RF64") != nullptr;
  writer.SetRecRF64(rf64Ready);
  writer.SetRecBWF(rf64Ready);
  writer.SetRecUpdateHeaderPeriod(1);
  std::snprintf(file.fileName, sizeof file.fileName, "%s", name);
  ASSERT_TRUE(writer.CreateRecordingFile());
  std::vector<uint8_t> block(kBlock);
  for (uint64_t done = 0; done < (64u << 20); done += kBlock) {
    Pattern(done, block.data(), kBlock);
    ASSERT_EQ(writer.WriteRecordedData(block.data(), kBlock), kBlock);
  }
  Sleep(INFINITE);
}

uint64_t SizeOf(const std::string& name) {
  WIN32_FILE_ATTRIBUTE_DATA a;
  if (!GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &a)) return 0;
  return (static_cast<uint64_t>(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
}

TEST(RecordingCrashWin, TerminatedWriterLeavesAValidPrefix) {
  wchar_t self[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  char temp[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
  std::mt19937 rng(20261209);
  uint64_t mostDescribed = 0;
  for (int run = 0; run < 6; ++run) {
    const bool rf64Ready = run % 2 == 1;
    const uint32_t header = rf64Ready ? 80 : 44;
    const std::string name = std::string(temp) + "ov_crash_" + std::to_string(run) + ".WAV";
    DeleteFileA(name.c_str());
    SetEnvironmentVariableA(kFileVariable, name.c_str());
    SetEnvironmentVariableA("OV_CRASH_CHILD_RF64", rf64Ready ? "1" : nullptr);
    std::wstring cmd = std::wstring(L"\"") + self +
                       L"\" --gtest_filter=RecordingCrashChild.DISABLED_RecordUntilKilled "
                       L"--gtest_also_run_disabled_tests";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                               nullptr, nullptr, &si, &pi));
    // Wait until the child writes, then let it run a random while.
    for (int i = 0; i < 20000 && SizeOf(name) <= header; ++i) Sleep(1);
    const int delayMs = std::uniform_int_distribution<int>(0, 600)(rng);
    SCOPED_TRACE(name + " terminated " + std::to_string(delayMs) + " ms after its first block");
    Sleep(delayMs);
    ASSERT_TRUE(TerminateProcess(pi.hProcess, 9));
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);

    WaveFormat f;
    WaveFileInfo info;
    ReaderMessage why;
    ASSERT_TRUE(ParseWaveFile(name.c_str(), &f, &info, &why, ParseOptions{})) << why.c_str();
    EXPECT_TRUE(info.valid);
    std::ifstream in(name, std::ios::binary);
    const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    in.close();
    ASSERT_GT(bytes.size(), header);
    const uint32_t described = Le32(&bytes[header - 4]);
    EXPECT_EQ(info.dataSize, described);
    ASSERT_LE(header + static_cast<uint64_t>(described), bytes.size());
    std::vector<uint8_t> expected(described);
    Pattern(0, expected.data(), expected.size());
    if (described) {
      EXPECT_EQ(std::memcmp(bytes.data() + header, expected.data(), described), 0);
    }
    EXPECT_LE(bytes.size() - header - described, kPeriodBytes + kBlock);
    mostDescribed = std::max<uint64_t>(mostDescribed, described);
    DeleteFileA(name.c_str());
  }
  SetEnvironmentVariableA(kFileVariable, nullptr);
  EXPECT_GT(mostDescribed, 2 * kPeriodBytes) << "the kills should also land after rewrites";
}

}  // namespace
}  // namespace ov
