#include "app/engine/AsioFormatCheck.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "app/engine/AsioTypes.h"

namespace ov::asio {
namespace {

// The widths of the list as (bits, float): 8, 16, 24, 32, F32.
constexpr int32_t kBits[kProbeWidths] = {8, 16, 24, 32, 32};
constexpr bool kFloat[kProbeWidths] = {false, false, false, false, true};

std::string Row(int32_t type, bool input) {
  std::string s;
  for (int w = 0; w < kProbeWidths; ++w) {
    const ProbeAnswer a = ProbeWidth(type, input, kBits[w], kFloat[w]);
    s += a.works ? (a.native ? '*' : 'x') : '-';
  }
  return s;
}

TEST(AsioFormatCheck, EachSampleTypeMarksWhatTheHostMovesThroughIt) {
  // Play: every width up to the driver's, floats from 24 bits on.
  EXPECT_EQ(Row(kInt16LSB, false), "x*---");
  EXPECT_EQ(Row(kInt24LSB, false), "xx*-x");
  EXPECT_EQ(Row(kInt32LSB, false), "xxx*x");
  // Record: the driver's width, and 24 from a 32-bit driver.
  EXPECT_EQ(Row(kInt16LSB, true), "-*---");
  EXPECT_EQ(Row(kInt24LSB, true), "--*--");
  EXPECT_EQ(Row(kInt32LSB, true), "--x*x");
  // Types the host does not convert pass the bit check but would stop the
  // run at once: nothing is offered for them.
  for (int32_t type :
       std::initializer_list<int32_t>{kFloat32LSB, kFloat64LSB, kInt32LSB16, kInt32LSB18,
                                      kInt32LSB20, kInt32LSB24, kInt16MSB, kInt32MSB, 99}) {
    EXPECT_EQ(Row(type, false), "-----") << type;
    EXPECT_EQ(Row(type, true), "-----") << type;
  }
  EXPECT_TRUE(BitLengthFits(-32, false, 24, true));  // the preparation's own check
}

}  // namespace
}  // namespace ov::asio
