#include <gtest/gtest.h>

#include <vector>

#include "fft/Kp05TestSupport.h"
#include "fft/kp05.h"

namespace {

using kp05test::RandomValues;

// A failed creation reports NULL and leaves the family's current plan working.
TEST(Kp05Slots, FailedCreateKeepsTheCurrentPlan) {
  ASSERT_NE(Create_FFT(8, 0, 0), nullptr);
  EXPECT_EQ(Create_FFT(12, 0, 0), nullptr);  // not a power of two
  EXPECT_EQ(Create_FFT(0, 0, 0), nullptr);
  EXPECT_EQ(Create_FFT(-16, 1, 1), nullptr);
  EXPECT_EQ(Create_FFT(1, 1, 0), nullptr);        // a real plan needs two samples
  EXPECT_EQ(Create_FFT(1 << 28, 0, 0), nullptr);  // work buffer beyond 32-bit bytes
  EXPECT_EQ(Create_FFT(1 << 30, 1, 1), nullptr);
  double impulse[16] = {1.0};
  FFT_fft(impulse, 0);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(impulse[2 * k], 0.125) << k;
  Release_FFT();
}

TEST(Kp05Slots, EmptySlotsLeaveDataAlone) {
  Release_FFT();
  Release_FFT();  // releasing an empty slot does nothing
  Release_FFT2048();
  std::vector<double> data = RandomValues(16, 5);
  const std::vector<double> before(data);
  EXPECT_EQ(FFT_fft(data.data(), 0), 0);
  EXPECT_EQ(FFT_fft4(data.data(), 0), 0);
  FFT_WeightWindow(data.data(), 1);
  FFT_PostProcess(data.data(), 1, 1);
  EXPECT_EQ(data, before);
}

// The nine families are separate slots: each keeps its own size and kind.
TEST(Kp05Slots, FamiliesAreIndependent) {
  ASSERT_NE(Create_FFT(16, 1, 1), nullptr);
  ASSERT_NE(Create_FFT4(0), nullptr);
  ASSERT_NE(Create_FFT8(1), nullptr);  // a real plan of 8 samples
  double four[8] = {1.0, 0.0};
  FFT_fft4(four, 0);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(four[2 * k], 0.25);
  double eight[10] = {2, 2, 2, 2, 2, 2, 2, 2, 99, 99};
  FFT_fft8(eight, 0);
  EXPECT_EQ(eight[0], 2.0);
  for (int i = 1; i < 10; ++i) EXPECT_EQ(eight[i], 0.0) << i;
  std::vector<double> sixteen(18, 1.0);
  FFT_fft(sixteen.data(), 0);
  EXPECT_EQ(sixteen[0], 1.0);
  Release_FFT8();
  Release_FFT4();
  Release_FFT();
}

}  // namespace
