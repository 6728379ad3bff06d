// A real recording past 4 GiB with Rec_RF64: the file turns into RF64 before
// its size passes 0xFFFFC000, no header on disk ever describes a wrapped
// 32-bit size, and the finished file reads back in the reader and libsndfile.
// Writes about 4.3 GB into TMPDIR (or /tmp) and deletes it afterwards.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/wavefile/RecordingTestSupport.h"
#include "app/wavefile/RecordingWriter.h"

namespace ov {
namespace {

using namespace testing_support;

constexpr uint32_t kBlock = 1u << 20;  // a large capture buffer
constexpr uint32_t kHeader = 80;       // RF64-ready, stereo

// Each block carries its number in every 8-byte word, so a lost, doubled or
// misplaced block shows wherever it is sampled.
void FillBlock(uint64_t index, std::vector<uint8_t>& block) {
  for (size_t i = 0; i < block.size(); i += 8) std::memcpy(&block[i], &index, 8);
}

struct OnDisk {
  std::string id;
  uint32_t riffSize, dataSize;
  uint64_t ds64Data;
  uint64_t fileSize;
};
OnDisk ReadHeader(const std::string& name) {
  uint8_t h[kHeader] = {};
  const int fd = open(name.c_str(), O_RDONLY);
  EXPECT_EQ(pread(fd, h, kHeader, 0), static_cast<ssize_t>(kHeader));
  struct stat st;
  fstat(fd, &st);
  close(fd);
  return {Id(h), Le32(h + 4), Le32(h + 76), Le64(h + 28), static_cast<uint64_t>(st.st_size)};
}

// What a command prints on its standard output.
std::string Output(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[256];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

TEST(RecordingRf64, CrossesFourGibibytesLong) {
  const char* base = std::getenv("TMPDIR");
  std::string dir = std::string(base && *base ? base : "/tmp") + "/ov_long_XXXXXX";
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  // Gigabytes must not stay behind, whatever fails.
  struct Cleanup {
    std::string dir;
    ~Cleanup() { std::filesystem::remove_all(dir); }
  } cleanup{dir};
  const std::string name = dir + "/long.WAV";

  RecordingFile file;
  PlayReadState engine;
  KeepingNotifier notes;
  RecordingWriter writer(file, engine, notes);
  engine.format = RecordFormat(2, 48000, 16, false);  // 192 000 bytes per second
  writer.SetRecRF64(true);
  writer.SetRecBWF(true);
  writer.SetRecUpdateHeaderPeriod(10);
  std::snprintf(file.fileName, sizeof file.fileName, "%s", name.c_str());
  ASSERT_TRUE(writer.CreateRecordingFile());

  // 4100 blocks: block 4095 straddles 0xFFFFC000 (80 + 4096 MiB > limit).
  const uint64_t blocks = 4100;
  std::vector<uint8_t> block(kBlock);
  bool sawRiffNearLimit = false;
  for (uint64_t i = 0; i < blocks; ++i) {
    FillBlock(i, block);
    ASSERT_EQ(writer.WriteRecordedData(block.data(), kBlock), kBlock) << i;
    if (i >= 4080) {
      // Whatever the header on disk says must lie within the file.
      const OnDisk h = ReadHeader(name);
      if (h.id == "RIFF") {
        EXPECT_LE(kHeader + static_cast<uint64_t>(h.dataSize), h.fileSize) << i;
        EXPECT_LE(h.riffSize + 8ull, kRf64SwitchBytes) << i;
        sawRiffNearLimit = true;
      } else {
        ASSERT_EQ(h.id, "RF64");
        EXPECT_EQ(h.riffSize, 0xFFFFFFFFu);
        EXPECT_EQ(h.dataSize, 0xFFFFFFFFu);
        EXPECT_LE(kHeader + h.ds64Data, h.fileSize) << i;
      }
    }
  }
  EXPECT_TRUE(sawRiffNearLimit);
  EXPECT_TRUE(file.rf64Switched);
  ASSERT_TRUE(writer.FinishRecordingFile()) << engine.message.c_str();
  EXPECT_TRUE(notes.texts.empty());

  const uint64_t data = blocks * kBlock;
  const OnDisk h = ReadHeader(name);
  EXPECT_EQ(h.id, "RF64");
  EXPECT_EQ(h.ds64Data, data);
  EXPECT_EQ(h.fileSize, kHeader + data + kBextChunkBytes);
  EXPECT_TRUE(engine.rf64);
  EXPECT_TRUE(engine.bext);
  EXPECT_EQ(engine.dataBytes, data);
  EXPECT_EQ(engine.chunks.sampleCount, data / 4);

  // libsndfile sees every frame; sampled blocks hold their own numbers.
  SF_INFO info{};
  SNDFILE* sf = sf_open(name.c_str(), SFM_READ, &info);
  ASSERT_NE(sf, nullptr) << sf_strerror(nullptr);
  EXPECT_EQ(static_cast<uint64_t>(info.frames), data / 4);
  std::vector<short> frames(kBlock / 2);
  for (uint64_t i : {uint64_t{0}, uint64_t{4095}, uint64_t{4096}, blocks - 1}) {
    ASSERT_EQ(sf_seek(sf, static_cast<sf_count_t>(i * kBlock / 4), SEEK_SET),
              static_cast<sf_count_t>(i * kBlock / 4));
    ASSERT_EQ(sf_readf_short(sf, frames.data(), kBlock / 4), kBlock / 4);
    FillBlock(i, block);
    EXPECT_EQ(std::memcmp(frames.data(), block.data(), kBlock), 0) << "block " << i;
  }
  sf_close(sf);

  // sox and ffprobe read the 64-bit sizes too, and ffmpeg decodes the last
  // block where it lies, past 4 GiB.
  const std::string frameCount = std::to_string(data / 4);
  EXPECT_EQ(Output("sox --i -s '" + name + "'"), frameCount + "\n");
  EXPECT_EQ(Output("ffprobe -v error -show_entries stream=duration_ts -of default=nw=1:nk=1 '" +
                   name + "'"),
            frameCount + "\n");
  const std::string tail = dir + "/tail.raw";
  char seek[32];
  std::snprintf(seek, sizeof seek, "%.6f", (blocks - 1) * (kBlock / 4) / 48000.0);
  ASSERT_EQ(std::system(("ffmpeg -v error -y -ss " + std::string(seek) + " -i '" + name +
                         "' -f s16le -c:a pcm_s16le '" + tail + "'")
                            .c_str()),
            0);
  // The last block is words of its number, 4099: bytes 03 10 00 ... only.
  const std::string decoded = Output("cat '" + tail + "'");
  EXPECT_NEAR(static_cast<double>(decoded.size()), kBlock, 64.0);
  size_t threes = 0;
  for (const char c : decoded) {
    ASSERT_TRUE(c == 0 || c == 0x03 || c == 0x10) << static_cast<int>(c);
    threes += c == 0x03;
  }
  EXPECT_NEAR(static_cast<double>(threes), kBlock / 8, 16.0);
  unlink(tail.c_str());
  unlink(name.c_str());
  rmdir(dir.c_str());
}

}  // namespace
}  // namespace ov
