// The transport's decisions that need no window: the engine's buffer-plan and
// thread-priority inputs from the settings, the record format built from the
// settings, the failure texts composed from the engine's message, and which
// buttons are enabled in each transport state. Portable; the main window
// applies the results to its controls.
#pragma once

#include <cstdint>
#include <string>

#include "app/common/UserNotifier.h"
#include "app/common/WaveFormat.h"

namespace ov {

// ---- Engine inputs from the settings.

struct BufferPlanInputs {
  uint32_t perSec = 0, count = 0, minSamples = 0;
};
// An all-zero triple means "automatic": 2 buffers per second, at least 4
// buffers, a ring above 131072 samples. Negative values count as 0.
BufferPlanInputs EngineBufferPlanInputs(int32_t perSec, int32_t count, int32_t minSamples);
// The settings keep the priority as -2..2; the engine takes 1 (lowest) .. 5.
int EngineThreadPriority(int32_t setting);

// ---- Record format.

struct RecordFormat {
  WaveFormat format{};
  uint32_t floatWidth = 0;  // the bits when float, else 0
};
// Tag 3 (IEEE float) when bitLen is negative, else PCM; more than 2 channels
// make the record extensible (the sub-format of its tag, all channel bits).
RecordFormat BuildRecordFormat(int32_t samplingFreq, int32_t bitLen, int32_t channels);

// ---- Failure texts.

// What PlayCommand does after a failed StartPlay with a message.
struct PlayFailure {
  std::string text;              // the box text; empty: nothing is shown
  bool analyzeFallback = false;  // start again without a device, in the analyze mode
};
// message: the engine's message (any length); shiftHeld: the Shift key at the
// press; autoOpenPrecPos: the AutoOpenPrecPosMode setting.
PlayFailure ComposePlayFailure(const std::string& message, bool shiftHeld, bool autoOpenPrecPos,
                               Language language);
std::string ComposeRecordFailure(const std::string& message, Language language);

// "%s\n\n%s\n\n(%s)": the open failure with the file name and the engine's message.
std::string ComposeOpenFailure(const std::string& fileName, const std::string& message,
                               Language language);

// ---- Enabled buttons.

enum class TransportState { NothingOpen, FileStopped, Playing, Paused, Recording };

enum TransportButton : uint32_t {
  kOpenButton = 1u << 0,
  kPlayButton = 1u << 1,
  kStopButton = 1u << 2,
  kPauseButton = 1u << 3,
  kRecButton = 1u << 4,
  kPositioningButton = 1u << 5,
  kOverlayButtons = 1u << 6,  // the overlay load and save buttons
};

// The buttons enabled in a state (a mask of TransportButton).
uint32_t EnabledButtons(TransportState state);

// The state from the engine's cells and whether a file is open for play.
TransportState StateOf(int32_t playState, int32_t recState, bool fileOpened);

}  // namespace ov
