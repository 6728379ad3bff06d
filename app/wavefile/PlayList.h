// The play list: up to 99 wave files played one after another, each with a
// title and a silence after it, validated before they are listed; plus the
// M3U list files it is saved to and loaded from.
//
// Main thread only. While the main window plays from the list it is frozen:
// the engine holds pointers to its records (rows live in a fixed array, so
// appending never moves them), and nothing moves, removes or changes a row.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/common/UserNotifier.h"
#include "app/wavefile/WaveFileParse.h"
#include "app/wavefile/WaveFileRecords.h"

namespace ov {

struct PlayListRow {
  PlayItem item;  // valid stays 0 in play-list records
  std::string title;
  int silenceSeconds = 0;  // 0..99
  uint32_t durationSeconds = 0;
};

enum class AddResult { Added, Refused, ListFull, Frozen };

// Time texts: "%3dm%02ds" of a row, "%02dm%02ds" of the total.
std::string PlayListTimeText(uint32_t seconds);
std::string PlayListTotalText(uint64_t seconds);
// "%5d %s%d %d": rate, "F" for float data, bits, channels.
std::string PlayListFormatText(const WaveFormat& format, uint32_t floatWidth);
// Bytes of silence after an item: seconds x rate x block align, so the next
// item starts on a frame; capped below 4 GiB on a frame boundary.
uint32_t SilenceBytes(const WaveFormat& format, int seconds);

class PlayList {
 public:
  static constexpr int kCapacity = 99;

  // Opens files for validation (tests); null opens files on disk.
  const SourceOpener* opener = nullptr;
  Language language = Language::English;  // of the refusal texts

  // Validates path (header walk only, no chunk table) and appends it with the
  // pending title, or the file name without folder and extension, and
  // silenceSeconds. A refusal puts the box text into *message.
  AddResult AddFile(const std::string& path, int silenceSeconds, std::string* message);
  // The title the next added file takes (from an #EXTINF line).
  void SetPendingTitle(std::string title) { pendingTitle_ = std::move(title); }

  int Count() const { return count_; }
  const PlayListRow& Row(int row) const { return rows_[row - 1]; }
  // The row's record for the engine, or null beyond the list.
  const PlayItem* ItemAt(int row) const;
  uint64_t TotalSeconds() const;

  // Selection: the row last selected; row 1 again after every added file.
  int Selected() const { return selected_; }
  void SelectRow(int row);

  // Editing; each does nothing while frozen and returns whether it did.
  bool MoveUp();
  bool MoveDown();
  bool Delete();
  bool DeleteAll();
  bool SetSilence(int firstRow, int lastRow, int seconds);
  bool SetTitle(int row, std::string title);

  void SetFrozen(bool frozen) { frozen_ = frozen; }
  bool Frozen() const { return frozen_; }

  // Previous: the first press restarts the current file and opens a 500 ms
  // window; a press inside it goes to the previous row.
  enum class PreviousAction { RestartCurrent, PlayPrevious };
  PreviousAction Previous(uint32_t nowMs);
  // Rewind / fast forward: the seconds of the nth repeat (from 1) of a held
  // button.
  static int WindStepSeconds(int repeat);

 private:
  PlayListRow rows_[kCapacity];
  int count_ = 0;
  int selected_ = 1;
  bool frozen_ = false;
  std::string pendingTitle_;
  bool previousArmed_ = false;
  uint32_t previousAtMs_ = 0;
};

// ---- M3U list files.

struct M3uOptions {
  // Converts a line that is not valid UTF-8 to UTF-8; null: from the
  // system's ANSI code page (SystemAnsiToUtf8).
  std::function<std::string(std::string_view)> ansiToUtf8;
  // Validation opener (tests); null opens files.
  const SourceOpener* opener = nullptr;
};

// The list file's lines as the play list takes them: path entries with the
// title and silence that go with them.
struct M3uEntry {
  std::string path;  // as written; relative paths not yet resolved
  std::string title;
  bool hasTitle = false;
  int silenceSeconds = -1;  // -1: no Silence line
};
std::vector<M3uEntry> ParseM3u(std::string_view bytes, const M3uOptions& options = {});

// The bytes Save writes for the list: UTF-8 without BOM, CR LF lines.
std::string M3uText(const PlayList& list);

struct PlayListLoad {
  bool ok = false;                    // at least one row registered: the list was replaced
  std::vector<std::string> messages;  // the boxes shown, in order
  int leftOut = 0;                    // files past the 99th
};

// Open: reads name into a scratch list; with a row registered it replaces
// list, else list stays as it was. Relative paths are taken from the list
// file's folder. silenceSeconds: the silence box for rows without a Silence
// line.
PlayListLoad LoadM3u(const std::string& name, PlayList* list, int silenceSeconds, Language language,
                     const M3uOptions& options = {});

// Save: writes a temporary file beside name, then replaces name with it, so
// a failure never loses the old list. The box text on failure, else empty.
std::string SaveM3u(const std::string& name, const PlayList& list, Language language);

namespace playlist_text {
extern const TwoLanguageText kUnableToOpen, kUnsupported, kNotValid, kUnableToCreate,
    kUnableToWrite, kBadExtension, kUnableToRegister, kLeftOut;
constexpr const char kNotPcmFile[] = " [Not PCM file]\n";
constexpr const char kCaption[] = "Orlavisonic - Playlist";
constexpr const char kDefaultListName[] = "LIST.M3U";
}  // namespace playlist_text

}  // namespace ov
