// Parses a RIFF/WAVE or RF64/WAVE file into its format, data position and
// size, and (on request) its chunk table and markers. Failures return false
// and leave one of the fixed English texts below in the message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/common/WaveFormat.h"
#include "app/wavefile/ByteSource.h"
#include "app/wavefile/WaveFileRecords.h"

namespace ov {

// A fixed text buffer for failure reasons: no allocation, so the play thread
// may set it too. Empty means no error.
struct ReaderMessage {
  static constexpr size_t kCapacity = 256;
  char text[kCapacity] = {};

  void Set(const char* reason);
  void Clear() { text[0] = '\0'; }
  bool Empty() const { return text[0] == '\0'; }
  const char* c_str() const { return text; }
};

// What a parse found besides the format record.
struct WaveFileInfo {
  bool valid = false;       // playable: known tag, fmt and data chunks (the engine's IsPcm)
  uint64_t dataSize = 0;    // bytes of sample data, cut to what the file holds
  uint64_t dataOffset = 0;  // file offset of the first data byte
  uint32_t silence = 0;     // the silence byte: 128 for 8-bit samples, else 0
  bool rf64 = false;        // the file's ID is RF64
  bool bext = false;        // a bext chunk was read
  bool noFile = false;      // the name began with a space: a placeholder without a file
  uint32_t floatWidth = 0;  // FloatWidth of the format
  // A RIFF file whose RIFF or data size field is 0xFFFFFFFF: written to a
  // pipe, its sizes never filled in. It is read to the end of the file.
  bool streamed = false;
};

// True while the Ctrl key is held down. The program samples the keyboard
// (GetAsyncKeyState); tests pass a fixed answer. Null means "not held".
using KeyDownFn = bool (*)();

// Opens a named source; the default opens files. Tests map names to memory.
using SourceOpener = std::function<std::unique_ptr<ByteSource>(const char* name)>;

struct ParseOptions {
  // Both given: the full parse of a file being opened (chunks, head and tail of
  // the data, markers). Both null: validation only, e.g. by the play list.
  ChunkTable* chunks = nullptr;
  MarkerTable* markers = nullptr;
  // Bytes of the start and of the end of the sample data kept in the table.
  uint32_t dataSaveBytes = 512;
  KeyDownFn ctrlKeyDown = nullptr;
  const SourceOpener* opener = nullptr;  // null: OpenFileSource
};

// The whole parse of a named file. An empty name fails without a message; a
// name starting with a space stands for "no file" and succeeds with
// info->noFile set and a data size of 1. format must not be null. Success
// means the walk finished; whether the file plays is info->valid.
bool ParseWaveFile(const char* name, WaveFormat* format, WaveFileInfo* info, ReaderMessage* message,
                   const ParseOptions& options);

// The walk itself over an opened source; the caller owns and closes it.
// ctrlDown: the Ctrl key state sampled for this parse (any RIFF form type is
// then walked like WAVE).
bool ParseWaveSource(ByteSource& source, WaveFormat* format, WaveFileInfo* info,
                     ReaderMessage* message, const ParseOptions& options, bool ctrlDown);

// The messages a parse or an open can leave, byte for byte.
namespace reader_text {
constexpr const char kFileNotFound[] = "file not found";
constexpr const char kHeader[] = "Unable to read file.  (header)";
constexpr const char kNotRiff[] = "Not RIFF/RF64 file";
constexpr const char kNoData[] = "Unknown file format.  (No data)";
constexpr const char kTableFull[] = "Chunk table full.";
constexpr const char kNoMemory[] = "Unable to read file.  (No memory)";
constexpr const char kList[] = "Unknown Wave format.  (LIST)";
constexpr const char kSeek[] = "Unable to seek file.";
constexpr const char kNesting[] = "Sub chunk nesting level over.  (LIST)";
constexpr const char kDs64Junk[] = "Unable to read file.  (ds64/JUNK)";
constexpr const char kFmtSizeFormat[] = "Unknown Wave format.  (fmtsize=%d, fizesize=%d)";
constexpr const char kFmt[] = "Unable to read file.  (fmt)";
constexpr const char kFact[] = "Unknown Wave format.  (fact)";
constexpr const char kCue[] = "Unknown Wave format.  (cue)";
constexpr const char kData[] = "Unknown Wave format.  (data)";
constexpr const char kOther[] = "Unable to read file.  (other)";
constexpr const char kBext[] = "Unable to read file.  (bext)";
constexpr const char kFileSeek[] = "file seek error";
constexpr const char kNotValidEnglish[] = "This file is not valid PCM wave file.";
constexpr const char kNotValidJapanese[] = "このファイルは有効なPCMファイルではありません";
}  // namespace reader_text

}  // namespace ov
