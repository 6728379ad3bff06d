// Auditioning while play is paused: a snippet of the file from the paused
// position, or one block (a frame) played once or in a loop on a second
// output handle.
#include <algorithm>

#include "app/engine/EngineTexts.h"
#include "app/engine/WavePlayRec.h"

namespace ov {

EngineResult WavePlayRec::PlaySnippet(uint32_t ms) {
  if (InMessageWait()) return EngineResult::Busy;
  WaitPrimed();
  if (FrameBusyFlag.load() || playState_.load() != kPlayPaused || !PlayOpened) {
    return EngineResult::Failed;
  }
  const uint64_t remembered = reader_.position;
  FrameBusyFlag = true;
  // The snippet is heard alone: no synchronised start, and the resume waits
  // for the play thread. The gate stays assigned (the pump may be reading
  // it); a flag turns it off.
  syncGateOff_ = true;
  const bool syncDone = SyncDone.exchange(false);
  Paused = false;
  ResumeDevices();
  const uint32_t wait = ms >= 22 ? ms - 20 : ms;
  const uint32_t start = TickMs();
  WaitWithMessages(1, [&] { return TickMs() - start >= wait; });
  Paused = true;
  PauseDevices();
  syncGateOff_ = false;
  SyncDone = syncDone;
  SeekToSample(static_cast<int64_t>(remembered));
  FrameBusyFlag = false;
  host_.PostNotification(WM_FRAME_PLAY_END, 0);
  return EngineResult::Ok;
}

EngineResult WavePlayRec::StartFramePlay(int32_t deviceNumber, const uint8_t* data, uint32_t bytes,
                                         FrameRepeat repeat) {
  if (InMessageWait()) return EngineResult::Busy;
  JoinFinishedThreads();
  WaitPrimed();
  Message.Clear();
  if (!driver_->SupportsFramePlay() || FrameBusyFlag.load() || !PlayOpened || bytes == 0) {
    return EngineResult::Failed;
  }
  if (!data) {
    if (PlayRing.Empty()) return EngineResult::Failed;
    data = PlayRing.Buffer(0);
    if (bytes > PlayBufBytes) bytes = PlayBufBytes;
  }
  const int32_t id = deviceNumber <= 0 ? -1 : deviceNumber - 1;
  if (!driver_->OpenFrame(id, reader_.format, Options(), FramePlayEvent, const_cast<uint8_t*>(data),
                          bytes, Message)) {
    return EngineResult::Failed;
  }
  FrameLoop = repeat == FrameRepeat::Loop;
  frameBytes_ = bytes;
  // The last frame play may have cleared its busy flag after the join above
  // looked: its thread is ending and is joined before the new one replaces it.
  if (frameThread_.joinable()) frameThread_.join();
  FrameBusyFlag = true;
  frameThread_ = std::thread([this] { PlayFrameThreadMain(); });
  return EngineResult::Ok;
}

void WavePlayRec::PlayFrameThreadMain() {
  SetCurrentThreadPriorityLevel(4);
  EngineMessage m;
  // One pass takes the frame's duration; a pass that has not ended long after
  // it (a lost completion, a stuck device) ends the frame play.
  const uint32_t bps = reader_.format.avgBytesPerSec ? reader_.format.avgBytesPerSec : 1;
  const uint64_t passMs = static_cast<uint64_t>(frameBytes_) * 1000 / bps;
  const int32_t limitMs = static_cast<int32_t>(std::min<uint64_t>(passMs, 60000) + 2000);
  do {
    // Reset before the write: a running output may finish a short block
    // before the write returns, and that completion must not be lost.
    FramePlayEvent.Reset();
    if (!driver_->SubmitFrame(m)) break;
    driver_->RestartFrame(m);
    if (!FramePlayEvent.Wait(limitMs)) break;
  } while (FrameLoop.load());
  // A failing clean-up leaves the busy flag set: the device is in an unknown
  // state and no further frame play should start on it.
  if (!driver_->CloseFrame(m)) return;
  FrameBusyFlag = false;
  host_.PostNotification(WM_FRAME_PLAY_END, 0);
}

}  // namespace ov

namespace ov {

void WavePlayRec::EndFramePlay() {
  if (!frameThread_.joinable()) return;
  FrameLoop = false;
  // Ending the wait makes the thread reset and close the frame output.
  FramePlayEvent.Set();
  frameThread_.join();
}

}  // namespace ov
