// Re-records a wave file: its sample data streamed through the play path's
// reader and written through the recording writer block by block, exactly as
// a recording is written (same header, rewrites, RF64 switch, divisions).
// `ovtool convert` is a thin front end over it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/common/UserNotifier.h"
#include "app/common/WaveFormat.h"
#include "app/wavefile/Disk.h"
#include "app/wavefile/RecordingFile.h"

namespace ov {

struct ConvertOptions {
  bool rf64 = false;
  bool bwf = false;
  uint64_t divideBytes = kDefaultDivideBytes;
  int32_t updatePeriod = 5;  // seconds; 0 = no header rewrites until the close
  uint64_t blockBytes = 0;   // 0: a capture buffer of half a second
};

struct ConvertResult {
  bool ok = false;
  std::vector<std::string> files;  // every file written: OUT, OUT_01.WAV, ...
  uint64_t bytes = 0;              // sample bytes taken from the input
  std::string error;               // English reason when not ok
};

// The largest block taken at once: far above any capture buffer.
constexpr uint64_t kMaxConvertBlockBytes = 64u << 20;

// The format a recording of these samples is written with, as the transport
// builds record formats: tag 1 (3 for floats) and no extension for one or two
// channels, extensible for more.
WaveFormat RecordFormatFor(const WaveFormat& in);

ConvertResult ConvertRecording(const char* in, const char* out, const ConvertOptions& options,
                               UserNotifier& notifier, Disk& disk = SystemDisk());

}  // namespace ov
