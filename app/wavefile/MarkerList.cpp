#include "app/wavefile/MarkerList.h"

#include <cstdio>
#include <cstring>

namespace ov {

namespace {

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutId(std::vector<uint8_t>& out, const char* id) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(id[i]));
}
void PutBytes(std::vector<uint8_t>& out, std::string_view bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

// A sub-chunk of an adtl list: ID, size, then payload (cue ID first) with its
// pad byte when the size is odd.
void PutSubChunk(std::vector<uint8_t>& out, const char* id, std::string_view payload) {
  PutId(out, id);
  Put32(out, static_cast<uint32_t>(payload.size()));
  PutBytes(out, payload);
  if (payload.size() & 1) out.push_back(0);
}

std::string Le32Text(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
  return s;
}

// The purpose "rgn " and four zero u16 fields (country, language, dialect,
// code page): the ltxt bytes after the sample length for added rows.
const std::string& DefaultLtxtTail() {
  static const std::string tail = std::string("rgn ") + std::string(8, '\0');
  return tail;
}

// Length of the UTF-8 sequence starting with lead byte c (1 for ASCII and for
// bytes that start no sequence).
size_t SequenceLength(unsigned char c) {
  if ((c & 0xE0) == 0xC0) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  if ((c & 0xF8) == 0xF0) return 4;
  return 1;
}

// The row of the list loaded with cue ID id, or null.
MarkerRow* RowWithCue(MarkerRow* rows, int count, uint32_t id) {
  for (int i = 0; i < count; ++i) {
    if (rows[i].loadedCueId == id) return &rows[i];
  }
  return nullptr;
}

}  // namespace

std::string_view LabelForWrite(const char* label) {
  const size_t max = kMarkerLabelWriteBytes - 1;
  const size_t n = strnlen(label, kMarkerLabelBytes);
  if (n <= max) return std::string_view(label, n);
  // Cut at max, then step back over a sequence the cut would split. Bytes
  // that are not UTF-8 are cut where they stand.
  size_t start = max;
  while (start > 0 && (static_cast<unsigned char>(label[start]) & 0xC0) == 0x80 && max - start < 3)
    --start;
  const size_t len = SequenceLength(static_cast<unsigned char>(label[start]));
  const size_t cut = (len > 1 && start + len > max) ? start : max;
  return std::string_view(label, cut);
}

void MarkerList::Load(const MarkerTable& markers, const ChunkTable* chunks) {
  for (MarkerRow& r : rows_) r = MarkerRow{};
  count_ = markers.count < 0 ? 0 : (markers.count > kCapacity ? kCapacity : markers.count);
  for (int i = 0; i < count_; ++i) {
    const Marker& m = markers.markers[i];
    MarkerRow& r = rows_[i];
    std::memcpy(r.label, m.label, sizeof r.label);
    r.label[sizeof r.label - 1] = '\0';
    r.length = m.length;
    r.position = m.position;
    r.loadedCueId = m.cueId;
  }
  dirty_ = false;
  if (!chunks || count_ == 0) return;
  // The reader takes labels from the adtl lists after the last cue chunk;
  // take their notes and ltxt details from the same lists.
  int cueIndex = -1;
  for (int i = 0; i < chunks->count && i < kChunkTableCapacity; ++i) {
    if (std::memcmp(chunks->entries[i].id, "cue ", 4) == 0 && chunks->entries[i].size != 4)
      cueIndex = i;
  }
  if (cueIndex < 0) return;
  bool noteTaken[kCapacity] = {}, ltxtTaken[kCapacity] = {};
  for (int i = cueIndex + 1; i < chunks->count && i < kChunkTableCapacity; ++i) {
    const ChunkEntry& e = chunks->entries[i];
    if (std::memcmp(e.id, "LIST", 4) != 0 || std::memcmp(e.listType, "adtl", 4) != 0 || !e.content)
      continue;
    const uint8_t* c = e.content.get();
    uint64_t p = 4;
    while (p + 12 <= e.length) {
      const uint32_t size = Le32(c + p + 4);
      if (size < 4 || size > e.length - p - 8) break;
      MarkerRow* row = RowWithCue(rows_, count_, Le32(c + p + 8));
      const int at = row ? static_cast<int>(row - rows_) : -1;
      const char* payload = reinterpret_cast<const char*>(c + p + 12);
      const size_t payloadLen = size - 4;
      if (row && std::memcmp(c + p, "note", 4) == 0 && !noteTaken[at]) {
        row->note.assign(payload, strnlen(payload, payloadLen));
        noteTaken[at] = true;
      } else if (row && std::memcmp(c + p, "ltxt", 4) == 0 && payloadLen >= 4 && !ltxtTaken[at]) {
        row->ltxtTail.assign(payload + 4, payloadLen - 4);
        ltxtTaken[at] = true;
      }
      p += ((uint64_t(size) + 1) & ~uint64_t(1)) + 8;
    }
  }
}

MarkerAddResult MarkerList::Add(uint64_t position) {
  if (count_ >= kCapacity) return MarkerAddResult::ListFull;
  if (position > 0xFFFFFFFFull) return MarkerAddResult::PositionTooLarge;
  MarkerRow& r = rows_[count_++];
  r = MarkerRow{};
  std::snprintf(r.label, sizeof r.label, "Marker %d", count_);
  r.position = position;
  dirty_ = true;
  return MarkerAddResult::Added;
}

int MarkerList::Delete(int row) {
  if (row < 1 || row > count_) return count_ == 0 ? 0 : (row < 1 ? 1 : count_);
  for (int i = row - 1; i + 1 < count_; ++i) rows_[i] = rows_[i + 1];
  rows_[--count_] = MarkerRow{};
  dirty_ = true;
  if (count_ == 0) return 0;
  return row > count_ ? count_ : row;
}

void MarkerList::DeleteAll() {
  for (MarkerRow& r : rows_) r = MarkerRow{};
  count_ = 0;
  dirty_ = true;
}

MarkerRenameResult MarkerList::Rename(int row, std::string_view text) {
  if (row < 1 || row > count_) return MarkerRenameResult::NoRow;
  dirty_ = true;
  // A zero inside the text would end the label early: it does not fit either.
  if (text.size() >= kMarkerLabelWriteBytes || text.find('\0') != std::string_view::npos)
    return MarkerRenameResult::TooLong;
  MarkerRow& r = rows_[row - 1];
  std::memset(r.label, 0, sizeof r.label);
  std::memcpy(r.label, text.data(), text.size());
  r.renamed = true;
  return MarkerRenameResult::Renamed;
}

std::vector<uint8_t> MarkerList::BuildBlock() const {
  std::vector<uint8_t> out;
  const uint32_t n = static_cast<uint32_t>(count_);
  if (n == 0) return out;
  PutId(out, "cue ");
  Put32(out, 24 * n + 4);
  Put32(out, n);
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t position = static_cast<uint32_t>(rows_[i].position);
    Put32(out, i + 1);
    Put32(out, position);
    PutId(out, "data");
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, position);
  }
  const size_t listStart = out.size();
  PutId(out, "LIST");
  Put32(out, 0);  // filled in below
  PutId(out, "adtl");
  for (uint32_t i = 0; i < n; ++i) {
    const std::string_view label = LabelForWrite(rows_[i].label);
    PutSubChunk(out, "labl", Le32Text(i + 1) + std::string(label) + std::string(1, '\0'));
  }
  for (uint32_t i = 0; i < n; ++i) {
    PutSubChunk(out, "note", Le32Text(i + 1) + rows_[i].note + std::string(1, '\0'));
  }
  for (uint32_t i = 0; i < n; ++i) {
    const MarkerRow& r = rows_[i];
    const std::string& tail = r.ltxtTail.empty() ? DefaultLtxtTail() : r.ltxtTail;
    PutSubChunk(out, "ltxt", Le32Text(i + 1) + Le32Text(r.length) + tail);
  }
  const uint32_t listSize = static_cast<uint32_t>(out.size() - listStart - 8);
  for (int i = 0; i < 4; ++i) out[listStart + 4 + i] = static_cast<uint8_t>(listSize >> (8 * i));
  return out;
}

}  // namespace ov
