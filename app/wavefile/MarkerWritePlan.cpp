#include "app/wavefile/MarkerWritePlan.h"

#include <cstring>

namespace ov {

namespace {

namespace text = marker_text;

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool IdIs(const char* id, const char* four) {
  return std::memcmp(id, four, 4) == 0;
}

// The old markers: every cue chunk and every adtl list of the form.
bool IsMarkerChunk(const ChunkEntry& e) {
  return IdIs(e.id, "cue ") || (IdIs(e.id, "LIST") && IdIs(e.listType, "adtl"));
}

MarkerWritePlan Refuse(MarkerWritePlan plan, const char* reason) {
  plan.ok = false;
  plan.message = reason;
  return plan;
}

}  // namespace

MarkerWritePlan PlanMarkerWrite(const ChunkTable& table, uint64_t blockBytes) {
  MarkerWritePlan plan;
  plan.oldFileSize = table.fileSize;
  plan.blockBytes = blockBytes;
  if (!table.dataFound) return Refuse(plan, text::kNoData);
  const bool rf64 = std::memcmp(table.fileHeader, "RF64", 4) == 0;

  // The chunks of the form, in file order, and where each one ends.
  std::vector<const ChunkEntry*> top;
  const ChunkEntry* data = nullptr;
  const ChunkEntry* ds64 = nullptr;
  for (int i = 0; i < table.count && i < kChunkTableCapacity; ++i) {
    const ChunkEntry& e = table.entries[i];
    if (e.level != 1) continue;
    top.push_back(&e);
    if (!data && IdIs(e.id, "data")) data = &e;
    if (!ds64 && IdIs(e.id, "ds64")) ds64 = &e;
    if (IdIs(e.id, "cue ") && e.content && e.length >= 4) {
      // Points the file holds beyond the reader's 100 would be lost.
      const uint32_t declared = Le32(e.content.get());
      const uint32_t present = (e.length - 4) / 24;
      if ((declared < present ? declared : present) > kMarkerCapacity)
        return Refuse(plan, text::kTooManyCues);
    }
  }
  if (!data) return Refuse(plan, text::kNoData);
  auto contentSize = [&](const ChunkEntry& e) -> uint64_t {
    if (&e == data && rf64 && table.rf64SizesUsed) return table.dataSize;
    return e.size;
  };
  uint64_t previousEnd = 12;
  for (const ChunkEntry* e : top) {
    if (e->headerOffset != previousEnd) return Refuse(plan, text::kNotCovered);
    const uint64_t end = e->headerOffset + 8 + contentSize(*e);
    previousEnd = end + (end & 1);
  }
  const ChunkEntry& last = *top.back();
  const uint64_t lastEnd = last.headerOffset + 8 + contentSize(last);
  if (table.fileSize < lastEnd) return Refuse(plan, text::kCutOff);
  if (table.fileSize > previousEnd) return Refuse(plan, text::kNotCovered);

  // Cut at the first cue chunk behind the data; without one, append.
  const uint64_t dataEnd = data->headerOffset + 8 + contentSize(*data);
  const ChunkEntry* cut = nullptr;
  for (const ChunkEntry* e : top) {
    if (IdIs(e->id, "cue ") && e->headerOffset >= dataEnd) {
      cut = e;
      break;
    }
  }
  plan.cutAt = cut ? cut->headerOffset : table.fileSize;
  // A last chunk without its pad byte gets it first, so the block starts at
  // an even offset where readers look for the next chunk.
  plan.appendAt = cut ? plan.cutAt : previousEnd;
  uint64_t end = plan.appendAt + blockBytes;
  for (const ChunkEntry* e : top) {
    if (e->headerOffset < plan.cutAt) {
      if (IsMarkerChunk(*e)) plan.junk.push_back(e->headerOffset);
    } else if (!IsMarkerChunk(*e)) {
      MarkerWritePlan::Moved m;
      std::memcpy(m.id, e->id, 4);
      m.offset = e->headerOffset;
      const uint64_t content = contentSize(*e);
      m.size = 8 + content + (content & 1);
      end += m.size;
      plan.moved.push_back(m);
    }
  }
  plan.newFileSize = end;

  if (rf64) {
    if (!ds64 || ds64->length < 8) return Refuse(plan, text::kNoDs64);
    plan.sizeField64 = true;
    plan.sizeFieldOffset = ds64->headerOffset + 8;
  } else {
    if (plan.newFileSize - 8 > 0xFFFFFFFFull) return Refuse(plan, text::kRiffTooLarge);
    plan.sizeField64 = false;
    plan.sizeFieldOffset = 4;
  }
  plan.newSizeFieldValue = plan.newFileSize - 8;
  plan.ok = true;
  return plan;
}

}  // namespace ov
