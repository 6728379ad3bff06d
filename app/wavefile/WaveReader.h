// The engine's play-side reading of a wave file: open it for play, stream its
// sample bytes block by block with trailing silence and gapless continuation
// into the next play-list item of equal format, close it.
//
// Threads: OpenForPlay runs on the main thread, and on the play thread inside
// a continuation; ReadStream runs on the play thread while playing and on the
// main thread while paused. The engine serialises these calls; reprime and
// itemSwitchPending are atomics because the main thread sets or reads them
// while the play thread runs. The one lock, recordsMutex, keeps the file's
// chunk and marker records whole for a reader on the main thread while a
// continuation parses the next item into them.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "app/common/UserNotifier.h"
#include "app/common/WaveFormat.h"
#include "app/wavefile/ByteSource.h"
#include "app/wavefile/WaveFileParse.h"
#include "app/wavefile/WaveFileRecords.h"

namespace ov {

// Answers the engine's OnPlayListCursor: with peekNext true, the play-list item
// after the current one without advancing the list, or null.
using PlayListCursorFn = std::function<const PlayItem*(bool peekNext)>;

// The engine's state of the open play file: everything the reader sets and
// uses. The engine owns one and keeps it for its whole life.
struct PlayReadState {
  // The open file's format, as parsed.
  WaveFormat format{};
  uint32_t floatWidth = 0;
  uint8_t isPcm = 0;            // the file parsed as playable
  uint64_t dataOffset = 0;      // bytes from the start of the file to the first data byte
  uint64_t dataBytes = 0;       // data size
  uint64_t remainingBytes = 0;  // data bytes not yet read
  uint32_t playSilence = 0;     // 128 for 8-bit files, 0 otherwise
  bool rf64 = false;
  bool bext = false;
  std::unique_ptr<ByteSource> file;  // the read handle; null when none is open

  // Seeking: the engine sets position (sample frames) and then reprime; the
  // next ReadStream seeks there.
  std::atomic<bool> reprime{false};
  uint64_t position = 0;
  uint64_t reprimeStartBytes = 0;  // byte position of the last reprime
  uint64_t pausedPlayed = 0;       // samples played while paused; zeroed at a reprime

  // Play-list continuation.
  const PlayItem* currentItem = nullptr;
  const PlayItem* previousItem = nullptr;
  uint32_t itemSilenceBytes = 0;               // trailing silence the current item still owes
  std::atomic<bool> itemSwitchPending{false};  // a gapless continuation happened
  bool silenceInserted = false;                // the stream's last bytes were inserted silence

  ReaderMessage message;         // the engine's Message: the last failure reason
  uint32_t dataSaveBytes = 512;  // bytes of data head and tail kept in the chunk table

  // Written by every parse (held under recordsMutex); read on the main
  // thread under the same lock while a play may run.
  ChunkTable chunks;
  MarkerTable markers;
  std::mutex recordsMutex;

  // Seams to the program.
  PlayListCursorFn onPlayListCursor;  // may be empty: no play list
  KeyDownFn ctrlKeyDown = nullptr;    // Ctrl sampled at each parse
  UserNotifier* notifier = nullptr;   // shows the not-valid warning
  Language language = Language::English;
  SourceOpener opener;  // empty: files on disk
};

// Parses name (or, when null, the current item's file name) into the state,
// then opens the file for reading at its first data byte. With warn, a file
// that parsed but is not playable shows a warning and succeeds without a read
// handle; without warn it fails. A name starting with a space succeeds with no
// file and reprime set.
bool OpenForPlay(PlayReadState& state, const char* name, bool warn);

// Fills buffer with count bytes of the stream: data from the open file (after
// a pending seek), then the item's trailing silence, then the next play-list
// item's data when its format equals the current one. Returns the bytes that
// belong to the stream; fewer than count means the stream has ended, and the
// rest of the buffer then holds silence.
uint32_t ReadStream(PlayReadState& state, uint8_t* buffer, uint32_t count);

// Closes the read handle if one is open.
void CloseReadFile(PlayReadState& state);

// The first chunk of the open file with that ID, or null.
const ChunkEntry* FindChunk(const PlayReadState& state, const char id[4]);

}  // namespace ov
