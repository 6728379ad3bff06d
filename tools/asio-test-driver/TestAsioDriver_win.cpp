// The test ASIO driver: configurable channels, sample type, buffer size and
// rates; a thread of its own calls the host's buffer switch at the buffer
// period; what the host writes to output channel c comes back on input
// channel c one buffer later, and an input without an output buffer carries a
// known pattern. The host's output samples are captured for the tests.
#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "app/engine/AsioInterface_win.h"
#include "tools/asio-test-driver/TestAsioControl.h"

using namespace ov::asio;
using ov::asio_test::Config;

namespace {

const CLSID kClassId = {
    0x9e5a41c5, 0xd15e, 0x43e1, {0xa4, 0x90, 0x64, 0x12, 0x34, 0x52, 0x9c, 0x3a}};

std::mutex g_lock;  // guards the settings, captures and monitor record
Config g_config;
bool g_configured = false;
std::vector<std::vector<uint8_t>> g_capture;
int32_t g_monitor[5] = {};
bool g_monitorSet = false;
std::atomic<uint64_t> g_callbacks{0};
// The host's message callback from the last createBuffers (null before one).
std::atomic<int32_t (*)(int32_t, int32_t, void*, double*)> g_hostMessage{nullptr};
std::atomic<long> g_objects{0};

// Settings from the environment, for drivers a separate program (ovtool)
// creates: OVASIO_TYPE (16, 24, 32, f32), OVASIO_INPUTS, OVASIO_OUTPUTS,
// OVASIO_BUFFER, OVASIO_RATE.
void ReadEnvironment(Config& c) {
  char v[64];
  if (GetEnvironmentVariableA("OVASIO_TYPE", v, sizeof v)) {
    if (!std::strcmp(v, "16")) c.sampleType = kInt16LSB;
    if (!std::strcmp(v, "24")) c.sampleType = kInt24LSB;
    if (!std::strcmp(v, "32")) c.sampleType = kInt32LSB;
    if (!std::strcmp(v, "f32")) c.sampleType = kFloat32LSB;
  }
  if (GetEnvironmentVariableA("OVASIO_INPUTS", v, sizeof v)) c.inputs = atoi(v);
  if (GetEnvironmentVariableA("OVASIO_OUTPUTS", v, sizeof v)) c.outputs = atoi(v);
  if (GetEnvironmentVariableA("OVASIO_BUFFER", v, sizeof v)) c.bufferFrames = atoi(v);
  if (GetEnvironmentVariableA("OVASIO_RATE", v, sizeof v)) c.rate = atof(v);
}

Config CurrentConfig() {
  std::lock_guard<std::mutex> l(g_lock);
  if (!g_configured) {
    ReadEnvironment(g_config);
    g_configured = true;
  }
  return g_config;
}

class TestDriver final : public IAsio {
 public:
  TestDriver() : config_(CurrentConfig()), rate_(config_.rate) { ++g_objects; }
  ~TestDriver() {
    StopThread();
    --g_objects;
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kClassId)) {
      *out = static_cast<IAsio*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long r = --refs_;
    if (r == 0) delete this;
    return static_cast<ULONG>(r);
  }

  // IAsio
  int32_t init(void*) override { return config_.failInit ? 0 : 1; }
  void getDriverName(char* name) override { std::strcpy(name, "Orlavisonic Test"); }
  int32_t getDriverVersion() override { return 1; }
  void getErrorMessage(char* text) override {
    std::strcpy(text, config_.failInit ? "Test driver refused to start" : "");
  }
  int32_t start() override {
    if (!created_) return kInvalidMode;
    if (running_.load()) return kOk;
    running_ = true;
    thread_ = std::thread([this] { Run(); });
    return kOk;
  }
  int32_t stop() override {
    StopThread();
    return kOk;
  }
  int32_t getChannels(int32_t* in, int32_t* out) override {
    *in = config_.inputs;
    *out = config_.outputs;
    return kOk;
  }
  int32_t getLatencies(int32_t* in, int32_t* out) override {
    *in = config_.inputLatency;
    *out = config_.outputLatency;
    return kOk;
  }
  int32_t getBufferSize(int32_t* mn, int32_t* mx, int32_t* pref, int32_t* gran) override {
    *mn = *mx = *pref = config_.bufferFrames;
    *gran = 0;
    return kOk;
  }
  int32_t canSampleRate(double rate) override {
    for (double r : config_.rates) {
      if (r == 0) break;
      if (r == rate) return kOk;
    }
    return kNoClock;
  }
  int32_t getSampleRate(double* rate) override {
    *rate = rate_;
    return kOk;
  }
  int32_t setSampleRate(double rate) override {
    if (canSampleRate(rate) != kOk) return kNoClock;
    rate_ = rate;
    return kOk;
  }
  int32_t getClockSources(void*, int32_t* count) override {
    *count = 0;
    return kOk;
  }
  int32_t setClockSource(int32_t) override { return kOk; }
  int32_t getSamplePosition(Samples64* pos, Samples64* time) override {
    const uint64_t p = position_.load();
    pos->hi = static_cast<uint32_t>(p >> 32);
    pos->lo = static_cast<uint32_t>(p);
    const uint64_t ns = static_cast<uint64_t>(GetTickCount64()) * 1000000;
    time->hi = static_cast<uint32_t>(ns >> 32);
    time->lo = static_cast<uint32_t>(ns);
    return kOk;
  }
  int32_t getChannelInfo(ChannelInfo* info) override {
    const int32_t n = info->isInput ? config_.inputs : config_.outputs;
    if (info->channel < 0 || info->channel >= n) return kInvalidParameter;
    info->isActive = 0;
    info->channelGroup = 0;
    info->type = config_.sampleType;
    std::snprintf(info->name, sizeof info->name, "%s %d", info->isInput ? "In" : "Out",
                  info->channel + 1);
    return kOk;
  }
  int32_t createBuffers(BufferInfo* infos, int32_t count, int32_t frames,
                        Callbacks* callbacks) override {
    disposeBuffers();
    const uint32_t bytes = static_cast<uint32_t>(frames) * SampleBytes(config_.sampleType);
    if (frames <= 0 || !callbacks || bytes == 0) return kInvalidMode;
    for (int32_t i = 0; i < count; ++i) {
      const int32_t n = infos[i].isInput ? config_.inputs : config_.outputs;
      if (infos[i].channelNum < 0 || infos[i].channelNum >= n) return kInvalidParameter;
    }
    frames_ = frames;
    bytes_ = bytes;
    callbacks_ = *callbacks;
    g_hostMessage = callbacks->asioMessage;
    channels_.clear();
    for (int32_t i = 0; i < count; ++i) {
      Channel c;
      c.input = infos[i].isInput != 0;
      c.number = infos[i].channelNum;
      c.memory.assign(2 * static_cast<size_t>(bytes), 0);
      infos[i].buffers[0] = c.memory.data();
      infos[i].buffers[1] = c.memory.data() + bytes;
      channels_.push_back(std::move(c));
    }
    {
      std::lock_guard<std::mutex> l(g_lock);
      g_capture.assign(static_cast<size_t>(config_.outputs), {});
      for (auto& c : g_capture) c.reserve(config_.captureBytes);
    }
    created_ = true;
    return kOk;
  }
  int32_t disposeBuffers() override {
    StopThread();
    channels_.clear();
    created_ = false;
    return kOk;
  }
  int32_t controlPanel() override { return kOk; }
  int32_t future(int32_t selector, void* argument) override {
    if (selector != kFutureSetInputMonitor || !argument) return kInvalidParameter;
    const InputMonitor* m = static_cast<const InputMonitor*>(argument);
    std::lock_guard<std::mutex> l(g_lock);
    g_monitor[0] = m->input;
    g_monitor[1] = m->output;
    g_monitor[2] = m->gain;
    g_monitor[3] = m->state;
    g_monitor[4] = m->pan;
    g_monitorSet = true;
    return config_.futureAnswer;
  }
  int32_t outputReady() override { return config_.outputReady ? kOk : kNotPresent; }

 private:
  struct Channel {
    bool input = false;
    int32_t number = 0;
    std::vector<uint8_t> memory;
  };

  void StopThread() {
    running_ = false;
    if (thread_.joinable()) thread_.join();
  }

  Channel* Output(int32_t number) {
    for (Channel& c : channels_) {
      if (!c.input && c.number == number) return &c;
    }
    return nullptr;
  }

  void FillPattern(uint8_t* dst, int32_t channel, uint64_t first) {
    const uint32_t size = SampleBytes(config_.sampleType);
    for (int32_t i = 0; i < frames_; ++i) {
      const uint32_t v = static_cast<uint32_t>(ov::asio_test::Pattern(first + i, channel));
      const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                            static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
      std::memcpy(dst + static_cast<size_t>(i) * size, b + (4 - size), size);
    }
  }

  void Run() {
    using clock = std::chrono::steady_clock;
    const auto period = std::chrono::duration<double>(frames_ / (rate_ > 0 ? rate_ : 48000));
    auto next = clock::now();
    while (running_.load()) {
      next += std::chrono::duration_cast<clock::duration>(period);
      std::this_thread::sleep_until(next);
      if (!running_.load()) break;
      if (config_.stallAfter && calls_ >= static_cast<uint64_t>(config_.stallAfter)) continue;
      const int32_t half = index_;
      // Inputs without an output of the same number carry the pattern.
      for (Channel& c : channels_) {
        if (c.input && !Output(c.number)) {
          FillPattern(c.memory.data() + half * bytes_, c.number, position_.load());
        }
      }
      if (config_.plainBufferSwitch) {
        callbacks_.bufferSwitch(half, 1);
      } else {
        Time t{};
        const uint64_t p = position_.load();
        t.timeInfo.samplePosition = {static_cast<uint32_t>(p >> 32), static_cast<uint32_t>(p)};
        t.timeInfo.sampleRate = rate_;
        t.timeInfo.flags = kSamplePositionValid | kSampleRateValid;
        callbacks_.bufferSwitchTimeInfo(&t, half, 1);
      }
      ++calls_;
      ++g_callbacks;
      // What the host wrote now: captured, and looped into the inputs of the
      // other half, which the host reads at the next switch.
      {
        std::lock_guard<std::mutex> l(g_lock);
        for (Channel& c : channels_) {
          if (c.input) continue;
          const uint8_t* src = c.memory.data() + half * bytes_;
          auto& cap = g_capture[static_cast<size_t>(c.number)];
          const size_t room = config_.captureBytes - cap.size();
          cap.insert(cap.end(), src, src + (room < bytes_ ? room : bytes_));
        }
      }
      for (Channel& c : channels_) {
        if (!c.input) continue;
        if (Channel* o = Output(c.number)) {
          std::memcpy(c.memory.data() + (1 - half) * bytes_, o->memory.data() + half * bytes_,
                      bytes_);
        }
      }
      position_ += static_cast<uint64_t>(frames_);
      index_ = 1 - half;
    }
  }

  std::atomic<long> refs_{1};
  Config config_;
  double rate_;
  bool created_ = false;
  int32_t frames_ = 0;
  uint32_t bytes_ = 0;
  Callbacks callbacks_{};
  std::vector<Channel> channels_;
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<uint64_t> position_{0};
  uint64_t calls_ = 0;
  int32_t index_ = 0;
};

class Factory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    TestDriver* d = new TestDriver;
    const HRESULT hr = d->QueryInterface(iid, out);
    d->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

}  // namespace

extern "C" {

__declspec(dllexport) HRESULT STDAPICALLTYPE
    DllGetClassObject(REFCLSID id, REFIID iid, void** out) {
  if (!IsEqualCLSID(id, kClassId)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, out);
}

// Stays loaded: tests keep their settings in this module.
__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return S_FALSE;
}

__declspec(dllexport) void OvAsioTestConfigure(const Config* c) {
  std::lock_guard<std::mutex> l(g_lock);
  g_config = c ? *c : Config{};
  g_configured = true;
  g_capture.clear();
  g_monitorSet = false;
}

__declspec(dllexport) size_t
    OvAsioTestCapture(int32_t channel, void* destination, size_t capacity) {
  std::lock_guard<std::mutex> l(g_lock);
  if (channel < 0 || static_cast<size_t>(channel) >= g_capture.size()) return 0;
  const auto& cap = g_capture[static_cast<size_t>(channel)];
  const size_t n = cap.size() < capacity ? cap.size() : capacity;
  if (n) std::memcpy(destination, cap.data(), n);
  return n;
}

__declspec(dllexport) int32_t OvAsioTestLastMonitor(int32_t* values) {
  std::lock_guard<std::mutex> l(g_lock);
  if (!g_monitorSet) return 0;
  std::memcpy(values, g_monitor, sizeof g_monitor);
  return 1;
}

__declspec(dllexport) uint64_t OvAsioTestCallbackCount() {
  return g_callbacks.load();
}

__declspec(dllexport) int32_t OvAsioTestAskHost(int32_t selector, int32_t value) {
  const auto message = g_hostMessage.load();
  return message ? message(selector, value, nullptr, nullptr) : kNotPresent;
}

}  // extern "C"
