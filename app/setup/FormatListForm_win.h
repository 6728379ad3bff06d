// TFormatListForm: the formats the current driver family accepts on one play
// or record device, probed when the window opens and shown cell by cell while
// the probe runs. A double click on a cell of the record window hands its rate
// and width to the owner.
//
// Threads: main thread only. The probe runs inside the window's own modal
// loop and processes messages after every cell, so "&Stop", Esc and closing
// act after the cell being tried.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/common/UserNotifier.h"
#include "app/controls/StringGrid_win.h"
#include "app/controls/Window_win.h"
#include "app/engine/FormatProbe.h"

namespace ov {

class WavePlayRec;

struct FormatListOptions {
  bool record = false;
  uint16_t extraChannels = 0;  // the record probe's channel count
  int32_t currentBits = 16;    // negative: float
  uint32_t currentRate = 44100;
  std::string deviceName;  // UTF-8
  int32_t deviceNumber = 0;
  Language language = Language::English;
};

class FormatListForm : public Window {
 public:
  FormatListForm(WavePlayRec& engine, const FormatListOptions& options);
  ~FormatListForm() override;

  // Record window: a double click on a cell (rate and width indexes of the
  // setup dialog's lists); the window closes after it.
  std::function<void(int rateIndex, int widthIndex)> OnPick;

  // Shows the window over `owner` (disabled meanwhile), probes once with
  // Shift = query only and Ctrl = all channels as held now, and returns when
  // the window is closed.
  void ShowModal(HWND owner);

  // The steps ShowModal is made of, for a host that runs its own loop.
  bool CreateForm(HWND owner);
  void RunProbe(bool queryOnly, bool allChannels);
  bool Closed() const { return closed_; }

  bool Probing() const { return probing_; }
  const FormatProbeTable& Table() const { return table_; }
  StringGrid& Grid() { return grid_; }
  HWND CloseButtonHandle() const { return closeButton_; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void Destroyed() override;

 private:
  void CloseButtonClick();
  void FormatListStringGridDblClick();
  bool PumpMessages();
  void WriteCell(int rateIndex, int widthIndex);
  void SetButtonText(const TwoLanguageText& text);

  WavePlayRec& engine_;
  FormatListOptions options_;
  StringGrid grid_;
  HWND nameText_ = nullptr, commentText_ = nullptr, closeButton_ = nullptr, owner_ = nullptr;
  HFONT font_ = nullptr;
  FormatProbeTable table_;
  int selRate_ = 0, selWidth_ = 0;
  bool probing_ = false, cancel_ = false, closeAfterProbe_ = false, closed_ = false;
};

}  // namespace ov
