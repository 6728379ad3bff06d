// Texts of the wave file information window.
#include "app/wavefile/WaveInfoText.h"

#include <algorithm>
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

namespace ov {

namespace {

constexpr TwoLanguageText kContents{"[内容]", "[contents]"};
constexpr TwoLanguageText kDataTop{
    "             |      データ先頭 %d バイト (続く...)      | \r\n",
    "             |     data top %d bytes (continued...)     | \r\n"};
constexpr TwoLanguageText kDataEnd{
    "             |           データ末尾 %d バイト           | \r\n",
    "             |           data end %d bytes              | \r\n"};
constexpr TwoLanguageText kFirstShown{
    "             |     先頭 %s バイトを表示 (続く...)     | \r\n",
    "             |     first %s bytes shown (continued...)     | \r\n"};

uint16_t Le16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint64_t Le64(const uint8_t* p) {
  return Le32(p) | (static_cast<uint64_t>(Le32(p + 4)) << 32);
}

void Appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Appendf(std::string& out, const char* format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (n > 0) out.append(line, std::min(static_cast<size_t>(n), sizeof line - 1));
}

std::string IdText(const char id[4]) {
  std::string s(id, 4);
  for (char& c : s) {
    if (c == '\0') c = ' ';
  }
  return s;
}

// Bytes up to the first zero, at most count.
std::string_view TextUpToZero(const uint8_t* p, size_t count) {
  const void* zero = std::memchr(p, 0, count);
  const size_t n = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - p) : count;
  return {reinterpret_cast<const char*>(p), n};
}

bool IdIs(const char id[4], const char* want) {
  return std::memcmp(id, want, 4) == 0;
}

struct TagName {
  uint16_t tag;
  const char* name;
};
constexpr TagName kTagNames[] = {
    {0x0000, "WAVE_FORMAT_UNKNOWN"},
    {0x0001, "WAVE_FORMAT_PCM"},
    {0x0002, "WAVE_FORMAT_ADPCM"},
    {0x0003, "WAVE_FORMAT_IEEE_FLOAT"},
    {0x0004, "WAVE_FORMAT_VSELP"},
    {0x0005, "WAVE_FORMAT_IBM_CVSD"},
    {0x0006, "WAVE_FORMAT_ALAW"},
    {0x0007, "WAVE_FORMAT_MULAW"},
    {0x0008, "WAVE_FORMAT_DTS"},
    {0x0009, "WAVE_FORMAT_DRM"},
    {0x000A, "WAVE_FORMAT_WMAVOICE9"},
    {0x000B, "WAVE_FORMAT_WMAVOICE10"},
    {0x0011, "WAVE_FORMAT_DVI_ADPCM"},
    {0x0020, "WAVE_FORMAT_YAMAHA_ADPCM"},
    {0x0030, "WAVE_FORMAT_DOLBY_AC2"},
    {0x0031, "WAVE_FORMAT_GSM610"},
    {0x0032, "WAVE_FORMAT_MSNAUDIO"},
    {0x0042, "WAVE_FORMAT_MSG723"},
    {0x0050, "WAVE_FORMAT_MPEG"},
    {0x0055, "WAVE_FORMAT_MPEGLAYER3"},
    {0x0063, "WAVE_FORMAT_CANOPUS_ATRAC"},
    {0x0067, "WAVE_FORMAT_DSAT_DISPLAY"},
    {0x0082, "WAVE_FORMAT_MSRT24"},
    {0x00FF, "WAVE_FORMAT_RAW_AAC1"},
    {0x0161, "WAVE_FORMAT_WMAUDIO2"},
    {0x0162, "WAVE_FORMAT_WMAUDIO3"},
    {0x0163, "WAVE_FORMAT_WMAUDIO_LOSSLESS"},
    {0x0164, "WAVE_FORMAT_WMASPDIF"},
    {0x0200, "WAVE_FORMAT_CREATIVE_ADPCM"},
    {0x0202, "WAVE_FORMAT_CREATIVE_FASTSPEECH8"},
    {0x0203, "WAVE_FORMAT_CREATIVE_FASTSPEECH10"},
    {0x0241, "WAVE_FORMAT_ESST_AC3"},
    {0x0249, "WAVE_FORMAT_GENERIC_PASSTHRU"},
    {0x0270, "WAVE_FORMAT_SONY_SCX"},
    {0x1600, "WAVE_FORMAT_MPEG_ADTS_AAC"},
    {0x1601, "WAVE_FORMAT_MPEG_RAW_AAC"},
    {0x1602, "WAVE_FORMAT_MPEG_LOAS"},
    {0x1608, "WAVE_FORMAT_NOKIA_MPEG_ADTS_AAC"},
    {0x1609, "WAVE_FORMAT_NOKIA_MPEG_RAW_AAC"},
    {0x160A, "WAVE_FORMAT_VODAFONE_MPEG_ADTS_AAC"},
    {0x160B, "WAVE_FORMAT_VODAFONE_MPEG_RAW_AAC"},
    {0x1610, "WAVE_FORMAT_MPEG_HEAAC"},
    {0x2001, "WAVE_FORMAT_DTS2"},
    {0xFFFE, "WAVE_FORMAT_EXTENSIBLE"},
};

constexpr const char* kChannelBits[] = {
    "FRONT_L",     "FRONT_R",     "FRONT_C",     "LOW_FRQ",    "BACK_L",     "BACK_R",
    "FRONT_LC",    "FRONT_RC",    "BACK_C",      "SIDE_L",     "SIDE_R",     "TOP_C",
    "TOP_FRONT_L", "TOP_FRONT_C", "TOP_FRONT_R", "TOP_BACK_L", "TOP_BACK_C", "TOP_BACK_R"};

constexpr const char* kClipboardFormats[] = {
    "CF_TEXT", "CF_BITMAP",  "CF_METAFILEPICT", "CF_SYLK",       "CF_DIF",
    "CF_TIFF", "CF_OEMTEXT", "CF_DIB",          "CF_PALETTE",    "CF_PENDATA",
    "CF_RIFF", "CF_WAVE",    "CF_UNICODETEXT",  "CF_ENHMETAFILE"};

struct InfoName {
  const char* id;
  const char* description;
};
constexpr InfoName kInfoNames[] = {
    {"IARL", "Archival Location"},
    {"IART", "Artist"},
    {"ICSM", "Comissioned"},
    {"ICMT", "Comment"},
    {"ICNT", "Country"},
    {"ICOP", "Copyright"},
    {"ICRD", "Creation Date"},
    {"ICRP", "Cropped"},
    {"IDIM", "Dimensions"},
    {"IDPI", "Dots Per Inch"},
    {"IDST", "Distributed By"},
    {"IEDT", "Edited By"},
    {"IENG", "Engineer"},
    {"IGNR", "Genre"},
    {"IKEY", "Keywords"},
    {"ILGT", "Lightness"},
    {"ILNG", "Language"},
    {"IMED", "Medium"},
    {"IMUS", "Music By"},
    {"INAM", "Name"},
    {"IPDS", "Production Designer"},
    {"IPLT", "Palette Setting"},
    {"IPRD", "Product"},
    {"IPRT", "Track"},
    {"ISBJ", "Subject"},
    {"ISFT", "Software"},
    {"ISHP", "Sharpness"},
    {"ISRC", "Source"},
    {"ISRF", "Source Form"},
    {"ISTD", "Production Studio"},
    {"ITCH", "Technician"},
    {"IWRI", "Written By"},
};

// The registry form of a GUID: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
std::string RegistryGuid(const uint8_t* g) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", Le32(g),
                Le16(g + 4), Le16(g + 6), g[8], g[9], g[10], g[11], g[12], g[13], g[14], g[15]);
  return text;
}

const char* SubFormatName(const uint8_t* g) {
  static constexpr uint8_t kAnalog[16] = {0x90, 0x31, 0xBA, 0x6D, 0xBD, 0x67, 0xCF, 0x11,
                                          0xA0, 0xF7, 0x00, 0x20, 0xAF, 0xD1, 0x56, 0xE4};
  static constexpr uint8_t kFamilyTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                              0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
  if (std::memcmp(g, kAnalog, 16) == 0) return "KSDATAFORMAT_SUBTYPE_ANALOG";
  if (std::memcmp(g + 4, kFamilyTail, 12) != 0) return nullptr;
  switch (Le32(g)) {
    case 0x01:
      return "KSDATAFORMAT_SUBTYPE_PCM";
    case 0x03:
      return "KSDATAFORMAT_SUBTYPE_IEEE_FLOAT";
    case 0x09:
      return "KSDATAFORMAT_SUBTYPE_DRM";
    case 0x06:
      return "KSDATAFORMAT_SUBTYPE_ALAW";
    case 0x07:
      return "KSDATAFORMAT_SUBTYPE_MULAW";
    case 0x02:
      return "KSDATAFORMAT_SUBTYPE_ADPCM";
    case 0x50:
      return "KSDATAFORMAT_SUBTYPE_MPEG";
    default:
      return nullptr;
  }
}

// Length of the character starting at data[i] under code (1 for a single
// byte); only complete, valid sequences count as characters.
size_t CharacterLength(const uint8_t* data, size_t i, size_t count, CharCode code) {
  const uint8_t b = data[i];
  if (code == CharCode::ShiftJis) {
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    if (lead && i + 1 < count && data[i + 1] >= 0x40 && data[i + 1] <= 0xFC) return 2;
    return 1;
  }
  if (code == CharCode::Utf8) {
    size_t length = b >= 0xC2 && b <= 0xDF   ? 2
                    : b >= 0xE0 && b <= 0xEF ? 3
                    : b >= 0xF0 && b <= 0xF7 ? 4
                    : b >= 0xF8 && b <= 0xFB ? 5
                    : b >= 0xFC && b <= 0xFD ? 6
                                             : 1;
    if (length == 1 || i + length > count) return 1;
    for (size_t k = 1; k < length; ++k) {
      if ((data[i + k] & 0xC0) != 0x80) return 1;
    }
    return length;
  }
  return 1;
}

bool Printable(uint8_t b, CharCode code) {
  if (b >= 32 && b <= 126) return true;
  return code == CharCode::ShiftJis && b >= 161 && b <= 223;
}

// The fmt chunk's decoded view.
void FmtView(std::string& out, const ChunkTable& table, const uint8_t* c, uint32_t n,
             std::string_view sep) {
  out += "--- format chunk ---\r\n\r\n";
  if (n < 16) return;
  const uint16_t tag = Le16(c);
  Appendf(out, "[wFormatTag (2B)]          0x%04X ", tag);
  for (const TagName& t : kTagNames) {
    if (t.tag == tag) Appendf(out, "(%s)", t.name);
  }
  out += "\r\n";
  const bool known = table.formatKnown != 0;
  Appendf(out, "[nChannels (2B)]           %u \r\n", Le16(c + 2));
  Appendf(out, "[nSamplesPerSec (4B)]      %s \r\n", GroupedDecimal(Le32(c + 4), sep).c_str());
  Appendf(out, "[nAvgBytesPerSec (4B)]     %s%s\r\n", GroupedDecimal(Le32(c + 8), sep).c_str(),
          known ? "  (nSamplesPerSec * nBlockAlign)" : "");
  Appendf(out, "[nBlockAlign (2B)]         %u%s\r\n", Le16(c + 12),
          known ? "  (nChannels * wBitsPerSample / 8)" : "");
  Appendf(out, "[wBitsPerSample (2B)]      %u \r\n", Le16(c + 14));
  if (n < 18) return;
  Appendf(out, "[cbSize (2B)]              %u \r\n", Le16(c + 16));
  if (known) {
    if (n >= 20) Appendf(out, "[wValidBitsPerSample (2B)] %u \r\n", Le16(c + 18));
    if (n >= 24) {
      const uint32_t mask = Le32(c + 20);
      Appendf(out, "[dwChannelMask (4B)]       %u (0x%08X)\r\n", mask, mask);
      if (mask != 0) {
        out.append(27, ' ');
        bool first = true;
        for (int bit = 0; bit < 18; ++bit) {
          if (!(mask & (1u << bit))) continue;
          if (!first) out += ", ";
          out += kChannelBits[bit];
          first = false;
        }
        out += "\r\n";
      }
    }
    if (n >= 40) {
      Appendf(out, "[SubFormat (16B)]          %s\r\n", RegistryGuid(c + 24).c_str());
      if (const char* name = SubFormatName(c + 24)) {
        Appendf(out, "                            (%s)\r\n", name);
      }
    }
  } else if (tag == 0x0055) {
    if (n >= 20) Appendf(out, "[wID (2B)]                 %u \r\n", Le16(c + 18));
    if (n >= 24) Appendf(out, "[fdwFlags (4B)]            0x%08X \r\n", Le32(c + 20));
    if (n >= 26) Appendf(out, "[nBlockSize (2B)]          %u \r\n", Le16(c + 24));
    if (n >= 28) Appendf(out, "[nFramesPerBlock (2B)]     %u \r\n", Le16(c + 26));
    if (n >= 30) Appendf(out, "[nCodecDelay (2B)]         %u \r\n", Le16(c + 28));
  }
}

void Ds64View(std::string& out, const uint8_t* c, uint32_t n, std::string_view sep) {
  out += "--- RF64 ds64 (data size 64) chunk ---\r\n\r\n";
  const char* labels[3][3] = {
      {"[riffSizeLow  (4B)]     ", "[riffSizeHigh (4B)]     ", "    [riffSize (8B)]     "},
      {"[dataSizeLow  (4B)]     ", "[dataSizeHigh (4B)]     ", "    [dataSize (8B)]     "},
      {"[sampleCountLow  (4B)]  ", "[sampleCountHigh (4B)]  ", "    [sampleCount (8B)]  "}};
  for (int f = 0; f < 3 && n >= 8u * (f + 1); ++f) {
    const uint8_t* p = c + 8 * f;
    Appendf(out, "%s%s (0x%08X)\r\n", labels[f][0], GroupedDecimal(Le32(p), sep).c_str(), Le32(p));
    Appendf(out, "%s%s (0x%08X)\r\n", labels[f][1], GroupedDecimal(Le32(p + 4), sep).c_str(),
            Le32(p + 4));
    Appendf(out, "%s%s (0x%08" PRIX64 ")\r\n\r\n", labels[f][2],
            GroupedDecimal(Le64(p), sep).c_str(), Le64(p));
  }
  if (n >= 28)
    Appendf(out, "[tableLength (4B)]      %u (0x%08X)\r\n\r\n", Le32(c + 24), Le32(c + 24));
}

void CueView(std::string& out, const uint8_t* c, uint32_t n, std::string_view sep) {
  const uint32_t count = Le32(c);
  out += "--- cue (Cue points) chunk ---\r\n\r\n";
  Appendf(out, "[dwCuePoints (4B)]      %u \r\n\r\n", count);
  const uint32_t held = std::min<uint32_t>(count, (n - 4) / 24);
  for (uint32_t i = 0; i < held; ++i) {
    const uint8_t* p = c + 4 + 24 * i;
    if (i) out += "\r\n";
    Appendf(out, "[dwName (4B)]           0x%08X \r\n", Le32(p));
    Appendf(out, "[dwPosition (4B)]       %s (0x%08X) \r\n",
            GroupedDecimal(Le32(p + 4), sep).c_str(), Le32(p + 4));
    Appendf(out, "[fccChunk (4B)]         '%s' \r\n", std::string(TextUpToZero(p + 8, 4)).c_str());
    Appendf(out, "[dwChunkStart (4B)]     %s \r\n", GroupedDecimal(Le32(p + 12), sep).c_str());
    Appendf(out, "[dwBlockStart (4B)]     %s (0x%08X) \r\n",
            GroupedDecimal(Le32(p + 16), sep).c_str(), Le32(p + 16));
    Appendf(out, "[dwSampleOffset (4B)]   %s (0x%08X) \r\n",
            GroupedDecimal(Le32(p + 20), sep).c_str(), Le32(p + 20));
  }
}

void PlstView(std::string& out, const uint8_t* c, uint32_t n, std::string_view sep) {
  const uint32_t count = Le32(c);
  out += "--- plst (Playlist) chunk ---\r\n\r\n";
  Appendf(out, "[dwSegments (4B)]      %u \r\n\r\n", count);
  const uint32_t held = std::min<uint32_t>(count, (n - 4) / 12);
  for (uint32_t i = 0; i < held; ++i) {
    const uint8_t* p = c + 4 + 12 * i;
    if (i) out += "\r\n";
    Appendf(out, "[dwName (4B)]           0x%08X \r\n", Le32(p));
    Appendf(out, "[dwLength (4B)]         %s (0x%08X) \r\n",
            GroupedDecimal(Le32(p + 4), sep).c_str(), Le32(p + 4));
    Appendf(out, "[dwLoopst (4B)]         %s \r\n", GroupedDecimal(Le32(p + 8), sep).c_str());
  }
}

// Walks the sub-chunks of a list's content after its type; each gets its ID,
// its content and the content bytes the list holds.
template <typename Visit>
void ForEachSubChunk(const uint8_t* c, uint32_t n, Visit visit) {
  uint64_t p = 4;
  while (p + 8 <= n) {
    const uint32_t size = Le32(c + p + 4);
    const uint64_t held = std::min<uint64_t>(size, n - (p + 8));
    visit(reinterpret_cast<const char*>(c + p), c + p + 8, static_cast<uint32_t>(held));
    p += 8 + static_cast<uint64_t>(size) + (size & 1);
  }
}

void InfoView(std::string& out, const uint8_t* c, uint32_t n) {
  out += "--- INFO list ---\r\n\r\n";
  ForEachSubChunk(c, n, [&out](const char* id, const uint8_t* content, uint32_t held) {
    const char* description = "";
    for (const InfoName& i : kInfoNames) {
      if (std::memcmp(id, i.id, 4) == 0) description = i.description;
    }
    Appendf(out, "[%s] %s\r\n", IdText(id).c_str(), description);
    out += TextUpToZero(content, held);
    out += " \r\n\r\n";
  });
}

void AdtlView(std::string& out, const uint8_t* c, uint32_t n, std::string_view sep) {
  out += "--- adtl (Associated Data) list ---\r\n\r\n";
  ForEachSubChunk(c, n, [&](const char* id, const uint8_t* content, uint32_t held) {
    Appendf(out, "[%s] \r\n", IdText(id).c_str());
    if (held >= 4) Appendf(out, "[dwName (4B)]           0x%08X \r\n", Le32(content));
    if ((IdIs(id, "labl") || IdIs(id, "note")) && held > 4) {
      out += TextUpToZero(content + 4, held - 4);
      out += " \r\n";
    } else if (IdIs(id, "ltxt") && held >= 20) {
      Appendf(out, "[dwSampleLength (4B)]   %s (0x%08X) \r\n",
              GroupedDecimal(Le32(content + 4), sep).c_str(), Le32(content + 4));
      Appendf(out, "[dwPurpose (4B)]        '%s' \r\n",
              std::string(TextUpToZero(content + 8, 4)).c_str());
      Appendf(out, "[wCountry (2B)]         %u \r\n", Le16(content + 12));
      Appendf(out, "[wLanguage (2B)]        %u \r\n", Le16(content + 14));
      Appendf(out, "[wDialect (2B)]         %u \r\n", Le16(content + 16));
      Appendf(out, "[wCodePage (2B)]        %u \r\n", Le16(content + 18));
      if (held > 20) {
        out += TextUpToZero(content + 20, held - 20);
        out += " \r\n";
      }
    }
    out += "\r\n";
  });
}

void BextView(std::string& out, const uint8_t* c, uint32_t n, std::string_view sep) {
  out += "--- BWF (Broadcast Wave Format) Broadcast Audio Extension ---\r\n\r\n";
  // A field is shown as far as the chunk holds it.
  auto text = [&](size_t at, size_t size) {
    return at >= n ? std::string_view() : TextUpToZero(c + at, std::min<size_t>(size, n - at));
  };
  out += "[Description (256B)]\r\n";
  const std::string_view description = text(0, 256);
  if (!description.empty()) {
    out += description;
    out += " \r\n";
  }
  out += "\r\n";
  const struct {
    const char* label;
    size_t at, size;
  } fields[] = {{"[Originator (32B)]           ", 256, 32},
                {"[OriginatorReference (32B)]  ", 288, 32},
                {"[OriginationDate (10B)]      ", 320, 10},
                {"[OriginationTime (8B)]       ", 330, 8}};
  for (const auto& f : fields) {
    if (f.at >= n) return;
    out += f.label;
    out += text(f.at, f.size);
    out += " \r\n\r\n";
  }
  if (n < 346) return;
  const uint64_t reference = Le64(c + 338);
  Appendf(out, "[TimeReference (4+4B)]       %s (0x%016" PRIX64 ")\r\n\r\n",
          GroupedDecimal(reference, sep).c_str(), reference);
  if (n < 348) return;
  Appendf(out, "[Version (2B)]               %d\r\n\r\n", Le16(c + 346));
  if (n < 412) return;
  out += "[UMID (Unique Material Identifier) (64B)] (Hex)\r\n";
  for (int i = 0; i < 64; ++i) {
    Appendf(out, " %02X", c[348 + i]);
    if (i % 16 == 15) out += "\r\n";
  }
  out += "\r\n";
  const char* loudness[] = {"[LoudnessValue (2B)]         ", "[LoudnessRange (2B)]         ",
                            "[MaxTruePeakLevel (2B)]      ", "[MaxMomentaryLoudness (2B)]  ",
                            "[MaxShortTermLoudness (2B)]  "};
  for (int i = 0; i < 5; ++i) {
    const size_t at = 412 + 2 * i;
    if (at + 2 > n) return;
    const uint16_t field = Le16(c + at);
    // The signed value, and the field itself in hex (never sign-extended).
    Appendf(out, "%s%d (0x%04X)\r\n\r\n", loudness[i], static_cast<int16_t>(field),
            static_cast<unsigned>(field));
  }
  if (n < 602) return;
  out += "[CodingHistory]\r\n";
  out += TextUpToZero(c + 602, n - 602);
}

void XmpView(std::string& out, const uint8_t* c, uint32_t n) {
  out += "--- XMP (Extensible Metadata Platform) chunk ---\r\n\r\n";
  for (char ch : TextUpToZero(c, n)) {
    if (ch == '\n') {
      out += " \r\n";
    } else {
      out += ch;
    }
  }
  out += " \r\n";
}

void DispView(std::string& out, const uint8_t* c, uint32_t n) {
  out += "--- DISP chunk ---\r\n\r\n";
  if (n < 4) return;
  const uint32_t type = Le32(c);
  Appendf(out, "[dwType (4B)]    %u   %s\r\n", type,
          type >= 1 && type <= 14 ? kClipboardFormats[type - 1] : "");
  if (type == 1) out += TextUpToZero(c + 4, n - 4);
}

}  // namespace

std::string GroupedDecimal(uint64_t value, std::string_view separator) {
  const std::string digits = std::to_string(value);
  std::string out;
  out.reserve(digits.size() + digits.size() / 3 * separator.size());
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return out;
}

namespace {
bool CopyEntry(const ChunkEntry& from, ChunkEntry& to) {
  to.index = from.index;
  to.level = from.level;
  to.headerOffset = from.headerOffset;
  std::memcpy(to.id, from.id, 4);
  to.size = from.size;
  std::memcpy(to.listType, from.listType, 4);
  to.length = 0;
  to.content.reset();
  if (!from.content) return true;
  // One byte more, as the parser allocates, so texts can be terminated.
  to.content.reset(new (std::nothrow) uint8_t[static_cast<size_t>(from.length) + 1]());
  if (!to.content) return false;
  std::memcpy(to.content.get(), from.content.get(), from.length);
  to.length = from.length;
  return true;
}
}  // namespace

std::unique_ptr<ChunkTable> CopyChunkTable(const ChunkTable& table) {
  std::unique_ptr<ChunkTable> copy(new (std::nothrow) ChunkTable());
  if (!copy) return nullptr;
  copy->valid = table.valid;
  copy->formatKnown = table.formatKnown;
  copy->fmtFound = table.fmtFound;
  copy->dataFound = table.dataFound;
  std::memcpy(copy->fileHeader, table.fileHeader, sizeof table.fileHeader);
  copy->fileSize = table.fileSize;
  copy->budgetAtStop = table.budgetAtStop;
  copy->dataOffset = table.dataOffset;
  copy->bextPresent = table.bextPresent;
  copy->rf64SizesUsed = table.rf64SizesUsed;
  copy->riffSize = table.riffSize;
  copy->dataSize = table.dataSize;
  copy->sampleCount = table.sampleCount;
  copy->format = table.format;
  copy->floatWidth = table.floatWidth;
  copy->count = std::clamp(table.count, 0, kChunkTableCapacity);
  if (!CopyEntry(table.dataTail, copy->dataTail)) return nullptr;
  for (int32_t i = 0; i < copy->count; ++i) {
    if (!CopyEntry(table.entries[i], copy->entries[i])) return nullptr;
  }
  return copy;
}

std::vector<ChunkNode> BuildChunkTree(const ChunkTable& table) {
  std::vector<ChunkNode> nodes;
  const int32_t count = std::clamp(table.count, 0, kChunkTableCapacity);
  nodes.reserve(static_cast<size_t>(count) + 1);
  ChunkNode root;
  root.id = IdText(reinterpret_cast<const char*>(table.fileHeader));
  nodes.push_back(root);
  // The last node seen at each level; level 0 is the root.
  std::vector<int32_t> lastAtLevel{0};
  for (int32_t i = 0; i < count; ++i) {
    const ChunkEntry& e = table.entries[i];
    const int32_t level = std::clamp<int32_t>(e.level, 1, static_cast<int32_t>(lastAtLevel.size()));
    ChunkNode node;
    node.index = i + 1;
    node.parent = lastAtLevel[static_cast<size_t>(level - 1)];
    node.depth = nodes[static_cast<size_t>(node.parent)].depth + 1;
    node.id = IdText(e.id);
    lastAtLevel.resize(static_cast<size_t>(level));
    lastAtLevel.push_back(node.index);
    nodes.push_back(node);
  }
  return nodes;
}

void AppendDump(std::string& out, const uint8_t* bytes, size_t count, uint64_t offset,
                CharCode code) {
  if (count == 0) return;
  const uint64_t first = offset & ~uint64_t{15};
  const uint64_t end = offset + count;
  out.reserve(out.size() + (count / 16 + 2) * 80);
  // Bytes of the character in progress still to come, and whether the next
  // one is its second byte written on the same line as its first.
  size_t pending = 0;
  bool secondOnSameLine = false;
  static const char kHex[] = "0123456789ABCDEF";
  // Each line is put together in a buffer and appended once: the offset (10
  // to 16 hex digits and ": "), 16 hex cells of 3 bytes, 16 text cells of at most
  // 6 bytes each (a UTF-8 character written whole at its first byte), the
  // line end.
  char text[18 + 48 + 16 * 6 + 2];
  for (uint64_t line = first; line < end; line += 16) {
    char* p = text;
    // At least ten digits; offsets past 2^40 (only in files beyond a
    // terabyte) take as many more as they need.
    int shift = 36;
    while (shift < 60 && (line >> (shift + 4)) != 0) shift += 4;
    for (; shift >= 0; shift -= 4) *p++ = kHex[(line >> shift) & 15];
    *p++ = ':';
    *p++ = ' ';
    for (uint64_t at = line; at < line + 16; ++at) {
      if (at < offset || at >= end) {
        p[0] = p[1] = p[2] = ' ';
      } else {
        const uint8_t b = bytes[at - offset];
        p[0] = kHex[b >> 4];
        p[1] = kHex[b & 15];
        p[2] = ' ';
      }
      p += 3;
    }
    for (uint64_t at = line; at < line + 16; ++at) {
      if (at < offset || at >= end) {
        *p++ = ' ';
        continue;
      }
      const size_t i = static_cast<size_t>(at - offset);
      if (pending > 0) {
        // Continuation: covered by the character's two cells only when it is
        // the second byte on the first byte's line.
        if (!(secondOnSameLine && at != line)) *p++ = ' ';
        secondOnSameLine = false;
        --pending;
        continue;
      }
      const size_t length = CharacterLength(bytes, i, count, code);
      if (length > 1) {
        std::memcpy(p, bytes + i, length);
        p += length;
        pending = length - 1;
        secondOnSameLine = true;
      } else {
        *p++ = Printable(bytes[i], code) ? static_cast<char>(bytes[i]) : '.';
      }
    }
    *p++ = '\r';
    *p++ = '\n';
    out.append(text, static_cast<size_t>(p - text));
  }
}

std::string FileSummaryText(const ChunkTable& table, std::string_view sep) {
  std::string out;
  const std::string id = IdText(reinterpret_cast<const char*>(table.fileHeader));
  const std::string form = IdText(reinterpret_cast<const char*>(table.fileHeader + 8));
  Appendf(out, "[file type]           %s %s%s\r\n\r\n", id.c_str(), form.c_str(),
          table.bextPresent ? "  BWF" : "");
  const double mb = static_cast<double>(table.fileSize) / 1048576.0;
  Appendf(out, "[actual file size]    %s (0x%08" PRIX64 ")  (%5.3f%s)\r\n\r\n",
          GroupedDecimal(table.fileSize, sep).c_str(), table.fileSize, mb > 1000 ? mb / 1024 : mb,
          mb > 1000 ? "GB" : "MB");
  if (table.budgetAtStop != 0) {
    Appendf(out, "[size mismatch]       %d (0x%08X)  (actual file size - total chunk size)\r\n\r\n",
            static_cast<int32_t>(table.budgetAtStop), table.budgetAtStop);
  }
  Appendf(out, "[header size]         %s (0x%08X)  (offset of wave data)\r\n\r\n",
          GroupedDecimal(table.dataOffset, sep).c_str(), static_cast<uint32_t>(table.dataOffset));
  const uint32_t headerSize = Le32(table.fileHeader + 4);
  Appendf(out, "[filesize(header)]    %s (0x%08X)  (%s)\r\n\r\n",
          GroupedDecimal(headerSize, sep).c_str(), headerSize,
          table.rf64SizesUsed ? "dummy" : "actual file size - 8");
  if (table.rf64SizesUsed) {
    Appendf(out, "[RF64 file size]      %s (0x%08" PRIX64 ")  (actual file size - 8)\r\n\r\n",
            GroupedDecimal(table.riffSize, sep).c_str(), table.riffSize);
  }
  return out;
}

std::string DecodedView(const ChunkTable& table, int32_t entryIndex, std::string_view sep,
                        bool& utf8, bool& horizontal) {
  utf8 = horizontal = false;
  std::string out;
  if (entryIndex < 0 || entryIndex >= std::min(table.count, kChunkTableCapacity)) return out;
  const ChunkEntry& e = table.entries[entryIndex];
  const uint8_t* c = e.content.get();
  const uint32_t n = c ? e.length : 0;
  if (IdIs(e.id, "ds64")) {
    Ds64View(out, c, n, sep);
  } else if (IdIs(e.id, "JUNK")) {
    if (entryIndex == 0) out += "--- Reserved space for RF64 ds64 chunk ---\r\n\r\n";
  } else if (IdIs(e.id, "fmt ")) {
    FmtView(out, table, c, n, sep);
  } else if (IdIs(e.id, "fact")) {
    if (n == 4) {
      out += "--- fact chunk ---\r\n\r\n";
      Appendf(out, "[dwSampleLength (4B)]    %u (0x%08X)\r\n", Le32(c), Le32(c));
    }
  } else if (IdIs(e.id, "DISP")) {
    utf8 = true;
    DispView(out, c, n);
  } else if (IdIs(e.id, "cue ")) {
    if (n >= 4 && Le32(c) != 0) CueView(out, c, n, sep);
  } else if (IdIs(e.id, "plst")) {
    if (n >= 4 && Le32(c) != 0) PlstView(out, c, n, sep);
  } else if (IdIs(e.id, "LIST") && n >= 12) {
    if (std::memcmp(c, "INFO", 4) == 0) {
      utf8 = true;
      InfoView(out, c, n);
    } else if (std::memcmp(c, "adtl", 4) == 0) {
      utf8 = true;
      AdtlView(out, c, n, sep);
    }
  } else if (IdIs(e.id, "bext")) {
    BextView(out, c, n, sep);
  } else if (IdIs(e.id, "_PMX")) {
    utf8 = horizontal = true;
    XmpView(out, c, n);
  }
  return out;
}

SummaryFields BuildSummaryFields(const ChunkTable& table, std::string_view sep) {
  SummaryFields s;
  const WaveFormat& f = table.format;
  if (table.fmtFound && f.formatTag == 0x0055) {
    Appendf(s.format, " %uHz %uch", f.samplesPerSec, f.channels);
    return s;
  }
  if (!table.formatKnown || !table.fmtFound) return s;
  Appendf(s.format, " %uHz %s%ubit %uch", f.samplesPerSec, table.floatWidth ? "F" : "",
          f.bitsPerSample, f.channels);
  // A zero block align or rate gives no length.
  if (f.blockAlign == 0) return s;
  const uint64_t samples = table.dataSize / f.blockAlign;
  s.samples = " " + GroupedDecimal(samples, sep);
  if (f.samplesPerSec == 0) return s;
  const uint64_t ms =
      samples / f.samplesPerSec * 1000 + samples % f.samplesPerSec * 1000 / f.samplesPerSec;
  Appendf(s.time, " %02" PRIu64 "h%02" PRIu64 "m%02" PRIu64 "s%03" PRIu64, ms / 3600000,
          ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
  return s;
}

NodeView BuildNodeView(const ChunkTable& table, int32_t node, const WaveInfoOptions& options) {
  NodeView v;
  const int32_t count = std::clamp(table.count, 0, kChunkTableCapacity);
  if (node < 0 || node > count) return v;
  const std::string_view sep = options.thousandsSeparator;
  const Language lang = options.language;
  const TextEncoding codeEncoding = options.code == CharCode::Utf8       ? TextEncoding::Utf8
                                    : options.code == CharCode::ShiftJis ? TextEncoding::ShiftJis
                                                                         : TextEncoding::SystemAnsi;
  const TextEncoding plainEncoding =
      options.code == CharCode::ShiftJis ? TextEncoding::ShiftJis : TextEncoding::SystemAnsi;
  v.memo1Encoding = codeEncoding;
  v.memo2Encoding = plainEncoding;
  v.ruler1 = kDumpRuler;
  v.ruler2 = kContents.In(lang);

  std::vector<uint8_t> header;
  const uint8_t* content = nullptr;
  size_t contentLength = 0;
  uint64_t offset = 0, size = 0;
  const ChunkEntry* entry = nullptr;
  std::string id;
  if (node == 0) {
    id = IdText(reinterpret_cast<const char*>(table.fileHeader));
    header.assign(table.fileHeader, table.fileHeader + 12);
    size = 12;
  } else {
    entry = &table.entries[node - 1];
    id = IdText(entry->id);
    offset = entry->headerOffset;
    size = entry->size;
    header.assign(entry->id, entry->id + 4);
    for (int i = 0; i < 4; ++i) header.push_back(static_cast<uint8_t>(entry->size >> (8 * i)));
    content = entry->content.get();
    contentLength = content ? entry->length : 0;
    if (IdIs(entry->id, "data") && table.rf64SizesUsed) size = table.dataSize;
  }
  v.name = " " + id;
  Appendf(v.offset, " 0x%08" PRIX64, offset);
  Appendf(v.size, " %s (0x%08" PRIX64 ")", GroupedDecimal(size, sep).c_str(), size);

  // The dump: header and content, at most dumpLimit bytes of content.
  const size_t shown = std::min(contentLength, options.dumpLimit);
  std::vector<uint8_t> bytes = header;
  if (shown) bytes.insert(bytes.end(), content, content + shown);
  v.dumpBytes = bytes.size();
  AppendDump(v.memo1, bytes.data(), bytes.size(), offset, options.code);
  v.memo1NotesFrom = v.memo1.size();
  if (shown < contentLength) {
    Appendf(v.memo1, kFirstShown.In(lang), GroupedDecimal(shown, sep).c_str());
  }
  const bool dataTopOnly = entry && IdIs(entry->id, "data") && contentLength < size;
  if (dataTopOnly) Appendf(v.memo1, kDataTop.In(lang), static_cast<int>(contentLength));
  if (v.memo1NotesFrom == v.memo1.size()) v.memo1NotesFrom = std::string::npos;

  if (node == 0) {
    v.memo2 = FileSummaryText(table, sep);
  } else if (dataTopOnly) {
    const ChunkEntry& tail = table.dataTail;
    const size_t tailLength = tail.content ? std::min<size_t>(tail.length, options.dumpLimit) : 0;
    Appendf(v.memo2, kDataEnd.In(lang), static_cast<int>(tailLength));
    v.memo2NotesEnd = v.memo2.size();
    if (tailLength) {
      AppendDump(v.memo2, tail.content.get(), tailLength, tail.headerOffset, options.code);
      v.ruler2 = kDumpRuler;
      v.dumpBytes += tailLength;
    }
    v.memo2Encoding = codeEncoding;
  } else {
    bool utf8 = false;
    v.memo2 = DecodedView(table, node - 1, sep, utf8, v.memo2Horizontal);
    if (utf8 && options.code == CharCode::Utf8) v.memo2Encoding = TextEncoding::Utf8;
  }
  return v;
}

}  // namespace ov
