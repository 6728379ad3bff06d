// TSetupDlg's Spectrum page: display type and the 3D values, amplitude and
// frequency scales, magnification, range and shift, the frequency range with
// its own "Apply", interpolation, the comment line and the drawing method.
#include "app/resources/ResourceIds.h"
#include "app/setup/SetupDlg_win.h"
#include "app/setup/SetupTexts.h"

namespace ov {

void TSetupDlg::FillSpectrumPage() {
  const auto& c = host_.Settings().Conditions;
  SetCheck(IDC_SETUP_SPEC_NORMAL, c.SpectrumDispType == 0);
  SetCheck(IDC_SETUP_SPEC_3D, c.SpectrumDispType == 1);
  SetCheck(IDC_SETUP_SPEC_SPECTROGRAM, c.SpectrumDispType == 2);
  for (int a = 0; a < 3; ++a) SetCheck(IDC_SETUP_ANGLE0 + a, c.Angle3D == a);
  FillList(IDC_SETUP_DELTAX3D, setup_list::kDeltaX3D, c.DeltaX3D);
  FillList(IDC_SETUP_LINES3D, setup_list::kLines3D, c.Lines3D);
  SetCheck(IDC_SETUP_PEAK_ONLY, c.SpectrumPeakOnly);
  SetCheck(IDC_SETUP_SPEC_LOG, c.SpectrumLogScale);
  FillList(IDC_SETUP_SPEC_MAG, setup_list::kSpectrumMag, c.SpectrumDispMagRate);
  FillList(IDC_SETUP_SPEC_RANGE, setup_list::kSpectrumRange, c.dB_Max);
  FillList(IDC_SETUP_SPEC_SHIFT, setup_list::kSpectrumShift, ShiftListValue(c.dB_Shift));
  SetCheck(IDC_SETUP_FREQ_LOG, c.FreqLogScale);
  SetCheck(IDC_SETUP_FREQ_RANGE, c.FreqDispRange);
  SetText(IDC_SETUP_FREQ_FROM, std::to_string(c.FreqDispFrom));
  SetText(IDC_SETUP_FREQ_TO, std::to_string(c.FreqDispTo));
  FillList(IDC_SETUP_INTERPOLATE, setup_list::kInterpolation, c.SpectrumInterpolate);
  SetCheck(IDC_SETUP_COMMENT, host_.Settings().Conditions.DispSpectrumComment);
  FillList(IDC_SETUP_SPEC_DRAW_TYPE, setup_list::kDrawType, c.SpectrumDrawType);
  SetCheck(IDC_SETUP_SPEC_VBLANK, c.SpectrumCheckVBlank);
  for (int id : {IDC_SETUP_FREQ_FROM, IDC_SETUP_FREQ_TO, IDC_SETUP_FREQ_APPLY}) {
    Enable(id, c.FreqDispRange);
  }
}

bool TSetupDlg::SpectrumCommand(UINT id, UINT code) {
  auto& c = host_.Settings().Conditions;
  const bool click = code == BN_CLICKED, select = code == CBN_SELCHANGE;
  const bool typed = code == CBN_EDITCHANGE;
  SetupChange change = SetupChange::SpectrumView;
  // A list choice: the selected item's value, when one is selected.
  auto chosen = [&](const SetupList& list, int32_t& field) {
    const auto v = ListValue(static_cast<int>(id), list);
    if (!v) return false;
    field = *v;
    return true;
  };
  switch (id) {
    case IDC_SETUP_SPEC_NORMAL:
    case IDC_SETUP_SPEC_3D:
    case IDC_SETUP_SPEC_SPECTROGRAM:
      if (!click) return false;
      if (!IsWindowEnabled(Item(static_cast<int>(id)))) return true;
      c.SpectrumDispType = static_cast<int32_t>(id - IDC_SETUP_SPEC_NORMAL);
      break;
    case IDC_SETUP_ANGLE0:
    case IDC_SETUP_ANGLE1:
    case IDC_SETUP_ANGLE2:
      if (!click) return false;
      c.Angle3D = static_cast<int32_t>(id - IDC_SETUP_ANGLE0);
      break;
    case IDC_SETUP_DELTAX3D:
    case IDC_SETUP_LINES3D: {
      const bool slope = id == IDC_SETUP_DELTAX3D;
      int32_t& field = slope ? c.DeltaX3D : c.Lines3D;
      if (select) {
        if (!chosen(slope ? setup_list::kDeltaX3D : setup_list::kLines3D, field)) return true;
      } else if (typed) {
        const std::string t = Text(static_cast<int>(id));
        const auto v = slope ? TypedDeltaX3D(t) : TypedLines3D(t);
        if (!v) return true;  // outside the range or not a number: nothing changes
        field = *v;
      } else {
        return false;
      }
      break;
    }
    case IDC_SETUP_PEAK_ONLY:
    case IDC_SETUP_SPEC_LOG:
    case IDC_SETUP_FREQ_LOG:
      if (!click) return false;
      (id == IDC_SETUP_PEAK_ONLY
           ? c.SpectrumPeakOnly
           : (id == IDC_SETUP_SPEC_LOG ? c.SpectrumLogScale : c.FreqLogScale)) =
          Checked(static_cast<int>(id));
      break;
    case IDC_SETUP_SPEC_MAG:
      if (!select || !chosen(setup_list::kSpectrumMag, c.SpectrumDispMagRate)) return select;
      break;
    case IDC_SETUP_SPEC_RANGE:
      if (!select || !chosen(setup_list::kSpectrumRange, c.dB_Max)) return select;
      break;
    case IDC_SETUP_SPEC_SHIFT: {
      if (!select) return false;
      const auto v = ListValue(IDC_SETUP_SPEC_SHIFT, setup_list::kSpectrumShift);
      if (!v) return true;
      c.dB_Shift = ShiftFromListValue(*v);
      break;
    }
    case IDC_SETUP_INTERPOLATE:
      if (!select || !chosen(setup_list::kInterpolation, c.SpectrumInterpolate)) return select;
      break;
    case IDC_SETUP_FREQ_RANGE:
      if (!click) return false;
      c.FreqDispRange = Checked(IDC_SETUP_FREQ_RANGE);
      for (int e : {IDC_SETUP_FREQ_FROM, IDC_SETUP_FREQ_TO, IDC_SETUP_FREQ_APPLY}) {
        Enable(e, c.FreqDispRange);
      }
      break;
    case IDC_SETUP_FREQ_APPLY:
      if (!click) return false;
      FreqRangeApplyButtonClick();
      return true;
    case IDC_SETUP_COMMENT:
      if (!click) return false;
      c.DispSpectrumComment = Checked(IDC_SETUP_COMMENT);
      change = SetupChange::SpectrumComment;
      break;
    case IDC_SETUP_COMMENT_EDIT:
      if (!click) return false;
      host_.EditSpectrumComment();
      return true;
    case IDC_SETUP_SPEC_DRAW_TYPE:
      if (!select || !chosen(setup_list::kDrawType, c.SpectrumDrawType)) return select;
      change = SetupChange::DrawType;
      break;
    case IDC_SETUP_SPEC_VBLANK:
      if (!click) return false;
      c.SpectrumCheckVBlank = Checked(IDC_SETUP_SPEC_VBLANK);
      change = SetupChange::DrawType;
      break;
    case IDC_SETUP_SPEC_AUTO_SET:
      if (!click) return false;
      host_.AutoSetDrawType();
      return true;
    default:
      return false;
  }
  host_.SettingChanged(change);
  UpdateEnabling();
  return true;
}

void TSetupDlg::FreqRangeApplyButtonClick() {
  const auto range = ParseFreqRange(Text(IDC_SETUP_FREQ_FROM), Text(IDC_SETUP_FREQ_TO));
  if (!range) {
    Warn(setup_text::kIllegalFreqRange, setup_text::kCapFreqApply);
    return;
  }
  auto& c = host_.Settings().Conditions;
  c.FreqDispFrom = range->from;
  c.FreqDispTo = range->to;
  host_.SettingChanged(SetupChange::SpectrumView);
}

}  // namespace ov
