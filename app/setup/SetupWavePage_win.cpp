// TSetupDlg's Wave page: display type and the Lissajous choices,
// magnifications, drawing method and V.Blank, value display, level meter and
// the wave-information window.
#include "app/resources/ResourceIds.h"
#include "app/setup/SetupDlg_win.h"

namespace ov {

void TSetupDlg::FillWavePage() {
  const SettingsValues& s = host_.Settings();
  const auto& c = s.Conditions;
  SetCheck(IDC_SETUP_WAVE_NORMAL, c.WaveDispType == 0);
  SetCheck(IDC_SETUP_WAVE_LISSAJOUS, c.WaveDispType == 1);
  SetCheck(IDC_SETUP_LISSAJOUS_WINDOW, s.LissajousWindow.Visible);
  SetCheck(IDC_SETUP_LISSAJOUS_BEZIER, c.LissajousBezier);
  SetCheck(IDC_SETUP_LISSAJOUS_CENTER, c.LissajousCenter);
  FillList(IDC_SETUP_WAVE_YMAG, setup_list::kWaveMag, c.WaveYDispMagRate);
  FillList(IDC_SETUP_WAVE_XMAG, setup_list::kWaveMag, c.WaveXDispMagRate);
  FillList(IDC_SETUP_WAVE_DRAW_TYPE, setup_list::kDrawType, c.WaveDrawType);
  SetCheck(IDC_SETUP_WAVE_VBLANK, c.WaveCheckVBlank);
  SetCheck(IDC_SETUP_WAVE_HEX, c.WaveValDispInHex);
  SetCheck(IDC_SETUP_WAVE_RMS_SINE, c.WaveRMS0dBsin);
  FillList(IDC_SETUP_LEVEL_METER, setup_list::kLevelMeter, s.LevelMeterWindow.Visible);
  SetCheck(IDC_SETUP_MARGIN_MODE, s.LevelMeterWindow.MarginMode);
}

bool TSetupDlg::WaveCommand(UINT id, UINT code) {
  SettingsValues& s = host_.Settings();
  auto& c = s.Conditions;
  const bool click = code == BN_CLICKED, select = code == CBN_SELCHANGE;
  switch (id) {
    case IDC_SETUP_WAVE_NORMAL:
    case IDC_SETUP_WAVE_LISSAJOUS:
      if (!click) return false;
      if (id == IDC_SETUP_WAVE_LISSAJOUS && !IsWindowEnabled(Item(id))) return true;
      c.WaveDispType = id == IDC_SETUP_WAVE_LISSAJOUS ? 1 : 0;
      SetCheck(IDC_SETUP_WAVE_NORMAL, c.WaveDispType == 0);
      SetCheck(IDC_SETUP_WAVE_LISSAJOUS, c.WaveDispType == 1);
      // The two Lissajous places exclude each other.
      if (c.WaveDispType == 1 && s.LissajousWindow.Visible) {
        s.LissajousWindow.Visible = false;
        SetCheck(IDC_SETUP_LISSAJOUS_WINDOW, false);
        host_.SettingChanged(SetupChange::LissajousWindow);
      }
      host_.SettingChanged(SetupChange::WaveView);
      break;
    case IDC_SETUP_LISSAJOUS_WINDOW:
      if (!click) return false;
      s.LissajousWindow.Visible = Checked(id);
      if (s.LissajousWindow.Visible && c.WaveDispType == 1) {
        c.WaveDispType = 0;
        SetCheck(IDC_SETUP_WAVE_NORMAL, true);
        SetCheck(IDC_SETUP_WAVE_LISSAJOUS, false);
        host_.SettingChanged(SetupChange::WaveView);
      }
      host_.SettingChanged(SetupChange::LissajousWindow);
      break;
    case IDC_SETUP_LISSAJOUS_BEZIER:
      if (!click) return false;
      c.LissajousBezier = Checked(id);
      host_.SettingChanged(SetupChange::WaveView);
      break;
    case IDC_SETUP_LISSAJOUS_CENTER:
      if (!click) return false;
      c.LissajousCenter = Checked(id);
      host_.SettingChanged(SetupChange::WaveLayout);
      break;
    case IDC_SETUP_WAVE_YMAG:
    case IDC_SETUP_WAVE_XMAG: {
      if (!select) return false;
      const auto v = ListValue(static_cast<int>(id), setup_list::kWaveMag);
      if (!v) return true;
      (id == IDC_SETUP_WAVE_YMAG ? c.WaveYDispMagRate : c.WaveXDispMagRate) = *v;
      host_.SettingChanged(SetupChange::WaveView);
      break;
    }
    case IDC_SETUP_WAVE_DRAW_TYPE: {
      if (!select) return false;
      const auto v = ListValue(IDC_SETUP_WAVE_DRAW_TYPE, setup_list::kDrawType);
      if (!v) return true;
      c.WaveDrawType = *v;
      host_.SettingChanged(SetupChange::DrawType);
      break;
    }
    case IDC_SETUP_WAVE_VBLANK:
      if (!click) return false;
      c.WaveCheckVBlank = Checked(id);
      host_.SettingChanged(SetupChange::DrawType);
      break;
    case IDC_SETUP_WAVE_AUTO_SET:
      if (!click) return false;
      host_.AutoSetDrawType();
      break;
    case IDC_SETUP_WAVE_HEX:
    case IDC_SETUP_WAVE_RMS_SINE:
      if (!click) return false;
      (id == IDC_SETUP_WAVE_HEX ? c.WaveValDispInHex : c.WaveRMS0dBsin) = Checked(id);
      host_.SettingChanged(SetupChange::WaveView);
      break;
    case IDC_SETUP_LEVEL_METER: {
      if (!select) return false;
      const auto v = ListValue(IDC_SETUP_LEVEL_METER, setup_list::kLevelMeter);
      if (!v) return true;
      s.LevelMeterWindow.Visible = *v;
      host_.SettingChanged(SetupChange::LevelMeter);
      break;
    }
    case IDC_SETUP_MARGIN_MODE:
      if (!click) return false;
      s.LevelMeterWindow.MarginMode = Checked(id);
      host_.SettingChanged(SetupChange::LevelMeter);
      break;
    case IDC_SETUP_WAVE_INFO_SHOW:
      if (!click) return false;
      host_.ShowWaveInfoWindow();
      break;
    default:
      return false;
  }
  UpdateEnabling();
  return true;
}

void TSetupDlg::SetDrawType(int view, int32_t drawType) {
  const int id = view == 0 ? IDC_SETUP_WAVE_DRAW_TYPE : IDC_SETUP_SPEC_DRAW_TYPE;
  FillWhenEmpty(id);
  SelectValue(id, setup_list::kDrawType, drawType);
  if (view == 0) {
    WaveCommand(static_cast<UINT>(id), CBN_SELCHANGE);
  } else {
    SpectrumCommand(static_cast<UINT>(id), CBN_SELCHANGE);
  }
}

void TSetupDlg::SetVBlank(int view, bool on) {
  const int id = view == 0 ? IDC_SETUP_WAVE_VBLANK : IDC_SETUP_SPEC_VBLANK;
  SetCheck(id, on);
  if (view == 0) {
    WaveCommand(static_cast<UINT>(id), BN_CLICKED);
  } else {
    SpectrumCommand(static_cast<UINT>(id), BN_CLICKED);
  }
}

}  // namespace ov
