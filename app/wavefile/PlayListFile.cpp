// M3U list files: the robust reader, the writer, and Open and Save of the
// play list.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "app/wavefile/ByteSource.h"
#include "app/wavefile/Disk.h"
#include "app/wavefile/PlayList.h"
#include "app/wavefile/SystemCodePage.h"

namespace ov {

namespace {

constexpr size_t kMaxLineBytes = 360;
constexpr uint64_t kMaxListBytes = 16u << 20;  // far beyond 99 entries of 360 bytes

bool ValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t len = c < 0x80             ? 1
                 : (c & 0xE0) == 0xC0 ? 2
                 : (c & 0xF0) == 0xE0 ? 3
                 : (c & 0xF8) == 0xF0 ? 4
                                      : 0;
    if (len == 0 || i + len > s.size() || (len == 2 && c < 0xC2)) return false;
    for (size_t k = 1; k < len; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += len;
  }
  return true;
}

// The words of a directive: split at ':' and ' ', empty words dropped; each
// with the offset where it starts.
std::vector<std::pair<std::string_view, size_t>> Words(std::string_view s) {
  std::vector<std::pair<std::string_view, size_t>> words;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ':' || s[i] == ' ')) ++i;
    const size_t start = i;
    while (i < s.size() && s[i] != ':' && s[i] != ' ') ++i;
    if (i > start) words.emplace_back(s.substr(start, i - start), start);
  }
  return words;
}

// 0..99 from a word of digits; -1 otherwise.
int SilenceValue(std::string_view word) {
  if (word.empty() || word.size() > 2) return -1;
  int v = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

bool EndsWithM3u(const std::string& name) {
  if (name.size() < 4) return false;
  const char* e = name.c_str() + name.size() - 4;
  return e[0] == '.' && (e[1] | 0x20) == 'm' && e[2] == '3' && (e[3] | 0x20) == 'u';
}

bool IsAbsolute(const std::string& p) {
  return (!p.empty() && (p[0] == '/' || p[0] == '\\')) ||
         (p.size() >= 2 && p[1] == ':' && ((p[0] | 0x20) >= 'a' && (p[0] | 0x20) <= 'z'));
}

std::string FolderOf(const std::string& name) {
  const size_t slash = name.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

std::string Box(const TwoLanguageText& t, Language l, const std::string& name) {
  return std::string(t.In(l)) + "\n\n" + name;
}

}  // namespace

std::vector<M3uEntry> ParseM3u(std::string_view bytes, const M3uOptions& options) {
  std::vector<M3uEntry> entries;
  std::string pendingTitle;
  bool havePendingTitle = false;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  size_t at = 0;
  while (at < bytes.size()) {
    // One line up to its line feed; the last line may lack it. Bytes past
    // the limit are discarded with the rest of their line.
    size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(at, end - at);
    at = end + 1;
    if (line.size() > kMaxLineBytes) line = line.substr(0, kMaxLineBytes);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == ';' || line[0] == '[') continue;
    if (line.find('\0') != std::string_view::npos) continue;  // no text line, no path
    std::string text(line);
    if (!ValidUtf8(text))
      text = options.ansiToUtf8 ? options.ansiToUtf8(line) : SystemAnsiToUtf8(line);
    if (text[0] == '#' || text[0] == ' ') {
      const std::string_view rest = std::string_view(text).substr(1);
      const auto words = Words(rest);
      for (size_t w = 0; w < words.size(); ++w) {
        if (words[w].first == "EXTINF") {
          const size_t comma = rest.find(',', words[w].second);
          if (comma != std::string_view::npos) {
            pendingTitle = std::string(rest.substr(comma + 1));
            havePendingTitle = true;
          }
          break;
        }
        if (words[w].first == "Silence" && w + 1 < words.size()) {
          const int v = SilenceValue(words[w + 1].first);
          if (v >= 0 && !entries.empty()) entries.back().silenceSeconds = v;
          break;
        }
      }
      continue;
    }
    M3uEntry e;
    e.path = text;
    e.title = pendingTitle;
    e.hasTitle = havePendingTitle;
    pendingTitle.clear();
    havePendingTitle = false;
    entries.push_back(std::move(e));
  }
  return entries;
}

std::string M3uText(const PlayList& list) {
  std::string out = "#EXTM3U\r\n";
  char line[64];
  for (int r = 1; r <= list.Count(); ++r) {
    const PlayListRow& row = list.Row(r);
    std::snprintf(line, sizeof line, "#EXTINF:%u,", row.durationSeconds);
    out += line + row.title + "\r\n";
    out += std::string(row.item.fileName) + "\r\n";
    std::snprintf(line, sizeof line, "# Silence:%2d\r\n", row.silenceSeconds);
    out += line;
  }
  return out;
}

PlayListLoad LoadM3u(const std::string& name, PlayList* list, int silenceSeconds, Language language,
                     const M3uOptions& options) {
  PlayListLoad load;
  if (list->Frozen()) return load;  // the engine is reading the rows
  if (!EndsWithM3u(name)) {
    load.messages.push_back(Box(playlist_text::kBadExtension, language, name));
    return load;
  }
  std::unique_ptr<ByteSource> source = options.opener && *options.opener
                                           ? (*options.opener)(name.c_str())
                                           : OpenFileSource(name.c_str());
  if (!source) {
    load.messages.push_back(Box(playlist_text::kUnableToOpen, language, name));
    return load;
  }
  const uint64_t size = source->Size() < kMaxListBytes ? source->Size() : kMaxListBytes;
  std::string bytes(static_cast<size_t>(size), '\0');
  bytes.resize(source->Read(bytes.data(), bytes.size()));
  source.reset();

  auto scratch = std::make_unique<PlayList>();
  scratch->opener = list->opener;
  scratch->language = language;
  const std::string folder = FolderOf(name);
  for (const M3uEntry& e : ParseM3u(bytes, options)) {
    if (scratch->Count() >= PlayList::kCapacity) {
      ++load.leftOut;
      continue;
    }
    if (e.hasTitle) scratch->SetPendingTitle(e.title);
    const std::string path = IsAbsolute(e.path) ? e.path : folder + e.path;
    std::string message;
    const int silence = e.silenceSeconds >= 0 ? e.silenceSeconds : silenceSeconds;
    if (scratch->AddFile(path, silence, &message) != AddResult::Added) {
      if (!message.empty()) load.messages.push_back(message);
      break;
    }
  }
  if (load.leftOut > 0) {
    char text[256];
    std::snprintf(text, sizeof text, playlist_text::kLeftOut.In(language), load.leftOut);
    load.messages.push_back(text);
  }
  if (scratch->Count() == 0) {
    load.messages.push_back(Box(playlist_text::kUnableToRegister, language, name));
    return load;
  }
  scratch->opener = list->opener;
  scratch->language = list->language;
  scratch->SelectRow(1);
  *list = std::move(*scratch);
  load.ok = true;
  return load;
}

std::string SaveM3u(const std::string& name, const PlayList& list, Language language) {
  const std::string text = M3uText(list);
  const std::string temporary = name + ".tmp";
  Disk& disk = SystemDisk();
  std::unique_ptr<DiskFile> file = disk.CreateAlways(temporary.c_str());
  if (!file) return Box(playlist_text::kUnableToCreate, language, name);
  const bool written = file->Write(text.data(), text.size()) == text.size() && file->Flush();
  const bool closed = file->Close();
  std::error_code error;
  if (written && closed) {
    std::filesystem::rename(std::filesystem::u8path(temporary), std::filesystem::u8path(name),
                            error);
    if (!error) return {};
  }
  disk.Remove(temporary.c_str());
  return Box(playlist_text::kUnableToWrite, language, name);
}

}  // namespace ov
