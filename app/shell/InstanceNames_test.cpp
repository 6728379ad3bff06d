#include "app/shell/InstanceNames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ov {
namespace {

TEST(InstanceNames, TitlesAndCaptions) {
  EXPECT_EQ(ApplicationTitle(1), "Orlavisonic");
  EXPECT_EQ(ApplicationTitle(2), "Orlavisonic:2");
  EXPECT_EQ(MainCaption(1), "Orlavisonic 1.00");
  EXPECT_EQ(MainCaption(2), "Orlavisonic:2 1.00");
  EXPECT_EQ(CaptionTitle(MainCaption(1)), "Orlavisonic");
  EXPECT_EQ(CaptionTitle(MainCaption(2)), "Orlavisonic:2");
  EXPECT_EQ(CaptionTitle("Orlavisonic"), "Orlavisonic");
  EXPECT_EQ(CaptionTitle("Orlavisonic - tone.wav"), "Orlavisonic");
  EXPECT_EQ(CaptionTitle(" Orlavisonic"), "");
  EXPECT_NE(CaptionTitle("Orlavisonic:2 1.00"), ApplicationTitle(1));
}

TEST(InstanceNames, RolesFollowTheMutexesAndTheCommandLine) {
  EXPECT_EQ(FirstMutexRole(false, false), StartRole::FirstInstance);
  EXPECT_EQ(FirstMutexRole(false, true), StartRole::FirstInstance);
  EXPECT_EQ(FirstMutexRole(true, true), StartRole::HandOver);
  EXPECT_EQ(FirstMutexRole(true, false), StartRole::SecondInstance);
  EXPECT_EQ(SecondMutexRole(false), StartRole::SecondInstance);
  EXPECT_EQ(SecondMutexRole(true), StartRole::ActivateSecond);
}

TEST(InstanceNames, HandOverTextTakesItsLengthFromTheByteCount) {
  const char text[] = "a.wav b.wav";
  EXPECT_EQ(HandOverText(0, text, sizeof text), "a.wav b.wav");
  EXPECT_EQ(HandOverText(0, text, 5), "a.wav");  // no NUL within the count
  EXPECT_EQ(HandOverText(0, "ab\0cd", 5), "ab");
  EXPECT_EQ(HandOverText(0, nullptr, 10), "");
  EXPECT_EQ(HandOverText(0, text, 0), "");
  EXPECT_FALSE(HandOverText(1, text, sizeof text).has_value());
  std::vector<char> big(70000, 'x');
  auto got = HandOverText(0, big.data(), big.size());
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->size(), 70000u);
}

}  // namespace
}  // namespace ov
