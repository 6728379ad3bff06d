#include "app/wavefile/WaveFileReport.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace ov {
namespace {

// Length of the valid UTF-8 sequence at s[0..n), or 0 when it is not one
// (overlong forms, surrogates and code points above U+10FFFF are invalid).
size_t Utf8SequenceLength(const unsigned char* s, size_t n) {
  const unsigned char c = s[0];
  size_t len;
  uint32_t min;
  uint32_t cp;
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) {
    len = 2, min = 0x80, cp = c & 0x1F;
  } else if ((c & 0xF0) == 0xE0) {
    len = 3, min = 0x800, cp = c & 0x0F;
  } else if ((c & 0xF8) == 0xF0) {
    len = 4, min = 0x10000, cp = c & 0x07;
  } else {
    return 0;
  }
  if (len > n) return 0;
  for (size_t i = 1; i < len; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (s[i] & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

std::string FourCc(const char id[4]) {
  return std::string(id, 4);
}

std::string ListType(const char type[4]) {
  static const char zero[4] = {};
  return std::memcmp(type, zero, 4) == 0 ? std::string() : std::string(type, 4);
}

std::string LabelBytes(const Marker& m) {
  return std::string(m.label, strnlen(m.label, sizeof m.label));
}

void Append(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& out, const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  out += buffer;
}

const char* Bool(bool b) {
  return b ? "true" : "false";
}

}  // namespace

std::string JsonString(std::string_view bytes) {
  std::string out = "\"";
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char c = s[i];
    const size_t len = Utf8SequenceLength(s + i, bytes.size() - i);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
      i += 1;
    } else if (len == 0 || c < 0x20) {
      Append(out, "\\u%04x", c);
      i += 1;
    } else {
      out.append(bytes.data() + i, len);
      i += len;
    }
  }
  out += '"';
  return out;
}

std::string GuidText(const uint8_t g[16]) {
  char text[40];
  std::snprintf(text, sizeof text,
                "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", g[3], g[2],
                g[1], g[0], g[5], g[4], g[7], g[6], g[8], g[9], g[10], g[11], g[12], g[13], g[14],
                g[15]);
  return text;
}

std::string ReportJson(const WaveFileReport& r) {
  const WaveFormat& f = r.format;
  const bool valid = r.chunks ? r.chunks->valid != 0 : r.info.valid;
  std::string out = "{\"file\":" + JsonString(r.file);
  Append(out, ",\"ok\":%s,\"message\":", Bool(r.ok));
  out += JsonString(r.message);
  Append(out,
         ",\"valid\":%s,\"rf64\":%s,\"bext\":%s,\"streamed\":%s,\"fileSize\":%" PRIu64
         ",\"dataOffset\":%" PRIu64 ",\"dataSize\":%" PRIu64 ",\"floatWidth\":%u",
         Bool(valid), Bool(r.info.rf64), Bool(r.info.bext), Bool(r.info.streamed),
         r.chunks ? r.chunks->fileSize : 0, r.info.dataOffset, r.info.dataSize, FloatWidth(f));
  Append(out,
         ",\"format\":{\"tag\":%u,\"channels\":%u,\"samplesPerSec\":%u,\"avgBytesPerSec\":%u,"
         "\"blockAlign\":%u,\"bitsPerSample\":%u,\"extraSize\":%u,\"validBits\":%u,"
         "\"channelMask\":%u,\"subFormat\":\"%s\"}",
         f.formatTag, f.channels, f.samplesPerSec, f.avgBytesPerSec, f.blockAlign, f.bitsPerSample,
         f.extraSize, f.validBitsPerSample, f.channelMask, GuidText(f.subFormat).c_str());
  out += ",\"chunks\":[";
  for (int i = 0; r.chunks && i < r.chunks->count; ++i) {
    const ChunkEntry& e = r.chunks->entries[i];
    Append(out, "%s{\"index\":%d,\"level\":%d,\"offset\":%" PRIu64 ",\"id\":", i ? "," : "",
           e.index, e.level, e.headerOffset);
    out += JsonString(FourCc(e.id));
    Append(out, ",\"size\":%u,\"listType\":", e.size);
    out += JsonString(ListType(e.listType));
    Append(out, ",\"length\":%u}", e.length);
  }
  out += "],\"markers\":[";
  for (int i = 0; r.markers && i < r.markers->count; ++i) {
    const Marker& m = r.markers->markers[i];
    out += i ? ",{\"label\":" : "{\"label\":";
    out += JsonString(LabelBytes(m));
    Append(out, ",\"cueId\":%u,\"position\":%u,\"length\":%u}", m.cueId, m.position, m.length);
  }
  out += "]}";
  return out;
}

std::string ReportText(const WaveFileReport& r) {
  const WaveFormat& f = r.format;
  std::string out = r.file + "\n";
  if (r.ok) {
    out += "  parse: ok\n";
  } else {
    out += "  parse: failed: " + r.message + "\n";
  }
  const bool valid = r.chunks ? r.chunks->valid != 0 : r.info.valid;
  Append(out, "  container: %s, valid PCM: %s, bext: %s\n", r.info.rf64 ? "RF64" : "RIFF",
         valid ? "yes" : "no", r.info.bext ? "yes" : "no");
  if (r.info.streamed) {
    out +=
        "  sizes: not filled in (0xFFFFFFFF, written as a stream): read to the end of the file\n";
  }
  Append(out, "  file size: %" PRIu64 ", data offset: %" PRIu64 ", data size: %" PRIu64 "\n",
         r.chunks ? r.chunks->fileSize : 0, r.info.dataOffset, r.info.dataSize);
  Append(out,
         "  format: tag 0x%04X, %u ch, %u Hz, %u bytes/s, block align %u, %u bits, "
         "float width %u\n",
         f.formatTag, f.channels, f.samplesPerSec, f.avgBytesPerSec, f.blockAlign, f.bitsPerSample,
         FloatWidth(f));
  if (f.formatTag == kWaveFormatExtensible || f.extraSize) {
    Append(out, "  extension: %u bytes, valid bits %u, channel mask 0x%X, sub-format %s\n",
           f.extraSize, f.validBitsPerSample, f.channelMask, GuidText(f.subFormat).c_str());
  }
  if (r.chunks && r.chunks->count) {
    out += "  chunks:\n";
    for (int i = 0; i < r.chunks->count; ++i) {
      const ChunkEntry& e = r.chunks->entries[i];
      Append(out, "    %3d  level %d  offset %-10" PRIu64 " %s  size %-10u read %u", e.index,
             e.level, e.headerOffset, JsonString(FourCc(e.id)).c_str(), e.size, e.length);
      const std::string type = ListType(e.listType);
      if (!type.empty()) out += "  type " + JsonString(type);
      out += "\n";
    }
  }
  if (r.markers && r.markers->count) {
    out += "  markers:\n";
    for (int i = 0; i < r.markers->count; ++i) {
      const Marker& m = r.markers->markers[i];
      Append(out, "    %3d  cue %u  position %u  length %u  label %s\n", i + 1, m.cueId, m.position,
             m.length, JsonString(LabelBytes(m)).c_str());
    }
  }
  return out;
}

}  // namespace ov
