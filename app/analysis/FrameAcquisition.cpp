// AcquireFrame: from the engine's newest block to per-channel samples, levels
// and the windowed transform of the spectrum channel. Display thread.
#include <algorithm>
#include <chrono>
#include <thread>

#include "app/analysis/FrameAnalysis.h"
#include "app/analysis/SampleConversion.h"

namespace ov {

namespace {
constexpr int32_t kMinDrawableHeight = 10;  // pixels of the spectrum area
}  // namespace

void FrameAnalysis::SelectChannels() {
  // A display channel left over from a format with more channels falls back
  // to the first one instead of reading an array that does not exist.
  const int32_t display =
      (displayChannel >= 0 && displayChannel < std::max(channelCount, 1)) ? displayChannel : 0;
  monoPlayedAsStereo_ =
      channelCount == 1 && PlayForceMonoStereo && engine_.PlayState() != kPlayStopped;

  spectrumChannel = display;
  if (lrToggleDown && Format.channels == 2) spectrumChannel = display + 1;
  if (spectrumChannel >= channelCount) spectrumChannel = 0;  // the toggle wraps to the first

  waveChannel1 = display;
  if (channelCount >= 2) {
    waveChannel2 = display + 1 >= channelCount ? 0 : display + 1;
  } else {
    // The second array of a mono source holds zeros unless the source is
    // played as stereo, when both traces show the one channel.
    waveChannel2 = (channelCount == 1 && monoPlayedAsStereo_) ? display : 1;
  }
  selectedSamples = WaveData[spectrumChannel].data();
}

int32_t FrameAnalysis::AcquirePausedFrame() {
  if (engine_.PlayState() != kPlayPaused) return -1;
  return Acquire(true, true);
}

int32_t FrameAnalysis::AcquireFrame(bool fetch) {
  return Acquire(fetch, false);
}

int32_t FrameAnalysis::Acquire(bool fetch, bool pausedFrame) {
  if (N == 0 || FftBuf.data() == nullptr || waveDataLength != N) return -1;
  const size_t blockBytes = static_cast<size_t>(N) * Format.blockAlign;
  // Format changed without PrepareFormatBuffers: never copy past DataBuf.
  if (DataBuf.size() != blockBytes) return -1;

  if (fetch) {
    const int32_t play = engine_.PlayState();
    const int32_t rec = engine_.RecState();
    if (pausedFrame) {
      engine_.CopyNewestPlayBlock(DataBuf.data(), blockBytes, true);
    } else if (play == kPlayPlaying) {
      engine_.CopyNewestPlayBlock(DataBuf.data(), blockBytes, false);
      // Paused between the state read and the copy: the engine handed out
      // silence, not sound. The frame already computed stays the held one.
      if (engine_.PlayState() != kPlayPlaying) return -1;
    } else if (rec == kRecRecording) {
      engine_.CopyNewestRecBlock(DataBuf.data(), blockBytes);
    } else {
      const bool paused = play == kPlayPaused || rec == kRecPaused;
      return paused ? 0 : -1;
    }
    dataBufFresh_ = true;
  }

  // Float frames become left-justified integers once, in place, so that a
  // later call on the held block does not convert them again.
  if (dataBufFresh_ && FormatIsFloat != 0)
    FloatSamplesToInt32InPlace(DataBuf.data(), blockBytes / 4);
  dataBufFresh_ = false;

  SelectChannels();
  int32_t* channels[kMaxAnalysisChannels];
  for (int32_t j = 0; j < kMaxAnalysisChannels; ++j) channels[j] = WaveData[j].data();
  if (spectrumChannel < channelCount) {
    UnpackFrames(DataBuf.data(), static_cast<size_t>(N), Format.blockAlign, Format.bitsPerSample,
                 channelCount, channels, spectrumChannel, FftBuf.data());
  } else {
    // No channel fits the frame: the zeroed first array is transformed.
    UnpackFrames(DataBuf.data(), static_cast<size_t>(N), Format.blockAlign, Format.bitsPerSample,
                 channelCount, channels);
    ToSpectrumInput(WaveData[spectrumChannel].data(), static_cast<size_t>(N), FftBuf.data());
  }

  if (levelMeterShown) {
    // One meter period of samples, or half a block before the rate is known.
    size_t count = meterUpdatesPerSecond > 0
                       ? Format.samplesPerSec / static_cast<uint32_t>(meterUpdatesPerSecond)
                       : static_cast<size_t>(N / 2);
    count = std::min(count, static_cast<size_t>(N));
    for (int32_t ch = 0; ch < channelCount; ++ch) {
      const ChannelLevels levels = MeasureChannelLevels(WaveData[ch].data(), count, WaveRMS0dBsin);
      PeakLevel[ch] = levels.peak;
      RmsLevel[ch] = levels.rms;
    }
    if (monoPlayedAsStereo_) {
      PeakLevel[1] = PeakLevel[0];
      RmsLevel[1] = RmsLevel[0];
    }
  }

  if (spectrumAreaHeight >= kMinDrawableHeight) {
    fft_.FFT_WeightWindow(FftBuf.data(), WindowFunction);
    // Shift+Ctrl+Alt keeps the weighted samples in FftBuf for inspection.
    if (!keys_.ShiftCtrlAltDown()) fft_.FFT_fft(FftBuf.data(), 0);
  } else {
    // No spectrum is drawn: give the time back instead of transforming.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return 0;
}

}  // namespace ov
