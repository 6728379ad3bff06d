// The analysis state of the main window: the buffers sized by the analysis
// size N and the sound format, the per-frame results (levels, amplitude
// spectrum, peak hold, average, maximum, cursor) and the measurement flags.
//
// Threads: AcquireFrame runs on the display thread; everything else on the
// main thread, inside the drawing step (which the display thread waits for) or
// while the display thread is parked. No locks: the hand-over keeps the two
// apart.
//
// Units: samples left-justified to 32 bits (full scale +-2^31); amplitudes in
// 16-bit units (full scale 32768); levels in tenths of a dB; frequencies in
// tenths of a Hz.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/analysis/AnalysisArray.h"
#include "app/analysis/AnalysisViews.h"
#include "app/analysis/ModifierKeys.h"
#include "app/analysis/SpectrumCommentLine.h"
#include "app/common/ColorRole.h"
#include "app/common/SampleBlockSource.h"
#include "app/common/UserNotifier.h"
#include "app/common/WaveFormat.h"
#include "fft/Kp05Api.h"

namespace ov {

constexpr int32_t kMinAnalysisSize = 128;
constexpr int32_t kMaxAnalysisSize = 131072;
constexpr int32_t kMaxAnalysisChannels = 8;

// The analysis size used for a request: a power of two within 128 ... 131072,
// other values rounded down (and held to that range).
int32_t RoundedAnalysisSize(int32_t requested);

// The flags of one spectrum overlay.
struct OverlayFlags {
  bool shown = false;
  bool dirty = false;    // holds data not yet saved
  bool stale = false;    // its points must be recomputed
  bool capture = false;  // copy the next main spectrum into it
  bool filled = false;   // received data: its show button is enabled
};

// The dB level scale of the spectrum view: a level in hundredths of a dB is
// floor(2000 x log10(amplitude) + roundingTerm) + shift - 9031, so that the
// amplitude 32768 reads 0. normalisationMode: 0 none, 1 the maximum reads 0,
// 2/3/4 the bin nearest 100/1000/10000 Hz reads 0; in modes 1-4
// ComputeSpectrum sets roundingTerm every frame.
struct LevelScale {
  int32_t shift = 0;
  double roundingTerm = 0.5;
  int32_t normalisationMode = 0;
};

// The texts of the THD and RMS readouts for one drawing.
struct MeasurementReadouts {
  bool thdShown = false;
  ColorRole thdColor = ColorRole::LineColor;
  std::string thdLine;     // " 0.00000%"
  std::string secondLine;  // THD+N as a percentage, or S/N as "  60.00dB"
  bool rmsShown = false;
  std::string rmsLine;  // "  -3.01dB", in LineColor
};

class FrameAnalysis {
 public:
  // The FFT entries, the engine's block copies and the user notices are
  // borrowed and must outlive this object. views may be null (no views).
  FrameAnalysis(const Kp05Api& fft, SampleBlockSource& engine, UserNotifier& notifier,
                const ModifierKeys& keys, AnalysisViews* views = nullptr);
  // This object is the one owner of the library's plans: the general plan
  // and the fixed plans of peak interpolation. It releases them here, before
  // the main window frees the library.
  ~FrameAnalysis();
  FrameAnalysis(const FrameAnalysis&) = delete;
  FrameAnalysis& operator=(const FrameAnalysis&) = delete;

  // --- Sizes and buffers -------------------------------------------------

  // Changes N to requested rounded down to a power of two within 128 ... 131072
  // (a request equal to the current N does nothing), re-allocates every
  // buffer, recreates the general plan and resizes the engine's rings. On an
  // allocation failure the error notice (with its step number) has been shown
  // and false is returned: the caller ends the application.
  bool SetAnalysisSize(int32_t requested);

  // (Re)allocates DataBuf and WaveData for Format and N, only when their size
  // changes. Call after setting Format and FormatIsFloat. False after an
  // allocation failure (notice shown; the caller ends the application).
  bool PrepareFormatBuffers();

  // Creates the fixed plans of peak interpolation (4, 8, 64, 128, 512, 1024).
  // False when one could not be created; interpolation is then skipped.
  bool CreateInterpolationPlans();

  // --- Resets ---------------------------------------------------------------

  void ResetSpectrumState();
  void ResetAnalysisData(bool keepSpectra);
  void ClearPeakHold();
  void ResetAverage(bool keepOverlay2Points);

  // --- Per frame ------------------------------------------------------------

  // Display thread. fetch: take the newest block from the engine (playing or
  // recording). Returns 0 when a frame is ready to draw, -1 when there is
  // nothing to draw.
  int32_t AcquireFrame(bool fetch);
  // Main thread, while play is paused (after a seek): the frame at the paused
  // position, taken from the start of the re-read play ring. The engine's
  // state cells are only read. Returns as AcquireFrame; -1 when not paused.
  int32_t AcquirePausedFrame();

  // Main thread, inside the drawing step: amplitudes, peak hold, averaging,
  // maximum, normalisation, cursor and overlay captures, then the views'
  // curve conversion.
  void ComputeSpectrum();

  // Refines the peak at bin by trigonometric interpolation of the bins around
  // it in FftBuf at 1/16 (mode 1) or 1/128 (mode 2) of a bin; amplitude in
  // 16-bit units, frequency in Hz. Unchanged when the fixed plans are missing.
  void InterpolatePeak(int32_t bin, double& amplitude, int32_t mode, double& frequency);

  // FftInfoText = "%5d %s" of N and the short window name.
  void UpdateFftInfoText();

  // Level of an amplitude on the dB scale in hundredths of a dB, not below
  // -30000.
  int32_t LevelOf(double amplitude) const;

  // --- Measurements ---------------------------------------------------------

  // THD (withNoise false) or THD+N (true) of the fundamental at bin f of
  // amplitudes (B values), as a ratio; 9999.9 when the fundamental is below
  // 1e-38 or f lies outside 1 ... B-1.
  double DistortionRatio(const double* amplitudes, int32_t f, bool withNoise) const;

  // RMS level of the selected samples in dB (0 dB = 16-bit full scale), plus
  // 3.010299957 with WaveRMS0dBsin; -99999 for silence.
  double RmsDb() const;

  // The readouts as the spectrum view draws them in measure mode.
  MeasurementReadouts ComputeReadouts() const;

  // --- Measure panel ------------------------------------------------------
  // Each returns true when the overlays became stale and the spectrum layout
  // must be recomputed; the window then mirrors the flags in its buttons
  // (overlay N shown = its "on" button enabled and down).

  // "Main" button: the main spectrum on or off, then the main-on rule.
  void MainButtonDown(bool down);
  // "Peak" button: peak hold on or off; switching on shows overlay 1 cleared.
  bool PeakButtonDown(bool down);
  // Average count text (free text allowed): returns the count written back
  // ("%i"); a count above 1 shows overlay 2 with a fresh average.
  int32_t AverageCountChanged(const char* text, bool& layoutChanged);
  // When no overlay is shown the main spectrum is forced on.
  void ApplyMainOnRule();
  // "THD" button: switching it on flips the second line (THD+N / S/N).
  void ThdButtonDown(bool down);

  // --- Inputs the main window keeps current --------------------------------

  WaveFormat Format{};
  uint32_t FormatIsFloat = 0;  // FloatWidth of Format
  int32_t WindowFunction = 1;
  int32_t SpectrumInterpolate = 0;  // 0 none, 1 x16, 2 x128
  bool WaveRMS0dBsin = false;
  bool PlayForceMonoStereo = false;
  int32_t displayChannel = 0;    // ChComboBox, 0-based
  bool lrToggleDown = false;     // L_R_Button
  bool levelMeterShown = false;  // levels are computed only then
  int32_t meterUpdatesPerSecond = 0;
  int32_t spectrumAreaHeight = 0;  // PaintBox2 height in pixels
  bool live = false;               // sound flows: playing or recording, not paused
  bool frameValid = false;         // the held frame may be redrawn
  Language language = Language::English;
  LevelScale levelScale;

  // --- Sizes ----------------------------------------------------------------

  int32_t N = 0;  // analysis size
  int32_t B = 0;  // spectrum bins, N/2 + 1

  // --- Sample side ----------------------------------------------------------

  AnalysisArray<uint8_t> DataBuf;  // N frames of the current format
  AnalysisArray<int32_t> WaveData[kMaxAnalysisChannels];
  int32_t waveDataLength = 0;  // N of the WaveData arrays
  int32_t waveDataCount = 0;   // arrays allocated (at least 2)
  int32_t channelCount = 0;    // channels unpacked: min(nChannels, 8)
  int32_t spectrumChannel = 0;
  int32_t waveChannel1 = 0;
  int32_t waveChannel2 = 1;
  const int32_t* selectedSamples = nullptr;  // WaveData[spectrumChannel]
  int32_t PeakLevel[kMaxAnalysisChannels];
  int32_t RmsLevel[kMaxAnalysisChannels];

  // --- Spectrum side --------------------------------------------------------

  AnalysisArray<double> FftBuf;  // N + 1 complex slots (2N + 2 doubles)
  AnalysisArray<double> SpectrumAmp;
  AnalysisArray<double> Overlay1Amp;
  AnalysisArray<double> Overlay2Amp;
  AnalysisArray<double> AverageAcc;
  AnalysisArray<Kp05Point> SpectrumPoints;
  AnalysisArray<Kp05Point> Overlay1Points;
  AnalysisArray<Kp05Point> Overlay2Points;
  AnalysisArray<int32_t> ColumnRunLengths;
  // Filled by the display parts: the wave view's points and values, the
  // Lissajous points, the 3D front polygon (B + 3 points).
  AnalysisArray<Kp05Point> WavePoints;
  AnalysisArray<int32_t> WaveValues;
  AnalysisArray<Kp05Point> LissajousPoints;
  AnalysisArray<Kp05Point> Polygon3D;

  // --- Per-frame values -----------------------------------------------------

  double MaxAmp = -1.0;
  int32_t peakBin = -1;
  int32_t PeakFreq10 = -1;
  int32_t cursorBin = -1;  // set by the spectrum view; -1 = no cursor
  double CursorAmp = 0.0;
  int32_t CursorFreq10 = -1;
  int32_t cursorX = -1;         // the spectrum view's cursor column
  Kp05Point peakPoint{-1, -1};  // set by the curve conversion

  // --- Measurement flags ----------------------------------------------------

  bool measureMode = false;
  bool peakHold = false;
  int32_t averageCount = 1;  // 1 ... 1000; averaging when above 1
  int32_t averageCounter = 0;
  bool mainOn = true;
  OverlayFlags overlay1;
  OverlayFlags overlay2;
  bool commentEditGuard = false;
  bool thdOn = false;
  bool snLine = false;  // second THD line shows S/N (else THD+N)
  bool rmsOn = false;

  char FftInfoText[32] = {};

  // The spectrum comment settings and the line composed from them (with the
  // current rate, N and interpolation) by RecomposeSpectrumComment, which
  // ResetAnalysisData also runs whenever it clears the data.
  SpectrumCommentOptions spectrumComment;
  std::string SpectrumCommentLine;
  void RecomposeSpectrumComment();

  // Largest single buffer this object will allocate, in bytes; a larger need
  // (a corrupt format's block align) is reported as insufficient memory.
  size_t maxBufferBytes = size_t{1} << 30;

 private:
  int32_t Acquire(bool fetch, bool pausedFrame);
  bool AllocateSizeBuffers();
  void FreeSizeBuffers();
  template <typename T>
  bool Allocate(AnalysisArray<T>& array, size_t count);
  void NotifyAllocationFailure(const char* operation, int step);
  void SelectChannels();
  void ReleaseFixedPlans();

  const Kp05Api& fft_;
  SampleBlockSource& engine_;
  UserNotifier& notifier_;
  const ModifierKeys& keys_;
  AnalysisViews defaultViews_;
  AnalysisViews* views_;

  bool generalPlan_ = false;
  bool interpolationPlans_ = false;
  bool dataBufFresh_ = false;  // DataBuf holds fetched, not yet converted data
  bool monoPlayedAsStereo_ = false;

  // Scratch of peak interpolation: up to 8 bins, then up to 1024 points.
  double interpolationBins_[2 * 8] = {};
  double interpolationCurve_[2 * 1024] = {};
};

}  // namespace ov
