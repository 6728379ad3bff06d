#include "app/shell/Transport.h"

#include <algorithm>

#include "app/common/PlayRecState.h"
#include "app/shell/TransportTexts.h"

namespace ov {

namespace {

uint32_t NonNegative(int32_t v) {
  return v > 0 ? static_cast<uint32_t>(v) : 0u;
}

bool StartsWith(const std::string& s, const char* prefix) {
  return s.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// The part of the engine's message from character 22 on ("Unable to
// initialize. (...)"); empty when the message is shorter.
std::string Detail(const std::string& message) {
  return message.size() > 22 ? message.substr(22) : std::string();
}

}  // namespace

BufferPlanInputs EngineBufferPlanInputs(int32_t perSec, int32_t count, int32_t minSamples) {
  BufferPlanInputs in{NonNegative(perSec), NonNegative(count), NonNegative(minSamples)};
  if (in.perSec == 0 && in.count == 0 && in.minSamples == 0) in = {2, 4, 131072};
  return in;
}

int EngineThreadPriority(int32_t setting) {
  return static_cast<int>(std::clamp<int32_t>(setting, -2, 2)) + 3;
}

RecordFormat BuildRecordFormat(int32_t samplingFreq, int32_t bitLen, int32_t channels) {
  RecordFormat r;
  WaveFormat& f = r.format;
  const bool isFloat = bitLen < 0;
  const uint32_t bits = static_cast<uint32_t>(bitLen < 0 ? -static_cast<int64_t>(bitLen) : bitLen);
  f.formatTag = isFloat ? kWaveFormatIeeeFloat : kWaveFormatPcm;
  f.channels = static_cast<uint16_t>(NonNegative(channels));
  f.samplesPerSec = NonNegative(samplingFreq);
  f.bitsPerSample = static_cast<uint16_t>(bits);
  f.blockAlign = static_cast<uint16_t>(f.channels * bits / 8);
  f.avgBytesPerSec = f.blockAlign * f.samplesPerSec;
  f.extraSize = 0;
  if (f.channels > 2) {
    f.formatTag = kWaveFormatExtensible;
    f.extraSize = 22;
    f.validBitsPerSample = f.bitsPerSample;
    f.channelMask = f.channels >= 32 ? 0xFFFFFFFFu : (1u << f.channels) - 1u;
    std::copy(std::begin(isFloat ? kSubFormatIeeeFloat : kSubFormatPcm),
              std::end(isFloat ? kSubFormatIeeeFloat : kSubFormatPcm), f.subFormat);
  }
  r.floatWidth = isFloat ? bits : 0;
  return r;
}

PlayFailure ComposePlayFailure(const std::string& message, bool shiftHeld, bool autoOpenPrecPos,
                               Language l) {
  PlayFailure out;
  std::string& t = out.text;
  const std::string cannot = kCannotPlay.In(l);
  if (StartsWith(message, "Unable to initialize") && !shiftHeld) {
    const std::string detail = Detail(message);
    if (detail == "(AUDCLNT_E_DEVICE_IN_USE)")
      t = cannot + "\n\n" + kDeviceInUse.In(l);
    else
      t = cannot + "\n\n" + kFormatOrBuffer.In(l) + "\n\n" + detail;
    if (!autoOpenPrecPos) {
      t += std::string(kTryBuffer.In(l)) + kShiftHint.In(l);
      return out;
    }
  } else if (StartsWith(message, "Buffer not ")) {
    t = cannot + "\n\n(" + message + ")\n\n" + kFewerPoints.In(l);
    return out;
  } else if (StartsWith(message, "Unsupported")) {
    t = std::string(kUnsupported.In(l)) + "\n\n(" + message + ")";
  } else if (StartsWith(message, "No Wave Out")) {
    t = std::string(kNoOutput.In(l)) + "\n\n(" + message + ")";
  }
  if (t.empty()) t = cannot + "\n\n(" + message + ")";
  if (!autoOpenPrecPos && !shiftHeld) {
    t += kShiftHint.In(l);
    return out;
  }
  out.analyzeFallback = true;
  t += kAnalyzeNow.In(l);
  if (shiftHeld) t.clear();  // the user asked for the analyze mode: no box
  return out;
}

std::string ComposeRecordFailure(const std::string& message, Language l) {
  const std::string cannot = kCannotRecord.In(l);
  if (StartsWith(message, "Unable to initialize")) {
    const std::string detail = Detail(message);
    if (detail == "(AUDCLNT_E_DEVICE_IN_USE)") return cannot + "\n\n" + kDeviceInUse.In(l);
    return cannot + "\n\n" + kFormatOrBuffer.In(l) + "\n\n" + detail + kTryBuffer.In(l);
  }
  if (StartsWith(message, "Buffer not "))
    return cannot + "\n\n(" + message + ")\n\n" + kFewerPoints.In(l);
  return cannot + "\n\n(" + message + ")";
}

std::string ComposeOpenFailure(const std::string& fileName, const std::string& message,
                               Language l) {
  return std::string(kCannotOpen.In(l)) + "\n\n" + fileName + "\n\n(" + message + ")";
}

uint32_t EnabledButtons(TransportState state) {
  switch (state) {
    case TransportState::NothingOpen:
      return kOpenButton | kRecButton;
    case TransportState::FileStopped:
      return kOpenButton | kPlayButton | kRecButton;
    case TransportState::Playing:
    case TransportState::Recording:
      return kStopButton | kPauseButton;
    case TransportState::Paused:
      return kStopButton | kPauseButton | kOverlayButtons | kPositioningButton;
  }
  return 0;
}

TransportState StateOf(int32_t playState, int32_t recState, bool fileOpened) {
  if (recState != kRecStopped) return TransportState::Recording;
  if (playState == kPlayPaused) return TransportState::Paused;
  if (playState == kPlayPlaying) return TransportState::Playing;
  return fileOpened ? TransportState::FileStopped : TransportState::NothingOpen;
}

}  // namespace ov
