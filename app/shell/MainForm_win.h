// TMainForm: the program's one main window and the owner of everything else
// for the whole run: the settings, the FFT library binding, the audio engine
// and the secondary windows. Creation (Create) and destruction (WM_DESTROY)
// run in a fixed order; the first activation places the window, shows the
// one-time notices and processes the pending command line.
//
// The window is the engine's host (EngineHost): the engine's pump threads run
// their main-thread steps through RunOnMainThread, and its notifications
// arrive as the application messages of app/common/AppMessages.h. It is also
// the target of instance 2's synchronisation commands (SyncTarget).
//
// It hosts the display (DisplayHost): the wave area, the splitter and the
// spectrum area are its children, laid out by MainLayout; the display thread
// runs while the engine's pumps ask for it (OnDisplayRun).
//
// Files: MainForm_win.cpp (messages, children, host calls),
// MainFormViews_win.cpp (view areas, splitter, layout, DisplayHost),
// MainFormTransport_win.cpp (transport commands and keys),
// MainFormLifecycle_win.cpp (creation, first activation, destruction),
// MainFormSetup_win.cpp (the setup dialog), MainFormMeasure_win.cpp (top
// panel controls, measure panel, overlay tools), MainFormMeters_win.cpp
// (level meter, Lissajous and auto-set windows, Follow),
// MainFormFileWindows_win.cpp (positioning, play list, wave information and
// edit windows).
// Threads: everything on the main thread, except RunOnMainThread,
// PostNotification and the synchronised-start gate (pump threads).
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <atomic>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/analysis/AnalysisViews.h"
#include "app/controls/MessageLoop_win.h"
#include "app/display/DisplayHost_win.h"
#include "app/controls/Window_win.h"
#include "app/engine/EngineHost.h"
#include "app/engine/MainThreadRunner.h"
#include "app/setup/SetupHost.h"
#include "app/shell/EmbeddedFont_win.h"
#include "app/shell/HelpFile_win.h"
#include "app/shell/InstanceSync.h"
#include "app/shell/InstanceWindows_win.h"
#include "app/shell/Kp05Binding_win.h"
#include "app/shell/MainLayout.h"
#include "app/shell/NestedPumpRunner_win.h"
#include "app/shell/SecondaryWindows_win.h"
#include "app/shell/MessageBoxNotifier_win.h"
#include "app/shell/StartupPlayList.h"
#include "app/shell/SystemCapabilities.h"

namespace ov {

class AsyncModifierKeys;
class Display;
class SystemProgramStarter;
class TSetupDlg;
class FrameAnalysis;
class SettingsFile;
class WinProfileStore;
class WavePlayRec;

// Private messages of the main window (beyond the application's numbers).
constexpr UINT kFirstActivationMessage = WM_APP + 0x300;
constexpr UINT kProcessCommandLineMessage = WM_APP + 0x301;

class TMainForm : public Window,
                  public EngineHost,
                  public KeyPreview,
                  public SyncTarget,
                  public DisplayHost,
                  public OtherViews,
                  public AnalysisViews,
                  public SetupHost {
 public:
  // instanceNumber: 1 or 2; set to 0 when the FFT library cannot be bound.
  // pendingCommandLine: the entry's copy of the command line (UTF-8).
  TMainForm(int& instanceNumber, std::string& pendingCommandLine);
  ~TMainForm() override;

  // Creates the window (hidden) and runs the creation steps. False when the
  // instance cannot run (the instance number is then 0; the reason was shown).
  bool Create();
  void Show();

  // ---- EngineHost.
  void RunOnMainThread(void (*step)(void*), void* arg) override;
  void ProcessMessages() override;
  void PostNotification(uint32_t message, uintptr_t wParam) override;
  void ShowStopped(const std::string& text) override;
  void EnableButton(EngineButton b, bool on) override;
  bool IsButtonEnabled(EngineButton b) const override;
  void SetButtonDown(EngineButton b, bool down) override;
  void SetLabelText(EngineLabel l, const std::string& text) override;
  void SetTrackBar(const TrackBarSetup& setup) override;
  void SetTrackBarPosition(int32_t position) override;
  void* OwnerWindow() const override { return hwnd(); }

  // ---- DisplayHost (MainFormViews_win.cpp).
  HWND MainWindow() const override { return hwnd(); }
  HWND WaveArea() const override { return waveArea_; }
  HWND SpectrumArea() const override { return spectrumArea_; }
  RECT WavePlot() const override;
  RECT SpectrumPlot() const override;
  HFONT ViewFont() const override;
  CaptureLayout CaptureGeometry() const override;
  SettingsValues& Settings() override;
  MainThreadRunner& Runner() override { return *displayRunner_; }
  void SetFrameRateText(const char* text) override;
  void MoveFocusFromEdits() override;

  // AnalysisViews: the spectrum view converts each new spectrum.
  void ConvertSpectrumCurves(FrameAnalysis& analysis) override;

  // ---- SetupHost (MainFormSetup_win.cpp); Settings() is DisplayHost's.
  WavePlayRec& Engine() override { return *engine_; }
  Language UserLanguage() const override { return language_; }
  SetupRunState RunState() const override;
  bool VBlankAvailable() const override;
  bool WasapiAvailable() const override;
  void SettingChanged(SetupChange change) override;
  void DriverChanged() override;
  void SetAnalysisSize(int32_t sampleN) override;
  void ShowWaveInfoWindow() override { waveInfoWindow_.Show(); }
  void EditSpectrumComment() override;
  void AutoSetDrawType() override;
  bool SaveSettings() override;
  void ShowHelp(uint32_t contextId) override;

  // ---- KeyPreview.
  HWND PreviewRoot() const override { return hwnd(); }
  bool PreviewKey(const MSG& msg) override;

  // ---- SyncTarget (instance 2).
  bool PlayEnabled() const override { return IsButtonEnabled(EngineButton::Play); }
  bool RecordEnabled() const override { return IsButtonEnabled(EngineButton::Rec); }
  bool PauseEnabled() const override { return IsButtonEnabled(EngineButton::Pause); }
  bool StopEnabled() const override { return IsButtonEnabled(EngineButton::Stop); }
  bool FileOpen() const override;
  void Play() override { PlayButtonClick(); }
  void Record() override { RecButtonClick(); }
  void Pause() override { PauseButtonClick(); }
  void Seek(int64_t samples) override;
  void Stop() override { StopButtonClick(); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  // Lifecycle (MainFormLifecycle_win.cpp).
  bool RunCreationSteps();
  void ApplyLanguage();
  bool CreateEngine();
  void FormFirstActivate();
  void PlaceFromSettings();
  void ShowOneTimeNotice();
  void FormCloseQuery();
  void FormDestroy();
  void StoreWindowBounds();

  // Children (MainForm_win.cpp).
  void CreateChildren();
  HWND ButtonOf(EngineButton b) const;

  // Views, splitter and layout (MainFormViews_win.cpp).
  void CreateViewAreas();
  void CreateDisplay();
  void LayOut();
  void PlaceViewAreas();
  void PaintSpectrumArea(HDC dc);
  static LRESULT CALLBACK ViewAreaProc(HWND area, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT ViewAreaMessage(HWND area, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT SplitterMessage(HWND splitter, UINT msg, WPARAM wParam, LPARAM lParam);

  // Transport (MainFormTransport_win.cpp).
  void OpenButtonClick();
  bool OpenCurrent(const std::string& path, const PlayItem* item);
  void PlayButtonClick();
  void StopButtonClick();
  void AfterStop();
  void PauseButtonClick();
  void RecButtonClick();
  void SeekCommand(int64_t samples, bool force);
  void TrackBar1Change();
  void RefreshPausedFrame();
  void UpdateOpenButton();
  void FormDropFiles(HDROP drop);
  void ShowHelp();
  void CreateSetupDialog();
  void ShowSetupDialog();
  void Notify(const std::string& text);

  // Command lines (start-up and hand-over).
  void ProcessCommandLine(const std::string& text);
  void OpenAndPlay(const std::string& path, const PlayItem* item);
  void FormCopyData(const COPYDATASTRUCT* data);
  void StopIfRunning();
  // Commands that arrive while the engine or the display waits with messages
  // run afterwards, with the Ctrl and Shift state of the moment they were
  // given: by the time they run the user has usually let go of the keys.
  bool EngineBusy() const;
  LRESULT Defer(UINT msg, WPARAM wParam, LPARAM lParam);
  void RunDeferred();
  bool ControlHeld() const;
  bool ShiftHeld() const;
  // A drop arrives while the drag's source has the keyboard: this thread's
  // key state never saw the Ctrl press, the keyboard's state does.
  bool ControlHeldAtDrop() const;

  void Notify(const TwoLanguageText& text, const std::string& argument);
  std::string Title() const;

  int& instanceNumber_;
  std::string& pendingCommandLine_;
  bool comInitialised_ = false;
  SystemCapabilities caps_;
  std::string programFolder_;  // UTF-8, ending in a backslash
  Language language_ = Language::English;

  MessageBoxNotifier notifier_;
  std::unique_ptr<WinProfileStore> profileStore_;
  std::unique_ptr<SettingsFile> settings_;
  EmbeddedFont font_;
  HFONT guiFont_ = nullptr;
  Kp05Binding binding_;
  std::unique_ptr<HelpFile> help_;
  bool helpOpenedOnce_ = false;

  // The engine's state cells and the engine itself.
  std::atomic<int32_t> playState_{0};
  std::atomic<int32_t> recState_{0};
  std::unique_ptr<MainThreadRunner> runner_;
  // Message pumps running nested inside a wait on the main thread; while any
  // runs, commands and the close request are held back (EngineBusy).
  int nestedPumps_ = 0;
  std::unique_ptr<NestedPumpRunner> displayRunner_;
  std::unique_ptr<WavePlayRec> engine_;
  // The analysis and the display; destroyed before the engine.
  std::unique_ptr<AsyncModifierKeys> keys_;
  std::unique_ptr<FrameAnalysis> analysis_;
  std::unique_ptr<Display> display_;
  // The setup dialog (modeless, hidden until Ctrl+T) and the seam it starts
  // programs through; made after the display, destroyed before it.
  std::unique_ptr<SystemProgramStarter> programStarter_;
  std::unique_ptr<TSetupDlg> setup_;
  // ---- Level meter, Lissajous window, draw-type auto-set and the windows
  // that follow the main window (MainFormMeters_win.cpp). The meter and the
  // Lissajous window are made after the setup dialog, the auto-set window
  // after the other secondary windows; their state is stored at close, and
  // they go before the display they draw from.
  struct MeterWindows;
  class AutoSetLink;
  struct MeterWindowsDeleter {
    void operator()(MeterWindows* m) const;
  };
  std::unique_ptr<MeterWindows, MeterWindowsDeleter> meters_;
  void CreateMeterWindows();
  void CreateAutoSetWindow();
  void ShowMeterWindowsAtFirstActivation();
  void OpenAutoSetAtFirstUse();
  void ShowAutoSetWindow(bool firstUse);
  void StoreMeterWindows();
  void DestroyMeterWindows();
  void MetersSettingChanged(SetupChange change);
  void MetersTransportStopped();
  // The auto-set run presses RecButton: no Shift counts as held.
  bool AutoSetPressesRec() const;
  // `window` moves by the main window's delta while `follow` is on.
  void FollowMainWindow(HWND window, const bool& follow);
  void MainWindowMoved();
  bool LissajousWindowShown() const override;
  void DrawLissajous() override;
  bool LevelMeterShown() const override;
  void RefreshLevelMeter() override;
  void ColoursChanged() override;
  void LaidOut() override;
  void LevelsReset(int32_t channelCount) override;
  void AnalysisDataCleared() override;
  bool splitterDragging_ = false;
  StartupPlayList playList_;
  bool fileOpen_ = false;                          // FileOpened
  std::string currentFileName_, lastRecFileName_;  // UTF-8
  int64_t pausedPosition_ = 0;                     // samples
  int64_t lastSeekPosition_ = 0;                   // 0: none
  int32_t lastTrackBarPosition_ = -1;              // seconds

  // Windows of other parts, hooked in when they exist.
  SecondaryWindow setupWindow_, playListWindow_, waveInfoWindow_;
  PositioningLine positioningWindow_;
  OverlayToolsLine overlayTools_;
  // The positioning, play list, wave information and edit windows with their
  // hosts (MainFormFileWindows_win.cpp); made after the setup dialog,
  // destroyed at the close request (their bounds stored) or after the engine.
  class FileWindows;
  struct FileWindowsDeleter {
    void operator()(FileWindows* w) const;
  };
  std::unique_ptr<FileWindows, FileWindowsDeleter> fileWindows_;
  void CreateFileWindows();
  void DestroyFileWindows();
  // The engine's play-list cursor: the play list window's rows.
  const PlayItem* PlayListCursorAnswer(bool peekNext);
  // Several command-line items: added to the play list, shown, played from
  // the first added; false when there is no play list window.
  bool AddCommandLineItemsToPlayList(const std::vector<std::string>& items);
  // The analyze mode was entered because the output device failed.
  bool analyzeWithoutDevice_ = false;

  WindowPeerLink peer_;
  InstanceSync sync_;

  // Command lines handed over, each processed once after its sender was released.
  std::deque<std::string> handOvers_;
  struct DeferredCommand {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    bool control;
    bool shift;
  };
  std::vector<DeferredCommand> deferred_;
  // The command being run by RunDeferred; its modifiers stand for the keyboard's.
  const DeferredCommand* replaying_ = nullptr;
  bool firstActivationDone_ = false;
  bool closing_ = false;

  // ---- Top panel controls, measure panel and overlay tools (MainFormMeasure_win.cpp).
  struct MeasureToolsDeleter {
    void operator()(class MainMeasureTools* tools) const;
  };
  friend class MainMeasureTools;
  void CreateTopPanelControls();
  void ApplyHints();
  void PlaceTopPanel(const TopPanelLayout& top);
  void CreateMeasurePanel();
  void PlaceMeasurePanel();
  void SyncAnalysisSettings();
  void ShowFftInfo();
  void StoreMeasureState();
  bool MeasureCommand(UINT id, UINT code);
  void PositioningButtonClick();
  void L_R_ButtonClick();
  void ChComboBoxChange();
  void MeasureModeButtonClick();
  void SetupButtonClick();
  void UpdateChannelSelectors();
  void RedrawHeldFrame();
  void OpenSpectrumCommentEditor(POINT screen) override;
  void SetOverlayCaptionColours(COLORREF overlay1, COLORREF overlay2) override;
  std::unique_ptr<MainMeasureTools, MeasureToolsDeleter> measureTools_;
  COLORREF overlayColours_[2] = {0, 0};
  HWND positioningButton_ = nullptr, lrButton_ = nullptr, chLabel_ = nullptr, chComboBox_ = nullptr,
       measureModeButton_ = nullptr, setupButton_ = nullptr, panel2_ = nullptr, hints_ = nullptr;

  // Children.
  HWND topPanel_ = nullptr, openButton_ = nullptr, playButton_ = nullptr, stopButton_ = nullptr,
       pauseButton_ = nullptr, recButton_ = nullptr, trackBar_ = nullptr, label1_ = nullptr,
       label2_ = nullptr, waveArea_ = nullptr, splitter_ = nullptr, spectrumArea_ = nullptr,
       bottomPanel_ = nullptr, waveInfoText_ = nullptr, fftInfoText_ = nullptr,
       frameRateText_ = nullptr;
  MainLayoutResult layout_;
};

}  // namespace ov
