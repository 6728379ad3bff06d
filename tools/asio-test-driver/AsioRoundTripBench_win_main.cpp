// Round-trip latency through the project's test ASIO driver: the host writes
// one impulse to an output and times its return on the input of the same
// number, in frames and milliseconds, beside the latencies the driver reports.
// Also the host's processor time per buffer switch of this minimal host.
//   ov_asio_round_trip_bench [buffer frames] [rate]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/engine/AsioHost_win.h"
#include "tools/asio-test-driver/TestAsioRegistration_win.h"

namespace {

using namespace ov::asio;

constexpr int32_t kImpulseSwitch = 20;  // the switch whose output carries the impulse
constexpr int32_t kImpulseFrame = 100;  // its frame within that buffer
constexpr int32_t kImpulse = 0x40000000;

BufferInfo g_buffers[2];  // output 0, input 0
int32_t g_frames = 256;
std::atomic<int32_t> g_switches{0};
std::atomic<int64_t> g_returnedAt{-1};  // frames from the impulse's frame to its return
std::atomic<int64_t> g_ticks{0};        // performance-counter ticks spent in the callbacks

Time* OnSwitch(Time* params, int32_t index, int32_t) {
  LARGE_INTEGER t0, t1;
  QueryPerformanceCounter(&t0);
  const int32_t n = g_switches.load();
  auto* out = static_cast<int32_t*>(g_buffers[0].buffers[index]);
  const auto* in = static_cast<const int32_t*>(g_buffers[1].buffers[index]);
  std::memset(out, 0, sizeof(int32_t) * static_cast<size_t>(g_frames));
  if (n == kImpulseSwitch) out[kImpulseFrame] = kImpulse;
  if (n > kImpulseSwitch && g_returnedAt.load() < 0) {
    for (int32_t i = 0; i < g_frames; ++i) {
      if (in[i] == kImpulse) {
        g_returnedAt = static_cast<int64_t>(n - kImpulseSwitch) * g_frames + i - kImpulseFrame;
        break;
      }
    }
  }
  g_switches = n + 1;
  QueryPerformanceCounter(&t1);
  g_ticks += t1.QuadPart - t0.QuadPart;
  return params;
}
void OnPlainSwitch(int32_t index, int32_t direct) {
  OnSwitch(nullptr, index, direct);
}
void OnRate(double) {}
int32_t OnMessage(int32_t selector, int32_t, void*, double*) {
  return selector == kSelectorSupported ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  g_frames = argc > 1 ? std::max(16, std::atoi(argv[1])) : 256;
  const double rate = argc > 2 ? std::atof(argv[2]) : 48000.0;
  HMODULE dll = LoadLibraryA(ov::asio_test::DriverPath().c_str());
  auto configure = reinterpret_cast<ov::asio_test::ConfigureFn>(
      reinterpret_cast<void*>(GetProcAddress(dll, ov::asio_test::kConfigure)));
  if (dll == nullptr || configure == nullptr || !ov::asio_test::RegisterTestDriver()) {
    std::printf("the test driver is not built beside this program\n");
    return 1;
  }
  ov::asio_test::Config config;
  config.inputs = config.outputs = 2;
  config.sampleType = 18;  // Int32LSB
  config.bufferFrames = g_frames;
  config.rate = rate;
  configure(&config);

  int status = 1;
  {
    AsioHost host;
    int32_t index = -1;
    for (size_t i = 0; i < host.Drivers().size(); ++i) {
      if (host.Drivers()[i].name == "Orlavisonic Test Driver") index = static_cast<int32_t>(i);
    }
    DriverInfo info;
    Callbacks callbacks{&OnPlainSwitch, &OnRate, &OnMessage, &OnSwitch};
    g_buffers[0] = BufferInfo{0, 0, {nullptr, nullptr}};
    g_buffers[1] = BufferInfo{1, 0, {nullptr, nullptr}};
    int32_t inLatency = 0, outLatency = 0;
    if (index >= 0 && host.LoadDriver(index) && host.Init(info) == kOk &&
        host.SetSampleRate(rate) == kOk &&
        host.CreateBuffers(g_buffers, 2, g_frames, &callbacks) == kOk &&
        host.GetLatencies(inLatency, outLatency) == kOk && host.Start() == kOk) {
      for (int i = 0; i < 400 && g_returnedAt.load() < 0; ++i) Sleep(5);
      host.Stop();
      const int32_t switches = g_switches.load();
      LARGE_INTEGER f;
      QueryPerformanceFrequency(&f);
      const int64_t frames = g_returnedAt.load();
      if (frames >= 0) {
        std::printf(
            "buffer %d frames at %.0f Hz: the impulse returned %lld frames later "
            "(%.2f ms)\n",
            g_frames, rate, static_cast<long long>(frames), frames * 1000.0 / rate);
        std::printf(
            "driver reports input latency %d, output latency %d: %lld frames (%.2f ms) "
            "with them\n",
            inLatency, outLatency, static_cast<long long>(frames + inLatency + outLatency),
            (frames + inLatency + outLatency) * 1000.0 / rate);
        status = 0;
      } else {
        std::printf("the impulse did not return in %d switches\n", switches);
      }
      std::printf("host time per buffer switch: %.2f us over %d switches\n",
                  g_ticks.load() * 1e6 / f.QuadPart / std::max(switches, 1), switches);
      host.DisposeBuffers();
    } else {
      std::printf("the test driver could not be started\n");
    }
    host.Exit();
  }
  ov::asio_test::UnlistTestDriver();
  return status;
}
