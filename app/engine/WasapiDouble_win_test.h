// A test double of the Core Audio endpoint objects the WASAPI family uses:
// the device enumerator, collections, devices, property stores, audio client,
// render/capture clients, clock and endpoint volume, each a COM object with
// the system's interface. An endpoint accepts a chosen set of sample formats
// in exclusive mode, has a fixed device period, delivers events or is polled,
// answers AUDCLNT_E_BUFFER_SIZE_NOT_ALIGNED when asked to, and keeps every
// byte a render client played (its loopback); a capture endpoint delivers a
// given byte stream, or what a render endpoint played. The endpoint's "device"
// consumes or produces one period per tick on its own thread. Test code only.
#pragma once

#include <windows.h>
#include <audioclient.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <propsys.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/common/WaveFormat.h"

namespace ov::test {

// One endpoint's behaviour and what happened to it.
struct DoubleEndpoint {
  std::wstring name, id;
  bool capture = false;
  // Accepted sample containers: bits (16, 24, 32) and IEEE float (32).
  std::vector<std::pair<int, bool>> accepted = {{16, false}, {24, false}, {32, false}};
  REFERENCE_TIME defaultPeriod = 100000, minPeriod = 30000;
  uint32_t alignFrames = 0;           // non-zero: buffers must be a multiple of it
  bool eventAllowed = true;           // false: event callback answers DEVICE_IN_USE
  HRESULT initializeResult = S_OK;    // a failure every Initialize answers
  HRESULT channelCountResult = S_OK;  // GetChannelCount's answer
  bool volumeAvailable = true;
  UINT volumeChannels = 2;
  uint32_t timerPeriodFrames = 0;  // polled streams: frames per tick (0: the default period)
  std::vector<uint32_t> rates;     // accepted sample rates (empty: every rate)
  uint16_t maxChannels = 0;        // accepted channels 1..maxChannels (0: any count)
  HRESULT startResult = S_OK;      // a failure every Start answers

  struct InitCall {
    uint16_t channels, bits, validBits;
    bool isFloat;
    REFERENCE_TIME duration;
    DWORD flags;
    HRESULT result;
  };
  std::mutex m;
  std::vector<InitCall> inits;
  std::vector<uint8_t> loopback;  // render: every byte the device played
  std::vector<uint8_t> source;    // capture: the bytes delivered, then silence
  size_t sourceRead = 0;
  DoubleEndpoint* loopFrom = nullptr;  // capture: deliver what this render endpoint played
  size_t loopRead = 0;
  std::atomic<int> activations{0};
  std::atomic<int> exclusiveQueries{0};  // IsFormatSupported calls in exclusive mode
  std::atomic<int> starts{0}, stops{0};  // successful Start and Stop calls

  std::vector<InitCall> Inits() {
    std::lock_guard<std::mutex> l(m);
    return inits;
  }
  std::vector<uint8_t> Loopback() {
    std::lock_guard<std::mutex> l(m);
    return loopback;
  }
};

namespace wasapi_double {

template <class I>
class Com : public I {
 public:
  virtual ~Com() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid == __uuidof(IUnknown) || iid == __uuidof(I)) {
      *out = static_cast<I*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG r = --refs_;
    if (r == 0) delete this;
    return r;
  }

 private:
  std::atomic<ULONG> refs_{1};
};

inline uint64_t Counter100ns() {
  LARGE_INTEGER c, f;
  QueryPerformanceCounter(&c);
  QueryPerformanceFrequency(&f);
  return static_cast<uint64_t>(static_cast<double>(c.QuadPart) * 1e7 / f.QuadPart);
}

class Client;

class RenderClient : public Com<IAudioRenderClient> {
 public:
  explicit RenderClient(Client* c);
  ~RenderClient() override;
  HRESULT STDMETHODCALLTYPE GetBuffer(UINT32 frames, BYTE** data) override;
  HRESULT STDMETHODCALLTYPE ReleaseBuffer(UINT32 frames, DWORD flags) override;

 private:
  Client* c_;
};

class CaptureClient : public Com<IAudioCaptureClient> {
 public:
  explicit CaptureClient(Client* c);
  ~CaptureClient() override;
  HRESULT STDMETHODCALLTYPE GetBuffer(BYTE** data, UINT32* frames, DWORD* flags, UINT64* position,
                                      UINT64* counter) override;
  HRESULT STDMETHODCALLTYPE ReleaseBuffer(UINT32 frames) override;
  HRESULT STDMETHODCALLTYPE GetNextPacketSize(UINT32* frames) override;

 private:
  Client* c_;
};

class Clock : public Com<IAudioClock> {
 public:
  explicit Clock(Client* c);
  ~Clock() override;
  HRESULT STDMETHODCALLTYPE GetFrequency(UINT64* f) override;
  HRESULT STDMETHODCALLTYPE GetPosition(UINT64* position, UINT64* counter) override;
  HRESULT STDMETHODCALLTYPE GetCharacteristics(DWORD* c) override {
    *c = 0;
    return S_OK;
  }

 private:
  Client* c_;
};

// The audio client and the device behind it.
class Client : public Com<IAudioClient> {
 public:
  explicit Client(DoubleEndpoint* e) : e_(e) { e_->activations++; }
  ~Client() override {
    alive_ = false;
    if (device_.joinable()) device_.join();
  }

  HRESULT STDMETHODCALLTYPE Initialize(AUDCLNT_SHAREMODE mode, DWORD flags, REFERENCE_TIME duration,
                                       REFERENCE_TIME, const WAVEFORMATEX* f, LPCGUID) override {
    WaveFormat w{};
    std::memcpy(&w, f, f->wFormatTag == WAVE_FORMAT_EXTENSIBLE ? 40 : 18);
    const bool isFloat = FloatWidth(w) != 0;
    HRESULT hr = S_OK;
    const uint32_t frames =
        static_cast<uint32_t>(static_cast<double>(duration) * w.samplesPerSec / 1e7 + 0.5);
    if (initialized_) {
      hr = AUDCLNT_E_ALREADY_INITIALIZED;
    } else if (FAILED(e_->initializeResult)) {
      hr = e_->initializeResult;
    } else if (mode != AUDCLNT_SHAREMODE_EXCLUSIVE) {
      hr = E_INVALIDARG;
    } else if (!Accepts(w)) {
      hr = AUDCLNT_E_UNSUPPORTED_FORMAT;
    } else if ((flags & AUDCLNT_STREAMFLAGS_EVENTCALLBACK) && !e_->eventAllowed) {
      hr = AUDCLNT_E_DEVICE_IN_USE;
    } else if (e_->alignFrames && frames % e_->alignFrames) {
      // Like the system: the aligned size is readable after the refusal.
      alignedFrames_ = (frames / e_->alignFrames + 1) * e_->alignFrames;
      hr = AUDCLNT_E_BUFFER_SIZE_NOT_ALIGNED;
    }
    {
      std::lock_guard<std::mutex> l(e_->m);
      e_->inits.push_back(
          {w.channels, w.bitsPerSample, w.validBitsPerSample, isFloat, duration, flags, hr});
    }
    if (FAILED(hr)) return hr;
    initialized_ = true;
    eventMode_ = (flags & AUDCLNT_STREAMFLAGS_EVENTCALLBACK) != 0;
    format_ = w;
    bufferFrames_ = frames;
    frameBytes_ = w.blockAlign;
    const REFERENCE_TIME tick = eventMode_ ? duration : e_->defaultPeriod;
    periodFrames_ = eventMode_ ? frames
                    : e_->timerPeriodFrames
                        ? e_->timerPeriodFrames
                        : static_cast<uint32_t>(tick * static_cast<double>(w.samplesPerSec) / 1e7);
    tickMs_ = static_cast<DWORD>(tick / 10000);
    if (tickMs_ == 0) tickMs_ = 1;
    alive_ = true;
    device_ = std::thread([this] { DeviceLoop(); });
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetBufferSize(UINT32* frames) override {
    if (initialized_) {
      *frames = bufferFrames_;
    } else if (alignedFrames_) {
      *frames = alignedFrames_;
    } else {
      return AUDCLNT_E_NOT_INITIALIZED;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetStreamLatency(REFERENCE_TIME* latency) override {
    if (!initialized_) return AUDCLNT_E_NOT_INITIALIZED;
    *latency = e_->defaultPeriod;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCurrentPadding(UINT32* frames) override {
    std::lock_guard<std::mutex> l(m_);
    *frames = static_cast<UINT32>(fifo_.size() / frameBytes_);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsFormatSupported(AUDCLNT_SHAREMODE mode, const WAVEFORMATEX* f,
                                              WAVEFORMATEX** closest) override {
    // Like the system: exclusive mode takes no closest-match pointer.
    if (mode == AUDCLNT_SHAREMODE_EXCLUSIVE && closest) return E_POINTER;
    if (mode == AUDCLNT_SHAREMODE_EXCLUSIVE) e_->exclusiveQueries++;
    WaveFormat w{};
    std::memcpy(&w, f, f->wFormatTag == WAVE_FORMAT_EXTENSIBLE ? 40 : 18);
    return Accepts(w) ? S_OK : AUDCLNT_E_UNSUPPORTED_FORMAT;
  }
  HRESULT STDMETHODCALLTYPE GetMixFormat(WAVEFORMATEX**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDevicePeriod(REFERENCE_TIME* def, REFERENCE_TIME* min) override {
    if (def) *def = e_->defaultPeriod;
    if (min) *min = e_->minPeriod;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Start() override {
    if (!initialized_) return AUDCLNT_E_NOT_INITIALIZED;
    if (started_) return AUDCLNT_E_NOT_STOPPED;
    if (eventMode_ && !event_) return AUDCLNT_E_EVENTHANDLE_NOT_SET;
    if (FAILED(e_->startResult)) return e_->startResult;
    started_ = true;
    e_->starts++;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Stop() override {
    if (!initialized_) return AUDCLNT_E_NOT_INITIALIZED;
    started_ = false;
    e_->stops++;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    if (started_) return AUDCLNT_E_NOT_STOPPED;
    std::lock_guard<std::mutex> l(m_);
    fifo_.clear();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetEventHandle(HANDLE h) override {
    if (!initialized_) return AUDCLNT_E_NOT_INITIALIZED;
    if (!eventMode_) return AUDCLNT_E_EVENTHANDLE_NOT_EXPECTED;
    event_ = h;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetService(REFIID iid, void** out) override {
    if (!initialized_) return AUDCLNT_E_NOT_INITIALIZED;
    if (iid == __uuidof(IAudioRenderClient) && !e_->capture) {
      *out = static_cast<IAudioRenderClient*>(new RenderClient(this));
    } else if (iid == __uuidof(IAudioCaptureClient) && e_->capture) {
      *out = static_cast<IAudioCaptureClient*>(new CaptureClient(this));
    } else if (iid == __uuidof(IAudioClock)) {
      *out = static_cast<IAudioClock*>(new Clock(this));
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }

  // ---- render client
  HRESULT RenderGet(UINT32 frames, BYTE** data) {
    std::lock_guard<std::mutex> l(m_);
    if (fifo_.size() / frameBytes_ + frames > bufferFrames_) return AUDCLNT_E_BUFFER_TOO_LARGE;
    staging_.assign(size_t{frames} * frameBytes_, 0xA5);  // garbage until written
    *data = staging_.data();
    return S_OK;
  }
  HRESULT RenderRelease(UINT32 frames, DWORD flags) {
    std::lock_guard<std::mutex> l(m_);
    if (size_t{frames} * frameBytes_ > staging_.size()) return AUDCLNT_E_INVALID_SIZE;
    if (flags & AUDCLNT_BUFFERFLAGS_SILENT) std::fill(staging_.begin(), staging_.end(), 0);
    fifo_.insert(fifo_.end(), staging_.begin(), staging_.begin() + size_t{frames} * frameBytes_);
    staging_.clear();
    return S_OK;
  }
  // ---- capture client
  HRESULT CaptureGet(BYTE** data, UINT32* frames, DWORD* flags) {
    std::lock_guard<std::mutex> l(m_);
    *flags = 0;
    *frames = static_cast<UINT32>(fifo_.size() / frameBytes_);
    if (*frames == 0) {
      *data = nullptr;
      return AUDCLNT_S_BUFFER_EMPTY;
    }
    staging_.assign(fifo_.begin(), fifo_.begin() + size_t{*frames} * frameBytes_);
    *data = staging_.data();
    return S_OK;
  }
  HRESULT CaptureRelease(UINT32 frames) {
    std::lock_guard<std::mutex> l(m_);
    const size_t bytes = size_t{frames} * frameBytes_;
    if (bytes > fifo_.size()) return AUDCLNT_E_INVALID_SIZE;
    fifo_.erase(fifo_.begin(), fifo_.begin() + bytes);
    return S_OK;
  }
  HRESULT NextPacket(UINT32* frames) {
    std::lock_guard<std::mutex> l(m_);
    *frames = static_cast<UINT32>(fifo_.size() / frameBytes_);
    return S_OK;
  }
  uint32_t Rate() const { return format_.samplesPerSec; }
  uint64_t Position() const { return position_.load(); }

 private:
  bool Accepts(const WaveFormat& w) const {
    if (!e_->rates.empty() &&
        std::find(e_->rates.begin(), e_->rates.end(), w.samplesPerSec) == e_->rates.end()) {
      return false;
    }
    if (e_->maxChannels && w.channels > e_->maxChannels) return false;
    const bool isFloat = FloatWidth(w) != 0;
    for (const auto& a : e_->accepted) {
      if (a.first == w.bitsPerSample && a.second == isFloat) return true;
    }
    return false;
  }
  void DeviceLoop() {
    while (alive_.load()) {
      Sleep(tickMs_);
      if (!started_.load()) continue;
      std::lock_guard<std::mutex> l(m_);
      const size_t bytes = size_t{periodFrames_} * frameBytes_;
      if (!e_->capture) {
        const size_t n = fifo_.size() < bytes ? fifo_.size() : bytes;
        {
          std::lock_guard<std::mutex> le(e_->m);
          e_->loopback.insert(e_->loopback.end(), fifo_.begin(), fifo_.begin() + n);
        }
        fifo_.erase(fifo_.begin(), fifo_.begin() + n);
        position_ += n / frameBytes_;
      } else {
        std::vector<uint8_t> packet(bytes, 0);
        {
          std::lock_guard<std::mutex> le(e_->m);
          if (e_->loopFrom) {
            std::lock_guard<std::mutex> lr(e_->loopFrom->m);
            const auto& from = e_->loopFrom->loopback;
            const size_t n = std::min(bytes, from.size() - e_->loopRead);
            std::memcpy(packet.data(), from.data() + e_->loopRead, n);
            e_->loopRead += n;
          } else {
            const size_t n = std::min(bytes, e_->source.size() - e_->sourceRead);
            std::memcpy(packet.data(), e_->source.data() + e_->sourceRead, n);
            e_->sourceRead += n;
          }
        }
        // A full endpoint buffer loses the packet, as an overrun does. The
        // double holds at least eight periods, so a transfer thread that a
        // loaded test machine delays by a few ticks still loses nothing.
        const size_t capacity =
            std::max<size_t>(bufferFrames_, size_t{8} * periodFrames_) * frameBytes_;
        if (fifo_.size() + bytes <= capacity) {
          fifo_.insert(fifo_.end(), packet.begin(), packet.end());
        }
        position_ += periodFrames_;
      }
      if (eventMode_ && event_) SetEvent(event_);
    }
  }

  DoubleEndpoint* e_;
  std::mutex m_;
  bool initialized_ = false, eventMode_ = false;
  std::atomic<bool> started_{false}, alive_{false};
  WaveFormat format_{};
  uint32_t bufferFrames_ = 0, alignedFrames_ = 0, frameBytes_ = 1, periodFrames_ = 0;
  DWORD tickMs_ = 10;
  HANDLE event_ = nullptr;
  std::vector<uint8_t> fifo_, staging_;
  std::atomic<uint64_t> position_{0};
  std::thread device_;
};

inline RenderClient::RenderClient(Client* c) : c_(c) {
  c_->AddRef();
}
inline RenderClient::~RenderClient() {
  c_->Release();
}
inline HRESULT RenderClient::GetBuffer(UINT32 frames, BYTE** data) {
  return c_->RenderGet(frames, data);
}
inline HRESULT RenderClient::ReleaseBuffer(UINT32 frames, DWORD flags) {
  return c_->RenderRelease(frames, flags);
}
inline CaptureClient::CaptureClient(Client* c) : c_(c) {
  c_->AddRef();
}
inline CaptureClient::~CaptureClient() {
  c_->Release();
}
inline HRESULT CaptureClient::GetBuffer(BYTE** data, UINT32* frames, DWORD* flags, UINT64*,
                                        UINT64*) {
  return c_->CaptureGet(data, frames, flags);
}
inline HRESULT CaptureClient::ReleaseBuffer(UINT32 frames) {
  return c_->CaptureRelease(frames);
}
inline HRESULT CaptureClient::GetNextPacketSize(UINT32* frames) {
  return c_->NextPacket(frames);
}
inline Clock::Clock(Client* c) : c_(c) {
  c_->AddRef();
}
inline Clock::~Clock() {
  c_->Release();
}
inline HRESULT Clock::GetFrequency(UINT64* f) {
  *f = c_->Rate();
  return S_OK;
}
inline HRESULT Clock::GetPosition(UINT64* position, UINT64* counter) {
  *position = c_->Position();
  if (counter) *counter = Counter100ns();
  return S_OK;
}

class Volume : public Com<IAudioEndpointVolume> {
 public:
  explicit Volume(DoubleEndpoint* e) : e_(e) {}
  HRESULT STDMETHODCALLTYPE RegisterControlChangeNotify(IAudioEndpointVolumeCallback*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE UnregisterControlChangeNotify(IAudioEndpointVolumeCallback*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetChannelCount(UINT* n) override {
    if (FAILED(e_->channelCountResult)) return e_->channelCountResult;
    *n = e_->volumeChannels;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetMasterVolumeLevel(FLOAT, LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(FLOAT, LPCGUID) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetMasterVolumeLevel(FLOAT* db) override {
    *db = -3.0f;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(FLOAT* s) override {
    *s = 0.75f;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetChannelVolumeLevel(UINT, FLOAT, LPCGUID) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetChannelVolumeLevelScalar(UINT, FLOAT, LPCGUID) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetChannelVolumeLevel(UINT c, FLOAT* db) override {
    *db = -1.0f * static_cast<float>(c);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetChannelVolumeLevelScalar(UINT c, FLOAT* s) override {
    *s = 1.0f - 0.25f * static_cast<float>(c);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetMute(WINBOOL, LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMute(WINBOOL* m) override {
    *m = FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetVolumeStepInfo(UINT* step, UINT* count) override {
    *step = 10;
    *count = 101;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE VolumeStepUp(LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE VolumeStepDown(LPCGUID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryHardwareSupport(DWORD* mask) override {
    *mask = 2;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetVolumeRange(FLOAT* min, FLOAT* max, FLOAT* inc) override {
    *min = -60.0f;
    *max = 0.0f;
    *inc = 0.5f;
    return S_OK;
  }

 private:
  DoubleEndpoint* e_;
};

inline LPWSTR CoString(const std::wstring& s) {
  auto* p = static_cast<LPWSTR>(CoTaskMemAlloc((s.size() + 1) * sizeof(wchar_t)));
  std::memcpy(p, s.c_str(), (s.size() + 1) * sizeof(wchar_t));
  return p;
}

class Properties : public Com<IPropertyStore> {
 public:
  explicit Properties(DoubleEndpoint* e) : e_(e) {}
  HRESULT STDMETHODCALLTYPE GetCount(DWORD* n) override {
    *n = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetAt(DWORD, PROPERTYKEY*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetValue(REFPROPERTYKEY key, PROPVARIANT* v) override {
    static const GUID kName = {
        0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}};
    PropVariantInit(v);
    if (key.fmtid == kName && key.pid == 14) {
      v->vt = VT_LPWSTR;
      v->pwszVal = CoString(e_->name);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetValue(REFPROPERTYKEY, REFPROPVARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Commit() override { return E_NOTIMPL; }

 private:
  DoubleEndpoint* e_;
};

class Device : public Com<IMMDevice> {
 public:
  explicit Device(DoubleEndpoint* e) : e_(e) {}
  HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD, PROPVARIANT*, void** out) override {
    if (iid == __uuidof(IAudioClient)) {
      *out = static_cast<IAudioClient*>(new Client(e_));
      return S_OK;
    }
    if (iid == __uuidof(IAudioEndpointVolume) && e_->volumeAvailable) {
      *out = static_cast<IAudioEndpointVolume*>(new Volume(e_));
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD, IPropertyStore** out) override {
    *out = new Properties(e_);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetId(LPWSTR* id) override {
    *id = CoString(e_->id);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetState(DWORD* s) override {
    *s = DEVICE_STATE_ACTIVE;
    return S_OK;
  }

 private:
  DoubleEndpoint* e_;
};

class Collection : public Com<IMMDeviceCollection> {
 public:
  explicit Collection(std::vector<DoubleEndpoint*> list) : list_(std::move(list)) {}
  HRESULT STDMETHODCALLTYPE GetCount(UINT* n) override {
    *n = static_cast<UINT>(list_.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Item(UINT i, IMMDevice** out) override {
    if (i >= list_.size()) return E_INVALIDARG;
    *out = new Device(list_[i]);
    return S_OK;
  }

 private:
  std::vector<DoubleEndpoint*> list_;
};

class Enumerator : public Com<IMMDeviceEnumerator> {
 public:
  explicit Enumerator(std::vector<DoubleEndpoint*> all) : all_(std::move(all)) {}
  HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(EDataFlow flow, DWORD,
                                               IMMDeviceCollection** out) override {
    std::vector<DoubleEndpoint*> list;
    for (DoubleEndpoint* e : all_) {
      if (flow == eAll || (flow == eCapture) == e->capture) list.push_back(e);
    }
    *out = new Collection(std::move(list));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow, ERole, IMMDevice**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR id, IMMDevice** out) override {
    for (DoubleEndpoint* e : all_) {
      if (e->id == id) {
        *out = new Device(e);
        return S_OK;
      }
    }
    *out = nullptr;
    return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
  }
  HRESULT STDMETHODCALLTYPE RegisterEndpointNotificationCallback(IMMNotificationClient*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE
  UnregisterEndpointNotificationCallback(IMMNotificationClient*) override {
    return E_NOTIMPL;
  }

 private:
  std::vector<DoubleEndpoint*> all_;
};

}  // namespace wasapi_double

// The factory the driver takes: an enumerator over the given endpoints (which
// the test keeps alive for the driver's lifetime).
inline std::function<HRESULT(IMMDeviceEnumerator**)> DoubleEnumerator(
    std::vector<DoubleEndpoint*> endpoints) {
  return [endpoints](IMMDeviceEnumerator** out) {
    *out = new wasapi_double::Enumerator(endpoints);
    return S_OK;
  };
}

}  // namespace ov::test
