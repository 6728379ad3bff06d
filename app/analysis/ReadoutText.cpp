#include "app/analysis/ReadoutText.h"

#include <cmath>
#include <cstdio>

namespace ov {

namespace {

// The first `keep` characters of text (padded with spaces), then suffix. The
// result stays within the short-string buffer: no heap allocation.
std::string CutAndEnd(const char* text, size_t keep, const char* suffix) {
  size_t length = 0;
  while (length < keep && text[length] != '\0') ++length;
  std::string s(text, length);
  s.resize(keep, ' ');
  s += suffix;
  return s;
}

}  // namespace

std::string PercentReadout(double percent) {
  char buf[64];
  if (percent < 1000.0) {
    std::snprintf(buf, sizeof buf, " %7.5f", percent);
  } else {
    std::snprintf(buf, sizeof buf, " ---.---");
  }
  return CutAndEnd(buf, 8, "%");
}

std::string DbReadout(double db, double floor) {
  char buf[64];
  if (db > floor) {
    std::snprintf(buf, sizeof buf, "%7.2f", db);
  } else {
    std::snprintf(buf, sizeof buf, " ---.--");
  }
  return CutAndEnd(buf, 7, "dB");
}

}  // namespace ov

namespace ov {

std::string DistortionReadout(double ratio) {
  return PercentReadout(ratio * 100.0);
}

double SignalToNoiseDb(double thdNRatio) {
  if (!(thdNRatio >= 1e-38)) thdNRatio = 1e-38;
  return -20.0 * std::log10(thdNRatio);
}

std::string SignalToNoiseReadout(double thdNRatio) {
  return DbReadout(SignalToNoiseDb(thdNRatio), 0.0);
}

std::string RmsReadout(double db) {
  if (std::fabs(db) < 0.005) db = 0.0;
  return DbReadout(db, -300.0);
}

}  // namespace ov
