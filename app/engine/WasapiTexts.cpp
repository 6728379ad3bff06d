#include "app/engine/WasapiTexts.h"

#include <cstdio>

namespace ov {
namespace {

struct CodeName {
  uint32_t code;
  const char* name;
};

constexpr CodeName kCodeNames[] = {
    {0x88890001, "AUDCLNT_E_NOT_INITIALIZED"},
    {0x88890002, "AUDCLNT_E_ALREADY_INITIALIZED"},
    {0x88890003, "AUDCLNT_E_WRONG_ENDPOINT_TYPE"},
    {0x88890004, "AUDCLNT_E_DEVICE_INVALIDATED"},
    {0x88890005, "AUDCLNT_E_NOT_STOPPED"},
    {0x88890006, "AUDCLNT_E_BUFFER_TOO_LARGE"},
    {0x88890007, "AUDCLNT_E_OUT_OF_ORDER"},
    {0x88890008, "AUDCLNT_E_UNSUPPORTED_FORMAT"},
    {0x88890009, "AUDCLNT_E_INVALID_SIZE"},
    {0x8889000A, "AUDCLNT_E_DEVICE_IN_USE"},
    {0x8889000B, "AUDCLNT_E_BUFFER_OPERATION_PENDING"},
    {0x8889000C, "AUDCLNT_E_THREAD_NOT_REGISTERED"},
    {0x8889000E, "AUDCLNT_E_EXCLUSIVE_MODE_NOT_ALLOWED"},
    {0x8889000F, "AUDCLNT_E_ENDPOINT_CREATE_FAILED"},
    {0x88890010, "AUDCLNT_E_SERVICE_NOT_RUNNING"},
    {0x88890011, "AUDCLNT_E_EVENTHANDLE_NOT_EXPECTED"},
    {0x88890012, "AUDCLNT_E_EXCLUSIVE_MODE_ONLY"},
    {0x88890013, "AUDCLNT_E_BUFDURATION_PERIOD_NOT_EQUAL"},
    {0x88890014, "AUDCLNT_E_EVENTHANDLE_NOT_SET"},
    {0x88890015, "AUDCLNT_E_INCORRECT_BUFFER_SIZE"},
    {0x88890016, "AUDCLNT_E_BUFFER_SIZE_ERROR"},
    {0x88890017, "AUDCLNT_E_CPUUSAGE_EXCEEDED"},
    {0x88890018, "AUDCLNT_E_BUFFER_ERROR"},
    {0x88890019, "AUDCLNT_E_BUFFER_SIZE_NOT_ALIGNED"},
    {0x88890020, "AUDCLNT_E_INVALID_DEVICE_PERIOD"},
    {0x80004002, "E_NOINTERFACE"},
    {0x80004003, "E_POINTER"},
    {0x8007000E, "E_OUTOFMEMORY"},
    {0x80070057, "E_INVALIDARG"},
};

std::string WithCode(const char* prefix, uint32_t code) {
  return std::string(prefix) + " (" + WasapiCodeName(code) + ")";
}

double Ms(uint32_t frames, uint32_t rate) {
  return rate ? frames * 1000.0 / rate : 0.0;
}

// Frames of a period in 100-ns units, rounded.
uint32_t PeriodFrames(int64_t period, uint32_t rate) {
  return static_cast<uint32_t>(static_cast<double>(rate) * static_cast<double>(period) * 1e-7 +
                               0.5);
}

template <class... A>
void Append(std::string& s, const char* format, A... a) {
  char line[256];
  std::snprintf(line, sizeof line, format, a...);
  s += line;
}

}  // namespace

std::string WasapiCodeName(uint32_t code) {
  for (const CodeName& c : kCodeNames) {
    if (c.code == code) return c.name;
  }
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", code);
  return hex;
}

std::string WasapiDevicePeriodText(uint32_t code) {
  return WithCode("Unable to get device period.", code);
}
std::string WasapiBufferSizeText(uint32_t code) {
  return WithCode("Unable to get buffer size.", code);
}
std::string WasapiInitializeText(uint32_t code) {
  return WithCode("Unable to initialize.", code);
}

std::string WasapiInfoText(const WasapiInfo& i) {
  std::string s = "========== WASAPI Information ==========\n[ " + i.name + " ]\n\n";
  if (i.prepared) {
    const int32_t n = i.channelCount < 0 ? -i.channelCount : i.channelCount;
    Append(s, i.input ? "Input Channels:\t %d%c\n" : "Output Channels:\t %d%c\n", n,
           i.channelCount < 0 ? '?' : ' ');
  }
  Append(s, "Sample Rate:\t %d\nBits/Sample:\t %d\n", static_cast<int>(i.rate),
         static_cast<int>(i.bits));
  if (!i.prepared) return s + "\n\n Error: " + i.error;
  const uint32_t minFrames = PeriodFrames(i.minPeriod, i.rate);
  const uint32_t defFrames = PeriodFrames(i.defaultPeriod, i.rate);
  const uint32_t latFrames = PeriodFrames(i.latency, i.rate);
  Append(
      s,
      "Buffer size min:\t %d  (%3.1fms)\n\t default:\t %d  (%3.1fms)\n\t actual:\t %d  (%3.1fms)\n",
      static_cast<int>(minFrames), Ms(minFrames, i.rate), static_cast<int>(defFrames),
      Ms(defFrames, i.rate), static_cast<int>(i.bufferFrames), Ms(i.bufferFrames, i.rate));
  Append(s, "Stream latency:\t %d  (%3.1fms)\n\n", static_cast<int>(latFrames),
         Ms(latFrames, i.rate));
  Append(s, "Mode:\t\t exclusive-mode\nBuffering:  \t %s\nMMCSS task:\t \"Pro Audio\"\n",
         i.eventMode ? "event-driven" : "timer-driven");
  if (!i.withVolume) return s;
  const WasapiVolumeInfo& v = i.volume;
  Append(s, "\nMaster Volume:\t %.2fdB  (%.2f)\n", v.masterDb, v.masterScalar);
  for (uint32_t c = 0; c < v.channels && c < 32; ++c) {
    Append(s, "Ch.%d Volume:\t %.2fdB  (%.2f)\n", static_cast<int>(c + 1), v.channelDb[c],
           v.channelScalar[c]);
  }
  Append(s,
         "Volume Min:\t %.2fdB\nVolume Max:\t %.2fdB\nVolume Incr:\t %.2fdB\nVolume Step:\t %d\n"
         "    Step count:\t %d\nMute:\t\t %s\nHardware support:\n\t Volume:\t %s\n\t Mute:\t %s\n"
         "\t Meter:\t %s",
         v.minDb, v.maxDb, v.incrementDb, static_cast<int>(v.step), static_cast<int>(v.stepCount),
         v.mute ? "On" : "Off", (v.hardwareSupport & 1) ? "Yes" : "No",
         (v.hardwareSupport & 2) ? "Yes" : "No", (v.hardwareSupport & 4) ? "Yes" : "No");
  return s;
}

}  // namespace ov
