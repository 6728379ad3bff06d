// The engine's recording file: the writer's record and the writer itself,
// with the engine's side of their hand-over (the reason of a failure goes to
// the engine's message; a finished recording becomes the open play file).
#pragma once

#include <string>

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
  // Copies the writer's last failure reason into the engine's message.
  void TakeMessage();

  WavePlayRec& engine;
  RecordingFile file;
  std::string writerMessage;
  RecordingWriter writer;
};

}  // namespace ov
