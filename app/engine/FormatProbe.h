// The device format list: which of 11 sample rates x 5 sample widths a device
// of the current driver family takes, and with how many channels. One probe
// loop for every family; each family answers "does this format work" through
// a FormatTrier.
//
// Threads: main thread only. The probe calls the progress callback after every
// cell, so the window can draw the cell and process messages (and the user can
// ask for a stop, which acts after the cell being tried).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/common/WaveFormat.h"

namespace ov {

constexpr int kProbeRates = 11;
constexpr int kProbeWidths = 5;  // 8, 16, 24, 32 bits PCM and 32-bit float
constexpr int kProbeFloatWidth = 4;
constexpr uint16_t kProbeNativeBit = 0x8000;
extern const uint32_t kProbeRateList[kProbeRates];

// One cell: bit n - 1 when n channels (1..8) work; kProbeNativeBit when the
// width is the device's own (ASIO) or was accepted without conversion (WASAPI).
struct FormatProbeTable {
  uint16_t cells[kProbeRates][kProbeWidths] = {};
  bool tried[kProbeRates][kProbeWidths] = {};
  int cellsTried = 0;
  bool cancelled = false;
};

struct FormatProbeRequest {
  bool input = false;
  bool queryOnly = false;  // ask without opening (MME WAVE_FORMAT_QUERY, WASAPI IsFormatSupported)
  bool allChannels = false;  // 1..8 channels instead of 1, 2 and `extraChannels`
  uint16_t extraChannels = 0;
  bool useExtensible = false;  // hand the device the extensible record for 1-2 channels too
};

// What a family answers for one format.
struct ProbeAnswer {
  bool works = false;
  bool native = false;
};

class FormatTrier {
 public:
  virtual ~FormatTrier() = default;
  // WASAPI hands every format as the extensible record.
  virtual bool AlwaysExtensible() const { return false; }
  // WASAPI: an accepted width also serves narrower widths by conversion.
  virtual bool MarksConversions() const { return false; }
  virtual ProbeAnswer Try(const WaveFormat& format, const FormatProbeRequest& request) = 0;
};

// Called after every cell; returns true to stop the probe.
using ProbeProgress = std::function<bool(uint16_t cell, int rateIndex, int widthIndex)>;

// Runs the probe over every rate and width. A stop request leaves the cells
// not tried empty (tried = false) and sets `cancelled`.
FormatProbeTable RunFormatProbe(FormatTrier& trier, const FormatProbeRequest& request,
                                const ProbeProgress& progress);

// The format record tried for one cell: tag 3 for float, else 1; extensible
// when asked for or above 2 channels.
WaveFormat ProbeFormat(uint32_t rate, int widthIndex, uint16_t channels, bool extensible);

// "    -" without a channel; else the channel digits ("*" first for a native
// width) padded on the left by 4, 3, 3, 2, 2, 1, 1, 1, 0 blanks. A cell not
// tried is "".
std::string FormatCellText(uint16_t cell, bool tried = true);

// The grid's fixed texts: " Fs\bit", row labels "%7s" of the rate, column
// labels "%6s" of " 8 " ... "F32".
std::string FormatGridCorner();
std::string FormatGridRowLabel(int rateIndex);
std::string FormatGridColumnLabel(int widthIndex);

// The whole grid as the window's text: a tab between cells, CR LF after each
// row, the fixed row and column included.
std::string FormatGridText(const FormatProbeTable& table);

// The remembered cell for the current rate and width (negative bits: float);
// the bottom-right cell when either is not in the lists.
void FormatGridSelection(uint32_t rate, int32_t bits, int& rateIndex, int& widthIndex);

// A double click on grid cell (column, row) of the 6 x 12 grid: the indexes of
// the setup dialog's rate and bit-length lists, or false on a fixed cell or
// outside the cells.
bool FormatGridPick(int column, int row, int& rateIndex, int& widthIndex);

// The widths' labels as ovtool prints them: "8", "16", "24", "32", "F32".
const char* ProbeWidthName(int widthIndex);

}  // namespace ov
