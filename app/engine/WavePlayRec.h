// WavePlayRec: the program's one audio engine. It plays a wave file to a sound
// device, records from a sound device (optionally into a wave file), and at
// any moment hands the newest block of samples to the display side. Every
// driver family works on the engine's own ring of equal buffers; the two pump
// threads PlayThread and RecThread move the ring between device and file.
//
// Threads: every operation runs on the main thread, except the positions and
// the newest-block copies, which the display thread calls. Commands return an
// EngineResult (EngineTypes.h) and leave an English reason in GetMessage().
// No locks: the shared flags are atomics with one writer at a time by protocol
// (the main thread writes StopRequest, Reprime and, while paused, the ring; the
// pumps write the indices and the states).
//
// Re-entrancy. Some commands wait for the pumps while handling the main
// thread's window messages, so that the pumps' main-thread steps can run:
// Stop (and OpenPlay / OpenRec / SetDriverType, which stop a running side
// first), TogglePause, the seeks, PlaySnippet and StartFramePlay. Meanwhile
// InMessageWait() is true. The window handlers that run then may read
// positions, states, formats and texts, but must not start another command:
// a command called then does nothing and reports EngineResult::Busy (the
// seeks and TogglePause return the position unchanged; Stop only sets the stop
// request, which the outer wait then completes). A main window defers user
// commands while InMessageWait() is true (for example by re-posting them).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "app/common/SampleBlockSource.h"
#include "app/common/UserNotifier.h"
#include "app/common/WaveFormat.h"
#include "app/engine/AudioDriver.h"
#include "app/engine/AvrtBinding.h"
#include "app/engine/BufferPlan.h"
#include "app/engine/EngineHost.h"
#include "app/engine/EnginePlatform.h"
#include "app/engine/EngineTypes.h"
#include "app/engine/SampleRing.h"
#include "app/wavefile/Disk.h"
#include "app/wavefile/MarkerWriteBack.h"
#include "app/wavefile/WaveReader.h"

namespace ov {

// The settings the main window hands over at construction.
struct EngineSettings {
  std::string originatorText;  // "%s %s": application title and version (bext)
  uint32_t NofPlayBufPerSec = 2, NofPlayBuf = 4, PlayBufSampleSizeMin = 131072;
  uint32_t NofRecBufPerSec = 2, NofRecBuf = 4, RecBufSampleSizeMin = 131072;
  int32_t PlayLatencyCorrect_ms = -1;  // -1: automatic
  int32_t RecLatencyCorrect_ms = -1;
  int32_t PlayRecDriverType = kDriverMme;
  bool Use_WF_EXTENSIBLE = false;
  bool Use_WF_DIRECT = false;
  int32_t RecUpdateHeaderPeriod = 0;  // seconds; 0: no periodic header rewrite
  bool Rec_RF64 = false;
  bool Rec_BWF = false;
  int32_t DS_PlayLatency = 0, DS_RecLatency = 0, WAS_Latency = 20;
  bool WAS_EventMode = true;
  uint32_t DataSaveBytes = 512;
  int PlayThreadPriority = 3, RecThreadPriority = 3;  // 1 lowest .. 5 highest
  Language language = Language::English;
};

class WavePlayRec : public SampleBlockSource {
 public:
  // playState / recState: the main window's state cells. driver: the family to
  // use instead of the configured one (tests); null creates it from the type.
  // libraries: the loader that binds "Avrt.dll" (tests); null uses the system's.
  // When that binding fails the construction ends early: the reason is in
  // GetAvrtMessage() and GetMessage(), the user is told, and the devices stay
  // unchecked.
  WavePlayRec(EngineHost& host, UserNotifier& notifier, std::atomic<int32_t>& playState,
              std::atomic<int32_t>& recState, EngineCallbacks callbacks,
              const EngineSettings& settings, std::unique_ptr<AudioDriver> driver = nullptr,
              std::unique_ptr<LibraryLoader> libraries = nullptr);
  ~WavePlayRec() override;
  WavePlayRec(const WavePlayRec&) = delete;
  WavePlayRec& operator=(const WavePlayRec&) = delete;

  // ---- Settings.
  void SetUseExtensible(bool on) { Use_WF_EXTENSIBLE = on; }
  void SetUseDirect(bool on) { Use_WF_DIRECT = on; }
  void SetRecRF64(bool on);
  void SetRecBWF(bool on);
  void SetRecUpdateHeaderPeriod(int32_t seconds);
  void SetPlayForceMonoStereo(bool on) { PlayForceMonoStereo = on; }
  void SetPlayWithFullVol(bool on) { PlayWithFullVol = on; }
  void SetWasapiLatency(int32_t ms) { WAS_Latency = ms; }
  void SetWasapiEventMode(bool on) { WAS_EventMode = on; }
  void SetRecFileDivideBytes(uint64_t bytes);
  void SetLanguage(Language l) {
    language_ = l;
    reader_.language = l;
  }

  // ---- Devices.
  void CheckDevices(bool clearMessage);
  DriverChange SetDriverType(int32_t type);
  int32_t GetDriverType() const { return DriverType; }
  uint32_t GetDeviceCount(AudioDirection direction);
  // UTF-8; number 0 is the family's default (MME: "Wave Mapper").
  std::string GetDeviceName(uint32_t number, AudioDirection direction);
  // The device format list of device `deviceNumber` (0 the default) of one
  // direction. While play or recording runs, the running stream is left
  // alone and every cell reads "not available". `request.extraChannels` is
  // taken from the play format (extensible with more than 2 channels) on the
  // play side.
  FormatProbeTable ProbeFormats(int32_t deviceNumber, FormatProbeRequest request,
                                const ProbeProgress& progress);
  // The setup dialog's information text of a WASAPI endpoint, after a trial
  // preparation with the current format (withVolume: also the endpoint
  // volume); empty for the other families.
  std::string ShowWasapiInfo(uint32_t number, AudioDirection direction, bool withVolume) {
    return driver_->DeviceInfo(number, direction == AudioDirection::Input, reader_.format,
                               Options(), withVolume);
  }
  void ReleaseDevices(uint32_t mask);
  void ReleaseAll();

  // ---- Setup dialog (WavePlayRecSetup.cpp; main thread). The ASIO extras
  // work while the ASIO family is the current one and no pump runs; otherwise
  // they fail with the reason in GetMessage(). `index` is the driver's number
  // in the device list.
  bool ShowAsioControlPanel(int32_t index, AudioDirection direction);
  bool TestAsioDriver(int32_t index, AudioDirection direction);
  // Channel counts and names of the driver last opened (TestAsioDriver).
  int32_t GetAsioChannels(AudioDirection direction);
  std::string GetAsioChannelName(uint32_t channel);
  bool SetAsioDirectMonitor(int32_t index, bool on);
  // The information text of driver `index` for a first channel, prepared for
  // `format`'s rate; on failure the text so far and the reason.
  std::string ShowAsioInfo(int32_t index, int32_t channel, AudioDirection direction,
                           const WaveFormat& format);
  // True while a play or record pump runs (the device extras are refused then).
  bool PumpsRunning() const { return playAlive_.load() || recAlive_.load(); }

  // ---- Buffer plan. Each returns false when the count had to be cut to 170
  // (the reason is in GetMessage()).
  bool SetPlayBufferPlan(int32_t perSec, int32_t count, int32_t minSamples) override;
  bool SetRecBufferPlan(int32_t perSec, int32_t count, int32_t minSamples) override;
  bool SetPlayBuffers(uint32_t count, uint32_t bytesPerBuffer, uint32_t ahead = 0,
                      uint32_t skipTop = 0, uint32_t skipEnd = 0);
  bool SetRecBuffers(uint32_t count, uint32_t bytesPerBuffer);
  BufferInfo GetBufferInfo(AudioDirection direction) const;

  // ---- Opening.
  // Opens fileName for play (item: the play-list item it belongs to, or null
  // for a single file; it must outlive its use, see EngineCallbacks). `opened`
  // receives the file's format.
  EngineResult OpenPlay(const char* fileName, const PlayItem* item = nullptr,
                        PlayFileFormat* opened = nullptr);
  // Opens the record side with the format; fileName null or empty records
  // without a file.
  EngineResult OpenRec(const char* fileName, const WaveFormat& format,
                       const RecOpenOptions& options = {});

  // ---- Running. Device number 0 is the family's default (the mapper).
  EngineResult StartPlay(int32_t deviceNumber, PlayMode mode = PlayMode::Normal,
                         PlayOutput output = PlayOutput::Device, int32_t asioChannel = 0);
  EngineResult StartRec(int32_t deviceNumber, RecStartMode mode = RecStartMode::Record,
                        int32_t asioChannel = 0);
  void Stop();
  uint64_t TogglePause();
  void PauseDevices();
  void ResumeDevices();
  void RequestDivide();

  // ---- Positions (samples).
  uint64_t SeekToByte(int64_t bytes);
  uint64_t SeekToSample(int64_t samples);
  uint64_t SeekBySamples(int64_t delta);
  uint64_t SeekBySeconds(double delta);
  uint64_t GetPosition() const { return reader_.position; }
  uint64_t GetPausedPosition() const;
  uint64_t GetDataLengthSamples() const;
  uint64_t GetPlaySamplePosition();
  uint64_t GetRecSamplePosition();

  // ---- Display hand-off (SampleBlockSource).
  int32_t PlayState() const override { return playState_.load(); }
  int32_t RecState() const override { return recState_.load(); }
  void CopyNewestPlayBlock(uint8_t* destination, size_t byteCount, bool fromRingStart) override;
  void CopyNewestRecBlock(uint8_t* destination, size_t byteCount) override;

  const WaveFormat& GetFormat(uint32_t* floatOut) const;
  const char* GetMessage() const { return Message.c_str(); }
  // Why binding or freeing "Avrt.dll" failed (empty when it did not).
  const char* GetAvrtMessage() const { return AvrtMessage.c_str(); }
  // True while a command waits for the pumps and handles window messages
  // meanwhile (see Re-entrancy above).
  bool InMessageWait() const { return messageWaitDepth_ > 0; }
  // DirectDraw 7 (and so DirectX 7) was found at construction.
  bool DirectXAvailable() const { return directXAvailable_; }
  // The multimedia class scheduler for the WASAPI transfer threads.
  bool MmcssAvailable() const { return avrt_.MmcssAvailable(); }
  const AvrtBinding& Mmcss() const { return avrt_; }
  const std::string& GetPlayFileName() const { return PlayFileName; }
  // Runs read(chunks, markers) on the open file's records held whole: a
  // gapless continuation on the play thread waits meanwhile instead of
  // re-parsing them under the reader. Main thread; read must not call back
  // into the engine.
  template <typename Read>
  void ReadPlayFileRecords(Read&& read) {
    std::lock_guard<std::mutex> lock(reader_.recordsMutex);
    read(static_cast<const ChunkTable&>(reader_.chunks),
         static_cast<const MarkerTable&>(reader_.markers));
  }
  const ChunkEntry* FindChunk(const char id[4]) const { return ov::FindChunk(reader_, id); }
  MarkerTable& GetMarkerTable() { return reader_.markers; }
  int32_t GetWasapiLatency() const { return WAS_Latency; }
  uint32_t ActiveMask() const { return activeMask_.load(); }
  // Processor time (ms) the last play and record pumps used over their runs.
  double PlayPumpCpuMs() const { return playPumpCpuMs_.load(); }
  double RecPumpCpuMs() const { return recPumpCpuMs_.load(); }

  // ---- Markers (MarkerWrite.cpp). Writes a marker chunk block into the open
  // play file (stopped or paused, never while a frame or snippet plays), then
  // reopens the file, returns to the position and refreshes the format text.
  MarkerWriteResult WriteMarkers(const uint8_t* block, size_t length, Disk& disk = SystemDisk());

  // ---- Auditioning while paused.
  EngineResult PlaySnippet(uint32_t ms);
  // Plays `bytes` of data (null: the start of the play ring) on a second
  // output; the data must stay valid until WM_FRAME_PLAY_END.
  EngineResult StartFramePlay(int32_t deviceNumber, const uint8_t* data, uint32_t bytes,
                              FrameRepeat repeat);
  void SetFrameLoop(bool loop) { FrameLoop = loop; }
  bool FrameBusy() const { return FrameBusyFlag.load(); }

 private:
  // Play pump (PlayPump.cpp).
  void PlayThreadMain();
  void PlayInit();
  void WaitPlayCompletion();
  void ParkIfRequested();
  void WaitRecCompletion();
  // One pass of the play pump's fill: what it did with the buffer.
  struct FillStep {
    enum Kind {
      Queued,    // `bytes` handed to the device (0 after a failure or at the end)
      Priming,   // the ring is not yet primed: fill again without waiting
      Finished,  // the data has ended (or the start was skipped)
    } kind;
    uint32_t bytes;
  };
  FillStep PlayFillNext(bool readFile);
  void PlayDrain();
  void WaitUntilPositionMoves(bool processMessages);
  void PlayBegin();
  void PlayPositionUpdate();
  void PlayNextItem();
  void PlayFinished();
  // Record pump (RecPump.cpp).
  void RecThreadMain();
  bool RecQueue();
  bool RecProcessBuffer();
  uint32_t RecMonitorWrite(uint32_t bytes, uint8_t* data);
  void RecStopDevices();
  void KeepCapturedTail();
  void RecInit();
  void RecPositionUpdate();
  void RecFinished();
  // Frame play (FramePlay.cpp).
  void PlayFrameThreadMain();

  // Runs a member step on the main thread and waits for it.
  template <void (WavePlayRec::*Step)()>
  void OnMain() {
    host_.RunOnMainThread([](void* self) { (static_cast<WavePlayRec*>(self)->*Step)(); }, this);
  }

  void ResetControls();
  bool PrepareBuffers(uint32_t mask);
  bool OpenOutputDevice(int32_t deviceNumber);
  bool OpenInputDevice(int32_t deviceNumber);
  void AfterOpen();
  void UpdatePositionTexts(bool force);
  void UpdateRecordTimeText();
  void UpdateFormatText(int which, bool rebuild);
  void ShowStoppedIfFailed();
  void SetPlayState(int32_t s) { playState_.store(s); }
  void SetRecState(int32_t s) { recState_.store(s); }
  void JoinFinishedThreads();
  void WaitPrimed();
  // Ends a running frame play and waits for its thread.
  void EndFramePlay();
  // Stops the play pump at a safe point (ParkIfRequested) so that the main
  // thread alone owns the reader and the ring; false when it did not stop.
  bool ParkPlayPump();
  void ReleasePlayPump();
  // Re-reads the whole play ring from the position while paused, inside the
  // current item.
  void RereadRingInPlace();
  uint32_t Align() const { return reader_.format.blockAlign ? reader_.format.blockAlign : 1; }
  DriverOptions Options() const;
  void WaitWithMessages(uint32_t sleepMs, const std::function<bool()>& done);
  // Marks a command's wait that handles window messages (InMessageWait).
  struct MessageWaitScope {
    explicit MessageWaitScope(WavePlayRec& e) : engine(e) { ++engine.messageWaitDepth_; }
    ~MessageWaitScope() { --engine.messageWaitDepth_; }
    WavePlayRec& engine;
  };

  // Recording file (RecordFile.cpp).
  bool CreateRecFile();
  void CloseRecFile();
  uint32_t WriteRecBlock(const uint8_t* data, uint32_t bytes);
  bool RecFileRf64() const;

  EngineHost& host_;
  UserNotifier& notifier_;
  std::atomic<int32_t>& playState_;
  std::atomic<int32_t>& recState_;
  EngineCallbacks cb_;
  Language language_;
  std::string OriginatorText;

  std::unique_ptr<AudioDriver> driver_;
  bool injectedDriver_ = false;
  AvrtBinding avrt_;
  EngineMessage AvrtMessage;

  // Settings.
  int32_t PlayLatencyCorrect_ms, RecLatencyCorrect_ms;
  bool Use_WF_EXTENSIBLE, Use_WF_DIRECT;
  int32_t RecUpdateHeaderPeriod;
  bool Rec_RF64, Rec_BWF;
  int32_t DS_PlayLatency, DS_RecLatency, WAS_Latency;
  bool WAS_EventMode;
  int PlayThreadPriority, RecThreadPriority;
  int32_t DriverType = kDriverMme;
  bool PlayForceMonoStereo = false;
  bool PlayWithFullVol = false;
  bool Failed = false;
  bool directXAvailable_ = false;

  // Buffer plans and rings. The run copies are taken at PrepareBuffers: a plan
  // change while a run exists takes effect at the next run.
  BufferPlan playPlan_, recPlan_;
  BufferPlan playRunPlan_, recRunPlan_;
  SampleRing PlayRing, RecRing;
  uint32_t PlayBufCount = 0, RecBufCount = 0;
  uint32_t PlayBufSamples = 0, RecBufSamples = 0;
  uint32_t PlayBufBytes = 0, RecBufBytes = 0;
  uint64_t PlayRingBytes = 0, RecRingBytes = 0;
  bool PlayDeviceOpen = false;
  uint32_t WaveOutCount = 0, WaveInCount = 0;

  // Play pump state.
  uint32_t FilledCount = 0, PrimeTarget = 0;
  uint64_t PlayLatencyBytes = 0, RecLatencyBytes = 0;
  bool DisplayStarted = false, RecDisplayStarted = false;
  std::atomic<bool> FrameLoop{false}, FrameBusyFlag{false};
  uint64_t ItemStreamOffset = 0;
  PlayItem CurrentItemRecord{};
  bool ContinueWithNextItem = false;
  uint32_t FillIndex = 0, RecIndex = 0, DoneIndex = 0, InFlight = 0, RecQueued = 0;
  std::atomic<bool> StopRequest{false};
  uint32_t BuffersWritten = 0;
  std::atomic<bool> AnalyzeStart{false};
  int32_t playDeviceId_ = -1;  // identifier of the first run's output

  // Flags.
  bool PlayOpened = false, RecOpened = false, PlayFromFile = false, RecToFile = false;
  uint8_t RecSilence = 0;
  bool savedRecButton_ = false, savedPlayButton_ = false;
  std::atomic<bool> Paused{false};
  bool MonitorWithFile = false;
  std::atomic<bool> BlockFromRingStart{false};
  std::atomic<bool> SyncDone{false};
  // A gapless switch into the next item whose start is not yet audible. The
  // engine keeps its own latch: the reader clears its flag when the stream
  // ends, which would lose the switch of the caption and the play-list cursor.
  std::atomic<bool> ItemSwitchPending{false};
  // The pump threads exist (from their creation until their last notification).
  std::atomic<bool> playAlive_{false}, recAlive_{false};
  // The play ring has been primed since the last (re)start. Main-thread
  // commands that touch the ring or the device wait for it (WaitPrimed), so
  // that they never race the pump's priming.
  std::atomic<bool> primed_{false};
  // Parking the play pump: the main thread asks, the pump answers from a safe
  // point (between buffers, or woken from its wait) and waits for the release.
  std::atomic<bool> parkRequest_{false}, pumpParked_{false};
  AutoResetEvent parkRelease_;
  // A snippet is heard alone: the synchronised-start gate is not called.
  std::atomic<bool> syncGateOff_{false};
  bool RecMonitor = false;
  bool RecReprime = false;
  bool recDeviceStarted_ = false;
  std::string PlayFileName;
  uint64_t TotalSamples = 0;
  uint64_t RecPosition = 0;
  int64_t lastShownSeconds_ = -1;

  // Clock bookkeeping, written by the pumps and read by the display thread.
  std::atomic<uint64_t> PlayedSamples{0}, RecordedSamples{0};
  std::atomic<uint32_t> LastPlayTick{0}, LastRecTick{0};
  std::atomic<uint32_t> playElapsed_{0}, recElapsed_{0};
  uint32_t OverrunCount = 0, BufferTimeMs = 500, BufferTimeMaxMs = 0;
  std::atomic<uint32_t> activeMask_{0};
  std::atomic<double> playPumpCpuMs_{0}, recPumpCpuMs_{0};

  // Events (auto-reset).
  AutoResetEvent PlayEvent, FramePlayEvent, RecEvent;

  // The open play file (the reader's record) and the engine's message.
  PlayReadState reader_;
  EngineMessage& Message;

  // The recording file.
  struct RecordState;
  std::unique_ptr<RecordState> rec_;

  // Frame play.
  const uint8_t* frameData_ = nullptr;
  uint32_t frameBytes_ = 0;

  int messageWaitDepth_ = 0;  // main thread only

  std::thread playThread_, recThread_, frameThread_;
};

}  // namespace ov
