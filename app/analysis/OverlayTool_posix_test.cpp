// `ovtool overlay` as a user runs it: write the spectrum of a generated tone,
// read it back, and the exit status and message of a refused file. The file
// written must be byte for byte what the program's Save writes for the same
// frame. Native only (runs the native ovtool); skips visibly without it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "app/analysis/AnalysisTestSupport.h"
#include "app/analysis/OverlayFile.h"

namespace ov {
namespace {

std::string OvtoolPath() {
  char self[4096];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return {};
  std::string path(self, static_cast<size_t>(n));
  // build/<preset>/app/analysis/ov_analysis_tests -> build/<preset>/tools/ovtool/ovtool
  for (int up = 0; up < 3; ++up) path = path.substr(0, path.rfind('/'));
  return path + "/tools/ovtool/ovtool";
}

// Runs the command; returns its exit status and stdout.
int RunTool(const std::string& command, std::string& out) {
  out.clear();
  FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) return -1;
  char block[4096];
  for (size_t n; (n = std::fread(block, 1, sizeof block, pipe)) > 0;) out.append(block, n);
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void Put32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>(v >> (8 * i));
}

// A 16-bit mono PCM wave file of the samples.
std::string WaveFile(const WaveFormat& f, const std::vector<uint8_t>& samples) {
  std::string s = "RIFF";
  Put32(s, static_cast<uint32_t>(36 + samples.size()));
  s += "WAVEfmt ";
  Put32(s, 16);
  s += std::string("\x01\x00\x01\x00", 4);
  Put32(s, f.samplesPerSec);
  Put32(s, f.avgBytesPerSec);
  s += std::string("\x02\x00\x10\x00", 4);
  s += "data";
  Put32(s, static_cast<uint32_t>(samples.size()));
  s.append(samples.begin(), samples.end());
  return s;
}

class OverlayToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tool = OvtoolPath();
    if (::access(tool.c_str(), X_OK) != 0) GTEST_SKIP() << "ovtool not built: " << tool;
    dir = ::testing::TempDir();
  }
  std::string tool, dir;
};

TEST_F(OverlayToolTest, WritesWhatTheProgramSavesAndReadsItBack) {
  const WaveFormat format = test::PcmFormat(1, 44100, 16);
  const std::vector<uint8_t> samples =
      test::ToneFrames(format, 1024, {{10000, test::BinHz(20, 44100, 1024)}});
  const std::string wav = dir + "ov_overlay_tool.wav";
  const std::string ovo = dir + "ov_overlay_tool.ovo";
  std::ofstream(wav, std::ios::binary) << WaveFile(format, samples);

  std::string out;
  ASSERT_EQ(
      RunTool(tool + " overlay write " + wav + " " + ovo + " --n 1024 --comment 'tone 20'", out),
      0);

  // The same frame through the analysis in this process.
  Kp05Api api = StaticKp05Api();
  test::FakeBlockSource engine;
  engine.block = samples;
  engine.playState = kPlayPlaying;
  test::RecordingNotifier notifier;
  NoModifierKeys keys;
  FrameAnalysis a{api, engine, notifier, keys};
  a.Format = format;
  a.spectrumAreaHeight = 100;
  a.measureMode = true;
  ASSERT_TRUE(a.SetAnalysisSize(1024));
  ASSERT_EQ(a.AcquireFrame(true), 0);
  a.ComputeSpectrum();
  ASSERT_EQ(a.peakBin, 20);
  EXPECT_EQ(Contents(ovo), FormatOverlayFile("tone 20", 44100, 1024, a.SpectrumAmp.data(), a.B));

  ASSERT_EQ(RunTool(tool + " overlay read " + ovo + " --rate 44100 --n 1024 --json", out), 0);
  EXPECT_EQ(out.rfind("{\"ok\":true,\"message\":\"\",\"comment\":\"tone 20\",\"samplingFrequency\":"
                      "44100,\"fftSamples\":1024,\"amplitudeCount\":513,\"values\":[",
                      0),
            0u)
      << out;

  // Another rate: refused with the program's message, exit 1.
  ASSERT_EQ(RunTool(tool + " overlay read " + ovo + " --rate 48000 --json", out), 1);
  EXPECT_EQ(out.rfind("{\"ok\":false,\"message\":\"Unable to load.  [Sampling freq. mismatch.]"
                      "\\u000a\\u000a44100\",\"comment\":\"\"",
                      0),
            0u)
      << out;
  EXPECT_EQ(RunTool(tool + " overlay read", out), 2);
  EXPECT_EQ(RunTool(tool + " overlay read " + ovo + " --n 1000x", out), 2);
  EXPECT_EQ(RunTool(tool + " overlay write " + wav, out), 2);
}

}  // namespace
}  // namespace ov
