// Fuzzes the recording writer on a disk in memory: any sequence of blocks,
// divide requests, header periods, limits, a filling disk and failing
// seeks, flushes and writes. Whatever happens, every file left on the disk
// parses as a valid wave file, and the data its header describes is exactly
// the recorded bytes that went into that file, in order.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/wavefile/ByteSourceMemory.h"
#include "app/wavefile/DiskInMemory.h"
#include "app/wavefile/RecordingWriter.h"

namespace {

#define Check(condition)                                                         \
  do {                                                                           \
    if (!(condition)) {                                                          \
      std::fprintf(stderr, "check failed, line %d: %s\n", __LINE__, #condition); \
      std::abort();                                                              \
    }                                                                            \
  } while (0)

class QuietNotifier : public ov::UserNotifier {
 public:
  ov::NoticeAnswer Notify(std::string_view, ov::NoticeIcon) override {
    return ov::NoticeAnswer::Ok;
  }
};

// The recorded byte at a position of the whole recording.
uint8_t Recorded(uint64_t k) {
  return static_cast<uint8_t>((k * 2654435761u) >> 13 ^ k >> 8);
}

struct Input {
  const uint8_t* p;
  size_t n;
  uint8_t Byte() {
    if (!n) return 0;
    --n;
    return *p++;
  }
  uint32_t Word() { return Byte() | Byte() << 8; }
};

ov::LocalDateTime FixedTime() {
  return {2026, 1, 2, 3, 4, 5};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in{data, size};
  ov::DiskInMemory disk;
  ov::RecordingFile file;
  ov::PlayReadState engine;
  QuietNotifier notes;
  ov::RecordingWriter writer(file, engine, notes, disk);
  writer.SetClock(FixedTime);

  const uint16_t channels = 1 + in.Byte() % 8;
  const uint16_t bytesPerSample = 1 + in.Byte() % 4;
  ov::WaveFormat& f = engine.format;
  f.formatTag = channels > 2 ? ov::kWaveFormatExtensible : ov::kWaveFormatPcm;
  f.channels = channels;
  f.samplesPerSec = 1000 + in.Word();
  f.bitsPerSample = static_cast<uint16_t>(8 * bytesPerSample);
  f.blockAlign = static_cast<uint16_t>(channels * bytesPerSample);
  f.avgBytesPerSec = f.samplesPerSec * f.blockAlign;
  if (channels > 2) {
    f.extraSize = 22;
    f.validBitsPerSample = f.bitsPerSample;
    std::memcpy(f.subFormat, ov::kSubFormatPcm, 16);
  }
  const uint8_t flags = in.Byte();
  writer.SetRecRF64(flags & 1);
  writer.SetRecBWF(flags & 2);
  writer.SetRecUpdateHeaderPeriod(flags >> 2 & 3);
  writer.SetRecFileDivideBytes((flags & 16) ? UINT64_MAX : in.Word() * 4u);
  if (flags & 32) disk.freeBytes = 1100000 + in.Word() * 64u;
  std::snprintf(file.fileName, sizeof file.fileName, "/rec/take.wav");
  if (!writer.CreateRecordingFile()) return 0;

  // Where each file's data starts in the whole recording.
  std::map<std::string, uint64_t> starts{{file.fileName, 0}};
  std::vector<uint8_t> block;
  uint64_t total = 0;
  while (in.n && total < (4u << 20)) {
    const uint8_t op = in.Byte();
    disk.failSeek = op == 0xF0;
    disk.failFlush = op == 0xF1;
    if (op == 0xF2) disk.writeBudget = in.Word();
    if (op == 0xF3) writer.RequestDivide();
    if (op >= 0xF0) continue;
    const uint32_t n = 1 + (op & 0x0F) * 4096 + in.Word() % 4096;
    block.resize(n);
    for (uint32_t i = 0; i < n; ++i) block[i] = Recorded(total + i);
    const std::string before = file.fileName;
    const uint32_t wrote = writer.WriteRecordedData(block.data(), n);
    if (before != file.fileName) starts[file.fileName] = total;
    if (!wrote) break;
    Check(wrote == n);
    total += n;
  }
  disk.failSeek = disk.failFlush = false;
  disk.writeBudget = UINT64_MAX;
  writer.CloseRecordingFile(true);

  for (const auto& [name, stored] : disk.files) {
    Check(starts.count(name) == 1);
    ov::MemoryByteSource source(stored.bytes.data(), stored.bytes.size());
    ov::WaveFormat got{};
    ov::WaveFileInfo info;
    ov::ReaderMessage message;
    Check(ov::ParseWaveSource(source, &got, &info, &message, {}, false));
    if (!info.valid) {
      // A data chunk of size 0 ends the reader's walk: a file that never got
      // any data (or whose header was never rewritten) is not playable.
      const uint8_t* size = stored.bytes.data() + file.headerSize - 4;
      Check(stored.bytes.size() >= file.headerSize);
      Check((size[0] | size[1] | size[2] | size[3]) == 0);
      continue;
    }
    Check(std::memcmp(&got, &f, channels > 2 ? 40 : 16) == 0);
    Check(info.dataOffset + info.dataSize <= stored.bytes.size());
    // The reader rounds an odd data size up to its pad byte.
    const uint64_t start = starts.at(name);
    for (uint64_t i = 0; i < info.dataSize; ++i) {
      const uint8_t b = stored.bytes[info.dataOffset + i];
      if (!(b == Recorded(start + i) || (i + 1 == info.dataSize && (i & 1) && b == 0))) {
        std::fprintf(stderr, "%s: byte %llu of %llu (offset %llu, file %zu, start %llu)\n",
                     name.c_str(), (unsigned long long)i, (unsigned long long)info.dataSize,
                     (unsigned long long)info.dataOffset, stored.bytes.size(),
                     (unsigned long long)start);
      }
      Check(b == Recorded(start + i) || (i + 1 == info.dataSize && (i & 1) && b == 0));
    }
  }
  return 0;
}
