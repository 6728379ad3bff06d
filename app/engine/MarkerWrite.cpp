// The engine's side of the marker write-back: the open play file is closed,
// edited through the file seam, and opened again where it was.
#include "app/engine/WavePlayRec.h"

namespace ov {

MarkerWriteResult WavePlayRec::WriteMarkers(const uint8_t* block, size_t length, Disk& disk) {
  MarkerWriteResult result;
  if (!PlayOpened || !PlayFromFile || !reader_.chunks.dataFound) {
    result.message = marker_text::kNotOpen;
    return result;
  }
  // The play pump and a frame play read the file: no edit under them.
  const int32_t state = playState_.load();
  if (state == kPlayPlaying || FrameBusyFlag.load()) {
    result.message = marker_text::kPlaying;
    return result;
  }
  WaitPrimed();
  const uint64_t position = reader_.position;
  const std::string name =
      reader_.currentItem ? std::string(reader_.currentItem->fileName) : PlayFileName;
  CloseReadFile(reader_);
  result = WriteMarkerBlock(disk, name.c_str(), reader_.chunks, block, length);

  // Whatever happened, the file is parsed again: the markers shown are those
  // in the file.
  if (!OpenForPlay(reader_, name.c_str(), false)) {
    Failed = true;
    if (result.message.empty()) result.message = Message.c_str();
  } else if (state != kPlayPaused) {
    CloseReadFile(reader_);  // a stopped engine holds no read handle
  }
  if (!result.written) Message.Set(result.message.c_str());
  if (state == kPlayPaused) {
    SeekToSample(static_cast<int64_t>(position));
  } else {
    reader_.position = position;
  }
  UpdateFormatText(1, false);
  return result;
}

}  // namespace ov
