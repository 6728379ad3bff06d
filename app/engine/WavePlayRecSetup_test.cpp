// The engine's calls for the setup dialog: they reach the ASIO family's
// extras only while ASIO is the current family, and report why otherwise.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/engine/AsioExtras.h"
#include "app/engine/EngineTestSupport.h"
#include "app/engine/WavePlayRec.h"

namespace ov {
namespace {

// A family with the ASIO extras that records what it was asked.
class FakeAsio : public test::FakeDriver, public AsioExtras {
 public:
  bool ShowControlPanel(int32_t index, bool input, ReaderMessage& m) override {
    last = "panel " + std::to_string(index) + (input ? " in" : " out");
    if (!answer) m.Set("panel refused");
    return answer;
  }
  bool TestDriver(int32_t index, bool input, ReaderMessage&) override {
    last = "test " + std::to_string(index) + (input ? " in" : " out");
    return answer;
  }
  int32_t InputChannels() const override { return 4; }
  int32_t OutputChannels() const override { return 6; }
  std::string ChannelName(uint32_t index) const override { return "Ch " + std::to_string(index); }
  bool SetDirectMonitor(int32_t index, bool on, ReaderMessage&) override {
    last = "monitor " + std::to_string(index) + (on ? " on" : " off");
    return answer;
  }
  bool Information(int32_t index, int32_t channel, bool input, const WaveFormat& f,
                   std::string& text, ReaderMessage& m) override {
    text = "info " + std::to_string(index) + " " + std::to_string(channel) +
           (input ? " in " : " out ") + std::to_string(f.samplesPerSec);
    if (!answer) m.Set("Unsupported sampling freq. [1]");
    return answer;
  }
  std::string last;
  bool answer = true;
};

struct EngineSetupCalls : ::testing::Test {
  test::TestHost host;
  test::TestNotifier notifier;
  std::atomic<int32_t> play{0}, rec{0};
  std::unique_ptr<WavePlayRec> Make(std::unique_ptr<AudioDriver> d) {
    return std::make_unique<WavePlayRec>(host, notifier, play, rec, EngineCallbacks{},
                                         EngineSettings{}, std::move(d));
  }
};

TEST_F(EngineSetupCalls, AsioCallsReachTheFamilyWithIndexDirectionAndFormat) {
  auto owned = std::make_unique<FakeAsio>();
  FakeAsio* asio = owned.get();
  auto engine = Make(std::move(owned));
  EXPECT_TRUE(engine->ShowAsioControlPanel(1, AudioDirection::Input));
  EXPECT_EQ(asio->last, "panel 1 in");
  EXPECT_TRUE(engine->TestAsioDriver(2, AudioDirection::Output));
  EXPECT_EQ(asio->last, "test 2 out");
  EXPECT_EQ(engine->GetAsioChannels(AudioDirection::Input), 4);
  EXPECT_EQ(engine->GetAsioChannels(AudioDirection::Output), 6);
  EXPECT_EQ(engine->GetAsioChannelName(3), "Ch 3");
  EXPECT_TRUE(engine->SetAsioDirectMonitor(0, true));
  EXPECT_EQ(asio->last, "monitor 0 on");
  WaveFormat f{};
  f.samplesPerSec = 48000;
  EXPECT_EQ(engine->ShowAsioInfo(0, 2, AudioDirection::Output, f), "info 0 2 out 48000");
  asio->answer = false;
  EXPECT_FALSE(engine->ShowAsioControlPanel(0, AudioDirection::Output));
  EXPECT_STREQ(engine->GetMessage(), "panel refused");
  // A failed preparation: the text so far, then the reason.
  EXPECT_EQ(engine->ShowAsioInfo(0, 0, AudioDirection::Input, f),
            "info 0 0 in 48000\n\n Error: Unsupported sampling freq. [1]");
}

TEST_F(EngineSetupCalls, OtherFamiliesRefuseTheAsioCalls) {
  auto engine = Make(std::make_unique<test::FakeDriver>());
  EXPECT_FALSE(engine->ShowAsioControlPanel(0, AudioDirection::Output));
  EXPECT_STREQ(engine->GetMessage(), "The ASIO driver is not selected.");
  EXPECT_FALSE(engine->TestAsioDriver(0, AudioDirection::Input));
  EXPECT_FALSE(engine->SetAsioDirectMonitor(0, true));
  EXPECT_EQ(engine->GetAsioChannels(AudioDirection::Input), 0);
  EXPECT_EQ(engine->GetAsioChannelName(0), "");
  EXPECT_EQ(engine->ShowAsioInfo(0, 0, AudioDirection::Output, WaveFormat{}),
            "\n\n Error: The ASIO driver is not selected.");
}

}  // namespace
}  // namespace ov
