// PlayThread: fills the play ring from the file through the reader, hands each
// filled buffer to the device, waits for one to be consumed, accounts it, and
// repeats; at the end continues with the next play-list item of another format.
#include <algorithm>
#include <cstring>

#include "app/engine/EngineTexts.h"
#include "app/engine/WavePlayRec.h"

namespace ov {

void WavePlayRec::PlayThreadMain() {
  SetCurrentThreadPriorityLevel(PlayThreadPriority);
  OnMain<&WavePlayRec::PlayBegin>();
  host_.PostNotification(WM_PLAY_BEGIN, 0);
  for (;;) {
    PlayInit();
    FillStep step{FillStep::Queued, 1};
    do {
      ParkIfRequested();
      // Once a fill found the data's end, the rest of the run plays out what
      // is queued without reading.
      step = PlayFillNext(step.kind == FillStep::Priming || step.bytes != 0);
      if (step.kind == FillStep::Finished) break;
      // A failed fill with nothing in flight would wait for ever.
      if (!Message.Empty() && InFlight == 0) break;
      OnMain<&WavePlayRec::PlayPositionUpdate>();
      if (step.kind == FillStep::Priming) continue;
      WaitPlayCompletion();
      PlayedSamples.fetch_add(PlayBufSamples);
      playElapsed_ = 0;
      LastPlayTick = TickMs();
      if (PlayDeviceOpen) driver_->DriverFault(Message);
      if (StopRequest.load()) {
        InFlight = 1;
        break;
      }
      DoneIndex = (DoneIndex + 1) % PlayBufCount;
      if (!Message.Empty() || StopRequest.load()) InFlight = 1;
      InFlight -= 1;
    } while (InFlight != 0);
    PlayDrain();
    OnMain<&WavePlayRec::PlayNextItem>();
    if (!ContinueWithNextItem) break;
  }
  primed_ = true;  // nothing left to wait for
  OnMain<&WavePlayRec::PlayFinished>();
  playPumpCpuMs_ = CurrentThreadCpuMs();
  host_.PostNotification(WM_PLAY_END, 0);
  playAlive_ = false;
}

void WavePlayRec::WaitPlayCompletion() {
  const bool doneFlags = driver_->HasDoneFlags() && PlayDeviceOpen;
  // A completion whose signal merged with an earlier one is already marked.
  while (!doneFlags || !driver_->OutputDone(DoneIndex)) {
    PlayEvent.Wait();
    if (parkRequest_.load()) {
      ParkIfRequested();
      return;  // the seek that parked the pump set the re-prime
    }
    if (!doneFlags || StopRequest.load() || reader_.reprime.load()) return;
  }
}

void WavePlayRec::ParkIfRequested() {
  while (parkRequest_.load()) {
    pumpParked_ = true;
    parkRelease_.Wait();
    pumpParked_ = false;
    // A seek while paused leaves the device paused: the pump waits for the
    // resume (or the next seek, or Stop) before it re-primes.
    if (playState_.load() != kPlayPaused || StopRequest.load()) return;
    PlayEvent.Wait();
  }
}

void WavePlayRec::PlayInit() {
  // StopRequest is cleared by StartPlay, not here: a Stop that comes before
  // the thread gets this far must not be lost.
  Paused = AnalyzeStart.load();
  BuffersWritten = FilledCount = InFlight = DoneIndex = FillIndex = 0;
  reader_.pausedPlayed = 0;
  reader_.reprimeStartBytes = 0;
  PrimeTarget = playRunPlan_.aheadCount;
  const double deviceSeconds = PlayDeviceOpen ? driver_->OutputLatencySeconds() : 0.05;
  PlayLatencyBytes =
      LatencySamples(PlayLatencyCorrect_ms, reader_.format.samplesPerSec, deviceSeconds, 1.1) *
      Align();
  DisplayStarted = false;
}

WavePlayRec::FillStep WavePlayRec::PlayFillNext(bool readFile) {
  const uint32_t ahead = playRunPlan_.aheadCount;
  if (reader_.reprime.load()) {
    primed_ = false;
    FilledCount = InFlight = DoneIndex = FillIndex = 0;
    PrimeTarget = ahead;
    if (PlayDeviceOpen) {
      if (!driver_->ResetOutput(Message) || !driver_->PauseOutput(Message)) {
        return {FillStep::Queued, 0};
      }
    }
    if (AnalyzeStart.load()) SetPlayState(kPlayPaused);
    readFile = true;
    PlayedSamples = 0;
    playElapsed_ = 0;
    LastPlayTick = TickMs();
  }

  uint8_t* buf = PlayRing.Buffer(FillIndex);
  uint32_t count = 0;
  if (readFile) {
    count = ReadStream(reader_, buf, PlayBufBytes);
    if (reader_.itemSwitchPending.load()) ItemSwitchPending = true;
    if (count && cb_.OnPlayDataRead) count = std::min(cb_.OnPlayDataRead(buf, count), count);
  }
  if (count < PlayBufBytes) {
    std::memset(buf + count, static_cast<int>(reader_.playSilence), PlayBufBytes - count);
  }
  if (Paused.load()) count = PlayBufBytes;

  if (PlayDeviceOpen && count != 0) {
    if (!driver_->SubmitOutput(FillIndex, buf, count, Message)) return {FillStep::Queued, 0};
  }
  if (count != 0) {
    ++BuffersWritten;
    ++InFlight;
  }
  FillIndex = (FillIndex + 1) % PlayBufCount;
  ++FilledCount;

  // A file shorter than the ahead buffers starts as soon as its data is used up.
  if (count == 0 && FilledCount < ahead && PrimeTarget == ahead) PrimeTarget = FilledCount;

  if (FilledCount == PrimeTarget) {
    PlayEvent.Reset();
    if (StopRequest.load()) PlayEvent.Set();  // keep a Stop that came meanwhile
    if (AnalyzeStart.load()) {
      AnalyzeStart = false;
    } else {
      if (PlayDeviceOpen) {
        if (InFlight <= playRunPlan_.skipAtTop) return {FillStep::Finished, 0};
        SyncDone = cb_.OnSyncStart && !syncGateOff_.load() ? cb_.OnSyncStart(false) : false;
        // A device that does not start ends the run (without a text of its own).
        if (!driver_->RestartOutput(Message)) return {FillStep::Finished, 0};
        if (!SyncDone.load()) WaitUntilPositionMoves(false);
        LastPlayTick = TickMs();
      }
      SetPlayState(kPlayPlaying);
    }
    if (cb_.OnDisplayRun && !DisplayStarted) {
      cb_.OnDisplayRun(true);
      DisplayStarted = true;
    }
    primed_ = true;
  }
  if (FilledCount < PrimeTarget) return {FillStep::Priming, count};
  if (count == 0 && InFlight <= playRunPlan_.skipAtEnd) return {FillStep::Finished, 0};
  return {FillStep::Queued, count};
}

void WavePlayRec::WaitUntilPositionMoves(bool processMessages) {
  uint64_t first = 0;
  if (!driver_->OutputPosition(first)) return;
  const uint32_t start = TickMs();
  for (;;) {
    if (processMessages) host_.ProcessMessages();
    SleepMs(1);
    uint64_t now = 0;
    if (!driver_->OutputPosition(now) || now > first) return;
    if (TickMs() - start > 399) return;
  }
}

void WavePlayRec::PlayDrain() {
  if (DisplayStarted) {
    if (cb_.OnDisplayRun) cb_.OnDisplayRun(false);
    DisplayStarted = false;
  }
  if (PlayDeviceOpen) {
    const uint32_t n = BuffersWritten < PlayBufCount ? BuffersWritten : PlayBufCount;
    driver_->DrainOutput(n, Message);
  }
}

// ---------------------------------------------------------------- main-thread steps

void WavePlayRec::PlayBegin() {
  host_.EnableButton(EngineButton::Play, false);
  host_.EnableButton(EngineButton::Stop, true);
  host_.EnableButton(EngineButton::Pause, true);
  if (AnalyzeStart.load()) host_.SetButtonDown(EngineButton::Pause, true);
  savedRecButton_ = host_.IsButtonEnabled(EngineButton::Rec);
  host_.EnableButton(EngineButton::Rec, false);
  if (PlayWithFullVol && PlayDeviceOpen) driver_->SetFullVolume();
}

void WavePlayRec::PlayPositionUpdate() {
  if (!reader_.reprime.load() && playState_.load() == kPlayPlaying) {
    const uint64_t align = Align();
    const uint64_t p = GetPlaySamplePosition() + reader_.reprimeStartBytes / align;
    const uint64_t off = ItemStreamOffset / align;
    reader_.position = p >= off ? p - off : 0;
    UpdatePositionTexts(false);
    const PlayItem* prev = reader_.previousItem;
    if (ItemSwitchPending.load() && prev &&
        reader_.position * align >= prev->dataSize + prev->trailingSilence) {
      // The audible position has passed the end of the previous item: the
      // texts, the bar and the caption switch to the new one. The reader
      // already owes the new item's trailing silence.
      ItemStreamOffset += prev->dataSize + prev->trailingSilence;
      ItemSwitchPending = false;
      reader_.itemSwitchPending = false;
      AfterOpen();
    }
  }
  if (cb_.OnPlayPosition) cb_.OnPlayPosition();
}

void WavePlayRec::PlayNextItem() {
  ContinueWithNextItem = false;
  if (!PlayFromFile) return;
  CloseReadFile(reader_);
  if (ItemSwitchPending.exchange(false)) {
    // The run ended before the position reached the item the stream had
    // switched to: it became current all the same.
    AfterOpen();
  }
  const PlayItem* next = cb_.OnPlayListCursor ? cb_.OnPlayListCursor(true) : nullptr;
  if (!next || !Message.Empty() || StopRequest.load()) return;
  ItemStreamOffset = 0;
  reader_.itemSwitchPending = false;
  ItemSwitchPending = false;
  reader_.previousItem = nullptr;
  reader_.currentItem = next;
  reader_.itemSilenceBytes = next->trailingSilence;
  reader_.position = 0;
  if (!OpenForPlay(reader_, nullptr, false)) return;
  reader_.reprime = true;
  AfterOpen();
  if (PlayDeviceOpen) {
    // The device is reopened for the new format on the identifier the first
    // run's device reported, not the mapper.
    driver_->CloseOutput(Message);
    if (!Message.Empty()) return;
    if (!OpenOutputDevice(playDeviceId_)) return;
  }
  if (!PrepareBuffers(1)) return;
  ContinueWithNextItem = true;
}

void WavePlayRec::PlayFinished() {
  EngineMessage closeMessage;
  driver_->CloseOutput(closeMessage);
  if (!closeMessage.Empty()) Message = closeMessage;
  ReleaseDevices(1);
  reader_.position = 0;
  UpdatePositionTexts(true);
  host_.EnableButton(EngineButton::Play, true);
  host_.EnableButton(EngineButton::Stop, false);
  host_.SetButtonDown(EngineButton::Pause, false);
  host_.EnableButton(EngineButton::Pause, false);
  host_.EnableButton(EngineButton::Rec, savedRecButton_);
  Paused = false;
  SetPlayState(kPlayStopped);
  ShowStoppedIfFailed();
}

}  // namespace ov
