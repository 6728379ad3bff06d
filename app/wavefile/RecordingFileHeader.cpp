#include "app/wavefile/RecordingFileHeader.h"

#include <cstdio>
#include <cstring>

namespace ov {

namespace {

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put64(uint8_t* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void PutId(uint8_t* p, const char* id) {
  std::memcpy(p, id, 4);
}

// The fields of the JUNK / ds64 chunk of an RF64-ready header.
constexpr uint32_t kDs64Bytes = 28;
constexpr uint32_t kRiffSizeAt = 4;
constexpr uint32_t kDs64IdAt = 12;
constexpr uint32_t kDs64RiffSizeAt = 20;
constexpr uint32_t kDs64DataSizeAt = 28;
constexpr uint32_t kDs64SampleCountAt = 36;

}  // namespace

uint32_t BuildRecordingHeader(const WaveFormat& format, bool rf64Layout, uint8_t* image) {
  std::memset(image, 0, kMaxRecordingHeaderBytes);
  const uint32_t fmtBytes = format.channels >= 3 ? 40 : 16;
  uint32_t at = 0;
  PutId(image, "RIFF");
  PutId(image + 8, "WAVE");
  at = 12;
  if (rf64Layout) {
    PutId(image + at, "JUNK");
    Put32(image + at + 4, kDs64Bytes);
    at += 8 + kDs64Bytes;  // sizes and table length stay zero until the switch
  }
  PutId(image + at, "fmt ");
  Put32(image + at + 4, fmtBytes);
  std::memcpy(image + at + 8, &format, fmtBytes);
  at += 8 + fmtBytes;
  PutId(image + at, "data");
  at += 8;
  FillHeaderSizes(image, at, at, 0, 0, format.blockAlign);
  return at;
}

void SwitchHeaderToRf64(uint8_t* image, uint32_t headerSize) {
  PutId(image, "RF64");
  PutId(image + kDs64IdAt, "ds64");
  Put32(image + kRiffSizeAt, 0xFFFFFFFFu);
  Put32(image + headerSize - 4, 0xFFFFFFFFu);
}

bool HeaderIsRf64(const uint8_t* image) {
  return std::memcmp(image, "RF64", 4) == 0;
}

void FillHeaderSizes(uint8_t* image, uint32_t headerSize, uint64_t position, uint64_t appended,
                     uint32_t padBytes, uint16_t blockAlign) {
  const uint64_t dataBytes = position - headerSize - padBytes;
  const uint64_t riffBytes = position + appended - 8;
  if (HeaderIsRf64(image)) {
    Put64(image + kDs64RiffSizeAt, riffBytes);
    Put64(image + kDs64DataSizeAt, dataBytes);
    Put64(image + kDs64SampleCountAt, blockAlign ? dataBytes / blockAlign : 0);
  } else {
    Put32(image + kRiffSizeAt, static_cast<uint32_t>(riffBytes));
    Put32(image + headerSize - 4, static_cast<uint32_t>(dataBytes));
  }
}

void BuildBextImage(const WaveFormat& format, const LocalDateTime& when, const char* originator,
                    uint8_t* bext) {
  std::memset(bext, 0, kBextChunkBytes);
  PutId(bext, "bext");
  Put32(bext + 4, kBextChunkBytes - 8);
  // Date and time fields have no terminator: format into scratch, copy the text.
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", when.year % 10000, when.month % 100,
                when.day % 100);
  std::memcpy(bext + 328, text, 10);
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", when.hour % 100, when.minute % 100,
                when.second % 100);
  std::memcpy(bext + 338, text, 8);
  bext[354] = 1;  // Version
  char channels[16];
  if (format.channels == 1) {
    std::snprintf(channels, sizeof channels, "mono");
  } else if (format.channels == 2) {
    std::snprintf(channels, sizeof channels, "stereo");
  } else {
    std::snprintf(channels, sizeof channels, "%dch", format.channels);
  }
  // CodingHistory: 256 bytes at 610, zero after the line.
  std::snprintf(reinterpret_cast<char*>(bext + 610), 256, "A=%s,F=%u,W=%s%d,M=%s,T=%.49s\r\n",
                "PCM", format.samplesPerSec, FloatWidth(format) ? "F" : "", format.bitsPerSample,
                channels, originator ? originator : "");
}

}  // namespace ov
