#include "app/display/Display_win.h"

#include "app/display/CopyScreen_win.h"
#include "app/display/FrameRateText.h"
#include "app/display/GdiSystemColours_win.h"
#include "app/display/WinmmTimerApi_win.h"

namespace ov {

namespace {

TimerApi& OwnOrGiven(TimerApi* given, std::unique_ptr<TimerApi>& own) {
  if (given) return *given;
  own = std::make_unique<WinmmTimerApi>();
  return *own;
}

SIZE ClientSize(HWND window) {
  RECT r{0, 0, 0, 0};
  if (window) GetClientRect(window, &r);
  return SIZE{r.right, r.bottom};
}

}  // namespace

Spectrum3D DisplayHost::SpectrumThreeD() {
  const RECT plot = SpectrumPlot();
  const auto& c = Settings().Conditions;
  return ThreeDGeometry(plot.right - plot.left, plot.bottom - plot.top, c.Lines3D, c.DeltaX3D);
}

Display::Display(DisplayHost& host, FrameAnalysis& analysis, const Kp05Api& fft, OtherViews& views,
                 TimerApi* timerApi, DirectDrawSeam* seam)
    : host_(host),
      analysis_(analysis),
      views_(views),
      timerApi_(OwnOrGiven(timerApi, ownTimerApi_)),
      surfaces_(seam) {
  surfaces_.ProbeVBlank(host_.MainWindow());
  const auto& settings = host_.Settings();
  ResolveColourSet(settings.ColorSets[settings.Conditions.ColorSet], GdiSystemColours(), colours_);
  readout_ = std::make_unique<FloatForm>(host_.MainWindow(), host_.ViewFont());
  wave_ = std::make_unique<WaveView>(host_, analysis_, fft, surfaces_, *readout_);
  wave_->SetColours(colours_);
  spectrum_ =
      std::make_unique<SpectrumView>(host_, analysis_, fft, surfaces_, *readout_, counters_);
  spectrum_->SetColours(colours_);
  const auto& c = settings.Conditions;
  timer_ = std::make_unique<MMTimer>(timerApi_, static_cast<uint32_t>(c.DispThreadSleepPeriod),
                                     static_cast<uint32_t>(c.MMTimerResolution), true);
  thread_ = std::make_unique<DisplayThread>(*this, host_.Runner(), *timer_, timerApi_, Pacing());
}

Display::~Display() {
  thread_.reset();  // the thread leaves its loop first ...
  timer_.reset();   // ... then the timer stops
  EnableTimers(false);
  EndTransportTimerPeriod();
}

DisplayPacing Display::Pacing() const {
  const auto& c = const_cast<DisplayHost&>(host_).Settings().Conditions;
  return {c.UseTimer, c.DispThreadSleepPeriod, c.SleepResolution};
}

void Display::PacingChanged() {
  thread_->SetPacing(Pacing());
}

bool Display::SetDisplayRunning(bool run) {
  return thread_->SetDisplayRunning(run);
}

void Display::TransportStarting() {
  counters_.ResetAtStart();
  thread_->ResumeFromPause();
  thread_->SetDisplayRunning(false);  // the engine starts it with the first samples
}

void Display::TransportStarted() {
  wave_->SetPaused(false);
  spectrum_->SetPaused(false);
  EnableTimers(true);
}

void Display::SetPaused(bool paused) {
  counters_.ResetAtPause();
  wave_->SetPaused(paused);
  spectrum_->SetPaused(paused);
  EnableTimers(!paused);
  if (paused)
    thread_->Pause();
  else
    thread_->ResumeFromPause();
}

void Display::TransportStopped() {
  EnableTimers(false);
  wave_->SetPaused(false);
  spectrum_->SetPaused(false);
  host_.SetFrameRateText("");
}

void Display::EnableTimers(bool on) {
  HWND main = host_.MainWindow();
  if (on == timersOn_ || !main) return;
  timersOn_ = on;
  if (on) {
    SetTimer(main, kTimer1Id, kTimer1Interval, nullptr);
    SetTimer(main, kTimer2Id, kTimer2Interval, nullptr);
  } else {
    KillTimer(main, kTimer1Id);
    KillTimer(main, kTimer2Id);
  }
}

bool Display::KeyHeld(int key) {
  return (GetAsyncKeyState(key) & 0xFF00) != 0;
}

void Display::OnTimer(UINT_PTR id) {
  if (id == kTimer1Id) {
    ++counters_.secondTicks;
  } else if (id == kTimer2Id && thread_->Active() && views_.LevelMeterShown()) {
    ++counters_.meterUpdates;
    if (!(KeyHeld(VK_SHIFT) && KeyHeld(VK_CONTROL))) views_.RefreshLevelMeter();
  }
}

void Display::BeginTransportTimerPeriod() {
  const int32_t resolution = host_.Settings().Conditions.TimerResolution;
  uint32_t minPeriod = 0, maxPeriod = 0;
  if (resolution <= 0 || transportTimerPeriod_ || !timerApi_.GetCaps(minPeriod, maxPeriod)) return;
  const uint32_t period =
      static_cast<uint32_t>(resolution) > minPeriod ? static_cast<uint32_t>(resolution) : minPeriod;
  if (timerApi_.BeginPeriod(period)) transportTimerPeriod_ = period;
}

void Display::EndTransportTimerPeriod() {
  if (transportTimerPeriod_ && timerApi_.EndPeriod(transportTimerPeriod_))
    transportTimerPeriod_ = 0;
}

void Display::OnTimerPeriodMessage(WPARAM period) {
  timer_->SetPeriod(period ? static_cast<uint32_t>(period) : 1u, true);
  // The setup dialog has stored the new sleep period before posting: the
  // thread sleeping between frames takes it at its next turn as well.
  PacingChanged();
}

void Display::Layout() {
  const uint32_t plotColour = colours_[DiagramBackColor];
  const auto& c = host_.Settings().Conditions;
  // The surfaces exist only while a view presents through them: a primary
  // surface clipped to the main window takes over the window's drawing on
  // some systems (Wine), which would hide the GDI draw types.
  if (surfaces_.Available() && (c.WaveDrawType >= kDrawDDraw1 || c.SpectrumDrawType >= kDrawDDraw1))
    surfaces_.CreateSurfaces(host_.MainWindow(), ClientSize(host_.WaveArea()),
                             ClientSize(host_.SpectrumArea()), plotColour);
  else
    surfaces_.ReleaseSurfaces();
  wave_->Layout();
  spectrum_->Layout();
  views_.LaidOut();
}

void Display::ApplyColorSet(int32_t index) {
  auto& settings = host_.Settings();
  if (index < 0 || index >= kColorSetCount) return;
  settings.Conditions.ColorSet = index;
  ResolveColourSet(settings.ColorSets[index], GdiSystemColours(), colours_);
  wave_->SetColours(colours_);
  spectrum_->SetColours(colours_);
  surfaces_.SetFillColour(colours_[DiagramBackColor]);
  Layout();
  if (host_.WaveArea()) InvalidateRect(host_.WaveArea(), nullptr, FALSE);
  if (host_.SpectrumArea()) InvalidateRect(host_.SpectrumArea(), nullptr, FALSE);
  views_.ColoursChanged();
}

int32_t Display::AcquireFrame() {
  return analysis_.AcquireFrame(true);
}

void Display::DrawFrame() {
  if (counters_.CountFrame()) {
    char text[12];
    FormatFrameRate(counters_.framesPerSecond, text);
    host_.SetFrameRateText(text);
    analysis_.meterUpdatesPerSecond = counters_.meterUpdatesPerSecond;
  }
  DrawViews();
}

void Display::DrawViews() {
  const bool ctrl = KeyHeld(VK_CONTROL);
  if (ctrl && KeyHeld(VK_SHIFT)) return;  // frozen while both are held
  if (views_.LissajousWindowShown() && !ctrl) views_.DrawLissajous();
  wave_->ComputeWavePoints();
  wave_->DrawWave();
  analysis_.ComputeSpectrum();
  spectrum_->DrawSpectrum();
  views_.DrawSpectrum();
}

bool Display::CopyScreen() {
  const auto& c = host_.Settings().Conditions;
  return ov::CopyScreen(host_, c.CaptureMode, c.CaptureMouseCursor);
}

}  // namespace ov
