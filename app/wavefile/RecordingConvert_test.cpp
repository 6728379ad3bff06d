// Re-recording real files on disk: the output holds the input's samples,
// divided, RF64-ready or with bext as asked, and every file parses.
#include "app/wavefile/RecordingConvert.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/wavefile/RecordingTestSupport.h"
#include "app/wavefile/WaveFileParse.h"

namespace ov {
namespace {

using namespace testing_support;
namespace fs = std::filesystem;

void Put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>(v >> (8 * i));
}

// A RIFF file as other programs write it: fmt (given bytes), a LIST before the
// data, the data, and a trailing chunk.
void WriteInput(const fs::path& path, const WaveFormat& f, uint32_t fmtBytes,
                const std::vector<uint8_t>& data) {
  std::string body = "WAVE";
  body += "fmt ";
  Put32(body, fmtBytes);
  body.append(reinterpret_cast<const char*>(&f), fmtBytes);
  body += "LIST";
  Put32(body, 16);
  body += "INFOISFT";
  Put32(body, 4);
  body.append("abc\0", 4);
  body += "data";
  Put32(body, static_cast<uint32_t>(data.size()));
  body.append(data.begin(), data.end());
  if (data.size() & 1) body += '\0';
  body += "note";
  Put32(body, 2);
  body += "hi";
  std::string file = "RIFF";
  Put32(file, static_cast<uint32_t>(body.size()));
  std::ofstream(path, std::ios::binary) << file << body;
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

class Convert : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("ov_convert_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Name(const char* leaf) const { return (dir / leaf).string(); }

  fs::path dir;
  KeepingNotifier notes;
};

// Writing the input while it is read would destroy it: an output (or one of
// its division files) that is the input, under any name, is refused and the
// input stays as it was.
TEST_F(Convert, OutputThatIsTheInputIsRefused) {
  const WaveFormat f = RecordFormat(1, 8000, 16, false);
  std::vector<uint8_t> data(4000);
  Pattern(3, data.data(), data.size());
  WriteInput(dir / "in.wav", f, 16, data);
  WriteInput(dir / "take_02.WAV", f, 16, data);
  const std::vector<uint8_t> before = ReadAll(dir / "in.wav");
  const std::string sameByPath = (dir / "." / "in.wav").string();
  for (const std::string& out : {Name("in.wav"), sameByPath}) {
    const ConvertResult r = ConvertRecording(Name("in.wav").c_str(), out.c_str(), {}, notes);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error.rfind("the output is the input file: ", 0), 0u) << r.error;
    EXPECT_EQ(ReadAll(dir / "in.wav"), before);
  }
  const ConvertResult d =
      ConvertRecording(Name("take_02.WAV").c_str(), Name("take.wav").c_str(), {}, notes);
  EXPECT_FALSE(d.ok);
  EXPECT_EQ(d.error, "a division of the output would be the input file: " + Name("take_02.WAV"));
  EXPECT_FALSE(fs::exists(dir / "take.wav"));
  EXPECT_EQ(ReadAll(dir / "take_02.WAV"), before);
}

TEST_F(Convert, DividedBwfCopiesHoldTheInputInOrder) {
  WaveFormat in = RecordFormat(2, 48000, 24, false);
  in.formatTag = kWaveFormatExtensible;  // stereo stored extensibly by another program
  in.extraSize = 22;
  in.validBitsPerSample = 24;
  in.channelMask = 3;
  std::memcpy(in.subFormat, kSubFormatPcm, 16);
  std::vector<uint8_t> data(6 * 48000 / 3 + 6);  // a third of a second and one frame
  Pattern(7, data.data(), data.size());
  WriteInput(dir / "in.wav", in, 40, data);

  ConvertOptions options;
  options.bwf = true;
  options.divideBytes = 30000;
  options.blockBytes = 10001;  // not frame-aligned: a recording's blocks need not be
  const ConvertResult r =
      ConvertRecording(Name("in.wav").c_str(), Name("out.wav").c_str(), options, notes);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_TRUE(notes.texts.empty());
  EXPECT_EQ(r.bytes, data.size());
  // 96006 bytes in blocks of 10001: each file ends with the block that takes
  // it past 30000 bytes (44 + 3 blocks), so files of 30003, 30003, 30003, 6003.
  ASSERT_EQ(r.files.size(), 4u);
  EXPECT_EQ(r.files[1], Name("out_01.WAV"));
  EXPECT_EQ(r.files[3], Name("out_03.WAV"));
  std::vector<uint8_t> joined;
  for (const std::string& f : r.files) {
    SCOPED_TRACE(f);
    WaveFormat got;
    WaveFileInfo info;
    ReaderMessage why;
    ASSERT_TRUE(ParseWaveFile(f.c_str(), &got, &info, &why, ParseOptions{})) << why.c_str();
    EXPECT_TRUE(info.valid);
    EXPECT_TRUE(info.bext);
    EXPECT_EQ(info.dataOffset, 44u);
    EXPECT_EQ(got.formatTag, kWaveFormatPcm) << "stereo is written with the plain tag";
    EXPECT_EQ(got.blockAlign, 6);
    const std::vector<uint8_t> bytes = ReadAll(f);
    const uint32_t dataBytes = Le32(&bytes[40]);
    joined.insert(joined.end(), bytes.begin() + 44, bytes.begin() + 44 + dataBytes);
  }
  EXPECT_EQ(joined, data);
}

TEST_F(Convert, MultichannelFloatBecomesExtensibleRf64Ready) {
  WaveFormat in = RecordFormat(4, 44100, 32, true);
  in.formatTag = kWaveFormatIeeeFloat;  // a plain float tag with four channels
  in.extraSize = 0;
  std::vector<uint8_t> data(16 * 1000);
  Pattern(0, data.data(), data.size());
  WriteInput(dir / "in4.wav", in, 18, data);

  ConvertOptions options;
  options.rf64 = true;
  options.updatePeriod = 0;
  const ConvertResult r =
      ConvertRecording(Name("in4.wav").c_str(), Name("OUT4.WAV").c_str(), options, notes);
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.files.size(), 1u);
  const std::vector<uint8_t> bytes = ReadAll(r.files[0]);
  ASSERT_EQ(bytes.size(), 104u + data.size());
  EXPECT_EQ(Id(&bytes[12]), "JUNK");
  EXPECT_EQ(Le32(&bytes[52]), 40u);
  WaveFormat got;
  std::memcpy(&got, &bytes[56], 40);
  EXPECT_EQ(got.formatTag, kWaveFormatExtensible);
  EXPECT_EQ(got.extraSize, 22);
  EXPECT_EQ(got.validBitsPerSample, 32);
  EXPECT_EQ(FloatWidth(got), 32u);
  EXPECT_EQ(Le32(&bytes[100]), data.size());
  EXPECT_EQ(std::memcmp(&bytes[104], data.data(), data.size()), 0);
}

TEST_F(Convert, BadInputOrOutputIsReportedAndWritesNothing) {
  const ConvertResult missing =
      ConvertRecording(Name("none.wav").c_str(), Name("o.wav").c_str(), {}, notes);
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.error, "file not found");
  EXPECT_TRUE(missing.files.empty());

  std::ofstream(dir / "text.wav") << "this is not a wave file";
  const ConvertResult text =
      ConvertRecording(Name("text.wav").c_str(), Name("o.wav").c_str(), {}, notes);
  EXPECT_FALSE(text.ok);
  EXPECT_EQ(text.error, "Not RIFF/RF64 file");

  std::vector<uint8_t> data(400);
  WriteInput(dir / "in.wav", RecordFormat(1, 8000, 16, false), 16, data);
  const ConvertResult mp3 =
      ConvertRecording(Name("in.wav").c_str(), Name("o.mp3").c_str(), {}, notes);
  EXPECT_FALSE(mp3.ok);
  EXPECT_EQ(mp3.error, "File extent is not 'WAV'.");
  EXPECT_EQ(notes.texts.at(0), "File extent is not 'WAV'.\n\n" + Name("o.mp3"));
  EXPECT_FALSE(fs::exists(dir / "o.mp3"));
  EXPECT_FALSE(fs::exists(dir / "o.WAV"));
}

}  // namespace
}  // namespace ov
