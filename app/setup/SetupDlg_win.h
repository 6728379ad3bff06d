// TSetupDlg ("Orlavisonic - Setup"): the modeless dialog with five tab pages
// (Wave, Spectrum, FFT, Play/Rec, Misc) through which the user changes the
// settings while the program runs. Every control stores its setting in the
// host's SettingsValues at once and tells the host which part takes it over
// (SetupHost.h). "&Apply" closes the dialog and writes the settings file;
// "&Cancel" (or closing it otherwise) puts back the snapshot taken at show.
//
// One DIALOGEX template (app/resources/SetupDlg.rc) holds the tab control and
// the controls of every page; a page shows its own controls. Files:
// SetupDlg_win.cpp (show, hide, tabs, messages, common buttons),
// SetupWavePage_win.cpp, SetupSpectrumPage_win.cpp, SetupFftPage_win.cpp,
// SetupPlayRecPage_win.cpp, SetupMiscPage_win.cpp (each page's fill and
// handlers). The decisions live in the portable SetupLogic.h.
//
// Messages it takes (posted by the main window to hwnd()):
//   WM_MEASURE_MODE (32788, wParam 1 on / 0 off), WM_PLAYING_STATE (32789,
//   wParam 1 playing / 0 stopped), WM_RECORDING_STATE (32790, likewise).
// Message it posts to its owner: WM_TIMER_PERIOD (32798, wParam the display
//   period in ms) when the display period changes.
//
// Threads: main thread only. Lifetime: created hidden once with the main
// window (Create), shown and hidden many times, destroyed with its owner.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/common/WaveFormat.h"
#include "app/controls/Window_win.h"
#include "app/setup/SetupHost.h"
#include "app/setup/SetupLogic.h"

namespace ov {

class TSetupDlg : public Dialog {
 public:
  TSetupDlg(SetupHost& host, ProgramStarter& starter);
  ~TSetupDlg() override;

  // Creates the dialog hidden, owned by the main window.
  bool Create(HWND owner);
  // The setup button and Ctrl+T: place, snapshot, fill and show. Shift and
  // Ctrl held now (and the MME driver) show the record-monitor box.
  void ShowDialog();
  bool IsShown() const;
  // The two ways of closing, as the buttons do.
  void ApplyButtonClick();
  void CancelButtonClick();

  // Controls other windows run (the draw-type auto-set): each selects or
  // ticks the control and runs its handler. view 0 wave, 1 spectrum.
  void SetDrawType(int view, int32_t drawType);
  void SetVBlank(int view, bool on);
  void SetDispPeriodType(int32_t useTimer);
  void SetDispSleepPeriod(int32_t ms);
  void SetRecToFile(bool on);
  // A completed auto-set run keeps its choice: the snapshot taken at show
  // holds it too, so Cancel does not undo it.
  void KeepInSnapshot(int32_t waveDrawType, int32_t spectrumDrawType, bool waveCheckVBlank,
                      bool spectrumCheckVBlank);
  // The record format list's double click: rate and width indexes of the lists.
  void PickRecordFormat(int rateIndex, int widthIndex);

  // For tests and the host: the page shown (0 Wave .. 4 Misc).
  int CurrentPage() const { return page_; }
  const SetupFlags& Flags() const { return flags_; }

 protected:
  INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // Common (SetupDlg_win.cpp).
  void InitDialog();
  void SelectPage(int page);
  void ShowPage(int page);
  void FillAll();
  // The lists are filled at the first show; a setter used before it fills them.
  void FillWhenEmpty(int listId);
  void UpdateEnabling();
  void Command(UINT id, UINT code);
  void HelpButtonClick();
  void Hide(bool applied);
  void RestoreSnapshot();
  void ApplyEngineOptions();
  void Warn(const TwoLanguageText& text, const TwoLanguageText& caption,
            const std::string& argument = {});
  // Controls.
  HWND Item(int id) const { return GetDlgItem(hwnd(), id); }
  void SetCheck(int id, bool on);
  bool Checked(int id) const;
  void FillList(int id, const SetupList& list, int32_t value);
  void SelectValue(int id, const SetupList& list, int32_t value);
  // The value of the selected item; nullopt when no item is selected.
  std::optional<int32_t> ListValue(int id, const SetupList& list) const;
  std::string Text(int id) const;
  void SetText(int id, const std::string& utf8);
  void Enable(int id, bool on);

  // Pages.
  void FillWavePage();
  bool WaveCommand(UINT id, UINT code);
  void FillSpectrumPage();
  bool SpectrumCommand(UINT id, UINT code);
  void FreqRangeApplyButtonClick();
  void FillFftPage();
  bool FftCommand(UINT id, UINT code);
  void FillPlayRecPage();
  bool PlayRecCommand(UINT id, UINT code);
  void FillDeviceLists();
  void FillAsioChannels();
  void DriverComboBoxChange();
  void PanelButtonClick(bool input);
  void InfoButtonClick(bool input);
  void FormatListButtonClick(bool input);
  // The format the information text is prepared for: the play file's, or
  // the record format of the settings.
  WaveFormat InfoFormat(bool input);
  void VolumeCtrlButtonClick();
  void AsioDirectMonitorCheckBoxClick();
  void FillMiscPage();
  bool MiscCommand(UINT id, UINT code);
  void TimerCheckButtonClick();
  void DispPeriodChanged(int32_t ms);

  SetupHost& host_;
  ProgramStarter& starter_;
  HWND owner_ = nullptr;
  SetupFlags flags_;
  SettingsSnapshot snapshot_;
  bool applyPressed_ = false;
  bool placed_ = false;
  bool filling_ = false;
  bool playRecFilled_ = false;
  bool showRecMonitor_ = false;
  int page_ = 0;
};

}  // namespace ov
