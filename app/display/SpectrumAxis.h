// The spectrum view's geometry: which bins are shown and at which x, the
// frequency and level grids with their labels, the level mapping constants
// and the 3D front. Computed at every layout and setting change (never per
// frame); the curves' y values are filled per frame by
// ConvertSpectrumToPoints (SpectrumPoints.h).
//
// Units: frequencies in Hz; levels in hundredths of a dB; pixels relative to
// the plot's top left.
#pragma once

#include <cstdint>

#include "app/analysis/FrameAnalysis.h"
#include "app/shell/MainLayout.h"
#include "fft/Kp05Api.h"

namespace ov {

constexpr int32_t kLogOrigin = 1301;  // round(1000 x log10(20)): left end of the log axis
constexpr int32_t kLogGridCount = 49;
constexpr int32_t kMaxFrequencyLines = 50;
constexpr int32_t kMaxLevelLines = 21;
constexpr int32_t kFullScaleLevel = 9031;  // 2000 x log10(32768), rounded
constexpr int32_t kLowestLevel = -30000;   // -300 dB
// Log-axis grid lines that carry a label, and the labels.
constexpr int32_t kLogLabelLines[6] = {0, 8, 17, 26, 35, 44};
constexpr const char* kLogLabels[6] = {"20", "100", "1k", "10k", "100k", "1M"};

// The grid frequencies 20, 30 ... 90, 100 ... 5000000 Hz in thousandths of a
// decade above 20 Hz.
const int32_t* LogGridTable();

// The 3D geometry from a plot of w x h (the main window's layout does the
// same): line step, line count, depth offset, front width, half height.
Spectrum3D ThreeDGeometry(int32_t w, int32_t h, int32_t lines3D, int32_t deltaX3D);

struct SpectrumAxisInput {
  uint32_t sampleRate = 44100;
  int32_t sampleN = 4096;
  int32_t width = 0, height = 0;  // the plot
  Spectrum3D threeD;              // the layout's 3D geometry
  int32_t dispType = 0;           // 0 "Normal", 1 "3D", 2 "Spectrogram" (drawn as "Normal")
  int32_t angle3D = 0;            // 0 "／", 1 "｜", 2 "＼"
  int32_t deltaX3D = 2;
  bool freqLogScale = true;
  bool freqDispRange = false;
  int32_t freqDispFrom = 0, freqDispTo = 20000;
  int32_t linearDefaultTo = 5000000;  // the range shown without FreqDispRange
  bool spectrumLogScale = true;
  int32_t dBMax = 120;
  double dBShift = -1.0;
  int32_t magRate = 10;  // SpectrumDispMagRate
  bool peakOnly = false;
  int32_t windowFunction = 1;
};

// Where the curves' points live (the analysis' arrays, B entries each).
struct SpectrumCurves {
  Kp05Point* main = nullptr;
  Kp05Point* overlay1 = nullptr;
  Kp05Point* overlay2 = nullptr;
  int32_t* runs = nullptr;  // ColumnRunLengths
  int32_t capacity = 0;     // entries of each array
};

struct SpectrumAxis {
  SpectrumAxisInput in;
  bool threeD = false;
  int32_t dBMax = 120;  // in effect (0 in a settings file is taken as 120)
  double nyquist = 0.0, binWidth = 0.0;
  int32_t traceWidth = 0;   // b: the plot width, in "3D" the front width
  int32_t traceHeight = 0;  // a: the plot height, in "3D" the front height
  int32_t frontOffset = 0;  // c: 0, or in "3D" the front's offset by Angle3D

  // Frequency axis.
  int32_t logSpan = 1;        // trunc(1000 log10(Nyquist) - 1301), at least 1
  double logSpanExact = 1.0;  // the same, not truncated (readout)
  int32_t firstBin = 0;       // first bin shown (1 on the log axis)
  int32_t lastBin = 0;        // last bin shown
  int32_t spectrumPointCount = 0;
  int32_t d = 1;  // linear: spectrumPointCount - 1, at least 1
  int32_t binsBelow20Hz = 0;
  int32_t frequencyLineCount = 0;
  int32_t frequencyLines[kMaxFrequencyLines] = {};
  int64_t frequencyStep = 0;       // linear: A
  int64_t firstGridFrequency = 0;  // linear: F0

  // Level axis.
  bool symmetric = false;
  int32_t levelLineCount = 0;
  int32_t levelLines[kMaxLevelLines] = {};
  int32_t levelLabelStep = 0;        // dB: the labels' step in dB; linear: the step
  int32_t linearTop = 3276;          // o = 32768 / SpectrumDispMagRate
  int32_t fullScaleDivisor = 12000;  // e
  int32_t rangeTerm = 0;             // dB_Max x 100 for a symmetric range, else 0
  LevelScale levelScale;

  // Columns after the reduction.
  int32_t pointsPerColumn = 4;
  int32_t columnCount = 0;
  int32_t keptCount = 0;
};

// Fills every field and the x of the three curves (then reduced to
// pointsPerColumn points per column by prepare, the FFT library's
// coordinate preparation, which also writes the run lengths).
void ComputeSpectrumAxis(const SpectrumAxisInput& in, Kp05Api::PrepareCoordinatesFn prepare,
                         const SpectrumCurves& curves, SpectrumAxis& axis);

// Labels. out holds at least 16 characters.
// Linear frequency line j.
void FormatFrequencyLabel(const SpectrumAxis& axis, int32_t line, char* out);
// "kHz" or "Hz" for the linear labels.
const char* FrequencyUnit(const SpectrumAxis& axis);
// Linear axis: whether line j carries a label (every line, or the even ones
// above 11 lines).
bool FrequencyLineLabelled(const SpectrumAxis& axis, int32_t line);
// Level line i from the top.
void FormatLevelLabel(const SpectrumAxis& axis, int32_t line, char* out);

}  // namespace ov
