#include "app/engine/FormatProbe.h"

#include <cstdio>
#include <cstring>

namespace ov {

const uint32_t kProbeRateList[kProbeRates] = {11025, 22050,  32000,  44100,  48000, 88200,
                                              96000, 176400, 192000, 352800, 384000};

namespace {

constexpr uint16_t kProbeBits[kProbeWidths] = {8, 16, 24, 32, 32};
constexpr const char* kColumnLabels[kProbeWidths] = {" 8 ", "16 ", "24 ", "32 ", "F32"};
constexpr const char* kWidthNames[kProbeWidths] = {"8", "16", "24", "32", "F32"};
constexpr int kMaxChannels = 8;

// Narrower cells an accepted width serves by conversion (WASAPI): play side
// and record side, by width index; "unless native" is checked on marking.
struct ConversionMarks {
  int count;
  int widths[4];
};
constexpr ConversionMarks kPlayMarks[kProbeWidths] = {
    {0, {}}, {1, {0}}, {3, {0, 1, 4}}, {4, {0, 2, 1, 4}}, {0, {}}};
constexpr ConversionMarks kRecordMarks[kProbeWidths] = {
    {0, {}}, {0, {}}, {1, {4}}, {2, {2, 4}}, {0, {}}};

}  // namespace

const char* ProbeWidthName(int widthIndex) {
  return widthIndex >= 0 && widthIndex < kProbeWidths ? kWidthNames[widthIndex] : "?";
}

WaveFormat ProbeFormat(uint32_t rate, int widthIndex, uint16_t channels, bool extensible) {
  WaveFormat f{};
  const bool isFloat = widthIndex == kProbeFloatWidth;
  f.formatTag = isFloat ? kWaveFormatIeeeFloat : kWaveFormatPcm;
  f.channels = channels;
  f.samplesPerSec = rate;
  f.bitsPerSample = kProbeBits[widthIndex];
  f.blockAlign = static_cast<uint16_t>(channels * f.bitsPerSample / 8);
  f.avgBytesPerSec = rate * f.blockAlign;
  if (extensible || channels > 2) {
    f.formatTag = kWaveFormatExtensible;
    f.extraSize = 22;
    f.validBitsPerSample = f.bitsPerSample;
    f.channelMask = (uint32_t{1} << channels) - 1;
    std::memcpy(f.subFormat, isFloat ? kSubFormatIeeeFloat : kSubFormatPcm, sizeof f.subFormat);
  }
  return f;
}

FormatProbeTable RunFormatProbe(FormatTrier& trier, const FormatProbeRequest& request,
                                const ProbeProgress& progress) {
  FormatProbeTable table;
  const bool extensible = request.useExtensible || trier.AlwaysExtensible();
  const ConversionMarks* marks = request.input ? kRecordMarks : kPlayMarks;
  for (int r = 0; r < kProbeRates; ++r) {
    for (int w = 0; w < kProbeWidths; ++w) {
      for (uint16_t ch = 1; ch <= kMaxChannels; ++ch) {
        const bool wanted =
            request.allChannels || ch == 1 || ch == 2 || (ch == request.extraChannels && ch > 2);
        if (!wanted) continue;
        const ProbeAnswer a = trier.Try(ProbeFormat(kProbeRateList[r], w, ch, extensible), request);
        if (!a.works) continue;
        const uint16_t bit = static_cast<uint16_t>(1u << (ch - 1));
        table.cells[r][w] |= bit;
        if (a.native) table.cells[r][w] |= kProbeNativeBit;
        if (trier.MarksConversions()) {
          table.cells[r][w] |= kProbeNativeBit;
          for (int m = 0; m < marks[w].count; ++m) {
            uint16_t& other = table.cells[r][marks[w].widths[m]];
            if (!(other & kProbeNativeBit)) other |= bit;
          }
        }
      }
      table.tried[r][w] = true;
      ++table.cellsTried;
      if (progress && progress(table.cells[r][w], r, w)) {
        table.cancelled = true;
        return table;
      }
    }
  }
  return table;
}

std::string FormatCellText(uint16_t cell, bool tried) {
  if (!tried) return "";
  std::string digits;
  for (int ch = 1; ch <= kMaxChannels; ++ch) {
    if (cell & (1u << (ch - 1))) digits += static_cast<char>('0' + ch);
  }
  if (digits.empty()) return "    -";
  if (cell & kProbeNativeBit) digits.insert(digits.begin(), '*');
  static constexpr int kPad[10] = {0, 4, 3, 3, 2, 2, 1, 1, 1, 0};
  return std::string(static_cast<size_t>(kPad[digits.size()]), ' ') + digits;
}

std::string FormatGridCorner() {
  return " Fs\\bit";
}

std::string FormatGridRowLabel(int rateIndex) {
  char text[16];
  std::snprintf(text, sizeof text, "%7u", static_cast<unsigned>(kProbeRateList[rateIndex]));
  return text;
}

std::string FormatGridColumnLabel(int widthIndex) {
  char text[16];
  std::snprintf(text, sizeof text, "%6s", kColumnLabels[widthIndex]);
  return text;
}

std::string FormatGridText(const FormatProbeTable& table) {
  std::string text = FormatGridCorner();
  for (int w = 0; w < kProbeWidths; ++w) text += "\t" + FormatGridColumnLabel(w);
  text += "\r\n";
  for (int r = 0; r < kProbeRates; ++r) {
    text += FormatGridRowLabel(r);
    for (int w = 0; w < kProbeWidths; ++w) {
      text += "\t" + FormatCellText(table.cells[r][w], table.tried[r][w]);
    }
    text += "\r\n";
  }
  return text;
}

void FormatGridSelection(uint32_t rate, int32_t bits, int& rateIndex, int& widthIndex) {
  rateIndex = kProbeRates - 1;
  widthIndex = kProbeWidths - 1;
  int r = -1, w = -1;
  for (int i = 0; i < kProbeRates; ++i) {
    if (kProbeRateList[i] == rate) r = i;
  }
  char wanted[16];
  std::snprintf(wanted, sizeof wanted, "%s%d", bits < 0 ? "F" : "", bits < 0 ? -bits : bits);
  for (int i = 0; i < kProbeWidths; ++i) {
    if (std::strcmp(kWidthNames[i], wanted) == 0) w = i;
  }
  if (r >= 0 && w >= 0) {
    rateIndex = r;
    widthIndex = w;
  }
}

bool FormatGridPick(int column, int row, int& rateIndex, int& widthIndex) {
  if (column < 1 || column > kProbeWidths || row < 1 || row > kProbeRates) return false;
  rateIndex = row - 1;
  widthIndex = column - 1;
  return true;
}

}  // namespace ov
