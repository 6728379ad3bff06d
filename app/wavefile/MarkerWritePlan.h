// How a marker chunk block goes into an existing wave file, decided from the
// file's chunk table alone: which old chunk IDs become `JUNK`, where the new
// tail starts, which chunks move behind the block, and the new size field.
// A file the plan cannot edit without losing bytes is refused with a reason,
// and nothing is touched.
//
// The tail always starts behind the sample data: the data is never rewritten.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/wavefile/WaveFileRecords.h"

namespace ov {

struct MarkerWritePlan {
  struct Moved {
    char id[4] = {};
    uint64_t offset = 0;  // header offset in the old file
    uint64_t size = 0;    // header, content and pad byte
  };

  bool ok = false;
  std::string message;  // the reason of a refusal

  uint64_t oldFileSize = 0;
  // Header offsets of old `cue ` and `adtl` chunks that stay in the file
  // with their ID overwritten by "JUNK".
  std::vector<uint64_t> junk;
  // The new tail: from cutAt on, the old bytes are replaced by an optional
  // zero pad byte (when the old last chunk lacks its own), the block at
  // appendAt, and the moved chunks behind it.
  uint64_t cutAt = 0;
  uint64_t appendAt = 0;
  uint64_t blockBytes = 0;
  std::vector<Moved> moved;
  uint64_t newFileSize = 0;
  // The form's size field: RIFF u32 at offset 4, or the RF64 ds64 riffSize
  // u64 (at the ds64 chunk's content).
  bool sizeField64 = false;
  uint64_t sizeFieldOffset = 4;
  uint64_t newSizeFieldValue = 0;
};

// Refusal reasons, English, as the write-back reports them.
namespace marker_text {
constexpr const char kNoData[] = "The file has no data chunk.";
constexpr const char kNotCovered[] = "The file holds bytes outside its chunks.";
constexpr const char kCutOff[] = "The last chunk of the file is cut off.";
constexpr const char kTooManyCues[] = "The file holds more than 100 markers.";
constexpr const char kRiffTooLarge[] = "The file would grow past 4 GiB.";
constexpr const char kNoDs64[] = "The RF64 file has no ds64 chunk.";
constexpr const char kChanged[] = "The file was changed by another program.";
constexpr const char kNoSpace[] = "Not enough free disk space.";
constexpr const char kNotOpen[] = "No file is open.";
constexpr const char kPlaying[] = "The file is playing.";
// The engine's own texts for the steps of the write.
constexpr const char kFileNotFound[] = "file not found";
constexpr const char kFileSeek[] = "file seek error";
constexpr const char kFileRead[] = "file read error";
constexpr const char kFileWrite[] = "file write error";
constexpr const char kFileTruncate[] = "file truncate error";
constexpr const char kFileFlush[] = "file flush error";
constexpr const char kRestoreFailed[] = "; the old markers could not be restored";
}  // namespace marker_text

// The plan for writing blockBytes of marker chunks into the file the table
// describes (table.fileSize bytes, as parsed).
MarkerWritePlan PlanMarkerWrite(const ChunkTable& table, uint64_t blockBytes);

}  // namespace ov
