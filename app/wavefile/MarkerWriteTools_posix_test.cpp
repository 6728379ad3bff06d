// Markers written into copies of the corpus marker files and into files sox
// generates read back in the project's reader, in libsndfile (cue points,
// labels, samples) and in sox; the bytes before the cut stay as they were.
// Native only; skips visibly without the corpus or the tools.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sndfile.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/wavefile/Disk.h"
#include "app/wavefile/MarkerList.h"
#include "app/wavefile/MarkerWriteBack.h"
#include "app/wavefile/WaveFileParse.h"

namespace ov {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

struct Opened {
  bool ok = false;
  std::unique_ptr<ChunkTable> chunks = std::make_unique<ChunkTable>();
  std::unique_ptr<MarkerTable> markers = std::make_unique<MarkerTable>();
};
Opened Open(const std::string& path) {
  Opened o;
  WaveFormat format;
  WaveFileInfo info;
  ReaderMessage message;
  ParseOptions options;
  options.chunks = o.chunks.get();
  options.markers = o.markers.get();
  o.ok = ParseWaveFile(path.c_str(), &format, &info, &message, options);
  return o;
}

// What libsndfile sees: frames, samples as doubles, cue points and names.
struct SndView {
  bool opened = false;
  sf_count_t frames = 0;
  std::vector<double> samples;
  std::vector<std::pair<uint32_t, std::string>> cues;  // position, name
};
SndView ReadWithSndfile(const std::string& path) {
  SndView v;
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return v;
  v.opened = true;
  v.frames = info.frames;
  v.samples.resize(static_cast<size_t>(info.frames) * info.channels);
  sf_readf_double(f, v.samples.data(), info.frames);
  auto cues = std::make_unique<SF_CUES>();
  if (sf_command(f, SFC_GET_CUE, cues.get(), sizeof *cues) == SF_TRUE) {
    for (uint32_t i = 0; i < cues->cue_count && i < 100; ++i)
      v.cues.emplace_back(cues->cue_points[i].position, cues->cue_points[i].name);
  }
  sf_close(f);
  return v;
}

bool SoxReads(const std::string& path) {
  return std::system(("sox -V1 '" + path + "' -n stat >/dev/null 2>&1").c_str()) == 0;
}

class MarkerWriteTools : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ov-markers-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Adds a marker with a multi-byte label to the file's rows, renames the
  // first, writes, and checks every reader.
  void WriteAndCheck(const std::string& path) {
    SCOPED_TRACE(path);
    const std::vector<uint8_t> before = ReadWhole(path);
    const SndView sndBefore = ReadWithSndfile(path);
    Opened o = Open(path);
    ASSERT_TRUE(o.ok);
    MarkerList list;
    list.Load(*o.markers, o.chunks.get());
    const int loaded = list.Count();
    ASSERT_EQ(list.Add(1234), MarkerAddResult::Added);
    ASSERT_EQ(list.Rename(list.Count(), "Größe ∆ 1234"), MarkerRenameResult::Renamed);
    if (loaded > 0) list.Rename(1, "first");
    const std::vector<uint8_t> block = list.BuildBlock();
    const MarkerWriteResult r =
        WriteMarkerBlock(SystemDisk(), path.c_str(), *o.chunks, block.data(), block.size());
    ASSERT_TRUE(r.written) << r.message;

    const std::vector<uint8_t> after = ReadWhole(path);
    ASSERT_EQ(after.size(), r.plan.newFileSize);
    // Before the cut only the size field and the JUNK IDs may differ.
    std::vector<uint8_t> expected(before.begin(), before.begin() + r.plan.cutAt);
    for (uint64_t j : r.plan.junk) std::copy_n("JUNK", 4, expected.begin() + j);
    for (int i = 0; i < (r.plan.sizeField64 ? 8 : 4); ++i)
      expected[r.plan.sizeFieldOffset + i] = after[r.plan.sizeFieldOffset + i];
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), after.begin()));

    Opened back = Open(path);
    ASSERT_TRUE(back.ok);
    ASSERT_EQ(back.markers->count, loaded + 1);
    EXPECT_EQ(back.markers->markers[loaded].position, 1234u);
    EXPECT_STREQ(back.markers->markers[loaded].label, "Größe ∆ 1234");
    for (int i = 1; i < loaded; ++i)
      EXPECT_EQ(std::string(back.markers->markers[i].label), std::string(list.Row(i + 1).label));

    const SndView sndAfter = ReadWithSndfile(path);
    ASSERT_TRUE(sndAfter.opened);
    if (sndBefore.opened) {
      EXPECT_EQ(sndAfter.frames, sndBefore.frames);
      EXPECT_EQ(sndAfter.samples, sndBefore.samples);
    }
    ASSERT_EQ(sndAfter.cues.size(), size_t(loaded + 1));
    EXPECT_EQ(sndAfter.cues.back().first, 1234u);
    EXPECT_EQ(sndAfter.cues.back().second, "Größe ∆ 1234");
    if (loaded > 0) {
      EXPECT_EQ(sndAfter.cues.front().second, "first");
    }
    EXPECT_TRUE(SoxReads(path));
  }

  std::string dir_;
};

TEST_F(MarkerWriteTools, CorpusMarkerFilesTakeNewMarkers) {
  const fs::path corpus = fs::path(OV_SHARED_DIR) / "testdata/wav/markers";
  if (!fs::exists(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  int files = 0;
  for (const auto& entry : fs::directory_iterator(corpus)) {
    const fs::path copy = fs::path(dir_) / entry.path().filename();
    fs::copy_file(entry.path(), copy);
    WriteAndCheck(copy.string());
    ++files;
  }
  EXPECT_GE(files, 5);
}

TEST_F(MarkerWriteTools, GeneratedFilesTakeMarkersTwiceAndLoseThemAgain) {
  if (std::system("command -v sox >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is missing";
  const std::string path = dir_ + "/tone.wav";
  // Odd frame count of 8-bit mono: the data chunk needs a pad byte.
  ASSERT_EQ(
      std::system(("sox -D -n -r 8000 -c 1 -b 8 '" + path + "' synth 1001s sine 440").c_str()), 0);
  const std::vector<uint8_t> original = ReadWhole(path);
  WriteAndCheck(path);
  WriteAndCheck(path);
  // An empty list removes the markers; the samples stay.
  const SndView sndBefore = ReadWithSndfile(path);
  Opened o = Open(path);
  const MarkerWriteResult r = WriteMarkerBlock(SystemDisk(), path.c_str(), *o.chunks, nullptr, 0);
  ASSERT_TRUE(r.written) << r.message;
  EXPECT_EQ(Open(path).markers->count, 0);
  EXPECT_EQ(ReadWithSndfile(path).samples, sndBefore.samples);
  EXPECT_TRUE(ReadWithSndfile(path).cues.empty());
  EXPECT_TRUE(SoxReads(path));
}

TEST_F(MarkerWriteTools, LockedFileIsRefusedUntouched) {
  if (std::system("command -v sox >/dev/null 2>&1") != 0) GTEST_SKIP() << "sox is missing";
  const std::string path = dir_ + "/ro.wav";
  ASSERT_EQ(
      std::system(("sox -D -n -r 8000 -c 1 -b 16 '" + path + "' synth 100s sine 440").c_str()), 0);
  // Another writer holds the file.
  const int holder = ::open(path.c_str(), O_RDWR);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  const std::vector<uint8_t> before = ReadWhole(path);
  Opened o = Open(path);
  MarkerList list;
  list.Add(5);
  const std::vector<uint8_t> block = list.BuildBlock();
  const MarkerWriteResult r =
      WriteMarkerBlock(SystemDisk(), path.c_str(), *o.chunks, block.data(), block.size());
  EXPECT_FALSE(r.written);
  EXPECT_EQ(r.message, marker_text::kFileNotFound);
  EXPECT_EQ(ReadWhole(path), before);
  ::close(holder);
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

// A 2 GiB recording (sparse on disk) with markers after its data: the write
// reads and writes its tail, never the samples.
TEST(MarkerWriteLarge, TwoGiBFileCostsItsTail) {
  char pattern[] = "/tmp/ov-markers-large-XXXXXX";
  const int fd = mkstemp(pattern);
  ASSERT_GE(fd, 0);
  const std::string path = pattern;
  const uint64_t dataBytes = uint64_t(1) << 31;
  auto le32 = [](uint32_t v) {
    return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
  };
  const std::string fmt = "fmt " + le32(16) + std::string("\x01\x00\x02\x00", 4) + le32(44100) +
                          le32(176400) + std::string("\x04\x00\x10\x00", 4);
  const std::string info = "LIST" + le32(12) + "INFO" + "INAM" + le32(0);
  const std::string cue =
      "cue " + le32(28) + le32(1) + le32(1) + le32(5) + "data" + le32(0) + le32(0) + le32(5);
  const std::string tail = cue + info;
  const uint64_t size = 12 + fmt.size() + 8 + dataBytes + tail.size();
  const std::string head =
      "RIFF" + le32(uint32_t(size - 8)) + "WAVE" + fmt + "data" + le32(uint32_t(dataBytes));
  ASSERT_EQ(pwrite(fd, head.data(), head.size(), 0), ssize_t(head.size()));
  ASSERT_EQ(pwrite(fd, tail.data(), tail.size(), off_t(size - tail.size())), ssize_t(tail.size()));
  close(fd);

  Opened o = Open(path);
  ASSERT_TRUE(o.ok);
  ASSERT_EQ(o.markers->count, 1);
  MarkerList list;
  list.Load(*o.markers, o.chunks.get());
  list.Add(dataBytes / 4 - 1);
  const std::vector<uint8_t> block = list.BuildBlock();
  const MarkerWriteResult r =
      WriteMarkerBlock(SystemDisk(), path.c_str(), *o.chunks, block.data(), block.size());
  ASSERT_TRUE(r.written) << r.message;
  EXPECT_LT(r.bytesRead, 4096u);
  EXPECT_LT(r.bytesWritten, 4096u);
  Opened back = Open(path);
  ASSERT_EQ(back.markers->count, 2);
  EXPECT_EQ(back.markers->markers[1].position, dataBytes / 4 - 1);
  EXPECT_EQ(back.chunks->fileSize, size - cue.size() + block.size());
  ::unlink(path.c_str());
}

}  // namespace
}  // namespace ov
