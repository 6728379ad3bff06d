// The application's window messages: the numbers other windows, the engine and
// the second instance rely on. They are fixed; the static_asserts keep them so.
// Values are WM_APP (0x8000) plus an offset; wParam and lParam as given.
#pragma once

#include <cstdint>

namespace ov {

constexpr uint32_t kAppMessageBase = 0x8000;  // WM_APP

// Instance 1 -> instance 2 main window: wParam command 0..6, lParam argument.
constexpr uint32_t WM_INSTANCE_SYNC = kAppMessageBase + 10;
// Main window -> setup dialog: measure mode on (wParam 1) or off (0).
constexpr uint32_t WM_MEASURE_MODE = kAppMessageBase + 20;
// Main window -> setup dialog and play list window: wParam 1 playing, 0 stopped.
constexpr uint32_t WM_PLAYING_STATE = kAppMessageBase + 21;
// Main window -> setup dialog: wParam 1 recording, 0 stopped.
constexpr uint32_t WM_RECORDING_STATE = kAppMessageBase + 22;
// Setup dialog -> main window: multimedia timer period in ms (wParam; 0 means 1).
constexpr uint32_t WM_TIMER_PERIOD = kAppMessageBase + 30;
// Main window -> positioning window: new position after a seek while paused.
constexpr uint32_t WM_POSITION_SEEKED = kAppMessageBase + 40;
// Main window -> positioning window: a frame or snippet play has ended.
constexpr uint32_t WM_AUDITION_ENDED = kAppMessageBase + 41;
// Main window -> wave information window: wParam 1 opened file, 2 recording.
constexpr uint32_t WM_WAVE_INFO_CHANGED = kAppMessageBase + 90;
// Engine -> main window: play thread started / ended.
constexpr uint32_t WM_PLAY_BEGIN = kAppMessageBase + 100;
constexpr uint32_t WM_PLAY_END = kAppMessageBase + 101;
// Engine -> main window: snippet or frame play ended.
constexpr uint32_t WM_FRAME_PLAY_END = kAppMessageBase + 102;
// Engine -> main window: record thread started / ended.
constexpr uint32_t WM_REC_BEGIN = kAppMessageBase + 110;
constexpr uint32_t WM_REC_END = kAppMessageBase + 111;
// Engine -> main window: format text set; wParam 1 play format, 2 record format.
constexpr uint32_t WM_FORMAT_TEXT = kAppMessageBase + 120;

static_assert(WM_INSTANCE_SYNC == 32778, "the second instance listens on 32778");
static_assert(WM_MEASURE_MODE == 32788);
static_assert(WM_PLAYING_STATE == 32789);
static_assert(WM_RECORDING_STATE == 32790);
static_assert(WM_TIMER_PERIOD == 32798);
static_assert(WM_POSITION_SEEKED == 32808);
static_assert(WM_AUDITION_ENDED == 32809);
static_assert(WM_WAVE_INFO_CHANGED == 32858);
static_assert(WM_PLAY_BEGIN == 32868 && WM_PLAY_END == 32869);
static_assert(WM_FRAME_PLAY_END == 32870);
static_assert(WM_REC_BEGIN == 32878 && WM_REC_END == 32879);
static_assert(WM_FORMAT_TEXT == 32888);

// Commands of WM_INSTANCE_SYNC (wParam).
enum SyncCommand : uint32_t {
  kSyncPeerValue = 0,  // remember lParam
  kSyncPlay = 1,
  kSyncRecord = 2,
  kSyncPause = 3,  // lParam 0: remote trigger, -1: no position, else a position to seek to
  kSyncSeek = 4,   // lParam: position in samples
  kSyncStop = 5,
  kSyncStartTick = 6,  // lParam: the timeGetTime tick of the synchronised start
};

}  // namespace ov
