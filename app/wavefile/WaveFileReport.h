// Text and JSON reports of one parse, as `ovtool info` prints them.
#pragma once

#include <string>
#include <string_view>

#include "app/common/WaveFormat.h"
#include "app/wavefile/WaveFileParse.h"
#include "app/wavefile/WaveFileRecords.h"

namespace ov {

struct WaveFileReport {
  std::string file;
  bool ok = false;  // the parse succeeded
  std::string message;
  WaveFileInfo info;
  WaveFormat format{};
  const ChunkTable* chunks = nullptr;
  const MarkerTable* markers = nullptr;
};

// bytes as a quoted JSON string. Valid UTF-8 passes through; every byte that
// is not part of a valid UTF-8 sequence, and every control byte, is written as
// \u00XX so the output is always valid JSON.
std::string JsonString(std::string_view bytes);

// A sub-format GUID as "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx".
std::string GuidText(const uint8_t guid[16]);

// One JSON object on one line, without a line break.
std::string ReportJson(const WaveFileReport& report);

// A readable multi-line report ending in a line break.
std::string ReportText(const WaveFileReport& report);

}  // namespace ov
