// Files written at test time by other programs (ffmpeg, sox) parse with the
// format and data size those programs wrote, and stream exactly the samples
// they wrote. Native only: needs the tools; skips visibly without them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/wavefile/WaveReader.h"

namespace ov {
namespace {

bool HaveTool(const char* tool) {
  return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<uint8_t> ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

struct ToolCase {
  const char* name;
  const char* tool;      // "ffmpeg" or "sox"
  const char* waveArgs;  // writes the wave file: %s is its path
  const char* rawArgs;   // writes the same samples headerless: %s is its path
  bool rf64, bext;
  uint16_t tag, channels;
  uint32_t rate;
  uint16_t bits;
  uint32_t floatWidth, channelMask;
  uint64_t dataSize;
};

#define SINE48 "ffmpeg -v error -y -f lavfi -i sine=frequency=1000:sample_rate=48000 -t 0.5 "
#define SOX "sox -D -n -r 44100 "

const ToolCase kCases[] = {
    {"rf64_always", "ffmpeg", SINE48 "-ac 2 -c:a pcm_s16le -rf64 always %s",
     SINE48 "-ac 2 -f s16le %s", true, false, 1, 2, 48000, 16, 0, 0, 96000},
    {"rf64_auto", "ffmpeg", SINE48 "-ac 2 -c:a pcm_s16le -rf64 auto %s", SINE48 "-ac 2 -f s16le %s",
     false, false, 1, 2, 48000, 16, 0, 0, 96000},
    {"bext_u8", "ffmpeg", SINE48 "-c:a pcm_u8 -write_bext 1 %s", SINE48 "-f u8 %s", false, true, 1,
     1, 48000, 8, 0, 0, 24000},
    {"extensible_5_1_s24", "ffmpeg",
     SINE48 "-af 'pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0' -c:a pcm_s24le %s",
     SINE48 "-af 'pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0' -f s24le %s", false, false, 0xFFFE,
     6, 48000, 24, 0, 0x3F, 432000},
    {"s32", "ffmpeg", SINE48 "-ac 2 -c:a pcm_s32le %s", SINE48 "-ac 2 -f s32le %s", false, false,
     0xFFFE, 2, 48000, 32, 0, 0x3, 192000},
    {"f32", "ffmpeg", SINE48 "-ac 2 -c:a pcm_f32le %s", SINE48 "-ac 2 -f f32le %s", false, false,
     0xFFFE, 2, 48000, 32, 32, 0x3, 192000},
    {"sox_s16", "sox", SOX "-c 2 -b 16 %s synth 0.25 sine 440",
     SOX "-c 2 -b 16 -e signed-integer -t raw %s synth 0.25 sine 440", false, false, 1, 2, 44100,
     16, 0, 0, 44100},
    {"sox_f32", "sox", SOX "-c 1 -b 32 -e floating-point %s synth 0.25 sine 440",
     SOX "-c 1 -b 32 -e floating-point -t raw %s synth 0.25 sine 440", false, false, 3, 1, 44100,
     32, 32, 0, 44100},
};

class WaveFileTools : public ::testing::TestWithParam<ToolCase> {};

TEST_P(WaveFileTools, ParseAndStreamWhatTheToolWrote) {
  const ToolCase& c = GetParam();
  if (!HaveTool(c.tool)) GTEST_SKIP() << c.tool << " is not installed";
  const std::string base =
      ::testing::TempDir() + "ov_reader_" + c.name + "_" + std::to_string(::getpid());
  const std::string wave = base + ".wav", raw = base + ".raw";
  char command[1024];
  std::snprintf(command, sizeof command, c.waveArgs, ("'" + wave + "'").c_str());
  ASSERT_EQ(std::system(command), 0) << command;
  std::snprintf(command, sizeof command, c.rawArgs, ("'" + raw + "'").c_str());
  ASSERT_EQ(std::system(command), 0) << command;
  const std::vector<uint8_t> samples = ReadWhole(raw);

  PlayReadState state;
  ASSERT_TRUE(OpenForPlay(state, wave.c_str(), false)) << state.message.c_str();
  EXPECT_EQ(state.rf64, c.rf64);
  EXPECT_EQ(state.bext, c.bext);
  EXPECT_EQ(state.format.formatTag, c.tag);
  EXPECT_EQ(state.format.channels, c.channels);
  EXPECT_EQ(state.format.samplesPerSec, c.rate);
  EXPECT_EQ(state.format.bitsPerSample, c.bits);
  EXPECT_EQ(state.floatWidth, c.floatWidth);
  if (c.tag == 0xFFFE) {
    EXPECT_EQ(state.format.channelMask, c.channelMask);
  }
  EXPECT_EQ(state.dataBytes, c.dataSize);
  EXPECT_EQ(samples.size(), c.dataSize);
  EXPECT_EQ(state.playSilence, c.bits == 8 ? 128u : 0u);

  // Stream it in odd-sized blocks: exactly the tool's samples, then the end.
  std::vector<uint8_t> streamed;
  std::vector<uint8_t> block(7777);
  for (;;) {
    const uint32_t n = ReadStream(state, block.data(), uint32_t(block.size()));
    streamed.insert(streamed.end(), block.begin(), block.begin() + n);
    if (n < block.size()) break;
  }
  EXPECT_TRUE(streamed == samples);
  std::remove(wave.c_str());
  std::remove(raw.c_str());
}

INSTANTIATE_TEST_SUITE_P(Generated, WaveFileTools, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ov
