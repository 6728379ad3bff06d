// The project's test ASIO driver ("ovasiotest.dll"): what a test can set and
// read through the DLL's exported control functions. The driver object itself
// is reached through COM like any ASIO driver; a test loads the same DLL file
// first (LoadLibrary on the registered path) so that its settings reach the
// objects COM creates. A test tool: never shipped beside the program.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ov::asio_test {

// The driver's class identifier {9e5a41c5-d15e-43e1-a490-641234529c3a}.
constexpr const char kClassIdText[] = "{9E5A41C5-D15E-43E1-A490-641234529C3A}";

struct Config {
  int32_t inputs = 8;
  int32_t outputs = 8;
  int32_t sampleType = 18;  // Int32LSB
  int32_t bufferFrames = 256;
  double rate = 48000;  // what getSampleRate reports before any setSampleRate (0 allowed)
  double rates[8] = {44100, 48000, 88200, 96000, 0, 0, 0, 0};  // accepted; 0 ends the list
  int32_t failInit = 0;    // init returns false with the text "Test driver refused to start"
  int32_t stallAfter = 0;  // the thread stops calling back after this many callbacks (0: never)
  int32_t futureAnswer = 0x3F4847A0;  // what future(3, input monitor) returns
  int32_t outputReady = 1;            // outputReady supported
  int32_t inputLatency = 256, outputLatency = 512;
  uint32_t captureBytes = 0;      // per output channel, kept from start on
  int32_t plainBufferSwitch = 0;  // call bufferSwitch instead of bufferSwitchTimeInfo
};

// Exported functions (C names), for GetProcAddress.
// Settings for driver objects created from now on; Clears the captures.
using ConfigureFn = void (*)(const Config*);
// Copies up to `capacity` captured bytes of output channel `channel`
// (the samples the host wrote, in the driver's type); returns the count.
using CaptureFn = size_t (*)(int32_t channel, void* destination, size_t capacity);
// The last input monitor record received through future(3); false when none.
using LastMonitorFn = int32_t (*)(int32_t* fiveValues);
// Callbacks made since the DLL was loaded.
using CallbackCountFn = uint64_t (*)();

// Calls the message callback the host gave at the last createBuffers, on the
// calling thread, as a driver does when its settings change under the host
// (a reset request after its control panel, a changed buffer size); returns
// the host's answer, or -1000 when no host has given callbacks yet.
using AskHostFn = int32_t (*)(int32_t selector, int32_t value);

constexpr const char kConfigure[] = "OvAsioTestConfigure";
constexpr const char kCapture[] = "OvAsioTestCapture";
constexpr const char kLastMonitor[] = "OvAsioTestLastMonitor";
constexpr const char kCallbackCount[] = "OvAsioTestCallbackCount";
constexpr const char kAskHost[] = "OvAsioTestAskHost";

// The input pattern a channel carries while no output feeds it: sample n of
// channel c, as 32 bits (24- and 16-bit types take its upper bytes).
inline int32_t Pattern(uint64_t n, int32_t c) {
  const uint32_t v16 = static_cast<uint32_t>(n * 331 + static_cast<uint64_t>(c) * 4099) & 0xFFFF;
  const uint32_t low = static_cast<uint32_t>(n * 7 + static_cast<uint64_t>(c)) & 0xFFFF;
  return static_cast<int32_t>(v16 << 16 | low);
}

}  // namespace ov::asio_test
