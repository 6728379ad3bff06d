// Writes a recording into wave files: a provisional header at creation, the
// captured blocks appended as they come, the header rewritten (and the file
// flushed) every update period so that a crash loses at most one period, a
// switch to RF64 before the file outgrows 32-bit sizes (Rec_RF64) or else a
// division into numbered files NAME_01.WAV .. NAME_99.WAV, a Broadcast Wave
// `bext` chunk at the final close (Rec_BWF), and a free-space check before
// the file is created and before every block.
//
// Threads: CreateRecordingFile runs on the main thread before the record
// thread starts; WriteRecordedData and the closes run on the record thread.
// RequestDivide may be called from the main thread at any time.
//
// Failures are shown to the user through the notifier (a warning box of the
// text and the file name); the English text stays in RecordingFile::failure.
// The engine's Message is cleared at creation and otherwise left to the
// final parse, so that a failure is not shown a second time as "Stopped!".
#pragma once

#include <cstdint>
#include <string>

#include "app/common/UserNotifier.h"
#include "app/common/WaveFormat.h"
#include "app/wavefile/Disk.h"
#include "app/wavefile/RecordingClock.h"
#include "app/wavefile/RecordingFile.h"
#include "app/wavefile/WaveReader.h"

namespace ov {

class RecordingWriter {
 public:
  // engine: the engine's format record (the recorded format), FloatWidth,
  // IsPcm, Message and language, and the records a finished recording is
  // parsed into.
  RecordingWriter(RecordingFile& file, PlayReadState& engine, UserNotifier& notifier,
                  Disk& disk = SystemDisk());

  // Where the bext date and time come from (tests fix it).
  void SetClock(LocalDateTime (*now)()) { now_ = now; }

  // Builds the header image for the engine's format (also used for a
  // recording without a file) and sets the engine's FloatWidth and IsPcm.
  uint32_t BuildHeaderImage();

  // Creates file.fileName (which must end in .WAV) with a header for 0 data
  // bytes. A name that does not end in .WAV fails and is given ".WAV".
  bool CreateRecordingFile();
  // Appends one captured block; returns the bytes written, 0 when the
  // recording has to stop (write failure, full disk, failed or 100th division).
  uint32_t WriteRecordedData(const void* data, uint32_t bytes);
  // Pads to an even length, appends bext when final and the file has one,
  // writes the final header and closes.
  bool CloseRecordingFile(bool final);
  // When recording stops: the final close, then the finished file is parsed
  // into the engine's records (format, chunks, markers, data size) as the
  // wave information window shows them. False when the close or parse failed.
  bool FinishRecordingFile();
  // Fills the size fields and writes the header at offset 0; with flush the
  // file's buffers reach the disk and the file pointer returns to the end.
  bool WriteHeader(bool flush);
  // Measures the free space of name's volume into RecFileCapacityBytes; shows
  // the free-space message and fails when fewer than needed bytes are free.
  // name may get its volume prefixed (Disk::QualifyName).
  bool CheckDiskSpace(char* name, size_t capacity, uint64_t needed);
  // Asks for the next numbered file at the next write; ignored unless a
  // recording file is open.
  // Ctrl+D: the next write starts the next numbered file. Ignored for the
  // RF64 layout, whose files are never divided.
  void RequestDivide();
  // Where the file name's own extension begins (its last '.', not in a
  // folder name and not leading); the length when it has none.
  static size_t ExtensionAt(const char* name);

  void SetRecRF64(bool on) { file_.Rec_RF64 = on; }
  void SetRecBWF(bool on) { file_.Rec_BWF = on; }
  void SetRecUpdateHeaderPeriod(int32_t seconds) { file_.RecUpdateHeaderPeriod = seconds; }
  void SetRecFileDivideBytes(uint64_t bytes) { file_.RecFileDivideBytes = bytes; }

  const RecordingFile& File() const { return file_; }

 private:
  bool Create(bool keepDivisionCounter);
  bool StartNextFile();
  bool FixExtension();
  void Fail(const TwoLanguageText& text);
  void DropHandle();

  RecordingFile& file_;
  PlayReadState& engine_;
  UserNotifier& notifier_;
  Disk& disk_;
  LocalDateTime (*now_)() = LocalNow;
};

}  // namespace ov
