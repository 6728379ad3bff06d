// Several files named on one command line play in order as one gapless list
// through the engine's play-list cursor (EngineCallbacks::OnPlayListCursor).
// Main thread: the cursor runs in the engine's main-thread steps.
#pragma once

#include <string>
#include <vector>

#include "app/wavefile/WaveFileRecords.h"

namespace ov {

class StartupPlayList {
 public:
  // Reads every file's format; files that cannot be played are left out and
  // named in the returned text (empty when all were taken).
  std::string Fill(const std::vector<std::string>& fileNames);
  void Clear();

  bool Empty() const { return items_.empty(); }
  const PlayItem& First() const { return items_.front(); }
  size_t Count() const { return items_.size(); }
  // The engine's cursor: with peekNext the item after the current one (null at
  // the end) without moving; otherwise moves to the next item and returns null.
  const PlayItem* Cursor(bool peekNext);
  int Current() const { return current_; }

 private:
  std::vector<PlayItem> items_;
  int current_ = -1;
};

}  // namespace ov
