// Endpoint tables, opening, stream preparation and the information text of
// the WASAPI family. The transfer threads and the start/stop sequence are in
// WasapiStream_win.cpp.
#include "app/engine/WasapiDriver_win.h"

#include <propsys.h>

#include <cstring>

#include "app/engine/WasapiFormat.h"

namespace ov {
namespace {

// PKEY_Device_FriendlyName, spelled out so that no GUID library is needed.
const PROPERTYKEY kFriendlyName = {
    {0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}}, 14};

constexpr DWORD kEventCallback = 0x40000;  // AUDCLNT_STREAMFLAGS_EVENTCALLBACK

template <class T>
void Release(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

std::string Utf8(const wchar_t* w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w, -1, s.data(), n, nullptr, nullptr);
  s.resize(static_cast<size_t>(n - 1));
  return s;
}

void CopyWide(wchar_t* to, size_t capacity, const wchar_t* from) {
  size_t i = 0;
  for (; from && from[i] && i + 1 < capacity; ++i) to[i] = from[i];
  to[i] = L'\0';
}

// The requested buffer length: 1..200 ms; 0 (not configured) is the default 20.
int32_t LatencyMs(int32_t ms) {
  if (ms <= 0) return 20;
  return ms > 200 ? 200 : ms;
}

}  // namespace

HRESULT CreateSystemEnumerator(IMMDeviceEnumerator** out) {
  return CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                          __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(out));
}

WasapiDriver::WasapiDriver(const AvrtBinding* mmcss, WasapiEnumeratorFactory factory)
    : mmcss_(mmcss), factory_(std::move(factory)) {
  out_.output = true;
  in_.output = false;
  out_.event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  in_.event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

WasapiDriver::~WasapiDriver() {
  ReleaseSide(out_);
  ReleaseSide(in_);
  Release(enumerator_);
  if (out_.event) CloseHandle(out_.event);
  if (in_.event) CloseHandle(in_.event);
  if (comInitialized_) CoUninitialize();
}

// ------------------------------------------------------------------ endpoint tables

void WasapiDriver::EnumerateEndpoints(EDataFlow flow, Endpoint* table, uint32_t& count) {
  count = 0;
  IMMDeviceCollection* all = nullptr;
  if (FAILED(enumerator_->EnumAudioEndpoints(flow, DEVICE_STATE_ACTIVE, &all))) return;
  UINT n = 0;
  if (SUCCEEDED(all->GetCount(&n))) count = n;
  // The count is kept as reported; only the first entries are read.
  for (UINT i = 0; i < n && i < kMaxEndpoints; ++i) {
    Endpoint& e = table[i];
    e.name[0] = e.id[0] = L'\0';
    IMMDevice* device = nullptr;
    if (FAILED(all->Item(i, &device))) continue;
    LPWSTR id = nullptr;
    if (SUCCEEDED(device->GetId(&id))) {
      CopyWide(e.id, sizeof e.id / sizeof e.id[0], id);
      CoTaskMemFree(id);
    }
    IPropertyStore* props = nullptr;
    if (SUCCEEDED(device->OpenPropertyStore(STGM_READ, &props))) {
      PROPVARIANT v;
      PropVariantInit(&v);
      if (SUCCEEDED(props->GetValue(kFriendlyName, &v)) && v.vt == VT_LPWSTR) {
        CopyWide(e.name, kNameChars + 1, v.pwszVal);
      }
      PropVariantClear(&v);
      props->Release();
    }
    device->Release();
  }
  all->Release();
}

DeviceCheck WasapiDriver::CheckDevices() {
  DeviceCheck c;
  if (!mmcss_ || !mmcss_->MmcssAvailable()) {
    c.message = text::kWasapiNeedsVista;
    c.unusable = true;
    return c;
  }
  if (!comInitialized_) {
    // The calling thread may already be in an apartment of another kind;
    // the audio interfaces work from either.
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    comInitialized_ = SUCCEEDED(hr);
  }
  Release(enumerator_);
  outCount_ = inCount_ = 0;
  if (FAILED(factory_(&enumerator_)) || !enumerator_) {
    enumerator_ = nullptr;
    c.message = text::kNoWasapiInputOutput;
    c.unusable = true;
    return c;
  }
  EnumerateEndpoints(eRender, outTable_, outCount_);
  EnumerateEndpoints(eCapture, inTable_, inCount_);
  c.outputs = DeviceCount(false);
  c.inputs = DeviceCount(true);
  if (c.outputs == 0 && c.inputs == 0) {
    c.message = text::kNoWasapiInputOutput;
    c.unusable = true;
  } else if (c.outputs == 0) {
    c.message = text::kNoWasapiOutput;
  } else if (c.inputs == 0) {
    c.message = text::kNoWasapiInput;
  }
  return c;
}

uint32_t WasapiDriver::DeviceCount(bool input) {
  const uint32_t n = input ? inCount_ : outCount_;
  return n < kMaxEndpoints ? n : kMaxEndpoints;
}

std::string WasapiDriver::DeviceName(uint32_t number, bool input) {
  if (number >= DeviceCount(input)) return {};
  return Utf8((input ? inTable_ : outTable_)[number].name);
}

// ------------------------------------------------------------------ opening and preparation

bool WasapiDriver::ActivateClient(Side& s) {
  Release(s.client);
  return SUCCEEDED(s.device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr,
                                      reinterpret_cast<void**>(&s.client))) &&
         s.client;
}

bool WasapiDriver::OpenSide(Side& s, int32_t id, EngineMessage& message) {
  // The engine numbers devices as waveform audio does (-1 the mapper); the
  // family's device number is the table index itself.
  const uint32_t index = id < 0 ? 0 : static_cast<uint32_t>(id) + 1;
  if (DeviceCount(!s.output) == 0 || !enumerator_) {
    message.Set(s.output ? text::kNoWasapiOutput : text::kNoWasapiInput);
    return false;
  }
  ReleaseSide(s);
  if (index >= DeviceCount(!s.output)) {
    message.Set(text::kWasapiGetDevice);
    return false;
  }
  s.index = index;
  const Endpoint& e = (s.output ? outTable_ : inTable_)[index];
  if (FAILED(enumerator_->GetDevice(e.id, &s.device)) || !s.device) {
    s.device = nullptr;
    message.Set(text::kWasapiGetDevice);
    return false;
  }
  if (!ActivateClient(s)) {
    message.Set(text::kWasapiActivateClient);
    return false;
  }
  return true;
}

bool WasapiDriver::InitStream(Side& s, const WaveFormat& engine, const DriverOptions& o,
                              EngineMessage& message) {
  const uint32_t floatWidth = FloatWidth(engine);
  bool monoToStereo = false;
  WaveFormat d = FirstWasapiFormat(engine, s.output, o.monoAsStereo, &monoToStereo);
  s.eventMode = o.wasapiEventMode;
  const double rate = d.samplesPerSec ? d.samplesPerSec : 1;
  for (;;) {
    HRESULT hr = s.client->GetDevicePeriod(&s.defaultPeriod, &s.minPeriod);
    if (FAILED(hr)) {
      message.Set(WasapiDevicePeriodText(static_cast<uint32_t>(hr)).c_str());
      return false;
    }
    UINT32 frames = static_cast<UINT32>(rate * LatencyMs(o.wasapiLatencyMs) * 0.001 + 0.5);
    for (int attempt = 0; attempt < 2; ++attempt) {
      s.duration = static_cast<REFERENCE_TIME>(frames * 1e7 / rate + 0.5);
      hr = s.client->Initialize(AUDCLNT_SHAREMODE_EXCLUSIVE, s.eventMode ? kEventCallback : 0,
                                s.duration, s.duration, reinterpret_cast<const WAVEFORMATEX*>(&d),
                                nullptr);
      if (hr != AUDCLNT_E_BUFFER_SIZE_NOT_ALIGNED || attempt == 1) break;
      // The endpoint wants whole hardware periods: ask again with its size
      // on a fresh client.
      const HRESULT sized = s.client->GetBufferSize(&frames);
      if (FAILED(sized)) {
        message.Set(WasapiBufferSizeText(static_cast<uint32_t>(sized)).c_str());
        return false;
      }
      if (!ActivateClient(s)) {
        message.Set(text::kWasapiActivateClient);
        return false;
      }
    }
    if (SUCCEEDED(hr)) break;
    if (!NextWasapiFormat(d, floatWidth, s.output)) {
      message.Set(WasapiInitializeText(static_cast<uint32_t>(hr)).c_str());
      return false;
    }
    if (!ActivateClient(s)) {
      message.Set(text::kWasapiActivateClient);
      return false;
    }
  }
  s.deviceFormat = d;

  if (s.eventMode && FAILED(s.client->SetEventHandle(s.event))) {
    message.Set(text::kWasapiSetEventHandle);
    return false;
  }
  if (FAILED(s.client->GetBufferSize(&s.bufferFrames))) {
    message.Set(text::kWasapiGetBufferSize);
    return false;
  }
  if (FAILED(s.client->GetStreamLatency(&s.latency))) {
    message.Set(text::kWasapiGetStreamLatency);
    return false;
  }
  if (s.output) s.latencyMs = static_cast<uint32_t>(s.latency / 10000);
  if (FAILED(s.client->GetService(__uuidof(IAudioClock), reinterpret_cast<void**>(&s.clock)))) {
    s.clock = nullptr;
    message.Set(text::kWasapiActivateClock);
    return false;
  }
  if (s.output) {
    if (FAILED(s.client->GetService(__uuidof(IAudioRenderClient),
                                    reinterpret_cast<void**>(&s.render)))) {
      s.render = nullptr;
      message.Set(text::kWasapiGetRenderClient);
      return false;
    }
  } else if (FAILED(s.client->GetService(__uuidof(IAudioCaptureClient),
                                         reinterpret_cast<void**>(&s.capture)))) {
    s.capture = nullptr;
    message.Set(text::kWasapiGetCaptureClient);
    return false;
  }
  s.channelCount = 2;
  if (SUCCEEDED(s.device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr,
                                   reinterpret_cast<void**>(&s.volume))) &&
      s.volume) {
    UINT n = 0;
    if (FAILED(s.volume->GetChannelCount(&n))) {
      message.Set(text::kWasapiGetChannelCount);
      if (!s.output) {
        // A capture client that was handed out is run once before release.
        s.client->Start();
        s.client->Stop();
      }
      return false;
    }
    s.channelCount = static_cast<int32_t>(n);
  } else {
    s.volume = nullptr;
    s.channelCount = -2;
  }
  s.transfer.Configure(WasapiLayout(engine, d, monoToStereo), s.output, s.done);
  s.priority = s.output ? o.playThreadPriority : o.recThreadPriority;
  s.lastCounter = 0;
  return true;
}

void WasapiDriver::ReleaseSide(Side& s) {
  if (s.thread.joinable()) {
    s.terminate = true;
    SetEvent(s.event);
    s.thread.join();
  }
  if (s.client && s.started) s.client->Stop();
  s.started = false;
  s.open = false;
  Release(s.render);
  Release(s.capture);
  Release(s.clock);
  Release(s.volume);
  Release(s.client);
  Release(s.device);
  s.transfer.Clear();
  s.failed = false;
  s.needsPrime = s.firstStart = true;
}

bool WasapiDriver::OpenOutput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                              AutoResetEvent& done, EngineMessage& message) {
  out_.done = &done;
  out_.message = &message;
  if (!OpenSide(out_, id, message) || !InitStream(out_, f, o, message) ||
      !StartThread(out_, message)) {
    ReleaseSide(out_);
    return false;
  }
  return true;
}

bool WasapiDriver::OpenInput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                             AutoResetEvent& done, EngineMessage& message) {
  in_.done = &done;
  in_.message = &message;
  if (!OpenSide(in_, id, message) || !InitStream(in_, f, o, message) ||
      !StartThread(in_, message)) {
    ReleaseSide(in_);
    return false;
  }
  return true;
}

bool WasapiDriver::ProbeInput(int32_t id, const WaveFormat& f, const DriverOptions& o,
                              EngineMessage& message) {
  in_.done = nullptr;
  const bool ok = OpenSide(in_, id, message) && InitStream(in_, f, o, message);
  ReleaseSide(in_);
  return ok;
}

void WasapiDriver::CloseOutput(EngineMessage&) {
  ReleaseSide(out_);
}
void WasapiDriver::CloseInput(EngineMessage&) {
  ReleaseSide(in_);
}

// ------------------------------------------------------------------ information

std::string WasapiDriver::DeviceInfo(uint32_t number, bool input, const WaveFormat& f,
                                     const DriverOptions& o, bool detailed) {
  WasapiInfo info;
  info.name = DeviceName(number, input);
  info.input = input;
  info.eventMode = o.wasapiEventMode;
  info.withVolume = detailed;
  info.rate = f.samplesPerSec;
  info.bits = f.bitsPerSample;
  // A side of its own, so that a running stream is not disturbed.
  Side s;
  s.output = !input;
  s.event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  EngineMessage message;
  const int32_t id = static_cast<int32_t>(number) - 1;
  info.prepared = OpenSide(s, id, message) && InitStream(s, f, o, message);
  if (info.prepared) {
    if (input) {
      s.client->Start();
      s.client->Stop();
    }
    info.channelCount = s.channelCount;
    info.rate = s.deviceFormat.samplesPerSec;
    info.bits = s.deviceFormat.bitsPerSample;
    info.minPeriod = s.minPeriod;
    info.defaultPeriod = s.defaultPeriod;
    info.latency = s.latency;
    info.bufferFrames = s.bufferFrames;
    if (detailed && s.volume) {
      WasapiVolumeInfo& v = info.volume;
      s.volume->GetMasterVolumeLevel(&v.masterDb);
      s.volume->GetMasterVolumeLevelScalar(&v.masterScalar);
      UINT n = 0;
      s.volume->GetChannelCount(&n);
      v.channels = n < 32 ? n : 32;
      for (UINT c = 0; c < v.channels; ++c) {
        s.volume->GetChannelVolumeLevel(c, &v.channelDb[c]);
        s.volume->GetChannelVolumeLevelScalar(c, &v.channelScalar[c]);
      }
      s.volume->GetVolumeRange(&v.minDb, &v.maxDb, &v.incrementDb);
      UINT step = 0, steps = 0;
      s.volume->GetVolumeStepInfo(&step, &steps);
      v.step = step;
      v.stepCount = steps;
      BOOL mute = FALSE;
      s.volume->GetMute(&mute);
      v.mute = mute != FALSE;
      DWORD support = 0;
      s.volume->QueryHardwareSupport(&support);
      v.hardwareSupport = support;
    }
  } else {
    info.error = message.c_str();
  }
  ReleaseSide(s);
  CloseHandle(s.event);
  return WasapiInfoText(info);
}

}  // namespace ov
