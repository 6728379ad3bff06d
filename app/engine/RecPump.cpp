// RecThread: queues the record ring with the device, waits for each filled
// buffer, accounts it, writes it to the recording file and to the record
// monitor, and re-queues it.
#include <algorithm>
#include <cstring>

#include "app/engine/EngineTexts.h"
#include "app/engine/RecordState.h"
#include "app/engine/WavePlayRec.h"

namespace ov {

void WavePlayRec::RecThreadMain() {
  SetCurrentThreadPriorityLevel(RecThreadPriority);
  BufferTimeMs = recRunPlan_.perSec ? 1000 / recRunPlan_.perSec : 500;
  BufferTimeMaxMs = 0;
  OverrunCount = 0;
  bool rf64 = RecFileRf64();
  OnMain<&WavePlayRec::RecInit>();
  host_.PostNotification(WM_REC_BEGIN, 0);
  for (uint32_t i = 0;; ++i) {
    if (!RecQueue()) break;
    OnMain<&WavePlayRec::RecPositionUpdate>();
    WaitRecCompletion();
    RecordedSamples.fetch_add(RecBufSamples);
    recElapsed_ = 0;
    const uint32_t now = TickMs();
    const uint32_t interval = now - LastRecTick.load();
    if (i > 0) {
      if (interval > BufferTimeMaxMs) BufferTimeMaxMs = interval;
      if (interval > BufferTimeMs) ++OverrunCount;
    }
    LastRecTick = now;
    // The event may come before the device marks the buffer done.
    while (!driver_->InputDone(RecIndex) && !StopRequest.load()) SleepMs(10);
    driver_->DriverFault(Message);
    if (StopRequest.load()) break;
    if (!Message.Empty()) break;
    const bool goOn = RecProcessBuffer();
    RecQueued -= 1;
    if (!goOn) break;
    if (RecFileRf64() != rf64) {
      rf64 = !rf64;
      host_.RunOnMainThread(
          [](void* self) { static_cast<WavePlayRec*>(self)->UpdateFormatText(2, true); }, this);
    }
    if (StopRequest.load()) break;
  }
  RecStopDevices();
  OnMain<&WavePlayRec::RecFinished>();
  recPumpCpuMs_ = CurrentThreadCpuMs();
  host_.PostNotification(WM_REC_END, 0);
  recAlive_ = false;
}

void WavePlayRec::WaitRecCompletion() {
  if (!driver_->HasDoneFlags()) {
    RecEvent.Wait();
    return;
  }
  // The buffer counts only once it is marked done. A buffer finished during a
  // slow pass leaves the event signalled: that signal wakes the next wait
  // early, which then goes on waiting for the mark.
  while (!driver_->InputDone(RecIndex) && !StopRequest.load()) RecEvent.Wait();
}

bool WavePlayRec::RecQueue() {
  while (RecQueued < RecBufCount) {
    if (RecReprime) {
      RecReprime = false;
      RecQueued = 0;
      RecIndex = 0;
      RecRing.Fill(RecSilence);  // both halves with the monitor
    }
    if (!driver_->QueueInput(RecIndex, RecRing.Buffer(RecIndex), RecBufBytes, Message)) {
      return false;
    }
    RecIndex = (RecIndex + 1) % RecBufCount;
    RecQueued += 1;
    // Only the first complete queue of a run starts the device; later calls
    // re-queue one buffer and must neither drop a pending completion signal
    // nor restart the buffer clock.
    if (RecQueued == RecBufCount && !recDeviceStarted_) {
      recDeviceStarted_ = true;
      RecEvent.Reset();
      if (recState_.load() != kRecPaused) {
        if (cb_.OnSyncStart && !syncGateOff_.load()) cb_.OnSyncStart(true);
        if (!driver_->StartInput(Message)) return false;
        SetRecState(kRecRecording);
      }
      LastRecTick = TickMs();
      if (cb_.OnDisplayRun && !RecDisplayStarted) {
        cb_.OnDisplayRun(true);
        RecDisplayStarted = true;
      }
    }
  }
  return true;
}

bool WavePlayRec::RecProcessBuffer() {
  uint8_t* buf = RecRing.Buffer(RecIndex);
  uint32_t bytes = driver_->BytesRecorded(RecIndex);
  if (bytes == 0) bytes = Align();
  if (bytes > RecBufBytes) bytes = RecBufBytes;
  if (bytes < RecBufBytes) std::memset(buf + bytes, RecSilence, RecBufBytes - bytes);
  if (RecToFile) {
    if (WriteRecBlock(buf, bytes) == 0) return false;
    if (MonitorWithFile) RecMonitorWrite(bytes, buf);
    return true;
  }
  return RecMonitorWrite(bytes, buf) != 0;
}

uint32_t WavePlayRec::RecMonitorWrite(uint32_t bytes, uint8_t* data) {
  if (bytes == 0) return 0;
  if (cb_.OnRecordedData) bytes = std::min(cb_.OnRecordedData(bytes, data), bytes);
  if (RecMonitor && driver_->OutputOpen()) {
    // The monitor's play buffer of the same slot: it was written one ring
    // cycle ago and has long been played.
    uint8_t* out = RecRing.Buffer(1, RecIndex);
    std::memcpy(out, data, bytes);
    if (bytes < RecBufBytes) std::memset(out + bytes, RecSilence, RecBufBytes - bytes);
    if (!driver_->SubmitOutput(RecIndex, out, bytes, Message)) return 0;
  }
  return bytes;
}

void WavePlayRec::RecStopDevices() {
  while (playState_.load() == kPlayPlaying) SleepMs(5);
  if (RecDisplayStarted) {
    if (cb_.OnDisplayRun) cb_.OnDisplayRun(false);
    RecDisplayStarted = false;
  }
  if (RecToFile && Message.Empty()) KeepCapturedTail();
  driver_->EndInput(RecBufCount, Message);
  if (RecMonitor) {
    driver_->DrainOutput(RecBufCount, Message);
    driver_->CloseOutput(Message);
  }
}

// A stop leaves the pump before it takes the buffers the device has already
// filled. Stopping the input also returns the partly filled one; all of them,
// oldest first, still go into the file, so that the recording ends where the
// user stopped it.
void WavePlayRec::KeepCapturedTail() {
  EngineMessage ignored;
  if (!driver_->FinishInput(ignored)) return;
  // The queued buffers are the RecQueued slots before the next one to queue
  // (RecIndex wraps onto it). When the stop came right after a buffer was
  // written, that buffer is still marked done but not queued again: starting
  // at RecIndex would write it twice.
  const uint32_t oldest = (RecIndex + RecBufCount - RecQueued) % RecBufCount;
  for (uint32_t n = 0; n < RecQueued; ++n) {
    const uint32_t index = (oldest + n) % RecBufCount;
    if (!driver_->InputDone(index)) break;
    uint32_t bytes = driver_->BytesRecorded(index);
    if (bytes > RecBufBytes) bytes = RecBufBytes;
    bytes -= bytes % Align();
    if (bytes == 0) break;
    if (WriteRecBlock(RecRing.Buffer(index), bytes) == 0) break;
  }
}

// ---------------------------------------------------------------- main-thread steps

void WavePlayRec::RecInit() {
  host_.EnableButton(EngineButton::Rec, false);
  host_.EnableButton(EngineButton::Stop, true);
  host_.SetButtonDown(EngineButton::Pause, false);
  host_.EnableButton(EngineButton::Pause, true);
  savedPlayButton_ = host_.IsButtonEnabled(EngineButton::Play);
  host_.EnableButton(EngineButton::Play, false);
  Paused = false;
  RecReprime = true;
  RecQueued = 0;
  recDeviceStarted_ = false;
  const double deviceSeconds = driver_->InputLatencySeconds();
  RecLatencyBytes =
      LatencySamples(RecLatencyCorrect_ms, reader_.format.samplesPerSec, deviceSeconds, 1.25) *
      Align();
  RecDisplayStarted = false;
}

void WavePlayRec::RecPositionUpdate() {
  RecPosition = GetRecSamplePosition();
  UpdateRecordTimeText();
  if (cb_.OnRecPosition) cb_.OnRecPosition();
}

void WavePlayRec::RecFinished() {
  // The final close replaces the open file's records (name, format, chunks,
  // markers), which the main thread reads: it runs here, on the main thread.
  if (RecToFile) {
    // The final parse of the file reports into the engine's message text: the
    // reason a failed run ended must outlive it, or the failure would look
    // like a clean stop.
    const EngineMessage failure = Message;
    rec_->FinishRecording();
    if (!failure.Empty()) Message = failure;
  }
  EngineMessage closeMessage;
  driver_->CloseInput(closeMessage);
  if (!closeMessage.Empty()) Message = closeMessage;
  ReleaseDevices(2);
  if (RecToFile) UpdateFormatText(2, false);
  RecPosition = 0;
  host_.SetPositionLabelColour(kButtonFaceColour);
  if (RecToFile) {
    UpdateRecordTimeText();
  } else {
    host_.SetLabelText(EngineLabel::Position, "");
  }
  host_.EnableButton(EngineButton::Rec, true);
  host_.EnableButton(EngineButton::Stop, false);
  host_.SetButtonDown(EngineButton::Pause, false);
  host_.EnableButton(EngineButton::Pause, false);
  host_.EnableButton(EngineButton::Play, savedPlayButton_);
  Paused = false;
  SetRecState(kRecStopped);
  ShowStoppedIfFailed();
}

}  // namespace ov
