// The WASAPI family's texts: failure reasons left in the engine's message
// text, the names of the audio client's result codes, and the information
// text the setup dialog shows for one endpoint. English only; the transport
// recognises a device in use by the code name at character 22 of
// "Unable to initialize. (%s)", so these stay verbatim.
#pragma once

#include <cstdint>
#include <string>

namespace ov {

namespace text {
constexpr const char kWasapiNeedsVista[] = "Windows Vista SP1 or later required";
constexpr const char kNoWasapiOutput[] = "No WASAPI Output device";
constexpr const char kNoWasapiInput[] = "No WASAPI Input device";
constexpr const char kNoWasapiInputOutput[] = "No WASAPI Input/Output device";
constexpr const char kWasapiGetDevice[] = "Unable to get device.";
constexpr const char kWasapiActivateClient[] = "Unable to activate AudioClient.";
constexpr const char kWasapiSetEventHandle[] = "Unable to set event handle.";
constexpr const char kWasapiGetBufferSize[] = "Unable to get buffer size.";
constexpr const char kWasapiGetStreamLatency[] = "Unable to get stream latency.";
constexpr const char kWasapiActivateClock[] = "Unable to activate AudioClock.";
constexpr const char kWasapiGetRenderClient[] = "Unable to get render client.";
constexpr const char kWasapiGetCaptureClient[] = "Unable to get capture client.";
constexpr const char kWasapiGetChannelCount[] = "Unable to GetChannelCount.";
constexpr const char kWasapiClientStop[] = "Error: AudioClient Stop()";
constexpr const char kWasapiStart[] = "Error: WASAPI Start()";
constexpr const char kWasapiReleaseBuffer[] = "Error: ReleaseBuffer()";
constexpr const char kWasapiGetBuffer[] = "Error: GetBuffer()";
constexpr const char kWasapiGetCurrentPadding[] = "Error: GetCurrentPadding()";
constexpr const char kWasapiGetNextPacketSize[] = "Error: GetNextPacketSize()";
constexpr const char kWasapiSetMmcss[] = "Error: AvSetMmThreadCharacteristics()";
}  // namespace text

// The Windows name of an audio-client result code ("AUDCLNT_E_DEVICE_IN_USE",
// "E_INVALIDARG", ...); "0x%08X" for a code outside the table.
std::string WasapiCodeName(uint32_t code);

// "Unable to get device period. (%s)", "Unable to get buffer size. (%s)",
// "Unable to initialize. (%s)" with the code's name.
std::string WasapiDevicePeriodText(uint32_t code);
std::string WasapiBufferSizeText(uint32_t code);
std::string WasapiInitializeText(uint32_t code);

// What the endpoint volume reports, for the detailed information text.
struct WasapiVolumeInfo {
  float masterDb = 0, masterScalar = 0;
  uint32_t channels = 0;  // entries used in the two arrays
  float channelDb[32] = {}, channelScalar[32] = {};
  float minDb = 0, maxDb = 0, incrementDb = 0;
  uint32_t step = 0, stepCount = 0;
  bool mute = false;
  uint32_t hardwareSupport = 0;  // bits 1 volume, 2 mute, 4 meter
};

// One endpoint's stream as the preparation left it.
struct WasapiInfo {
  std::string name;  // the friendly name, UTF-8
  bool input = false;
  bool prepared = false;
  std::string error;            // the preparation's failure text when not prepared
  int32_t channelCount = 0;     // negative: not reported (shown as "2?")
  uint32_t rate = 0, bits = 0;  // negotiated when prepared, else the engine format's
  int64_t minPeriod = 0, defaultPeriod = 0, latency = 0;  // 100-ns units
  uint32_t bufferFrames = 0;
  bool eventMode = true;
  bool withVolume = false;  // add the endpoint volume block
  WasapiVolumeInfo volume;
};

// The text of the setup dialog's WASAPI information box.
std::string WasapiInfoText(const WasapiInfo& info);

}  // namespace ov
