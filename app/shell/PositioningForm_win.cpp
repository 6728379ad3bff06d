#include "app/shell/PositioningForm_win.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "app/common/AppMessages.h"
#include "app/common/Utf8.h"
#include "app/resources/ResourceIds.h"

namespace ov {

namespace {

namespace pt = positioning_text;

std::wstring Wide(std::string_view utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

std::string Narrow(const std::wstring& wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

// Bytes in the system's ANSI code page, as the file stores labels not set here.
std::wstring FromAnsi(const char* bytes) {
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes, -1, nullptr, 0);
  if (n <= 1) return {};
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes, -1, w.data(), n);
  w.resize(static_cast<size_t>(n - 1));
  return w;
}

std::wstring ControlText(HWND h) {
  const int n = GetWindowTextLengthW(h);
  std::wstring t(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(h, t.data(), n + 1);
  t.resize(static_cast<size_t>(n));
  return t;
}

bool ShiftHeld() {
  return (GetKeyState(VK_SHIFT) & 0x8000) != 0;
}

// Keys the window takes from every control (its key preview): the moves,
// Space for the one-frame play. Edit fields keep Home, End and Space.
LRESULT CALLBACK ChildKeyProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR form) {
  if (msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    const bool edit = lstrcmpiW(cls, L"Edit") == 0;
    const bool moveKey = wParam == VK_PRIOR || wParam == VK_NEXT ||
                         (!edit && (wParam == VK_HOME || wParam == VK_END));
    const bool space = !edit && wParam == VK_SPACE;
    if (msg == WM_KEYDOWN && (moveKey || space)) {
      PostMessageW(reinterpret_cast<HWND>(form), WM_APP + 1, wParam, 0);
      return 0;
    }
    if ((msg == WM_KEYUP && (moveKey || space)) || (msg == WM_CHAR && space)) return 0;
  }
  return DefSubclassProc(h, msg, wParam, lParam);
}

BOOL CALLBACK SubclassChild(HWND child, LPARAM form) {
  SetWindowSubclass(child, ChildKeyProc, 1, static_cast<DWORD_PTR>(form));
  return TRUE;
}

constexpr UINT kFormKeyMessage = WM_APP + 1;
// A list view pads its cells more than a plain text grid: the number column
// gets that much more so that its numbers stay readable.
constexpr int kListViewNumberPadding = 10;

}  // namespace

TPositioningForm::TPositioningForm(WavePlayRec& engine, PositioningHost& host,
                                   UserNotifier& notifier, PositioningOptions options)
    : engine_(engine),
      host_(host),
      notifier_(notifier),
      options_(std::move(options)),
      placement_(options_.placement) {}

TPositioningForm::~TPositioningForm() {
  if (font_ != nullptr) DeleteObject(font_);
}

bool TPositioningForm::CreateForm(HWND owner) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  TSpeedButtonRepeat::Register();
  if (!CreateModeless(owner, IDD_POSITIONING_FORM)) return false;
  ShowWindow(hwnd(), SW_HIDE);
  return true;
}

void TPositioningForm::InitControls() {
  HWND h = hwnd();
  SetWindowTextW(h, Wide(pt::kCaption).c_str());
  if (!options_.fontName.empty()) {
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    lstrcpynW(lf.lfFaceName, options_.fontName.c_str(), LF_FACESIZE);
    font_ = CreateFontIndirectW(&lf);
  }
  struct Move {
    TSpeedButtonRepeat* button;
    UINT id;
    const wchar_t* text;
    int32_t delay10ms;
  };
  const Move moves[] = {
      {&top_, IDC_POS_TOP_BUTTON, L"|<", static_cast<int32_t>(kMoveTopRepeatDelayMs / 10)},
      {&backward_, IDC_POS_BACKWARD_BUTTON, L"<", static_cast<int32_t>(kMoveRepeatDelayMs / 10)},
      {&forward_, IDC_POS_FORWARD_BUTTON, L">", static_cast<int32_t>(kMoveRepeatDelayMs / 10)},
      {&end_, IDC_POS_END_BUTTON, L">|", static_cast<int32_t>(kMoveRepeatDelayMs / 10)},
  };
  for (const Move& m : moves) {
    m.button->Create(h, m.id, 0, 0, 10, 10, m.text);
    m.button->RepeatDelay10ms = m.delay10ms;
    m.button->RepeatInterval10ms = static_cast<int32_t>(kMoveRepeatPeriodMs / 10);
  }
  top_.OnMouseDownRepeat = [this](TSpeedButtonRepeat&, UINT, UINT, int, int) {
    TopButtonMouseDown();
  };
  backward_.OnMouseDownRepeat = [this](TSpeedButtonRepeat&, UINT, UINT keys, int, int) {
    BackwardButtonMouseDown((keys & MK_SHIFT) != 0);
  };
  forward_.OnMouseDownRepeat = [this](TSpeedButtonRepeat&, UINT, UINT keys, int, int) {
    ForwardButtonMouseDown((keys & MK_SHIFT) != 0);
  };
  end_.OnMouseDownRepeat = [this](TSpeedButtonRepeat&, UINT, UINT, int, int) {
    EndButtonMouseDown();
  };
  HWND samples = Control(IDC_POS_SAMPLE_COMBO);
  for (const char* item : kMoveSampleItems)
    SendMessageW(samples, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  SetWindowTextW(samples, Wide(kMoveSampleInitial).c_str());
  HWND seconds = Control(IDC_POS_SECOND_COMBO);
  for (const char* item : kMoveSecondItems)
    SendMessageW(seconds, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  SetWindowTextW(seconds, Wide(kMoveSecondInitial).c_str());
  CheckDlgButton(h, IDC_POS_SAMPLE_RADIO, BST_CHECKED);
  CheckDlgButton(h, IDC_POS_UTF8_CHECK, BST_CHECKED);
  ApplyCaptions();
  SetupGrid();
  if (font_ != nullptr) {
    for (HWND c = GetWindow(h, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
      SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  EnumChildWindows(h, SubclassChild, reinterpret_cast<LPARAM>(h));
  hints_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, h, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  const Language l = options_.language;
  SetHint(IDC_POS_BACKWARD_BUTTON, pt::kBackwardHint.In(l));
  SetHint(IDC_POS_FORWARD_BUTTON, pt::kForwardHint.In(l));
  SetHint(IDC_POS_TOP_BUTTON, pt::kTopHint.In(l));
  SetHint(IDC_POS_END_BUTTON, pt::kEndHint.In(l));
  SetHint(IDC_POS_FRAME_CHECK, pt::kFrameCheckHint);
  RECT rc{0, 0, kClientWidth, kDefaultClientHeight};
  AdjustWindowRectEx(&rc, static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE)));
  SetWindowPos(h, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TPositioningForm::SetHint(int id, const std::string& text) {
  if (hints_ == nullptr) return;
  std::wstring wide = Wide(text);
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = hwnd();
  ti.uId = reinterpret_cast<UINT_PTR>(Control(id));
  ti.lpszText = wide.data();
  SendMessageW(hints_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  SendMessageW(hints_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void TPositioningForm::ApplyCaptions() {
  const Language l = options_.language;
  const struct {
    UINT id;
    const TwoLanguageText* text;
  } captions[] = {
      {IDC_POS_SAMPLE_CAPTION, &pt::kSampleLabel},
      {IDC_POS_MOVE_GROUP, &pt::kMoveGroup},
      {IDC_POS_SAMPLE_RADIO, &pt::kSampleRadio},
      {IDC_POS_SECOND_RADIO, &pt::kSecondRadio},
      {IDC_POS_MARKER_GROUP, &pt::kMarkerGroup},
      {IDC_POS_ADD_BUTTON, &pt::kAdd},
      {IDC_POS_DELETE_BUTTON, &pt::kDelete},
      {IDC_POS_RENAME_BUTTON, &pt::kRename},
      {IDC_POS_WRITE_BUTTON, &pt::kWrite},
      {IDC_POS_UTF8_CHECK, &pt::kShowUtf8},
      {IDC_POS_PLAY_FRAME_BUTTON, &pt::kPlayFrameHint},
  };
  for (const auto& c : captions) SetDlgItemTextW(hwnd(), c.id, Wide(c.text->In(l)).c_str());
  SetDlgItemTextW(hwnd(), IDC_POS_FRAME_CHECK, Wide(pt::kFrameCheckCaption).c_str());
}

void TPositioningForm::SetupGrid() {
  HWND grid = Control(IDC_POS_GRID);
  ListView_SetExtendedListViewStyle(grid, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  const TwoLanguageText* headers[4] = {&pt::kHeaderNo, &pt::kHeaderLabel, &pt::kHeaderSamples,
                                       &pt::kHeaderTime};
  for (int c = 0; c < 4; ++c) {
    std::wstring text = Wide(headers[c]->In(options_.language));
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = text.data();
    col.cx = pt::kColumnWidths[c] + (c == 0 ? kListViewNumberPadding : 0);
    col.iSubItem = c;
    SendMessageW(grid, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&col));
  }
}

void TPositioningForm::Layout(int clientHeight) {
  struct Place {
    UINT id;
    int x, y, w, h;
  };
  const int gridTop = 134;
  const Place places[] = {
      {IDC_POS_POSITION_LABEL, 4, 3, 88, 16},
      {IDC_POS_SAMPLE_CAPTION, 96, 4, 34, 16},
      {IDC_POS_POSITION_TIME_LABEL, 132, 4, 76, 16},
      {IDC_POS_LENGTH_LABEL, 4, 21, 88, 16},
      {IDC_POS_LENGTH_TIME_LABEL, 132, 21, 76, 16},
      {IDC_POS_MOVE_GROUP, 2, 38, 289, 56},
      {IDC_POS_SAMPLE_RADIO, 8, 52, 50, 18},
      {IDC_POS_SAMPLE_COMBO, 60, 51, 70, 200},
      {IDC_POS_SECOND_RADIO, 138, 52, 40, 18},
      {IDC_POS_SECOND_COMBO, 180, 51, 60, 200},
      {IDC_POS_TOP_BUTTON, 8, 71, 28, 20},
      {IDC_POS_BACKWARD_BUTTON, 38, 71, 36, 20},
      {IDC_POS_FORWARD_BUTTON, 76, 71, 36, 20},
      {IDC_POS_END_BUTTON, 114, 71, 28, 20},
      {IDC_POS_PLAY_FRAME_BUTTON, 148, 71, 90, 20},
      {IDC_POS_FRAME_CHECK, 242, 72, 46, 18},
      {IDC_POS_MARKER_GROUP, 2, 96, 289, clientHeight - 98},
      {IDC_POS_ADD_BUTTON, 8, 110, 44, 20},
      {IDC_POS_DELETE_BUTTON, 54, 110, 44, 20},
      {IDC_POS_RENAME_BUTTON, 100, 110, 56, 20},
      {IDC_POS_WRITE_BUTTON, 158, 110, 44, 20},
      {IDC_POS_UTF8_CHECK, 206, 111, 82, 18},
      {IDC_POS_GRID, 6, gridTop, 281, clientHeight - gridTop - 4},
  };
  for (const Place& p : places) {
    MoveWindow(Control(static_cast<int>(p.id)), p.x, p.y, p.w, p.h < 8 ? 8 : p.h, TRUE);
  }
}

void TPositioningForm::ShowForm() {
  HWND h = hwnd();
  if (h == nullptr) return;
  if (!shownOnce_) {
    shownOnce_ = true;
    const PositioningPlacement& p = placement_;
    int width = kClientWidth, height = p.height > 0 ? p.height : kDefaultClientHeight;
    int x = p.x, y = p.y;
    if (p.x == 0 && p.y == 0 && p.width == 0 && p.height == 0) {
      const RECT bar = host_.TrackBarScreenRect();
      x = bar.right;
      y = bar.top - 30;
    }
    RECT rc{0, 0, width, height};
    AdjustWindowRectEx(&rc, static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE)));
    SetWindowPos(h, nullptr, x, y, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // Inside the work area.
  RECT wr, work;
  GetWindowRect(h, &wr);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  int x = wr.left, y = wr.top;
  if (x + (wr.right - wr.left) > work.right) x = work.right - (wr.right - wr.left);
  if (y + (wr.bottom - wr.top) > work.bottom) y = work.bottom - (wr.bottom - wr.top);
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  SetWindowPos(h, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateLength();
  // The view shows what was heard: seek to the position actually played.
  host_.SeekCommand(engine_.GetPosition(), true);
  UpdatePosition(engine_.GetPosition());
  busy_ = false;
  UpdateButtons();
  ShowWindow(h, SW_SHOWNOACTIVATE);
  const bool seconds = IsDlgButtonChecked(h, IDC_POS_SECOND_RADIO) == BST_CHECKED;
  SetFocus(Control(seconds ? IDC_POS_SECOND_RADIO : IDC_POS_SAMPLE_RADIO));
}

void TPositioningForm::HideForm() {
  HWND h = hwnd();
  if (h == nullptr || !IsWindowVisible(h)) return;
  RECT wr, cr;
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  placement_ = {wr.left, wr.top, cr.right, cr.bottom};
  ShowWindow(h, SW_HIDE);
}

void TPositioningForm::UpdateButtons() {
  const bool mme = engine_.GetDriverType() == kDriverMme;
  const bool noDevice = host_.AnalyzeWithoutDevice();
  EnableWindow(Control(IDC_POS_PLAY_FRAME_BUTTON), !noDevice);
  EnableWindow(Control(IDC_POS_FRAME_CHECK), mme && !noDevice);
  if (!mme || noDevice) CheckDlgButton(hwnd(), IDC_POS_FRAME_CHECK, BST_UNCHECKED);
  EnableWindow(Control(IDC_POS_WRITE_BUTTON), markers_.Dirty());
  const bool frame = IsDlgButtonChecked(hwnd(), IDC_POS_FRAME_CHECK) == BST_CHECKED;
  const char* play = (frame ? pt::kPlayFrameHint : pt::kPlay100msHint).In(options_.language);
  SetDlgItemTextW(hwnd(), IDC_POS_PLAY_FRAME_BUTTON, Wide(play).c_str());
  SetHint(IDC_POS_PLAY_FRAME_BUTTON, play);
}

void TPositioningForm::UpdateLength() {
  uint32_t floatWidth = 0;
  const uint32_t rate = engine_.GetFormat(&floatWidth).samplesPerSec;
  const uint64_t length = engine_.GetDataLengthSamples();
  SetDlgItemTextW(hwnd(), IDC_POS_LENGTH_LABEL, std::to_wstring(length).c_str());
  SetDlgItemTextW(hwnd(), IDC_POS_LENGTH_TIME_LABEL, Wide(MarkerTimeText(length, rate)).c_str());
}

void TPositioningForm::UpdatePosition(uint64_t position) {
  uint32_t floatWidth = 0;
  const uint32_t rate = engine_.GetFormat(&floatWidth).samplesPerSec;
  SetDlgItemTextW(hwnd(), IDC_POS_POSITION_LABEL, std::to_wstring(position).c_str());
  SetDlgItemTextW(hwnd(), IDC_POS_POSITION_TIME_LABEL,
                  Wide(MarkerTimeText(position, rate)).c_str());
}

std::wstring TPositioningForm::PositionText() const {
  return ControlText(Control(IDC_POS_POSITION_LABEL)) + L" " +
         ControlText(Control(IDC_POS_POSITION_TIME_LABEL));
}

// ---- Moves.

bool TPositioningForm::MoveAmountFor(bool shift, uint64_t* amount) const {
  const bool seconds = IsDlgButtonChecked(hwnd(), IDC_POS_SECOND_RADIO) == BST_CHECKED;
  const std::string text =
      Narrow(ControlText(Control(seconds ? IDC_POS_SECOND_COMBO : IDC_POS_SAMPLE_COMBO)));
  uint32_t floatWidth = 0;
  const std::optional<uint64_t> a =
      MoveAmount(text, seconds ? MoveUnit::Seconds : MoveUnit::Samples,
                 engine_.GetFormat(&floatWidth).samplesPerSec, shift);
  if (!a) return false;
  *amount = *a;
  return true;
}

void TPositioningForm::BackwardButtonMouseDown(bool shift) {
  uint64_t amount = 0;
  if (busy_ || engine_.InMessageWait() || !MoveAmountFor(shift, &amount)) return;
  host_.SeekCommand(MoveBackward(engine_.GetPosition(), amount), false);
  PlayAfterMove();
}

void TPositioningForm::ForwardButtonMouseDown(bool shift) {
  uint64_t amount = 0;
  if (busy_ || engine_.InMessageWait() || !MoveAmountFor(shift, &amount)) return;
  host_.SeekCommand(MoveForward(engine_.GetPosition(), amount), false);
  PlayAfterMove();
}

void TPositioningForm::TopButtonMouseDown() {
  if (busy_ || engine_.InMessageWait()) return;
  host_.SeekCommand(0, false);
  PlayAfterMove();
}

void TPositioningForm::EndButtonMouseDown() {
  if (busy_ || engine_.InMessageWait()) return;
  // The length itself: files past 2^31 samples reach their end too.
  host_.SeekCommand(engine_.GetDataLengthSamples(), false);
}

void TPositioningForm::PlayAfterMove() {
  if (IsDlgButtonChecked(hwnd(), IDC_POS_PLAY_FRAME_BUTTON) == BST_CHECKED) PlayFrameButtonClick();
}

void TPositioningForm::PlayFrameButtonClick() {
  if (engine_.GetDriverType() == kDriverWasapi &&
      engine_.GetWasapiLatency() > kWasapiFramePlayMaxLatencyMs) {
    CheckDlgButton(hwnd(), IDC_POS_PLAY_FRAME_BUTTON, BST_UNCHECKED);
    notifier_.Notify(WasapiLatencyNotice(options_.language, engine_.GetWasapiLatency()),
                     NoticeIcon::Warning);
    return;
  }
  if (busy_ || engine_.InMessageWait()) return;
  host_.SeekCommand(engine_.GetPosition(), true);
  if (host_.AnalyzeWithoutDevice()) return;
  const bool frame = IsDlgButtonChecked(hwnd(), IDC_POS_FRAME_CHECK) == BST_CHECKED;
  busy_ = true;
  EngineResult r;
  if (frame) {
    uint32_t floatWidth = 0;
    const uint32_t align = engine_.GetFormat(&floatWidth).blockAlign;
    r = engine_.StartFramePlay(host_.PlayDeviceNumber(), nullptr,
                               align * host_.FrameLengthSamples(), FrameRepeat::Once);
  } else {
    r = engine_.PlaySnippet(kSnippetMs);
  }
  if (r != EngineResult::Ok) busy_ = false;
}

// ---- Markers.

std::wstring TPositioningForm::LabelShown(const MarkerRow& row) const {
  return showUtf8_ ? Wide(row.label) : FromAnsi(row.label);
}

void TPositioningForm::ShowRow(int row) {
  HWND grid = Control(IDC_POS_GRID);
  const MarkerRow& r = markers_.Row(row);
  uint32_t floatWidth = 0;
  const uint32_t rate = engine_.GetFormat(&floatWidth).samplesPerSec;
  wchar_t no[16];
  std::swprintf(no, 16, L"%2d", row);
  const std::wstring texts[4] = {no, LabelShown(r), std::to_wstring(r.position),
                                 Wide(MarkerTimeText(r.position, rate))};
  for (int c = 0; c < 4; ++c) {
    std::wstring t = texts[c];
    LVITEMW item{};
    item.iSubItem = c;
    item.pszText = t.data();
    SendMessageW(grid, LVM_SETITEMTEXTW, static_cast<WPARAM>(row - 1),
                 reinterpret_cast<LPARAM>(&item));
  }
}

void TPositioningForm::ShowAllRows() {
  HWND grid = Control(IDC_POS_GRID);
  const int count = markers_.Count();
  while (ListView_GetItemCount(grid) > count)
    ListView_DeleteItem(grid, ListView_GetItemCount(grid) - 1);
  while (ListView_GetItemCount(grid) < count) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = ListView_GetItemCount(grid);
    item.pszText = const_cast<wchar_t*>(L"");
    SendMessageW(grid, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  for (int row = 1; row <= count; ++row) ShowRow(row);
  if (selectedRow_ > count) selectedRow_ = count;
  SelectRow(selectedRow_);
  UpdateButtons();
}

void TPositioningForm::SelectRow(int row) {
  HWND grid = Control(IDC_POS_GRID);
  selectedRow_ = row;
  ListView_SetItemState(grid, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (row >= 1 && row <= markers_.Count()) {
    ListView_SetItemState(grid, row - 1, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(grid, row - 1, FALSE);
  }
  selectedRow_ = row;
}

std::wstring TPositioningForm::CellText(int column, int row) const {
  HWND grid = Control(IDC_POS_GRID);
  wchar_t buffer[256] = {};
  if (row == 0) {
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT;
    col.pszText = buffer;
    col.cchTextMax = 256;
    SendMessageW(grid, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col));
    return buffer;
  }
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = 256;
  SendMessageW(grid, LVM_GETITEMTEXTW, static_cast<WPARAM>(row - 1),
               reinterpret_cast<LPARAM>(&item));
  return buffer;
}

void TPositioningForm::LoadMarkers() {
  engine_.ReadPlayFileRecords([&](const ChunkTable& chunks, const MarkerTable& markers) {
    markers_.Load(markers, &chunks);
  });
  selectedRow_ = markers_.Count() > 0 ? 1 : 0;
  if (hwnd() == nullptr) return;
  ShowAllRows();
  UpdateLength();
}

void TPositioningForm::AddButtonClick() {
  if (engine_.InMessageWait()) return;
  if (markers_.Add(engine_.GetPosition()) != MarkerAddResult::Added) return;
  ShowAllRows();
  SelectRow(markers_.Count());
}

void TPositioningForm::DeleteButtonClick(bool shift) {
  if (shift) {
    if (markers_.Count() == 0) return;
    if (notifier_.Notify(pt::kDeleteAllQuestion.In(options_.language), NoticeIcon::Question) !=
        NoticeAnswer::Yes)
      return;
    markers_.DeleteAll();
    selectedRow_ = 0;
  } else {
    if (selectedRow_ < 1 || selectedRow_ > markers_.Count()) return;
    selectedRow_ = markers_.Delete(selectedRow_);
  }
  ShowAllRows();
}

void TPositioningForm::RenameButtonClick() {
  const int row = selectedRow_;
  if (row < 1 || row > markers_.Count()) return;
  RECT r{};
  r.left = LVIR_BOUNDS;
  SendMessageW(Control(IDC_POS_GRID), LVM_GETITEMRECT, static_cast<WPARAM>(row - 1),
               reinterpret_cast<LPARAM>(&r));
  POINT below{r.left, r.bottom};
  ClientToScreen(Control(IDC_POS_GRID), &below);
  std::wstring text = LabelShown(markers_.Row(row));
  if (!host_.EditText(hwnd(), Wide(pt::kRenameTitle.In(options_.language)), below, &text)) return;
  if (markers_.Rename(row, Narrow(text)) == MarkerRenameResult::TooLong) {
    ShowAllRows();
    notifier_.Notify(pt::kLabelTooLong.In(options_.language), NoticeIcon::Warning);
    return;
  }
  ShowAllRows();
}

void TPositioningForm::GridDoubleClick(int row) {
  if (row < 1 || row > markers_.Count() || busy_ || engine_.InMessageWait()) return;
  host_.SeekCommand(markers_.Row(row).position, false);
}

void TPositioningForm::ShowUtf8CheckBoxClick() {
  showUtf8_ = IsDlgButtonChecked(hwnd(), IDC_POS_UTF8_CHECK) == BST_CHECKED;
  ShowAllRows();
}

void TPositioningForm::WriteButtonClick() {
  if (!markers_.Dirty()) return;
  // A frame or snippet still plays from the file: no write under it.
  if (busy_ || engine_.InMessageWait() || engine_.FrameBusy()) return;
  if (notifier_.Notify(pt::kWriteQuestion.In(options_.language), NoticeIcon::Question) !=
      NoticeAnswer::Yes)
    return;
  const std::vector<uint8_t> block = markers_.BuildBlock();
  const MarkerWriteResult result = engine_.WriteMarkers(block.data(), block.size());
  if (!result.written) {
    // The list stays as the user made it, still to be written.
    notifier_.Notify(MarkerWriteFailureText(options_.language, result.message),
                     NoticeIcon::Warning);
    UpdateButtons();
    return;
  }
  // The rows are now the file's markers: take them as the file holds them.
  const int selected = selectedRow_;
  LoadMarkers();
  SelectRow(selected <= markers_.Count() ? selected : markers_.Count());
  UpdatePosition(engine_.GetPosition());
}

// ---- Messages.

bool TPositioningForm::HandleKey(WPARAM key) {
  switch (key) {
    case VK_PRIOR:
      BackwardButtonMouseDown(ShiftHeld());
      return true;
    case VK_NEXT:
      ForwardButtonMouseDown(ShiftHeld());
      return true;
    case VK_HOME:
      TopButtonMouseDown();
      return true;
    case VK_END:
      EndButtonMouseDown();
      return true;
    case VK_SPACE: {
      const bool seconds = IsDlgButtonChecked(hwnd(), IDC_POS_SECOND_RADIO) == BST_CHECKED;
      SetFocus(Control(seconds ? IDC_POS_SECOND_RADIO : IDC_POS_SAMPLE_RADIO));
      const bool down = IsDlgButtonChecked(hwnd(), IDC_POS_PLAY_FRAME_BUTTON) == BST_CHECKED;
      CheckDlgButton(hwnd(), IDC_POS_PLAY_FRAME_BUTTON, down ? BST_UNCHECKED : BST_CHECKED);
      PlayFrameButtonClick();
      return true;
    }
    default:
      return false;
  }
}

void TPositioningForm::Command(UINT id, UINT code) {
  switch (id) {
    case IDC_POS_PLAY_FRAME_BUTTON:
      if (code == BN_CLICKED) PlayFrameButtonClick();
      break;
    case IDC_POS_FRAME_CHECK:
      if (code == BN_CLICKED) UpdateButtons();
      break;
    case IDC_POS_ADD_BUTTON:
      if (code == BN_CLICKED) AddButtonClick();
      break;
    case IDC_POS_DELETE_BUTTON:
      if (code == BN_CLICKED) DeleteButtonClick(ShiftHeld());
      break;
    case IDC_POS_RENAME_BUTTON:
      if (code == BN_CLICKED) RenameButtonClick();
      break;
    case IDC_POS_WRITE_BUTTON:
      if (code == BN_CLICKED) WriteButtonClick();
      break;
    case IDC_POS_UTF8_CHECK:
      if (code == BN_CLICKED) ShowUtf8CheckBoxClick();
      break;
    case IDCANCEL:  // Esc
      HideForm();
      break;
    default:
      break;
  }
}

INT_PTR TPositioningForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      InitControls();
      LoadMarkers();
      return FALSE;
    case WM_SIZE:
      Layout(HIWORD(lParam));
      return TRUE;
    case WM_GETMINMAXINFO: {
      // Fixed client width, a minimum height.
      auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
      RECT rc{0, 0, kClientWidth, kDefaultClientHeight};
      AdjustWindowRectEx(&rc, static_cast<DWORD>(GetWindowLongW(hwnd(), GWL_STYLE)), FALSE,
                         static_cast<DWORD>(GetWindowLongW(hwnd(), GWL_EXSTYLE)));
      mm->ptMinTrackSize.x = mm->ptMaxTrackSize.x = rc.right - rc.left;
      mm->ptMinTrackSize.y = rc.bottom - rc.top;
      return TRUE;
    }
    case WM_POSITION_SEEKED:
      UpdatePosition(static_cast<uint64_t>(lParam));
      return TRUE;
    case WM_AUDITION_ENDED:
      busy_ = false;
      return TRUE;
    case kFormKeyMessage:
      HandleKey(wParam);
      return TRUE;
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
      if (n->idFrom != IDC_POS_GRID) return FALSE;
      if (n->code == LVN_ITEMCHANGED) {
        const auto* lv = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((lv->uNewState & LVIS_SELECTED) != 0) selectedRow_ = lv->iItem + 1;
      } else if (n->code == NM_DBLCLK) {
        const auto* ia = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
        if (ia->iItem >= 0) GridDoubleClick(ia->iItem + 1);
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace ov
