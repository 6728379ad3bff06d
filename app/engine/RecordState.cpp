#include "app/engine/RecordState.h"

#include <cstring>

#include "app/wavefile/ByteSourceMemory.h"

namespace ov {

WavePlayRec::RecordState::RecordState(WavePlayRec& e)
    : engine(e),
      writer(file,
             RecordingEngineFields{&e.reader_.format, &e.reader_.floatWidth, &e.reader_.isPcm,
                                   &writerMessage, e.OriginatorText.c_str()},
             e.notifier_) {
  writer.SetLanguage(e.language_);
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

void WavePlayRec::RecordState::TakeMessage() {
  if (!writerMessage.empty()) engine.Message.Set(writerMessage.c_str());
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
  ParseWaveSource(source, &format, &info, &ignored, options, false);
}

void WavePlayRec::RecordState::FinishRecording() {
  if (file.fileOpen.load()) {
    if (!writer.CloseRecordingFile(true)) TakeMessage();
  }
  PlayReadState& r = engine.reader_;
  ParseOptions options;
  options.chunks = &r.chunks;
  options.markers = &r.markers;
  options.dataSaveBytes = r.dataSaveBytes;
  WaveFileInfo info;
  ReaderMessage parseMessage;
  if (ParseWaveFile(file.fileName, &r.format, &info, &parseMessage, options)) {
    r.isPcm = info.valid;
    r.dataBytes = info.dataSize;
    r.dataOffset = info.dataOffset;
    r.playSilence = info.silence;
    r.rf64 = info.rf64;
    r.bext = info.bext;
    r.floatWidth = info.floatWidth;
    engine.PlayFileName = file.fileName;
  }
}

bool WavePlayRec::CreateRecFile() {
  rec_->writerMessage.clear();
  if (rec_->writer.CreateRecordingFile()) return true;
  rec_->TakeMessage();
  if (Message.Empty()) Message.Set("Unable to create file.");
  return false;
}

void WavePlayRec::CloseRecFile() {
  if (rec_->file.fileOpen.load() && !rec_->writer.CloseRecordingFile(false)) rec_->TakeMessage();
}

uint32_t WavePlayRec::WriteRecBlock(const uint8_t* data, uint32_t bytes) {
  const uint32_t n = rec_->writer.WriteRecordedData(data, bytes);
  if (n == 0) {
    rec_->TakeMessage();
    // A stop without a stated reason would look like success to the user.
    if (Message.Empty()) Message.Set("Unable to write file.");
  }
  return n;
}

bool WavePlayRec::RecFileRf64() const {
  return rec_->file.rf64Switched;
}

}  // namespace ov
