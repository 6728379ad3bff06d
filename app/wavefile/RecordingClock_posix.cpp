#include "app/wavefile/RecordingClock.h"

#include <ctime>

namespace ov {

LocalDateTime LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

}  // namespace ov
