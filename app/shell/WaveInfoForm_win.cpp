// TWaveInfoForm: the wave file information window.
#include "app/shell/WaveInfoForm_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/common/AppMessages.h"
#include "app/common/Utf8.h"
#include "app/controls/TextView_win.h"
#include "app/resources/ResourceIds.h"
#include "app/wavefile/TextDecode.h"

namespace ov {

namespace {

constexpr TwoLanguageText kCloseText{"閉じる", "Close"};
constexpr const wchar_t* kCharCodeItems[] = {L"ASCII", L"S-JIS", L"UTF-8"};

// How a control follows the window's size: each share is the part of the
// width or height change (0, a half or all of it).
enum Share : uint8_t { kNone = 0, kHalf = 1, kAll = 2 };
struct Anchor {
  int id;
  Share moveX, moveY, growX, growY;
};
constexpr Anchor kAnchors[] = {
    {IDC_WAVE_INFO_FILE_NAME, kNone, kNone, kAll, kNone},
    {IDC_WAVE_INFO_CHUNK_TREE, kNone, kNone, kNone, kAll},
    {IDC_WAVE_INFO_CHAR_CODE, kAll, kNone, kNone, kNone},
    {IDC_WAVE_INFO_TOP_LABEL1, kNone, kNone, kAll, kNone},
    {IDC_WAVE_INFO_MEMO1, kNone, kNone, kAll, kHalf},
    {IDC_WAVE_INFO_TOP_LABEL2, kNone, kHalf, kAll, kNone},
    {IDC_WAVE_INFO_MEMO2, kNone, kHalf, kAll, kHalf},
    {IDC_WAVE_INFO_CAPTION_FORMAT, kNone, kAll, kNone, kNone},
    {IDC_WAVE_INFO_FORMAT, kNone, kAll, kNone, kNone},
    {IDC_WAVE_INFO_CAPTION_SAMPLES, kNone, kAll, kNone, kNone},
    {IDC_WAVE_INFO_SAMPLES, kNone, kAll, kNone, kNone},
    {IDC_WAVE_INFO_CAPTION_TIME, kNone, kAll, kNone, kNone},
    {IDC_WAVE_INFO_TIME, kNone, kAll, kNone, kNone},
    {IDC_WAVE_INFO_CLOSE, kAll, kAll, kNone, kNone},
};
constexpr size_t kAnchorCount = sizeof(kAnchors) / sizeof(kAnchors[0]);

// The controls' rectangles in the template's layout, and its client size.
struct TemplateLayout {
  RECT rects[kAnchorCount];
  SIZE client;
};

int Part(Share s, int delta) {
  return s == kAll ? delta : s == kHalf ? delta / 2 : 0;
}

std::wstring Wide(const std::string& utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

// The bytes as the user sees them in that encoding.
std::wstring Display(std::string_view bytes, TextEncoding encoding) {
  return Wide(DecodeToUtf8(bytes, encoding));
}

// A dump or view with the program's notes (UTF-8) kept apart from the
// file's bytes, each decoded as what it is.
std::wstring DisplayWithNotes(const std::string& text, TextEncoding encoding, size_t bytesFrom,
                              size_t bytesTo) {
  const std::string_view all(text);
  bytesTo = std::min(bytesTo, all.size());
  bytesFrom = std::min(bytesFrom, bytesTo);
  return Display(all.substr(0, bytesFrom), TextEncoding::Utf8) +
         Display(all.substr(bytesFrom, bytesTo - bytesFrom), encoding) +
         Display(all.substr(bytesTo), TextEncoding::Utf8);
}

LRESULT CALLBACK FocusFollowsMouse(HWND h, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR) {
  if (msg == WM_MOUSEMOVE && GetFocus() != h && GetActiveWindow() == GetAncestor(h, GA_ROOT)) {
    SetFocus(h);
  } else if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(h, FocusFollowsMouse, 1);
  }
  return DefSubclassProc(h, msg, wParam, lParam);
}

// The per-window layout lives in a property so the header stays small.
constexpr wchar_t kLayoutProp[] = L"OvWaveInfoLayout";

}  // namespace

bool WaveInfoForm::CreateForm(HWND owner, Language language, HFONT englishFont) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  // The hex and text dumps run to tens of thousands of lines: the text boxes
  // are views that lay out only the lines in sight.
  if (!TTextView::Register()) return false;
  options_.language = language;
  options_.code = language == Language::Japanese ? CharCode::ShiftJis : CharCode::Ascii;
  englishFont_ = language == Language::English ? englishFont : nullptr;
  return CreateModeless(owner, IDD_WAVE_INFO_FORM);
}

void WaveInfoForm::FormCreate() {
  SetWindowTextW(hwnd(), kCaption);
  if (englishFont_ != nullptr) {
    for (HWND c = GetWindow(hwnd(), GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(englishFont_), FALSE);
    }
  }
  SetDlgItemTextW(hwnd(), IDC_WAVE_INFO_CLOSE, Wide(kCloseText.In(options_.language)).c_str());
  // The dump's columns line up only in a fixed-pitch font; one that has the
  // Japanese characters when the system has it.
  HDC dc = GetDC(hwnd());
  for (const wchar_t* face : {L"MS Gothic", L"Courier New"}) {
    fixedFont_ = CreateFontW(-MulDiv(9, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0,
                             0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, face);
    HGDIOBJ old = SelectObject(dc, fixedFont_);
    wchar_t got[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, got);
    SelectObject(dc, old);
    if (_wcsicmp(got, face) == 0 || face[0] == L'C') break;
    DeleteObject(fixedFont_);
  }
  ReleaseDC(hwnd(), dc);
  for (int id : {IDC_WAVE_INFO_TOP_LABEL1, IDC_WAVE_INFO_MEMO1, IDC_WAVE_INFO_TOP_LABEL2,
                 IDC_WAVE_INFO_MEMO2}) {
    SendMessageW(Control(id), WM_SETFONT, reinterpret_cast<WPARAM>(fixedFont_), FALSE);
  }
  for (int id : {IDC_WAVE_INFO_MEMO1, IDC_WAVE_INFO_MEMO2}) {
    SendMessageW(Control(id), EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  }
  // The chunk tree is not subclassed: under Wine every message to a
  // subclassed window looks its subclass up in the window server, and a
  // rebuild sends the tree a message per chunk. The dialog takes the tree's
  // mouse moves from WM_SETCURSOR instead.
  for (int id : {IDC_WAVE_INFO_MEMO1, IDC_WAVE_INFO_MEMO2}) {
    SetWindowSubclass(Control(id), FocusFollowsMouse, 1, 0);
  }
  HWND combo = Control(IDC_WAVE_INFO_CHAR_CODE);
  for (const wchar_t* item : kCharCodeItems) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  }
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(options_.code), 0);

  // Remember the template's layout for resizing, and its size as the least.
  auto* layout = new TemplateLayout{};
  RECT client{};
  GetClientRect(hwnd(), &client);
  layout->client = {client.right, client.bottom};
  for (size_t i = 0; i < kAnchorCount; ++i) {
    GetWindowRect(Control(kAnchors[i].id), &layout->rects[i]);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&layout->rects[i]), 2);
  }
  SetPropW(hwnd(), kLayoutProp, layout);
  RECT window{};
  GetWindowRect(hwnd(), &window);
  minTrack_ = {window.right - window.left, window.bottom - window.top};
}

void WaveInfoForm::FormResize(int width, int height) {
  const auto* layout = static_cast<const TemplateLayout*>(GetPropW(hwnd(), kLayoutProp));
  if (layout == nullptr) return;
  const int dx = width - layout->client.cx;
  const int dy = height - layout->client.cy;
  HDWP batch = BeginDeferWindowPos(static_cast<int>(kAnchorCount));
  for (size_t i = 0; i < kAnchorCount && batch != nullptr; ++i) {
    const Anchor& a = kAnchors[i];
    const RECT& r = layout->rects[i];
    batch = DeferWindowPos(batch, Control(a.id), nullptr, r.left + Part(a.moveX, dx),
                           r.top + Part(a.moveY, dy), r.right - r.left + Part(a.growX, dx),
                           r.bottom - r.top + Part(a.growY, dy), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (batch != nullptr) EndDeferWindowPos(batch);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void WaveInfoForm::ShowForm() {
  if (hwnd() == nullptr) return;
  RECT r{};
  GetWindowRect(hwnd(), &r);
  int x = r.left, y = r.top, w = r.right - r.left, h = r.bottom - r.top;
  HMONITOR monitor = MonitorFromWindow(
      GetWindow(hwnd(), GW_OWNER) ? GetWindow(hwnd(), GW_OWNER) : hwnd(), MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  GetMonitorInfoW(monitor, &mi);
  const RECT& work = mi.rcWork;
  if (!shownOnce_) {
    shownOnce_ = true;
    if (bounds_.Width > 0 && bounds_.Height > 0) {
      x = bounds_.PosX;
      y = bounds_.PosY;
      w = std::max<int>(bounds_.Width, minTrack_.x);
      h = std::max<int>(bounds_.Height, minTrack_.y);
    } else {
      x = work.left + ((work.right - work.left) - w) / 2;
      y = work.top + ((work.bottom - work.top) - h) / 2;
    }
  }
  // Inside the work area, its top-left corner first.
  x = std::max<int>(work.left, std::min<int>(x, work.right - w));
  y = std::max<int>(work.top, std::min<int>(y, work.bottom - h));
  SetWindowPos(hwnd(), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  Rebuild();
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  SetFocus(Control(IDC_WAVE_INFO_CHUNK_TREE));
}

void WaveInfoForm::HideForm() {
  if (hwnd() == nullptr || !IsWindowVisible(hwnd())) return;
  bounds_ = GetStoredBounds();
  ShowWindow(hwnd(), SW_HIDE);
}

StoredBounds WaveInfoForm::GetStoredBounds() const {
  if (hwnd() == nullptr || !IsWindowVisible(hwnd()) || IsIconic(hwnd())) return bounds_;
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  GetWindowPlacement(hwnd(), &wp);
  const RECT& r = wp.rcNormalPosition;
  StoredBounds b;
  b.PosX = r.left;
  b.PosY = r.top;
  b.Width = r.right - r.left;
  b.Height = r.bottom - r.top;
  return b;
}

void WaveInfoForm::FileInfoChanged(int source) {
  source_number_ = source;
  Rebuild();
}

void WaveInfoForm::ClearFields() {
  rebuilding_ = true;
  TreeView_DeleteAllItems(Control(IDC_WAVE_INFO_CHUNK_TREE));
  rebuilding_ = false;
  for (int id : {IDC_WAVE_INFO_FILE_NAME, IDC_WAVE_INFO_CHUNK_NAME, IDC_WAVE_INFO_CHUNK_OFFSET,
                 IDC_WAVE_INFO_CHUNK_SIZE, IDC_WAVE_INFO_TOP_LABEL1, IDC_WAVE_INFO_MEMO1,
                 IDC_WAVE_INFO_TOP_LABEL2, IDC_WAVE_INFO_MEMO2, IDC_WAVE_INFO_FORMAT,
                 IDC_WAVE_INFO_SAMPLES, IDC_WAVE_INFO_TIME}) {
    SetDlgItemTextW(hwnd(), id, L"");
  }
  selected_ = -1;
}

void WaveInfoForm::Rebuild() {
  if (hwnd() == nullptr) return;
  ClearFields();
  table_.reset();
  if (source_number_ != 1 && source_number_ != 2) return;
  const std::string name = source_.FileName(source_number_);
  if (name.empty()) return;
  SetDlgItemTextW(hwnd(), IDC_WAVE_INFO_FILE_NAME, Wide(name).c_str());
  const ChunkTable* published = source_.PublishedChunkTable(source_number_);
  if (published == nullptr) return;
  table_ = CopyChunkTable(*published);
  if (table_ == nullptr) return;

  HWND tree = Control(IDC_WAVE_INFO_CHUNK_TREE);
  const std::vector<ChunkNode> nodes = BuildChunkTree(*table_);
  std::vector<HTREEITEM> items(nodes.size(), nullptr);
  rebuilding_ = true;
  SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
  for (const ChunkNode& n : nodes) {
    const std::wstring text = Display(n.id, TextEncoding::SystemAnsi);
    TVINSERTSTRUCTW in{};
    const bool hasParent = n.parent >= 0 && static_cast<size_t>(n.parent) < items.size();
    in.hParent = hasParent ? items[static_cast<size_t>(n.parent)] : TVI_ROOT;
    in.hInsertAfter = TVI_LAST;
    in.item.mask = TVIF_TEXT | TVIF_PARAM;
    in.item.pszText = const_cast<wchar_t*>(text.c_str());
    in.item.lParam = n.index;
    items[static_cast<size_t>(n.index)] = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&in)));
  }
  if (!items.empty() && items[0] != nullptr) {
    TreeView_Expand(tree, items[0], TVE_EXPAND);
    TreeView_SelectItem(tree, items[0]);
  }
  SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree, nullptr, TRUE);
  rebuilding_ = false;
  ShowNode(0);
}

void WaveInfoForm::SetText(int id, const std::string& bytes, TextEncoding encoding) {
  SetDlgItemTextW(hwnd(), id, Display(bytes, encoding).c_str());
}

void WaveInfoForm::ShowNode(int32_t node) {
  if (table_ == nullptr) return;
  selected_ = node;
  // The busy cursor while a large dump is built and shown.
  size_t bytes = 12;
  if (node >= 1 && node <= table_->count) {
    bytes = 8 + table_->entries[node - 1].length + table_->dataTail.length;
  }
  HCURSOR old = nullptr;
  if (bytes > kBusyCursorBytes) old = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  const NodeView v = BuildNodeView(*table_, node, options_);
  const SummaryFields s = BuildSummaryFields(*table_, options_.thousandsSeparator);
  SetText(IDC_WAVE_INFO_CHUNK_NAME, v.name, TextEncoding::SystemAnsi);
  SetText(IDC_WAVE_INFO_CHUNK_OFFSET, v.offset, TextEncoding::SystemAnsi);
  SetText(IDC_WAVE_INFO_CHUNK_SIZE, v.size, TextEncoding::Utf8);
  SetText(IDC_WAVE_INFO_FORMAT, s.format, TextEncoding::Utf8);
  SetText(IDC_WAVE_INFO_SAMPLES, s.samples, TextEncoding::Utf8);
  SetText(IDC_WAVE_INFO_TIME, s.time, TextEncoding::Utf8);
  SetText(IDC_WAVE_INFO_TOP_LABEL1, v.ruler1, TextEncoding::Utf8);
  SetText(IDC_WAVE_INFO_TOP_LABEL2, v.ruler2, TextEncoding::Utf8);
  SetDlgItemTextW(hwnd(), IDC_WAVE_INFO_MEMO1,
                  DisplayWithNotes(v.memo1, v.memo1Encoding, 0, v.memo1NotesFrom).c_str());
  SetDlgItemTextW(
      hwnd(), IDC_WAVE_INFO_MEMO2,
      DisplayWithNotes(v.memo2, v.memo2Encoding, v.memo2NotesEnd, std::string::npos).c_str());
  ShowScrollBar(Control(IDC_WAVE_INFO_MEMO2), SB_HORZ, v.memo2Horizontal ? TRUE : FALSE);
  if (old != nullptr) SetCursor(old);
}

void WaveInfoForm::SelectNode(int32_t node) {
  HWND tree = Control(IDC_WAVE_INFO_CHUNK_TREE);
  // Walk the tree in order: item k is node k.
  HTREEITEM item = TreeView_GetRoot(tree);
  for (int32_t k = 0; item != nullptr && k < node; ++k) {
    HTREEITEM next = TreeView_GetChild(tree, item);
    while (next == nullptr && item != nullptr) {
      next = TreeView_GetNextSibling(tree, item);
      if (next == nullptr) item = TreeView_GetParent(tree, item);
    }
    item = next;
  }
  if (item != nullptr) TreeView_SelectItem(tree, item);
}

void WaveInfoForm::SetCharCode(CharCode code) {
  SendMessageW(Control(IDC_WAVE_INFO_CHAR_CODE), CB_SETCURSEL, static_cast<WPARAM>(code), 0);
  CharCodeComboBoxChange();
}

void WaveInfoForm::ChunkTreeViewChange(LPARAM itemParam) {
  if (!rebuilding_) ShowNode(static_cast<int32_t>(itemParam));
}

void WaveInfoForm::CharCodeComboBoxChange() {
  const LRESULT pick = SendMessageW(Control(IDC_WAVE_INFO_CHAR_CODE), CB_GETCURSEL, 0, 0);
  if (pick < 0 || pick > 2) return;
  options_.code = static_cast<CharCode>(pick);
  // Both boxes keep their caret and the line at their top.
  struct Kept {
    DWORD start = 0, end = 0;
    LRESULT top = 0;
  } kept[2];
  const int memos[2] = {IDC_WAVE_INFO_MEMO1, IDC_WAVE_INFO_MEMO2};
  for (int i = 0; i < 2; ++i) {
    HWND m = Control(memos[i]);
    SendMessageW(m, EM_GETSEL, reinterpret_cast<WPARAM>(&kept[i].start),
                 reinterpret_cast<LPARAM>(&kept[i].end));
    kept[i].top = SendMessageW(m, EM_GETFIRSTVISIBLELINE, 0, 0);
  }
  if (selected_ >= 0) ShowNode(selected_);
  for (int i = 0; i < 2; ++i) {
    HWND m = Control(memos[i]);
    SendMessageW(m, EM_SETSEL, kept[i].start, kept[i].end);
    const LRESULT nowTop = SendMessageW(m, EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageW(m, EM_LINESCROLL, 0, kept[i].top - nowTop);
  }
}

void WaveInfoForm::CloseButtonClick() {
  HideForm();
}

INT_PTR WaveInfoForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      FormCreate();
      return TRUE;
    case WM_WAVE_INFO_CHANGED:
      FileInfoChanged(static_cast<int>(wParam));
      return TRUE;
    case WM_NOTIFY: {
      const auto* n = reinterpret_cast<const NMHDR*>(lParam);
      if (n->idFrom == IDC_WAVE_INFO_CHUNK_TREE &&
          (n->code == TVN_SELCHANGEDW || n->code == TVN_SELCHANGEDA)) {
        ChunkTreeViewChange(reinterpret_cast<const NMTREEVIEWW*>(lParam)->itemNew.lParam);
        return TRUE;
      }
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_WAVE_INFO_CHAR_CODE && HIWORD(wParam) == CBN_SELCHANGE) {
        CharCodeComboBoxChange();
        return TRUE;
      }
      if (LOWORD(wParam) == IDC_WAVE_INFO_CLOSE || LOWORD(wParam) == IDCANCEL) {
        CloseButtonClick();
        return TRUE;
      }
      return FALSE;
    case WM_SETCURSOR: {
      // The focus follows the mouse into the chunk tree, as into the text
      // boxes; the default handling still sets the cursor.
      HWND tree = Control(IDC_WAVE_INFO_CHUNK_TREE);
      if (reinterpret_cast<HWND>(wParam) == tree && HIWORD(lParam) == WM_MOUSEMOVE &&
          GetFocus() != tree && GetActiveWindow() == hwnd()) {
        SetFocus(tree);
      }
      return FALSE;
    }
    case WM_CLOSE:
      HideForm();
      return TRUE;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) FormResize(LOWORD(lParam), HIWORD(lParam));
      return TRUE;
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(lParam);
      if (minTrack_.x > 0) mm->ptMinTrackSize = minTrack_;
      return TRUE;
    }
    case WM_DESTROY:
      delete static_cast<TemplateLayout*>(RemovePropW(hwnd(), kLayoutProp));
      if (fixedFont_ != nullptr) DeleteObject(fixedFont_);
      fixedFont_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace ov
