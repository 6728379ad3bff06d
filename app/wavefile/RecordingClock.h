// Local wall-clock time for the date and time stamped into a recording.
#pragma once

namespace ov {

struct LocalDateTime {
  int year;    // e.g. 2026
  int month;   // 1..12
  int day;     // 1..31
  int hour;    // 0..23
  int minute;  // 0..59
  int second;  // 0..59
};

LocalDateTime LocalNow();

}  // namespace ov
