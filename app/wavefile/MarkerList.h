// The positioning window's marker list: up to 100 rows the user adds, deletes
// and renames, independent of the open file until they are written back as a
// marker chunk block (a `cue ` chunk and a `LIST`/`adtl` chunk).
//
// Main thread only. Rows are numbered from 1 as the grid shows them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/wavefile/WaveFileRecords.h"

namespace ov {

// Bytes of a label written into a `labl` sub-chunk, its terminating zero
// included.
constexpr size_t kMarkerLabelWriteBytes = 40;

struct MarkerRow {
  char label[kMarkerLabelBytes] = {};  // zero-terminated: UTF-8 once renamed, else as in the file
  uint32_t length = 0;                 // sample length (ltxt); 0 for added rows
  uint64_t position = 0;               // sample frames
  uint32_t loadedCueId = 0;            // the file's cue ID; 0 for added rows
  bool renamed = false;                // label set in this window (UTF-8)
  // Carried over from the file so a write loses nothing: the `note` text
  // (without its zero) and the `ltxt` bytes after the sample length
  // (purpose, country, language, dialect, code page, text).
  std::string note;
  std::string ltxtTail;
};

enum class MarkerAddResult { Added, ListFull, PositionTooLarge };
enum class MarkerRenameResult { Renamed, TooLong, NoRow };

class MarkerList {
 public:
  static constexpr int kCapacity = kMarkerCapacity;

  // Refills the rows from the open file's markers; chunks (may be null) gives
  // the `note` and `ltxt` bytes of the file's `adtl` lists. Clears dirty.
  void Load(const MarkerTable& markers, const ChunkTable* chunks);

  // Appends "Marker N" at position. A position past 0xFFFFFFFF fits no cue
  // point and is refused, as is a 101st row.
  MarkerAddResult Add(uint64_t position);
  // Removes row (1-based); rows below move up. Returns the row to select
  // afterwards (0 when the list is empty). Out-of-range rows change nothing.
  int Delete(int row);
  void DeleteAll();
  // Stores text (UTF-8) as the row's label when it fits kMarkerLabelWriteBytes
  // with its zero; otherwise the label stays as it was. Dirty is set either
  // way, as any edit of a row does.
  MarkerRenameResult Rename(int row, std::string_view text);

  int Count() const { return count_; }
  const MarkerRow& Row(int row) const { return rows_[row - 1]; }
  bool Dirty() const { return dirty_; }
  void MarkWritten() { dirty_ = false; }

  // The marker chunk block for the rows as they stand: empty with no rows.
  std::vector<uint8_t> BuildBlock() const;

 private:
  MarkerRow rows_[kCapacity];
  int count_ = 0;
  bool dirty_ = false;
};

// The label bytes a row writes: at most kMarkerLabelWriteBytes - 1 bytes,
// cut so that no UTF-8 sequence is split.
std::string_view LabelForWrite(const char* label);

}  // namespace ov
