#include "app/engine/RecordState.h"

#include <cstring>

#include "app/wavefile/ByteSourceMemory.h"

namespace ov {

WavePlayRec::RecordState::RecordState(WavePlayRec& e)
    : engine(e), writer(file, e.reader_, e.notifier_) {
  std::strncpy(file.OriginatorText, e.OriginatorText.c_str(), sizeof file.OriginatorText - 1);
}

void WavePlayRec::RecordState::Configure(bool rf64, bool bwf, int32_t periodSeconds) {
  writer.SetRecRF64(rf64);
  writer.SetRecBWF(bwf);
  writer.SetRecUpdateHeaderPeriod(periodSeconds);
}

bool WavePlayRec::RecordState::SetFileName(const char* name) {
  if (std::strlen(name) >= sizeof file.fileName) {
    engine.Message.Set("Unable to create file.");
    return false;
  }
  std::strncpy(file.fileName, name, sizeof file.fileName - 1);
  file.fileName[sizeof file.fileName - 1] = '\0';
  return true;
}

void WavePlayRec::RecordState::RebuildChunkTable() {
  MemoryByteSource source(file.header, file.headerSize);
  ParseOptions options;
  options.chunks = &engine.reader_.chunks;
  options.markers = &engine.reader_.markers;
  options.dataSaveBytes = 0;
  WaveFormat format{};
  WaveFileInfo info;
  ReaderMessage ignored;
  std::lock_guard<std::mutex> lock(engine.reader_.recordsMutex);
  ParseWaveSource(source, &format, &info, &ignored, options, false);
}

void WavePlayRec::RecordState::FinishRecording() {
  writer.FinishRecordingFile();
  engine.PlayFileName = file.fileName;
}

bool WavePlayRec::CreateRecFile() {
  if (rec_->writer.CreateRecordingFile()) return true;
  Message.Set(rec_->file.failure.Empty() ? "Unable to create file." : rec_->file.failure.c_str());
  return false;
}

void WavePlayRec::CloseRecFile() {
  if (rec_->file.fileOpen.load()) rec_->writer.CloseRecordingFile(false);
}

uint32_t WavePlayRec::WriteRecBlock(const uint8_t* data, uint32_t bytes) {
  return rec_->writer.WriteRecordedData(data, bytes);
}

bool WavePlayRec::RecFileRf64() const {
  return rec_->file.rf64Switched;
}

}  // namespace ov
