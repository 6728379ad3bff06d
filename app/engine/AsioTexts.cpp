#include "app/engine/AsioTexts.h"

#include <cstdarg>
#include <cstdio>

namespace ov::asio {
namespace {

std::string Format(const char* f, ...) {
  char buf[512];
  va_list a;
  va_start(a, f);
  std::vsnprintf(buf, sizeof buf, f, a);
  va_end(a);
  return buf;
}

double Ms(int32_t frames, int32_t rate) {
  return rate > 0 ? frames * 1000.0 / rate : 0.0;
}

}  // namespace

std::string UnableToLoadText(const std::string& n) {
  return "Unable to load: " + n;
}
std::string UnableToInitializeText(const std::string& r) {
  return "Unable to initialize: " + r;
}
std::string UnsupportedBitLengthText(bool isFloat, int32_t bits) {
  return Format("Unsupported bit length. [%s%d]", isFloat ? "F" : "", bits);
}
std::string UnsupportedRateText(int32_t rate) {
  return Format("Unsupported sampling freq. [%d]", rate);
}
std::string UnableToSetRateText(int32_t rate) {
  return Format("Unable to set sampling freq. to [%d]", rate);
}
std::string UnsupportedSampleTypeText(int32_t type) {
  return Format("ASIO Error: Unsupported sample type %d", type);
}

std::string NoSuchChannelText(int32_t first, int32_t count, bool input) {
  return Format("No ASIO %s channel %d (the driver has %d)", input ? "input" : "output", first,
                count);
}

std::string InfoText(const AsioInfo& i) {
  std::string t = "========= ASIO Information =========\n[ " + i.driverName + " ]\n\n";
  t += Format("Input Channels:\t %d\nOutput Channels:\t %d\n", i.inputs, i.outputs);
  t += Format("Sample Rate:\t %d\nBits/Sample:\t %d  (type:%d)\n", i.rate, i.driverBits,
              i.firstType);
  t += Format(
      "Buffer size min:\t %d\n               max:\t %d\n        preferred:\t %d\n       "
      "granuarity:\t %d\n",
      i.bufMin, i.bufMax, i.bufPreferred, i.bufGranularity);
  t += Format("Input Latency:\t %d  (%3.1fms)\nOutput Latency:\t %d  (%3.1fms)\n", i.inputLatency,
              Ms(i.inputLatency, i.rate), i.outputLatency, Ms(i.outputLatency, i.rate));
  t += Format("OutputReady support:  %s", i.postOutput ? "yes" : "no");
  return t;
}

}  // namespace ov::asio
