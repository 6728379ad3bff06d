// Writes a marker chunk block into an existing wave file in place, following
// a MarkerWritePlan, so that no failure leaves the file damaged:
//   1. open the file exclusively and check it is still the file the plan was
//      made from (size and header);
//   2. check the volume has room for the growth;
//   3. read the old tail (from the cut point to the end) and the bytes the
//      edit overwrites before it;
//   4. write the new tail over the old from the cut point, set the end, turn
//      the old marker chunks into JUNK, write the size field last, flush;
//   5. on any failure write the old tail, end, IDs and size field back.
// Sample data is never rewritten. Main thread (the program) or any single
// thread (ovtool); the caller has closed its own handles on the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/wavefile/Disk.h"
#include "app/wavefile/MarkerWritePlan.h"
#include "app/wavefile/WaveFileRecords.h"

namespace ov {

struct MarkerWriteResult {
  bool written = false;
  // Empty when written; otherwise the reason, and whether the file still holds
  // its original bytes (false only when restoring them failed as well).
  std::string message;
  bool fileUnchanged = true;
  MarkerWritePlan plan;
  uint64_t bytesRead = 0;  // counted at the file seam
  uint64_t bytesWritten = 0;
};

// Plans and writes block into fileName, whose parse produced table.
MarkerWriteResult WriteMarkerBlock(Disk& disk, const char* fileName, const ChunkTable& table,
                                   const uint8_t* block, size_t blockBytes);

}  // namespace ov
