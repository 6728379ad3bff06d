// Files the writer makes on a real disk open in other programs with the
// very samples that were recorded: libsndfile, sox and ffmpeg decode them
// and the values are compared one by one.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/wavefile/RecordingTestSupport.h"
#include "app/wavefile/RecordingWriter.h"

namespace ov {
namespace {

using namespace testing_support;

struct Case {
  const char* label;
  uint16_t channels;
  uint32_t rate;
  uint16_t bits;
  bool isFloat;
  bool rf64;
  bool bwf;
  uint32_t frames;  // odd frame counts of 8-bit mono leave a pad byte
  const char* ffmpegFormat;
};

const Case kCases[] = {
    {"s16_stereo", 2, 44100, 16, false, false, false, 44101, "s16le"},
    {"u8_mono_odd_bwf", 1, 8000, 8, false, false, true, 8001, "u8"},
    {"s24_6ch_rf64", 6, 48000, 24, false, true, false, 4801, "s24le"},
    {"f32_stereo_bwf_rf64", 2, 96000, 32, true, true, true, 9601, "f32le"},
    {"s32_3ch", 3, 32000, 32, false, false, true, 3201, "s32le"},
};

std::string TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/ov_writer_XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  return mkdtemp(buf.data()) ? std::string(buf.data()) : std::string();
}

bool HaveTool(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Samples as decoded by libsndfile: integers left-justified in 32 bits
// (8-bit WAV is unsigned, offset 128), floats as they are.
std::vector<int32_t> ExpectedInts(const std::vector<uint8_t>& raw, uint16_t bits) {
  const size_t width = bits / 8;
  std::vector<int32_t> out(raw.size() / width);
  for (size_t i = 0; i < out.size(); ++i) {
    const uint8_t* p = &raw[i * width];
    uint32_t v = 0;
    if (width == 1) {
      v = static_cast<uint32_t>(p[0] - 128) << 24;
    } else {
      for (size_t k = 0; k < width; ++k) v |= static_cast<uint32_t>(p[k]) << (8 * (4 - width + k));
    }
    out[i] = static_cast<int32_t>(v);
  }
  return out;
}

class RecordedFileOpensElsewhere : public ::testing::TestWithParam<Case> {};

TEST_P(RecordedFileOpensElsewhere, WithIdenticalSamples) {
  const Case& c = GetParam();
  const std::string dir = TempDir();
  ASSERT_FALSE(dir.empty());
  struct Cleanup {
    std::string dir;
    ~Cleanup() { std::filesystem::remove_all(dir); }
  } cleanup{dir};
  const std::string name = dir + "/take.WAV";

  RecordingFile file;
  PlayReadState engine;
  KeepingNotifier notes;
  RecordingWriter writer(file, engine, notes);
  engine.format = RecordFormat(c.channels, c.rate, c.bits, c.isFloat);
  writer.SetRecRF64(c.rf64);
  writer.SetRecBWF(c.bwf);
  writer.SetRecUpdateHeaderPeriod(1);
  std::snprintf(file.OriginatorText, sizeof file.OriginatorText, "OV test");
  std::snprintf(file.fileName, sizeof file.fileName, "%s", name.c_str());

  // The recorded bytes: random integers, or random floats within full scale.
  std::vector<uint8_t> raw(static_cast<size_t>(c.frames) * engine.format.blockAlign);
  std::mt19937 rng(c.frames);
  if (c.isFloat) {
    std::uniform_real_distribution<float> level(-1.0f, 1.0f);
    for (size_t i = 0; i < raw.size(); i += 4) {
      const float v = level(rng);
      std::memcpy(&raw[i], &v, 4);
    }
  } else {
    for (auto& b : raw) b = static_cast<uint8_t>(rng());
  }
  ASSERT_TRUE(writer.CreateRecordingFile());
  const uint32_t block = 4096 * engine.format.blockAlign / 4 + 1;  // not frame-aligned on purpose
  for (size_t at = 0; at < raw.size(); at += block) {
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(block, raw.size() - at));
    ASSERT_EQ(writer.WriteRecordedData(&raw[at], n), n);
  }
  ASSERT_TRUE(writer.FinishRecordingFile()) << engine.message.c_str();
  EXPECT_TRUE(notes.texts.empty());
  EXPECT_EQ(engine.bext, c.bwf);
  EXPECT_EQ(engine.dataBytes, raw.size() + (raw.size() & 1));

  // libsndfile
  SF_INFO info{};
  SNDFILE* sf = sf_open(name.c_str(), SFM_READ, &info);
  ASSERT_NE(sf, nullptr) << sf_strerror(nullptr);
  EXPECT_EQ(info.channels, c.channels);
  EXPECT_EQ(info.samplerate, static_cast<int>(c.rate));
  EXPECT_EQ(info.frames, c.frames);
  if (c.isFloat) {
    std::vector<float> got(raw.size() / 4);
    EXPECT_EQ(sf_readf_float(sf, got.data(), info.frames), info.frames);
    EXPECT_EQ(std::memcmp(got.data(), raw.data(), raw.size()), 0);
  } else {
    std::vector<int32_t> got(static_cast<size_t>(info.frames) * info.channels);
    EXPECT_EQ(sf_readf_int(sf, got.data(), info.frames), info.frames);
    EXPECT_EQ(got, ExpectedInts(raw, c.bits));
  }
  sf_close(sf);

  // sox: raw output keeps the file's own encoding, byte for byte.
  if (HaveTool("sox")) {
    const std::string out = dir + "/sox.raw";
    ASSERT_EQ(std::system(("sox -V1 '" + name + "' -t raw '" + out + "'").c_str()), 0);
    EXPECT_EQ(ReadAll(out), raw) << "sox";
  } else {
    ADD_FAILURE() << "sox is not installed";
  }

  // ffmpeg (and ffprobe for the stream description)
  if (HaveTool("ffmpeg") && HaveTool("ffprobe")) {
    const std::string out = dir + "/ffmpeg.raw";
    const std::string cmd = std::string("ffmpeg -v error -y -i '") + name + "' -f " +
                            c.ffmpegFormat + " -c:a pcm_" + c.ffmpegFormat + " '" + out + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(ReadAll(out), raw) << "ffmpeg";
    const std::string probe = dir + "/probe.txt";
    ASSERT_EQ(std::system(("ffprobe -v error -show_entries stream=channels,sample_rate -of "
                           "default=nw=1 '" +
                           name + "' > '" + probe + "'")
                              .c_str()),
              0);
    const std::vector<uint8_t> text = ReadAll(probe);
    const std::string expected =
        "sample_rate=" + std::to_string(c.rate) + "\nchannels=" + std::to_string(c.channels) + "\n";
    EXPECT_EQ(std::string(text.begin(), text.end()), expected);
  } else {
    ADD_FAILURE() << "ffmpeg/ffprobe are not installed";
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, RecordedFileOpensElsewhere, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace ov
