// Fuzzes the overlay file reader from memory: no crash, leak or hang on any
// input; a file either loads with exactly the expected count of finite,
// non-negative values or is refused with a message and no values.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/analysis/OverlayFile.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void Load(std::string_view file, const ov::OverlayExpectation& expected) {
  ov::OverlayFileContents out;
  const std::string message = ov::ParseOverlayFile(file, expected, ov::Language::English, out);
  if (!message.empty()) {
    Check(out.amplitudes.empty());
    return;
  }
  Check(out.amplitudes.size() == static_cast<size_t>(out.amplitudeCount));
  if (expected.n) Check(out.amplitudeCount == *expected.n / 2 + 1);
  for (double v : out.amplitudes) Check(std::isfinite(v) && v >= 0);
  Check(out.comment.size() + 14 <= ov::kOverlayKeyLineMax);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  Load(file, {});  // the file's own values
  Load(file, {44100, 4});
  Load(file, {44100, 128});
  return 0;
}
