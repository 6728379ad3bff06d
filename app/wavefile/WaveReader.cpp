#include "app/wavefile/WaveReader.h"

#include <cstring>

namespace ov {
namespace {

namespace text = reader_text;

uint64_t Min(uint64_t a, uint64_t b) {
  return a < b ? a : b;
}

void FillSilence(const PlayReadState& state, uint8_t* from, uint32_t count) {
  if (count) std::memset(from, static_cast<int>(state.playSilence), count);
}

std::unique_ptr<ByteSource> OpenSource(const PlayReadState& state, const char* name) {
  return state.opener ? state.opener(name) : OpenFileSource(name);
}

}  // namespace

void CloseReadFile(PlayReadState& state) {
  state.file.reset();
}

const ChunkEntry* FindChunk(const PlayReadState& state, const char id[4]) {
  return FindChunkIn(state.chunks, id);
}

bool OpenForPlay(PlayReadState& state, const char* name, bool warn) {
  if (!name) name = state.currentItem ? state.currentItem->fileName : "";
  // A handle left from an earlier open would otherwise stay open.
  CloseReadFile(state);

  ParseOptions options;
  options.chunks = &state.chunks;
  options.markers = &state.markers;
  options.dataSaveBytes = state.dataSaveBytes;
  options.ctrlKeyDown = state.ctrlKeyDown;
  options.opener = state.opener ? &state.opener : nullptr;
  WaveFileInfo info;
  bool parsed = false;
  {
    std::lock_guard<std::mutex> lock(state.recordsMutex);
    parsed = ParseWaveFile(name, &state.format, &info, &state.message, options);
  }
  state.isPcm = info.valid;
  state.dataBytes = info.dataSize;
  state.dataOffset = info.dataOffset;
  state.playSilence = info.silence;
  state.rf64 = info.rf64;
  state.bext = info.bext;
  state.floatWidth = info.floatWidth;
  state.reprime = info.noFile;
  state.remainingBytes = info.dataSize;
  if (!parsed) return false;
  if (info.noFile) return true;

  if (!info.valid) {
    if (warn) {
      // The file stays open in the engine's records (format and chunks can be
      // shown) but gets no read handle.
      if (state.notifier) {
        const TwoLanguageText warning{text::kNotValidJapanese, text::kNotValidEnglish};
        state.notifier->Notify(warning.In(state.language), NoticeIcon::Warning);
      }
      return true;
    }
    state.message.Set(text::kNotValidEnglish);
    return false;
  }

  std::unique_ptr<ByteSource> file = OpenSource(state, name);
  if (!file) {
    state.message.Set(text::kFileNotFound);
    return false;
  }
  if (!file->SeekTo(state.dataOffset)) {
    state.message.Set(text::kFileSeek);
    return false;
  }
  state.file = std::move(file);
  return true;
}

uint32_t ReadStream(PlayReadState& state, uint8_t* buffer, uint32_t count) {
  if (state.reprime.exchange(false)) {
    // A seek beyond the data lands at its end rather than wrapping the count
    // of remaining bytes.
    const uint64_t align = state.format.blockAlign;
    uint64_t bytePosition = state.dataBytes;
    if (align == 0 || state.position <= state.dataBytes / align) {
      bytePosition = Min(state.position * align, state.dataBytes);
    }
    if (state.file && !state.file->SeekTo(state.dataOffset + bytePosition)) {
      state.message.Set(text::kFileSeek);
      CloseReadFile(state);
      FillSilence(state, buffer, count);
      return 0;
    }
    state.remainingBytes = state.dataBytes - bytePosition;
    state.reprimeStartBytes = bytePosition;
    state.pausedPlayed = 0;
  }
  if (!state.file) {
    FillSilence(state, buffer, count);
    return 0;
  }

  uint32_t filled = 0;
  bool switched = false;
  for (;;) {
    if (state.file) {
      const uint32_t want = static_cast<uint32_t>(Min(count - filled, state.remainingBytes));
      state.remainingBytes -= want;
      const size_t got = state.file->Read(buffer + filled, want);
      if (got < want) {
        // A read failure ends the stream silently.
        CloseReadFile(state);
        FillSilence(state, buffer, count);
        return 0;
      }
      if (got) state.silenceInserted = false;
      filled += want;
    }
    if (filled < count && state.itemSilenceBytes) {
      const uint32_t silence = static_cast<uint32_t>(Min(count - filled, state.itemSilenceBytes));
      state.itemSilenceBytes -= silence;
      FillSilence(state, buffer + filled, silence);
      state.silenceInserted = true;
      filled += silence;
    }
    if (filled == count) return count;

    // Continue gaplessly into the next play-list item of byte-for-byte equal
    // format, also right after the item's trailing silence: the next item
    // then starts exactly that silence after the last one ended.
    const PlayItem* next = state.onPlayListCursor ? state.onPlayListCursor(true) : nullptr;
    const WaveFormat& current = state.currentItem ? state.currentItem->format : state.format;
    if (!next || next == state.currentItem || !SameFormat(next->format, current)) {
      state.itemSwitchPending = switched;
      FillSilence(state, buffer + filled, count - filled);
      return filled;
    }
    CloseReadFile(state);
    state.previousItem = state.currentItem;
    state.currentItem = next;
    state.itemSilenceBytes = next->trailingSilence;
    if (!OpenForPlay(state, nullptr, false)) {
      FillSilence(state, buffer, count);
      return 0;
    }
    switched = true;
    state.itemSwitchPending = true;
  }
}

}  // namespace ov
