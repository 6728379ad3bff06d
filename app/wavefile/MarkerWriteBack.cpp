#include "app/wavefile/MarkerWriteBack.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "app/wavefile/WaveFileParse.h"

namespace ov {

namespace {

namespace text = marker_text;

// The file seam with the bytes it moved counted.
class Editor {
 public:
  explicit Editor(DiskEditFile& file) : file_(file) {}

  bool ReadAt(uint64_t offset, uint8_t* data, size_t bytes) {
    if (!file_.SeekTo(offset)) return Fail(text::kFileSeek);
    const size_t got = file_.Read(data, bytes);
    read += got;
    return got == bytes || Fail(text::kFileRead);
  }
  bool WriteAt(uint64_t offset, const uint8_t* data, size_t bytes) {
    if (!file_.SeekTo(offset)) return Fail(text::kFileSeek);
    const size_t put = file_.Write(data, bytes);
    written += put;
    return put == bytes || Fail(text::kFileWrite);
  }
  bool SetEnd(uint64_t size) { return file_.TruncateAt(size) || Fail(text::kFileTruncate); }
  bool Flush() { return file_.Flush() || Fail(text::kFileFlush); }

  const char* reason = nullptr;  // the first failure
  uint64_t read = 0, written = 0;

 private:
  bool Fail(const char* why) {
    if (!reason) reason = why;
    return false;
  }
  DiskEditFile& file_;
};

void PutLe(uint8_t* p, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

MarkerWriteResult WriteMarkerBlock(Disk& disk, const char* fileName, const ChunkTable& table,
                                   const uint8_t* block, size_t blockBytes) {
  MarkerWriteResult result;
  result.plan = PlanMarkerWrite(table, blockBytes);
  const MarkerWritePlan& plan = result.plan;
  if (!plan.ok) {
    result.message = plan.message;
    return result;
  }
  std::unique_ptr<DiskEditFile> file = disk.OpenExisting(fileName);
  if (!file) {
    result.message = text::kFileNotFound;
    return result;
  }
  Editor edit(*file);
  // Ends the write: reason empty when the markers are in the file.
  auto finish = [&](std::string reason) {
    result.bytesRead = edit.read;
    result.bytesWritten = edit.written;
    file->Close();
    result.written = reason.empty();
    result.message = std::move(reason);
    return result;
  };

  // The file must be the one the table describes.
  uint64_t size = 0;
  uint8_t header[12];
  if (!file->Size(&size) || size != plan.oldFileSize || !edit.ReadAt(0, header, 12) ||
      std::memcmp(header, table.fileHeader, 12) != 0)
    return finish(text::kChanged);

  if (plan.newFileSize > plan.oldFileSize) {
    char volume[512];
    disk.VolumeOf(fileName, volume, sizeof volume);
    uint64_t free = 0;
    // When the system cannot tell, the writes find out; a short one restores.
    if (disk.FreeBytes(volume, &free) && free < plan.newFileSize - plan.oldFileSize)
      return finish(text::kNoSpace);
  }

  // Everything the edit overwrites, for the way back.
  const uint64_t tailBytes = plan.oldFileSize - plan.cutAt;
  std::unique_ptr<uint8_t[]> oldTail(new (std::nothrow) uint8_t[tailBytes + 1]);
  std::vector<uint8_t> newTail;
  try {
    newTail.reserve(plan.newFileSize - plan.cutAt);
  } catch (const std::bad_alloc&) {
    return finish(reader_text::kNoMemory);
  }
  if (!oldTail) return finish(reader_text::kNoMemory);
  const int sizeBytes = plan.sizeField64 ? 8 : 4;
  uint8_t oldSize[8];
  std::vector<uint8_t> oldIds(4 * plan.junk.size());
  if (!edit.ReadAt(plan.cutAt, oldTail.get(), tailBytes) ||
      !edit.ReadAt(plan.sizeFieldOffset, oldSize, sizeBytes))
    return finish(edit.reason);
  for (size_t i = 0; i < plan.junk.size(); ++i) {
    if (!edit.ReadAt(plan.junk[i], &oldIds[4 * i], 4)) return finish(edit.reason);
  }

  // The new tail: pad byte, block, the moved chunks with their pad bytes.
  newTail.assign(plan.appendAt - plan.cutAt, 0);
  newTail.insert(newTail.end(), block, block + blockBytes);
  for (const MarkerWritePlan::Moved& m : plan.moved) {
    const uint64_t from = m.offset - plan.cutAt;
    const uint64_t have = from < tailBytes ? tailBytes - from : 0;
    const uint64_t take = have < m.size ? have : m.size;
    newTail.insert(newTail.end(), oldTail.get() + from, oldTail.get() + from + take);
    newTail.resize(newTail.size() + (m.size - take), 0);
  }

  uint8_t newSize[8];
  PutLe(newSize, plan.newSizeFieldValue, sizeBytes);
  static const uint8_t kJunk[4] = {'J', 'U', 'N', 'K'};
  bool ok =
      edit.WriteAt(plan.cutAt, newTail.data(), newTail.size()) && edit.SetEnd(plan.newFileSize);
  for (size_t i = 0; ok && i < plan.junk.size(); ++i) ok = edit.WriteAt(plan.junk[i], kJunk, 4);
  ok = ok && edit.WriteAt(plan.sizeFieldOffset, newSize, sizeBytes) && edit.Flush();
  if (ok) return finish({});

  // Put back what was there, in the reverse order.
  const char* reason = edit.reason;
  bool restored = edit.WriteAt(plan.sizeFieldOffset, oldSize, sizeBytes);
  for (size_t i = 0; i < plan.junk.size(); ++i)
    restored = edit.WriteAt(plan.junk[i], &oldIds[4 * i], 4) && restored;
  restored = edit.WriteAt(plan.cutAt, oldTail.get(), tailBytes) && restored;
  restored = edit.SetEnd(plan.oldFileSize) && restored;
  restored = edit.Flush() && restored;
  result.fileUnchanged = restored;
  return finish(restored ? std::string(reason) : std::string(reason) + text::kRestoreFailed);
}

}  // namespace ov
