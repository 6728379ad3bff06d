#include "fft/Kp05Plan.h"

namespace kp05 {
namespace {

// No real x value takes this: it marks that no column has started yet.
const int32_t kNoColumn = -9999;

}  // namespace

void PrepareCoordinates(int32_t* count, Kp05Point* points, Kp05Point* extra1, Kp05Point* extra2,
                        int32_t* columns, int32_t* runLengths, int32_t maxPerColumn) {
  *columns = 0;
  if (*count <= 0) {
    *count = 0;
    return;
  }
  const int32_t total = *count;
  int32_t previous = kNoColumn;
  int32_t run = 0;  // position of the current point within its column
  int32_t kept = 0;
  for (int32_t j = 0; j < total; ++j) {
    const int32_t x = points[j].x;
    if (x == previous) {
      ++run;
    } else {
      if (run != 0) runLengths[*columns - 1] = run + 1;
      runLengths[*columns] = 1;
      ++*columns;
      run = 0;
    }
    if (run < maxPerColumn) {
      points[kept].x = x;
      if (extra1 != nullptr) extra1[kept].x = x;
      if (extra2 != nullptr) extra2[kept].x = x;
      ++kept;
    }
    previous = x;
  }
  if (run != 0) runLengths[*columns - 1] = run + 1;
  *count = kept;
}

}  // namespace kp05
