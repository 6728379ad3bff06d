// The real setup dialog in this test process, driven by window messages as a
// user's clicks and typing would send them: values reach SettingsValues and
// the settings file, Cancel puts them back, the driver family switches with
// its controls, and the ASIO buttons work against the project's test driver.
// Message boxes are read and closed by a watcher thread.
#include "app/setup/SetupDlg_win.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/common/AppMessages.h"
#include "app/common/Utf8.h"
#include "app/engine/ConsoleEngineHost.h"
#include "app/engine/WavePlayRec.h"
#include "app/resources/ResourceIds.h"
#include "app/shell/SettingsFile.h"
#include "app/shell/SettingsPlatform_win.h"
#include "app/shell/SettingsTestSupport.h"
#include "app/shell/WinProfileStore_win.h"
#include "tools/asio-test-driver/TestAsioControl.h"
#include "tools/asio-test-driver/TestAsioRegistration_win.h"

namespace ov {
namespace {

std::wstring W(const std::string& utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

std::wstring TextOf(HWND h) {
  wchar_t b[2048] = {};
  GetWindowTextW(h, b, 2048);
  return b;
}

void Pump() {
  MSG m;
  for (int round = 0; round < 3; ++round) {
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    Sleep(5);
  }
}

// Reads and closes every message box (and format list window) this process
// shows while it lives.
class BoxWatcher {
 public:
  struct Box {
    std::wstring caption, text;
  };
  explicit BoxWatcher(HWND setup) : setup_(setup), thread_([this] { Run(); }) {}
  ~BoxWatcher() {
    stop_ = true;
    thread_.join();
  }
  std::vector<Box> Boxes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
  }

 private:
  static BOOL CALLBACK Each(HWND h, LPARAM self) {
    auto* w = reinterpret_cast<BoxWatcher*>(self);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != GetCurrentProcessId() || h == w->setup_ || !IsWindowVisible(h)) return TRUE;
    wchar_t cls[64] = {};
    GetClassNameW(h, cls, 64);
    if (std::wcscmp(cls, L"#32770") != 0) return TRUE;
    for (HWND seen : w->handled_) {
      if (seen == h) return TRUE;
    }
    wchar_t text[4096] = {};
    GetDlgItemTextW(h, 0xFFFF, text, 4096);
    {
      std::lock_guard<std::mutex> lock(w->mutex_);
      w->boxes_.push_back({TextOf(h), text});
    }
    w->handled_.push_back(h);
    PostMessageW(h, WM_COMMAND, IDOK, 0);
    return TRUE;
  }
  void Run() {
    while (!stop_) {
      EnumWindows(Each, reinterpret_cast<LPARAM>(this));
      Sleep(30);
    }
  }
  HWND setup_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<Box> boxes_;
  std::vector<HWND> handled_;
  std::thread thread_;
};

class NullNotifier : public UserNotifier {
 public:
  NoticeAnswer Notify(std::string_view, NoticeIcon) override { return NoticeAnswer::Ok; }
};

class TestHost : public SetupHost, public ProgramStarter {
 public:
  TestHost(SettingsFile& file, WavePlayRec& engine) : file_(file), engine_(engine) {}
  SettingsValues& Settings() override { return file_.values(); }
  WavePlayRec& Engine() override { return engine_; }
  Language UserLanguage() const override { return Language::English; }
  SetupRunState RunState() const override { return run; }
  bool VBlankAvailable() const override { return vblank; }
  bool WasapiAvailable() const override { return engine_.MmcssAvailable(); }
  void SettingChanged(SetupChange c) override { changes.push_back(c); }
  void DriverChanged() override { ++driverChanges; }
  void SetAnalysisSize(int32_t n) override { sizes.push_back(n); }
  void ShowWaveInfoWindow() override { ++waveInfoShown; }
  void EditSpectrumComment() override { ++commentEdits; }
  void AutoSetDrawType() override { ++autoSets; }
  bool SaveSettings() override { return file_.SaveSettings(); }
  void ShowHelp(uint32_t id) override { helpTopics.push_back(id); }
  bool StartProgram(const std::string& commandLine) override {
    programs.push_back(commandLine);
    return true;
  }
  bool OpenWebPage(const std::string& address) override {
    programs.push_back(address);
    return true;
  }
  bool Saw(SetupChange c) const {
    for (SetupChange x : changes) {
      if (x == c) return true;
    }
    return false;
  }

  SetupRunState run;
  bool vblank = true;
  std::vector<SetupChange> changes;
  std::vector<int32_t> sizes;
  std::vector<uint32_t> helpTopics;
  std::vector<std::string> programs;
  int driverChanges = 0, waveInfoShown = 0, commentEdits = 0, autoSets = 0;

 private:
  SettingsFile& file_;
  WavePlayRec& engine_;
};

class SetupDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = ProgramFolder() + "OV_setup_" + info->name() + ".INI";
    DeleteFileW(W(path_).c_str());
    store_ = std::make_unique<WinProfileStore>(path_);
    file_ =
        std::make_unique<SettingsFile>(*store_, notifier_, SystemSettingsEnvironment(true, true));
    file_->LoadSettings(0);
    engine_ = std::make_unique<WavePlayRec>(engineHost_, notifier_, play_, rec_, EngineCallbacks{},
                                            EngineSettings{});
    host_ = std::make_unique<TestHost>(*file_, *engine_);
    dlg_ = std::make_unique<TSetupDlg>(*host_, *host_);
    ASSERT_TRUE(dlg_->Create(nullptr));
  }
  void TearDown() override {
    dlg_.reset();
    engine_.reset();
    DeleteFileW(W(path_).c_str());
  }
  SettingsValues& V() { return file_->values(); }
  HWND Item(int id) { return GetDlgItem(dlg_->hwnd(), id); }
  void Show() {
    dlg_->ShowDialog();
    Pump();
  }
  void Tab(int page) {
    SendMessageW(Item(IDC_SETUP_TAB), TCM_SETCURFOCUS, static_cast<WPARAM>(page), 0);
    Pump();
  }
  void Click(int id) {
    SendMessageW(Item(id), BM_CLICK, 0, 0);
    Pump();
  }
  void Select(int id, int index) {
    SendMessageW(Item(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dlg_->hwnd(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(id)));
    Pump();
  }
  void Type(int id, const wchar_t* text) {
    SendMessageW(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    wchar_t cls[32] = {};
    GetClassNameW(Item(id), cls, 32);
    if (_wcsicmp(cls, L"ComboBox") == 0) {
      SendMessageW(dlg_->hwnd(), WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE),
                   reinterpret_cast<LPARAM>(Item(id)));
    }
    Pump();
  }
  std::wstring ListItem(int id, int index) {
    wchar_t b[256] = {};
    SendMessageW(Item(id), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(b));
    return b;
  }
  int ListCount(int id) { return static_cast<int>(SendMessageW(Item(id), CB_GETCOUNT, 0, 0)); }
  int DeviceIndex(int id, const std::wstring& name) {
    for (int i = 0; i < ListCount(id); ++i) {
      if (ListItem(id, i) == name) return i;
    }
    return -1;
  }
  bool Enabled(int id) { return IsWindowEnabled(Item(id)) != FALSE; }
  bool Visible(int id) { return IsWindowVisible(Item(id)) != FALSE; }
  std::string IniText() {
    std::ifstream in(path_, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::u16string t;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      t.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                        static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return Utf16ToUtf8(t);
  }
  // The settings file as a fresh load reads it.
  SettingsValues Reloaded() {
    WinProfileStore store(path_);
    SettingsFile again(store, notifier_, SystemSettingsEnvironment(true, true));
    again.LoadSettings(0);
    return again.values();
  }

  std::string path_;
  NullNotifier notifier_;
  ConsoleEngineHost engineHost_;
  std::atomic<int32_t> play_{0}, rec_{0};
  std::unique_ptr<WinProfileStore> store_;
  std::unique_ptr<SettingsFile> file_;
  std::unique_ptr<WavePlayRec> engine_;
  std::unique_ptr<TestHost> host_;
  std::unique_ptr<TSetupDlg> dlg_;
};

TEST_F(SetupDialog, ShowsEveryValueAndChangesActAtOnceThenApplyWritesTheFile) {
  V().Conditions.dB_Max = 100;
  V().Conditions.DeltaX3D = 12;            // typed once, not in the list
  V().Conditions.RecSamplingFreq = 50000;  // likewise
  Show();
  ASSERT_TRUE(dlg_->IsShown());
  EXPECT_EQ(TextOf(dlg_->hwnd()), L"Orlavisonic - Setup");
  EXPECT_EQ(TextOf(Item(IDC_SETUP_APPLY)), L"&Apply");
  EXPECT_EQ(TextOf(Item(IDC_SETUP_CANCEL)), L"&Cancel");
  // Only the first page's controls are visible.
  EXPECT_TRUE(Visible(IDC_SETUP_WAVE_DRAW_TYPE));
  EXPECT_FALSE(Visible(IDC_SETUP_SPEC_RANGE));
  Tab(1);
  EXPECT_EQ(dlg_->CurrentPage(), 1);
  EXPECT_FALSE(Visible(IDC_SETUP_WAVE_DRAW_TYPE));
  EXPECT_TRUE(Visible(IDC_SETUP_SPEC_RANGE));
  EXPECT_EQ(TextOf(Item(IDC_SETUP_SPEC_RANGE)), L"100dB");
  EXPECT_EQ(TextOf(Item(IDC_SETUP_DELTAX3D)), L"12");

  Select(IDC_SETUP_SPEC_RANGE, 2);  // "+-10dB"
  EXPECT_EQ(V().Conditions.dB_Max, -10);
  EXPECT_TRUE(host_->Saw(SetupChange::SpectrumView));
  Select(IDC_SETUP_SPEC_SHIFT, 0);  // "Auto"
  EXPECT_EQ(V().Conditions.dB_Shift, -1.0);
  const int32_t lines = V().Conditions.Lines3D;
  Type(IDC_SETUP_LINES3D, L"250");
  EXPECT_EQ(V().Conditions.Lines3D, lines);  // outside 10..200: nothing changes
  Type(IDC_SETUP_LINES3D, L"100");
  EXPECT_EQ(V().Conditions.Lines3D, 100);
  Type(IDC_SETUP_LINES3D, L"abc");
  EXPECT_EQ(V().Conditions.Lines3D, 100);

  Tab(3);
  EXPECT_EQ(TextOf(Item(IDC_SETUP_REC_RATE)), L"50000");
  Type(IDC_SETUP_REC_RATE, L"0");
  EXPECT_EQ(V().Conditions.RecSamplingFreq, 50000);
  Type(IDC_SETUP_REC_RATE, L"abc");
  EXPECT_EQ(V().Conditions.RecSamplingFreq, 50000);
  Select(IDC_SETUP_REC_CH, 0);
  EXPECT_EQ(V().Conditions.RecCh, 1);

  Tab(4);
  Type(IDC_SETUP_DISP_SLEEP_PERIOD, L"7000");
  EXPECT_EQ(V().Conditions.DispThreadSleepPeriod, 5000);
  Select(IDC_SETUP_COLOR_SET, 0);
  EXPECT_EQ(V().Conditions.ColorSet, 0);
  EXPECT_TRUE(host_->Saw(SetupChange::ColorSet));

  Click(IDC_SETUP_APPLY);
  EXPECT_FALSE(dlg_->IsShown());
  const SettingsValues r = Reloaded();
  EXPECT_EQ(r.Conditions.dB_Max, -10);
  EXPECT_EQ(r.Conditions.Lines3D, 100);
  EXPECT_EQ(r.Conditions.DeltaX3D, 12);
  EXPECT_EQ(r.Conditions.RecSamplingFreq, 50000);
  EXPECT_EQ(r.Conditions.RecCh, 1);
  EXPECT_EQ(r.Conditions.ColorSet, 0);
  EXPECT_EQ(r.Conditions.DispThreadSleepPeriod, 5000);  // read back in 0..5000
  EXPECT_NE(IniText().find("Lines3D=100"), std::string::npos);
}

TEST_F(SetupDialog, CancelPutsEveryEditedValueBackAndKeepsOtherWindowsChanges) {
  const SettingsValues before = V();
  Show();
  Select(IDC_SETUP_LEVEL_METER, 2);
  EXPECT_EQ(V().LevelMeterWindow.Visible, 2);
  EXPECT_TRUE(Enabled(IDC_SETUP_MARGIN_MODE));
  Click(IDC_SETUP_LISSAJOUS_WINDOW);
  EXPECT_TRUE(V().LissajousWindow.Visible);
  EXPECT_FALSE(Enabled(IDC_SETUP_WAVE_LISSAJOUS));
  Tab(2);
  Select(IDC_SETUP_FFT_POINTS, 3);  // 1024
  EXPECT_EQ(V().Conditions.Sample_N, 1024);
  ASSERT_EQ(host_->sizes.size(), 1u);
  Click(IDC_SETUP_WINFUNC_FIRST + 6);  // "None (Rect.)"
  EXPECT_EQ(V().Conditions.WindowFunction, 0);
  V().LissajousWindow.Width = 333;  // another window moves meanwhile
  host_->changes.clear();
  Click(IDC_SETUP_CANCEL);
  EXPECT_FALSE(dlg_->IsShown());
  EXPECT_EQ(V().LevelMeterWindow.Visible, before.LevelMeterWindow.Visible);
  EXPECT_EQ(V().LissajousWindow.Visible, before.LissajousWindow.Visible);
  EXPECT_EQ(V().Conditions.Sample_N, before.Conditions.Sample_N);
  EXPECT_EQ(V().Conditions.WindowFunction, before.Conditions.WindowFunction);
  EXPECT_EQ(V().LissajousWindow.Width, 333);
  ASSERT_EQ(host_->sizes.size(), 2u);
  EXPECT_EQ(host_->sizes.back(), before.Conditions.Sample_N);
  EXPECT_TRUE(host_->Saw(SetupChange::LevelMeter));
  EXPECT_TRUE(host_->Saw(SetupChange::LissajousWindow));
  // The dialog's bounds are stored; the file is not written by Cancel.
  EXPECT_NE(V().SetupDialog.Width, 0);
  EXPECT_EQ(GetFileAttributesW(W(path_).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SetupDialog, RunStatesDisableTheStoppedOnlyControlsAndEnableThemAgain) {
  Show();
  Tab(3);
  EXPECT_TRUE(Enabled(IDC_SETUP_DRIVER));
  EXPECT_TRUE(Enabled(IDC_SETUP_PLAY_FORMATS));
  EXPECT_FALSE(Enabled(IDC_SETUP_PLAY_INFO));  // MME has no information text
  EXPECT_FALSE(Enabled(IDC_SETUP_ASIO_PLAY_CH));
  EXPECT_FALSE(Visible(IDC_SETUP_PLAYREC_WARNING));
  PostMessageW(dlg_->hwnd(), WM_PLAYING_STATE, 1, 0);
  Pump();
  EXPECT_FALSE(Enabled(IDC_SETUP_DRIVER));
  EXPECT_FALSE(Enabled(IDC_SETUP_REC_RATE));
  EXPECT_FALSE(Enabled(IDC_SETUP_PLAY_FORMATS));
  EXPECT_TRUE(Visible(IDC_SETUP_PLAYREC_WARNING));
  EXPECT_EQ(TextOf(Item(IDC_SETUP_PLAYREC_WARNING)), L"Unable to change while playing.");
  EXPECT_FALSE(Enabled(IDC_SETUP_FFT_POINTS));
  PostMessageW(dlg_->hwnd(), WM_PLAYING_STATE, 0, 0);
  PostMessageW(dlg_->hwnd(), WM_RECORDING_STATE, 7, 0);  // any non-zero: recording
  Pump();
  EXPECT_EQ(TextOf(Item(IDC_SETUP_PLAYREC_WARNING)), L"Unable to change while recording.");
  EXPECT_FALSE(Enabled(IDC_SETUP_DRIVER));
  PostMessageW(dlg_->hwnd(), WM_RECORDING_STATE, 0, 0);
  Pump();
  EXPECT_TRUE(Enabled(IDC_SETUP_DRIVER));
  EXPECT_TRUE(Enabled(IDC_SETUP_FFT_POINTS));
  EXPECT_FALSE(Visible(IDC_SETUP_PLAYREC_WARNING));
  // Measure mode locks the 3D types.
  PostMessageW(dlg_->hwnd(), WM_MEASURE_MODE, 1, 0);
  Pump();
  EXPECT_FALSE(Enabled(IDC_SETUP_SPEC_3D));
  Tab(1);
  EXPECT_TRUE(Visible(IDC_SETUP_MEASURE_WARNING));
  // Unknown commands and ids change nothing.
  SettingsValues before = V();
  for (UINT id : {0u, 3099u, 3199u, 3999u, 65535u}) {
    SendMessageW(dlg_->hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  }
  EXPECT_EQ(test::Describe(V(), true), test::Describe(before, true));
}

TEST_F(SetupDialog, DriverSwitchRefillsTheListsAndCancelWhileRecordingKeepsIt) {
  Show();
  Tab(3);
  EXPECT_EQ(ListItem(IDC_SETUP_PLAY_DEVICE, 0), L"Wave Mapper");
  const int mmeDevices = ListCount(IDC_SETUP_PLAY_DEVICE);
  Select(IDC_SETUP_DRIVER, 1);  // DirectSound
  if (V().Conditions.PlayRecDriverType != 1) GTEST_SKIP() << "DirectSound unusable here";
  EXPECT_EQ(engine_->GetDriverType(), 1);
  EXPECT_EQ(host_->driverChanges, 1);
  EXPECT_EQ(V().Conditions.PlayDeviceNum, 0);
  EXPECT_NE(ListItem(IDC_SETUP_PLAY_DEVICE, 0), L"Wave Mapper");
  EXPECT_EQ(ListCount(IDC_SETUP_PLAY_DEVICE),
            static_cast<int>(engine_->GetDeviceCount(AudioDirection::Output)) + 1);
  (void)mmeDevices;
  const int monitor = DeviceIndex(IDC_SETUP_REC_DEVICE, L"Monitor of Null Output");
  if (monitor > 0) {
    Select(IDC_SETUP_REC_DEVICE, monitor);
    EXPECT_EQ(V().Conditions.RecDeviceNum, monitor);
  }
  PostMessageW(dlg_->hwnd(), WM_RECORDING_STATE, 1, 0);
  Pump();
  BoxWatcher watcher(dlg_->hwnd());
  Click(IDC_SETUP_CANCEL);
  const auto boxes = watcher.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"Setup - Play/Rec - Device");
  EXPECT_EQ(boxes[0].text, L"Unable to restore when Playing or Recording.");
  EXPECT_EQ(V().Conditions.PlayRecDriverType, 1);
  EXPECT_EQ(engine_->GetDriverType(), 1);
}

TEST_F(SetupDialog, BadFrequencyRangeIsRefusedAndKeepsTheRange) {
  V().Conditions.FreqDispRange = true;
  V().Conditions.FreqDispFrom = 20;
  V().Conditions.FreqDispTo = 20000;
  Show();
  Tab(1);
  BoxWatcher watcher(dlg_->hwnd());
  Type(IDC_SETUP_FREQ_FROM, L"1000");
  Type(IDC_SETUP_FREQ_TO, L"1000");
  Click(IDC_SETUP_FREQ_APPLY);
  Type(IDC_SETUP_FREQ_TO, L"5000001");
  Click(IDC_SETUP_FREQ_APPLY);
  auto boxes = watcher.Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, L"Setup - Spectrum - Frequency - Apply");
  EXPECT_EQ(boxes[0].text, L"Illegal value for frequency range");
  EXPECT_EQ(V().Conditions.FreqDispFrom, 20);
  EXPECT_EQ(V().Conditions.FreqDispTo, 20000);
  Type(IDC_SETUP_FREQ_TO, L"4000");
  Click(IDC_SETUP_FREQ_APPLY);
  EXPECT_EQ(V().Conditions.FreqDispFrom, 1000);
  EXPECT_EQ(V().Conditions.FreqDispTo, 4000);
  EXPECT_EQ(watcher.Boxes().size(), 2u);
}

TEST_F(SetupDialog, ButtonsReachTheirWindowsProgramsAndHelp) {
  Show();
  Click(IDC_SETUP_WAVE_INFO_SHOW);
  Click(IDC_SETUP_WAVE_AUTO_SET);
  EXPECT_EQ(host_->waveInfoShown, 1);
  EXPECT_EQ(host_->autoSets, 1);
  Click(IDC_SETUP_HELP);
  Tab(4);
  SendMessageW(dlg_->hwnd(), WM_HELP, 0, 0);
  ASSERT_EQ(host_->helpTopics.size(), 2u);
  EXPECT_NE(host_->helpTopics[0], host_->helpTopics[1]);
  Tab(3);
  Click(IDC_SETUP_VOLUME_CTRL);
  ASSERT_EQ(host_->programs.size(), 1u);
  EXPECT_EQ(host_->programs[0], "rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,@0,1");
  // The draw type set from outside runs the list's handler and its V.Blank rule.
  dlg_->SetDrawType(0, 3);
  EXPECT_EQ(V().Conditions.WaveDrawType, 3);
  EXPECT_FALSE(Enabled(IDC_SETUP_WAVE_VBLANK));
  dlg_->SetDrawType(0, 2);
  EXPECT_TRUE(Enabled(IDC_SETUP_WAVE_VBLANK));
  EXPECT_TRUE(host_->Saw(SetupChange::DrawType));
}

TEST_F(SetupDialog, WasapiInformationIsShownInItsBox) {
  if (!engine_->MmcssAvailable()) GTEST_SKIP() << "no WASAPI here";
  Show();
  Tab(3);
  const int wasapi = DeviceIndex(IDC_SETUP_DRIVER, L"WASAPI");
  ASSERT_GE(wasapi, 0);
  Select(IDC_SETUP_DRIVER, wasapi);
  if (V().Conditions.PlayRecDriverType != 3) GTEST_SKIP() << "WASAPI unusable here";
  EXPECT_TRUE(Enabled(IDC_SETUP_PLAY_INFO));
  EXPECT_TRUE(Enabled(IDC_SETUP_WAS_EVENT));
  BoxWatcher watcher(dlg_->hwnd());
  Click(IDC_SETUP_PLAY_INFO);
  const auto boxes = watcher.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"Orlavisonic");
  EXPECT_EQ(boxes[0].text.rfind(L"========== WASAPI Information ==========\n[ ", 0), 0u)
      << Utf16ToUtf8(std::u16string(boxes[0].text.begin(), boxes[0].text.end()));
  Click(IDC_SETUP_PLAY_PANEL);
  ASSERT_EQ(host_->programs.size(), 1u);
  EXPECT_EQ(host_->programs[0], "rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,@0,0");
}

// ---------------------------------------------------------------- ASIO

struct AsioControl {
  asio_test::ConfigureFn configure = nullptr;
  asio_test::LastMonitorFn lastMonitor = nullptr;
  bool Load() {
    HMODULE m = LoadLibraryA(asio_test::DriverPath().c_str());
    if (!m) return false;
    FARPROC c = GetProcAddress(m, asio_test::kConfigure);
    FARPROC l = GetProcAddress(m, asio_test::kLastMonitor);
    std::memcpy(&configure, &c, sizeof c);
    std::memcpy(&lastMonitor, &l, sizeof l);
    return configure && lastMonitor;
  }
};

class SetupDialogAsio : public SetupDialog {
 protected:
  void SetUp() override {
    if (!asio_test::RegisterTestDriver() || !control.Load())
      GTEST_SKIP() << "test ASIO driver not built";
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    cfg.inputs = 4;
    cfg.outputs = 6;
    control.configure(&cfg);
    SetupDialog::SetUp();
  }
  void TearDown() override {
    SetupDialog::TearDown();
    asio_test::UnlistTestDriver();
  }
  // Switches to ASIO and selects the test driver on both sides.
  bool SelectTestDriver() {
    Show();
    Tab(3);
    Select(IDC_SETUP_DRIVER, 2);
    if (V().Conditions.PlayRecDriverType != 2) return false;
    const int d = DeviceIndex(IDC_SETUP_PLAY_DEVICE, L"Orlavisonic Test Driver");
    if (d < 0) return false;
    Select(IDC_SETUP_PLAY_DEVICE, d);
    Select(IDC_SETUP_REC_DEVICE, d);
    return true;
  }
  AsioControl control;
  asio_test::Config cfg;
};

TEST_F(SetupDialogAsio, ChannelListsPanelDirectMonitorAndInformation) {
  ASSERT_TRUE(SelectTestDriver());
  EXPECT_TRUE(Enabled(IDC_SETUP_ASIO_PLAY_CH));
  EXPECT_TRUE(Enabled(IDC_SETUP_PLAY_PANEL));
  EXPECT_TRUE(Visible(IDC_SETUP_ASIO_LABEL));
  EXPECT_EQ(ListCount(IDC_SETUP_ASIO_PLAY_CH), 6);
  EXPECT_EQ(ListCount(IDC_SETUP_ASIO_REC_CH), 4);
  EXPECT_EQ(ListItem(IDC_SETUP_ASIO_PLAY_CH, 0).rfind(L"1: ", 0), 0u);
  Select(IDC_SETUP_ASIO_PLAY_CH, 2);
  EXPECT_EQ(V().Conditions.ASIO_PlayChNum, 2);

  BoxWatcher watcher(dlg_->hwnd());
  Click(IDC_SETUP_PLAY_PANEL);  // the driver's panel answers success: no box
  EXPECT_TRUE(watcher.Boxes().empty());

  Click(IDC_SETUP_DIRECT_MONITOR);
  int32_t m[5] = {};
  ASSERT_TRUE(control.lastMonitor(m));
  EXPECT_EQ(m[0], -1);
  EXPECT_EQ(m[3], 1);
  EXPECT_TRUE(SendMessageW(Item(IDC_SETUP_DIRECT_MONITOR), BM_GETCHECK, 0, 0) == BST_CHECKED);
  cfg.futureAnswer = -998;  // not present
  control.configure(&cfg);
  Click(IDC_SETUP_DIRECT_MONITOR);
  Click(IDC_SETUP_DIRECT_MONITOR);
  Click(IDC_SETUP_REC_INFO);
  const auto boxes = watcher.Boxes();
  ASSERT_GE(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, L"Setup - Play/Rec - Direct Monitor");
  EXPECT_EQ(boxes[0].text, L"ASIO Direct Monitor is not supported");
  EXPECT_EQ(boxes.back().caption, L"Orlavisonic");
  EXPECT_EQ(boxes.back().text.rfind(L"========= ASIO Information =========\n[ Orlavisonic Test", 0),
            0u);
  EXPECT_NE(boxes.back().text.find(L"Input Channels:\t 4\n"), std::wstring::npos)
      << Utf16ToUtf8(std::u16string(boxes.back().text.begin(), boxes.back().text.end()));
}

TEST_F(SetupDialogAsio, FirstPlayRecTabWhileAsioRunsIsRefusedOnce) {
  V().Conditions.PlayRecDriverType = 2;
  ASSERT_EQ(engine_->SetDriverType(2), DriverChange::Changed);
  Show();
  Tab(1);
  PostMessageW(dlg_->hwnd(), WM_PLAYING_STATE, 1, 0);
  Pump();
  {
    BoxWatcher watcher(dlg_->hwnd());
    Tab(3);
    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Setup - Play/Rec");
    EXPECT_EQ(boxes[0].text,
              L"Unable to select Play/Rec tab while using ASIO driver.\n\nPlease retry after "
              L"stop.\n\n   (1'st time only)");
  }
  EXPECT_EQ(dlg_->CurrentPage(), 1);
  EXPECT_EQ(SendMessageW(Item(IDC_SETUP_TAB), TCM_GETCURSEL, 0, 0), 1);
  PostMessageW(dlg_->hwnd(), WM_PLAYING_STATE, 0, 0);
  Pump();
  Tab(3);
  EXPECT_EQ(dlg_->CurrentPage(), 3);
  // Once filled, the page opens freely even while a run goes on.
  Tab(0);
  PostMessageW(dlg_->hwnd(), WM_PLAYING_STATE, 1, 0);
  Pump();
  BoxWatcher watcher(dlg_->hwnd());
  Tab(3);
  EXPECT_EQ(dlg_->CurrentPage(), 3);
  EXPECT_TRUE(watcher.Boxes().empty());
}

}  // namespace
}  // namespace ov

#include "app/setup/SystemProgramStarter_win.h"

namespace ov {
namespace {

// Started programs do not inherit the program's inheritable handles: a child
// that outlives the program must not keep its instance mutex alive.
// Run by the test below as a child process: lives for 3 s.
TEST(SystemProgramStarter, DISABLED_ChildThatLivesAWhile) {
  Sleep(3000);
}

TEST(SystemProgramStarter, StartsWithoutHandleInheritance) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE mutex = CreateMutexW(&sa, FALSE, L"OvSetupTestInheritedMutex");
  ASSERT_NE(mutex, nullptr);
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::string child =
      "\"" + Utf16ToUtf8(std::u16string(self, self + std::wcslen(self))) +
      "\" --gtest_also_run_disabled_tests --gtest_filter=SystemProgramStarter.DISABLED_Child*";
  SystemProgramStarter starter;
  ASSERT_TRUE(starter.StartProgram(child));
  Sleep(500);  // the child is running now
  CloseHandle(mutex);
  // With our handle closed the mutex is gone unless the child inherited one.
  HANDLE again = OpenMutexW(SYNCHRONIZE, FALSE, L"OvSetupTestInheritedMutex");
  EXPECT_EQ(again, nullptr) << "the child holds the mutex";
  if (again) CloseHandle(again);
  EXPECT_FALSE(starter.StartProgram("no-such-program-ov.exe"));
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

// For looking at the layout: shows page OV_SETUP_PAGE (0..4) for 8 s.
TEST_F(SetupDialog, DISABLED_HoldPageForScreenshot) {
  Show();
  const char* page = std::getenv("OV_SETUP_PAGE");
  Tab(page ? std::atoi(page) : 0);
  for (int i = 0; i < 400; ++i) Pump();
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

double MsSince(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// Reports how long showing, applying and each driver switch take (printed,
// not asserted: the machine is shared).
TEST_F(SetupDialog, TimesShowApplyAndEachDriverSwitch) {
  auto t0 = std::chrono::steady_clock::now();
  dlg_->ShowDialog();
  const double show = MsSince(t0);
  ASSERT_TRUE(dlg_->IsShown());
  Tab(3);
  std::printf("[ timing ] show %.1f ms\n", show);
  for (int driver : {1, 3, 2, 0}) {
    if (driver >= ListCount(IDC_SETUP_DRIVER)) continue;
    BoxWatcher watcher(dlg_->hwnd());
    t0 = std::chrono::steady_clock::now();
    Select(IDC_SETUP_DRIVER, driver);
    std::printf("[ timing ] switch to driver %d: %.1f ms (%s)\n", driver, MsSince(t0),
                V().Conditions.PlayRecDriverType == driver ? "switched" : "refused");
    // Switched, or refused with the driver box and the previous driver kept.
    if (V().Conditions.PlayRecDriverType != driver) {
      const auto boxes = watcher.Boxes();
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].caption, L"Setup - Play/Rec - Driver");
      EXPECT_EQ(boxes[0].text.rfind(L"Unable to load selected driver.\n\n", 0), 0u);
      EXPECT_EQ(V().Conditions.PlayRecDriverType, engine_->GetDriverType());
    } else {
      EXPECT_EQ(engine_->GetDriverType(), driver);
    }
  }
  t0 = std::chrono::steady_clock::now();
  Click(IDC_SETUP_APPLY);
  std::printf("[ timing ] apply and write %.1f ms\n", MsSince(t0));
  EXPECT_NE(IniText().find("PlayRecDriverType=0"), std::string::npos);
}

}  // namespace
}  // namespace ov

namespace ov {
namespace {

// Acts inside the format list's own loop: stops its probe once it runs, then
// double-clicks the cell of 48000 Hz, 16 bits.
int g_formatSteps = 0;
void CALLBACK DriveFormatList(HWND, UINT, UINT_PTR id, DWORD) {
  HWND form = FindWindowW(L"TFormatListForm", nullptr);
  if (!form) return;
  HWND button = FindWindowExW(form, nullptr, L"Button", nullptr);
  HWND grid = FindWindowExW(form, nullptr, L"OvStringGrid", nullptr);
  if (!button || !grid) return;
  if (TextOf(button) == L"&Stop") {
    PostMessageW(button, BM_CLICK, 0, 0);
    ++g_formatSteps;
  } else if (TextOf(button) == L"&Close" && g_formatSteps > 0) {
    KillTimer(nullptr, id);
    PostMessageW(grid, WM_LBUTTONDBLCLK, 0, MAKELPARAM(2 * 55 + 5, 5 * 16 + 5));
  }
}

TEST_F(SetupDialog, RecordFormatListOpensOnTheDeviceAndItsDoubleClickSetsTheFormat) {
  V().Conditions.RecBitLen = 24;
  V().Conditions.RecSamplingFreq = 44100;
  Show();
  Tab(3);
  const int monitor = DeviceIndex(IDC_SETUP_REC_DEVICE, L"Monitor of Null Output");
  if (monitor < 0) GTEST_SKIP() << "no \"Monitor of Null Output\" device";
  Select(IDC_SETUP_REC_DEVICE, monitor);
  g_formatSteps = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, DriveFormatList);
  Click(IDC_SETUP_REC_FORMATS);  // returns when the list window has closed
  KillTimer(nullptr, timer);
  EXPECT_GT(g_formatSteps, 0);
  EXPECT_EQ(FindWindowW(L"TFormatListForm", nullptr), nullptr);
  EXPECT_EQ(V().Conditions.RecSamplingFreq, 48000);
  EXPECT_EQ(V().Conditions.RecBitLen, 16);
  EXPECT_EQ(TextOf(Item(IDC_SETUP_REC_RATE)), L"48000");
  EXPECT_EQ(TextOf(Item(IDC_SETUP_REC_BITS)), L"16 ");
  EXPECT_TRUE(host_->Saw(SetupChange::RecordFormat));
}

}  // namespace
}  // namespace ov
