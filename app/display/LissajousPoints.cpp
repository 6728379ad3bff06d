#include "app/display/LissajousPoints.h"

#include <algorithm>

namespace ov {

int32_t LissajousFollowingChannel(int32_t displayChannel, int32_t channelCount) {
  if (channelCount <= 1) return displayChannel;
  return displayChannel + 1 < channelCount ? displayChannel + 1 : 0;
}

uint32_t LissajousPointCount(uint32_t sampleRate, uint32_t framesPerSecond, uint32_t sampleN) {
  const uint32_t count = framesPerSecond ? sampleRate / framesPerSecond + 3 : 1000;
  return std::min(count, sampleN);
}

uint32_t ComputeLissajousPoints(const int32_t* display, const int32_t* following, uint32_t count,
                                int32_t magnification, int32_t w, int32_t h, PlotPoint* points) {
  const int64_t s = std::min(w, h);
  // A magnification beyond full scale would make the divisor 0.
  const int64_t d = std::max<int64_t>(2 * (32768 / std::max(magnification, 1)), 1);
  for (uint32_t i = 0; i < count; ++i) {
    const int64_t v = display[i] >> 16;  // the upper 16 bits, signed
    const int64_t u = following[i] >> 16;
    points[i].y = static_cast<int32_t>(h / 2 + (-v * s) / d);
    points[i].x = static_cast<int32_t>(w / 2 + (u * s) / d);
  }
  return count;
}

uint32_t LissajousTracePoints(uint32_t count) {
  count = std::min(count, kLissajousMaxTracePoints);
  if (count == 0) return 0;
  return (count - 1) / 3 * 3 + 1;
}

LissajousGrid ComputeLissajousGrid(int32_t side) {
  const int32_t half = side / 2;
  const int32_t d = static_cast<int32_t>(int64_t{half} * 30000 / 32768);
  return {{half - d, half, half + d}};
}

int32_t LissajousPlotSide(int32_t clientWidth, int32_t clientHeight) {
  return std::max(0, std::min(clientWidth - 10, clientHeight - 10));
}

}  // namespace ov
