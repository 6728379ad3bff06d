// Time texts and move amounts of the positioning window.
#include "app/wavefile/PositioningTexts.h"

#include <gtest/gtest.h>

namespace ov {
namespace {

TEST(PositioningTexts, TimeText) {
  EXPECT_EQ(MarkerTimeText(0, 44100), "00m00s000");
  EXPECT_EQ(MarkerTimeText(1500, 44100), "00m00s034");  // 34.01 ms, truncated
  EXPECT_EQ(MarkerTimeText(44100 * 61 + 44099, 44100), "01m01s999");
  EXPECT_EQ(MarkerTimeText(uint64_t(48000) * 3600 * 3, 48000), "180m00s000");
  EXPECT_EQ(MarkerTimeText(5000, 0), "00m00s000");
}

TEST(PositioningTexts, MoveAmounts) {
  struct Case {
    const char* text;
    MoveUnit unit;
    bool shift;
    std::optional<uint64_t> expected;
  } cases[] = {
      {"500", MoveUnit::Samples, false, 500},
      {"500", MoveUnit::Samples, true, 5000},
      {" 16384 ", MoveUnit::Samples, false, 16384},
      {"-5", MoveUnit::Samples, false, 0},
      {"abc", MoveUnit::Samples, false, std::nullopt},
      {"", MoveUnit::Samples, false, std::nullopt},
      {"1e30", MoveUnit::Samples, false, std::nullopt},
      {"1.5", MoveUnit::Samples, false, std::nullopt},
      {"99999999999999999999999", MoveUnit::Samples, false, uint64_t(1) << 62},
      {"0.1", MoveUnit::Seconds, false, 4410},
      {"0.1", MoveUnit::Seconds, true, 44100},
      {"1", MoveUnit::Seconds, false, 44100},
      {"0.00001", MoveUnit::Seconds, false, 0},  // 0.441 rounds to 0
      {"0.00002", MoveUnit::Seconds, false, 1},  // 0.882 rounds to 1
      {"-1", MoveUnit::Seconds, false, 0},
      {"1e30", MoveUnit::Seconds, false, std::nullopt},
      {"1.2.3", MoveUnit::Seconds, false, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MoveAmount(c.text, c.unit, 44100, c.shift), c.expected) << c.text;
  }
}

TEST(PositioningTexts, MovesStopAtZero) {
  EXPECT_EQ(MoveBackward(100, *MoveAmount("500", MoveUnit::Samples, 44100, false)), 0u);
  EXPECT_EQ(MoveBackward(6000, *MoveAmount("500", MoveUnit::Samples, 44100, true)), 1000u);
  EXPECT_EQ(MoveForward(1000, 500), 1500u);
  EXPECT_EQ(MoveForward(UINT64_MAX - 1, 500), UINT64_MAX);
}

TEST(PositioningTexts, Notices) {
  const std::string notice = WasapiLatencyNotice(Language::English, 40);
  EXPECT_EQ(notice.rfind(" [Current Latency: 40ms]"), notice.size() - 24);
  EXPECT_EQ(notice.find("Because of the current setting"), 0u);
  EXPECT_EQ(MarkerWriteFailureText(Language::English, "file write error"),
            "Unable to write file.\n\nfile write error");
}

}  // namespace
}  // namespace ov
