// The overlay panel in a real window: its buttons capture, save and load
// through files on disk, a refused load changes nothing, and the edits, the
// key preview and the texts behave as a user sees them.
#include "app/analysis/OverlayPanelWindow_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/analysis/AnalysisTestSupport.h"
#include "app/common/Utf8.h"

namespace ov {
namespace {

std::wstring Wide(const std::string& utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

std::wstring TextOf(HWND h) {
  wchar_t text[512] = {};
  SendMessageW(h, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
  return text;
}

class RecordingHost : public OverlayPanelHost {
 public:
  int focusFftInfo = 0;
  std::vector<bool> keyPreview;
  std::vector<bool> changes;
  std::string folder = "C:\\";
  void FocusFftInfo() override {
    ++focusFftInfo;
    SetFocus(nullptr);
  }
  void SetKeyPreview(bool on) override { keyPreview.push_back(on); }
  void OverlaysChanged(bool layoutChanged) override { changes.push_back(layoutChanged); }
  std::string LastDirectory() override { return folder; }
  void SetLastDirectory(const std::string& f) override { folder = f; }
};

// Answers each dialog with the next path; an empty one cancels.
class ScriptedChooser : public OverlayFileChooser {
 public:
  std::vector<std::string> answers;
  std::vector<OverlayDialogRequest> requests;
  bool Choose(HWND, const OverlayDialogRequest& r, std::string& path) override {
    requests.push_back(r);
    if (answers.empty()) return false;
    path = answers.front();
    answers.erase(answers.begin());
    return !path.empty();
  }
};

// A top-level window standing in for the main window's spectrum tool area.
class HostWindow : public Window {
 public:
  bool Make() {
    return RegisterWindowClass(L"OvOverlayPanelTestHost") &&
           Create(L"OvOverlayPanelTestHost", L"panel test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 40,
                  40, 400, 120);
  }
};

std::string TempFolder() {
  wchar_t buffer[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, buffer);
  std::wstring folder = std::wstring(buffer) + L"ov_overlay_panel_test\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  return Utf16ToUtf8(std::u16string(folder.begin(), folder.end()));
}

std::string ReadWhole(const std::string& path) {
  std::string bytes;
  SystemTextFiles().ReadPrefix(path.c_str(), 1 << 24, bytes);
  return bytes;
}

class OverlayPanelWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    analysis.Format = test::PcmFormat(1, 44100, 16);
    ASSERT_TRUE(analysis.SetAnalysisSize(4096));
    ASSERT_TRUE(hostWindow.Make());
    ASSERT_TRUE(panel.CreatePanel(hostWindow.hwnd(), 4, 4));
    folder = TempFolder();
  }
  void TearDown() override {
    for (const char* name : {"one.ovo", "48k.ovo", "keep.ovo"}) {
      DeleteFileW(Wide(folder + name).c_str());
    }
  }
  // One drawing step over a held frame with a 1 kHz tone.
  void ComputeFrame() {
    engine.block = test::ToneFrames(analysis.Format, analysis.N, {{1000, 3000}});
    analysis.live = true;
    analysis.measureMode = true;
    analysis.spectrumAreaHeight = 200;
    engine.playState = kPlayPlaying;
    ASSERT_EQ(analysis.AcquireFrame(true), 0);
    analysis.ComputeSpectrum();
    analysis.live = false;
    analysis.frameValid = true;  // stopped with the frame held
    panel.SyncButtons();
  }
  static void Press(HWND button) { SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, 0); }
  static void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
  static bool Enabled(HWND h) { return IsWindowEnabled(h) != 0; }

  Kp05Api api = StaticKp05Api();
  test::FakeBlockSource engine;
  test::RecordingNotifier notifier;
  NoModifierKeys keys;
  FrameAnalysis analysis{api, engine, notifier, keys};
  RecordingHost host;
  HostWindow hostWindow;
  ScriptedChooser chooser;
  OverlayPanelWindow panel{analysis, host, notifier, SystemTextFiles(), chooser};
  std::string folder;
};

TEST_F(OverlayPanelWindowTest, CaptureSaveAndLoadRoundTripThroughTheButtons) {
  // Nothing to show, load or save before a frame is held.
  EXPECT_FALSE(Enabled(panel.ShowButton(1)));
  EXPECT_FALSE(Enabled(panel.LoadButton(1)));
  EXPECT_FALSE(Enabled(panel.SaveButton(1)));
  ComputeFrame();
  EXPECT_TRUE(Enabled(panel.LoadButton(1)));
  EXPECT_FALSE(Enabled(panel.SaveButton(1)));

  Press(panel.CaptureButton(1));
  EXPECT_TRUE(Enabled(panel.ShowButton(1)));
  EXPECT_TRUE(Enabled(panel.SaveButton(1)));
  EXPECT_TRUE(analysis.overlay1.shown);
  analysis.ComputeSpectrum();  // performs the capture
  for (int k = 0; k < analysis.B; ++k) ASSERT_EQ(analysis.Overlay1Amp[k], analysis.SpectrumAmp[k]);
  EXPECT_GT(host.focusFftInfo, 0);

  SetWindowTextW(panel.CommentEdit(1), L"ref \"A\" コメント");
  EXPECT_TRUE(analysis.overlay1.dirty);
  chooser.answers = {folder + "one.ovo"};
  Click(panel.SaveButton(1));
  ASSERT_TRUE(notifier.texts.empty()) << notifier.texts[0];
  ASSERT_EQ(chooser.requests.size(), 1u);
  EXPECT_TRUE(chooser.requests[0].save);
  EXPECT_EQ(chooser.requests[0].initialDir, "C:\\");
  EXPECT_EQ(chooser.requests[0].fileName, "");  // the dialog proposes OVERLAY.OVO
  EXPECT_EQ(host.folder, folder);
  EXPECT_FALSE(analysis.overlay1.dirty);
  EXPECT_FALSE(Enabled(panel.SaveButton(1)));
  const std::string file = ReadWhole(folder + "one.ovo");
  const std::string head =
      "\"Orlavisonic Overlay\",1.20\r\n\"Comment\",\"ref \"A\" \xE3\x82\xB3\xE3\x83\xA1"
      "\xE3\x83\xB3\xE3\x83\x88\"\r\n\"Sampling Frequency\",44100\r\n";
  EXPECT_EQ(file.substr(0, head.size()), head);
  EXPECT_NE(file.find("\"FFT Samples\",4096\r\n\"Amplitude\",2049\r\n"), std::string::npos);
  EXPECT_TRUE(IsWindowVisible(panel.CommentEdit(1)));
  EXPECT_FALSE(IsWindowVisible(panel.ProgressBar()));

  // Into the other overlay: the same amplitudes and comment, not dirty.
  chooser.answers = {folder + "one.ovo"};
  host.changes.clear();
  Click(panel.LoadButton(2));
  ASSERT_TRUE(notifier.texts.empty()) << notifier.texts[0];
  EXPECT_FALSE(chooser.requests[1].save);
  EXPECT_EQ(chooser.requests[1].initialDir, folder);
  for (int k = 0; k < analysis.B; ++k) {
    ASSERT_NEAR(analysis.Overlay2Amp[k], analysis.Overlay1Amp[k], 1e-14 * analysis.Overlay1Amp[k]);
  }
  EXPECT_EQ(TextOf(panel.CommentEdit(2)), L"ref \"A\" コメント");
  EXPECT_FALSE(analysis.overlay2.dirty);
  EXPECT_TRUE(analysis.overlay2.shown && analysis.overlay2.stale);
  EXPECT_TRUE(Enabled(panel.ShowButton(2)));
  EXPECT_FALSE(Enabled(panel.SaveButton(2)));
  EXPECT_EQ(host.changes, std::vector<bool>{true});
  EXPECT_TRUE(IsWindowVisible(panel.CommentEdit(2)));
  EXPECT_FALSE(IsWindowVisible(panel.ProgressBar()));

  // The show button hides and shows it again.
  Press(panel.ShowButton(2));
  EXPECT_FALSE(analysis.overlay2.shown);
  panel.ToggleShow(2);
  EXPECT_TRUE(analysis.overlay2.shown);
}

TEST_F(OverlayPanelWindowTest, RefusedOrCancelledLoadLeavesTheOverlayAsItWas) {
  ComputeFrame();
  std::vector<double> other(static_cast<size_t>(analysis.B), 3.0);
  ASSERT_EQ(SystemTextFiles().WriteNew(
                (folder + "48k.ovo").c_str(),
                FormatOverlayFile("other", 48000, analysis.N, other.data(), analysis.B)),
            TextFiles::WriteResult::Ok);
  for (int k = 0; k < analysis.B; ++k) analysis.Overlay1Amp[k] = 7.0;
  SetWindowTextW(panel.CommentEdit(1), L"mine");
  EXPECT_TRUE(analysis.overlay1.dirty);

  chooser.answers = {folder + "48k.ovo", folder + "missing.ovo", ""};
  Click(panel.LoadButton(1));
  Click(panel.LoadButton(1));
  Click(panel.LoadButton(1));  // cancelled
  ASSERT_EQ(notifier.texts.size(), 2u);
  EXPECT_EQ(notifier.texts[0], "Unable to load.  [Sampling freq. mismatch.]\n\n48000");
  EXPECT_EQ(notifier.texts[1], "Unable to open file.\n\n" + folder + "missing.ovo");
  EXPECT_EQ(notifier.icons[0], NoticeIcon::Warning);
  for (int k = 0; k < analysis.B; ++k) ASSERT_EQ(analysis.Overlay1Amp[k], 7.0);
  EXPECT_EQ(TextOf(panel.CommentEdit(1)), L"mine");
  EXPECT_TRUE(analysis.overlay1.dirty);
  EXPECT_FALSE(analysis.overlay1.shown);
  EXPECT_FALSE(Enabled(panel.ShowButton(1)));
  EXPECT_TRUE(IsWindowVisible(panel.CommentEdit(1)));
  EXPECT_FALSE(IsWindowVisible(panel.ProgressBar()));
}

TEST_F(OverlayPanelWindowTest, FailedSaveKeepsTheOldFileAndTheDirtyMark) {
  ComputeFrame();
  Press(panel.CaptureButton(2));
  analysis.ComputeSpectrum();
  const std::string keep = folder + "keep.ovo";
  ASSERT_EQ(SystemTextFiles().WriteNew(keep.c_str(), "old"), TextFiles::WriteResult::Ok);
  // Held open without sharing, the old file cannot be replaced.
  HANDLE lock = CreateFileW(Wide(keep).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  chooser.answers = {keep};
  Click(panel.SaveButton(2));
  CloseHandle(lock);
  ASSERT_EQ(notifier.texts.size(), 1u);
  EXPECT_EQ(notifier.texts[0].rfind("Unable to ", 0), 0u) << notifier.texts[0];
  EXPECT_EQ(ReadWhole(keep), "old");
  EXPECT_EQ(GetFileAttributesW(Wide(keep + kOverlaySaveSuffix).c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(analysis.overlay2.dirty);
  EXPECT_TRUE(Enabled(panel.SaveButton(2)));
  EXPECT_EQ(panel.Logic().fileName[1], keep);
}

TEST_F(OverlayPanelWindowTest, CommentEditTurnsKeyPreviewOffAndEscHandsTheFocusBack) {
  SetFocus(panel.CommentEdit(1));
  EXPECT_TRUE(panel.CommentHasFocus());
  ASSERT_FALSE(host.keyPreview.empty());
  EXPECT_FALSE(host.keyPreview.back());
  const int before = host.focusFftInfo;
  SendMessageW(panel.CommentEdit(1), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(host.focusFftInfo, before + 1);
  EXPECT_FALSE(panel.CommentHasFocus());
  EXPECT_TRUE(host.keyPreview.back());
  // Typing while the program fills the edit marks nothing dirty.
  {
    OverlayPanel::CommentRefill refill(panel.Logic());
    SetWindowTextW(panel.CommentEdit(2), L"typed during a load");
  }
  EXPECT_FALSE(analysis.overlay2.dirty);
}

TEST_F(OverlayPanelWindowTest, ButtonsShowTheirCaptionsAndHintsInTheLanguage) {
  EXPECT_EQ(TextOf(panel.ShowButton(1)), L"OVL1");
  EXPECT_EQ(TextOf(panel.ShowButton(2)), L"OVL2");
  EXPECT_EQ(TextOf(panel.LoadButton(2)), L"L");
  EXPECT_EQ(TextOf(panel.SaveButton(1)), L"S");
  HWND tips = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM found) {
        wchar_t cls[64] = {};
        GetClassNameW(h, cls, 64);
        if (std::wstring(cls) == TOOLTIPS_CLASSW) *reinterpret_cast<HWND*>(found) = h;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&tips));
  ASSERT_NE(tips, nullptr);
  auto hint = [&](HWND control) {
    wchar_t text[128] = {};
    TTTOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = panel.hwnd();
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = text;
    SendMessageW(tips, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&ti));
    return std::wstring(text);
  };
  EXPECT_EQ(hint(panel.CaptureButton(2)), L"Capture Overlay2");
  EXPECT_EQ(hint(panel.LoadButton(1)), L"Load Overlay1");
  panel.SetLanguage(Language::Japanese);
  EXPECT_EQ(hint(panel.SaveButton(1)), L"ｵｰﾊﾞｰﾚｲ1 保存");
  EXPECT_EQ(hint(panel.CommentEdit(2)), L"ｵｰﾊﾞｰﾚｲ2 ｺﾒﾝﾄ");
}

// Figures, not limits: the machine is shared.
TEST_F(OverlayPanelWindowTest, LargestOverlaySaveAndLoadTimings) {
  ASSERT_TRUE(analysis.SetAnalysisSize(131072));
  for (int k = 0; k < analysis.B; ++k) analysis.Overlay1Amp[k] = 1000.0 / (k + 1);
  analysis.overlay1.dirty = analysis.overlay1.filled = true;
  analysis.frameValid = true;
  panel.SyncButtons();
  chooser.answers = {folder + "one.ovo", folder + "one.ovo"};
  using Clock = std::chrono::steady_clock;
  const auto t0 = Clock::now();
  Click(panel.SaveButton(1));
  const auto t1 = Clock::now();
  Click(panel.LoadButton(2));
  const auto t2 = Clock::now();
  ASSERT_TRUE(notifier.texts.empty()) << notifier.texts[0];
  for (int k = 0; k < analysis.B; ++k) {
    ASSERT_NEAR(analysis.Overlay2Amp[k], analysis.Overlay1Amp[k], 1e-14 * analysis.Overlay1Amp[k]);
  }
  const auto ms = [](auto d) {
    return static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
  };
  std::printf("N = 131072 (%d values): save %lld ms, load %lld ms\n", analysis.B, ms(t1 - t0),
              ms(t2 - t1));
}

// The system's dialogs, answered from a timer of their modal loop: the
// title tells which one is up, the file name goes into its name field.
struct DialogAnswer {
  static inline std::wstring title, file, seenTitle, proposed;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = FindWindowW(L"#32770", title.c_str());
    if (dialog == nullptr) return;
    KillTimer(nullptr, id);
    seenTitle = TextOf(dialog);
    HWND name = GetDlgItem(dialog, 0x480);                  // edt1
    if (name == nullptr) name = GetDlgItem(dialog, 0x47C);  // cmb13
    proposed = TextOf(name);
    SetWindowTextW(name, file.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  }
  static void Arm(const wchar_t* t, const std::wstring& f) {
    title = t;
    file = f;
    seenTitle.clear();
    proposed.clear();
    SetTimer(nullptr, 0, 100, Tick);
  }
};

TEST(OverlayFileDialogs, SaveAndOpenThroughTheCommonDialogs) {
  const std::string path = TempFolder() + "dialog.ovo";
  DeleteFileW(Wide(path).c_str());
  OverlayDialogRequest save;
  save.save = true;
  save.initialDir = TempFolder();
  std::string chosen;
  DialogAnswer::Arm(L"Save Overlay file.", Wide(path));
  ASSERT_TRUE(SystemOverlayFileChooser().Choose(nullptr, save, chosen));
  EXPECT_EQ(DialogAnswer::seenTitle, L"Save Overlay file.");
  EXPECT_EQ(DialogAnswer::proposed, L"OVERLAY.OVO");
  EXPECT_EQ(chosen, path);

  ASSERT_EQ(SystemTextFiles().WriteNew(path.c_str(), "x"), TextFiles::WriteResult::Ok);
  OverlayDialogRequest open;
  open.language = Language::Japanese;
  open.initialDir = TempFolder();
  DialogAnswer::Arm(L"ｵｰﾊﾞｰﾚｲﾌｧｲﾙを開く", Wide(path));
  ASSERT_TRUE(SystemOverlayFileChooser().Choose(nullptr, open, chosen));
  EXPECT_EQ(DialogAnswer::seenTitle, L"ｵｰﾊﾞｰﾚｲﾌｧｲﾙを開く");
  EXPECT_EQ(chosen, path);
  DeleteFileW(Wide(path).c_str());
}

}  // namespace
}  // namespace ov
