// What the engine needs of the main window: its controls, its notifications,
// and a way to run a step on the main thread.
//
// Synchronous main-thread steps: a pump thread calls RunOnMainThread and waits
// until the main thread has run the step. The Windows implementation
// (MainThreadCaller_win.h) sends a private message to a message-only window
// created on the main thread (SendMessageW), so the step runs whenever the main
// thread handles messages: in its message loop or inside the engine's own
// waits (Stop, ResumeDevices, ...), which call ProcessMessages between short
// sleeps. On the main thread itself RunOnMainThread runs the step at once.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/wavefile/WaveFileRecords.h"

namespace ov {

enum class EngineButton { Play, Stop, Pause, Rec };
enum class EngineLabel {
  Position,  // Label1: play position or record time
  Length,    // Label2: file length or recordable time
  Format,    // WaveInfoStaticText: the format text
};

// Colours of the position label (0x00BBGGRR, or a system colour with high byte 0xFF).
constexpr uint32_t kRecLabelColour = 255;            // red while recording
constexpr uint32_t kButtonFaceColour = 0xFF00000Fu;  // the system's button face

struct TrackBarSetup {
  bool enabled = false;
  int32_t maximum = 120;
  int32_t frequency = 60;
  int32_t lineSize = 1;
  int32_t pageSize = 1;
  int32_t position = 0;
};

// Which thread calls what. The host lives longer than the engine.
class EngineHost {
 public:
  virtual ~EngineHost() = default;

  // Called on the pump threads: runs step(arg) on the main thread and returns
  // when it has run. Called on the main thread: runs it at once.
  virtual void RunOnMainThread(void (*step)(void*), void* arg) = 0;
  // Main thread, inside the engine's waits: handles pending window messages
  // and pending steps (see WavePlayRec: Re-entrancy).
  virtual void ProcessMessages() = 0;
  // Any thread (main, pumps, frame play): posts a notification (WM_PLAY_BEGIN
  // ...) to the owner window; never blocks.
  virtual void PostNotification(uint32_t message, uintptr_t wParam) = 0;
  // Main thread: shows a run's failure ("Stopped! \n\n%s") captioned with the
  // application title, warning icon, owned by the main window. A modal box
  // handles messages while it is shown: the same rules as inside the waits.
  virtual void ShowStopped(const std::string& text) = 0;

  // The main window (a Windows HWND) for the sound families that tie their
  // devices to a window; null where there is none.
  virtual void* OwnerWindow() const { return nullptr; }

  // The main window's controls, main thread only (the pumps reach them through
  // their main-thread steps); a window without one of them keeps the default.
  virtual void EnableButton(EngineButton, bool) {}
  virtual bool IsButtonEnabled(EngineButton) const { return false; }
  virtual void SetButtonDown(EngineButton, bool) {}
  virtual void SetLabelText(EngineLabel, const std::string&) {}
  virtual void SetPositionLabelColour(uint32_t) {}
  // The position bar; the window ignores its own change handler meanwhile.
  virtual void SetTrackBar(const TrackBarSetup&) {}
  virtual void SetTrackBarPosition(int32_t) {}
};

// The main window's callbacks; an empty one counts as not assigned. None of
// them may call an engine command (the engine is inside a command, a wait or a
// pump step when it calls them); reading positions, states and texts is fine.
struct EngineCallbacks {
  // Record thread, for every completed record buffer that goes to the monitor;
  // returns the bytes to use (at most `bytes`; more is cut to `bytes`).
  std::function<uint32_t(uint32_t bytes, uint8_t* buffer)> OnRecordedData;
  // Main thread, after every play / record position update.
  std::function<void()> OnPlayPosition;
  std::function<void()> OnRecPosition;
  // The synchronised-start gate, called on the play or record thread right
  // before a device starts; true when synchronisation took place.
  std::function<bool(bool isRec)> OnSyncStart;
  // Play or record thread: starts (true) or parks (false) the display.
  std::function<bool(bool run)> OnDisplayRun;
  // With peekNext the next play-list item (not advancing): called on the play
  // thread while it reads, or on the main thread (a seek while paused, the end
  // of a run). Without peekNext, main thread: the caption update for the item
  // that became current. A returned item (and the item given to OpenPlay) is
  // kept by the engine: it must stay valid and unchanged until the next
  // OpenPlay or the engine's destruction, whichever comes first; a play list
  // that removes rows keeps their items until then.
  std::function<const PlayItem*(bool peekNext)> OnPlayListCursor;
  // Play thread: applied to every block read from the file; returns the bytes
  // to use (at most `bytes`; more is cut to `bytes`).
  std::function<uint32_t(uint8_t* data, uint32_t bytes)> OnPlayDataRead;
};

}  // namespace ov
