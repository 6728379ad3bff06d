#include "app/display/LevelMeterLayout.h"

#include <algorithm>

namespace ov {

MeterSizeLimits MeterLimits(bool vertical, int n, double factor) {
  MeterSizeLimits l;
  const int32_t base = vertical ? (n > 2 ? 14 * n + 22 : 46) : (n > 2 ? 14 * n + 14 : 40);
  const auto g = static_cast<int32_t>(factor * base);
  if (vertical) {
    l.minWidth = g;
    l.maxWidth = 2 * g;
    l.minHeight = 200;
  } else {
    l.minHeight = g;
    l.maxHeight = 2 * g;
    l.minWidth = 200;
  }
  return l;
}

MeterSize MeterSizeForChannels(bool vertical, int n, int32_t tw, int32_t th, int32_t barThickness,
                               MeterSize current) {
  MeterSize s = current;
  if (vertical) {
    s.width = n > 2 ? tw + n * (barThickness + 7) + 4 : tw + 2 * barThickness + 14;
  } else {
    s.height = n > 2 ? th + n * (barThickness + 7) + 2 : th + 2 * barThickness + 14;
  }
  return s;
}

MeterSize MeterSizeForOrientation(bool toVertical, MeterSize current) {
  if (toVertical) return {current.height * 46 / 40, current.width};
  return {current.height, current.width * 40 / 46};
}

bool MeterVerticalForSize(MeterSize client, bool current) {
  if (client.width < client.height) return true;
  if (client.height < client.width) return false;
  return current;
}

int32_t MeterFontHeight(bool vertical, int n, MeterSize client, int32_t tw, int32_t th) {
  if (n <= 0) return 0;
  if (vertical) {
    const int32_t perBar = (client.width - tw - 2) / n;
    return static_cast<int32_t>(perBar * 1.75) / 2 - 1;
  }
  return (client.height - 4 - th) / n;
}

MeterGeometry LayOutMeter(bool vertical, int n, MeterSize client, int32_t tw, int32_t th,
                          int32_t numberWidth, bool marginMode) {
  MeterGeometry g;
  n = std::clamp(n, 0, kMeterMaxChannels);
  g.vertical = vertical;
  g.channels = n;
  if (n == 0) return g;
  const int32_t W = client.width, H = client.height, N = numberWidth;
  const int32_t F = MeterFontHeight(vertical, n, client, tw, th);
  g.fontHeight = F;
  g.numberWidth = N;
  int32_t T = 0;
  if (vertical) {
    g.base = H - 16;
    g.farEnd = 2 * F + 5;
    g.length = H - 16 - 2 * F - 9;
    for (int i = 0; i < n; ++i) {
      g.barY[i] = g.base;
      g.numberY[i] = i % 2 == 0 ? 2 : 2 + F;  // two staggered rows
      g.labelY[i] = H - 13;
    }
    if (n <= 2) {
      T = (W - tw - 15) / 2;
      g.barX[0] = 4;
      g.scaleX = 4 + T + 5;
      g.barX[1] = g.scaleX + tw + 2;
      g.labelX[0] = std::max(2, g.barX[0] + T / 2 - tw / 6 + 2);
      g.labelX[1] = std::min(W - tw / 3 - 1, g.barX[1] + T / 2 - tw / 6 + 1);
      g.numberX[0] = 4;
      g.numberX[1] = g.barX[1] + T / 2 - N / 2 - 4;
    } else {
      T = (W - 8 - tw) / n - 7;
      g.scaleX = 4;
      for (int i = 0; i < n; ++i) {
        g.barX[i] = tw + 7 + i * (T + 7);
        g.labelX[i] = g.barX[i] + T / 2 - tw / 6 + 2;
        g.numberX[i] = g.barX[i] + T / 2 - N / 2;
      }
    }
  } else {
    g.base = 16;
    g.farEnd = W - (N + 9);
    g.length = W - N - 29;
    for (int i = 0; i < n; ++i) {
      g.barX[i] = g.base;
      g.numberX[i] = W - N - 2;
      g.labelX[i] = 5;
    }
    if (n <= 2) {
      T = (H - th - 15) / 2;
      g.barY[0] = 4;
      g.scaleY = 4 + T + 4;
      g.barY[1] = g.scaleY + th + 3;
      g.labelY[0] = std::max(2, g.barY[0] + T / 2 - th / 2 + 1);
      g.labelY[1] = std::min(H - th, g.barY[1] + T / 2 - th / 2 + 1);
      g.numberY[0] = 2;
      g.numberY[1] = g.barY[1] + T / 2 - F / 2 + 1;
    } else {
      T = (H - 4 - th) / n - 7;
      g.scaleY = 2;
      for (int i = 0; i < n; ++i) {
        g.barY[i] = th + 5 + i * (T + 7);
        g.labelY[i] = g.barY[i] + T / 2 - th / 2 + 1;
        g.numberY[i] = g.barY[i] + T / 2 - F / 2;
      }
    }
  }
  g.thickness = T;
  g.resetShown = marginMode;
  if (vertical) {
    g.resetButton = {0, g.numberY[1] - 1, g.numberX[1] + 2, F + 3};
  } else {
    g.resetButton = {g.numberX[0] - 1, n <= 2 ? g.scaleY - 1 : 0, W - g.numberX[0], th + 3};
  }
  g.resetCaption = g.resetButton.right - 12 > tw ? "Reset" : "Res";
  return g;
}

GrabZone MeterGrabZone(int32_t x, int32_t y, MeterSize window) {
  constexpr int32_t kEdge = 6, kCorner = 8;
  const int32_t W = window.width, H = window.height;
  const bool left = x < kCorner, right = x >= W - kCorner;
  const bool top = y < kCorner, bottom = y >= H - kCorner;
  if (top && left) return GrabZone::TopLeft;
  if (top && right) return GrabZone::TopRight;
  if (bottom && left) return GrabZone::BottomLeft;
  if (bottom && right) return GrabZone::BottomRight;
  if (x < kEdge) return GrabZone::Left;
  if (x >= W - kEdge) return GrabZone::Right;
  if (y < kEdge) return GrabZone::Top;
  if (y >= H - kEdge) return GrabZone::Bottom;
  return GrabZone::Move;
}

GrabZone LissajousGrabZone(int32_t x, int32_t y, MeterSize window) {
  constexpr int32_t kCorner = 10;
  if (x >= window.width - kCorner && y >= window.height - kCorner) return GrabZone::BottomRight;
  return GrabZone::Move;
}

MeterRect KeepInsideWorkArea(MeterRect w, MeterRect work, bool shrinkHeight) {
  int32_t width = std::min(w.right - w.left, work.right - work.left);
  int32_t height = w.bottom - w.top;
  if (shrinkHeight) height = std::min(height, work.bottom - work.top);
  int32_t left = w.left, top = w.top;
  if (left < work.left) left = work.left;
  if (top < work.top) top = work.top;
  if (left + width > work.right) left = work.right - width;
  if (top + height > work.bottom) top = work.bottom - height;
  return {left, top, left + width, top + height};
}

}  // namespace ov
