#include "app/wavefile/WaveFileParse.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace ov {

void ReaderMessage::Set(const char* reason) {
  std::snprintf(text, kCapacity, "%s", reason);
}

void ChunkTable::Clear() {
  *this = ChunkTable{};
}

const ChunkEntry* FindChunkIn(const ChunkTable& table, const char id[4]) {
  for (int i = 0; i < table.count && i < kChunkTableCapacity; ++i) {
    if (std::memcmp(table.entries[i].id, id, 4) == 0) return &table.entries[i];
  }
  return nullptr;
}

namespace {

namespace text = reader_text;

constexpr int kMaxLevel = 6;  // five LIST levels below the form (levels 2..6)

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint64_t Le64(const uint8_t* p) {
  return Le32(p) | uint64_t(Le32(p + 4)) << 32;
}
bool IdIs(const uint8_t* id, const char* four) {
  return std::memcmp(id, four, 4) == 0;
}

// Subtracting a step from a budget in unsigned arithmetic: a huge step makes
// the budget negative instead of overflowing a signed value.
int64_t Reduce(int64_t budget, uint64_t step) {
  return static_cast<int64_t>(static_cast<uint64_t>(budget) - step);
}

// A chunk's content held for the length of one step: an entry of the table,
// or a temporary buffer when no table is built.
struct ChunkBytes {
  uint8_t* data = nullptr;
  uint32_t length = 0;
  std::unique_ptr<uint8_t[]> temporary;
};

class Walker {
 public:
  Walker(ByteSource& source, WaveFormat* format, ReaderMessage* message,
         const ParseOptions& options)
      : src_(source),
        format_(format),
        message_(message),
        chunks_(options.chunks),
        markers_(options.markers),
        dataSaveBytes_(options.dataSaveBytes) {}

  bool Run(WaveFileInfo* info, bool ctrlDown);

 private:
  bool Fail(const char* reason) {
    if (message_) message_->Set(reason);
    return false;
  }
  // Bytes of the file from offset to its end.
  uint64_t LeftAt(uint64_t offset) const { return offset < fileSize_ ? fileSize_ - offset : 0; }
  // Reads up to want content bytes at the current position (the chunk's
  // content) into a new table entry or a temporary buffer. The buffer is never
  // larger than what the file still holds, whatever the chunk declares.
  bool ReadContent(uint64_t want, ChunkBytes* out);
  bool HandleList(uint64_t want);
  void TakeLabels(const uint8_t* content, uint32_t length);
  bool HandleData();
  bool HandleFmt(uint64_t want);

  ByteSource& src_;
  WaveFormat* format_;
  ReaderMessage* message_;
  ChunkTable* chunks_;
  MarkerTable* markers_;
  uint32_t dataSaveBytes_;

  uint64_t fileSize_ = 0;
  uint32_t riffSizeField_ = 0;
  bool rf64_ = false;

  // The walk.
  int level_ = 1;
  int64_t budget_[kMaxLevel + 1] = {};  // budget_[level]: bytes left at that level
  uint64_t headerOffset_ = 12;          // offset of the header being handled
  uint64_t step_ = 0;                   // stepped length of the chunk being handled
  uint8_t header_[8] = {};
  uint32_t sizeField_ = 0;
  uint64_t working_ = 0;

  bool fmtFound_ = false, formatKnown_ = false, dataFound_ = false, bext_ = false;
  bool streamed_ = false;
  uint64_t ds64Data_ = 0;
  uint64_t dataSize_ = 0;
  uint64_t dataOffsetFound_ = 0;
};

bool Walker::ReadContent(uint64_t want, ChunkBytes* out) {
  if (chunks_ && chunks_->count >= kChunkTableCapacity) return Fail(text::kTableFull);
  const uint64_t contentOffset = headerOffset_ + 8;
  uint64_t ask = want < LeftAt(contentOffset) ? want : LeftAt(contentOffset);
  // Chunk sizes are 32-bit; a data head is bounded by dataSaveBytes.
  if (ask > 0xFFFFFFFFull) ask = 0xFFFFFFFFull;
  uint8_t* buffer = new (std::nothrow) uint8_t[static_cast<size_t>(ask) + 1];
  if (!buffer) return Fail(text::kNoMemory);
  std::unique_ptr<uint8_t[]> owned(buffer);
  const size_t got = src_.Read(buffer, static_cast<size_t>(ask));
  buffer[got] = 0;
  out->data = buffer;
  out->length = static_cast<uint32_t>(got);
  if (chunks_) {
    ChunkEntry& e = chunks_->entries[chunks_->count];
    e.index = ++chunks_->count;
    e.level = level_;
    e.headerOffset = headerOffset_;
    std::memcpy(e.id, header_, 4);
    e.size = sizeField_;
    if (IdIs(header_, "LIST") && got >= 4) std::memcpy(e.listType, buffer, 4);
    e.content = std::move(owned);
    e.length = out->length;
  } else {
    out->temporary = std::move(owned);
  }
  return true;
}

void Walker::TakeLabels(const uint8_t* content, uint32_t length) {
  // Sub-chunks of an adtl list: ID, size, cue ID, then the payload. A
  // sub-chunk that runs past the list ends the walk of the list.
  uint64_t p = 4;
  while (p + 12 <= length) {
    const uint8_t* sub = content + p;
    const uint32_t size = Le32(sub + 4);
    if (size > length - p - 8) break;
    const uint64_t rounded = (uint64_t(size) + 1) & ~uint64_t(1);
    const uint32_t cueId = Le32(sub + 8);
    Marker* target = nullptr;
    for (int i = 0; i < markers_->count; ++i) {
      if (markers_->markers[i].cueId == cueId) {
        target = &markers_->markers[i];
        break;
      }
    }
    if (target && IdIs(sub, "labl")) {
      uint64_t n = rounded >= 4 ? rounded - 4 : 0;
      if (n > kMarkerLabelMax) n = kMarkerLabelMax;
      if (n > length - p - 12) n = length - p - 12;
      std::memset(target->label, 0, sizeof target->label);
      std::memcpy(target->label, sub + 12, static_cast<size_t>(n));
    } else if (target && IdIs(sub, "ltxt") && size >= 8) {
      target->length = Le32(sub + 12);
    }
    p += rounded + 8;
  }
}

bool Walker::HandleList(uint64_t want) {
  ChunkBytes bytes;
  if (!ReadContent(want, &bytes)) return false;
  if (bytes.length < want) return Fail(text::kList);
  if (!chunks_ || bytes.length <= 4) {
    step_ = bytes.length;
    return true;
  }
  if (markers_ && markers_->count > 0 && IdIs(bytes.data, "adtl") && bytes.length - 4 >= 8) {
    TakeLabels(bytes.data, bytes.length);
  }
  if (!src_.SeekBy(-static_cast<int64_t>(bytes.length - 4))) return Fail(text::kSeek);
  if (level_ > 5) return Fail(text::kNesting);
  // The enclosing level gives up the whole LIST now; its sub-chunks are walked
  // one by one as a level of their own.
  budget_[level_] = Reduce(budget_[level_], uint64_t(bytes.length) + 8);
  ++level_;
  budget_[level_] = int64_t(bytes.length) - 4;
  step_ = 4;
  return true;
}

bool Walker::HandleFmt(uint64_t want) {
  if (want < 16 || want > 50 || riffSizeField_ == 0) {
    char reason[ReaderMessage::kCapacity];
    std::snprintf(reason, sizeof reason, text::kFmtSizeFormat, static_cast<int32_t>(want),
                  static_cast<int32_t>(riffSizeField_));
    return Fail(reason);
  }
  ChunkBytes bytes;
  if (!ReadContent(want, &bytes)) return false;
  if (bytes.length < want) return Fail(text::kFmt);
  fmtFound_ = true;
  std::memset(format_, 0, sizeof *format_);
  std::memcpy(format_, bytes.data, bytes.length < 40 ? bytes.length : 40);
  const uint16_t tag = format_->formatTag;
  formatKnown_ =
      tag == kWaveFormatPcm || tag == kWaveFormatIeeeFloat || tag == kWaveFormatExtensible;
  step_ = bytes.length;
  return true;
}

bool Walker::HandleData() {
  uint64_t size = working_;
  uint64_t stepSize = working_;
  if (!rf64_ && sizeField_ == 0xFFFFFFFFu) {
    // No real data chunk under 4 GiB has this size: a writer that could not
    // go back left it unset, and the data runs to the end of the file.
    size = stepSize = LeftAt(headerOffset_ + 8);
    streamed_ = true;
  } else if (rf64_ && sizeField_ == 0xFFFFFFFFu) {
    size = ds64Data_;
    // The 64-bit size counts no pad byte; the next chunk starts after it.
    stepSize = size + (size & 1);
    if (chunks_) chunks_->rf64SizesUsed = 1;
  }
  const uint64_t offset = headerOffset_ + 8;
  dataOffsetFound_ = offset;
  if (chunks_) {
    chunks_->dataSize = size;
    chunks_->dataOffset = offset;
  }
  if (size > LeftAt(offset)) size = stepSize = LeftAt(offset);
  dataSize_ = size;
  if (chunks_) {
    const uint64_t k = dataSaveBytes_ < size ? dataSaveBytes_ : size;
    ChunkBytes head;
    if (!ReadContent(k, &head)) return false;
    if (head.length < k) return Fail(text::kData);
    // The tail starts data size - k after the head ends: forward, or back
    // when the data is shorter than twice k.
    const int64_t skip = static_cast<int64_t>(size - k) - static_cast<int64_t>(k);
    if (!src_.SeekBy(skip)) return Fail(text::kSeek);
    ChunkEntry& tail = chunks_->dataTail;
    tail.Clear();
    tail.level = level_;
    tail.headerOffset = offset + size - k;
    std::memcpy(tail.id, header_, 4);
    tail.size = sizeField_;
    uint8_t* buffer = new (std::nothrow) uint8_t[static_cast<size_t>(k) + 1];
    if (!buffer) return Fail(text::kNoMemory);
    tail.content.reset(buffer);
    const size_t got = src_.Read(buffer, static_cast<size_t>(k));
    buffer[got] = 0;
    tail.length = static_cast<uint32_t>(got);
    if (got < k) return Fail(text::kOther);
  }
  // The next header is found by absolute offset, so no seek past the data is
  // needed here even without a table.
  dataFound_ = true;
  step_ = stepSize;
  return true;
}

bool Walker::Run(WaveFileInfo* info, bool ctrlDown) {
  fileSize_ = src_.Size();
  if (chunks_) chunks_->fileSize = fileSize_;
  uint8_t head[12];
  if (!src_.SeekTo(0) || src_.Read(head, 12) < 12) return Fail(text::kHeader);
  if (chunks_) std::memcpy(chunks_->fileHeader, head, 12);
  riffSizeField_ = Le32(head + 4);
  const bool wave = IdIs(head + 8, "WAVE");
  const bool riff = IdIs(head, "RIFF") && (wave || ctrlDown);
  // RF64 files below 4 GiB often carry the real size instead of 0xFFFFFFFF;
  // they are RF64 all the same and their ds64 chunk gives the sizes.
  rf64_ = IdIs(head, "RF64") && wave;
  if (!riff && !rf64_) return Fail(text::kNotRiff);

  if (rf64_ && riffSizeField_ == 0xFFFFFFFFu) {
    budget_[1] = 1;  // only the first chunk until ds64 gives the real size
  } else if (riffSizeField_ == 0xFFFFFFFFu) {
    // A RIFF size never filled in (a file written to a pipe): the chunks run
    // to the end of the file.
    budget_[1] = fileSize_ > 12 ? static_cast<int64_t>(fileSize_ - 12) : 0;
    streamed_ = true;
  } else {
    budget_[1] = int64_t(uint32_t(riffSizeField_ + 16)) - 20;
  }

  for (;;) {
    while (budget_[level_] <= 0) {
      if (level_ == 1) goto finished;
      --level_;
    }
    if (!src_.SeekTo(headerOffset_)) return Fail(text::kSeek);
    if (src_.Read(header_, 8) < 8) {
      if (dataFound_) break;
      return Fail(text::kNoData);
    }
    sizeField_ = Le32(header_ + 4);
    working_ = sizeField_ == 0xFFFFFFFFu ? sizeField_ : (uint64_t(sizeField_) + 1) & ~uint64_t(1);
    if (working_ == 0) {
      if (chunks_) chunks_->budgetAtStop = static_cast<uint32_t>(budget_[level_]);
      break;
    }
    const int levelBefore = level_;
    step_ = working_;
    bool ok;
    if (IdIs(header_, "LIST")) {
      ok = HandleList(working_);
    } else if ((rf64_ && IdIs(header_, "ds64")) || (!rf64_ && IdIs(header_, "JUNK"))) {
      ChunkBytes bytes;
      ok = ReadContent(working_, &bytes);
      // Like any other trailing chunk, a JUNK chunk cut off by the end of the
      // file after the data (often just its pad byte) is tolerated.
      const bool tolerated = dataFound_ && !rf64_;
      if (ok && bytes.length < working_ && !tolerated) ok = Fail(text::kDs64Junk);
      if (ok && IdIs(header_, "ds64")) {
        // A short ds64 gives only the fields it holds.
        if (bytes.length >= 8) {
          const uint64_t riffSize = Le64(bytes.data);
          budget_[1] = Reduce(static_cast<int64_t>(riffSize), 4);
          if (chunks_) chunks_->riffSize = riffSize;
        }
        if (bytes.length >= 16) ds64Data_ = Le64(bytes.data + 8);
        if (bytes.length >= 24 && chunks_) chunks_->sampleCount = Le64(bytes.data + 16);
      }
      step_ = bytes.length;
    } else if (IdIs(header_, "fmt ")) {
      ok = HandleFmt(working_);
    } else if (IdIs(header_, "fact") && working_ == 4) {
      ChunkBytes bytes;
      ok = ReadContent(working_, &bytes);
      if (ok && bytes.length < working_) ok = Fail(text::kFact);
      step_ = bytes.length;
    } else if (IdIs(header_, "cue ") && working_ != 4) {
      ChunkBytes bytes;
      ok = ReadContent(working_, &bytes);
      if (ok && bytes.length < working_) ok = Fail(text::kCue);
      if (ok && markers_) {
        // Only the 24-byte points the chunk really holds count.
        uint32_t count = bytes.length >= 4 ? Le32(bytes.data) : 0;
        const uint32_t present = bytes.length >= 4 ? (bytes.length - 4) / 24 : 0;
        if (count > present) count = present;
        if (count > kMarkerCapacity) count = kMarkerCapacity;
        markers_->Clear();
        markers_->count = static_cast<int32_t>(count);
        for (uint32_t i = 0; i < count; ++i) {
          markers_->markers[i].cueId = Le32(bytes.data + 4 + 24 * i);
          markers_->markers[i].position = Le32(bytes.data + 8 + 24 * i);
        }
      }
      step_ = bytes.length;
    } else if (IdIs(header_, "data")) {
      ok = HandleData();
    } else if (IdIs(header_, "bext")) {
      ChunkBytes bytes;
      ok = ReadContent(working_, &bytes);
      if (ok && bytes.length < working_) ok = Fail(text::kBext);
      bext_ = true;
      if (chunks_) chunks_->bextPresent = 1;
      step_ = bytes.length;
    } else if (chunks_) {
      ChunkBytes bytes;
      ok = ReadContent(working_, &bytes);
      // A trailing chunk cut off by the end of the file is tolerated.
      if (ok && bytes.length < working_ && !dataFound_) ok = Fail(text::kOther);
      step_ = bytes.length;
    } else {
      ok = true;  // passed over unread; the next header is found by offset
    }
    if (!ok) return false;

    // Account for the chunk. A LIST that was entered has already charged its
    // enclosing level; only its list type is stepped over.
    const bool entered = level_ != levelBefore;
    if (!entered) budget_[level_] = Reduce(budget_[level_], step_ + 8);
    headerOffset_ += step_ + 8;
  }
finished:
  // A format without channels, frames or rate cannot be played: every consumer
  // divides by these, so such a file is reported as not valid.
  // Every consumer sizes its buffers and steps through the samples by the
  // block align: it must hold each channel's sample, and a channel never
  // takes more than 8 bytes (a corrupt value would otherwise ask for
  // gigabytes of analysis buffers).
  const uint32_t channels = format_->channels;
  const uint32_t sampleBytes = (format_->bitsPerSample + 7u) / 8u;
  const bool alignFits =
      format_->blockAlign >= channels * sampleBytes && format_->blockAlign <= channels * 8u;
  const bool playable = formatKnown_ && fmtFound_ && dataFound_ && channels != 0 &&
                        format_->blockAlign != 0 && format_->samplesPerSec != 0 &&
                        sampleBytes != 0 && alignFits;
  if (chunks_) {
    chunks_->streamed = streamed_;
    chunks_->valid = playable;
    chunks_->formatKnown = formatKnown_;
    chunks_->fmtFound = fmtFound_;
    chunks_->dataFound = dataFound_;
    chunks_->format = *format_;
    chunks_->floatWidth = FloatWidth(*format_);
  }
  info->valid = playable;
  info->streamed = streamed_;
  info->dataSize = dataSize_;
  info->dataOffset = dataOffsetFound_;
  info->silence = format_->bitsPerSample == 8 ? 128 : 0;
  info->bext = bext_;
  info->rf64 = rf64_;
  info->noFile = false;
  info->floatWidth = FloatWidth(*format_);
  return true;
}

}  // namespace

bool ParseWaveSource(ByteSource& source, WaveFormat* format, WaveFileInfo* info,
                     ReaderMessage* message, const ParseOptions& options, bool ctrlDown) {
  if (options.chunks) options.chunks->Clear();
  if (options.markers) options.markers->Clear();
  if (message) message->Clear();
  WaveFileInfo scratch;
  if (!info) info = &scratch;
  *info = WaveFileInfo{};
  if (!format) return false;
  Walker walker(source, format, message, options);
  return walker.Run(info, ctrlDown);
}

bool ParseWaveFile(const char* name, WaveFormat* format, WaveFileInfo* info, ReaderMessage* message,
                   const ParseOptions& options) {
  if (options.chunks) options.chunks->Clear();
  if (options.markers) options.markers->Clear();
  if (message) message->Clear();
  WaveFileInfo scratch;
  if (!info) info = &scratch;
  *info = WaveFileInfo{};
  if (!name || name[0] == '\0') return false;
  if (name[0] == ' ') {
    info->noFile = true;
    info->dataSize = 1;
    return true;
  }
  if (!format) return false;
  std::unique_ptr<ByteSource> source =
      options.opener && *options.opener ? (*options.opener)(name) : OpenFileSource(name);
  if (!source) {
    if (message) message->Set(text::kFileNotFound);
    return false;
  }
  const bool ctrlDown = options.ctrlKeyDown && options.ctrlKeyDown();
  return ParseWaveSource(*source, format, info, message, options, ctrlDown);
}

}  // namespace ov
