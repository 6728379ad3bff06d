#include "app/display/WaveAxis.h"

#include <cstdio>

namespace ov {

int64_t TimeGridStep(int64_t span) {
  if (span <= 10) return 1;
  int64_t decade = 10;
  for (;;) {
    for (int64_t factor : {2, 5, 10}) {
      const int64_t bound = decade * factor;
      if (span < bound) return bound / 10;
      if (bound >= 5000000000LL) return 1000000000LL;
    }
    decade *= 10;
  }
}

int64_t WaveSpan(int32_t n, uint32_t sampleRate) {
  if (sampleRate == 0 || n < 1) return 0;
  return static_cast<int64_t>(static_cast<double>(n - 1) / sampleRate * 1e7 + 0.5);
}

namespace {

void ComputeAmplitudeLines(int32_t h, int32_t lines[3]) {
  const int32_t half = h / 2;
  const int32_t d = static_cast<int32_t>(static_cast<int64_t>(half) * 30000 / 32768);
  lines[0] = half - d;
  lines[1] = half;
  lines[2] = half + d;
}

}  // namespace

void ComputeWaveAxis(const WaveAxisInput& in, Kp05Api::PrepareCoordinatesFn prepare,
                     WaveAxis& axis) {
  axis.in = in;
  const int32_t xMag = in.xMag < 1 ? 1 : in.xMag;
  const int32_t sampleN = in.sampleN < 1 ? 1 : in.sampleN;
  axis.n = sampleN / xMag;
  if (axis.n < 1) axis.n = 1;
  axis.d = axis.n > 1 ? axis.n - 1 : 1;
  ComputeAmplitudeLines(in.height, axis.amplitudeLines);
  // Resized only here, at layout time.
  axis.points.assign(static_cast<size_t>(sampleN), Kp05Point{0, 0});
  axis.columnRuns.assign(static_cast<size_t>(sampleN), 0);
  axis.timeLineCount = 0;
  axis.columnCount = 0;
  axis.pointCount = 0;
  axis.span = WaveSpan(axis.n, in.sampleRate);
  axis.gridStep = TimeGridStep(axis.span);

  if (in.lissajous) {
    // A square 3 x 3 grid; the figure's points come per frame.
    axis.timeLineCount = 3;
    for (int i = 0; i < 3; ++i) axis.timeLines[i] = axis.amplitudeLines[i];
    return;
  }

  const int64_t w1 = in.width > 1 ? in.width - 1 : 0;
  for (int32_t i = 0; i < axis.n; ++i)
    axis.points[i] = Kp05Point{static_cast<int32_t>(i * w1 / axis.d), 0};
  int32_t count = axis.n;
  int32_t columns = 0;
  prepare(&count, axis.points.data(), nullptr, nullptr, &columns, axis.columnRuns.data(),
          kPointsPerColumn);
  axis.pointCount = count;
  axis.columnCount = columns;

  if (axis.span > 0) {
    for (int64_t k = 1; k * axis.gridStep < axis.span && axis.timeLineCount < kMaxTimeGridLines;
         ++k)
      axis.timeLines[axis.timeLineCount++] =
          static_cast<int32_t>(k * axis.gridStep * w1 / axis.span);
  }
}

void FormatTimeLabel(int64_t step, int32_t k, char* out) {
  constexpr size_t kSize = 24;
  if (step < 10) {
    const int64_t v = k * step;
    std::snprintf(out, kSize, "%lld.%lld", static_cast<long long>(v / 10),
                  static_cast<long long>(v % 10));
  } else if (step < 1000) {
    std::snprintf(out, kSize, "%lld", static_cast<long long>(k * (step / 10)));
  } else if (step < 10000) {
    const int64_t v = k * (step / 1000);
    std::snprintf(out, kSize, "%lld.%lld", static_cast<long long>(v / 10),
                  static_cast<long long>(v % 10));
  } else if (step < 1000000) {
    std::snprintf(out, kSize, "%lld", static_cast<long long>(k * (step / 10000)));
  } else if (step < 10000000) {
    const int64_t v = k * (step / 1000000);
    std::snprintf(out, kSize, "%lld.%lld", static_cast<long long>(v / 10),
                  static_cast<long long>(v % 10));
  } else {
    std::snprintf(out, kSize, "%lld", static_cast<long long>(k * (step / 10000000)));
  }
}

const char* TimeUnit(int64_t step) {
  if (step < 1000) return "us";
  if (step < 1000000) return "ms";
  return "sec";
}

void FormatAmplitudeLabel(int32_t yMag, int32_t line, char* out) {
  const int32_t mag = yMag < 1 ? 1 : yMag;
  if (line == 1)
    std::snprintf(out, 12, "0");
  else
    std::snprintf(out, 12, "%d", (line == 0 ? 30000 : -30000) / mag);
}

}  // namespace ov
