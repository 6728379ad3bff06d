// Every size the library serves, against FFTW as the outside reference.
#include <fftw3.h>
#include <gtest/gtest.h>

#include <vector>

#include "fft/Kp05TestSupport.h"
#include "fft/kp05.h"

namespace {

using kp05test::GeneralPlan;
using kp05test::RandomValues;
using kp05test::RelativeComplexError;

const double kTolerance = 1e-13;

// FFTW's complex transform of `input` (M complex values), unscaled.
std::vector<double> FftwComplex(const std::vector<double>& input, int m, int sign) {
  std::vector<double> in(input), out(2 * m);
  fftw_plan p = fftw_plan_dft_1d(m, reinterpret_cast<fftw_complex*>(in.data()),
                                 reinterpret_cast<fftw_complex*>(out.data()), sign, FFTW_ESTIMATE);
  fftw_execute(p);
  fftw_destroy_plan(p);
  return out;
}

TEST(Kp05VsFftw, ComplexForwardAndInverseEverySize) {
  for (int m = 2; m <= 131072; m *= 2) {
    SCOPED_TRACE(m);
    GeneralPlan plan(m, false, false);
    ASSERT_TRUE(plan.ok());
    const std::vector<double> input = RandomValues(2 * m, m);

    std::vector<double> forward(input);
    EXPECT_EQ(FFT_fft(forward.data(), 0), 0);
    std::vector<double> expected = FftwComplex(input, m, FFTW_FORWARD);
    for (double& v : expected) v /= m;  // the forward transform carries 1/M
    EXPECT_LE(RelativeComplexError(forward.data(), expected.data(), m), kTolerance);

    std::vector<double> inverse(input);
    FFT_fft(inverse.data(), 1);
    expected = FftwComplex(input, m, FFTW_BACKWARD);
    EXPECT_LE(RelativeComplexError(inverse.data(), expected.data(), m), kTolerance);
  }
}

TEST(Kp05VsFftw, RealForwardEverySize) {
  for (int n = 2; n <= 131072; n *= 2) {
    SCOPED_TRACE(n);
    GeneralPlan plan(n, true, false);
    ASSERT_TRUE(plan.ok());
    std::vector<double> input = RandomValues(n, n + 7);

    std::vector<double> expected(n + 2);
    fftw_plan p = fftw_plan_dft_r2c_1d(
        n, input.data(), reinterpret_cast<fftw_complex*>(expected.data()), FFTW_ESTIMATE);
    fftw_execute(p);
    fftw_destroy_plan(p);
    for (double& v : expected) v /= n;

    std::vector<double> data(input);
    data.resize(n + 2);  // room for N/2+1 complex bins
    FFT_fft(data.data(), 0);
    EXPECT_LE(RelativeComplexError(data.data(), expected.data(), n / 2 + 1), kTolerance);
    EXPECT_EQ(data[1], 0.0);
    EXPECT_EQ(data[n + 1], 0.0);
  }
}

TEST(Kp05VsFftw, FixedFamiliesTransformTheirSize) {
  struct Fixed {
    int size;
    Kp05Plan* (*create)(uint8_t);
    void (*release)();
    int32_t (*fft)(double*, int32_t);
  };
  const Fixed families[] = {{4, Create_FFT4, Release_FFT4, FFT_fft4},
                            {8, Create_FFT8, Release_FFT8, FFT_fft8},
                            {64, Create_FFT64, Release_FFT64, FFT_fft64},
                            {128, Create_FFT128, Release_FFT128, FFT_fft128},
                            {256, Create_FFT256, Release_FFT256, FFT_fft256},
                            {512, Create_FFT512, Release_FFT512, FFT_fft512},
                            {1024, Create_FFT1024, Release_FFT1024, FFT_fft1024},
                            {2048, Create_FFT2048, Release_FFT2048, FFT_fft2048}};
  for (const Fixed& f : families) {
    SCOPED_TRACE(f.size);
    ASSERT_NE(f.create(0), nullptr);
    const std::vector<double> input = RandomValues(2 * f.size, f.size + 3);
    std::vector<double> data(input);
    EXPECT_EQ(f.fft(data.data(), 1), 0);
    const std::vector<double> expected = FftwComplex(input, f.size, FFTW_BACKWARD);
    EXPECT_LE(RelativeComplexError(data.data(), expected.data(), f.size), kTolerance);
    f.release();
  }
}

}  // namespace
