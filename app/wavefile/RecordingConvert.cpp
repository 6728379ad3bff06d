#include "app/wavefile/RecordingConvert.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/wavefile/RecordingWriter.h"
#include "app/wavefile/WaveReader.h"

namespace ov {

WaveFormat RecordFormatFor(const WaveFormat& in) {
  WaveFormat f = in;
  const bool isFloat = FloatWidth(in) != 0;
  if (f.channels <= 2) {
    f.formatTag = isFloat ? kWaveFormatIeeeFloat : kWaveFormatPcm;
    f.extraSize = 0;
    f.validBitsPerSample = 0;
    f.channelMask = 0;
    std::memset(f.subFormat, 0, sizeof f.subFormat);
  } else {
    if (f.formatTag != kWaveFormatExtensible) {
      f.validBitsPerSample = f.bitsPerSample;
      f.channelMask = 0;
    }
    f.formatTag = kWaveFormatExtensible;
    f.extraSize = 22;
    std::memcpy(f.subFormat, isFloat ? kSubFormatIeeeFloat : kSubFormatPcm, 16);
  }
  return f;
}

ConvertResult ConvertRecording(const char* inName, const char* outName,
                               const ConvertOptions& options, UserNotifier& notifier, Disk& disk) {
  ConvertResult result;
  // The play side: the input opened as the engine opens a file for play.
  auto in = std::make_unique<PlayReadState>();
  if (!OpenForPlay(*in, inName, false)) {
    result.error = in->message.c_str();
    return result;
  }
  if (in->format.blockAlign == 0 || in->format.channels == 0) {
    result.error = "no usable sample format";
    return result;
  }

  // The record side: the writer on an engine record of its own.
  auto engine = std::make_unique<PlayReadState>();
  engine->format = RecordFormatFor(in->format);
  RecordingFile file;
  RecordingWriter writer(file, *engine, notifier, disk);
  writer.SetRecRF64(options.rf64);
  writer.SetRecBWF(options.bwf);
  writer.SetRecUpdateHeaderPeriod(options.updatePeriod);
  writer.SetRecFileDivideBytes(options.divideBytes);
  std::snprintf(file.OriginatorText, sizeof file.OriginatorText, "ovtool convert");
  if (std::strlen(outName) >= sizeof file.fileName) {
    result.error = "output name too long";
    return result;
  }
  std::snprintf(file.fileName, sizeof file.fileName, "%s", outName);
  // Writing the input while reading it would destroy it: neither the output
  // nor any of its division files may be the input file.
  if (disk.SameFile(inName, outName)) {
    result.error = std::string("the output is the input file: ") + outName;
    return result;
  }
  const size_t extensionAt = RecordingWriter::ExtensionAt(outName);
  for (int i = 1; i <= kMaxFollowingFiles; ++i) {
    char division[sizeof file.fileName + 8];
    std::snprintf(division, sizeof division, "%.*s_%02d.WAV", static_cast<int>(extensionAt),
                  outName, i);
    if (disk.SameFile(inName, division)) {
      result.error = std::string("a division of the output would be the input file: ") + division;
      return result;
    }
  }
  if (!writer.CreateRecordingFile()) {
    result.error = file.failure.c_str();
    return result;
  }
  const std::string first = file.fileName;

  // Half a second of whole frames: the engine's default plan of two capture
  // buffers per second.
  const uint64_t align = engine->format.blockAlign;
  uint64_t blockBytes = options.blockBytes;
  if (blockBytes == 0) blockBytes = std::max<uint64_t>(1, engine->format.samplesPerSec / 2) * align;
  blockBytes = std::min(blockBytes, kMaxConvertBlockBytes);
  std::vector<uint8_t> block(blockBytes);
  const uint32_t ask = static_cast<uint32_t>(blockBytes);
  bool stopped = false;
  for (;;) {
    const uint32_t got = ReadStream(*in, block.data(), ask);
    if (got && writer.WriteRecordedData(block.data(), got) != got) {
      stopped = true;
      break;
    }
    result.bytes += got;
    if (got < ask) break;
  }
  const int divisions = std::min(file.divisionCounter, kMaxFollowingFiles);
  const std::string stopReason = file.failure.c_str();
  const bool finished = writer.FinishRecordingFile();

  // The names the divisions gave: the first file's name without its extension.
  result.files.push_back(first);
  const std::string base = first.substr(0, RecordingWriter::ExtensionAt(first.c_str()));
  for (int i = 1; i <= divisions; ++i) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "_%02d.WAV", i);
    result.files.push_back(base + suffix);
  }
  if (stopped) {
    result.error = "the recording stopped: " + stopReason;
  } else if (result.bytes != in->dataBytes) {
    // The reader ends its stream quietly when a read fails.
    result.error = "the input ended early (read " + std::to_string(result.bytes) + " of " +
                   std::to_string(in->dataBytes) + " data bytes)";
  } else if (!finished) {
    result.error = std::string("the finished file does not parse: ") + engine->message.c_str();
  } else {
    result.ok = true;
  }
  return result;
}

}  // namespace ov
