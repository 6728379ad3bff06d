// WavePlayRec: construction, settings, devices, buffer plans, opening,
// starting and stopping, pausing, seeking, positions and the display hand-off.
#include "app/engine/WavePlayRec.h"

#include <algorithm>
#include <cstring>

#include "app/engine/DirectDrawProbe.h"
#include "app/engine/EngineTexts.h"
#include "app/engine/RecordState.h"

namespace ov {

WavePlayRec::WavePlayRec(EngineHost& host, UserNotifier& notifier, std::atomic<int32_t>& playState,
                         std::atomic<int32_t>& recState, EngineCallbacks callbacks,
                         const EngineSettings& s, std::unique_ptr<AudioDriver> driver,
                         std::unique_ptr<LibraryLoader> libraries)
    : host_(host),
      notifier_(notifier),
      playState_(playState),
      recState_(recState),
      cb_(std::move(callbacks)),
      language_(s.language),
      OriginatorText(s.originatorText.substr(0, 49)),
      driver_(std::move(driver)),
      injectedDriver_(driver_ != nullptr),
      avrt_(libraries ? std::move(libraries) : CreateSystemLibraryLoader()),
      PlayLatencyCorrect_ms(s.PlayLatencyCorrect_ms),
      RecLatencyCorrect_ms(s.RecLatencyCorrect_ms),
      Use_WF_EXTENSIBLE(s.Use_WF_EXTENSIBLE),
      Use_WF_DIRECT(s.Use_WF_DIRECT),
      RecUpdateHeaderPeriod(s.RecUpdateHeaderPeriod),
      Rec_RF64(s.Rec_RF64),
      Rec_BWF(s.Rec_BWF),
      DS_PlayLatency(s.DS_PlayLatency),
      DS_RecLatency(s.DS_RecLatency),
      WAS_Latency(s.WAS_Latency),
      WAS_EventMode(s.WAS_EventMode),
      PlayThreadPriority(s.PlayThreadPriority),
      RecThreadPriority(s.RecThreadPriority),
      Message(reader_.message) {
  playPlan_.perSec = s.NofPlayBufPerSec;
  playPlan_.minCount = s.NofPlayBuf;
  playPlan_.minSamples = s.PlayBufSampleSizeMin;
  recPlan_.perSec = s.NofRecBufPerSec;
  recPlan_.minCount = s.NofRecBuf;
  recPlan_.minSamples = s.RecBufSampleSizeMin;
  reader_.dataSaveBytes = s.DataSaveBytes;
  reader_.notifier = &notifier_;
  reader_.language = language_;
  if (cb_.OnPlayListCursor) reader_.onPlayListCursor = cb_.OnPlayListCursor;
  rec_ = std::make_unique<RecordState>(*this);
  rec_->Configure(Rec_RF64, Rec_BWF, RecUpdateHeaderPeriod);

  ResetControls();
  // Construction default: PCM, 2 channels, 44100 Hz, 16 bits.
  WaveFormat& f = reader_.format;
  f = WaveFormat{};
  f.formatTag = kWaveFormatPcm;
  f.channels = 2;
  f.samplesPerSec = 44100;
  f.avgBytesPerSec = 176400;
  f.blockAlign = 4;
  f.bitsPerSample = 16;
  reader_.isPcm = 1;
  std::string planMessage;
  playPlan_.Compute(f.samplesPerSec, f.blockAlign, planMessage);
  recPlan_.Compute(f.samplesPerSec, f.blockAlign, planMessage);
  BufferTimeMs = 1000 / (recPlan_.perSec ? recPlan_.perSec : 2);

  directXAvailable_ = ProbeDirectDraw7();
  DriverType = s.PlayRecDriverType < 0 ? kDriverMme : s.PlayRecDriverType;
  if (!driver_) driver_ = CreateAudioDriver(DriverType, &avrt_);  // no system call yet
  // Without the scheduler's entry points the construction ends here: no device
  // check. The engine stays safe to use and to destroy; the user is told why.
  if (!avrt_.Bind(AvrtMessage)) {
    Message.Set(AvrtMessage.c_str());
    notifier_.Notify(AvrtMessage.c_str(), NoticeIcon::Warning);
    return;
  }
  CheckDevices(true);
  if (Failed && DriverType != kDriverMme && !injectedDriver_) {
    DriverType = kDriverMme;
    driver_ = CreateAudioDriver(DriverType, &avrt_);
    CheckDevices(false);
  }
  host_.EnableButton(EngineButton::Rec, true);
}

WavePlayRec::~WavePlayRec() {
  Stop();
  EndFramePlay();
  ReleaseAll();
  if (!avrt_.Free(AvrtMessage)) notifier_.Notify(AvrtMessage.c_str(), NoticeIcon::Warning);
}

// ------------------------------------------------------------------ settings

void WavePlayRec::SetRecRF64(bool on) {
  Rec_RF64 = on;
  rec_->Configure(Rec_RF64, Rec_BWF, RecUpdateHeaderPeriod);
}
void WavePlayRec::SetRecBWF(bool on) {
  Rec_BWF = on;
  rec_->Configure(Rec_RF64, Rec_BWF, RecUpdateHeaderPeriod);
}
void WavePlayRec::SetRecUpdateHeaderPeriod(int32_t seconds) {
  RecUpdateHeaderPeriod = seconds;
  rec_->Configure(Rec_RF64, Rec_BWF, RecUpdateHeaderPeriod);
}
void WavePlayRec::SetRecFileDivideBytes(uint64_t bytes) {
  rec_->SetDivideBytes(bytes);
}

void WavePlayRec::ResetControls() {
  host_.EnableButton(EngineButton::Play, false);
  host_.EnableButton(EngineButton::Stop, false);
  host_.EnableButton(EngineButton::Pause, false);
  host_.EnableButton(EngineButton::Rec, true);
  host_.SetLabelText(EngineLabel::Position, "");
  host_.SetLabelText(EngineLabel::Length, "");
  host_.SetLabelText(EngineLabel::Format, "");
  host_.SetTrackBar(TrackBarSetup{});
  PlayOpened = RecOpened = PlayFromFile = RecToFile = false;
  Paused = false;
  StopRequest = false;
  SetPlayState(kPlayStopped);
  SetRecState(kRecStopped);
}

// ------------------------------------------------------------------ devices

void WavePlayRec::CheckDevices(bool clearMessage) {
  if (clearMessage) Message.Clear();
  if (driver_->NeedsDirectX() && !directXAvailable_) {
    WaveOutCount = WaveInCount = 0;
    Failed = true;
    Message.Set(text::kDirectXRequired);
    return;
  }
  const DeviceCheck c = driver_->CheckDevices();
  WaveOutCount = c.outputs;
  WaveInCount = c.inputs;
  Failed = c.unusable;
  if (!c.message.empty()) Message.Set(c.message.c_str());
}

DriverChange WavePlayRec::SetDriverType(int32_t type) {
  if (type == DriverType || type < 0) return DriverChange::Unchanged;
  // The family's devices belong to the running pumps.
  if (InMessageWait() || playAlive_.load() || recAlive_.load()) return DriverChange::Unusable;
  EndFramePlay();  // its output belongs to the old family
  ReleaseAll();
  const int32_t old = DriverType;
  DriverType = type;
  driver_ = CreateAudioDriver(type, &avrt_);
  CheckDevices(true);
  if (!Failed) return DriverChange::Changed;
  DriverType = old;
  driver_ = CreateAudioDriver(old, &avrt_);
  CheckDevices(false);
  return DriverChange::Unusable;
}

uint32_t WavePlayRec::GetDeviceCount(AudioDirection direction) {
  return driver_->DeviceCount(direction == AudioDirection::Input);
}

std::string WavePlayRec::GetDeviceName(uint32_t number, AudioDirection direction) {
  return driver_->DeviceName(number, direction == AudioDirection::Input);
}

void WavePlayRec::ReleaseDevices(uint32_t mask) {
  if (mask & 1) {
    PlayEvent.Reset();
    FramePlayEvent.Reset();
  }
  if (mask & 2) RecEvent.Reset();
}

void WavePlayRec::ReleaseAll() {
  ReleaseDevices(3);
  EngineMessage ignored;
  if (driver_->InputOpen()) {
    driver_->EndInput(RecBufCount, ignored);
    driver_->CloseInput(ignored);
  }
  if (driver_->OutputOpen()) {
    driver_->DrainOutput(kMaxBuffers, ignored);
    driver_->CloseOutput(ignored);
  }
  PlayRing.Free();
  RecRing.Free();
}

// ------------------------------------------------------------------ buffer plan

bool WavePlayRec::SetPlayBufferPlan(int32_t perSec, int32_t count, int32_t minSamples) {
  std::string m;
  const bool ok =
      playPlan_.SetPlan(perSec > 0 ? perSec : 0, count > 0 ? count : 0,
                        minSamples > 0 ? minSamples : 0, reader_.format.samplesPerSec, Align(), m);
  if (!ok) Message.Set(m.c_str());
  return ok;
}

bool WavePlayRec::SetRecBufferPlan(int32_t perSec, int32_t count, int32_t minSamples) {
  std::string m;
  const bool ok =
      recPlan_.SetPlan(perSec > 0 ? perSec : 0, count > 0 ? count : 0,
                       minSamples > 0 ? minSamples : 0, reader_.format.samplesPerSec, Align(), m);
  if (!ok) Message.Set(m.c_str());
  BufferTimeMs = 1000 / (recPlan_.perSec ? recPlan_.perSec : 2);
  return ok;
}

bool WavePlayRec::SetPlayBuffers(uint32_t count, uint32_t bytes, uint32_t ahead, uint32_t skipTop,
                                 uint32_t skipEnd) {
  std::string m;
  const bool ok = playPlan_.SetBuffers(count, bytes, ahead, skipTop, skipEnd, m);
  playPlan_.bufSamples = bytes / Align();
  if (!ok) Message.Set(m.c_str());
  return ok;
}

bool WavePlayRec::SetRecBuffers(uint32_t count, uint32_t bytes) {
  std::string m;
  const bool ok = recPlan_.SetBuffers(count, bytes, 0, 0, 0, m);
  recPlan_.bufSamples = bytes / Align();
  if (!ok) Message.Set(m.c_str());
  return ok;
}

BufferInfo WavePlayRec::GetBufferInfo(AudioDirection direction) const {
  const bool rec = direction == AudioDirection::Input;
  const BufferPlan& p = rec ? recPlan_ : playPlan_;
  BufferInfo b{};
  b.NumOfBuf = p.bufCount;
  b.BufSize = p.bufBytes;
  b.TotalBufSize = static_cast<uint32_t>(p.ringBytes);
  b.BufSamples = p.bufSamples;
  b.BufFixed = p.fixed;
  if (rec) {
    b.OverrunCount = OverrunCount;
    b.BufferTime = BufferTimeMs;
    b.BufferTimeMax = BufferTimeMaxMs;
  } else {
    b.NumOfAheadBuf = p.aheadCount;
    b.NumOfSkipBufAtTop = p.skipAtTop;
    b.NumOfSkipBufAtEnd = p.skipAtEnd;
  }
  return b;
}

bool WavePlayRec::PrepareBuffers(uint32_t mask) {
  PlayedSamples = 0;
  RecordedSamples = 0;
  LastPlayTick = LastRecTick = TickMs();
  playElapsed_ = recElapsed_ = 0;
  const uint32_t rate = reader_.format.samplesPerSec;
  std::string m;
  if (mask & 2) {
    if (!recPlan_.fixed && !recPlan_.Compute(rate, Align(), m)) {
      Message.Set(m.c_str());
      return false;
    }
    if (recPlan_.fixed) recPlan_.bufSamples = recPlan_.bufBytes / Align();
    recRunPlan_ = recPlan_;
    RecBufCount = recPlan_.bufCount;
    RecBufBytes = recPlan_.bufBytes;
    RecBufSamples = recPlan_.bufSamples;
    RecRingBytes = recPlan_.ringBytes;
    if (!RecRing.Layout(RecBufCount, RecBufBytes, RecMonitor ? 2 : 1)) {
      Message.Set(text::kNoMemory);
      return false;
    }
    RecRing.Fill(RecSilence);
    if (!driver_->AttachRing(true, RecRing.Data(), RecRingBytes, RecBufBytes, Message))
      return false;
    if (driver_->InputOpen() &&
        !driver_->PrepareInput({RecRing.Data(), RecBufCount, RecBufBytes, RecSilence}, Message)) {
      return false;
    }
  }
  if (mask & 1) {
    if (!playPlan_.fixed && !playPlan_.Compute(rate, Align(), m)) {
      Message.Set(m.c_str());
      return false;
    }
    if (playPlan_.fixed) playPlan_.bufSamples = playPlan_.bufBytes / Align();
    playRunPlan_ = playPlan_;
    PlayBufCount = playPlan_.bufCount;
    PlayBufBytes = playPlan_.bufBytes;
    PlayBufSamples = playPlan_.bufSamples;
    PlayRingBytes = playPlan_.ringBytes;
    if (!PlayRing.Layout(PlayBufCount, PlayBufBytes, 1)) {
      Message.Set(text::kNoMemory);
      return false;
    }
    PlayRing.Fill(static_cast<uint8_t>(reader_.playSilence));
    if (PlayDeviceOpen && !driver_->PauseOutput(Message)) return false;
    if (PlayDeviceOpen &&
        !driver_->AttachRing(false, PlayRing.Data(), PlayRingBytes, PlayBufBytes, Message)) {
      return false;
    }
    const RingLayout ring{PlayRing.Data(), PlayBufCount, PlayBufBytes,
                          static_cast<uint8_t>(reader_.playSilence)};
    if (PlayDeviceOpen && !driver_->PrepareOutput(ring, Message)) return false;
  }
  return true;
}

DriverOptions WavePlayRec::Options() const {
  DriverOptions o;
  o.useExtensible = Use_WF_EXTENSIBLE;
  o.useDirect = Use_WF_DIRECT;
  o.monoAsStereo = PlayForceMonoStereo;
  o.wasapiLatencyMs = WAS_Latency;
  o.wasapiEventMode = WAS_EventMode;
  o.dsPlayLatencyMs = DS_PlayLatency;
  o.dsRecLatencyMs = DS_RecLatency;
  o.playThreadPriority = PlayThreadPriority;
  o.recThreadPriority = RecThreadPriority;
  o.ownerWindow = host_.OwnerWindow();
  return o;
}

// ------------------------------------------------------------------ opening

EngineResult WavePlayRec::OpenPlay(const char* fileName, const PlayItem* item,
                                   PlayFileFormat* opened) {
  if (InMessageWait()) return EngineResult::Busy;
  // The open file's records and the engine's format belong to the running
  // pumps (both sides share the format), and a frame play may point into the
  // play ring: end them first.
  if (playAlive_.load() || recAlive_.load()) Stop();
  EndFramePlay();
  JoinFinishedThreads();
  Message.Clear();
  Failed = false;
  PlayFileName = fileName ? fileName : "";
  reader_.currentItem = item;
  reader_.previousItem = nullptr;
  if (!OpenForPlay(reader_, item ? item->fileName : PlayFileName.c_str(), true)) {
    Failed = true;
    return EngineResult::Failed;
  }
  CloseReadFile(reader_);
  if (!item) {
    CurrentItemRecord = PlayItem{};
    std::strncpy(CurrentItemRecord.fileName, PlayFileName.c_str(),
                 sizeof CurrentItemRecord.fileName - 1);
    CurrentItemRecord.format = reader_.format;
    CurrentItemRecord.floatWidth = reader_.floatWidth;
    CurrentItemRecord.valid = reader_.isPcm;
    CurrentItemRecord.dataSize = reader_.dataBytes;
    CurrentItemRecord.trailingSilence = 0;
    reader_.currentItem = &CurrentItemRecord;
  }
  if (opened) {
    opened->format = reader_.format;
    opened->isPcm = reader_.isPcm != 0;
    opened->floatWidth = reader_.floatWidth;
  }
  AfterOpen();
  UpdatePositionTexts(true);
  PlayFromFile = true;
  reader_.itemSwitchPending = false;
  PlayOpened = true;
  host_.EnableButton(EngineButton::Play, true);
  SetPlayState(kPlayStopped);
  return Failed ? EngineResult::Failed : EngineResult::Ok;
}

EngineResult WavePlayRec::OpenRec(const char* fileName, const WaveFormat& format,
                                  const RecOpenOptions& options) {
  if (InMessageWait()) return EngineResult::Busy;
  // The format belongs to both running pumps, the recording file to the
  // record pump; a frame play may point into the play ring.
  if (playAlive_.load() || recAlive_.load()) Stop();
  EndFramePlay();
  JoinFinishedThreads();
  Message.Clear();
  Failed = false;
  RecOpened = false;
  RecMonitor = options.monitor && DriverType == kDriverMme;
  reader_.format = format;
  reader_.floatWidth = FloatWidth(format);
  RecToFile = false;
  MonitorWithFile = false;
  if (fileName && *fileName) {
    if (!rec_->SetFileName(fileName) || !CreateRecFile()) {
      Failed = true;
      return EngineResult::Failed;
    }
    CloseRecFile();
    RecPosition = 0;
    UpdateRecordTimeText();
    RecToFile = true;
    MonitorWithFile = options.monitorWithFile;
  } else {
    rec_->PrepareFileless();
  }
  UpdateFormatText(2, false);
  RecSilence = format.bitsPerSample == 8 ? 128 : 0;
  SetRecState(kRecStopped);
  if (options.probe) {
    const int32_t n = options.probeDeviceNumber;
    const int32_t id = n <= 0 ? -1 : n - 1;
    if (!driver_->ProbeInput(id, format, Options(), Message)) Failed = true;
  }
  if (!Failed) RecOpened = true;
  return Failed ? EngineResult::Failed : EngineResult::Ok;
}

// ------------------------------------------------------------------ running

bool WavePlayRec::OpenOutputDevice(int32_t id) {
  if (!driver_->OpenOutput(id, reader_.format, Options(), PlayEvent, Message)) {
    EngineMessage keep = Message;
    driver_->CloseOutput(Message);
    Message = keep;
    return false;
  }
  return true;
}

bool WavePlayRec::OpenInputDevice(int32_t id) {
  if (!driver_->OpenInput(id, reader_.format, Options(), RecEvent, Message)) {
    EngineMessage keep = Message;
    driver_->CloseInput(Message);
    Message = keep;
    return false;
  }
  return true;
}

EngineResult WavePlayRec::StartPlay(int32_t deviceNumber, PlayMode mode, PlayOutput output,
                                    int32_t asioChannel) {
  if (InMessageWait()) return EngineResult::Busy;
  JoinFinishedThreads();
  Message.Clear();
  if (!PlayFromFile || !PlayOpened) return EngineResult::Failed;
  if (playAlive_.load() || playThread_.joinable()) return EngineResult::Failed;
  const bool analyze = mode == PlayMode::Analyze;
  EndFramePlay();  // the ring is laid out again
  const bool withDevice = output == PlayOutput::Device;
  ItemStreamOffset = 0;
  reader_.itemSwitchPending = false;
  ItemSwitchPending = false;
  reader_.itemSilenceBytes = reader_.currentItem ? reader_.currentItem->trailingSilence : 0;
  reader_.position = 0;
  const bool opened = OpenForPlay(reader_, nullptr, false);
  if (reader_.dataBytes == 0) {
    CloseReadFile(reader_);
    Message.Clear();
    return EngineResult::NoData;
  }
  if (!opened || !reader_.file) {
    CloseReadFile(reader_);
    return EngineResult::Failed;
  }
  PlayDeviceOpen = withDevice;
  const int32_t id = deviceNumber <= 0 ? -1 : deviceNumber - 1;
  if (withDevice) {
    driver_->SelectFirstChannel(false, asioChannel);
    if (!OpenOutputDevice(id)) {
      CloseReadFile(reader_);
      return EngineResult::Failed;
    }
    playDeviceId_ = driver_->OutputId();
  }
  if (!PrepareBuffers(1)) {
    EngineMessage keep = Message;
    driver_->CloseOutput(Message);
    Message = keep;
    ReleaseDevices(1);
    CloseReadFile(reader_);
    return EngineResult::Failed;
  }
  activeMask_ = 1;
  AnalyzeStart = analyze;
  reader_.reprime = true;
  SyncDone = false;
  StopRequest = false;
  primed_ = false;
  playAlive_ = true;
  playThread_ = std::thread([this] { PlayThreadMain(); });
  return EngineResult::Ok;
}

EngineResult WavePlayRec::StartRec(int32_t deviceNumber, RecStartMode mode, int32_t asioChannel) {
  if (InMessageWait()) return EngineResult::Busy;
  JoinFinishedThreads();
  Message.Clear();
  if (!RecOpened) return EngineResult::Failed;
  if (recAlive_.load() || recThread_.joinable()) return EngineResult::Failed;
  EndFramePlay();  // with the monitor it shares the output
  const int32_t id = deviceNumber <= 0 ? -1 : deviceNumber - 1;
  driver_->SelectFirstChannel(true, asioChannel);
  if (!OpenInputDevice(id)) return EngineResult::Failed;
  if (RecMonitor && !OpenOutputDevice(id)) {
    EngineMessage keep = Message;
    driver_->CloseInput(Message);
    Message = keep;
    return EngineResult::Failed;
  }
  if (!PrepareBuffers(2)) {
    EngineMessage keep = Message;
    driver_->CloseInput(Message);
    driver_->CloseOutput(Message);
    Message = keep;
    ReleaseDevices(2);
    return EngineResult::Failed;
  }
  if (mode == RecStartMode::ProbeOnly) {
    driver_->CloseInput(Message);
    if (RecMonitor) driver_->CloseOutput(Message);
    ReleaseDevices(2);
    return EngineResult::Ok;
  }
  host_.SetLabelText(EngineLabel::Position, text::kRecInLabel);
  host_.SetPositionLabelColour(kRecLabelColour);
  host_.SetLabelText(EngineLabel::Length, "");
  host_.SetTrackBar(TrackBarSetup{});
  if (RecToFile) {
    if (!CreateRecFile()) {
      EngineMessage keep = Message;
      driver_->CloseInput(Message);
      if (RecMonitor) driver_->CloseOutput(Message);
      Message = keep;
      ReleaseDevices(2);
      host_.SetPositionLabelColour(kButtonFaceColour);
      return EngineResult::Failed;
    }
    host_.SetLabelText(EngineLabel::Position, "00m00s");
    const uint64_t bps = reader_.format.avgBytesPerSec ? reader_.format.avgBytesPerSec : 1;
    uint64_t seconds = rec_->CapacityBytes() / bps;
    if (seconds > 59999) seconds = 59999;
    host_.SetLabelText(EngineLabel::Length, MinutesSecondsText(seconds));
    rec_->ClearDivideRequest();
  }
  SetRecState(kRecStarting);
  activeMask_ = 2;
  StopRequest = false;
  recAlive_ = true;
  recThread_ = std::thread([this] { RecThreadMain(); });
  return EngineResult::Ok;
}

void WavePlayRec::WaitWithMessages(uint32_t sleepMs, const std::function<bool()>& done) {
  MessageWaitScope inWait(*this);
  while (!done()) {
    host_.ProcessMessages();
    SleepMs(sleepMs);
  }
}

void WavePlayRec::Stop() {
  StopRequest = true;
  if (InMessageWait()) {
    // Called from a window handler inside one of the engine's waits: the
    // request is enough, the outer wait sees the pumps end.
    if (playAlive_.load()) PlayEvent.Set();
    if (recAlive_.load()) RecEvent.Set();
    return;
  }
  EndFramePlay();
  // The events are signalled again on every pass: a pump that resets its
  // event while priming or queueing must still see the stop.
  WaitWithMessages(5, [&] {
    if (!playAlive_.load()) return true;
    PlayEvent.Set();
    return false;
  });
  WaitWithMessages(5, [&] {
    if (!recAlive_.load()) return true;
    RecEvent.Set();
    return false;
  });
  activeMask_ = 0;
  JoinFinishedThreads();
}

void WavePlayRec::JoinFinishedThreads() {
  // A pump sets its state to Stopped in its last main-thread step; what is
  // left is a posted notification, so these joins return at once.
  if (playThread_.joinable() && !playAlive_.load()) playThread_.join();
  if (recThread_.joinable() && !recAlive_.load()) recThread_.join();
  if (frameThread_.joinable() && !FrameBusyFlag.load()) frameThread_.join();
}

void WavePlayRec::WaitPrimed() {
  if (!playAlive_.load() || primed_.load()) return;
  const uint32_t start = TickMs();
  WaitWithMessages(1,
                   [&] { return primed_.load() || !playAlive_.load() || TickMs() - start > 5000; });
}

uint64_t WavePlayRec::TogglePause() {
  if (InMessageWait()) return GetPausedPosition();
  WaitPrimed();
  Paused = !Paused;
  if (Paused) {
    PauseDevices();
  } else {
    ResumeDevices();
  }
  return GetPausedPosition();
}

void WavePlayRec::PauseDevices() {
  if (playState_.load() != kPlayStopped) {
    if (PlayDeviceOpen) driver_->PauseOutput(Message);
    reader_.pausedPlayed = GetPlaySamplePosition();
    SetPlayState(kPlayPaused);
  }
  if (recState_.load() != kRecStopped) {
    driver_->StopInput(Message);
    if (RecMonitor) driver_->PauseOutput(Message);
    SetRecState(kRecPaused);
  }
}

void WavePlayRec::ResumeDevices() {
  if (playState_.load() != kPlayStopped) {
    if (reader_.reprime.load()) {
      PlayedSamples = 0;
      playElapsed_ = 0;
      // The play thread re-primes from the new position: resetting the output
      // returns every buffer and wakes it.
      if (PlayDeviceOpen) {
        driver_->ResetOutput(Message);
      }
      PlayEvent.Set();
      if (!SyncDone.load()) {
        const uint32_t start = TickMs();
        WaitWithMessages(
            1, [&] { return playState_.load() != kPlayPaused || TickMs() - start >= 500; });
      }
      SetPlayState(kPlayPlaying);
    } else {
      if (PlayDeviceOpen) driver_->RestartOutput(Message);
      if (PlayDeviceOpen) WaitUntilPositionMoves(true);
      LastPlayTick = TickMs() - playElapsed_.load();
      SetPlayState(kPlayPlaying);
    }
  }
  if (recState_.load() != kRecStopped) {
    driver_->StartInput(Message);
    if (RecMonitor) driver_->RestartOutput(Message);
    LastRecTick = TickMs() - recElapsed_.load();
    SetRecState(kRecRecording);
  }
}

void WavePlayRec::RequestDivide() {
  if (RecToFile && recState_.load() != kRecStopped) rec_->RequestDivide();
}

// ------------------------------------------------------------------ positions

bool WavePlayRec::ParkPlayPump() {
  if (!playAlive_.load()) return false;
  parkRequest_ = true;
  WaitWithMessages(1, [&] {
    if (pumpParked_.load() || !playAlive_.load()) return true;
    PlayEvent.Set();  // wakes a pump that waits for a completion
    return false;
  });
  if (pumpParked_.load()) return true;
  parkRequest_ = false;
  return false;
}

void WavePlayRec::ReleasePlayPump() {
  // The wake-ups of the request were no completions; the seek's re-prime
  // resets the device and the counters anyway.
  PlayEvent.Reset();
  parkRequest_ = false;
  parkRelease_.Set();
}

void WavePlayRec::RereadRingInPlace() {
  BlockFromRingStart = true;
  // The re-read stays inside the current item: following the play list here
  // would switch items behind the pump's latch, and the resume would then use
  // this item's position in the next item's file. The resume re-primes from
  // the position and follows the list itself; the item's trailing silence is
  // owed again then.
  PlayListCursorFn cursor = std::move(reader_.onPlayListCursor);
  reader_.onPlayListCursor = nullptr;
  const uint32_t owedSilence = reader_.itemSilenceBytes;
  const bool silenceInserted = reader_.silenceInserted;
  for (uint32_t i = 0; i < PlayBufCount; ++i) {
    uint8_t* buf = PlayRing.Buffer(i);
    const uint32_t got = ReadStream(reader_, buf, PlayBufBytes);
    if (got < PlayBufBytes) {
      std::memset(buf + got, static_cast<int>(reader_.playSilence), PlayBufBytes - got);
    }
  }
  reader_.onPlayListCursor = std::move(cursor);
  reader_.itemSilenceBytes = owedSilence;
  reader_.silenceInserted = silenceInserted;
  reader_.itemSwitchPending = false;
  reader_.reprime = true;
  DoneIndex = FillIndex = 0;
}

uint64_t WavePlayRec::SeekToByte(int64_t bytes) {
  if (InMessageWait()) return reader_.position;
  WaitPrimed();
  // The pump reads through the reader and fills the ring: the main thread
  // touches neither while the pump runs. Parked, the pump takes the seek
  // (the re-prime with its device reset) when it is released.
  const bool parked = ParkPlayPump();
  if (!parked && playAlive_.load()) return reader_.position;
  if (ItemSwitchPending.exchange(false)) {
    CloseReadFile(reader_);
    reader_.itemSwitchPending = false;
    if (reader_.previousItem) {
      reader_.currentItem = reader_.previousItem;
      reader_.itemSilenceBytes = reader_.currentItem->trailingSilence;
      OpenForPlay(reader_, nullptr, false);
      AfterOpen();
    }
  }
  const uint64_t align = Align();
  const uint64_t last = reader_.dataBytes / align;
  uint64_t pos = bytes < 0 ? 0 : static_cast<uint64_t>(bytes) / align;
  if (pos > last) pos = last;
  reader_.position = pos;
  UpdatePositionTexts(false);
  ItemStreamOffset = 0;
  BlockFromRingStart = false;
  reader_.reprime = true;
  if (PlayFromFile && parked && playState_.load() == kPlayPaused && !PlayRing.Empty()) {
    RereadRingInPlace();
  }
  if (parked) ReleasePlayPump();
  return reader_.position;
}

uint64_t WavePlayRec::SeekToSample(int64_t samples) {
  if (samples < 0) return SeekToByte(0);
  const uint64_t last = reader_.dataBytes / Align();
  if (static_cast<uint64_t>(samples) > last)
    return SeekToByte(static_cast<int64_t>(last * Align()));
  return SeekToByte(samples * static_cast<int64_t>(Align()));
}

uint64_t WavePlayRec::SeekBySamples(int64_t delta) {
  return SeekToSample(static_cast<int64_t>(reader_.position) + delta);
}

uint64_t WavePlayRec::SeekBySeconds(double delta) {
  return SeekBySamples(static_cast<int64_t>(delta * reader_.format.samplesPerSec));
}

uint64_t WavePlayRec::GetPausedPosition() const {
  const uint64_t align = Align();
  const uint64_t p = reader_.reprimeStartBytes / align + reader_.pausedPlayed;
  const uint64_t off = ItemStreamOffset / align;
  return p >= off ? p - off : 0;
}

uint64_t WavePlayRec::GetDataLengthSamples() const {
  return reader_.dataBytes / Align();
}

uint64_t WavePlayRec::GetPlaySamplePosition() {
  if (playState_.load() != kPlayPlaying) return 0;
  // The pump may move the tick between the two reads: never a negative time.
  const uint32_t last = LastPlayTick.load();
  const uint32_t elapsed = ElapsedMs(TickMs(), last);
  playElapsed_ = elapsed;
  return InterpolatedPosition(PlayedSamples.load(), elapsed, reader_.format.samplesPerSec,
                              PlayBufSamples);
}

uint64_t WavePlayRec::GetRecSamplePosition() {
  if (recState_.load() == kRecStopped) return 0;
  if (recState_.load() == kRecPaused) return RecordedSamples.load();
  const uint32_t last = LastRecTick.load();
  const uint32_t elapsed = ElapsedMs(TickMs(), last);
  recElapsed_ = elapsed;
  return InterpolatedPosition(RecordedSamples.load(), elapsed, reader_.format.samplesPerSec,
                              RecBufSamples);
}

void WavePlayRec::CopyNewestPlayBlock(uint8_t* dst, size_t n, bool fromRingStart) {
  const uint8_t silence = static_cast<uint8_t>(reader_.playSilence);
  if (BlockFromRingStart.exchange(false) || fromRingStart) {
    CopyFromRing(PlayRing.Data(), PlayRingBytes, 0, dst, n, silence);
    return;
  }
  if (playState_.load() != kPlayPlaying) {
    std::memset(dst, silence, n);
    return;
  }
  const uint64_t start =
      PlayBlockStart(GetPlaySamplePosition(), Align(), PlayRingBytes, PlayLatencyBytes);
  CopyFromRing(PlayRing.Data(), PlayRingBytes, start, dst, n, silence);
}

void WavePlayRec::CopyNewestRecBlock(uint8_t* dst, size_t n) {
  if (recState_.load() != kRecRecording) {
    std::memset(dst, RecSilence, n);
    return;
  }
  const uint64_t start =
      RecBlockStart(GetRecSamplePosition(), Align(), RecRingBytes, RecLatencyBytes, n);
  CopyFromRing(RecRing.Data(), RecRingBytes, start, dst, n, RecSilence);
}

const WaveFormat& WavePlayRec::GetFormat(uint32_t* floatOut) const {
  if (floatOut) *floatOut = reader_.floatWidth;
  return reader_.format;
}

// ------------------------------------------------------------------ texts

void WavePlayRec::AfterOpen() {
  const uint64_t align = Align();
  const uint64_t bps = reader_.format.avgBytesPerSec ? reader_.format.avgBytesPerSec : 1;
  TotalSamples = reader_.dataBytes / align;
  reader_.position = 0;
  TrackBarSetup t;
  t.enabled = true;
  // A header may claim any rate and length: the bar's values stay in range.
  constexpr uint64_t kBarMax = 0x7FFFFFFF;
  t.maximum = static_cast<int32_t>(std::min<uint64_t>(reader_.dataBytes / bps, kBarMax));
  t.frequency = 60;
  t.lineSize = 1;
  const uint64_t page = std::max<uint64_t>(bps, (TotalSamples / 20) * align);
  t.pageSize = static_cast<int32_t>(std::min<uint64_t>(page / bps, kBarMax));
  t.position = 0;
  host_.SetTrackBar(t);
  host_.SetLabelText(EngineLabel::Length, MinutesSecondsText(reader_.dataBytes / bps));
  lastShownSeconds_ = -1;
  UpdateFormatText(1, false);
  if (cb_.OnPlayListCursor) cb_.OnPlayListCursor(false);
}

void WavePlayRec::UpdatePositionTexts(bool force) {
  const uint32_t rate = reader_.format.samplesPerSec ? reader_.format.samplesPerSec : 1;
  const int64_t seconds = static_cast<int64_t>(reader_.position / rate);
  if (seconds == lastShownSeconds_ && !force) return;
  lastShownSeconds_ = seconds;
  host_.SetLabelText(EngineLabel::Position, MinutesSecondsText(static_cast<uint64_t>(seconds)));
  host_.SetTrackBarPosition(static_cast<int32_t>(seconds));
}

void WavePlayRec::UpdateRecordTimeText() {
  if (!RecToFile) return;
  const uint32_t rate = reader_.format.samplesPerSec ? reader_.format.samplesPerSec : 1;
  host_.SetLabelText(EngineLabel::Position, MinutesSecondsText(RecPosition / rate));
}

void WavePlayRec::UpdateFormatText(int which, bool rebuild) {
  std::string t;
  if (which == 2) {
    if (rebuild) rec_->RebuildChunkTable();
    t = reader_.isPcm ? FormatText(reader_.format, RecFileRf64(), Rec_BWF && RecToFile)
                      : text::kNotPcm;
  } else {
    t = reader_.isPcm ? FormatText(reader_.format, reader_.rf64, reader_.bext) : text::kNotPcm;
  }
  host_.SetLabelText(EngineLabel::Format, t);
  host_.PostNotification(WM_FORMAT_TEXT, static_cast<uintptr_t>(which));
}

void WavePlayRec::ShowStoppedIfFailed() {
  if (Message.Empty()) return;
  host_.ShowStopped(StoppedText(Message.c_str()));
}

}  // namespace ov
