// The data the host and an ASIO driver exchange: error codes, sample types,
// and the records passed through the driver's interface (AsioInterface_win.h).
// Integers the interface declares as the platform's 32-bit "long" are int32_t
// here, so that the records have the same layout on Windows x86_64 (where long
// is 32 bits) and in the portable code tested natively.
#pragma once

#include <cstdint>

namespace ov::asio {

// Error codes returned by the driver's calls.
constexpr int32_t kOk = 0;
constexpr int32_t kSuccess = 0x3F4847A0;  // success of a "future" call
constexpr int32_t kNotPresent = -1000;    // no driver loaded, or the driver failed to start
constexpr int32_t kHwMalfunction = -999;
constexpr int32_t kInvalidParameter = -998;
constexpr int32_t kInvalidMode = -997;
constexpr int32_t kNoClock = -995;
// The host library's own codes.
constexpr int32_t kNoTarget = -5001;      // no target given
constexpr int32_t kDriverExists = -5002;  // a driver object already exists
constexpr int32_t kNoSuchDriver = -5003;  // no driver with that index

// Sample types of the driver's channel buffers (little-endian ones; the
// big-endian types are listed so that their numbers are recognised).
enum SampleType : int32_t {
  kInt16MSB = 0,
  kInt24MSB = 1,
  kInt32MSB = 2,
  kFloat32MSB = 3,
  kFloat64MSB = 4,
  kInt16LSB = 16,
  kInt24LSB = 17,  // packed, three bytes per sample
  kInt32LSB = 18,
  kFloat32LSB = 19,
  kFloat64LSB = 20,
  kInt32LSB16 = 24,  // 32-bit containers holding 16, 18, 20 or 24 bits
  kInt32LSB18 = 25,
  kInt32LSB20 = 26,
  kInt32LSB24 = 27,
};

// Bytes of one sample of a channel buffer; 0 for types the host does not know.
inline uint32_t SampleBytes(int32_t type) {
  switch (type) {
    case kInt16LSB:
    case kInt16MSB:
      return 2;
    case kInt24LSB:
    case kInt24MSB:
      return 3;
    case kFloat64LSB:
    case kFloat64MSB:
      return 8;
    case kInt32LSB:
    case kInt32MSB:
    case kFloat32LSB:
    case kFloat32MSB:
    case kInt32LSB16:
    case kInt32LSB18:
    case kInt32LSB20:
    case kInt32LSB24:
      return 4;
    default:
      return 0;
  }
}

// The engine's bit width of a type: 16, 24, 32, -32 / -64 for floats, 0 others.
inline int32_t DriverBitsOf(int32_t type) {
  switch (type) {
    case kInt16LSB:
      return 16;
    case kInt24LSB:
      return 24;
    case kInt32LSB:
    case kInt32LSB16:
    case kInt32LSB18:
    case kInt32LSB20:
    case kInt32LSB24:
      return 32;
    case kFloat32LSB:
      return -32;
    case kFloat64LSB:
      return -64;
    default:
      return 0;
  }
}

// A 64-bit count as two 32-bit halves, high half first.
struct Samples64 {
  uint32_t hi;
  uint32_t lo;
};
inline double ToDouble(Samples64 s) {
  return s.lo + s.hi * 4294967296.0;
}

struct ChannelInfo {
  int32_t channel;   // in: channel number
  int32_t isInput;   // in: 1 input, 0 output
  int32_t isActive;  // out
  int32_t channelGroup;
  int32_t type;  // SampleType
  char name[32];
};

struct BufferInfo {
  int32_t isInput;
  int32_t channelNum;
  void* buffers[2];  // the two halves, filled by the driver
};

// Flags of TimeInfo::flags.
constexpr uint32_t kSystemTimeValid = 1;
constexpr uint32_t kSamplePositionValid = 2;
constexpr uint32_t kSampleRateValid = 4;
// Flag of TimeCode::flags.
constexpr uint32_t kTimeCodeValid = 1;

struct TimeInfo {
  double speed;
  Samples64 systemTime;  // nanoseconds
  Samples64 samplePosition;
  double sampleRate;
  uint32_t flags;
  char reserved[12];
};

struct TimeCode {
  double speed;
  Samples64 timeCodeSamples;
  uint32_t flags;
  char future[64];
};

struct Time {
  int32_t reserved[4];
  TimeInfo timeInfo;
  TimeCode timeCode;
};

// The four functions the host hands to createBuffers; the driver calls them on
// its own thread.
struct Callbacks {
  void (*bufferSwitch)(int32_t index, int32_t directProcess);
  void (*sampleRateDidChange)(double rate);
  int32_t (*asioMessage)(int32_t selector, int32_t value, void* message, double* opt);
  Time* (*bufferSwitchTimeInfo)(Time* params, int32_t index, int32_t directProcess);
};

// Message selectors of asioMessage.
enum MessageSelector : int32_t {
  kSelectorSupported = 1,
  kEngineVersion = 2,
  kResetRequest = 3,
  kBufferSizeChange = 4,
  kResyncRequest = 5,
  kLatenciesChanged = 6,
  kSupportsTimeInfo = 7,
  kSupportsTimeCode = 8,
  kMessageSelector9 = 9,
};

// The "future" call that switches the driver's direct input monitoring.
constexpr int32_t kFutureSetInputMonitor = 3;
struct InputMonitor {
  int32_t input;   // -1: all inputs
  int32_t output;  // first output of the monitored pair
  int32_t gain;    // 0 .. 0x7FFFFFFF, 0x20000000 = 0 dB
  int32_t state;   // on / off
  int32_t pan;     // 0 left .. 0x7FFFFFFF right, 0x40000000 centre
};

}  // namespace ov::asio
