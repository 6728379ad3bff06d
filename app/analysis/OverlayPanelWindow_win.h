// The overlay part of the measure panel: for each of the two overlays a show
// button ("OVL1" / "OVL2", pushed while the overlay is drawn), a capture
// button, the comment edit, a Load ("L") and a Save ("S") button, and the
// progress bar that takes the comment edit's place while a file is read or
// written. A child window made in code; OverlayPanel (portable) decides what
// each control does, this window turns control events into its calls and
// mirrors its flags in the buttons.
//
// Threads: main thread only, like the analysis state it changes.
// Lifetime: the analysis, host, notifier, files and chooser are borrowed and
// must outlive the window object; the main window creates the panel after
// its own window and destroys it before the analysis buffers.
#pragma once

#include <windows.h>

#include <string>

#include "app/analysis/FrameAnalysis.h"
#include "app/analysis/OverlayPanel.h"
#include "app/analysis/OverlayStorage.h"
#include "app/common/UserNotifier.h"
#include "app/controls/Window_win.h"

namespace ov {

// What the panel needs from the main window. Main thread.
class OverlayPanelHost {
 public:
  virtual ~OverlayPanelHost() = default;
  // The keyboard focus moves to FftInfoStaticText (when it is showing), as
  // every measure-panel control does first, so no button keeps the focus.
  virtual void FocusFftInfo() = 0;
  // A comment edit took (false) or lost (true) the focus: the main window's
  // key preview goes off while typing so keys reach the edit.
  virtual void SetKeyPreview(bool on) = 0;
  // The overlays changed (shown, captured, loaded): repaint the spectrum
  // area; layoutChanged asks for the layout to be recomputed as well (an
  // overlay's points are stale).
  virtual void OverlaysChanged(bool layoutChanged) = 0;
  // The last-used file folder (settings File/Dir, UTF-8), shared with the
  // wave file dialogs.
  virtual std::string LastDirectory() = 0;
  virtual void SetLastDirectory(const std::string& folder) = 0;
};

// One file dialog request.
struct OverlayDialogRequest {
  bool save = false;
  int which = 1;  // the overlay, 1 or 2
  Language language = Language::English;
  std::string initialDir;  // UTF-8
  std::string fileName;    // save: the proposed name
};

// The file dialogs: the system's common dialogs, or a test double.
class OverlayFileChooser {
 public:
  virtual ~OverlayFileChooser() = default;
  // The chosen path (UTF-8) or false when cancelled.
  virtual bool Choose(HWND owner, const OverlayDialogRequest& request, std::string& path) = 0;
};

// The common open and save dialogs with the overlay titles and filters.
OverlayFileChooser& SystemOverlayFileChooser();

class OverlayPanelWindow : public Window {
 public:
  // The panel's size in pixels: two rows, one per overlay.
  static constexpr int kWidth = 268;
  static constexpr int kHeight = 48;

  OverlayPanelWindow(FrameAnalysis& analysis, OverlayPanelHost& host, UserNotifier& notifier,
                     TextFiles& files = SystemTextFiles(),
                     OverlayFileChooser& chooser = SystemOverlayFileChooser());

  // Creates the panel as a visible child of parent at (x, y).
  bool CreatePanel(HWND parent, int x, int y);

  // Mirrors the analysis' overlay flags and frameValid in the buttons. The
  // main window calls it after anything else changed them: ResetSpectrumState,
  // the Peak button and the average count, and the transport (frameValid).
  void SyncButtons();
  // Hints and texts in the language; the dialog texts follow it too.
  void SetLanguage(Language language);
  // Caption colours of the show buttons (OVL1Color, OVL2Color; COLORREF).
  void SetShowButtonColours(COLORREF overlay1, COLORREF overlay2);

  // The controls' actions, for the keyboard shortcuts (Shift+1 / Shift+2 /
  // Shift+C / Shift+L / Shift+S in measure mode). Each does nothing while its
  // button is disabled.
  void ToggleShow(int which);
  void Capture(int which);
  void Load(int which);
  void Save(int which);

  // A comment edit has the keyboard focus (Space then types a blank).
  bool CommentHasFocus() const;
  // The overlay's comment edit text (UTF-8).
  std::string Comment(int which) const;

  OverlayPanel& Logic() { return panel_; }
  // Child controls, for tests.
  HWND ShowButton(int which) const { return controls_[which - 1].show; }
  HWND CaptureButton(int which) const { return controls_[which - 1].capture; }
  HWND CommentEdit(int which) const { return controls_[which - 1].edit; }
  HWND LoadButton(int which) const { return controls_[which - 1].load; }
  HWND SaveButton(int which) const { return controls_[which - 1].save; }
  HWND ProgressBar() const { return progress_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  struct Controls {
    HWND show = nullptr, capture = nullptr, edit = nullptr, load = nullptr, save = nullptr;
  };
  static LRESULT CALLBACK ControlProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  void CreateControls();
  void Command(UINT id, UINT code, HWND control);
  void SpectrumOVLonSpeedButtonMouseDown(int which);
  void SpectrumOVLCaptureSpeedButtonMouseDown(int which);
  void SpectrumOVLEditChange(int which);
  void SpectrumOVLLoadSpeedButtonClick(int which);
  void SpectrumOVLSaveSpeedButtonClick(int which);
  bool LoadOverlay(int which);
  bool SaveOverlay(int which);
  void ShowProgress(int which, bool on);
  void SetComment(int which, const std::string& utf8);
  void Notify(const std::string& message);
  LRESULT DrawButton(const DRAWITEMSTRUCT& item);
  void ApplyHints();

  FrameAnalysis& analysis_;
  OverlayPanelHost& host_;
  UserNotifier& notifier_;
  TextFiles& files_;
  OverlayFileChooser& chooser_;
  OverlayPanel panel_;
  Language language_ = Language::English;
  Controls controls_[2];
  HWND progress_ = nullptr;
  HWND tooltip_ = nullptr;
  HFONT font_ = nullptr;
  COLORREF showColour_[2] = {RGB(0, 0, 0), RGB(0, 0, 0)};
};

}  // namespace ov
