#include "app/shell/StartupPlayList.h"

#include <cstdio>

#include "app/wavefile/WaveFileParse.h"

namespace ov {

std::string StartupPlayList::Fill(const std::vector<std::string>& fileNames) {
  Clear();
  std::string refused;
  for (const std::string& name : fileNames) {
    PlayItem item;
    WaveFileInfo info;
    ReaderMessage message;
    const bool fits = name.size() < sizeof item.fileName;
    if (!fits || !ParseWaveFile(name.c_str(), &item.format, &info, &message, ParseOptions{}) ||
        !info.valid) {
      refused += "\n" + name;
      continue;
    }
    std::snprintf(item.fileName, sizeof item.fileName, "%s", name.c_str());
    item.floatWidth = info.floatWidth;
    item.dataSize = info.dataSize;
    items_.push_back(item);
  }
  return refused;
}

void StartupPlayList::Clear() {
  items_.clear();
  current_ = -1;
}

const PlayItem* StartupPlayList::Cursor(bool peekNext) {
  const int next = current_ + 1;
  const bool exists = next < static_cast<int>(items_.size());
  if (peekNext) return exists ? &items_[next] : nullptr;
  if (exists) current_ = next;
  return nullptr;
}

}  // namespace ov
