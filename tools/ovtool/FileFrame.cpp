// One analysis frame of a wave file.
#include "tools/ovtool/FileFrame.h"

#include <cerrno>
#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/wavefile/ByteSource.h"

namespace ov::tool {

void FileBlock::CopyNewestPlayBlock(uint8_t* destination, size_t byteCount, bool) {
  std::memcpy(destination, bytes_.data(), byteCount < bytes_.size() ? byteCount : bytes_.size());
}

NoticeAnswer StderrNotifier::Notify(std::string_view text, NoticeIcon) {
  std::fprintf(stderr, "ovtool %s: %.*s\n", command_, static_cast<int>(text.size()), text.data());
  return NoticeAnswer::Ok;
}

bool ParseInteger(const std::string& text, int64_t lo, int64_t hi, int64_t& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
  out = v;
  return true;
}

int OpenAnalysableFile(const char* command, const std::string& file, int64_t channel,
                       WaveFormat& format, WaveFileInfo& info) {
  ReaderMessage message;
  if (!ParseWaveFile(file.c_str(), &format, &info, &message, ParseOptions{})) {
    std::fprintf(stderr, "ovtool %s: %s: %s\n", command, file.c_str(),
                 message.Empty() ? "file not found" : message.c_str());
    return 1;
  }
  if (!info.valid || info.noFile || format.blockAlign == 0) {
    std::fprintf(stderr, "ovtool %s: %s: %s\n", command, file.c_str(),
                 reader_text::kNotValidEnglish);
    return 1;
  }
  const uint16_t bits = format.bitsPerSample;
  if ((info.floatWidth != 0 && info.floatWidth != 32) ||
      (bits != 8 && bits != 16 && bits != 24 && bits != 32) ||
      format.blockAlign < format.channels * (bits / 8)) {
    std::fprintf(stderr, "ovtool %s: %s: samples of %u bits%s are not analysed\n", command,
                 file.c_str(), bits, info.floatWidth ? " (float)" : "");
    return 1;
  }
  if (channel >= format.channels) {
    std::fprintf(stderr, "ovtool %s: --channel %" PRId64 ": the file has %u channel(s)\n", command,
                 channel, format.channels);
    return 2;
  }
  return 0;
}

bool ReadFrames(const char* command, const std::string& file, int64_t at, const WaveFormat& format,
                const WaveFileInfo& info, int32_t n, std::vector<uint8_t>& out) {
  const uint64_t frameCount = info.dataSize / format.blockAlign;
  if (static_cast<uint64_t>(at) >= frameCount) {
    std::fprintf(stderr, "ovtool %s: frame %" PRId64 " lies beyond the data (%" PRIu64 " frames)\n",
                 command, at, frameCount);
    return false;
  }
  const size_t blockBytes = static_cast<size_t>(n) * format.blockAlign;
  out.assign(blockBytes, static_cast<uint8_t>(info.silence));
  const uint64_t available = (frameCount - static_cast<uint64_t>(at)) * format.blockAlign;
  const size_t wanted = available < blockBytes ? static_cast<size_t>(available) : blockBytes;
  std::unique_ptr<ByteSource> source = OpenFileSource(file.c_str());
  if (!source || !source->SeekTo(info.dataOffset + static_cast<uint64_t>(at) * format.blockAlign) ||
      source->Read(out.data(), wanted) != wanted) {
    std::fprintf(stderr, "ovtool %s: %s: Unable to read file.\n", command, file.c_str());
    return false;
  }
  if (wanted < blockBytes) {
    std::fprintf(stderr,
                 "ovtool %s: only %zu frames from %" PRId64
                 " to the end of the data; the rest is "
                 "silence\n",
                 command, wanted / format.blockAlign, at);
  }
  return true;
}

}  // namespace ov::tool
