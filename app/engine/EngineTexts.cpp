#include "app/engine/EngineTexts.h"

#include <cstdarg>
#include <cstdio>

namespace ov {

namespace {
std::string Printf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* fmt, ...) {
  char buf[512];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  return buf;
}
const char* FloatMark(const WaveFormat& f) {
  return FloatWidth(f) ? "F" : "";
}
}  // namespace

std::string BufferNotEnoughText(uint32_t parts) {
  return Printf("Buffer not enough  (1/%d)", static_cast<int>(parts));
}

std::string UnsupportedFormatText(const WaveFormat& f) {
  return Printf("Unsupported format:  %5dHz %s%dbit %dch", static_cast<int>(f.samplesPerSec),
                FloatMark(f), f.bitsPerSample, f.channels);
}

std::string FormatText(const WaveFormat& f, bool rf64, bool bwf) {
  std::string s = Printf("%5dHz %s%dbit %dch", static_cast<int>(f.samplesPerSec), FloatMark(f),
                         f.bitsPerSample, f.channels);
  if (rf64) s += " 64";
  if (bwf) s += " B";
  return s;
}

std::string MinutesSecondsText(uint64_t seconds) {
  return Printf("%02dm%02ds", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
}

std::string UnbuiltFamilyText(int32_t driverType) {
  const char* family = driverType == kDriverDirectSound ? "DirectSound"
                       : driverType == kDriverAsio      ? "ASIO"
                       : driverType == kDriverWasapi    ? "WASAPI"
                                                        : "Unknown";
  return std::string(family) + " driver not available in this program";
}

std::string DSoundDeviceNotFoundText(uint32_t number, bool input) {
  return Printf("DSound %s device %u not found", input ? "Input" : "Output", number);
}

std::string StoppedText(const std::string& reason) {
  return "Stopped! \n\n" + reason;
}

std::string BufferInfoText(const BufferInfo& play, const BufferInfo& rec, uint32_t fftSize,
                           const WaveFormat& f) {
  // Guard the divisions against an empty format; the box is informational.
  const double rate = f.samplesPerSec ? f.samplesPerSec : 1;
  const unsigned align = f.blockAlign ? f.blockAlign : 1;
  const double bps = f.avgBytesPerSec ? f.avgBytesPerSec : 1;
  auto ms = [&](uint32_t samples) {
    return static_cast<unsigned>(static_cast<double>(samples) * 1000 / rate);
  };
  std::string s = "----- Buffer Info. -----\n\n";
  s += Printf("[Output]\nNumOfBuf_o: \t %u\n", play.NumOfBuf);
  s += Printf("BufSize_o:  \t %u \t(%usa, %ums)\n", play.BufSize, play.BufSamples,
              ms(play.BufSamples));
  s += Printf("TotalBufSize_o: \t %u \t(%usa, %.2fsec)\n", play.TotalBufSize,
              play.TotalBufSize / align, play.TotalBufSize / bps);
  s += Printf("BufFixed_o: \t %s\n\n", play.BufFixed ? "true" : "false");
  const uint64_t aheadBytes = static_cast<uint64_t>(play.NumOfAheadBuf) * play.BufSize;
  s += Printf("NumOfAheadBuf:    \t %u \t(%usa, %.2fsec)\n", play.NumOfAheadBuf,
              static_cast<unsigned>(aheadBytes / align), static_cast<double>(aheadBytes) / bps);
  s += Printf("NumOfSkipBufAtTop:\t %u\n", play.NumOfSkipBufAtTop);
  s += Printf("NumOfSkipBufAtEnd:\t %u\n\n", play.NumOfSkipBufAtEnd);
  s += Printf("[Input]\nNumOfBuf_i:\t %u\n", rec.NumOfBuf);
  s +=
      Printf("BufSize_i:  \t %u \t(%usa, %ums)\n", rec.BufSize, rec.BufSamples, ms(rec.BufSamples));
  s += Printf("TotalBufSize_i: \t %u \t(%usa, %.2fsec)\n", rec.TotalBufSize,
              rec.TotalBufSize / align, rec.TotalBufSize / bps);
  s += Printf("BufFixed_i: \t %s\n\n", rec.BufFixed ? "true" : "false");
  s += Printf("Overrun count: \t %u \n", rec.OverrunCount);
  s += Printf("Buffer time: \t %u (ms)\n", rec.BufferTime);
  s += Printf("Buffer time Max:\t %u (ms)\n\n", rec.BufferTimeMax);
  s += Printf("[FFT]\nFFT points:  \t %u\n\n", fftSize);
  s += Printf("[Format]\nnChannels:  \t %u\n", f.channels);
  s += Printf("nSamplesPerSec: \t %u\n", f.samplesPerSec);
  s += Printf("nAvgBytesPerSec: \t %u\n", f.avgBytesPerSec);
  s += Printf("nBlockAlign: \t %u\n", f.blockAlign);
  s += Printf("wBitsPerSample: \t %u", f.bitsPerSample);
  return s;
}

}  // namespace ov
