// Sizing, allocation and the resets of the analysis state.
#include "app/analysis/FrameAnalysis.h"

#include <algorithm>
#include <cstdio>

#include "app/analysis/SampleConversion.h"

namespace ov {

namespace {

// Allocation steps named in the insufficient-memory notice.
enum AllocationStep {
  kStepGeneralPlan = 1,
  kStepFftBuf = 2,
  kStepDataBuf = 3,
  kStepWaveData = 4,
  kStepWaveAndLissajousPoints = 5,
  kStepAmplitudeArrays = 6,
  kStepCurvePoints = 7,
  kStepPolygon3D = 8,
};

constexpr TwoLanguageText kInsufficientMemory{"メモリーが確保できませんでした。",
                                              "Insufficient memory."};
constexpr TwoLanguageText kTerminateApplication{"アプリケーションを終了します。",
                                                "Terminate this application."};

const char* const kWindowShortNames[] = {"Rect.",     "Hanning",   "Hamming", "Blackman",
                                         "Blkman-Hr", "Blkman-H7", "Flat top"};

constexpr int32_t kLevelFloor = -960;  // tenths of a dB

}  // namespace

int32_t RoundedAnalysisSize(int32_t requested) {
  // Powers of two are used unchanged; other values round down. Requests
  // outside the offered range are held to it.
  int32_t n = 64;
  while (n <= kMaxAnalysisSize && n != requested) {
    if (requested < n) {
      n /= 2;
      break;
    }
    n *= 2;
  }
  return std::clamp(n, kMinAnalysisSize, kMaxAnalysisSize);
}

FrameAnalysis::FrameAnalysis(const Kp05Api& fft, SampleBlockSource& engine, UserNotifier& notifier,
                             const ModifierKeys& keys, AnalysisViews* views)
    : fft_(fft),
      engine_(engine),
      notifier_(notifier),
      keys_(keys),
      views_(views ? views : &defaultViews_) {
  std::fill(std::begin(PeakLevel), std::end(PeakLevel), kLevelFloor);
  std::fill(std::begin(RmsLevel), std::end(RmsLevel), kLevelFloor);
}

FrameAnalysis::~FrameAnalysis() {
  if (generalPlan_) fft_.Release_FFT();
  ReleaseFixedPlans();
}

void FrameAnalysis::ReleaseFixedPlans() {
  if (!interpolationPlans_) return;
  fft_.Release_FFT4();
  fft_.Release_FFT8();
  fft_.Release_FFT64();
  fft_.Release_FFT128();
  fft_.Release_FFT512();
  fft_.Release_FFT1024();
  interpolationPlans_ = false;
}

bool FrameAnalysis::CreateInterpolationPlans() {
  ReleaseFixedPlans();
  // A slot's create does not release its previous plan, so each family is
  // created once and released before any retry.
  const bool ok = fft_.Create_FFT4(0) != nullptr && fft_.Create_FFT8(0) != nullptr &&
                  fft_.Create_FFT64(0) != nullptr && fft_.Create_FFT128(0) != nullptr &&
                  fft_.Create_FFT512(0) != nullptr && fft_.Create_FFT1024(0) != nullptr;
  interpolationPlans_ = true;  // release whatever was created, also after a failure
  if (!ok) ReleaseFixedPlans();
  return ok;
}

void FrameAnalysis::NotifyAllocationFailure(const char* operation, int step) {
  char text[256];
  std::snprintf(text, sizeof text, "%s(%s: No.%d)\n\n%s", kInsufficientMemory.In(language),
                operation, step, kTerminateApplication.In(language));
  notifier_.Notify(text, NoticeIcon::Error);
}

template <typename T>
bool FrameAnalysis::Allocate(AnalysisArray<T>& array, size_t count) {
  if (count > maxBufferBytes / sizeof(T)) {
    array.Free();
    return false;
  }
  return array.Allocate(count);
}

void FrameAnalysis::FreeSizeBuffers() {
  FftBuf.Free();
  SpectrumAmp.Free();
  Overlay1Amp.Free();
  Overlay2Amp.Free();
  AverageAcc.Free();
  SpectrumPoints.Free();
  Overlay1Points.Free();
  Overlay2Points.Free();
  ColumnRunLengths.Free();
  WavePoints.Free();
  WaveValues.Free();
  LissajousPoints.Free();
  Polygon3D.Free();
  DataBuf.Free();
  for (auto& channel : WaveData) channel.Free();
  waveDataLength = 0;
  waveDataCount = 0;
  selectedSamples = nullptr;
}

bool FrameAnalysis::SetAnalysisSize(int32_t requested) {
  if (requested == N) return true;

  if (generalPlan_) {
    fft_.Release_FFT();
    generalPlan_ = false;
  }
  FreeSizeBuffers();

  N = RoundedAnalysisSize(requested);
  B = N / 2 + 1;

  if (!AllocateSizeBuffers()) {
    FreeSizeBuffers();
    if (generalPlan_) {
      fft_.Release_FFT();
      generalPlan_ = false;
    }
    N = 0;
    B = 0;
    return false;
  }

  engine_.SetPlayBufferPlan(0, 0, N);
  engine_.SetRecBufferPlan(0, 0, N);
  ResetSpectrumState();
  ResetAnalysisData(false);
  UpdateFftInfoText();
  return true;
}

bool FrameAnalysis::AllocateSizeBuffers() {
  if (!PrepareFormatBuffers()) return false;

  const size_t n = static_cast<size_t>(N);
  const size_t b = static_cast<size_t>(B);
  int failedStep = 0;
  if (!Allocate(WavePoints, n) || !Allocate(WaveValues, n) || !Allocate(LissajousPoints, n)) {
    failedStep = kStepWaveAndLissajousPoints;
  } else if (!Allocate(SpectrumAmp, b) || !Allocate(Overlay1Amp, b) || !Allocate(Overlay2Amp, b) ||
             !Allocate(AverageAcc, b)) {
    failedStep = kStepAmplitudeArrays;
  } else if (!Allocate(SpectrumPoints, b) || !Allocate(ColumnRunLengths, b) ||
             !Allocate(Overlay1Points, b) || !Allocate(Overlay2Points, b)) {
    failedStep = kStepCurvePoints;
  } else if (!Allocate(Polygon3D, b + 3)) {
    failedStep = kStepPolygon3D;
  } else if (fft_.Create_FFT(N, 1, 1) == nullptr) {
    failedStep = kStepGeneralPlan;
  } else {
    generalPlan_ = true;
    // The real transform reads N doubles and writes N/2 + 1 complex bins; the
    // slots above bin N/2 are never written and stay zero.
    if (!Allocate(FftBuf, 2 * n + 2)) failedStep = kStepFftBuf;
  }
  if (failedStep != 0) {
    NotifyAllocationFailure("FFT", failedStep);
    return false;
  }
  return true;
}

bool FrameAnalysis::PrepareFormatBuffers() {
  if (N == 0) return true;  // nothing to size before the first SetAnalysisSize
  const size_t blockBytes = static_cast<size_t>(N) * Format.blockAlign;
  if (blockBytes != DataBuf.size() || (blockBytes != 0 && DataBuf.data() == nullptr)) {
    dataBufFresh_ = false;
    if (!Allocate(DataBuf, blockBytes)) {
      NotifyAllocationFailure("DataBuf", kStepDataBuf);
      return false;
    }
  }

  // Only channels whose samples lie inside a frame are unpacked, so a format
  // whose block align is too small for its channels cannot read past DataBuf.
  const int32_t fitting =
      static_cast<int32_t>(Format.blockAlign / UnpackedSampleBytes(Format.bitsPerSample));
  channelCount = std::min({static_cast<int32_t>(Format.channels), kMaxAnalysisChannels, fitting});
  const int32_t needed = std::max(channelCount, 2);

  if (N != waveDataLength || waveDataCount < needed) {
    for (auto& channel : WaveData) channel.Free();
    waveDataLength = 0;
    waveDataCount = 0;
    selectedSamples = nullptr;
    for (int32_t i = 0; i < needed; ++i) {
      if (!Allocate(WaveData[i], static_cast<size_t>(N))) {
        for (auto& channel : WaveData) channel.Free();
        NotifyAllocationFailure("WaveData", kStepWaveData);
        return false;
      }
    }
    waveDataLength = N;
    waveDataCount = needed;
  }
  SelectChannels();
  return true;
}

void FrameAnalysis::ResetSpectrumState() {
  peakHold = false;
  averageCount = 1;
  averageCounter = 0;
  mainOn = true;
  overlay1 = OverlayFlags{};
  overlay2 = OverlayFlags{};
  commentEditGuard = false;
  cursorBin = -1;
  peakBin = -1;
  cursorX = -1;
  peakPoint.x = -1;
}

void FrameAnalysis::ResetAnalysisData(bool keepSpectra) {
  std::fill(std::begin(PeakLevel), std::end(PeakLevel), kLevelFloor);
  std::fill(std::begin(RmsLevel), std::end(RmsLevel), kLevelFloor);
  views_->LevelsReset(channelCount);
  if (keepSpectra) return;

  for (auto& channel : WaveData) channel.Zero();
  SelectChannels();
  SpectrumAmp.Zero();
  ClearPeakHold();
  ResetAverage(false);
  FftBuf.Zero();
  DataBuf.Zero();
  dataBufFresh_ = false;
  Polygon3D.FillBytesFF();
  RecomposeSpectrumComment();
  views_->AnalysisDataCleared();
}

void FrameAnalysis::RecomposeSpectrumComment() {
  SpectrumCommentLine = ComposeSpectrumComment(
      spectrumComment, static_cast<int32_t>(Format.samplesPerSec), N, SpectrumInterpolate);
}

void FrameAnalysis::ClearPeakHold() {
  if (peakHold) {
    Overlay1Amp.Zero();
    overlay1.dirty = false;
  }
  Overlay1Points.FillBytesFF();
}

void FrameAnalysis::ResetAverage(bool keepOverlay2Points) {
  averageCounter = 0;
  AverageAcc.Zero();
  if (!keepOverlay2Points) Overlay2Points.FillBytesFF();
}

void FrameAnalysis::UpdateFftInfoText() {
  const bool known = WindowFunction >= 0 && WindowFunction <= 6;
  std::snprintf(FftInfoText, sizeof FftInfoText, "%5d %s", N,
                known ? kWindowShortNames[WindowFunction] : "");
}

}  // namespace ov
