// The transport's position in the play list: the row playback started from
// (PlayListBase) and how many items it has advanced since (PlayListOffset).
// It answers the engine's play-list cursor (EngineCallbacks::OnPlayListCursor)
// from the list's rows; the main window adds its caption and format updates
// around Advance.
//
// Main thread, or the play thread for Peek while the list is frozen (the list
// does not change while it plays, so reading its rows is safe).
#pragma once

#include "app/wavefile/PlayList.h"

namespace ov {

class PlayListCursor {
 public:
  explicit PlayListCursor(const PlayList& list) : list_(list) {}

  // Play from row: offset 0; Current() is then row.
  void Start(int row) {
    base_ = row;
    offset_ = 0;
  }
  void Clear() { base_ = offset_ = 0; }
  bool Active() const { return base_ > 0; }
  int Base() const { return base_; }
  int Offset() const { return offset_; }
  // The row playing now (PlayListBase + PlayListOffset); 0 when inactive.
  int Current() const { return base_ > 0 ? base_ + offset_ : 0; }

  const PlayItem* CurrentItem() const { return Active() ? list_.ItemAt(Current()) : nullptr; }
  // The item after the current one (null at the end or when inactive).
  const PlayItem* Peek() const { return Active() ? list_.ItemAt(Current() + 1) : nullptr; }
  // Moves to the next item and returns it (null, and no move, at the end).
  const PlayItem* Advance() {
    const PlayItem* next = Peek();
    if (next != nullptr) ++offset_;
    return next;
  }
  // The engine's question: with peekNext the next item; otherwise an item
  // became current in the engine, which moves the cursor only while playing
  // (the engine asks on every open too). Returns the item moved to, or null
  // when the cursor did not move.
  const PlayItem* Answer(bool peekNext, bool playing) {
    if (peekNext) return Peek();
    return playing ? Advance() : nullptr;
  }

 private:
  const PlayList& list_;
  int base_ = 0;
  int offset_ = 0;
};

}  // namespace ov
