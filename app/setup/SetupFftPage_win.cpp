// TSetupDlg's FFT page: the number of sample points (stopped only) and the
// window function.
#include "app/resources/ResourceIds.h"
#include "app/setup/SetupDlg_win.h"

namespace ov {

void TSetupDlg::FillFftPage() {
  const auto& c = host_.Settings().Conditions;
  FillList(IDC_SETUP_FFT_POINTS, setup_list::kFftPoints, c.Sample_N);
  for (int i = 0; i < 7; ++i) {
    SetCheck(IDC_SETUP_WINFUNC_FIRST + i, setup_list::kWindowFunctionOrder[i] == c.WindowFunction);
  }
}

bool TSetupDlg::FftCommand(UINT id, UINT code) {
  auto& c = host_.Settings().Conditions;
  if (id == IDC_SETUP_FFT_POINTS) {
    if (code != CBN_SELCHANGE) return false;
    const auto v = ListValue(IDC_SETUP_FFT_POINTS, setup_list::kFftPoints);
    // The analysis buffers belong to a running display while play or recording runs.
    if (!v || flags_.PlayOrRecRunning() || *v == c.Sample_N) return true;
    c.Sample_N = *v;
    host_.SetAnalysisSize(c.Sample_N);
    return true;
  }
  if (id >= IDC_SETUP_WINFUNC_FIRST && id <= IDC_SETUP_WINFUNC_LAST) {
    if (code != BN_CLICKED) return false;
    c.WindowFunction = setup_list::kWindowFunctionOrder[id - IDC_SETUP_WINFUNC_FIRST];
    host_.SettingChanged(SetupChange::WindowFunction);
    return true;
  }
  return false;
}

}  // namespace ov
