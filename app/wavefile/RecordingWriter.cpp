#include "app/wavefile/RecordingWriter.h"

#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "app/wavefile/RecordingMessages.h"

namespace ov {

namespace {

namespace text = recording_text;

// Free space a block needs before it is written: a generous bound on one
// capture block plus the closing pad byte and bext chunk.
constexpr uint64_t kBlockReserveBytes = 1100000;
// How much room the last header rewrites leave on a filling disk.
constexpr uint64_t kRewriteReserveBytes = 1000000;

bool EndsInWav(const char* name) {
  const size_t n = std::strlen(name);
  return n >= 4 && name[n - 4] == '.' &&
         std::toupper(static_cast<unsigned char>(name[n - 3])) == 'W' &&
         std::toupper(static_cast<unsigned char>(name[n - 2])) == 'A' &&
         std::toupper(static_cast<unsigned char>(name[n - 1])) == 'V';
}

// "12.34" for a byte count: whole MB and hundredths of 1 048 576 bytes.
struct Megabytes {
  uint64_t whole;
  unsigned hundredths;
};
Megabytes ToMegabytes(uint64_t bytes) {
  return {bytes / 1048576, static_cast<unsigned>((bytes % 1048576) / 10486)};
}

}  // namespace

RecordingWriter::RecordingWriter(RecordingFile& file, PlayReadState& engine, UserNotifier& notifier,
                                 Disk& disk)
    : file_(file), engine_(engine), notifier_(notifier), disk_(disk) {}

void RecordingWriter::Fail(const TwoLanguageText& t) {
  file_.failure.Set(t.english);
  std::string box = t.In(engine_.language);
  box += "\n\n";
  box += file_.fileName;
  notifier_.Notify(box, NoticeIcon::Warning);
}

void RecordingWriter::DropHandle() {
  if (file_.handle) file_.handle->Close();
  file_.handle.reset();
  file_.fileOpen = false;
}

uint32_t RecordingWriter::BuildHeaderImage() {
  file_.rf64Layout = file_.Rec_RF64 != 0;
  file_.headerSize = BuildRecordingHeader(engine_.format, file_.rf64Layout, file_.header);
  engine_.floatWidth = FloatWidth(engine_.format);
  engine_.isPcm = 1;
  return file_.headerSize;
}

bool RecordingWriter::FixExtension() {
  if (EndsInWav(file_.fileName)) return true;
  Fail(text::kNotWav);
  // Give the name a usable extension for the next attempt: replace the file
  // name's own extension (never a dot in a folder name) by ".WAV".
  char* name = file_.fileName;
  const size_t cut = ExtensionAt(name);
  if (cut + 5 <= sizeof file_.fileName) std::memcpy(name + cut, ".WAV", 5);
  return false;
}

size_t RecordingWriter::ExtensionAt(const char* name) {
  const size_t length = std::strlen(name);
  size_t start = 0;  // where the last path component begins
  for (size_t i = 0; i < length; ++i) {
    if (name[i] == '\\' || name[i] == '/' || name[i] == ':') start = i + 1;
  }
  // A leading '.' is part of the name.
  for (size_t i = length; i-- > start + 1;) {
    if (name[i] == '.') return i;
  }
  return length;
}

bool RecordingWriter::CreateRecordingFile() {
  return Create(false);
}

bool RecordingWriter::Create(bool keepDivisionCounter) {
  if (file_.handle) DropHandle();  // a file left open is abandoned, never written twice
  engine_.message.Clear();
  file_.failure.Clear();
  file_.rf64Switched = false;
  file_.bextWritten = false;
  file_.bextBuilt = false;
  file_.appended = 0;
  file_.padBytes = 0;
  BuildHeaderImage();
  if (!FixExtension()) return false;
  if (!CheckDiskSpace(file_.fileName, sizeof file_.fileName, file_.headerSize)) return false;
  file_.handle = disk_.CreateAlways(file_.fileName);
  if (!file_.handle) {
    Fail(text::kCannotCreate);
    return false;
  }
  if (file_.Rec_BWF) {
    BuildBextImage(engine_.format, now_(), file_.OriginatorText, file_.bext);
    file_.bextBuilt = true;
  }
  file_.position = file_.headerSize;
  if (!WriteHeader(false)) {
    DropHandle();
    disk_.Remove(file_.fileName);
    return false;
  }
  file_.nextUpdate = 0;
  file_.periodBytes = 0;
  if (file_.RecUpdateHeaderPeriod > 0) {
    // 64-bit: 10000 s at 65535-byte frames and 4 GHz still fits.
    const WaveFormat& f = engine_.format;
    file_.periodBytes =
        static_cast<uint64_t>(file_.RecUpdateHeaderPeriod) * f.blockAlign * f.samplesPerSec;
    if (file_.periodBytes) file_.nextUpdate = file_.headerSize + file_.periodBytes;
  }
  if (!keepDivisionCounter) file_.divisionCounter = 0;
  file_.fileOpen = true;
  return true;
}

bool RecordingWriter::StartNextFile() {
  if (!CloseRecordingFile(true)) return false;
  char* name = file_.fileName;
  if (file_.divisionCounter == 1) file_.extensionAt = ExtensionAt(name);
  const size_t at = file_.extensionAt;
  if (at + sizeof "_99.WAV" > sizeof file_.fileName) {
    Fail(text::kCannotCreate);
    return false;
  }
  std::snprintf(name + at, sizeof file_.fileName - at, "_%02d.WAV", file_.divisionCounter);
  return Create(true);
}

uint32_t RecordingWriter::WriteRecordedData(const void* data, uint32_t bytes) {
  if (bytes == 0 || !file_.handle) return 0;
  // What the file would hold after this block, its pad byte and its bext.
  const uint64_t closing = 1 + (file_.bextBuilt ? kBextChunkBytes : 0);
  if (!file_.rf64Layout) {
    // A plain file is divided at its limit, on request, and always before a
    // block would carry its sizes past what 32-bit fields describe.
    const bool wouldWrap =
        file_.position > file_.headerSize && file_.position + bytes + closing > kMaxRiffFileBytes;
    if (file_.divideNow.exchange(false) || file_.position > file_.RecFileDivideBytes || wouldWrap) {
      if (++file_.divisionCounter > kMaxFollowingFiles) return 0;
      if (!StartNextFile()) return 0;
    }
    if (file_.position + bytes + (file_.bextBuilt ? kBextChunkBytes : 0) + 1 > kMaxRiffFileBytes) {
      Fail(text::kCannotWrite);  // one block larger than a whole RIFF file
      return 0;
    }
  } else if (!file_.rf64Switched && file_.position + bytes > kRf64SwitchBytes) {
    // Switch before the block that would pass the limit, so that no header
    // rewrite or close ever describes a wrapped 32-bit size.
    SwitchHeaderToRf64(file_.header, file_.headerSize);
    file_.rf64Switched = true;
  }
  if (!CheckDiskSpace(file_.fileName, sizeof file_.fileName, kBlockReserveBytes)) return 0;
  if (file_.nextUpdate && file_.position > file_.nextUpdate) {
    if (!WriteHeader(true)) return 0;
    // As the disk fills the rewrites come closer together, so that the header
    // still describes nearly everything when the space runs out.
    const uint64_t free = file_.RecFileCapacityBytes;
    if (2 * file_.periodBytes > free) {
      file_.nextUpdate += free > kRewriteReserveBytes ? free - kRewriteReserveBytes : 1;
    } else {
      file_.nextUpdate += file_.periodBytes;
    }
  }
  if (file_.handle->Write(data, bytes) != bytes) {
    // Cut off what part of the block did reach the disk, so that the close
    // puts pad byte and bext right after the data the header describes.
    file_.handle->TruncateAt(file_.position);
    Fail(text::kCannotWrite);
    return 0;
  }
  file_.position += bytes;
  return bytes;
}

bool RecordingWriter::CloseRecordingFile(bool final) {
  if (!file_.handle) return false;  // never opened, or lost to a failed seek (already shown)
  file_.fileOpen = false;
  // Append at the end of the data: a header rewrite whose flush or return
  // seek failed has left the file pointer just after the header.
  const bool atEnd = file_.handle->SeekTo(file_.position);
  if (!atEnd) Fail(text::kCannotSeek);
  if (atEnd && (file_.position & 1)) {
    static const uint8_t kPad = 0;
    if (file_.handle->Write(&kPad, 1) == 1) {
      ++file_.position;
      file_.padBytes = 1;
    } else {
      Fail(text::kCannotWrite);
    }
  }
  if (atEnd && final && file_.bextBuilt) {
    if (file_.handle->Write(file_.bext, kBextChunkBytes) == kBextChunkBytes) {
      file_.appended = kBextChunkBytes;
      file_.bextWritten = true;
    } else {
      file_.handle->TruncateAt(file_.position);  // no partial chunk after the data
      Fail(text::kCannotWrite);
    }
  }
  WriteHeader(false);  // a failure has shown its message; the close goes on
  if (!file_.handle) return false;
  const bool closed = file_.handle->Close();
  file_.handle.reset();
  if (!closed) {
    Fail(text::kCannotClose);
    return false;
  }
  return true;
}

bool RecordingWriter::FinishRecordingFile() {
  const bool closed = CloseRecordingFile(true);
  CloseReadFile(engine_);
  ParseOptions options;
  options.chunks = &engine_.chunks;
  options.markers = &engine_.markers;
  options.dataSaveBytes = engine_.dataSaveBytes;
  options.ctrlKeyDown = nullptr;  // a recording is always walked as WAVE
  options.opener = engine_.opener ? &engine_.opener : nullptr;
  WaveFileInfo info;
  const bool parsed =
      ParseWaveFile(file_.fileName, &engine_.format, &info, &engine_.message, options);
  engine_.isPcm = info.valid;
  engine_.dataBytes = info.dataSize;
  engine_.remainingBytes = info.dataSize;
  engine_.dataOffset = info.dataOffset;
  engine_.playSilence = info.silence;
  engine_.rf64 = info.rf64;
  engine_.bext = info.bext;
  engine_.floatWidth = info.floatWidth;
  return closed && parsed && info.valid;
}

bool RecordingWriter::WriteHeader(bool flush) {
  if (!file_.handle) return false;
  if (!file_.handle->SeekTo(0)) {
    DropHandle();
    Fail(text::kCannotSeek);
    return false;
  }
  FillHeaderSizes(file_.header, file_.headerSize, file_.position, file_.appended, file_.padBytes,
                  engine_.format.blockAlign);
  if (file_.handle->Write(file_.header, file_.headerSize) != file_.headerSize) {
    Fail(text::kCannotWrite);
    return false;
  }
  if (flush) {
    if (!file_.handle->Flush()) {
      Fail(text::kCannotWrite);
      return false;
    }
    if (!file_.handle->SeekToEnd()) {
      Fail(text::kCannotSeek);
      return false;
    }
  }
  return true;
}

bool RecordingWriter::CheckDiskSpace(char* name, size_t capacity, uint64_t needed) {
  disk_.QualifyName(name, capacity);
  char volume[kRecordingNameBytes];
  disk_.VolumeOf(name, volume, sizeof volume);
  uint64_t free = 0;
  if (!disk_.FreeBytes(volume, &free)) {
    // An unmeasurable volume takes nothing, and the user learns why.
    file_.RecFileCapacityBytes = 0;
    char box[2 * kRecordingNameBytes + 160];
    const char* second = text::kFreeSpaceUnknownSecond.In(engine_.language);
    std::snprintf(box, sizeof box, "%s %s%s%s\n\n%s",
                  text::kFreeSpaceUnknownFirst.In(engine_.language), volume, *second ? " " : "",
                  second, name);
    char english[2 * kRecordingNameBytes + 160];
    std::snprintf(english, sizeof english, "%s %s", text::kFreeSpaceUnknownFirst.english, volume);
    file_.failure.Set(english);
    notifier_.Notify(box, NoticeIcon::Warning);
    return false;
  }
  file_.RecFileCapacityBytes = free;
  if (needed <= free) return true;
  const Megabytes have = ToMegabytes(free);
  const Megabytes want = ToMegabytes(needed);
  char box[2 * kRecordingNameBytes + 160];
  std::snprintf(box, sizeof box, "%s %s %s  (%" PRIu64 ".%02uMB)\n\n%s  (%" PRIu64 ".%02uMB)",
                text::kDiskSpaceFirst.In(engine_.language), volume,
                text::kDiskSpaceSecond.In(engine_.language), have.whole, have.hundredths, name,
                want.whole, want.hundredths);
  char english[2 * kRecordingNameBytes + 160];
  std::snprintf(english, sizeof english, "%s %s  (%" PRIu64 ".%02uMB)",
                text::kDiskSpaceFirst.english, volume, have.whole, have.hundredths);
  file_.failure.Set(english);
  notifier_.Notify(box, NoticeIcon::Warning);
  return false;
}

void RecordingWriter::RequestDivide() {
  // RF64 files are never divided: their sizes have no 32-bit limit, and the
  // request is ignored rather than left pending.
  if (file_.fileOpen && !file_.rf64Layout) file_.divideNow = true;
}

}  // namespace ov
