// The state of the file a recording goes to. The engine owns one of these
// for its whole life; the writer (RecordingWriter) works on it. Field names
// in CamelCase are the engine's own settings and read-outs.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "app/wavefile/Disk.h"
#include "app/wavefile/RecordingFileHeader.h"
#include "app/wavefile/WaveFileParse.h"

namespace ov {

constexpr size_t kRecordingNameBytes = 260;  // at most 259 characters plus terminator
constexpr uint64_t kDefaultDivideBytes = 0x7FF00000u;
constexpr int kMaxFollowingFiles = 99;  // NAME_01.WAV .. NAME_99.WAV

struct RecordingFile {
  // Settings (the setup dialog changes them through the writer's setters;
  // a file already open keeps the layout and bext choice it was created with).
  uint8_t Rec_RF64 = 0;               // reserve ds64 room, switch to RF64 past 4 GiB, never divide
  uint8_t Rec_BWF = 0;                // append a bext chunk at the final close
  int32_t RecUpdateHeaderPeriod = 0;  // seconds of audio between header rewrites; 0 = never
  uint64_t RecFileDivideBytes = kDefaultDivideBytes;  // file size past which the next file starts
  char OriginatorText[50] = {};  // program title and version, for the bext coding history

  // The current file.
  char fileName[kRecordingNameBytes] = {};  // UTF-8; rewritten for following files
  std::unique_ptr<DiskFile> handle;         // open from creation to close
  uint8_t header[kMaxRecordingHeaderBytes] = {};
  uint32_t headerSize = 0;  // 44, 68, 80 or 104; also the file's data offset
  uint64_t position = 0;    // bytes in the file so far, header and pad byte included
  uint64_t appended = 0;    // bytes after the data chunk: 866 once bext is written
  uint32_t padBytes = 0;    // 1 once the closing pad byte of odd data is written
  bool rf64Layout = false;  // this file's header reserves ds64 room (Rec_RF64 at creation)
  bool rf64Switched = false;
  bool bextBuilt = false;  // this file gets bext at its final close (Rec_BWF at creation)
  bool bextWritten = false;
  uint8_t bext[kBextChunkBytes] = {};

  // Division into numbered files.
  std::atomic<bool> divideNow{false};  // set by the main thread, taken by the writing thread
  std::atomic<bool> fileOpen{false};   // a recording file is open for writing
  int32_t divisionCounter = 0;         // number of the current following file; 0 = the first
  size_t extensionAt = 0;              // where the first file's name has its last '.'

  // Header rewrites, in file positions.
  uint64_t periodBytes = 0;  // RecUpdateHeaderPeriod as bytes of audio
  uint64_t nextUpdate = 0;   // position past which the header is rewritten next; 0 = never

  uint64_t RecFileCapacityBytes = 0;  // free bytes on the file's volume, as last measured

  // The English text of the last failure the writer showed the user. Kept
  // here rather than in the engine's Message, which would show it twice.
  ReaderMessage failure;
};

}  // namespace ov
