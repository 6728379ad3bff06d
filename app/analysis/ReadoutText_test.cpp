#include "app/analysis/ReadoutText.h"

#include <gtest/gtest.h>

namespace ov {
namespace {

TEST(ReadoutText, PercentLinesAreNineCharactersEndingInPercent) {
  EXPECT_EQ(PercentReadout(0.0), " 0.00000%");
  EXPECT_EQ(PercentReadout(0.1), " 0.10000%");
  EXPECT_EQ(PercentReadout(9.999991), " 9.99999%");
  EXPECT_EQ(PercentReadout(12.345678), " 12.3456%");  // 10 % and more lose the last digit
  EXPECT_EQ(PercentReadout(999.5), " 999.500%");
  EXPECT_EQ(PercentReadout(1000.0), " ---.---%");
  EXPECT_EQ(DistortionReadout(9999.9), " ---.---%");  // no usable fundamental
}

TEST(ReadoutText, DbLinesAreNineCharactersEndingInDb) {
  EXPECT_EQ(DbReadout(60.0, 0.0), "  60.00dB");
  EXPECT_EQ(DbReadout(0.0, 0.0), " ---.--dB");
  EXPECT_EQ(DbReadout(-3.0103, -300.0), "  -3.01dB");
  EXPECT_EQ(DbReadout(12345.678, 0.0), "12345.6dB");
  EXPECT_EQ(SignalToNoiseReadout(0.001), "  60.00dB");
  EXPECT_EQ(SignalToNoiseReadout(0.0), " 760.00dB");  // taken as 1e-38
  EXPECT_EQ(SignalToNoiseReadout(1.5), " ---.--dB");
  EXPECT_EQ(RmsReadout(-0.0003), "   0.00dB");
  EXPECT_EQ(RmsReadout(-0.004), "   0.00dB");
  EXPECT_EQ(RmsReadout(-300.0), " ---.--dB");
  EXPECT_EQ(RmsReadout(-120.5), "-120.50dB");
}

}  // namespace
}  // namespace ov
