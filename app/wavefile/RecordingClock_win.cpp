#include "app/wavefile/RecordingClock.h"

#include <windows.h>

namespace ov {

LocalDateTime LocalNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace ov
