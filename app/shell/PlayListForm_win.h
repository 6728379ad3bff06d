// TPlayListForm: the play list window. It holds up to 99 wave files (the
// PlayList it owns), shows each one's title, time, format and silence, lets
// the user reorder, delete, add, drop, save and load them as M3U list files,
// and offers transport buttons that act on the list.
//
// A modeless dialog (template IDD_PLAY_LIST_FORM), created hidden at the main
// window's start and shown by Shift+Open.
//
// Threads and lifetimes: main thread only. The window and its list live as
// long as the main window; the host and the notifier outlive it. The engine
// reads the rows' PlayItem records on its play thread (through the main
// window's PlayListCursor) while the list plays: WM_PLAYING_STATE (32789,
// wParam 1) freezes the list, so nothing moves, removes or changes a row
// until the message with wParam 0 arrives; appending stays allowed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/common/UserNotifier.h"
#include "app/controls/SpeedButtonRepeat_win.h"
#include "app/controls/Window_win.h"
#include "app/wavefile/PlayList.h"

namespace ov {

// What the window needs of the main window (the transport).
class PlayListHost {
 public:
  virtual ~PlayListHost() = default;
  // Play from row: stop playing and recording, empty CurrentFileName, start
  // the cursor at row (PlayListBase), open the row's file and play.
  virtual void PlayFromRow(int row) = 0;
  virtual void StopCommand() = 0;
  // Seeks the file playing: to 0 (Previous) or by a step of seconds (rewind,
  // fast forward; negative backwards).
  virtual void SeekToStart() = 0;
  virtual void SeekBySeconds(int seconds) = 0;
  // The silence box changed: the settings value `Silence` of `PlayListWindow`.
  virtual void SilenceChanged(int seconds) { (void)seconds; }
  virtual void ShowHelp() {}
  // The main window's open button in screen coordinates, for the first
  // placement when nothing is stored; an empty rectangle when there is none.
  virtual RECT OpenButtonScreenRect() const { return RECT{0, 0, 0, 0}; }
  // Milliseconds of a steady clock (Previous's 500 ms window).
  virtual uint32_t NowMs() const { return GetTickCount(); }
};

// Settings section `PlayListWindow`: PosX, PosY, Width, Height (client size),
// all 0 when nothing is stored; Silence 0..99.
struct PlayListPlacement {
  int32_t x = 0, y = 0, width = 0, height = 0;
};

struct PlayListOptions {
  Language language = Language::English;
  PlayListPlacement placement;
  int silenceSeconds = 0;
  // FileFontName, FileFontCharset, FileFontSize for the grid; empty name keeps
  // the dialog's font.
  std::wstring fileFontName;
  int fileFontCharset = DEFAULT_CHARSET;
  int fileFontSize = 9;
  // File dialogs (tests replace them): the chosen names, empty on cancel.
  // Null uses the common dialogs.
  std::vector<std::string> (*openDialog)(HWND owner, const wchar_t* title, const wchar_t* filter,
                                         const wchar_t* defaultExt, bool multiple,
                                         const std::string& initial) = nullptr;
  std::string (*saveDialog)(HWND owner, const wchar_t* title, const wchar_t* filter,
                            const wchar_t* defaultExt, const std::string& initial) = nullptr;
};

class TPlayListForm : public Dialog {
 public:
  static constexpr int kClientWidth = 541;
  static constexpr int kDefaultClientHeight = 246;

  TPlayListForm(PlayListHost& host, UserNotifier& notifier, PlayListOptions options);
  ~TPlayListForm() override;

  bool CreateForm(HWND owner);
  void ShowForm();
  // Refused (false) while playing.
  bool HideForm();
  bool Visible() const { return hwnd() != nullptr && IsWindowVisible(hwnd()); }
  PlayListPlacement Placement() const { return placement_; }
  int SilenceSeconds() const;

  // The command line's several items: every ".WAV" path is appended, others
  // skipped; stops at the first failure (its box shown).
  void AddFiles(const std::vector<std::string>& paths);
  // Dropped files: ".WAV" files appended; the first other file is loaded as a
  // list file and ends the drop.
  void DropFiles(const std::vector<std::string>& paths);
  // Open of a list file (the dialog's choice, a drop).
  void LoadListFile(const std::string& name);
  // Save to name (asked before by the dialog).
  void SaveListFile(const std::string& name);

  // The rows the main window's cursor reads.
  const PlayList& List() const { return list_; }
  PlayList& List() { return list_; }
  const PlayItem* ItemAt(int row) const { return list_.ItemAt(row); }
  // The row being played; 0 does nothing.
  void SelectRow(int row);
  bool Playing() const { return playing_; }

  // ---- For tests.
  std::wstring CellText(int column, int row) const;  // row 0: header
  std::wstring TotalTimeText() const;
  HWND Control(int id) const { return GetDlgItem(hwnd(), id); }

  // The command handlers, named after their controls.
  void PlayButtonClick();
  void StopButtonClick();
  void PreviousButtonClick();
  void NextButtonClick();
  void UpButtonClick();
  void DownButtonClick();
  void DeleteButtonClick();
  void DeleteAllButtonClick();
  void AddButtonClick();
  void OpenButtonClick();
  void SaveButtonClick();
  void TitleCheckBoxClick();
  void GridDoubleClick(int row, int column);

 protected:
  INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void InitControls();
  void ApplyCaptions();
  void SetupGrid();
  void ShowAllRows();
  void UpdateTotal();
  void UpdateButtons();
  void SetPlaying(bool playing);
  void Layout(int clientHeight);
  void Command(UINT id, UINT code);
  bool AddOne(const std::string& path);
  void ShowMessage(const std::string& text);
  void WindButtonMouseDown(int direction);
  void BeginTitleEdit(int row);
  void EndTitleEdit(bool keep);

  PlayListHost& host_;
  UserNotifier& notifier_;
  PlayListOptions options_;
  PlayListPlacement placement_;
  PlayList list_;
  std::string listFileName_ = playlist_text::kDefaultListName;
  bool playing_ = false;
  bool shownOnce_ = false;
  bool titleMode_ = false;
  int windRepeats_ = 0;
  uint32_t lastWindMs_ = 0;
  int editRow_ = 0;
  HWND titleEdit_ = nullptr;
  HFONT gridFont_ = nullptr;
  TSpeedButtonRepeat rewind_, fastForward_;
};

}  // namespace ov
