// The wave view's geometry: which samples are shown, where each lands on the
// plot, the time and amplitude grids and their labels. Computed at every
// layout, display-type or magnification change (never per frame); the trace's
// y values are filled per frame by ComputeWavePoints (WaveTrace.h).
//
// Units: times in 0.1 us (64-bit); pixels relative to the plot's top left.
#pragma once

#include <cstdint>
#include <vector>

#include "fft/Kp05Api.h"

namespace ov {

constexpr int32_t kMaxTimeGridLines = 33;
// Points kept per pixel column: first sample, extreme high, extreme low, last.
constexpr int32_t kPointsPerColumn = 4;

struct WaveAxisInput {
  int32_t sampleN = 4096;  // Sample_N
  int32_t xMag = 4;        // WaveXDispMagRate (file range 1..20)
  int32_t yMag = 3;        // WaveYDispMagRate
  uint32_t sampleRate = 44100;
  int32_t width = 0;       // plot width w
  int32_t height = 0;      // plot height h
  bool lissajous = false;  // WaveDispType "Lissajous"
};

struct WaveAxis {
  WaveAxisInput in;
  int32_t n = 0;         // waveSampleCount: samples shown
  int32_t d = 1;         // n - 1, at least 1
  int64_t span = 0;      // waveSpan: the shown time
  int64_t gridStep = 0;  // timeGridStep
  int32_t timeLineCount = 0;
  int32_t timeLines[kMaxTimeGridLines] = {};
  int32_t amplitudeLines[3] = {};
  // After the column reduction: per column the number of samples on it, and
  // the kept points (min(run, 4) per column) with their x set. Sized here
  // (Sample_N points, enough for the Lissajous figure too); ComputeWavePoints
  // only writes the y values.
  int32_t columnCount = 0;
  std::vector<int32_t> columnRuns;
  std::vector<Kp05Point> points;
  int32_t pointCount = 0;  // kept points, or the Lissajous figure's count
};

// The 1-2-5 step of the time grid for a span: 1 up to 10 units; below 20, 50,
// 100, 200, ... 5e9 a tenth of that bound; 1e9 from 5e9 on.
int64_t TimeGridStep(int64_t span);

// (n - 1) / rate in 0.1 us, rounded; 0 for a rate of 0.
int64_t WaveSpan(int32_t n, uint32_t sampleRate);

// Fills every field. prepare is the FFT library's coordinate preparation,
// which folds runs of equal x into columns of at most four points.
void ComputeWaveAxis(const WaveAxisInput& in, Kp05Api::PrepareCoordinatesFn prepare,
                     WaveAxis& axis);

// The label of the k-th time line (k from 1) for the grid step; out holds at
// least 24 characters.
void FormatTimeLabel(int64_t step, int32_t k, char* out);
// "us", "ms" or "sec" for the grid step.
const char* TimeUnit(int64_t step);
// The label of amplitude line 0 (top), 1 (middle "0") or 2 (bottom).
void FormatAmplitudeLabel(int32_t yMag, int32_t line, char* out);

}  // namespace ov
