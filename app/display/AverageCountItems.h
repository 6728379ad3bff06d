// The averaging box's list (SpectrumAverageNComboBox) and its Shift+A step.
#pragma once

#include <cstdint>

namespace ov {

constexpr int32_t kAverageCountItemCount = 10;
constexpr int32_t kAverageCountValues[kAverageCountItemCount] = {1,  10,  20,  40,  60,
                                                                 80, 100, 150, 200, 300};
constexpr const char* kAverageCountItems[kAverageCountItemCount] = {
    "1", "10", "20", "40", "60", "80", "100", "150", "200", "300"};

// The item after the one showing count, wrapping to the first; a count not
// in the list goes to the first.
constexpr int32_t NextAverageCountItem(int32_t count) {
  for (int32_t i = 0; i < kAverageCountItemCount; ++i)
    if (kAverageCountValues[i] == count)
      return kAverageCountValues[(i + 1) % kAverageCountItemCount];
  return kAverageCountValues[0];
}

}  // namespace ov
