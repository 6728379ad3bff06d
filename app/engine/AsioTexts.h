// The ASIO family's failure texts and its information text. English only:
// the transport classifies failure texts by their first characters.
#pragma once

#include <cstdint>
#include <string>

namespace ov::asio {

namespace text {
constexpr const char kNoDriver[] = "No ASIO driver";
constexpr const char kUnableToCreate[] = "Unable to create ASIO";
constexpr const char kUnableToGetCaps[] = "Unable to get device caps";
constexpr const char kUnableToGetChannelInfo[] = "Unable to get channel info.";
constexpr const char kUnableToCreateBuffer[] = "Unable to create ASIO buffer";
constexpr const char kBufferNotActive[] = "Buffer is not active";
constexpr const char kStartFailed[] = "Error: ASIOStart()";
// The driver serves one direction at a time: the other side's open is
// refused while a run holds the driver's buffers.
constexpr const char kInUseByPlayback[] = "ASIO driver is in use by playback";
constexpr const char kInUseByRecording[] = "ASIO driver is in use by recording";
// A run ends with these when the driver asks for it during the run.
constexpr const char kResetRequested[] = "ASIO driver requested a reset";
constexpr const char kBufferSizeChanged[] = "ASIO driver changed its buffer size";
}  // namespace text

std::string UnableToLoadText(const std::string& driverName);    // "Unable to load: %s"
std::string UnableToInitializeText(const std::string& reason);  // "Unable to initialize: %s"
std::string UnsupportedBitLengthText(bool isFloat,
                                     int32_t bits);   // "Unsupported bit length. [%s%d]"
std::string UnsupportedRateText(int32_t rate);        // "Unsupported sampling freq. [%d]"
std::string UnableToSetRateText(int32_t rate);        // "Unable to set sampling freq. to [%d]"
std::string UnsupportedSampleTypeText(int32_t type);  // "ASIO Error: Unsupported sample type %d"
// A first channel the driver does not have.
std::string NoSuchChannelText(int32_t first, int32_t count, bool input);

// What the information box shows about an opened driver.
struct AsioInfo {
  std::string driverName;
  int32_t inputs = 0, outputs = 0;
  int32_t rate = 0;
  int32_t driverBits = 0, firstType = 0;
  int32_t bufMin = 0, bufMax = 0, bufPreferred = 0, bufGranularity = 0;
  int32_t inputLatency = 0, outputLatency = 0;
  bool postOutput = false;
};
std::string InfoText(const AsioInfo& info);

}  // namespace ov::asio
