#include "app/engine/DirectSoundDriver_win.h"

#include <cstring>
#include <string>

#include "app/common/Utf8.h"
#include "app/engine/EngineTexts.h"

namespace ov {

namespace {

// DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLPOSITIONNOTIFY |
// DSBCAPS_LOCSOFTWARE: an accurate play cursor, audible without the focus,
// half notifications, mixed in software.
constexpr DWORD kPlayBufferFlags = 0x18108;
static_assert(kPlayBufferFlags == (DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS |
                                   DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_LOCSOFTWARE));
// A lost buffer that the system does not give back within this many 10 ms
// attempts fails the preparation instead of holding the main thread for ever.
constexpr int kRestoreAttempts = 500;
constexpr wchar_t kOwnWindowClass[] = L"OvDirectSoundOwner";

std::string AnsiToUtf8(const char* s) {
  wchar_t wide[256];
  const int n = MultiByteToWideChar(CP_ACP, 0, s, -1, wide, 256);
  if (n <= 1) return {};
  return Utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(wide), n - 1));
}

bool Fail(EngineMessage& message, const char* text) {
  message.Set(text);
  return false;
}

}  // namespace

std::unique_ptr<AudioDriver> CreateDirectSoundDriver() {
  return std::make_unique<DirectSoundDriver>(CreateSystemDirectSound());
}

DirectSoundDriver::DirectSoundDriver(std::unique_ptr<DsSystem> system)
    : system_(std::move(system)) {
  play_.notify = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  rec_.notify = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

DirectSoundDriver::~DirectSoundDriver() {
  EngineMessage ignored;
  CloseInput(ignored);
  CloseOutput(ignored);
  if (ownWindow_) DestroyWindow(ownWindow_);
  if (play_.notify) CloseHandle(play_.notify);
  if (rec_.notify) CloseHandle(rec_.notify);
}

// ---------------------------------------------------------------- devices

DeviceCheck DirectSoundDriver::CheckDevices() {
  outputs_.Clear();
  inputs_.Clear();
  auto into = [](DsDeviceTable& t) {
    return [&t](const GUID* guid, const char* description) {
      return t.Add(reinterpret_cast<const uint8_t*>(guid), AnsiToUtf8(description));
    };
  };
  if (!system_->EnumerateOutputs(into(outputs_))) outputs_.Clear();
  if (!system_->EnumerateInputs(into(inputs_))) inputs_.Clear();
  DeviceCheck c;
  c.outputs = DeviceCount(false);
  c.inputs = DeviceCount(true);
  if (!outputs_.Count() && !inputs_.Count()) {
    c.message = text::kNoDSoundInputOutput;
    c.unusable = true;
  } else if (!outputs_.Count()) {
    c.message = text::kNoDSoundOutput;
  } else if (!inputs_.Count()) {
    c.message = text::kNoDSoundInput;
  }
  return c;
}

uint32_t DirectSoundDriver::DeviceCount(bool input) {
  const uint32_t n = (input ? inputs_ : outputs_).Count();
  return n ? n - 1 : 0;
}

std::string DirectSoundDriver::DeviceName(uint32_t number, bool input) {
  return (input ? inputs_ : outputs_).Description(number);
}

bool DirectSoundDriver::TableIndex(int32_t id, bool input, uint32_t& index,
                                   EngineMessage& message) {
  const DsDeviceTable& t = input ? inputs_ : outputs_;
  if (t.Count() == 0) return Fail(message, input ? text::kNoDSoundInput : text::kNoDSoundOutput);
  index = id < 0 ? 0 : static_cast<uint32_t>(id) + 1;
  if (index >= t.Count()) {
    return Fail(message, DSoundDeviceNotFoundText(index, input).c_str());
  }
  return true;
}

HWND DirectSoundDriver::CooperativeWindow(const DriverOptions& o) {
  if (o.ownerWindow) return static_cast<HWND>(o.ownerWindow);
  if (!ownWindow_) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kOwnWindowClass;
    RegisterClassW(&wc);  // fails harmlessly when already registered
    // A top-level window that is never shown: the cooperative level needs one.
    ownWindow_ = CreateWindowExW(0, kOwnWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 wc.hInstance, nullptr);
  }
  return ownWindow_;
}

// ---------------------------------------------------------------- output

bool DirectSoundDriver::OpenOutput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                                   AutoResetEvent& done, EngineMessage& message) {
  message.Clear();
  uint32_t index = 0;
  if (!TableIndex(id, false, index, message)) return false;
  ReleasePlaySide();
  outputId_ = id;
  if (FAILED(system_->CreateOutputDevice(out_)) || !out_) {
    out_.reset();
    return Fail(message, text::kUnableToCreateDirectSound);
  }
  GUID guid;
  if (outputs_.HasGuid(index)) std::memcpy(&guid, outputs_.Guid(index), sizeof guid);
  if (FAILED(out_->Initialize(outputs_.HasGuid(index) ? &guid : nullptr))) {
    return Fail(message, text::kUnableToInitializeDirectSound);
  }
  outCaps_ = DSCAPS{};
  outCaps_.dwSize = sizeof outCaps_;
  if (FAILED(out_->GetCaps(&outCaps_))) return Fail(message, text::kUnableToGetDeviceCaps);
  if (FAILED(out_->SetCooperativeLevel(CooperativeWindow(o), DSSCL_PRIORITY))) {
    return Fail(message, text::kUnableToSetCooperativeLevel);
  }
  // The primary buffer's format only sets the mixer's preference; the
  // secondary buffer carries the run's own format.
  DSBUFFERDESC d{};
  d.dwSize = sizeof d;
  d.dwFlags = DSBCAPS_PRIMARYBUFFER;
  std::unique_ptr<DsPlayBuffer> primary;
  if (FAILED(out_->CreateSoundBuffer(d, primary)) || !primary) {
    return Fail(message, text::kUnableToCreatePrimaryBuffer);
  }
  WAVEFORMATEX pf{};
  pf.wFormatTag = WAVE_FORMAT_PCM;
  pf.nChannels = 2;
  pf.nSamplesPerSec = 22050;
  pf.wBitsPerSample = 16;
  pf.nBlockAlign = 4;
  pf.nAvgBytesPerSec = 88200;
  if (FAILED(primary->SetFormat(&pf))) return Fail(message, text::kUnableToSetPrimaryFormat);
  primary.reset();
  play_.format = f;
  play_.options = o;
  play_.done = &done;
  return true;
}

HRESULT DirectSoundDriver::CreatePlayBuffer(const WaveFormat& f) {
  const uint32_t align = f.blockAlign ? f.blockAlign : 1;
  play_.geometry = DsGeometry(play_.options.dsPlayLatencyMs, f.samplesPerSec, align);
  playBuffer_.reset();  // with its notify interface
  play_.cursor = 0;
  lastPlayCursor_ = 0;
  playedFrames_ = 0;
  if (!out_) return DSERR_UNINITIALIZED;
  const WaveFormat device = DeviceFormat(f, play_.options.useExtensible);
  DSBUFFERDESC d{};
  d.dwSize = sizeof d;  // 40 on x86_64, 36 on a 32-bit build
  d.dwFlags = kPlayBufferFlags;
  d.dwBufferBytes = play_.geometry.bufferBytes;
  d.lpwfxFormat = reinterpret_cast<WAVEFORMATEX*>(const_cast<WaveFormat*>(&device));
  HRESULT hr = out_->CreateSoundBuffer(d, playBuffer_);
  if (FAILED(hr) || !playBuffer_) return hr;
  DSBPOSITIONNOTIFY n[2] = {{play_.geometry.notify[0], play_.notify},
                            {play_.geometry.notify[1], play_.notify}};
  hr = playBuffer_->SetNotificationPositions(2, n);
  if (FAILED(hr)) playBuffer_.reset();
  return hr;
}

HRESULT DirectSoundDriver::RestorePlayBuffer() {
  if (!playBuffer_) return DSERR_INVALIDCALL;
  DWORD status = 0;
  HRESULT hr = playBuffer_->GetStatus(&status);
  if (FAILED(hr)) return hr;
  if (status & DSBSTATUS_BUFFERLOST) {
    for (int attempt = 0;; ++attempt) {
      hr = playBuffer_->Restore();
      if (hr == DS_OK) break;
      if (hr != DSERR_BUFFERLOST || attempt >= kRestoreAttempts) return hr;
      Sleep(10);
    }
  }
  play_.cursor = 0;
  return playBuffer_->SetCurrentPosition(0);
}

bool DirectSoundDriver::LockAndFill(bool input, DWORD offset, DWORD bytes, uint8_t value) {
  void *p1 = nullptr, *p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  const HRESULT hr = input ? captureBuffer_->Lock(offset, bytes, &p1, &n1, &p2, &n2)
                           : playBuffer_->Lock(offset, bytes, &p1, &n1, &p2, &n2);
  if (FAILED(hr)) return false;
  if (p1) std::memset(p1, value, n1);
  if (p2) std::memset(p2, value, n2);
  if (input) {
    captureBuffer_->Unlock(p1, n1, p2, n2);
  } else {
    playBuffer_->Unlock(p1, n1, p2, n2);
  }
  return true;
}

bool DirectSoundDriver::PrepareOutput(const RingLayout& ring, EngineMessage& message) {
  if (!out_) return Fail(message, text::kNoBuffer);
  EndTransferThread(play_);  // a next play-list item prepares again
  if (FAILED(CreatePlayBuffer(play_.format))) {
    return Fail(message, UnsupportedFormatText(play_.format).c_str());
  }
  if (!playBuffer_) return Fail(message, text::kNoBuffer);
  if (FAILED(RestorePlayBuffer())) return Fail(message, text::kUnableToRestoreBuffer);
  play_.silence = ring.silence;
  if (!LockAndFill(false, 0, play_.geometry.bufferBytes, ring.silence)) {
    return Fail(message, text::kUnableToLockBuffer);
  }
  {
    std::lock_guard<std::mutex> lock(play_.mutex);
    play_.ring.Layout(ring.data, ring.count, ring.bufBytes, play_.format.blockAlign);
    play_.draining = false;
    needsStart_ = true;
  }
  return StartTransferThread(play_, false, message);
}

bool DirectSoundDriver::StartTransferThread(Direction& d, bool input, EngineMessage& message) {
  d.terminate = false;
  d.state = 0;
  d.threadMessage.Clear();
  ResetEvent(d.notify);
  d.thread = std::thread([this, input] { input ? RecThreadMain() : PlayThreadMain(); });
  // The thread reports running, or ends at once when it cannot lock its first
  // half; either way the wait ends and a failure is the preparation's.
  while (d.state.load() == 0) Sleep(1);
  if (d.state.load() == 1) return true;
  d.thread.join();
  return Fail(message, d.threadMessage.c_str());
}

void DirectSoundDriver::EndTransferThread(Direction& d) {
  if (!d.thread.joinable()) return;
  d.terminate = true;
  SetEvent(d.notify);
  d.thread.join();
}

void DirectSoundDriver::PlayThreadMain() {
  SetCurrentThreadPriorityLevel(play_.options.playThreadPriority);
  if (!LockAndFill(false, 0, play_.geometry.halfBytes, play_.silence)) {
    play_.threadMessage.Set(text::kUnableToLockBuffer);
    play_.state = 2;
    return;
  }
  play_.state = 1;
  while (!play_.terminate.load()) {
    if (WaitForSingleObject(play_.notify, INFINITE) != WAIT_OBJECT_0) break;
    if (play_.terminate.load()) break;
    TransferOut();
  }
  play_.cpuMs = CurrentThreadCpuMs();
  play_.state = 2;
}

void DirectSoundDriver::TransferOut() {
  std::lock_guard<std::mutex> lock(play_.mutex);
  if (!playBuffer_ || play_.ring.Empty()) return;
  const uint32_t half = play_.geometry.halfBytes;
  void *p1 = nullptr, *p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  if (FAILED(playBuffer_->Lock(play_.cursor, half, &p1, &n1, &p2, &n2))) return;
  uint32_t passed = 0;
  if (play_.draining) {
    // The ring beyond the run's last buffer holds older data: what follows
    // the end is silence.
    if (p1) std::memset(p1, play_.silence, n1);
    if (p2) std::memset(p2, play_.silence, n2);
  } else {
    if (p1) passed += play_.ring.CopyOut(static_cast<uint8_t*>(p1), n1);
    if (p2) passed += play_.ring.CopyOut(static_cast<uint8_t*>(p2), n2);
  }
  playBuffer_->Unlock(p1, n1, p2, n2);
  play_.cursor = (play_.cursor + half) % play_.geometry.bufferBytes;
  if (passed) play_.done->Set();
}

bool DirectSoundDriver::SubmitOutput(uint32_t index, uint8_t*, uint32_t, EngineMessage& message) {
  if (!playBuffer_) return Fail(message, text::kNoBuffer);
  // The transfer thread takes the data from the ring itself; the pump's
  // hand-over only tells which ring buffers hold data to wait for.
  play_.ring.Handed(index);
  return true;
}

bool DirectSoundDriver::PauseOutput(EngineMessage&) {
  if (playBuffer_) playBuffer_->Stop();
  return true;
}

bool DirectSoundDriver::ResetOutput(EngineMessage&) {
  if (!playBuffer_) return true;
  std::lock_guard<std::mutex> lock(play_.mutex);
  playBuffer_->Stop();
  playBuffer_->SetCurrentPosition(0);
  play_.cursor = 0;
  play_.ring.Rewind();
  play_.draining = false;
  ResetEvent(play_.notify);
  lastPlayCursor_ = 0;
  playedFrames_ = 0;
  needsStart_ = true;
  return true;
}

bool DirectSoundDriver::RestartOutput(EngineMessage&) {
  if (!playBuffer_) return true;
  bool start = false;
  {
    std::lock_guard<std::mutex> lock(play_.mutex);
    start = needsStart_;
    needsStart_ = false;
  }
  if (start) {
    TransferOut();
    TransferOut();
  }
  return SUCCEEDED(playBuffer_->Play(DSBPLAY_LOOPING));
}

void DirectSoundDriver::DrainOutput(uint32_t, EngineMessage&) {
  if (!playBuffer_) return;
  // The pump ends its run when the last ring buffer has been copied into the
  // device buffer, up to two halves before it is heard. Those halves play out
  // before the stop, so that a file's end is not cut off (a stop request
  // waits as long).
  const uint32_t size = play_.geometry.bufferBytes;
  DWORD play = 0, write = 0;
  DWORD status = 0;
  if (size && SUCCEEDED(playBuffer_->GetStatus(&status)) && (status & DSBSTATUS_PLAYING) &&
      SUCCEEDED(playBuffer_->GetCurrentPosition(&play, &write))) {
    uint32_t queued = 0;
    {
      std::lock_guard<std::mutex> lock(play_.mutex);
      queued = (play_.cursor + size - play) % size;
      play_.draining = true;
    }
    // The half at the device cursor is the one playing (the next to write
    // once it has passed): a play cursor at its very start has both halves
    // still to play.
    if (queued == 0) queued = size;
    const uint32_t bytesPerSecond =
        play_.format.samplesPerSec * (play_.format.blockAlign ? play_.format.blockAlign : 1);
    const DWORD limitMs = bytesPerSecond ? 100 + 1000ull * queued / bytesPerSecond : 0;
    const DWORD start = GetTickCount();
    uint32_t heard = 0;
    DWORD last = play;
    while (heard < queued && GetTickCount() - start < limitMs) {
      Sleep(2);
      if (FAILED(playBuffer_->GetCurrentPosition(&play, &write))) break;
      heard += (play + size - last) % size;
      last = play;
    }
    // The play cursor tells where the system takes the bytes from; its own
    // mixing buffer still holds the last of them for a while, and a stop
    // followed by the release of the device would drop them. Silence plays
    // meanwhile.
    if (bytesPerSecond)
      Sleep(static_cast<DWORD>(1000ull * play_.geometry.halfBytes / bytesPerSecond));
  }
  playBuffer_->Stop();
}

void DirectSoundDriver::ReleasePlaySide() {
  EndTransferThread(play_);
  playBuffer_.reset();
  out_.reset();
}

void DirectSoundDriver::CloseOutput(EngineMessage&) {
  if (playBuffer_) playBuffer_->Stop();
  ReleasePlaySide();
}

bool DirectSoundDriver::OutputPosition(uint64_t& samples) {
  if (!playBuffer_) return false;
  DWORD play = 0, write = 0;
  if (FAILED(playBuffer_->GetCurrentPosition(&play, &write))) return false;
  const uint32_t size = play_.geometry.bufferBytes;
  const uint32_t align = play_.format.blockAlign ? play_.format.blockAlign : 1;
  const uint32_t delta =
      play >= lastPlayCursor_ ? play - lastPlayCursor_ : play + size - lastPlayCursor_;
  playedFrames_ += delta / align;
  lastPlayCursor_ = play;
  samples = playedFrames_;
  return true;
}

void DirectSoundDriver::SetFullVolume() {
  if (!playBuffer_) return;
  LONG v = 0;
  playBuffer_->GetVolume(&v);
  playBuffer_->SetVolume(DSBVOLUME_MAX);
  playBuffer_->GetVolume(&v);
}

double DirectSoundDriver::OutputLatencySeconds() const {
  return DsHalfSeconds(play_.geometry, play_.format.samplesPerSec, play_.format.blockAlign);
}

// ---------------------------------------------------------------- input

bool DirectSoundDriver::OpenInput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                                  AutoResetEvent& done, EngineMessage& message) {
  message.Clear();
  uint32_t index = 0;
  if (!TableIndex(id, true, index, message)) return false;
  ReleaseRecSide();
  inputId_ = id;
  if (FAILED(system_->CreateInputDevice(in_)) || !in_) {
    in_.reset();
    return Fail(message, text::kUnableToCreateDirectSound);
  }
  GUID guid;
  if (inputs_.HasGuid(index)) std::memcpy(&guid, inputs_.Guid(index), sizeof guid);
  if (FAILED(in_->Initialize(inputs_.HasGuid(index) ? &guid : nullptr))) {
    return Fail(message, text::kUnableToInitializeDirectSound);
  }
  inCaps_ = DSCCAPS{};
  inCaps_.dwSize = sizeof inCaps_;
  if (FAILED(in_->GetCaps(&inCaps_))) return Fail(message, text::kUnableToGetDeviceCaps);
  rec_.format = f;
  rec_.options = o;
  rec_.done = &done;
  return true;
}

bool DirectSoundDriver::ProbeInput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                                   EngineMessage& message) {
  // The probe opens the device once with the format and closes it again; a
  // recording side that is open stays as it is.
  if (in_) return true;
  AutoResetEvent unused;
  bool ok = OpenInput(id, f, o, unused, message);
  if (ok && (FAILED(CreateCaptureBuffer(f)) || !captureBuffer_)) {
    ok = Fail(message, UnsupportedFormatText(f).c_str());
  }
  ReleaseRecSide();
  rec_.done = nullptr;
  return ok;
}

HRESULT DirectSoundDriver::CreateCaptureBuffer(const WaveFormat& f) {
  const uint32_t align = f.blockAlign ? f.blockAlign : 1;
  rec_.geometry = DsGeometry(rec_.options.dsRecLatencyMs, f.samplesPerSec, align);
  captureBuffer_.reset();
  rec_.cursor = 0;
  if (!in_) return DSERR_UNINITIALIZED;
  const WaveFormat device = DeviceFormat(f, rec_.options.useExtensible);
  DSCBUFFERDESC d{};
  d.dwSize = sizeof d;  // 40 on x86_64; the system refuses a 32-bit build's 28
  d.dwFlags = 0;
  d.dwBufferBytes = rec_.geometry.bufferBytes;
  d.lpwfxFormat = reinterpret_cast<WAVEFORMATEX*>(const_cast<WaveFormat*>(&device));
  HRESULT hr = in_->CreateCaptureBuffer(d, captureBuffer_);
  if (FAILED(hr) || !captureBuffer_) return hr;
  DSBPOSITIONNOTIFY n[2] = {{rec_.geometry.notify[0], rec_.notify},
                            {rec_.geometry.notify[1], rec_.notify}};
  hr = captureBuffer_->SetNotificationPositions(2, n);
  if (FAILED(hr)) {
    captureBuffer_.reset();
    return hr;
  }
  captureFormat_ = WAVEFORMATEX{};
  DWORD written = 0;
  captureBuffer_->GetFormat(&captureFormat_, sizeof captureFormat_, &written);
  return hr;
}

bool DirectSoundDriver::PrepareInput(const RingLayout& ring, EngineMessage& message) {
  if (!in_) return Fail(message, text::kNoBuffer);
  EndTransferThread(rec_);
  if (FAILED(CreateCaptureBuffer(rec_.format))) {
    return Fail(message, UnsupportedFormatText(rec_.format).c_str());
  }
  if (!captureBuffer_) return Fail(message, text::kNoBuffer);
  rec_.silence = ring.silence;
  if (!LockAndFill(true, 0, rec_.geometry.bufferBytes, ring.silence)) {
    return Fail(message, text::kUnableToLockBuffer);
  }
  {
    std::lock_guard<std::mutex> lock(rec_.mutex);
    rec_.ring.Layout(ring.data, ring.count, ring.bufBytes, rec_.format.blockAlign);
    rec_.stopped = false;
  }
  return StartTransferThread(rec_, true, message);
}

void DirectSoundDriver::RecThreadMain() {
  SetCurrentThreadPriorityLevel(rec_.options.recThreadPriority);
  rec_.state = 1;
  while (!rec_.terminate.load()) {
    if (WaitForSingleObject(rec_.notify, INFINITE) != WAIT_OBJECT_0) break;
    if (rec_.terminate.load()) break;
    TransferIn();
  }
  rec_.cpuMs = CurrentThreadCpuMs();
  rec_.state = 2;
}

void DirectSoundDriver::TransferIn() {
  std::lock_guard<std::mutex> lock(rec_.mutex);
  if (!captureBuffer_ || rec_.ring.Empty() || rec_.stopped) return;
  // The half just completed; after a pause the cursor stands inside it (the
  // stop took the bytes before), and only the rest of it is new.
  const uint32_t half = rec_.geometry.halfBytes;
  if (CopyCaptured(half - rec_.cursor % half)) rec_.done->Set();
}

uint32_t DirectSoundDriver::CopyCaptured(uint32_t bytes) {
  if (bytes == 0) return 0;
  void *p1 = nullptr, *p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  if (FAILED(captureBuffer_->Lock(rec_.cursor, bytes, &p1, &n1, &p2, &n2))) return 0;
  uint32_t passed = 0;
  if (p1) passed += rec_.ring.CopyIn(static_cast<const uint8_t*>(p1), n1);
  if (p2) passed += rec_.ring.CopyIn(static_cast<const uint8_t*>(p2), n2);
  captureBuffer_->Unlock(p1, n1, p2, n2);
  rec_.cursor = (rec_.cursor + bytes) % rec_.geometry.bufferBytes;
  return passed;
}

bool DirectSoundDriver::QueueInput(uint32_t index, uint8_t*, uint32_t, EngineMessage& message) {
  if (!captureBuffer_) return Fail(message, text::kNoBuffer);
  rec_.ring.Handed(index);
  return true;
}

bool DirectSoundDriver::StartInput(EngineMessage& message) {
  if (!captureBuffer_) return Fail(message, text::kDirectSoundStart);
  {
    // A notification of a half that the stop has already taken must not move
    // it again.
    std::lock_guard<std::mutex> lock(rec_.mutex);
    rec_.stopped = false;
    ResetEvent(rec_.notify);
  }
  if (FAILED(captureBuffer_->Start(DSCBSTART_LOOPING))) {
    return Fail(message, text::kDirectSoundStart);
  }
  return true;
}

bool DirectSoundDriver::StopInput(EngineMessage&) {
  if (!captureBuffer_) return true;
  std::lock_guard<std::mutex> lock(rec_.mutex);
  captureBuffer_->Stop();
  if (rec_.stopped || rec_.ring.Empty()) return true;
  rec_.stopped = true;
  // What the device captured after the last notification (and a half whose
  // notification the transfer thread has not yet taken) goes into the ring;
  // the ring buffer it ends in is finished with the bytes it holds, so that
  // a pause or the end of a recording keeps every captured byte.
  DWORD capture = 0, read = 0;
  const uint32_t size = rec_.geometry.bufferBytes;
  if (size == 0 || FAILED(captureBuffer_->GetCurrentPosition(&capture, &read))) return true;
  const uint32_t align = rec_.format.blockAlign ? rec_.format.blockAlign : 1;
  uint32_t bytes = (read % size + size - rec_.cursor) % size;
  bytes -= bytes % align;
  uint32_t passed = CopyCaptured(bytes);
  passed += rec_.ring.FinishPartial();
  if (passed) rec_.done->Set();
  return true;
}

uint32_t DirectSoundDriver::BytesRecorded(uint32_t index) {
  // A buffer is done once the transfer has filled all of it, or once a stop
  // has finished it with what it holds.
  return rec_.ring.Done(index) ? rec_.ring.Filled(index) : 0;
}

void DirectSoundDriver::EndInput(uint32_t, EngineMessage& message) {
  StopInput(message);
}

void DirectSoundDriver::ReleaseRecSide() {
  EndTransferThread(rec_);
  captureBuffer_.reset();
  in_.reset();
}

void DirectSoundDriver::CloseInput(EngineMessage&) {
  if (captureBuffer_) captureBuffer_->Stop();
  ReleaseRecSide();
}

double DirectSoundDriver::InputLatencySeconds() const {
  return DsHalfSeconds(rec_.geometry, rec_.format.samplesPerSec, rec_.format.blockAlign);
}

// ---------------------------------------------------------------- frame play

bool DirectSoundDriver::OpenFrame(int32_t, const WaveFormat&, const DriverOptions&, AutoResetEvent&,
                                  uint8_t*, uint32_t, EngineMessage& message) {
  return Fail(message, text::kNoBuffer);
}
bool DirectSoundDriver::SubmitFrame(EngineMessage& message) {
  return Fail(message, text::kNoBuffer);
}
bool DirectSoundDriver::RestartFrame(EngineMessage& message) {
  return Fail(message, text::kNoBuffer);
}

}  // namespace ov
