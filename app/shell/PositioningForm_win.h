// TPositioningForm: the precise positioning window. While a file plays paused
// (the analyze mode) it shows the position and the length in samples and as
// time, moves the position by a chosen number of samples or seconds, plays one
// display frame or 100 ms at the position, and keeps up to 100 markers that it
// writes into the open file through WavePlayRec::WriteMarkers.
//
// A modeless dialog (template IDD_POSITIONING_FORM), created hidden at the
// main window's start and shown and hidden with its toggle button.
//
// Threads and lifetimes: main thread only. The engine, the host and the
// notifier outlive the window. Every move goes through the host's
// SeekCommand; the main window answers with WM_POSITION_SEEKED (32808, lParam
// the position) while paused and forwards the engine's WM_FRAME_PLAY_END as
// WM_AUDITION_ENDED (32809), both posted to hwnd().
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/common/UserNotifier.h"
#include "app/controls/SpeedButtonRepeat_win.h"
#include "app/controls/Window_win.h"
#include "app/engine/WavePlayRec.h"
#include "app/wavefile/MarkerList.h"
#include "app/wavefile/PositioningTexts.h"

namespace ov {

// What the window needs of the main window (the transport).
class PositioningHost {
 public:
  virtual ~PositioningHost() = default;
  // The transport's SeekCommand: clamps to the file, redraws the paused frame
  // and posts WM_POSITION_SEEKED to the window while paused.
  virtual void SeekCommand(uint64_t samples, bool force) = 0;
  // The analyze mode runs without an output device (nothing can be heard).
  virtual bool AnalyzeWithoutDevice() const = 0;
  // The output device number the transport plays to, and the display frame
  // length in samples (the FFT size) for the one-frame play.
  virtual int32_t PlayDeviceNumber() const = 0;
  virtual uint32_t FrameLengthSamples() const = 0;
  // The single-line edit dialog (TEditForm) at screen point `at`; true on OK
  // with *text replaced.
  virtual bool EditText(HWND owner, const std::wstring& caption, POINT at, std::wstring* text) = 0;
  // F1.
  virtual void ShowHelp() {}
  // The main window's track bar in screen coordinates, for the first
  // placement when nothing is stored; an empty rectangle when there is none.
  virtual RECT TrackBarScreenRect() const { return RECT{0, 0, 0, 0}; }
};

// Settings section `PositioningWindow`: PosX, PosY, Width, Height (client
// size); all 0 when nothing is stored.
struct PositioningPlacement {
  int32_t x = 0, y = 0, width = 0, height = 0;
};

struct PositioningOptions {
  Language language = Language::English;  // English captions when English
  PositioningPlacement placement;
  std::wstring fontName;  // the main window's font; empty keeps the template's
};

class TPositioningForm : public Dialog {
 public:
  static constexpr int kClientWidth = 293;
  static constexpr int kDefaultClientHeight = 152;

  TPositioningForm(WavePlayRec& engine, PositioningHost& host, UserNotifier& notifier,
                   PositioningOptions options);
  ~TPositioningForm() override;

  // Creates the window hidden and loads the markers once.
  bool CreateForm(HWND owner);
  // Show: places the window (first time from the placement), updates the
  // length, seeks to the position actually played, enables the play controls
  // and clears busy. Hide stores the placement.
  void ShowForm();
  void HideForm();
  bool Visible() const { return hwnd() != nullptr && IsWindowVisible(hwnd()); }
  PositioningPlacement Placement() const { return placement_; }

  // Fills the grid from the engine's marker table; clears dirty. After a file
  // is opened and when the play list moves to the next file.
  void LoadMarkers();

  // ---- For tests and the help text of the main window.
  const MarkerList& Markers() const { return markers_; }
  bool Busy() const { return busy_; }
  int SelectedRow() const { return selectedRow_; }
  void SelectRow(int row);
  std::wstring PositionText() const;                 // the two position labels, "samples time"
  std::wstring CellText(int column, int row) const;  // row 0: header
  HWND Control(int id) const { return GetDlgItem(hwnd(), id); }

  // The command handlers, named after their controls.
  void BackwardButtonMouseDown(bool shift);
  void ForwardButtonMouseDown(bool shift);
  void TopButtonMouseDown();
  void EndButtonMouseDown();
  void PlayFrameButtonClick();
  void AddButtonClick();
  void DeleteButtonClick(bool shift);
  void RenameButtonClick();
  void ShowUtf8CheckBoxClick();
  void WriteButtonClick();
  void GridDoubleClick(int row);

 protected:
  INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void InitControls();
  void ApplyCaptions();
  void SetupGrid();
  void ShowRow(int row);
  void ShowAllRows();
  void UpdatePosition(uint64_t position);
  void UpdateLength();
  void UpdateButtons();
  void PlayAfterMove();
  bool MoveAmountFor(bool shift, uint64_t* amount) const;
  void Layout(int clientHeight);
  bool HandleKey(WPARAM key);
  std::wstring LabelShown(const MarkerRow& row) const;
  void Command(UINT id, UINT code);
  // The control's hint (a tooltip), added or replaced.
  void SetHint(int id, const std::string& text);

  WavePlayRec& engine_;
  PositioningHost& host_;
  UserNotifier& notifier_;
  PositioningOptions options_;
  PositioningPlacement placement_;
  MarkerList markers_;
  bool busy_ = false;
  bool showUtf8_ = true;
  bool shownOnce_ = false;
  int selectedRow_ = 0;
  HFONT font_ = nullptr;
  HWND hints_ = nullptr;
  TSpeedButtonRepeat backward_, forward_, top_, end_;
};

}  // namespace ov
