#include "app/shell/PlayListForm_win.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>

#include "app/common/AppMessages.h"
#include "app/common/Utf8.h"
#include "app/resources/ResourceIds.h"

namespace ov {

namespace {

namespace pl = playlist_text;

constexpr int kColumns = 7;
// A list view pads its cells more than a plain text grid: the number column
// gets 10 pixels more so that its numbers stay readable.
constexpr int kWidthsFileName[kColumns] = {30, 326, 0, 51, 71, 41, 0};
constexpr int kWidthsTitle[kColumns] = {30, 0, 326, 51, 71, 41, 0};
const TwoLanguageText kHeaders[kColumns] = {
    {"No", "No"},       {" ﾌｧｲﾙ名", " File name"}, {" ﾀｲﾄﾙ", " Title"},
    {" 時間", " Time"}, {"  ﾌｫｰﾏｯﾄ", "  Format"},  {"無音長", "Silence"},
    {"", ""},
};
constexpr uint32_t kWindRepeatMs = 200;

std::wstring Wide(std::string_view utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

std::string Narrow(const std::wstring& wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

std::wstring ControlText(HWND h) {
  const int n = GetWindowTextLengthW(h);
  std::wstring t(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(h, t.data(), n + 1);
  t.resize(static_cast<size_t>(n));
  return t;
}

bool HasWavExtension(const std::string& path) {
  if (path.size() < 4) return false;
  const std::string ext = path.substr(path.size() - 4);
  return ext[0] == '.' && (ext[1] | 0x20) == 'w' && (ext[2] | 0x20) == 'a' &&
         (ext[3] | 0x20) == 'v';
}

// The common open dialog; several files come back as full paths.
std::vector<std::string> CommonOpenDialog(HWND owner, const wchar_t* title, const wchar_t* filter,
                                          const wchar_t* defaultExt, bool multiple,
                                          const std::string& initial) {
  std::vector<wchar_t> buffer(32768, L'\0');
  const std::wstring init = Wide(initial);
  if (init.size() < buffer.size()) std::copy(init.begin(), init.end(), buffer.begin());
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrTitle = title;
  ofn.lpstrDefExt = defaultExt;
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
              (multiple ? OFN_ALLOWMULTISELECT : 0);
  std::vector<std::string> names;
  if (!GetOpenFileNameW(&ofn)) return names;
  const std::wstring first(buffer.data());
  const wchar_t* p = buffer.data() + first.size() + 1;
  if (!multiple || *p == L'\0') {
    names.push_back(Narrow(first));
    return names;
  }
  for (; *p != L'\0'; p += wcslen(p) + 1) names.push_back(Narrow(first + L"\\" + p));
  return names;
}

std::string CommonSaveDialog(HWND owner, const wchar_t* title, const wchar_t* filter,
                             const wchar_t* defaultExt, const std::string& initial) {
  wchar_t buffer[MAX_PATH * 4] = {};
  const std::wstring init = Wide(initial);
  if (init.size() < MAX_PATH * 4) std::copy(init.begin(), init.end(), buffer);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter;
  ofn.lpstrFile = buffer;
  ofn.nMaxFile = MAX_PATH * 4;
  ofn.lpstrTitle = title;
  ofn.lpstrDefExt = defaultExt;
  ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&ofn)) return {};
  return Narrow(buffer);
}

void SetColumnWidths(HWND grid, const int (&widths)[kColumns]) {
  for (int c = 0; c < kColumns; ++c) ListView_SetColumnWidth(grid, c, widths[c]);
}

}  // namespace

TPlayListForm::TPlayListForm(PlayListHost& host, UserNotifier& notifier, PlayListOptions options)
    : host_(host),
      notifier_(notifier),
      options_(std::move(options)),
      placement_(options_.placement) {
  list_.language = options_.language;
  if (options_.openDialog == nullptr) options_.openDialog = CommonOpenDialog;
  if (options_.saveDialog == nullptr) options_.saveDialog = CommonSaveDialog;
}

TPlayListForm::~TPlayListForm() {
  if (gridFont_ != nullptr) DeleteObject(gridFont_);
}

bool TPlayListForm::CreateForm(HWND owner) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  TSpeedButtonRepeat::Register();
  if (!CreateModeless(owner, IDD_PLAY_LIST_FORM)) return false;
  ShowWindow(hwnd(), SW_HIDE);
  return true;
}

void TPlayListForm::InitControls() {
  HWND h = hwnd();
  SetWindowTextW(h, Wide(pl::kCaption).c_str());
  rewind_.Create(h, IDC_PL_REWIND_BUTTON, 0, 0, 10, 10, L"<<");
  fastForward_.Create(h, IDC_PL_FAST_FORWARD_BUTTON, 0, 0, 10, 10, L">>");
  for (TSpeedButtonRepeat* b : {&rewind_, &fastForward_}) {
    b->RepeatDelay10ms = kWindRepeatMs / 10;
    b->RepeatInterval10ms = kWindRepeatMs / 10;
  }
  rewind_.OnMouseDownRepeat = [this](TSpeedButtonRepeat&, UINT, UINT, int, int) {
    WindButtonMouseDown(-1);
  };
  fastForward_.OnMouseDownRepeat = [this](TSpeedButtonRepeat&, UINT, UINT, int, int) {
    WindButtonMouseDown(1);
  };
  HWND silence = Control(IDC_PL_SILENCE_COMBO);
  for (int s = 0; s <= 10; ++s)
    SendMessageW(silence, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(s).c_str()));
  SendMessageW(silence, CB_LIMITTEXT, 2, 0);
  SetWindowTextW(silence, std::to_wstring(options_.silenceSeconds).c_str());
  ApplyCaptions();
  SetupGrid();
  DragAcceptFiles(h, TRUE);
  RECT rc{0, 0, kClientWidth, kDefaultClientHeight};
  AdjustWindowRectEx(&rc, static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE)));
  SetWindowPos(h, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateButtons();
}

void TPlayListForm::ApplyCaptions() {
  const bool english = options_.language == Language::English;
  const struct {
    UINT id;
    const char* japanese;
    const char* english;
  } captions[] = {
      {IDC_PL_TOTAL_CAPTION, "総時間:", "Total Time:"},
      {IDC_PL_SILENCE_CAPTION, "無音長:", "Silence:"},
      {IDC_PL_DELETE_BUTTON, "削除", "Del."},
      {IDC_PL_DELETE_ALL_BUTTON, "全削除", "Del.All"},
      {IDC_PL_LIST_FILE_CAPTION, "Listﾌｧｲﾙ", "List file"},
      {IDC_PL_OPEN_BUTTON, "開く", "Open"},
      {IDC_PL_SAVE_BUTTON, "保存", "Save"},
      {IDC_PL_ADD_BUTTON, "追加", "Add"},
      {IDC_PL_TITLE_CHECK, "ﾀｲﾄﾙ", "Title"},
  };
  for (const auto& c : captions)
    SetDlgItemTextW(hwnd(), c.id, Wide(english ? c.english : c.japanese).c_str());
}

void TPlayListForm::SetupGrid() {
  HWND grid = Control(IDC_PL_GRID);
  ListView_SetExtendedListViewStyle(grid, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  if (!options_.fileFontName.empty()) {
    HDC dc = GetDC(hwnd());
    const int height = -MulDiv(options_.fileFontSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(hwnd(), dc);
    gridFont_ = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                            static_cast<DWORD>(options_.fileFontCharset), OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                            options_.fileFontName.c_str());
    if (gridFont_ != nullptr)
      SendMessageW(grid, WM_SETFONT, reinterpret_cast<WPARAM>(gridFont_), 0);
  }
  for (int c = 0; c < kColumns; ++c) {
    std::wstring text = Wide(kHeaders[c].In(options_.language));
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = text.data();
    col.cx = kWidthsFileName[c];
    col.iSubItem = c;
    SendMessageW(grid, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&col));
  }
}

void TPlayListForm::Layout(int clientHeight) {
  struct Place {
    UINT id;
    int x, y, w, h;
  };
  const Place places[] = {
      {IDC_PL_PLAY_BUTTON, 4, 4, 40, 22},
      {IDC_PL_STOP_BUTTON, 46, 4, 40, 22},
      {IDC_PL_PREVIOUS_BUTTON, 88, 4, 40, 22},
      {IDC_PL_REWIND_BUTTON, 130, 4, 40, 22},
      {IDC_PL_FAST_FORWARD_BUTTON, 172, 4, 40, 22},
      {IDC_PL_NEXT_BUTTON, 214, 4, 40, 22},
      {IDC_PL_UP_BUTTON, 270, 4, 44, 22},
      {IDC_PL_DOWN_BUTTON, 316, 4, 44, 22},
      {IDC_PL_DELETE_BUTTON, 362, 4, 44, 22},
      {IDC_PL_DELETE_ALL_BUTTON, 408, 4, 56, 22},
      {IDC_PL_ADD_BUTTON, 470, 4, 67, 22},
      {IDC_PL_TOTAL_CAPTION, 6, 34, 64, 16},
      {IDC_PL_TOTAL_LABEL, 72, 34, 70, 16},
      {IDC_PL_SILENCE_CAPTION, 150, 34, 50, 16},
      {IDC_PL_SILENCE_COMBO, 202, 30, 44, 200},
      {IDC_PL_TITLE_CHECK, 256, 32, 70, 20},
      {IDC_PL_LIST_FILE_CAPTION, 340, 34, 58, 16},
      {IDC_PL_OPEN_BUTTON, 400, 30, 66, 22},
      {IDC_PL_SAVE_BUTTON, 470, 30, 67, 22},
      {IDC_PL_GRID, 4, 56, kClientWidth - 8, clientHeight - 60},
  };
  for (const Place& p : places)
    MoveWindow(Control(static_cast<int>(p.id)), p.x, p.y, p.w, p.h < 8 ? 8 : p.h, TRUE);
}

void TPlayListForm::ShowForm() {
  HWND h = hwnd();
  if (h == nullptr) return;
  if (!shownOnce_) {
    shownOnce_ = true;
    const PlayListPlacement& p = placement_;
    int x = p.x, y = p.y;
    if (p.x == 0 && p.y == 0 && p.width == 0 && p.height == 0) {
      const RECT open = host_.OpenButtonScreenRect();
      x = open.left + 15;
      y = open.top + 15;
    }
    RECT rc{0, 0, kClientWidth, p.height > 0 ? p.height : kDefaultClientHeight};
    AdjustWindowRectEx(&rc, static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE)));
    SetWindowPos(h, nullptr, x, y, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RECT wr, work;
  GetWindowRect(h, &wr);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int x = wr.left, y = wr.top;
  if (x + (wr.right - wr.left) > work.right) x = work.right - (wr.right - wr.left);
  if (y + (wr.bottom - wr.top) > work.bottom) y = work.bottom - (wr.bottom - wr.top);
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  SetWindowPos(h, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateTotal();
  SetWindowTextW(Control(IDC_PL_SILENCE_COMBO), std::to_wstring(options_.silenceSeconds).c_str());
  ShowWindow(h, SW_SHOW);
  SetForegroundWindow(h);
  SetFocus(Control(IDC_PL_GRID));
}

bool TPlayListForm::HideForm() {
  HWND h = hwnd();
  if (h == nullptr) return true;
  if (playing_) return false;  // the engine reads the list
  if (!IsWindowVisible(h)) return true;
  EndTitleEdit(true);
  RECT wr, cr;
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  placement_ = {wr.left, wr.top, cr.right, cr.bottom};
  ShowWindow(h, SW_HIDE);
  return true;
}

int TPlayListForm::SilenceSeconds() const {
  const std::wstring t = ControlText(Control(IDC_PL_SILENCE_COMBO));
  if (t.empty() || t.size() > 2) return 0;
  for (wchar_t c : t)
    if (c < L'0' || c > L'9') return 0;
  return std::stoi(t);
}

// ---- The grid.

void TPlayListForm::ShowAllRows() {
  HWND grid = Control(IDC_PL_GRID);
  const int count = list_.Count();
  SendMessageW(grid, WM_SETREDRAW, FALSE, 0);
  while (ListView_GetItemCount(grid) > count)
    ListView_DeleteItem(grid, ListView_GetItemCount(grid) - 1);
  while (ListView_GetItemCount(grid) < count) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = ListView_GetItemCount(grid);
    item.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(grid, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  HDC dc = GetDC(grid);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(grid, WM_GETFONT, 0, 0)));
  for (int row = 1; row <= count; ++row) {
    const PlayListRow& r = list_.Row(row);
    wchar_t no[16], silence[16];
    std::swprintf(no, 16, L"%3d", row);
    std::swprintf(silence, 16, L"%3d", r.silenceSeconds);
    const std::wstring path = Wide(r.item.fileName);
    // The path shortened in its middle to fit the file name column.
    std::wstring shortPath = path + std::wstring(8, L'\0');
    RECT fit{0, 0, kWidthsFileName[1] - 12, 20};
    DrawTextW(dc, shortPath.data(), static_cast<int>(path.size()), &fit,
              DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    shortPath.resize(wcslen(shortPath.c_str()));
    const std::wstring texts[kColumns] = {
        no,
        shortPath,
        Wide(r.title),
        Wide(PlayListTimeText(r.durationSeconds)),
        Wide(PlayListFormatText(r.item.format, r.item.floatWidth)),
        silence,
        path};
    for (int c = 0; c < kColumns; ++c) {
      std::wstring t = texts[c];
      LVITEMW item{};
      item.iSubItem = c;
      item.pszText = t.data();
      SendMessageW(grid, LVM_SETITEMTEXTW, static_cast<WPARAM>(row - 1),
                   reinterpret_cast<LPARAM>(&item));
    }
  }
  SelectObject(dc, old);
  ReleaseDC(grid, dc);
  SendMessageW(grid, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(grid, nullptr, TRUE);
  SelectRow(list_.Selected());
  UpdateTotal();
  UpdateButtons();
}

void TPlayListForm::SelectRow(int row) {
  if (row < 1) return;
  list_.SelectRow(row);
  if (hwnd() == nullptr) return;
  HWND grid = Control(IDC_PL_GRID);
  ListView_SetItemState(grid, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (row <= list_.Count()) {
    ListView_SetItemState(grid, row - 1, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(grid, row - 1, FALSE);
  }
  list_.SelectRow(row);
}

std::wstring TPlayListForm::CellText(int column, int row) const {
  HWND grid = Control(IDC_PL_GRID);
  wchar_t buffer[600] = {};
  if (row == 0) {
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT;
    col.pszText = buffer;
    col.cchTextMax = 600;
    SendMessageW(grid, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
    return buffer;
  }
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = 600;
  SendMessageW(grid, LVM_GETITEMTEXTW, static_cast<WPARAM>(row - 1),
               reinterpret_cast<LPARAM>(&item));
  return buffer;
}

std::wstring TPlayListForm::TotalTimeText() const {
  return ControlText(Control(IDC_PL_TOTAL_LABEL));
}

void TPlayListForm::UpdateTotal() {
  SetDlgItemTextW(hwnd(), IDC_PL_TOTAL_LABEL,
                  Wide(PlayListTotalText(list_.TotalSeconds())).c_str());
}

void TPlayListForm::UpdateButtons() {
  const bool any = list_.Count() > 0;
  const UINT transport[] = {IDC_PL_STOP_BUTTON, IDC_PL_PREVIOUS_BUTTON, IDC_PL_REWIND_BUTTON,
                            IDC_PL_FAST_FORWARD_BUTTON, IDC_PL_NEXT_BUTTON};
  for (UINT id : transport) EnableWindow(Control(static_cast<int>(id)), playing_ && any);
  const UINT editing[] = {IDC_PL_UP_BUTTON,         IDC_PL_DOWN_BUTTON, IDC_PL_DELETE_BUTTON,
                          IDC_PL_DELETE_ALL_BUTTON, IDC_PL_OPEN_BUTTON, IDC_PL_ADD_BUTTON};
  for (UINT id : editing) EnableWindow(Control(static_cast<int>(id)), !playing_);
  EnableWindow(Control(IDC_PL_PLAY_BUTTON), !playing_ && any);
  EnableWindow(Control(IDC_PL_SAVE_BUTTON), !playing_ && any);
}

void TPlayListForm::SetPlaying(bool playing) {
  if (playing) EndTitleEdit(true);
  playing_ = playing;
  list_.SetFrozen(playing);
  UpdateButtons();
}

// ---- Adding and list files.

void TPlayListForm::ShowMessage(const std::string& text) {
  notifier_.Notify(text, NoticeIcon::Warning);
}

bool TPlayListForm::AddOne(const std::string& path) {
  HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  std::string message;
  const AddResult r = list_.AddFile(path, SilenceSeconds(), &message);
  SetCursor(old);
  if (r == AddResult::ListFull) return false;  // refused without a message
  if (r != AddResult::Added) {
    if (!message.empty()) ShowMessage(message);
    return false;
  }
  return true;
}

void TPlayListForm::AddFiles(const std::vector<std::string>& paths) {
  for (const std::string& p : paths) {
    if (!HasWavExtension(p)) continue;
    if (!AddOne(p)) break;
  }
  ShowAllRows();
}

void TPlayListForm::DropFiles(const std::vector<std::string>& paths) {
  for (const std::string& p : paths) {
    if (HasWavExtension(p)) {
      if (!AddOne(p)) break;
      continue;
    }
    // The first other file is a list file; a list replaces the rows, which
    // the engine may be reading: not while playing.
    if (!playing_) LoadListFile(p);
    break;
  }
  ShowAllRows();
}

void TPlayListForm::LoadListFile(const std::string& name) {
  if (playing_) return;
  EndTitleEdit(true);
  HCURSOR old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  const PlayListLoad load = LoadM3u(name, &list_, SilenceSeconds(), options_.language);
  SetCursor(old);
  listFileName_ = name;
  ShowAllRows();
  for (const std::string& m : load.messages) ShowMessage(m);
}

void TPlayListForm::SaveListFile(const std::string& name) {
  EndTitleEdit(true);
  const std::string failure = SaveM3u(name, list_, options_.language);
  if (!failure.empty()) {
    ShowMessage(failure);
    return;
  }
  listFileName_ = name;
}

// ---- Commands.

void TPlayListForm::PlayButtonClick() {
  if (list_.Count() == 0 || playing_) return;
  int row = list_.Selected();
  if (row < 1 || row > list_.Count()) row = 1;
  SelectRow(row);
  host_.PlayFromRow(row);
}

void TPlayListForm::StopButtonClick() {
  host_.StopCommand();
}

void TPlayListForm::PreviousButtonClick() {
  if (list_.Previous(host_.NowMs()) == PlayList::PreviousAction::RestartCurrent) {
    host_.SeekToStart();
    return;
  }
  const int row = list_.Selected();
  if (row > 1) host_.PlayFromRow(row - 1);
}

void TPlayListForm::NextButtonClick() {
  const int row = list_.Selected() + 1;
  if (row <= list_.Count()) host_.PlayFromRow(row);
}

void TPlayListForm::WindButtonMouseDown(int direction) {
  // A new press when the last step is longer ago than a repeat.
  const uint32_t now = host_.NowMs();
  if (windRepeats_ > 0 && now - lastWindMs_ > kWindRepeatMs * 2) windRepeats_ = 0;
  lastWindMs_ = now;
  ++windRepeats_;
  host_.SeekBySeconds(direction * PlayList::WindStepSeconds(windRepeats_));
}

void TPlayListForm::UpButtonClick() {
  if (list_.MoveUp()) ShowAllRows();
}

void TPlayListForm::DownButtonClick() {
  if (list_.MoveDown()) ShowAllRows();
}

void TPlayListForm::DeleteButtonClick() {
  if (list_.Delete()) ShowAllRows();
}

void TPlayListForm::DeleteAllButtonClick() {
  if (list_.DeleteAll()) ShowAllRows();
}

void TPlayListForm::AddButtonClick() {
  if (playing_) return;
  const bool english = options_.language == Language::English;
  const std::vector<std::string> names = options_.openDialog(
      hwnd(), english ? L"Add wave file(s)" : L"Wave\xFF8C\xFF67\xFF72\xFF99\x306E\x8FFD\x52A0",
      L"Wave file (*.WAV)\0*.WAV\0", L"WAV", true, std::string());
  // The dialog's list from its last name to its first.
  for (auto it = names.rbegin(); it != names.rend(); ++it)
    if (!AddOne(*it)) break;
  ShowAllRows();
}

void TPlayListForm::OpenButtonClick() {
  if (playing_) return;
  const bool english = options_.language == Language::English;
  const std::vector<std::string> names = options_.openDialog(
      hwnd(), english ? L"Open list file" : L"List\xFF8C\xFF67\xFF72\xFF99\x3092\x958B\x304F",
      english ? L"M3U Playlist (*.M3U)\0*.M3U\0All files (*.*)\0*.*\0"
              : L"M3U Playlist (*.M3U)\0*.M3U\0\x3059\x3079\x3066\x306E\xFF8C\xFF67\xFF72\xFF99 "
                L"(*.*)\0*.*\0",
      L"M3U", false, listFileName_);
  if (!names.empty()) LoadListFile(names.front());
}

void TPlayListForm::SaveButtonClick() {
  if (list_.Count() == 0 || playing_) return;
  const bool english = options_.language == Language::English;
  const std::string name = options_.saveDialog(
      hwnd(), english ? L"Save list file" : L"List\xFF8C\xFF67\xFF72\xFF99\x306E\x4FDD\x5B58",
      L"M3U Playlist (*.M3U)\0*.M3U\0", L"M3U", listFileName_);
  if (!name.empty()) SaveListFile(name);
}

void TPlayListForm::TitleCheckBoxClick() {
  EndTitleEdit(true);
  titleMode_ = IsDlgButtonChecked(hwnd(), IDC_PL_TITLE_CHECK) == BST_CHECKED;
  SetColumnWidths(Control(IDC_PL_GRID), titleMode_ ? kWidthsTitle : kWidthsFileName);
}

void TPlayListForm::GridDoubleClick(int row, int column) {
  if (row < 1 || row > list_.Count()) return;
  if (column == 5) {
    // The silence of every selected row.
    if (playing_) return;
    const int seconds = SilenceSeconds();
    HWND grid = Control(IDC_PL_GRID);
    bool changed = false;
    for (int i = ListView_GetNextItem(grid, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(grid, i, LVNI_SELECTED))
      changed |= list_.SetSilence(i + 1, i + 1, seconds);
    if (changed) ShowAllRows();
    return;
  }
  if (column == 2 && titleMode_) {
    BeginTitleEdit(row);
    return;
  }
  if (column >= 0 && column <= 4 && !playing_) {
    SelectRow(row);
    host_.PlayFromRow(row);
  }
}

void TPlayListForm::BeginTitleEdit(int row) {
  if (playing_ || row < 1 || row > list_.Count()) return;
  EndTitleEdit(true);
  HWND grid = Control(IDC_PL_GRID);
  RECT r{};
  r.top = 2;
  r.left = LVIR_BOUNDS;
  SendMessageW(grid, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row - 1),
               reinterpret_cast<LPARAM>(&r));
  MapWindowPoints(grid, hwnd(), reinterpret_cast<POINT*>(&r), 2);
  editRow_ = row;
  titleEdit_ = CreateWindowExW(0, L"Edit", Wide(list_.Row(row).title).c_str(),
                               WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, r.left, r.top,
                               r.right - r.left, r.bottom - r.top, hwnd(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PL_TITLE_EDIT)),
                               GetModuleHandleW(nullptr), nullptr);
  SendMessageW(titleEdit_, WM_SETFONT, SendMessageW(grid, WM_GETFONT, 0, 0), 0);
  SetWindowPos(titleEdit_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SendMessageW(titleEdit_, EM_SETSEL, 0, -1);
  SetFocus(titleEdit_);
}

void TPlayListForm::EndTitleEdit(bool keep) {
  if (titleEdit_ == nullptr) return;
  HWND edit = titleEdit_;
  titleEdit_ = nullptr;  // the focus change below ends no edit twice
  if (keep && list_.SetTitle(editRow_, Narrow(ControlText(edit)))) ShowAllRows();
  DestroyWindow(edit);
  SetFocus(Control(IDC_PL_GRID));
}

void TPlayListForm::Command(UINT id, UINT code) {
  if (code == BN_CLICKED) {
    const CommandRoute<TPlayListForm> routes[] = {
        {IDC_PL_PLAY_BUTTON, &TPlayListForm::PlayButtonClick},
        {IDC_PL_STOP_BUTTON, &TPlayListForm::StopButtonClick},
        {IDC_PL_PREVIOUS_BUTTON, &TPlayListForm::PreviousButtonClick},
        {IDC_PL_NEXT_BUTTON, &TPlayListForm::NextButtonClick},
        {IDC_PL_UP_BUTTON, &TPlayListForm::UpButtonClick},
        {IDC_PL_DOWN_BUTTON, &TPlayListForm::DownButtonClick},
        {IDC_PL_DELETE_BUTTON, &TPlayListForm::DeleteButtonClick},
        {IDC_PL_DELETE_ALL_BUTTON, &TPlayListForm::DeleteAllButtonClick},
        {IDC_PL_ADD_BUTTON, &TPlayListForm::AddButtonClick},
        {IDC_PL_OPEN_BUTTON, &TPlayListForm::OpenButtonClick},
        {IDC_PL_SAVE_BUTTON, &TPlayListForm::SaveButtonClick},
        {IDC_PL_TITLE_CHECK, &TPlayListForm::TitleCheckBoxClick},
    };
    if (RouteCommand(this, routes, id)) return;
  }
  switch (id) {
    case IDC_PL_SILENCE_COMBO:
      if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE) {
        if (code == CBN_SELCHANGE) {
          HWND box = Control(IDC_PL_SILENCE_COMBO);
          const LRESULT i = SendMessageW(box, CB_GETCURSEL, 0, 0);
          if (i >= 0) SetWindowTextW(box, std::to_wstring(i).c_str());
        }
        options_.silenceSeconds = SilenceSeconds();
        host_.SilenceChanged(options_.silenceSeconds);
      }
      break;
    case IDC_PL_TITLE_EDIT:
      if (code == EN_KILLFOCUS) EndTitleEdit(true);
      break;
    case IDOK:  // Enter: ends a title edit; the silence box swallows it
      EndTitleEdit(true);
      break;
    case IDCANCEL:  // Esc
      if (titleEdit_ != nullptr) {
        EndTitleEdit(false);
      } else {
        HideForm();
      }
      break;
    default:
      break;
  }
}

INT_PTR TPlayListForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      InitControls();
      return FALSE;
    case WM_SIZE:
      Layout(HIWORD(lParam));
      return TRUE;
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
      RECT rc{0, 0, kClientWidth, 120};
      AdjustWindowRectEx(&rc, static_cast<DWORD>(GetWindowLongW(hwnd(), GWL_STYLE)), FALSE,
                         static_cast<DWORD>(GetWindowLongW(hwnd(), GWL_EXSTYLE)));
      mm->ptMinTrackSize.x = mm->ptMaxTrackSize.x = rc.right - rc.left;
      mm->ptMinTrackSize.y = rc.bottom - rc.top;
      return TRUE;
    }
    case WM_PLAYING_STATE:
      SetPlaying(wParam != 0);
      return TRUE;
    case WM_DROPFILES: {
      HDROP drop = reinterpret_cast<HDROP>(wParam);
      std::vector<std::string> names;
      const UINT n = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
      for (UINT i = 0; i < n; ++i) {
        wchar_t name[MAX_PATH * 4] = {};
        if (DragQueryFileW(drop, i, name, MAX_PATH * 4) > 0) names.push_back(Narrow(name));
      }
      DragFinish(drop);
      DropFiles(names);
      return TRUE;
    }
    case WM_HELP:
      host_.ShowHelp();
      return TRUE;
    case WM_CLOSE:
      HideForm();
      return TRUE;
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      const auto* n = reinterpret_cast<const NMHDR*>(lParam);
      if (n->idFrom != IDC_PL_GRID) return FALSE;
      if (n->code == LVN_ITEMCHANGED) {
        const auto* lv = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((lv->uNewState & LVIS_FOCUSED) != 0 && lv->iItem >= 0) list_.SelectRow(lv->iItem + 1);
      } else if (n->code == NM_DBLCLK) {
        const auto* ia = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
        GridDoubleClick(ia->iItem + 1, ia->iSubItem);
      } else if (n->code == LVN_KEYDOWN) {
        const auto* k = reinterpret_cast<const NMLVKEYDOWN*>(lParam);
        if (k->wVKey == VK_DELETE) DeleteButtonClick();
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace ov
