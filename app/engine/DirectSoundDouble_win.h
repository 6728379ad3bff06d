// A DirectSound double for the family's tests: enumerations of any length,
// device objects that log what they are asked, and buffers in memory whose
// "device" runs on a thread of its own, moving one half per tick and setting
// the notifications as the system does. Faults the system will not produce
// on demand (a lost buffer, a failing lock) are injected here. Test code only.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/engine/DirectSoundApi_win.h"

namespace ov::test {

// What the double's objects report to the test.
struct DsLog {
  std::mutex m;
  std::vector<std::string> calls;  // "Initialize 0", "Restore", "Lock 0 17640", ...
  std::vector<DSBUFFERDESC> playDescs;
  std::vector<DSCBUFFERDESC> captureDescs;
  std::vector<DSBPOSITIONNOTIFY> notifications;
  void Add(const std::string& c) {
    std::lock_guard<std::mutex> lock(m);
    calls.push_back(c);
  }
  std::vector<std::string> Calls() {
    std::lock_guard<std::mutex> lock(m);
    return calls;
  }
};

// Faults to inject.
struct DsFaults {
  int lostRestores = 0;                 // Restore answers DSERR_BUFFERLOST this often first
  bool lost = false;                    // GetStatus reports the buffer lost
  std::atomic<int> failLockOfBytes{0};  // a lock of exactly this many bytes fails
  HRESULT createBuffer = DS_OK;         // CreateSoundBuffer / CreateCaptureBuffer result
};

// A device buffer whose device moves one half per tick on its own thread:
// play appends the half at its cursor to `played`; capture writes the next
// bytes of a ramp (byte i of the stream is i mod 251) into the half, in steps
// of `stepBytes` per tick when that is set (a stop then finds a half partly
// written, as a real device leaves it).
class DsFakeBuffer {
 public:
  DsFakeBuffer(DsLog& log, DsFaults& faults, uint32_t bytes, bool capture, uint32_t tickMs,
               uint32_t stepBytes = 0)
      : log_(log),
        faults_(faults),
        data_(bytes),
        capture_(capture),
        tickMs_(tickMs),
        stepBytes_(stepBytes) {
    worker_ = std::thread([this] { Run(); });
  }
  ~DsFakeBuffer() {
    quit_ = true;
    worker_.join();
  }
  HRESULT Lock(DWORD offset, DWORD bytes, void** p1, DWORD* n1, void** p2, DWORD* n2) {
    log_.Add("Lock " + std::to_string(offset) + " " + std::to_string(bytes));
    if (faults_.lost) return DSERR_BUFFERLOST;
    if (static_cast<int>(bytes) == faults_.failLockOfBytes.load()) return DSERR_INVALIDPARAM;
    if (offset >= data_.size() || bytes > data_.size()) return DSERR_INVALIDPARAM;
    // A lock past the buffer's end wraps onto its start, as the system's does.
    const DWORD first = std::min<DWORD>(bytes, static_cast<DWORD>(data_.size()) - offset);
    *p1 = data_.data() + offset;
    *n1 = first;
    if (first < bytes && (!p2 || !n2)) return DSERR_INVALIDPARAM;
    if (p2) *p2 = first < bytes ? data_.data() : nullptr;
    if (n2) *n2 = bytes - first;
    return DS_OK;
  }
  HRESULT Start() {
    log_.Add(capture_ ? "Start" : "Play");
    std::lock_guard<std::mutex> lock(m_);
    running_ = true;
    return DS_OK;
  }
  HRESULT Stop() {
    // Under the device's lock: no step of the device follows a stop.
    std::lock_guard<std::mutex> lock(m_);
    running_ = false;
    return DS_OK;
  }
  HRESULT SetCurrentPosition(DWORD offset) {
    log_.Add("SetCurrentPosition " + std::to_string(offset));
    std::lock_guard<std::mutex> lock(m_);
    pos_ = offset;
    return DS_OK;
  }
  HRESULT GetCurrentPosition(DWORD* play, DWORD* write) {
    std::lock_guard<std::mutex> lock(m_);
    if (play) *play = pos_ + within_;
    if (write) *write = pos_ + within_;
    return DS_OK;
  }
  // Capture: the bytes of the ramp the device has written.
  uint64_t Captured() {
    std::lock_guard<std::mutex> lock(m_);
    return ramp_;
  }
  HRESULT GetStatus(DWORD* status) {
    log_.Add("GetStatus");
    *status = (faults_.lost ? DSBSTATUS_BUFFERLOST : 0) | (running_ ? DSBSTATUS_PLAYING : 0);
    return DS_OK;
  }
  HRESULT Restore() {
    log_.Add("Restore");
    if (faults_.lostRestores > 0) {
      --faults_.lostRestores;
      return DSERR_BUFFERLOST;
    }
    faults_.lost = false;
    return DS_OK;
  }
  HRESULT SetNotificationPositions(DWORD count, const DSBPOSITIONNOTIFY* n) {
    std::lock_guard<std::mutex> lock(m_);
    notify_.assign(n, n + count);
    std::lock_guard<std::mutex> logLock(log_.m);
    log_.notifications.assign(n, n + count);
    return DS_OK;
  }
  std::vector<uint8_t> Played() {
    std::lock_guard<std::mutex> lock(m_);
    return played_;
  }
  uint32_t Ticks() const { return ticks_.load(); }

 private:
  void Run() {
    while (!quit_) {
      std::this_thread::sleep_for(std::chrono::milliseconds(tickMs_));
      std::lock_guard<std::mutex> lock(m_);
      if (!running_ || notify_.size() != 2) continue;
      const uint32_t half = static_cast<uint32_t>(data_.size() / 2);
      uint8_t* at = data_.data() + pos_;
      if (capture_) {
        const uint32_t step = stepBytes_ && stepBytes_ < half ? stepBytes_ : half;
        const uint32_t n = std::min(step, half - within_);
        for (uint32_t i = 0; i < n; ++i) at[within_ + i] = static_cast<uint8_t>(ramp_++ % 251);
        within_ += n;
        if (within_ < half) continue;
        within_ = 0;
      } else {
        played_.insert(played_.end(), at, at + half);
      }
      const HANDLE event = notify_[pos_ == 0 ? 0 : 1].hEventNotify;
      pos_ = (pos_ + half) % static_cast<uint32_t>(data_.size());
      ++ticks_;
      SetEvent(event);
    }
  }

  DsLog& log_;
  DsFaults& faults_;
  std::vector<uint8_t> data_;
  bool capture_;
  uint32_t tickMs_;
  uint32_t stepBytes_;
  std::mutex m_;
  std::thread worker_;
  std::atomic<bool> quit_{false}, running_{false};
  std::atomic<uint32_t> ticks_{0};
  DWORD pos_ = 0;
  uint32_t within_ = 0;  // capture: bytes written into the half at pos_
  std::vector<DSBPOSITIONNOTIFY> notify_;
  std::vector<uint8_t> played_;
  uint64_t ramp_ = 0;
};

class DsFakePlayBuffer final : public DsPlayBuffer {
 public:
  DsFakePlayBuffer(DsLog& log, DsFaults& faults, uint32_t bytes, uint32_t tickMs,
                   std::shared_ptr<DsFakeBuffer>* keep)
      : log_(log), b_(std::make_shared<DsFakeBuffer>(log, faults, bytes, false, tickMs)) {
    if (keep) *keep = b_;
  }
  HRESULT Lock(DWORD o, DWORD n, void** p1, DWORD* n1, void** p2, DWORD* n2) override {
    return b_->Lock(o, n, p1, n1, p2, n2);
  }
  HRESULT Unlock(void*, DWORD, void*, DWORD) override { return DS_OK; }
  HRESULT Play(DWORD) override { return b_->Start(); }
  HRESULT Stop() override { return b_->Stop(); }
  HRESULT SetCurrentPosition(DWORD o) override { return b_->SetCurrentPosition(o); }
  HRESULT GetCurrentPosition(DWORD* p, DWORD* w) override { return b_->GetCurrentPosition(p, w); }
  HRESULT GetStatus(DWORD* s) override { return b_->GetStatus(s); }
  HRESULT Restore() override { return b_->Restore(); }
  HRESULT SetFormat(const WAVEFORMATEX*) override { return DS_OK; }
  HRESULT GetVolume(LONG* v) override {
    *v = volume_;
    return DS_OK;
  }
  HRESULT SetVolume(LONG v) override {
    log_.Add("SetVolume " + std::to_string(v));
    volume_ = v;
    return DS_OK;
  }
  HRESULT SetNotificationPositions(DWORD c, const DSBPOSITIONNOTIFY* n) override {
    return b_->SetNotificationPositions(c, n);
  }

 private:
  DsLog& log_;
  std::shared_ptr<DsFakeBuffer> b_;
  LONG volume_ = -600;
};

class DsFakeCaptureBuffer final : public DsCaptureBuffer {
 public:
  DsFakeCaptureBuffer(DsLog& log, DsFaults& faults, uint32_t bytes, uint32_t tickMs,
                      uint32_t stepBytes, std::shared_ptr<DsFakeBuffer>* keep)
      : b_(std::make_shared<DsFakeBuffer>(log, faults, bytes, true, tickMs, stepBytes)) {
    if (keep) *keep = b_;
  }
  HRESULT Lock(DWORD o, DWORD n, void** p1, DWORD* n1, void** p2, DWORD* n2) override {
    return b_->Lock(o, n, p1, n1, p2, n2);
  }
  HRESULT Unlock(void*, DWORD, void*, DWORD) override { return DS_OK; }
  HRESULT Start(DWORD) override { return b_->Start(); }
  HRESULT Stop() override { return b_->Stop(); }
  HRESULT GetCurrentPosition(DWORD* c, DWORD* r) override { return b_->GetCurrentPosition(c, r); }
  HRESULT GetFormat(WAVEFORMATEX* f, DWORD, DWORD* written) override {
    *f = WAVEFORMATEX{};
    if (written) *written = sizeof *f;
    return DS_OK;
  }
  HRESULT SetNotificationPositions(DWORD c, const DSBPOSITIONNOTIFY* n) override {
    return b_->SetNotificationPositions(c, n);
  }

 private:
  std::shared_ptr<DsFakeBuffer> b_;
};

// One enumerated device of the double.
struct DsFakeEntry {
  bool hasGuid = true;
  GUID guid{};
  std::string description;
};

class DsFakeSystem final : public DsSystem {
 public:
  std::vector<DsFakeEntry> outputs, inputs;
  bool outputsFail = false, inputsFail = false;
  uint32_t tickMs = 5;
  uint32_t captureStepBytes = 0;  // 0: the capture device writes a whole half per tick
  // The formats the devices take for their buffers (none set: every format).
  std::function<bool(const WAVEFORMATEX&, bool capture)> acceptsFormat;
  DsLog log;
  DsFaults faults;
  // The latest play and capture buffers (kept alive beyond the family's release).
  std::shared_ptr<DsFakeBuffer> lastPlay, lastCapture;

  // "Primary Sound Driver" without a GUID, then `n` devices with GUIDs whose
  // first byte is the entry's index.
  static std::vector<DsFakeEntry> Devices(int n, const std::string& prefix = "Device ") {
    std::vector<DsFakeEntry> v;
    v.push_back({false, GUID{}, "Primary Sound Driver"});
    for (int i = 1; i <= n; ++i) {
      DsFakeEntry e;
      e.guid.Data1 = static_cast<unsigned long>(i);
      e.description = prefix + std::to_string(i);
      v.push_back(e);
    }
    return v;
  }

  bool EnumerateOutputs(const DsEnumerateEach& each) override {
    return Enumerate(outputs, outputsFail, each);
  }
  bool EnumerateInputs(const DsEnumerateEach& each) override {
    return Enumerate(inputs, inputsFail, each);
  }
  HRESULT CreateOutputDevice(std::unique_ptr<DsOutputDevice>& out) override {
    out = std::make_unique<Output>(*this);
    return DS_OK;
  }
  HRESULT CreateInputDevice(std::unique_ptr<DsInputDevice>& out) override {
    out = std::make_unique<Input>(*this);
    return DS_OK;
  }

 private:
  static bool Enumerate(const std::vector<DsFakeEntry>& v, bool fail, const DsEnumerateEach& each) {
    if (fail) return false;
    for (const auto& e : v) {
      if (!each(e.hasGuid ? &e.guid : nullptr, e.description.c_str())) break;
    }
    return true;
  }
  static std::string GuidText(const GUID* g) { return g ? std::to_string(g->Data1) : "default"; }
  class Output final : public DsOutputDevice {
   public:
    explicit Output(DsFakeSystem& s) : s_(s) {}
    HRESULT Initialize(const GUID* g) override {
      s_.log.Add("Initialize output " + GuidText(g));
      return DS_OK;
    }
    HRESULT GetCaps(DSCAPS* caps) override {
      return caps->dwSize == sizeof(DSCAPS) ? DS_OK : DSERR_INVALIDPARAM;
    }
    HRESULT SetCooperativeLevel(HWND w, DWORD level) override {
      s_.log.Add("SetCooperativeLevel " + std::to_string(level) + (w ? " window" : " none"));
      return w ? DS_OK : DSERR_INVALIDPARAM;
    }
    HRESULT CreateSoundBuffer(const DSBUFFERDESC& d, std::unique_ptr<DsPlayBuffer>& out) override {
      if (d.dwFlags & DSBCAPS_PRIMARYBUFFER) {
        out = std::make_unique<DsFakePlayBuffer>(s_.log, s_.faults, 4, s_.tickMs, nullptr);
        return DS_OK;
      }
      {
        std::lock_guard<std::mutex> lock(s_.log.m);
        s_.log.playDescs.push_back(d);
      }
      if (FAILED(s_.faults.createBuffer)) return s_.faults.createBuffer;
      if (d.dwSize != sizeof(DSBUFFERDESC)) return DSERR_INVALIDPARAM;
      if (s_.acceptsFormat && !s_.acceptsFormat(*d.lpwfxFormat, false)) return DSERR_BADFORMAT;
      out = std::make_unique<DsFakePlayBuffer>(s_.log, s_.faults, d.dwBufferBytes, s_.tickMs,
                                               &s_.lastPlay);
      return DS_OK;
    }

   private:
    DsFakeSystem& s_;
  };
  class Input final : public DsInputDevice {
   public:
    explicit Input(DsFakeSystem& s) : s_(s) {}
    HRESULT Initialize(const GUID* g) override {
      s_.log.Add("Initialize input " + GuidText(g));
      return DS_OK;
    }
    HRESULT GetCaps(DSCCAPS* caps) override {
      return caps->dwSize == sizeof(DSCCAPS) ? DS_OK : DSERR_INVALIDPARAM;
    }
    HRESULT CreateCaptureBuffer(const DSCBUFFERDESC& d,
                                std::unique_ptr<DsCaptureBuffer>& out) override {
      {
        std::lock_guard<std::mutex> lock(s_.log.m);
        s_.log.captureDescs.push_back(d);
      }
      if (FAILED(s_.faults.createBuffer)) return s_.faults.createBuffer;
      if (d.dwSize != sizeof(DSCBUFFERDESC)) return DSERR_INVALIDPARAM;
      if (s_.acceptsFormat && !s_.acceptsFormat(*d.lpwfxFormat, true)) return DSERR_BADFORMAT;
      out = std::make_unique<DsFakeCaptureBuffer>(s_.log, s_.faults, d.dwBufferBytes, s_.tickMs,
                                                  s_.captureStepBytes, &s_.lastCapture);
      return DS_OK;
    }

   private:
    DsFakeSystem& s_;
  };
};

}  // namespace ov::test
