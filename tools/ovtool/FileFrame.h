// One analysis frame of a wave file, shared by the commands that analyse
// files (analyze, overlay): the file's frames handed to frame acquisition as
// the newest block of a playing file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/common/SampleBlockSource.h"
#include "app/common/UserNotifier.h"
#include "app/common/WaveFormat.h"
#include "app/wavefile/WaveFileParse.h"

namespace ov::tool {

class FileBlock final : public SampleBlockSource {
 public:
  explicit FileBlock(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  int32_t PlayState() const override { return kPlayPlaying; }
  int32_t RecState() const override { return kRecStopped; }
  void CopyNewestPlayBlock(uint8_t* destination, size_t byteCount, bool) override;
  void CopyNewestRecBlock(uint8_t*, size_t) override {}
  bool SetPlayBufferPlan(int32_t, int32_t, int32_t) override { return true; }
  bool SetRecBufferPlan(int32_t, int32_t, int32_t) override { return true; }

 private:
  std::vector<uint8_t> bytes_;
};

// Notices go to stderr behind "ovtool <command>: ".
class StderrNotifier final : public UserNotifier {
 public:
  explicit StderrNotifier(const char* command) : command_(command) {}
  NoticeAnswer Notify(std::string_view text, NoticeIcon) override;

 private:
  const char* command_;
};

// A whole decimal integer within lo ... hi.
bool ParseInteger(const std::string& text, int64_t lo, int64_t hi, int64_t& out);

// Parses file and checks that its samples can be analysed (8/16/24/32-bit
// integer or 32-bit float) and that channel exists. 0 when they can, else the
// exit status (1 bad file, 2 bad channel) after a message.
int OpenAnalysableFile(const char* command, const std::string& file, int64_t channel,
                       WaveFormat& format, WaveFileInfo& info);

// The frames [at, at + n) of the file's data; frames past the end of the data
// read as the format's silence. False with a message on failure.
bool ReadFrames(const char* command, const std::string& file, int64_t at, const WaveFormat& format,
                const WaveFileInfo& info, int32_t n, std::vector<uint8_t>& out);

}  // namespace ov::tool
