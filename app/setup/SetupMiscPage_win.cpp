// TSetupDlg's Misc page: screen copy, the windows that follow the main
// window, track bar and auto-play, second-instance sync, the colour set, the
// timer resolution with its "Check", and the display period.
#include <windows.h>

#include <mmsystem.h>

#include <cstdio>
#include <string>

#include "app/common/AppMessages.h"
#include "app/resources/ResourceIds.h"
#include "app/setup/SetupDlg_win.h"
#include "app/setup/SetupDlgCommon_win.h"
#include "app/setup/SetupTexts.h"

namespace ov {

using namespace setup_win;

void TSetupDlg::FillMiscPage() {
  const SettingsValues& s = host_.Settings();
  const auto& c = s.Conditions;
  FillList(IDC_SETUP_CAPTURE_MODE, setup_list::kCaptureMode, c.CaptureMode);
  SetCheck(IDC_SETUP_CAPTURE_CURSOR, c.CaptureMouseCursor);
  SetCheck(IDC_SETUP_FOLLOW_LISSAJOUS, s.LissajousWindow.Follow);
  SetCheck(IDC_SETUP_FOLLOW_METER, s.LevelMeterWindow.Follow);
  SetCheck(IDC_SETUP_FOLLOW_POSITIONING, s.PositioningWindow.Follow);
  SetCheck(IDC_SETUP_FOLLOW_PLAY_LIST, s.PlayListWindow.Follow);
  SetCheck(IDC_SETUP_FOLLOW_WAVE_INFO, s.WaveInfoWindow.Follow);
  SetCheck(IDC_SETUP_FOLLOW_SETUP, s.SetupDialog.Follow);
  SetCheck(IDC_SETUP_RESIZE_TRACK_BAR, c.ResizeTrackBar);
  SetCheck(IDC_SETUP_AUTO_PLAY, c.AutoPlay);
  FillList(IDC_SETUP_SYNC2ND, setup_list::kSync2nd, c.Sync2ndInstance);
  SetCheck(IDC_SETUP_SYNC_PLAY_POS, c.Sync2ndPlayPos);
  FillList(IDC_SETUP_TIMER_RESOLUTION, setup_list::kTimerResolution, c.TimerResolution);
  FillList(IDC_SETUP_DISP_PERIOD_TYPE, setup_list::kDispPeriodType, c.UseTimer);
  FillList(IDC_SETUP_DISP_SLEEP_PERIOD, setup_list::kDispSleepPeriod, c.DispThreadSleepPeriod);
  FillList(IDC_SETUP_COLOR_SET, setup_list::kColorSet, c.ColorSet);
}

bool TSetupDlg::MiscCommand(UINT id, UINT code) {
  SettingsValues& s = host_.Settings();
  auto& c = s.Conditions;
  const bool click = code == BN_CLICKED, select = code == CBN_SELCHANGE;
  SetupChange change = SetupChange::Misc;
  auto chosen = [&](const SetupList& list, int32_t& field) {
    const auto v = ListValue(static_cast<int>(id), list);
    if (v) field = *v;
    return v.has_value();
  };
  switch (id) {
    case IDC_SETUP_CAPTURE_MODE:
      if (!select || !chosen(setup_list::kCaptureMode, c.CaptureMode)) return select;
      break;
    case IDC_SETUP_SYNC2ND:
      if (!select || flags_.PlayOrRecRunning() ||
          !chosen(setup_list::kSync2nd, c.Sync2ndInstance)) {
        return select;
      }
      break;
    case IDC_SETUP_TIMER_RESOLUTION:
      if (!select || flags_.PlayOrRecRunning() ||
          !chosen(setup_list::kTimerResolution, c.TimerResolution)) {
        return select;
      }
      break;
    case IDC_SETUP_DISP_PERIOD_TYPE:
      if (!select || flags_.PlayOrRecRunning() ||
          !chosen(setup_list::kDispPeriodType, c.UseTimer)) {
        return select;
      }
      break;
    case IDC_SETUP_COLOR_SET:
      if (!select || !chosen(setup_list::kColorSet, c.ColorSet)) return select;
      change = SetupChange::ColorSet;
      break;
    case IDC_SETUP_DISP_SLEEP_PERIOD: {
      std::optional<int32_t> v;
      if (select) {
        v = ListValue(IDC_SETUP_DISP_SLEEP_PERIOD, setup_list::kDispSleepPeriod);
      } else if (code == CBN_EDITCHANGE) {
        v = TypedDispPeriod(Text(IDC_SETUP_DISP_SLEEP_PERIOD));
      } else {
        return false;
      }
      if (v) DispPeriodChanged(*v);
      return true;
    }
    case IDC_SETUP_TIMER_CHECK:
      if (!click) return false;
      TimerCheckButtonClick();
      return true;
    case IDC_SETUP_CAPTURE_CURSOR:
    case IDC_SETUP_FOLLOW_LISSAJOUS:
    case IDC_SETUP_FOLLOW_METER:
    case IDC_SETUP_FOLLOW_POSITIONING:
    case IDC_SETUP_FOLLOW_PLAY_LIST:
    case IDC_SETUP_FOLLOW_WAVE_INFO:
    case IDC_SETUP_FOLLOW_SETUP:
    case IDC_SETUP_RESIZE_TRACK_BAR:
    case IDC_SETUP_AUTO_PLAY:
    case IDC_SETUP_SYNC_PLAY_POS: {
      if (!click) return false;
      bool& field = id == IDC_SETUP_CAPTURE_CURSOR       ? c.CaptureMouseCursor
                    : id == IDC_SETUP_FOLLOW_LISSAJOUS   ? s.LissajousWindow.Follow
                    : id == IDC_SETUP_FOLLOW_METER       ? s.LevelMeterWindow.Follow
                    : id == IDC_SETUP_FOLLOW_POSITIONING ? s.PositioningWindow.Follow
                    : id == IDC_SETUP_FOLLOW_PLAY_LIST   ? s.PlayListWindow.Follow
                    : id == IDC_SETUP_FOLLOW_WAVE_INFO   ? s.WaveInfoWindow.Follow
                    : id == IDC_SETUP_FOLLOW_SETUP       ? s.SetupDialog.Follow
                    : id == IDC_SETUP_RESIZE_TRACK_BAR   ? c.ResizeTrackBar
                    : id == IDC_SETUP_AUTO_PLAY          ? c.AutoPlay
                                                         : c.Sync2ndPlayPos;
      field = Checked(static_cast<int>(id));
      break;
    }
    default:
      return false;
  }
  host_.SettingChanged(change);
  UpdateEnabling();
  return true;
}

void TSetupDlg::DispPeriodChanged(int32_t ms) {
  host_.Settings().Conditions.DispThreadSleepPeriod = ms;
  if (owner_) PostMessageW(owner_, WM_TIMER_PERIOD, static_cast<WPARAM>(ms), 0);
}

void TSetupDlg::SetDispPeriodType(int32_t useTimer) {
  FillWhenEmpty(IDC_SETUP_DISP_PERIOD_TYPE);
  SelectValue(IDC_SETUP_DISP_PERIOD_TYPE, setup_list::kDispPeriodType, useTimer);
  MiscCommand(IDC_SETUP_DISP_PERIOD_TYPE, CBN_SELCHANGE);
}

void TSetupDlg::SetDispSleepPeriod(int32_t ms) {
  FillWhenEmpty(IDC_SETUP_DISP_SLEEP_PERIOD);
  SelectValue(IDC_SETUP_DISP_SLEEP_PERIOD, setup_list::kDispSleepPeriod, ms);
  const auto v = TypedDispPeriod(std::to_string(ms));
  if (v) DispPeriodChanged(*v);
}

namespace {

// The effective timer resolution: the mean length of 20 one-millisecond
// sleeps, in ms; negative when the performance counter is missing.
double MeasureTimerResolution() {
  LARGE_INTEGER f{}, a{}, b{};
  if (!QueryPerformanceFrequency(&f) || f.QuadPart == 0) return -1;
  Sleep(1);  // start on a tick
  QueryPerformanceCounter(&a);
  constexpr int kSleeps = 20;
  for (int i = 0; i < kSleeps; ++i) Sleep(1);
  QueryPerformanceCounter(&b);
  return static_cast<double>(b.QuadPart - a.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart) /
         kSleeps;
}

}  // namespace

void TSetupDlg::TimerCheckButtonClick() {
  const Language l = host_.UserLanguage();
  SetText(IDC_SETUP_TIMER_RESULT, setup_text::kWait.In(l));
  UpdateWindow(Item(IDC_SETUP_TIMER_RESULT));
  const double ms = MeasureTimerResolution();
  char text[64];
  if (ms >= 0) {
    std::snprintf(text, sizeof text, "%6.3f", ms);
  } else {
    std::snprintf(text, sizeof text, "%s", setup_text::kError.In(l));
  }
  SetText(IDC_SETUP_TIMER_RESULT, text);
  if (!KeyHeld(VK_SHIFT)) return;
  TIMECAPS caps{};
  const bool capsOk = timeGetDevCaps(&caps, sizeof caps) == TIMERR_NOERROR;
  LARGE_INTEGER f{};
  const bool freqOk = QueryPerformanceFrequency(&f) != 0;
  const TimerReport report{
      capsOk, caps.wPeriodMin, caps.wPeriodMax, freqOk, static_cast<int64_t>(f.QuadPart), ms >= 0,
      ms};
  MessageBoxW(hwnd(), Wide(TimerReportText(report, l)).c_str(), Wide(setup_text::kAppTitle).c_str(),
              MB_OK | MB_ICONINFORMATION);
}

}  // namespace ov
