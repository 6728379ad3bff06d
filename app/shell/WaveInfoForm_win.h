// TWaveInfoForm: the wave file information window. The chunk tree of the
// opened (or just recorded) file, the name, offset and size of the selected
// node, its hex and text dump (Memo1), its decoded view or the file summary
// (Memo2), and the format, sample count and duration of the file. A modeless,
// resizable dialog from the template IDD_WAVE_INFO_FORM; every text comes from
// WaveInfoText, built from the window's own copy of the chunk table.
//
// Threads: main thread only. The copy is taken on the main thread from the
// table the source publishes whole, so a re-parse on a pump thread (gapless
// continuation, the end of a recording) never frees what the window shows.
// Lifetime: the source is borrowed and must outlive the window; the main
// window creates the form at start (CreateForm) and destroys it with its
// other secondary windows.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/controls/Window_win.h"
#include "app/shell/SettingsValues.h"
#include "app/wavefile/WaveInfoText.h"

namespace ov {

// What the window reads on a rebuild. Main thread.
class WaveInfoSource {
 public:
  virtual ~WaveInfoSource() = default;
  // Source 1: the main window's current file name; source 2: the engine's
  // recording file name while it records to a file. UTF-8; "" when none.
  virtual std::string FileName(int source) = 0;
  // The chunk table of that source as the engine last published it whole;
  // borrowed only for the copy the window takes at once. Null when none.
  virtual const ChunkTable* PublishedChunkTable(int source) = 0;
};

class WaveInfoForm : public Dialog {
 public:
  static constexpr const wchar_t kCaption[] = L"Orlavisonic - Wave file Info.";

  explicit WaveInfoForm(WaveInfoSource& source) : source_(source) {}

  // Creates the window hidden, owned by owner. language chooses the close
  // button's text, the first character code (S-JIS in Japanese mode, ASCII
  // in English) and the notes; englishFont (may be null) is the main
  // window's font, taken in English mode.
  bool CreateForm(HWND owner, Language language, HFONT englishFont = nullptr);

  // Shows the window: at the stored bounds (centred on the screen the first
  // time when none are stored), moved inside the work area, rebuilt and
  // focused. The main window calls it on a right press on
  // WaveInfoStaticText; the setup dialog's DispWaveInfoFormButton too.
  void ShowForm();
  void HideForm();

  // Bounds of section WaveInfoWindow: read at start, written on hide (and
  // fetched by the main window before the settings are saved).
  void SetStoredBounds(const StoredBounds& bounds) { bounds_ = bounds; }
  StoredBounds GetStoredBounds() const;

  // The user's thousands separator (GetLocaleInfo LOCALE_STHOUSAND); "," by
  // default. Takes effect at the next rebuild.
  void SetThousandsSeparator(const std::string& separator) {
    options_.thousandsSeparator = separator;
  }

  // WM_WAVE_INFO_CHANGED (32858) posted to hwnd() does this too: store the
  // source (1 opened file, 2 recording) and rebuild.
  void FileInfoChanged(int source);

  // State and controls, for tests.
  int Source() const { return source_number_; }
  int32_t SelectedNode() const { return selected_; }
  const ChunkTable* Table() const { return table_.get(); }
  HWND Control(int id) const { return GetDlgItem(hwnd(), id); }
  void SelectNode(int32_t node);
  void SetCharCode(CharCode code);

 protected:
  INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void FormCreate();
  void Rebuild();
  void ClearFields();
  void ShowNode(int32_t node);
  void ChunkTreeViewChange(LPARAM itemParam);
  void CharCodeComboBoxChange();
  void CloseButtonClick();
  void FormResize(int width, int height);
  void SetText(int id, const std::string& bytes, TextEncoding encoding);

  WaveInfoSource& source_;
  int source_number_ = 0;
  std::unique_ptr<ChunkTable> table_;
  WaveInfoOptions options_;
  int32_t selected_ = -1;
  StoredBounds bounds_;
  bool shownOnce_ = false;
  bool rebuilding_ = false;
  HFONT fixedFont_ = nullptr;
  HFONT englishFont_ = nullptr;
  POINT minTrack_{};
};

}  // namespace ov
