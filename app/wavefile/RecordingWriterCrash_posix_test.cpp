// What a real disk holds when the writer dies or the disk fills: the file
// must parse, and the data it describes must be exactly what was recorded.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/wavefile/RecordingTestSupport.h"
#include "app/wavefile/RecordingWriter.h"

namespace ov {
namespace {

using namespace testing_support;

std::string MakeTempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/ov_crash_XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  return mkdtemp(buf.data()) ? std::string(buf.data()) : std::string();
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

struct Parsed {
  bool ok = false;
  WaveFileInfo info;
  std::string why;
};
Parsed ParseOnDisk(const std::string& name) {
  Parsed p;
  WaveFormat f;
  ReaderMessage why;
  p.ok = ParseWaveFile(name.c_str(), &f, &p.info, &why, ParseOptions{});
  p.why = why.c_str();
  return p;
}

// Checks that name describes a byte-exact prefix of the pattern, and returns
// how much of what reached the file the header leaves undescribed.
uint64_t ExpectDescribedPrefix(const std::string& name, uint32_t headerSize,
                               uint64_t* describedOut = nullptr) {
  const Parsed p = ParseOnDisk(name);
  EXPECT_TRUE(p.ok) << p.why;
  EXPECT_TRUE(p.info.valid);
  EXPECT_EQ(p.info.dataOffset, headerSize);
  const std::vector<uint8_t> bytes = ReadAll(name);
  if (bytes.size() < headerSize) {
    ADD_FAILURE() << "no whole header: " << bytes.size() << " bytes";
    return 0;
  }
  const uint32_t described = Le32(&bytes[headerSize - 4]);
  if (describedOut) *describedOut = described;
  EXPECT_EQ(p.info.dataSize, described) << "the header never runs past the data on disk";
  EXPECT_LE(headerSize + static_cast<uint64_t>(described), bytes.size());
  std::vector<uint8_t> expected(described);
  Pattern(0, expected.data(), expected.size());
  if (described) {
    EXPECT_EQ(std::memcmp(bytes.data() + headerSize, expected.data(), described), 0);
  }
  return bytes.size() - headerSize - described;
}

constexpr uint32_t kBlock = 4000;         // a quarter second of 8 kHz 16-bit mono
constexpr uint64_t kPeriodBytes = 16000;  // one second

[[noreturn]] void RecordUntilKilled(const std::string& name, bool rf64Ready) {
  RecordingFile file;
  PlayReadState engine;
  KeepingNotifier notes;
  RecordingWriter writer(file, engine, notes);
  engine.format = RecordFormat(1, 8000, 16, false);
  writer.SetRecRF64(rf64Ready);
  writer.SetRecBWF(rf64Ready);
  writer.SetRecUpdateHeaderPeriod(1);
  std::snprintf(file.fileName, sizeof file.fileName, "%s", name.c_str());
  if (!writer.CreateRecordingFile()) _exit(3);
  std::vector<uint8_t> block(kBlock);
  for (uint64_t done = 0; done < (64u << 20); done += kBlock) {
    Pattern(done, block.data(), kBlock);
    if (writer.WriteRecordedData(block.data(), kBlock) != kBlock) _exit(4);
  }
  for (;;) pause();
}

TEST(RecordingCrash, KilledWriterLeavesAValidPrefix) {
  const std::string dir = MakeTempDir();
  ASSERT_FALSE(dir.empty());
  struct Cleanup {
    std::string dir;
    ~Cleanup() { std::filesystem::remove_all(dir); }
  } cleanup{dir};
  std::mt19937 rng(20261209);
  uint64_t mostDescribed = 0;
  for (int run = 0; run < 8; ++run) {
    const bool rf64Ready = run % 2 == 1;
    const std::string name = dir + "/crash" + std::to_string(run) + ".WAV";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) RecordUntilKilled(name, rf64Ready);
    // Wait until the child records, then let it run a random while.
    const uint32_t header = rf64Ready ? 80 : 44;
    struct stat st {};
    for (int i = 0; i < 20000 && (stat(name.c_str(), &st) != 0 || st.st_size <= header); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const int delayMs = std::uniform_int_distribution<int>(0, 400)(rng);
    SCOPED_TRACE(name + " killed " + std::to_string(delayMs) + " ms after its first block");
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself: " << status;
    uint64_t described = 0;
    const uint64_t missing = ExpectDescribedPrefix(name, rf64Ready ? 80 : 44, &described);
    EXPECT_LE(missing, kPeriodBytes + kBlock);
    mostDescribed = std::max(mostDescribed, described);
    unlink(name.c_str());
  }
  EXPECT_GT(mostDescribed, 10 * kPeriodBytes) << "the kills should also land after rewrites";
}

// A real small file system: mounting tmpfs needs root, elsewhere this skips.
class RecordingFullDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = MakeTempDir();
    ASSERT_FALSE(dir.empty());
    if (geteuid() != 0 ||
        std::system(("mount -t tmpfs -o size=4m tmpfs '" + dir + "' 2>/dev/null").c_str()) != 0) {
      rmdir(dir.c_str());
      dir.clear();
      GTEST_SKIP() << "cannot mount a 4 MiB tmpfs here (needs root)";
    }
  }
  void TearDown() override {
    if (dir.empty()) return;
    std::system(("umount '" + dir + "'").c_str());
    rmdir(dir.c_str());
  }
  // Records the pattern in blocks until the writer stops; returns the bytes taken.
  uint64_t RecordUntilFull(uint32_t block) {
    std::snprintf(file.fileName, sizeof file.fileName, "%s/full.WAV", dir.c_str());
    engine.format = RecordFormat(2, 48000, 16, false);
    writer.SetRecBWF(true);
    writer.SetRecUpdateHeaderPeriod(1);
    EXPECT_TRUE(writer.CreateRecordingFile());
    std::vector<uint8_t> buf(block);
    uint64_t done = 0;
    for (;;) {
      Pattern(done, buf.data(), block);
      if (writer.WriteRecordedData(buf.data(), block) == 0) return done;
      done += block;
    }
  }
  std::string dir;
  RecordingFile file;
  PlayReadState engine;
  KeepingNotifier notes;
  RecordingWriter writer{file, engine, notes};
};

TEST_F(RecordingFullDisk, StopsWithTheFreeSpaceMessageAndKeepsEverything) {
  const uint64_t written = RecordUntilFull(96000);
  EXPECT_GT(written, 2000000u);
  ASSERT_EQ(notes.texts.size(), 1u);
  EXPECT_EQ(notes.texts[0].rfind("Insufficient disk space on disk " + dir + "/ ", 0), 0u)
      << notes.texts[0];
  EXPECT_NE(notes.texts[0].find("\n\n" + dir + "/full.WAV  (1.04MB)"), std::string::npos);
  ASSERT_TRUE(writer.FinishRecordingFile()) << engine.message.c_str();
  EXPECT_TRUE(engine.bext);
  EXPECT_EQ(engine.dataBytes, written);
  EXPECT_EQ(ExpectDescribedPrefix(file.fileName, 44), 866u) << "only the bext follows the data";
}

TEST_F(RecordingFullDisk, ABlockTheDiskCannotHoldEndsWithAValidFile) {
  // Blocks larger than the free-space margin reach the real end of the disk.
  const uint64_t written = RecordUntilFull(1500000);
  EXPECT_EQ(written, 3000000u);
  ASSERT_EQ(notes.texts.size(), 1u);
  EXPECT_EQ(notes.texts[0], "Unable to write file.\n\n" + dir + "/full.WAV");
  ASSERT_TRUE(writer.FinishRecordingFile()) << engine.message.c_str();
  EXPECT_TRUE(engine.bext) << "the partial block was cut off, so the bext fits again";
  EXPECT_EQ(ExpectDescribedPrefix(file.fileName, 44), 866u);
}

}  // namespace
}  // namespace ov
