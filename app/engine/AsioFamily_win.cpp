#include "app/engine/AsioFamily_win.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "app/engine/AsioCallbackGate.h"
#include "app/engine/AsioFormatCheck.h"
#include "app/engine/EngineTexts.h"

namespace ov {

using namespace asio;

namespace {

// The family whose driver may call back (process-wide, as the driver is).
CallbackGate<AsioFamily> g_gate;

// The system reference handed to init: this process's first top-level window
// on the calling thread (the main window), taken once.
HWND MainWindowHandle() {
  static HWND handle = [] {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
          if (GetParent(w) != nullptr) return TRUE;
          *reinterpret_cast<HWND*>(p) = w;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
  }();
  return handle;
}

constexpr uint32_t kResetAsked = 1;
constexpr uint32_t kBufferSizeAsked = 2;

int32_t RingBitsOf(const WaveFormat& f) {
  return FloatWidth(f) ? -32 : static_cast<int32_t>(f.bitsPerSample);
}

}  // namespace

AsioFamily::AsioFamily(std::unique_ptr<AsioRegistry> registry) : registry_(std::move(registry)) {}

AsioFamily::~AsioFamily() {
  Release();
}

// ---------------------------------------------------------------- devices

DeviceCheck AsioFamily::CheckDevices() {
  DeviceCheck c;
  if (!host_) host_ = std::make_unique<AsioHost>(std::move(registry_));
  const std::vector<std::string> names = DriverNameTable(host_->Drivers(), 10);
  nameCount_ = static_cast<uint32_t>(names.size());
  for (uint32_t i = 0; i < nameCount_; ++i) names_[i] = names[i];
  c.outputs = c.inputs = nameCount_;
  if (nameCount_ == 0) {
    c.message = asio::text::kNoDriver;
    c.unusable = true;
  }
  return c;
}

uint32_t AsioFamily::DeviceCount(bool) {
  return nameCount_;
}

std::string AsioFamily::DeviceName(uint32_t number, bool) {
  return number < nameCount_ ? names_[number] : std::string();
}

// ---------------------------------------------------------------- opening

bool AsioFamily::OpenSide(int32_t index, Side side, EngineMessage& message) {
  if (!host_) CheckDevices();
  if (nameCount_ == 0 || index < 0 || index >= static_cast<int32_t>(nameCount_)) {
    message.Set(asio::text::kNoDriver);
    return false;
  }
  // A run holds the driver's buffers (its side is prepared until it is
  // closed): opening again would release them under the running pump.
  if (buffersCreated_ && side_ != Side::None) {
    message.Set(side_ == Side::Output ? asio::text::kInUseByPlayback
                                      : asio::text::kInUseByRecording);
    return false;
  }
  Release();
  info_ = DriverInfo{};
  inputs_ = outputs_ = 0;
  channelInfoCount_ = 0;
  driverBits_ = 0;
  unsupportedType_ = 0;
  requestFlags_ = 0;
  runFault_ = 0;
  // Loaded by index: the table's names may be cut and then match no driver.
  if (!host_->LoadDriver(index)) {
    message.Set(UnableToLoadText(host_->Drivers()[static_cast<size_t>(index)].name).c_str());
    return false;
  }
  info_.systemReference = MainWindowHandle();
  HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  const int32_t init = host_->Init(info_);
  SetCursor(previous);
  if (init != kOk) {
    message.Set(UnableToInitializeText(info_.errorMessage).c_str());
    return false;
  }
  openedIndex_ = index;
  side_ = side;
  if (!ReadDriverCaps()) {
    message.Set(asio::text::kUnableToGetCaps);
    Release();
    return false;
  }
  const bool input = side == Side::Input;
  int32_t n = input ? inputs_ : outputs_;
  if (n > static_cast<int32_t>(kMaxChannels)) n = kMaxChannels;
  for (int32_t i = 0; i < n; ++i) {
    ChannelInfo& ci = channelInfo_[i];
    ci = ChannelInfo{};
    ci.channel = i;
    ci.isInput = input ? 1 : 0;
    if (host_->GetChannelInfo(ci) != kOk) {
      message.Set(asio::text::kUnableToGetChannelInfo);
      Release();
      return false;
    }
  }
  channelInfoCount_ = n < 0 ? 0 : n;
  driverBits_ = channelInfoCount_ ? DriverBitsOf(channelInfo_[0].type) : 0;
  return true;
}

bool AsioFamily::ReadDriverCaps() {
  if (host_->GetChannels(inputs_, outputs_) != kOk) return false;
  if (host_->GetBufferSize(bufMin_, bufMax_, bufPreferred_, bufGranularity_) != kOk) return false;
  host_->GetSampleRate(rate_);
  if (rate_ <= 0 || rate_ > 192000) {
    host_->SetSampleRate(44100);
    host_->GetSampleRate(rate_);
  }
  postOutput_ = host_->OutputReady() == kOk;
  return true;
}

bool AsioFamily::OpenOutput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                            AutoResetEvent& done, EngineMessage& message) {
  if (!OpenSide(id < 0 ? 0 : id + 1, Side::Output, message)) return false;
  format_ = f;
  options_ = o;
  done_ = &done;
  return true;
}

bool AsioFamily::OpenInput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                           AutoResetEvent& done, EngineMessage& message) {
  if (!OpenSide(id < 0 ? 0 : id + 1, Side::Input, message)) return false;
  format_ = f;
  options_ = o;
  done_ = &done;
  return true;
}

bool AsioFamily::ProbeInput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                            EngineMessage& message) {
  if (!OpenSide(id < 0 ? 0 : id + 1, Side::Input, message)) return false;
  options_ = o;
  const bool ok = Prepare(true, false, f, message);
  Release();
  return ok;
}

void AsioFamily::SelectFirstChannel(bool input, int32_t channel) {
  firstChannel_[input ? 1 : 0] = channel;
}

bool AsioFamily::Prepare(bool input, bool informationOnly, const WaveFormat& f,
                         EngineMessage& message) {
  const int32_t bits = f.bitsPerSample;
  const bool isFloat = FloatWidth(f) != 0;
  if (!informationOnly) {
    if (!asio::BitLengthFits(driverBits_, input, bits, isFloat)) {
      message.Set(UnsupportedBitLengthText(isFloat, bits).c_str());
      return false;
    }
  }
  const int32_t rate = static_cast<int32_t>(f.samplesPerSec);
  if (host_->SetSampleRate(rate) != kOk) {
    message.Set(UnsupportedRateText(rate).c_str());
    return false;
  }
  double now = 0;
  host_->GetSampleRate(now);
  if (now != rate) {
    message.Set(UnableToSetRateText(rate).c_str());
    return false;
  }
  rate_ = now;

  const int32_t available = input ? inputs_ : outputs_;
  const int32_t first = firstChannel_[input ? 1 : 0];
  if (first < 0 || first >= available) {
    message.Set(NoSuchChannelText(first, available, input).c_str());
    return false;
  }
  int32_t count = f.channels;
  if (!input && count == 1 && options_.monoAsStereo) count = 2;
  if (count > available - first) count = available - first;  // cut at the last channel
  if (count > static_cast<int32_t>(kMaxChannels)) count = kMaxChannels;
  for (int32_t i = 0; i < count; ++i) {
    bufferInfo_[i] = asio::BufferInfo{};
    bufferInfo_[i].isInput = input ? 1 : 0;
    bufferInfo_[i].channelNum = first + i;
  }
  bufferCount_ = count;
  callbacksRecord_ = {&AsioFamily::BufferSwitch, &AsioFamily::SampleRateDidChange,
                      &AsioFamily::AsioMessage, &AsioFamily::BufferSwitchTimeInfo};
  if (host_->CreateBuffers(bufferInfo_, count, bufPreferred_, &callbacksRecord_) != kOk) {
    message.Set(asio::text::kUnableToCreateBuffer);
    return false;
  }
  buffersCreated_ = true;
  transfer_.count = 0;
  transfer_.frames = static_cast<uint32_t>(bufPreferred_);
  for (int32_t i = 0; i < count; ++i) {
    ChannelInfo ci{};
    ci.channel = first + i;
    ci.isInput = input ? 1 : 0;
    host_->GetChannelInfo(ci);
    if (!bufferInfo_[i].buffers[0] || !bufferInfo_[i].buffers[1]) {
      message.Set(asio::text::kBufferNotActive);
      return false;
    }
    UsedChannel& u = transfer_.channels[i];
    u.input = input;
    u.type = ci.type;
    u.halves[0] = bufferInfo_[i].buffers[0];
    u.halves[1] = bufferInfo_[i].buffers[1];
    u.place = PlaceInFrame(static_cast<uint32_t>(i), f.channels);
  }
  transfer_.count = static_cast<uint32_t>(count);
  host_->GetLatencies(inputLatency_, outputLatency_);
  if (informationOnly) {
    host_->DisposeBuffers();
    buffersCreated_ = false;
    transfer_.count = 0;
  }
  return true;
}

bool AsioFamily::AttachRing(bool input, uint8_t* ring, uint64_t ringBytes, uint32_t bufBytes,
                            EngineMessage& message) {
  if (side_ != (input ? Side::Input : Side::Output)) return true;
  if (!Prepare(input, false, format_, message)) return false;
  transfer_.in = RingSide{};
  transfer_.out = RingSide{};
  RingSide& s = input ? transfer_.in : transfer_.out;
  s.Attach(ring, ringBytes, format_.channels, RingBitsOf(format_), format_.blockAlign, bufBytes);
  s.running = true;
  if (input) {
    inRingCount_ = bufBytes ? static_cast<uint32_t>(ringBytes / bufBytes) : 0;
    if (inRingCount_ > kMaxBuffers) inRingCount_ = kMaxBuffers;
    inPassed_ = 0;
    inNextMark_ = bufBytes;
    for (uint32_t i = 0; i < kMaxBuffers; ++i) inQueued_[i] = inDone_[i] = inFilled_[i] = 0;
  }
  zeroBeforeStart_ = true;
  playFrames_ = 0;
  unsupportedType_ = 0;
  runFault_ = 0;
  g_gate.Open(this);
  return true;
}

void AsioFamily::Release() {
  // No callback may run on a driver or a ring that is going away.
  g_gate.Close(this, [] { Sleep(1); });
  if (!host_) return;
  if (started_) host_->Stop();
  started_ = false;
  if (buffersCreated_) host_->DisposeBuffers();
  buffersCreated_ = false;
  if (host_->Loaded()) host_->Exit();
  side_ = Side::None;
  transfer_.count = 0;
  transfer_.in = RingSide{};
  transfer_.out = RingSide{};
  done_ = nullptr;
}

// ---------------------------------------------------------------- running

bool AsioFamily::PendingError(EngineMessage& message) const {
  const int32_t t = unsupportedType_.load();
  const uint32_t fault = runFault_.load();
  if (t == 0 && fault == 0) return false;
  if (!message.Empty()) return true;
  if (t != 0) {
    message.Set(UnsupportedSampleTypeText(t).c_str());
  } else {
    message.Set((fault & kResetAsked) ? asio::text::kResetRequested
                                      : asio::text::kBufferSizeChanged);
  }
  return true;
}

bool AsioFamily::StartDriver(EngineMessage& message) {
  if (started_ || !buffersCreated_) return true;
  if (side_ == Side::Output && zeroBeforeStart_) {
    ZeroOutputs(transfer_);
    zeroBeforeStart_ = false;
  }
  if (host_->Start() != kOk) {
    message.Set(asio::text::kStartFailed);
    return false;
  }
  started_ = true;
  return true;
}

void AsioFamily::StopDriver() {
  if (!started_) return;
  host_->Stop();
  started_ = false;
}

bool AsioFamily::PauseOutput(EngineMessage&) {
  StopDriver();
  return true;
}

bool AsioFamily::ResetOutput(EngineMessage&) {
  StopDriver();
  transfer_.out.Rewind();
  playFrames_ = 0;
  ZeroOutputs(transfer_);
  zeroBeforeStart_ = true;
  return true;
}

bool AsioFamily::RestartOutput(EngineMessage& message) {
  return StartDriver(message);
}

bool AsioFamily::SubmitOutput(uint32_t, uint8_t*, uint32_t, EngineMessage& message) {
  // The callback reads the ring itself; a failure it met ends the run here.
  return !PendingError(message);
}

void AsioFamily::DrainOutput(uint32_t, EngineMessage& message) {
  StopDriver();
  transfer_.out.running = false;
  PendingError(message);
}

void AsioFamily::CloseOutput(EngineMessage&) {
  if (side_ == Side::Output) Release();
}

bool AsioFamily::OutputPosition(uint64_t& samples) {
  const uint64_t frames = playFrames_.load();
  if (frames == 0) {
    samples = 0;
    return true;
  }
  int64_t elapsed = static_cast<int32_t>(TickMs() - lastCallbackTick_.load());
  if (elapsed < 0) elapsed = 0;
  if (elapsed > 1000) elapsed = 1000;
  const int64_t rate = rate_ > 0 ? static_cast<int64_t>(rate_) : 44100;
  int64_t bufferMs = static_cast<int64_t>(bufPreferred_) * 1000 / rate;
  if (bufferMs < 1) bufferMs = 1;
  samples = frames + static_cast<uint64_t>(bufPreferred_ * elapsed / bufferMs);
  return true;
}

double AsioFamily::OutputLatencySeconds() const {
  return rate_ > 0 ? outputLatency_ / rate_ : 0;
}

double AsioFamily::InputLatencySeconds() const {
  return rate_ > 0 ? inputLatency_ / rate_ : 0;
}

bool AsioFamily::QueueInput(uint32_t index, uint8_t*, uint32_t, EngineMessage& message) {
  if (index < kMaxBuffers) inQueued_[index].fetch_add(1);
  return !PendingError(message);
}

bool AsioFamily::InputDone(uint32_t index) {
  // A failed run has nothing more to wait for.
  if (index >= kMaxBuffers || unsupportedType_.load() != 0 || runFault_.load() != 0) return true;
  return inDone_[index].load() >= inQueued_[index].load();
}

uint32_t AsioFamily::BytesRecorded(uint32_t index) {
  return index < kMaxBuffers ? inFilled_[index].load() : 0;
}

void AsioFamily::MarkFilledInputs() {
  RingSide& in = transfer_.in;
  if (!in.running || !in.step || !inRingCount_) return;
  const uint64_t moved = in.frames * in.blockAlign;
  while (moved >= inNextMark_) {
    const uint32_t slot = static_cast<uint32_t>(inPassed_ % inRingCount_);
    inFilled_[slot] = in.step;
    inDone_[slot].fetch_add(1);
    ++inPassed_;
    inNextMark_ += in.step;
  }
}

bool AsioFamily::FinishInput(EngineMessage& message) {
  // Once the driver has stopped no callback adds to the counters: the bytes
  // after the last full ring buffer end the recording.
  StopDriver();
  RingSide& in = transfer_.in;
  if (in.running && in.step && inRingCount_) {
    const uint64_t moved = in.frames * in.blockAlign;
    const uint64_t begin = inNextMark_ - in.step;
    if (moved > begin) {
      const uint32_t slot = static_cast<uint32_t>(inPassed_ % inRingCount_);
      inFilled_[slot] = static_cast<uint32_t>(moved - begin);
      inDone_[slot].fetch_add(1);
      ++inPassed_;
      inNextMark_ = moved + in.step;
    }
  }
  PendingError(message);
  return true;
}

bool AsioFamily::StartInput(EngineMessage& message) {
  return StartDriver(message);
}

bool AsioFamily::StopInput(EngineMessage&) {
  StopDriver();
  return true;
}

void AsioFamily::EndInput(uint32_t, EngineMessage& message) {
  StopDriver();
  transfer_.in.running = false;
  PendingError(message);
}

void AsioFamily::CloseInput(EngineMessage&) {
  if (side_ == Side::Input) Release();
}

bool AsioFamily::OpenFrame(int32_t, const WaveFormat&, const DriverOptions&, AutoResetEvent&,
                           uint8_t*, uint32_t, EngineMessage& message) {
  message.Set(UnbuiltFamilyText(kDriverAsio).c_str());
  return false;
}

// ---------------------------------------------------------------- callbacks

void AsioFamily::BufferSwitch(int32_t index, int32_t directProcess) {
  Time t{};
  g_gate.Run([&](AsioFamily& f) {
    if (f.host_->GetSamplePosition(t.timeInfo.samplePosition, t.timeInfo.systemTime) == kOk) {
      t.timeInfo.flags = kSamplePositionValid | kSystemTimeValid;
    }
  });
  BufferSwitchTimeInfo(&t, index, directProcess);
}

void AsioFamily::SampleRateDidChange(double) {}

int32_t AsioFamily::AsioMessage(int32_t selector, int32_t value, void*, double*) {
  if (selector >= 2 && selector <= 9) {
    // The gate is open only while a side runs on the driver's buffers.
    g_gate.Run([&](AsioFamily& f) {
      f.requestFlags_.fetch_or(1u << (selector - 2));
      const uint32_t fault = selector == kResetRequest       ? kResetAsked
                             : selector == kBufferSizeChange ? kBufferSizeAsked
                                                             : 0;
      if (fault == 0) return;
      f.runFault_.fetch_or(fault);
      // Wake the pump: a driver about to reset may not call back again.
      if (f.done_) f.done_->Set();
    });
  }
  switch (selector) {
    case kSelectorSupported:
      return value >= 2 && value <= 9 ? 1 : 0;
    case kEngineVersion:
      return 2;
    case kResetRequest:
    case kBufferSizeChange:
    case kResyncRequest:
    case kLatenciesChanged:
    case kSupportsTimeInfo:
    case kMessageSelector9:
      return 1;
    default:
      return 0;
  }
}

Time* AsioFamily::BufferSwitchTimeInfo(Time* params, int32_t index, int32_t) {
  g_gate.Run([&](AsioFamily& f) { f.OnBufferSwitch(params, index); });
  return nullptr;
}

void AsioFamily::OnBufferSwitch(const Time* params, int32_t index) {
  if (params) {
    const TimeInfo& ti = params->timeInfo;
    if (ti.flags & kSamplePositionValid) samplePosition_ = ToDouble(ti.samplePosition);
    if (ti.flags & kSystemTimeValid) systemTime_ = ToDouble(ti.systemTime);
    if (params->timeCode.flags & kTimeCodeValid)
      timeCode_ = ToDouble(params->timeCode.timeCodeSamples);
  }
  lastCallbackTick_ = TickMs();
  const int32_t unsupported = Transfer(transfer_, index);
  if (unsupported != 0 && unsupportedType_.load() == 0) unsupportedType_ = unsupported;
  if (postOutput_) host_->OutputReady();
  const bool failed = unsupportedType_.load() != 0 || runFault_.load() != 0;
  const bool inDue = Account(transfer_.in, transfer_.frames, failed);
  MarkFilledInputs();
  const bool outDue = Account(transfer_.out, transfer_.frames, failed);
  if (transfer_.out.running) playFrames_ = transfer_.out.frames;
  if ((inDue || outDue) && done_) done_->Set();
  callbacks_.fetch_add(1);
}

// ---------------------------------------------------------------- extras

bool AsioFamily::ShowControlPanel(int32_t index, bool input, EngineMessage& message) {
  if (!OpenSide(index, input ? Side::Input : Side::Output, message)) return false;
  const bool ok = host_->ControlPanel() == kOk;
  Release();
  return ok;
}

bool AsioFamily::TestDriver(int32_t index, bool input, EngineMessage& message) {
  if (!OpenSide(index, input ? Side::Input : Side::Output, message)) return false;
  Release();
  return true;
}

std::string AsioFamily::ChannelName(uint32_t index) const {
  if (index >= static_cast<uint32_t>(channelInfoCount_)) return {};
  char name[sizeof channelInfo_[0].name + 1] = {};
  std::memcpy(name, channelInfo_[index].name, sizeof channelInfo_[index].name);
  return name;
}

bool AsioFamily::SetDirectMonitor(int32_t index, bool on, EngineMessage& message) {
  if (!OpenSide(index, Side::Input, message)) return false;
  InputMonitor m{-1, 0, 0x20000000, on ? 1 : 0, 0x40000000};
  const bool ok = host_->Future(kFutureSetInputMonitor, &m) == kSuccess;
  Release();
  return ok;
}

bool AsioFamily::Information(int32_t index, int32_t channel, bool input, const WaveFormat& format,
                             std::string& out, EngineMessage& message) {
  if (!OpenSide(index, input ? Side::Input : Side::Output, message)) return false;
  firstChannel_[input ? 1 : 0] = channel;
  if (!Prepare(input, true, format, message)) {
    Release();
    return false;
  }
  AsioInfo i;
  i.driverName = info_.name;
  i.inputs = inputs_;
  i.outputs = outputs_;
  i.rate = static_cast<int32_t>(rate_);
  i.driverBits = driverBits_;
  i.firstType = channelInfoCount_ ? channelInfo_[0].type : 0;
  i.bufMin = bufMin_;
  i.bufMax = bufMax_;
  i.bufPreferred = bufPreferred_;
  i.bufGranularity = bufGranularity_;
  i.inputLatency = inputLatency_;
  i.outputLatency = outputLatency_;
  i.postOutput = postOutput_;
  Release();
  out = InfoText(i);
  return true;
}

}  // namespace ov
