// The wave information window from its template, read back as a user sees
// it: the tree's nodes and parents and every node's boxes equal the text
// builder's output for corpus and hand-made files; the character codes, the
// notes in Japanese, the caret across a code change, and the window's own
// copy of the chunk table.
#include "app/shell/WaveInfoForm_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/common/AppMessages.h"
#include "app/common/Utf8.h"
#include "app/controls/MessageLoop_win.h"
#include "app/resources/ResourceIds.h"
#include "app/wavefile/TextDecode.h"
#include "app/wavefile/WaveFileParse.h"
#include "app/wavefile/WaveFileTestBytes.h"

namespace ov {
namespace {

using namespace testbytes;

std::wstring Wide(const std::string& utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

std::wstring TextOf(HWND h) {
  const auto n = static_cast<size_t>(SendMessageW(h, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(n + 1, L'\0');
  const auto got = static_cast<size_t>(
      SendMessageW(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(got);
  return text;
}

std::wstring Shown(const std::string& bytes, TextEncoding e) {
  return Wide(DecodeToUtf8(bytes, e));
}

// A file with its chunk table, as the engine publishes it.
}  // namespace
class TableSource : public WaveInfoSource {
 public:
  std::string name;
  std::unique_ptr<ChunkTable> table = std::make_unique<ChunkTable>();
  int asked = 0;
  std::string FileName(int source) override { return source == 1 ? name : std::string(); }
  const ChunkTable* PublishedChunkTable(int source) override {
    ++asked;
    return source == 1 ? table.get() : nullptr;
  }
  bool ParseFile(const std::string& path, uint32_t dataSaveBytes = 512) {
    name = path;
    table->Clear();
    MarkerTable markers;
    WaveFormat format{};
    WaveFileInfo info;
    ReaderMessage message;
    ParseOptions options;
    options.chunks = table.get();
    options.markers = &markers;
    options.dataSaveBytes = dataSaveBytes;
    return ParseWaveFile(path.c_str(), &format, &info, &message, options);
  }
  void ParseBytes(const Bytes& file, uint32_t dataSaveBytes = 512) {
    name = "C:\\hand made.wav";
    table->Clear();
    MarkerTable markers;
    MemoryByteSource memory(file.data(), file.size());
    WaveFormat format{};
    WaveFileInfo info;
    ReaderMessage message;
    ParseOptions options;
    options.chunks = table.get();
    options.markers = &markers;
    options.dataSaveBytes = dataSaveBytes;
    ParseWaveSource(memory, &format, &info, &message, options, false);
  }
};

namespace {
void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

struct Node {
  std::wstring text;
  int32_t index;
  int32_t parent;
};

// The tree as the control holds it, in order, with each item's parent index.
std::vector<Node> TreeNodes(HWND tree) {
  std::vector<Node> out;
  struct Walk {
    static void Items(HWND tree, HTREEITEM item, int32_t parent, std::vector<Node>& out) {
      for (; item != nullptr; item = TreeView_GetNextSibling(tree, item)) {
        wchar_t text[16] = {};
        TVITEMW tv{};
        tv.mask = TVIF_TEXT | TVIF_PARAM;
        tv.hItem = item;
        tv.pszText = text;
        tv.cchTextMax = 16;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
        out.push_back({text, static_cast<int32_t>(tv.lParam), parent});
        Items(tree, TreeView_GetChild(tree, item), static_cast<int32_t>(tv.lParam), out);
      }
    }
  };
  Walk::Items(tree, TreeView_GetRoot(tree), -1, out);
  return out;
}

class WaveInfoFormTest : public ::testing::Test {
 protected:
  void Open(Language language = Language::English) {
    ASSERT_TRUE(form.CreateForm(nullptr, language));
    form.ShowForm();
    PostMessageW(form.hwnd(), WM_WAVE_INFO_CHANGED, 1, 0);
    Pump();
    ASSERT_EQ(form.Source(), 1);
  }
  std::wstring Box(int id) { return TextOf(form.Control(id)); }

  // Every node's boxes against the builder's texts for options.
  void ExpectNodesAsBuilt(const WaveInfoOptions& options) {
    const ChunkTable& t = *source.table;
    const std::vector<ChunkNode> built = BuildChunkTree(t);
    const std::vector<Node> shown = TreeNodes(form.Control(IDC_WAVE_INFO_CHUNK_TREE));
    ASSERT_EQ(shown.size(), built.size());
    for (size_t i = 0; i < built.size(); ++i) {
      EXPECT_EQ(shown[i].index, built[i].index);
      EXPECT_EQ(shown[i].parent, built[i].parent) << i;
      EXPECT_EQ(shown[i].text, Wide(built[i].id));
    }
    const SummaryFields s = BuildSummaryFields(t, ",");
    for (const ChunkNode& n : built) {
      form.SelectNode(n.index);
      ASSERT_EQ(form.SelectedNode(), n.index);
      const NodeView v = BuildNodeView(t, n.index, options);
      EXPECT_EQ(Box(IDC_WAVE_INFO_CHUNK_NAME), Wide(v.name));
      EXPECT_EQ(Box(IDC_WAVE_INFO_CHUNK_OFFSET), Wide(v.offset));
      EXPECT_EQ(Box(IDC_WAVE_INFO_CHUNK_SIZE), Wide(v.size));
      EXPECT_EQ(Box(IDC_WAVE_INFO_TOP_LABEL1), Wide(v.ruler1));
      EXPECT_EQ(Box(IDC_WAVE_INFO_TOP_LABEL2), Wide(v.ruler2));
      EXPECT_EQ(Box(IDC_WAVE_INFO_MEMO1), Shown(v.memo1, v.memo1Encoding)) << n.id;
      EXPECT_EQ(Box(IDC_WAVE_INFO_MEMO2), Shown(v.memo2, v.memo2Encoding)) << n.id;
      EXPECT_EQ(Box(IDC_WAVE_INFO_FORMAT), Wide(s.format));
      EXPECT_EQ(Box(IDC_WAVE_INFO_SAMPLES), Wide(s.samples));
      EXPECT_EQ(Box(IDC_WAVE_INFO_TIME), Wide(s.time));
    }
  }

  TableSource source;
  WaveInfoForm form{source};
};

const std::string kCorpus = std::string(OV_SHARED_DIR) + "/testdata/wav/";

TEST_F(WaveInfoFormTest, BwfFileShowsItsTreeSummaryAndEveryNodeAsBuilt) {
  const std::string path = kCorpus + "bwf/hound-pr49--reaper_bext.wav";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "corpus file absent: " << path;
  ASSERT_TRUE(source.ParseFile(path));
  ASSERT_TRUE(source.table->bextPresent);
  Open();
  EXPECT_TRUE(IsWindowVisible(form.hwnd()));
  EXPECT_EQ(TextOf(form.hwnd()), L"Orlavisonic - Wave file Info.");
  EXPECT_EQ(Box(IDC_WAVE_INFO_CLOSE), L"Close");
  EXPECT_EQ(Box(IDC_WAVE_INFO_CHAR_CODE), L"ASCII");
  EXPECT_EQ(Box(IDC_WAVE_INFO_FILE_NAME), Wide(path));
  // The root is selected and Memo2 holds the file summary, exactly.
  EXPECT_EQ(form.SelectedNode(), 0);
  EXPECT_EQ(Box(IDC_WAVE_INFO_MEMO2), Wide(FileSummaryText(*source.table, ",")));
  EXPECT_NE(Box(IDC_WAVE_INFO_MEMO2).find(L"  BWF\r\n"), std::wstring::npos);
  ExpectNodesAsBuilt(WaveInfoOptions{});
}

TEST_F(WaveInfoFormTest, EveryCorpusFileShowsWithoutFault) {
  if (!std::filesystem::exists(kCorpus)) GTEST_SKIP() << "corpus absent: " << kCorpus;
  ASSERT_TRUE(form.CreateForm(nullptr, Language::English));
  form.ShowForm();
  int files = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(kCorpus)) {
    const std::string ext = e.path().extension().string();
    if (ext != ".wav" && ext != ".WAV") continue;
    source.ParseFile(e.path().string());
    form.FileInfoChanged(1);
    const int32_t count = source.table->count;
    // The root, the last node and a code change. Not UTF-8 here: arbitrary
    // sample bytes decode to a mix of scripts that Wine's multi-line edit
    // control cannot lay out (it faults inside Wine); the UTF-8 view is
    // tested on hand-made text.
    form.SelectNode(count);
    form.SetCharCode(CharCode::ShiftJis);
    form.SetCharCode(CharCode::Ascii);
    EXPECT_EQ(TreeNodes(form.Control(IDC_WAVE_INFO_CHUNK_TREE)).size(),
              static_cast<size_t>(count) + 1)
        << e.path();
    ++files;
  }
  EXPECT_GT(files, 20);
}

TEST_F(WaveInfoFormTest, ShiftJisInfoTextShowsAsJapaneseAndUtf8AsUtf8) {
  // "日本語" in Shift-JIS and in UTF-8.
  const Bytes sjis{0x93, 0xFA, 0x96, 0x7B, 0x8C, 0xEA, 0x00};
  const Bytes utf8{0xE6, 0x97, 0xA5, 0xE6, 0x9C, 0xAC, 0xE8, 0xAA, 0x9E, 0x00};
  source.ParseBytes(Riff(
      Pcm16Stereo() + Chunk("LIST", Text("INFO") + Chunk("INAM", sjis) + Chunk("ISFT", Bytes{0})) +
      Chunk("LIST", Text("adtl") + Chunk("labl", Le32(1) + utf8)) + Chunk("data", Ramp(400))));
  Open();
  const ChunkTable& t = *source.table;
  ASSERT_EQ(t.count, 7);
  form.SetCharCode(CharCode::ShiftJis);
  form.SelectNode(2);  // the INFO list
  EXPECT_NE(Box(IDC_WAVE_INFO_MEMO2).find(L"[INAM] Name\r\n日本語 \r\n"), std::wstring::npos)
      << Box(IDC_WAVE_INFO_MEMO2).size();
  EXPECT_NE(Box(IDC_WAVE_INFO_MEMO1).find(L"日本語"), std::wstring::npos);
  WaveInfoOptions o;
  o.code = CharCode::ShiftJis;
  ExpectNodesAsBuilt(o);

  form.SetCharCode(CharCode::Utf8);
  form.SelectNode(5);  // the adtl list
  EXPECT_NE(Box(IDC_WAVE_INFO_MEMO2).find(L"日本語 \r\n"), std::wstring::npos);
  EXPECT_EQ(Box(IDC_WAVE_INFO_CHAR_CODE), L"UTF-8");
}

TEST_F(WaveInfoFormTest, JapaneseNotesReadAsJapaneseAroundTheFileBytes) {
  source.ParseBytes(Riff(Pcm16Stereo() + Chunk("data", Ramp(100000))), 512);
  Open(Language::Japanese);
  EXPECT_EQ(Box(IDC_WAVE_INFO_CLOSE), L"閉じる");
  EXPECT_EQ(Box(IDC_WAVE_INFO_CHAR_CODE), L"S-JIS");
  EXPECT_EQ(Box(IDC_WAVE_INFO_TOP_LABEL2), L"[内容]");
  form.SelectNode(2);
  const std::wstring memo1 = Box(IDC_WAVE_INFO_MEMO1);
  const std::wstring top = L"             |      データ先頭 512 バイト (続く...)      | \r\n";
  ASSERT_GT(memo1.size(), top.size());
  EXPECT_EQ(memo1.substr(memo1.size() - top.size()), top);
  EXPECT_EQ(
      Box(IDC_WAVE_INFO_MEMO2)
          .rfind(L"             |           データ末尾 512 バイト           | \r\n00000184C0: ", 0),
      0u);
  EXPECT_EQ(Box(IDC_WAVE_INFO_TOP_LABEL2), Wide(kDumpRuler));
}

TEST_F(WaveInfoFormTest, CodeChangeKeepsBothCaretsAndTheWindowKeepsItsOwnTable) {
  source.ParseBytes(Riff(Pcm16Stereo() + Chunk("data", Ramp(100000))), 4096);
  Open();
  form.SelectNode(2);
  HWND memo1 = form.Control(IDC_WAVE_INFO_MEMO1);
  HWND memo2 = form.Control(IDC_WAVE_INFO_MEMO2);
  SendMessageW(memo1, EM_SETSEL, 1234, 1234);
  SendMessageW(memo2, EM_SETSEL, 567, 570);
  form.SetCharCode(CharCode::ShiftJis);
  DWORD a = 0, b = 0;
  SendMessageW(memo1, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  EXPECT_EQ(a, 1234u);
  EXPECT_EQ(b, 1234u);
  SendMessageW(memo2, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  EXPECT_EQ(a, 567u);
  EXPECT_EQ(b, 570u);

  // The engine re-parses (a gapless continuation): the window still shows
  // and selects what it copied.
  const std::wstring before = Box(IDC_WAVE_INFO_MEMO1);
  source.table->Clear();
  form.SelectNode(0);
  form.SelectNode(2);
  EXPECT_EQ(Box(IDC_WAVE_INFO_MEMO1), before);
  EXPECT_NE(form.Table(), source.table.get());
}

TEST_F(WaveInfoFormTest, NoSourceOrNoNameShowsNothingAndCloseHides) {
  source.ParseBytes(Riff(Pcm16Stereo() + Chunk("data", Ramp(40))));
  ASSERT_TRUE(form.CreateForm(nullptr, Language::English));
  form.ShowForm();  // source 0: nothing
  // The first show without stored bounds centres the window in the work area.
  RECT work{}, r{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(form.hwnd(), &r);
  EXPECT_NEAR((r.left + r.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, (work.top + work.bottom) / 2, 1);
  EXPECT_TRUE(TreeNodes(form.Control(IDC_WAVE_INFO_CHUNK_TREE)).empty());
  EXPECT_EQ(Box(IDC_WAVE_INFO_FILE_NAME), L"");
  form.FileInfoChanged(2);  // not recording to a file
  EXPECT_TRUE(TreeNodes(form.Control(IDC_WAVE_INFO_CHUNK_TREE)).empty());
  form.FileInfoChanged(1);
  EXPECT_EQ(TreeNodes(form.Control(IDC_WAVE_INFO_CHUNK_TREE)).size(), 3u);
  source.name.clear();
  form.FileInfoChanged(1);
  EXPECT_TRUE(TreeNodes(form.Control(IDC_WAVE_INFO_CHUNK_TREE)).empty());
  EXPECT_EQ(Box(IDC_WAVE_INFO_MEMO2), L"");

  SendMessageW(form.Control(IDC_WAVE_INFO_CLOSE), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindowVisible(form.hwnd()));
  const StoredBounds b = form.GetStoredBounds();
  EXPECT_EQ(b.PosX, r.left);
  EXPECT_EQ(b.Width, r.right - r.left);
  EXPECT_EQ(b.Height, r.bottom - r.top);
}

TEST_F(WaveInfoFormTest, StoredBoundsPlaceTheWindowAndTheRecordingIsASource) {
  source.ParseBytes(Riff(Pcm16Stereo() + Chunk("data", Ramp(40))));
  StoredBounds stored;
  stored.PosX = 30;
  stored.PosY = 40;
  stored.Width = 900;
  stored.Height = 600;
  form.SetStoredBounds(stored);
  ASSERT_TRUE(form.CreateForm(nullptr, Language::English));
  form.ShowForm();
  RECT r{};
  GetWindowRect(form.hwnd(), &r);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(r.right - r.left, 900);
  EXPECT_EQ(r.bottom - r.top, 600);
  // The controls follow the size: the close button stays at the corner.
  RECT client{}, close{};
  GetClientRect(form.hwnd(), &client);
  GetWindowRect(form.Control(IDC_WAVE_INFO_CLOSE), &close);
  MapWindowPoints(nullptr, form.hwnd(), reinterpret_cast<POINT*>(&close), 2);
  EXPECT_LT(client.right - close.right, 20);
  EXPECT_LT(client.bottom - close.bottom, 20);

  // After a recording the main window names the recorded file as source 2.
  struct RecordingSource : TableSource {
    std::string FileName(int s) override { return s == 2 ? name : std::string(); }
    const ChunkTable* PublishedChunkTable(int s) override { return s == 2 ? table.get() : nullptr; }
  } recording;
  recording.ParseBytes(Riff(Pcm16Stereo() + Chunk("LIST", Text("INFO") + Chunk("ISFT", Text("x"))) +
                            Chunk("data", Ramp(40))));
  WaveInfoForm recorded(recording);
  ASSERT_TRUE(recorded.CreateForm(nullptr, Language::English));
  PostMessageW(recorded.hwnd(), WM_WAVE_INFO_CHANGED, 2, 0);
  Pump();
  EXPECT_EQ(recorded.Source(), 2);
  EXPECT_EQ(TreeNodes(recorded.Control(IDC_WAVE_INFO_CHUNK_TREE)).size(), 5u);
  EXPECT_EQ(TextOf(recorded.Control(IDC_WAVE_INFO_FILE_NAME)), L"C:\\hand made.wav");
}

// The pointer moving over the tree or a text box puts the focus there, so
// that the wheel and the keys act on what is under the pointer.
TEST_F(WaveInfoFormTest, FocusFollowsThePointerIntoTheTreeAndTheTextBoxes) {
  source.ParseBytes(Riff(Pcm16Stereo() + Chunk("data", Ramp(40))));
  Open();
  SetForegroundWindow(form.hwnd());
  Pump();
  ASSERT_EQ(GetActiveWindow(), form.hwnd());
  for (int id : {IDC_WAVE_INFO_MEMO1, IDC_WAVE_INFO_CHUNK_TREE, IDC_WAVE_INFO_MEMO2,
                 IDC_WAVE_INFO_CHUNK_TREE}) {
    HWND control = form.Control(id);
    RECT r{};
    GetWindowRect(control, &r);
    SetCursorPos((r.left + r.right) / 2 - 2, (r.top + r.bottom) / 2);
    const ULONGLONG start = GetTickCount64();
    while (GetFocus() != control && GetTickCount64() - start < 5000) {
      SetCursorPos((r.left + r.right) / 2 + (GetTickCount64() & 1 ? 2 : -2),
                   (r.top + r.bottom) / 2);
      Sleep(20);
      Pump();
    }
    EXPECT_EQ(GetFocus(), control) << "control " << id;
  }
  SetCursorPos(0, 0);
}

// Figures, not limits: the machine is shared.
TEST_F(WaveInfoFormTest, LargeDumpAndManyChunksTimings) {
  Bytes chunks = Pcm16Stereo();
  for (int i = 0; i < 396; ++i) chunks = chunks + Chunk("abcd", Ramp(10));
  chunks = chunks + Chunk("big ", Ramp(1 << 20)) + Chunk("data", Ramp(400));
  source.ParseBytes(Riff(chunks));
  ASSERT_TRUE(form.CreateForm(nullptr, Language::English));
  form.ShowForm();
  using Clock = std::chrono::steady_clock;
  const auto t0 = Clock::now();
  form.FileInfoChanged(1);
  const auto t1 = Clock::now();
  const int32_t big = source.table->count - 1;
  form.SelectNode(big);
  // Shown means painted too.
  RedrawWindow(form.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  const auto t2 = Clock::now();
  // The first rebuild in a process also pays for the tree control's and the
  // fonts' first use; the second is what a user waits for after a recording.
  form.FileInfoChanged(1);
  RedrawWindow(form.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  const auto t3 = Clock::now();
  form.SelectNode(big);
  EXPECT_EQ(TreeNodes(form.Control(IDC_WAVE_INFO_CHUNK_TREE)).size(),
            static_cast<size_t>(source.table->count) + 1);
  ASSERT_EQ(source.table->entries[big - 1].length, 1u << 20);
  const NodeView v = BuildNodeView(*source.table, big, WaveInfoOptions{});
  EXPECT_EQ(Box(IDC_WAVE_INFO_MEMO1), Shown(v.memo1, v.memo1Encoding));
  EXPECT_GT(v.memo1.size(), size_t{65536} * 76);
  const auto ms = [](auto d) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
  };
  std::printf(
      "rebuild of %d chunks: %lld ms (again, painted: %lld ms); node with a %u-byte chunk shown "
      "and painted: %lld ms\n",
      source.table->count, static_cast<long long>(ms(t1 - t0)), static_cast<long long>(ms(t3 - t2)),
      source.table->entries[big - 1].length, static_cast<long long>(ms(t2 - t1)));
}

}  // namespace
}  // namespace ov
