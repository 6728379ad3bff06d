// The engine's recording file: the writer's record and the writer itself,
// with the engine's side of their hand-over. The writer shows its own failures
// to the user; a failed command (creating the file) also leaves the reason in
// the engine's message, while a failure during the run only ends the run, so
// that the user does not see the reason twice.
#pragma once

#include "app/engine/WavePlayRec.h"
#include "app/wavefile/RecordingFile.h"
#include "app/wavefile/RecordingWriter.h"

namespace ov {

struct WavePlayRec::RecordState {
  explicit RecordState(WavePlayRec& engine);

  void Configure(bool rf64, bool bwf, int32_t periodSeconds);
  void SetDivideBytes(uint64_t bytes) { writer.SetRecFileDivideBytes(bytes); }
  // False (and the engine's message set) when the name does not fit.
  bool SetFileName(const char* name);
  // A recording without a file still gets its header image (format text, bext).
  void PrepareFileless() { writer.BuildHeaderImage(); }
  uint64_t CapacityBytes() const { return file.RecFileCapacityBytes; }
  void ClearDivideRequest() { file.divideNow = false; }
  void RequestDivide() { writer.RequestDivide(); }
  // The chunk table of the recording as its header now stands.
  void RebuildChunkTable();
  // Final close of the file, then the finished file is parsed into the
  // engine's play-file records (format, chunks, length).
  void FinishRecording();

  WavePlayRec& engine;
  RecordingFile file;
  RecordingWriter writer;
};

}  // namespace ov
