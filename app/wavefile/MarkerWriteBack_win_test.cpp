// Marker write-back through the Win32 file seam: a file with a UTF-8 name
// takes its markers, and a file another handle holds is refused untouched.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/wavefile/Disk.h"
#include "app/wavefile/MarkerList.h"
#include "app/wavefile/MarkerWriteBack.h"
#include "app/wavefile/WaveFileParse.h"
#include "app/wavefile/WaveFileTestBytes.h"

namespace ov {
namespace {

namespace fs = std::filesystem;
using namespace testbytes;

struct Opened {
  bool ok = false;
  std::unique_ptr<ChunkTable> chunks = std::make_unique<ChunkTable>();
  std::unique_ptr<MarkerTable> markers = std::make_unique<MarkerTable>();
};
Opened Open(const std::string& name) {
  Opened o;
  WaveFormat format;
  WaveFileInfo info;
  ReaderMessage message;
  ParseOptions options;
  options.chunks = o.chunks.get();
  options.markers = o.markers.get();
  o.ok = ParseWaveFile(name.c_str(), &format, &info, &message, options);
  return o;
}

std::string ReadAll(const std::string& name) {
  std::ifstream in(fs::u8path(name), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

class MarkerWriteWin : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / "ov_markers_win";
    fs::create_directories(dir_);
    name_ = (dir_ / u8"Mark\u00e9 \u30c6.wav").u8string();
    const Bytes b = Riff(Pcm16Stereo() + Chunk("data", Ramp(4000)) +
                         Chunk("LIST", Text("INFO") + Chunk("INAM", Text("x") + Bytes{0})));
    std::ofstream(fs::u8path(name_), std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::vector<uint8_t> Block() {
    MarkerList list;
    list.Add(250);
    list.Rename(1, "\xE2\x88\x86 delta");
    return list.BuildBlock();
  }
  fs::path dir_;
  std::string name_;
};

TEST_F(MarkerWriteWin, Utf8NamedFileTakesItsMarkers) {
  Opened o = Open(name_);
  ASSERT_TRUE(o.ok);
  const std::vector<uint8_t> block = Block();
  const MarkerWriteResult r =
      WriteMarkerBlock(SystemDisk(), name_.c_str(), *o.chunks, block.data(), block.size());
  ASSERT_TRUE(r.written) << r.message;
  Opened back = Open(name_);
  ASSERT_TRUE(back.ok);
  ASSERT_EQ(back.markers->count, 1);
  EXPECT_EQ(back.markers->markers[0].position, 250u);
  EXPECT_STREQ(back.markers->markers[0].label, "\xE2\x88\x86 delta");
  EXPECT_EQ(back.chunks->fileSize, r.plan.newFileSize);
}

TEST_F(MarkerWriteWin, FileHeldByAnotherHandleIsRefusedUntouched) {
  Opened o = Open(name_);
  ASSERT_TRUE(o.ok);
  const std::string before = ReadAll(name_);
  const std::wstring wide = fs::u8path(name_).wstring();
  const HANDLE holder = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const std::vector<uint8_t> block = Block();
  const MarkerWriteResult r =
      WriteMarkerBlock(SystemDisk(), name_.c_str(), *o.chunks, block.data(), block.size());
  CloseHandle(holder);
  EXPECT_FALSE(r.written);
  EXPECT_EQ(r.message, marker_text::kFileNotFound);
  EXPECT_EQ(ReadAll(name_), before);
}

}  // namespace
}  // namespace ov
