// The WASAPI family on the system's real endpoints. Under the test
// environment exclusive mode is always refused, so these tests cover the real
// enumeration, the real refusal texts and that the engine stays usable after
// them; streams themselves are tested through the endpoint double.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/engine/ConsoleEngineHost.h"
#include "app/engine/WavePlayRec.h"

namespace ov {
namespace {

namespace fs = std::filesystem;

AudioDirection Dir(bool input) {
  return input ? AudioDirection::Input : AudioDirection::Output;
}

RecOpenOptions ProbeOn(int32_t device) {
  RecOpenOptions o;
  o.probe = true;
  o.probeDeviceNumber = device;
  return o;
}

class QuietNotifier : public UserNotifier {
 public:
  NoticeAnswer Notify(std::string_view, NoticeIcon) override { return NoticeAnswer::Ok; }
};

struct Engine {
  explicit Engine(int32_t driverType)
      : engine(host, notifier, playState, recState, {}, Settings(driverType)) {}
  static EngineSettings Settings(int32_t driverType) {
    EngineSettings s;
    s.PlayRecDriverType = driverType;
    return s;
  }
  std::vector<std::string> Names(bool input, uint32_t first, uint32_t last) {
    std::vector<std::string> v;
    for (uint32_t i = first; i <= last; ++i) v.push_back(engine.GetDeviceName(i, Dir(input)));
    return v;
  }
  int32_t Find(const std::string& name, bool input) {
    for (uint32_t i = 0; i < engine.GetDeviceCount(Dir(input)); ++i) {
      if (engine.GetDeviceName(i, Dir(input)) == name) return static_cast<int32_t>(i);
    }
    return -1;
  }
  ConsoleEngineHost host;
  QuietNotifier notifier;
  std::atomic<int32_t> playState{0}, recState{0};
  WavePlayRec engine;
};

std::vector<std::string> Without(std::vector<std::string> v, const std::vector<std::string>& out) {
  v.erase(std::remove_if(v.begin(), v.end(),
                         [&](const std::string& s) {
                           return std::find(out.begin(), out.end(), s) != out.end();
                         }),
          v.end());
  std::sort(v.begin(), v.end());
  return v;
}

TEST(WasapiWine, EndpointsAreTheWaveformAudioDevicesWithoutMapperAndDefault) {
  Engine wasapi(kDriverWasapi);
  if (wasapi.engine.GetDriverType() != kDriverWasapi) {
    GTEST_SKIP() << "WASAPI unusable here: " << wasapi.engine.GetMessage();
  }
  Engine mme(kDriverMme);
  for (const bool input : {false, true}) {
    const uint32_t n = wasapi.engine.GetDeviceCount(Dir(input));
    ASSERT_GT(n, 0u);
    const auto endpoints = wasapi.Names(input, 0, n - 1);
    for (const auto& name : endpoints) EXPECT_FALSE(name.empty());
    const auto devices = mme.Names(input, 0, mme.engine.GetDeviceCount(Dir(input)));
    EXPECT_EQ(Without(endpoints, {"PulseAudio"}), Without(devices, {"Wave Mapper", "PulseAudio"}))
        << (input ? "capture" : "render");
  }
}

TEST(WasapiWine, ExclusiveModeRefusalIsReportedAndTheEngineStaysUsable) {
  Engine e(kDriverWasapi);
  if (e.engine.GetDriverType() != kDriverWasapi) {
    GTEST_SKIP() << "WASAPI unusable here: " << e.engine.GetMessage();
  }
  const int32_t out = e.Find("Null Output", false);
  const int32_t in = e.Find("Monitor of Null Output", true);
  if (out < 0 || in < 0) GTEST_SKIP() << "no loopback endpoints";
  const fs::path dir = fs::temp_directory_path() / "ov_wasapi_wine";
  fs::create_directories(dir);
  const fs::path file = dir / "tone.wav";
  {
    std::string s = "RIFF";
    const uint32_t words[] = {36 + 17640, 0};
    s.append(reinterpret_cast<const char*>(words), 4);
    s += "WAVEfmt ";
    const uint32_t fmt[] = {16, 0x00020001, 44100, 176400, 0x00100004, 0x61746164, 17640};
    s.append(reinterpret_cast<const char*>(fmt), sizeof fmt);
    s.append(17640, '\x11');
    std::ofstream(file, std::ios::binary) << s;
  }
  const std::string refused = "Unable to initialize. (AUDCLNT_E_EXCLUSIVE_MODE_NOT_ALLOWED)";
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ(e.engine.OpenPlay(file.string().c_str()), EngineResult::Ok) << e.engine.GetMessage();
    EXPECT_EQ(e.engine.StartPlay(out), EngineResult::Failed);
    EXPECT_EQ(e.engine.GetMessage(), refused);
    EXPECT_EQ(e.playState.load(), kPlayStopped);
  }
  // Recording: the probe of OpenRec is refused the same way.
  WaveFormat f{};
  f.formatTag = kWaveFormatPcm;
  f.channels = 2;
  f.samplesPerSec = 44100;
  f.bitsPerSample = 16;
  f.blockAlign = 4;
  f.avgBytesPerSec = 176400;
  EXPECT_EQ(e.engine.OpenRec(nullptr, f, ProbeOn(in)), EngineResult::Failed);
  EXPECT_EQ(e.engine.GetMessage(), refused);
  // The information text shows the composed refusal after the engine format.
  const std::string info =
      e.engine.ShowWasapiInfo(static_cast<uint32_t>(out), AudioDirection::Output, true);
  EXPECT_EQ(info,
            "========== WASAPI Information ==========\n[ Null Output ]\n\n"
            "Sample Rate:\t 44100\nBits/Sample:\t 16\n\n\n Error: " +
                refused);
  // The engine goes on with another family.
  EXPECT_EQ(e.engine.SetDriverType(kDriverMme), DriverChange::Changed);
  EXPECT_GT(e.engine.GetDeviceCount(AudioDirection::Output), 0u);
  std::error_code ec;
  fs::remove_all(dir, ec);
}

fs::path OvtoolPath() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return fs::path(self).parent_path().parent_path().parent_path() / "tools" / "ovtool" /
         "ovtool.exe";
}

std::string Output(const std::wstring& command) {
  std::string out;
  FILE* p = _wpopen(command.c_str(), L"rb");
  if (!p) return out;
  char buf[512];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  _pclose(p);
  // The console's text mode ends lines with CR LF.
  out.erase(std::remove(out.begin(), out.end(), '\r'), out.end());
  return out;
}

TEST(WasapiWine, OvtoolListsEndpointsAndPrintsTheirInformation) {
  const fs::path tool = OvtoolPath();
  if (!fs::exists(tool)) GTEST_SKIP() << "ovtool.exe not built beside the tests";
  Engine e(kDriverWasapi);
  if (e.engine.GetDriverType() != kDriverWasapi) GTEST_SKIP() << e.engine.GetMessage();
  const int32_t in = e.Find("Monitor of Null Output", true);
  if (in < 0) GTEST_SKIP() << "no loopback endpoints";
  const std::wstring q = L"\"" + tool.wstring() + L"\"";
  const std::string list = Output(q + L" devices --driver wasapi");
  EXPECT_NE(list.find("Output devices:\n"), std::string::npos) << list;
  EXPECT_NE(list.find(": Null Output\n"), std::string::npos) << list;
  EXPECT_NE(list.find("  " + std::to_string(in) + ": Monitor of Null Output\n"), std::string::npos)
      << list;
  const std::string info =
      Output(q + L" devices --driver wasapi --info " + std::to_wstring(in) + L" --input");
  EXPECT_EQ(info,
            "========== WASAPI Information ==========\n[ Monitor of Null Output ]\n\n"
            "Sample Rate:\t 44100\nBits/Sample:\t 16\n\n\n"
            " Error: Unable to initialize. (AUDCLNT_E_EXCLUSIVE_MODE_NOT_ALLOWED)\n");
}

}  // namespace
}  // namespace ov
