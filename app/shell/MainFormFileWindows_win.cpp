// TMainForm: the windows that work on the open file and the play list — the
// precise positioning window, the play list window, the wave file information
// window and the single-line edit dialog. They are made hidden after the
// setup dialog and attached to the main window's lines, so the transport's
// calls (Shift+Open, Shift+O, the pause and stop handling, the forwarded
// engine messages) reach them; their hosts are answered here.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "app/analysis/FrameAnalysis.h"
#include "app/common/AppMessages.h"
#include "app/common/Utf8.h"
#include "app/display/Display_win.h"
#include "app/engine/WavePlayRec.h"
#include "app/resources/ResourceIds.h"
#include "app/shell/CommandLine.h"
#include "app/shell/EditForm_win.h"
#include "app/shell/InstanceNames.h"
#include "app/shell/MainForm_win.h"
#include "app/shell/PlayListForm_win.h"
#include "app/shell/PositioningForm_win.h"
#include "app/shell/SettingsFile.h"
#include "app/shell/WaveInfoForm_win.h"
#include "app/wavefile/PlayListCursor.h"
#include "app/wavefile/WaveInfoText.h"

namespace ov {

namespace {

std::wstring Wide(const std::string& utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

std::string Narrow(const std::wstring& wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

RECT ScreenRectOf(HWND control) {
  RECT r{0, 0, 0, 0};
  if (control != nullptr) GetWindowRect(control, &r);
  return r;
}

// The user's thousands separator for the wave information texts.
std::string UserThousandsSeparator() {
  wchar_t sep[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, sep, 8) <= 0) return ",";
  return Narrow(sep);
}

// A right press on the format text (WaveInfoStaticText) shows the window.
LRESULT CALLBACK WaveInfoTextProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR show) {
  if (msg == WM_RBUTTONDOWN) {
    reinterpret_cast<SecondaryWindow*>(show)->Show();
    return 0;
  }
  return DefSubclassProc(h, msg, wParam, lParam);
}

}  // namespace

// The windows and their hosts. Main thread only, except the engine's peek at
// the next play-list item (play thread, while the list is frozen).
class TMainForm::FileWindows : public PositioningHost, public PlayListHost, public WaveInfoSource {
 public:
  explicit FileWindows(TMainForm& main) : m_(main) {}

  bool Create();
  void Destroy();

  // ---- PositioningHost.
  void SeekCommand(uint64_t samples, bool force) override;
  bool AnalyzeWithoutDevice() const override { return m_.analyzeWithoutDevice_; }
  int32_t PlayDeviceNumber() const override {
    return m_.settings_->values().Conditions.PlayDeviceNum;
  }
  uint32_t FrameLengthSamples() const override {
    return m_.analysis_ && m_.analysis_->N > 0 ? static_cast<uint32_t>(m_.analysis_->N) : 4096;
  }
  bool EditText(HWND owner, const std::wstring& caption, POINT at, std::wstring* text) override {
    return edit_.Edit(owner, caption, at, text);
  }
  RECT TrackBarScreenRect() const override { return ScreenRectOf(m_.trackBar_); }

  // ---- PlayListHost.
  void PlayFromRow(int row) override;
  void StopCommand() override { m_.StopButtonClick(); }
  void SeekToStart() override { m_.SeekCommand(0, false); }
  void SeekBySeconds(int seconds) override;
  void SilenceChanged(int seconds) override {
    m_.settings_->values().PlayListWindow.Silence = seconds;
  }
  RECT OpenButtonScreenRect() const override { return ScreenRectOf(m_.openButton_); }

  // Both hosts' F1.
  void ShowHelp() override { m_.ShowHelp(IDH_MAIN_WINDOW); }

  // ---- WaveInfoSource.
  std::string FileName(int source) override;
  const ChunkTable* PublishedChunkTable(int source) override;

  // ---- The main window's side.
  const PlayItem* CursorAnswer(bool peekNext);
  bool AddCommandLineItems(const std::vector<std::string>& items);

 private:
  // The lines' actions: each window's own show and hide.
  struct PositioningActions : SecondaryWindowActions {
    explicit PositioningActions(FileWindows& w) : w(w) {}
    void Show() override { w.positioning_->ShowForm(); }
    void Hide() override;
    void ShowButtonAndClick() override;
    void Refresh() override { w.positioning_->LoadMarkers(); }
    FileWindows& w;
  };
  struct PlayListActions : SecondaryWindowActions {
    explicit PlayListActions(FileWindows& w) : w(w) {}
    void Show() override { w.playList_->ShowForm(); }
    void Hide() override { w.playList_->HideForm(); }
    FileWindows& w;
  };
  struct WaveInfoActions : SecondaryWindowActions {
    explicit WaveInfoActions(FileWindows& w) : w(w) {}
    void Show() override { w.waveInfo_->ShowForm(); }
    void Hide() override { w.waveInfo_->HideForm(); }
    FileWindows& w;
  };

  void SetFileCaption(const std::string& file);
  // The item that became current: the main window's format and views follow.
  void ItemBecameCurrent(const PlayItem& item);

  TMainForm& m_;
  TEditForm edit_;
  std::unique_ptr<TPositioningForm> positioning_;
  std::unique_ptr<TPlayListForm> playList_;
  std::unique_ptr<WaveInfoForm> waveInfo_;
  // The wave information window's last copy of the engine's chunk table.
  std::unique_ptr<ChunkTable> chunksShown_;
  std::unique_ptr<PlayListCursor> cursor_;
  PositioningActions positioningActions_{*this};
  PlayListActions playListActions_{*this};
  WaveInfoActions waveInfoActions_{*this};
};

void TMainForm::FileWindowsDeleter::operator()(FileWindows* w) const {
  delete w;
}

bool TMainForm::FileWindows::Create() {
  SettingsValues& v = m_.settings_->values();
  const Language language = m_.language_;
  std::wstring mainFontName;
  if (m_.guiFont_ != nullptr) {
    LOGFONTW lf{};
    if (GetObjectW(m_.guiFont_, sizeof lf, &lf) > 0) mainFontName = lf.lfFaceName;
  }

  PositioningOptions po;
  po.language = language;
  po.placement = {v.PositioningWindow.PosX, v.PositioningWindow.PosY, v.PositioningWindow.Width,
                  v.PositioningWindow.Height};
  po.fontName = mainFontName;
  positioning_ = std::make_unique<TPositioningForm>(*m_.engine_, *this, m_.notifier_, po);
  if (positioning_->CreateForm(m_.hwnd()))
    m_.positioningWindow_.Attach(positioning_->hwnd(), &positioningActions_);
  else
    positioning_.reset();

  PlayListOptions plo;
  plo.language = language;
  plo.placement = {v.PlayListWindow.PosX, v.PlayListWindow.PosY, v.PlayListWindow.Width,
                   v.PlayListWindow.Height};
  plo.silenceSeconds = std::clamp(v.PlayListWindow.Silence, 0, 99);
  if (language == Language::English) {
    plo.fileFontName = Wide(v.Special.FileFontName);
    plo.fileFontCharset = v.Special.FileFontCharset;
    plo.fileFontSize = v.Special.FileFontSize;
  }
  playList_ = std::make_unique<TPlayListForm>(*this, m_.notifier_, plo);
  if (playList_->CreateForm(m_.hwnd())) {
    m_.playListWindow_.Attach(playList_->hwnd(), &playListActions_);
    cursor_ = std::make_unique<PlayListCursor>(playList_->List());
  } else {
    playList_.reset();
  }

  waveInfo_ = std::make_unique<WaveInfoForm>(*this);
  if (waveInfo_->CreateForm(m_.hwnd(), language, m_.guiFont_)) {
    waveInfo_->SetStoredBounds(v.WaveInfoWindow);
    waveInfo_->SetThousandsSeparator(UserThousandsSeparator());
    m_.waveInfoWindow_.Attach(waveInfo_->hwnd(), &waveInfoActions_);
    SetWindowSubclass(m_.waveInfoText_, WaveInfoTextProc, 1,
                      reinterpret_cast<DWORD_PTR>(&m_.waveInfoWindow_));
  } else {
    waveInfo_.reset();
  }

  // The positioning button (when the top panel has one) starts as stored.
  if (HWND button = GetDlgItem(m_.hwnd(), IDC_MAIN_POSITIONING_BUTTON))
    SendMessageW(button, BM_SETCHECK, v.PositioningWindow.Visible ? BST_CHECKED : BST_UNCHECKED, 0);
  return true;
}

void TMainForm::FileWindows::Destroy() {
  SettingsValues& v = m_.settings_->values();
  if (m_.waveInfoText_ != nullptr) RemoveWindowSubclass(m_.waveInfoText_, WaveInfoTextProc, 1);
  m_.positioningWindow_.Attach(nullptr);
  m_.playListWindow_.Attach(nullptr);
  m_.waveInfoWindow_.Attach(nullptr);
  // The bounds of the windows still showing are taken as they are now.
  if (positioning_) {
    positioning_->HideForm();
    const PositioningPlacement p = positioning_->Placement();
    v.PositioningWindow.PosX = p.x;
    v.PositioningWindow.PosY = p.y;
    v.PositioningWindow.Width = p.width;
    v.PositioningWindow.Height = p.height;
  }
  if (playList_) {
    // Nothing plays any more: the window may hide and store its bounds.
    SendMessageW(playList_->hwnd(), WM_PLAYING_STATE, 0, 0);
    playList_->HideForm();
    const PlayListPlacement p = playList_->Placement();
    v.PlayListWindow.PosX = p.x;
    v.PlayListWindow.PosY = p.y;
    v.PlayListWindow.Width = p.width;
    v.PlayListWindow.Height = p.height;
  }
  if (waveInfo_) {
    waveInfo_->HideForm();
    static_cast<StoredBounds&>(v.WaveInfoWindow) = waveInfo_->GetStoredBounds();
  }
  cursor_.reset();
  waveInfo_.reset();
  playList_.reset();
  positioning_.reset();
}

// ---- Positioning

void TMainForm::FileWindows::SeekCommand(uint64_t samples, bool force) {
  if (!m_.engine_) return;
  // A forced seek to where the paused engine already stands (the window's
  // show, the play at the position) only refreshes the labels: re-reading
  // the ring there changes nothing heard or shown.
  if (force && m_.playState_.load() == kPlayPaused && samples == m_.engine_->GetPosition()) {
    m_.positioningWindow_.Post(WM_POSITION_SEEKED, 0, static_cast<LPARAM>(samples));
    return;
  }
  const uint64_t max = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  m_.SeekCommand(static_cast<int64_t>(std::min(samples, max)), force);
}

void TMainForm::FileWindows::PositioningActions::ShowButtonAndClick() {
  // The window follows the top panel's toggle button; without one it shows.
  HWND button = GetDlgItem(w.m_.hwnd(), IDC_MAIN_POSITIONING_BUTTON);
  if (button != nullptr) ShowWindow(button, SW_SHOW);
  const bool down = button == nullptr || SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
  if (button != nullptr) w.m_.settings_->values().PositioningWindow.Visible = down;
  if (down) {
    // Showing seeks to the position played and redraws that frame on this
    // thread: the display thread is paused first.
    if (w.m_.display_ && w.m_.playState_.load() == kPlayPaused) w.m_.display_->SetPaused(true);
    w.positioning_->ShowForm();
  } else {
    w.positioning_->HideForm();
  }
}

void TMainForm::FileWindows::PositioningActions::Hide() {
  w.positioning_->HideForm();
  if (HWND button = GetDlgItem(w.m_.hwnd(), IDC_MAIN_POSITIONING_BUTTON))
    ShowWindow(button, SW_HIDE);
}

// ---- Play list

void TMainForm::FileWindows::PlayFromRow(int row) {
  if (!playList_ || !cursor_ || !m_.engine_) return;
  m_.StopIfRunning();
  // The list is not frozen yet when nothing plays; the row read here stays
  // put until play ends.
  const PlayItem* item = playList_->ItemAt(row);
  if (item == nullptr) return;
  m_.playList_.Clear();
  cursor_->Start(row);
  playList_->SelectRow(row);
  m_.OpenAndPlay(item->fileName, item);
  if (m_.fileOpen_) SetFileCaption(item->fileName);
  // Frozen at once: the play thread reads the rows from now on.
  if (m_.playState_.load() != kPlayStopped) SendMessageW(playList_->hwnd(), WM_PLAYING_STATE, 1, 0);
}

void TMainForm::FileWindows::SeekBySeconds(int seconds) {
  if (!m_.engine_) return;
  uint32_t floatWidth = 0;
  const int64_t rate = m_.engine_->GetFormat(&floatWidth).samplesPerSec;
  const int64_t now = static_cast<int64_t>(m_.engine_->GetPosition());
  m_.SeekCommand(std::max<int64_t>(0, now + int64_t{seconds} * rate), false);
}

void TMainForm::FileWindows::SetFileCaption(const std::string& file) {
  const std::string caption = MainCaption(m_.instanceNumber_) + " - " + file;
  SetWindowTextW(m_.hwnd(), Wide(caption).c_str());
}

void TMainForm::FileWindows::ItemBecameCurrent(const PlayItem& item) {
  SetFileCaption(item.fileName);
  if (playList_) playList_->SelectRow(cursor_->Current());
  FrameAnalysis& a = *m_.analysis_;
  const bool sameFormat = std::memcmp(&a.Format, &item.format, sizeof item.format) == 0 &&
                          a.FormatIsFloat == item.floatWidth;
  if (!sameFormat) {
    // The display thread reads the format buffers: parked meanwhile.
    const bool running = m_.display_ && m_.display_->Thread().Active();
    if (running) m_.display_->SetDisplayRunning(false);
    a.Format = item.format;
    a.FormatIsFloat = item.floatWidth;
    a.PrepareFormatBuffers();
    a.ResetAnalysisData(false);
    if (running) m_.display_->SetDisplayRunning(true);
  }
  m_.positioningWindow_.Refresh();
}

const PlayItem* TMainForm::FileWindows::CursorAnswer(bool peekNext) {
  // A single file: its name titles the window once it is open and idle.
  if (!m_.currentFileName_.empty() || !cursor_ || !cursor_->Active()) {
    if (!peekNext && !m_.currentFileName_.empty() && m_.playState_.load() == kPlayStopped &&
        m_.recState_.load() == kRecStopped)
      SetFileCaption(m_.currentFileName_);
    return nullptr;
  }
  const bool playing = m_.playState_.load() != kPlayStopped;
  const PlayItem* moved = cursor_->Answer(peekNext, playing);
  if (peekNext) return moved;
  if (moved != nullptr) ItemBecameCurrent(*moved);
  return moved;
}

bool TMainForm::FileWindows::AddCommandLineItems(const std::vector<std::string>& items) {
  if (!playList_ || !cursor_) return false;
  std::vector<std::string> paths;
  for (const std::string& item : items) {
    const std::string path = ResolveSingleItem(item, m_.programFolder_);
    if (!path.empty()) paths.push_back(path);
  }
  m_.StopIfRunning();
  // Playing has ended: the list may change again.
  SendMessageW(playList_->hwnd(), WM_PLAYING_STATE, 0, 0);
  const int first = playList_->List().Count() + 1;
  playList_->AddFiles(paths);
  playList_->ShowForm();
  if (playList_->List().Count() >= first) PlayFromRow(first);
  return true;
}

// ---- Wave information

std::string TMainForm::FileWindows::FileName(int source) {
  if (source == 2) {
    // A recording into a file: the main window names it as the current file.
    if (!m_.lastRecFileName_.empty() && m_.currentFileName_ == m_.lastRecFileName_)
      return m_.lastRecFileName_;
    return {};
  }
  if (source != 1 || !m_.engine_) return {};
  if (!m_.currentFileName_.empty()) return m_.currentFileName_;
  return m_.engine_->GetPlayFileName();
}

const ChunkTable* TMainForm::FileWindows::PublishedChunkTable(int source) {
  if (!m_.engine_ || (source != 1 && source != 2)) return nullptr;
  // Copied while the records are held whole: a gapless continuation may be
  // parsing the next item into them on the play thread.
  chunksShown_.reset();
  m_.engine_->ReadPlayFileRecords(
      [&](const ChunkTable& chunks, const MarkerTable&) { chunksShown_ = CopyChunkTable(chunks); });
  return chunksShown_.get();
}

// ---- The main window's calls

void TMainForm::CreateFileWindows() {
  if (!engine_ || !settings_) return;
  fileWindows_.reset(new FileWindows(*this));
  fileWindows_->Create();
}

void TMainForm::DestroyFileWindows() {
  if (!fileWindows_) return;
  fileWindows_->Destroy();
  fileWindows_.reset();
}

const PlayItem* TMainForm::PlayListCursorAnswer(bool peekNext) {
  if (!fileWindows_ || (!playList_.Empty() && currentFileName_.empty()))
    return playList_.Cursor(peekNext);
  return fileWindows_->CursorAnswer(peekNext);
}

bool TMainForm::AddCommandLineItemsToPlayList(const std::vector<std::string>& items) {
  return fileWindows_ && fileWindows_->AddCommandLineItems(items);
}

}  // namespace ov
