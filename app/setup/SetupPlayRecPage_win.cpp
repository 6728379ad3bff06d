// TSetupDlg's Play/Rec page: the driver family and its devices (ASIO
// channels), the device buttons (format lists, information, control panels,
// direct monitor), the engine options, the record format and the recording
// file options. The lists are filled the first time the page is selected.
#include <windows.h>

#include <string>

#include "app/engine/FormatProbe.h"
#include "app/engine/WavePlayRec.h"
#include "app/resources/ResourceIds.h"
#include "app/setup/FormatListForm_win.h"
#include "app/setup/SetupDlg_win.h"
#include "app/setup/SetupDlgCommon_win.h"
#include "app/setup/SetupTexts.h"

namespace ov {

using namespace setup_win;

namespace {

AudioDirection Direction(bool input) {
  return input ? AudioDirection::Input : AudioDirection::Output;
}

// Device numbers of a family's list: MME and DirectSound put their default
// (number 0) before the devices they count; WASAPI and ASIO count every entry.
uint32_t DeviceListSize(int32_t driverType, uint32_t count) {
  return driverType <= 1 ? count + 1 : count;
}

class WaitCursor {
 public:
  WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { SetCursor(previous_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR previous_;
};

}  // namespace

void TSetupDlg::FillPlayRecPage() {
  const bool was = filling_;
  filling_ = true;
  const SettingsValues& s = host_.Settings();
  const auto& c = s.Conditions;
  const SetupList drivers{setup_list::kDriver.items, host_.WasapiAvailable() ? 4u : 3u};
  FillList(IDC_SETUP_DRIVER, drivers, c.PlayRecDriverType);
  SetCheck(IDC_SETUP_EXTENSIBLE, c.Use_WF_EXTENSIBLE);
  SetCheck(IDC_SETUP_DIRECT, c.Use_WF_DIRECT);
  FillDeviceLists();
  SetCheck(IDC_SETUP_FULL_VOL, c.PlayWithFullVol);
  SetCheck(IDC_SETUP_MONO_STEREO, c.PlayForceMonoStereo);
  SetCheck(IDC_SETUP_AUTO_ANALYZE, c.AutoOpenPrecPosMode);
  SetCheck(IDC_SETUP_WAS_EVENT, c.WAS_EventMode);
  SetText(IDC_SETUP_WAS_LATENCY, std::to_string(c.WAS_Latency));
  FillList(IDC_SETUP_REC_RATE, setup_list::kRecRate, c.RecSamplingFreq);
  FillList(IDC_SETUP_REC_BITS, setup_list::kRecBits, c.RecBitLen);
  FillList(IDC_SETUP_REC_CH, setup_list::kRecChannels, c.RecCh);
  SetCheck(IDC_SETUP_REC_TO_FILE, c.RecToFile);
  SetCheck(IDC_SETUP_RF64, c.Rec_RF64);
  SetCheck(IDC_SETUP_BWF, c.Rec_BWF);
  SetCheck(IDC_SETUP_UPDATE_HEADER, c.RecUpdateHeader);
  SetCheck(IDC_SETUP_REC_MONITOR, c.RecMonitorOn);
  SetCheck(IDC_SETUP_DIRECT_MONITOR, false);
  playRecFilled_ = true;
  filling_ = was;
}

void TSetupDlg::FillDeviceLists() {
  WavePlayRec& engine = host_.Engine();
  const auto& c = host_.Settings().Conditions;
  for (bool input : {false, true}) {
    HWND list = Item(input ? IDC_SETUP_REC_DEVICE : IDC_SETUP_PLAY_DEVICE);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    const AudioDirection d = Direction(input);
    const uint32_t n = DeviceListSize(engine.GetDriverType(), engine.GetDeviceCount(d));
    for (uint32_t i = 0; i < n; ++i) {
      SendMessageW(list, CB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(Wide(engine.GetDeviceName(i, d)).c_str()));
    }
    const int32_t number = input ? c.RecDeviceNum : c.PlayDeviceNum;
    SendMessageW(list, CB_SETCURSEL,
                 static_cast<WPARAM>(number < static_cast<int32_t>(n) ? number : -1), 0);
  }
  FillAsioChannels();
}

void TSetupDlg::FillAsioChannels() {
  WavePlayRec& engine = host_.Engine();
  const auto& c = host_.Settings().Conditions;
  for (bool input : {false, true}) {
    HWND list = Item(input ? IDC_SETUP_ASIO_REC_CH : IDC_SETUP_ASIO_PLAY_CH);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    // Reading the channels opens the driver: never while a run owns it.
    if (engine.GetDriverType() != 2 || flags_.PlayOrRecRunning()) continue;
    const AudioDirection d = Direction(input);
    if (!engine.TestAsioDriver(input ? c.RecDeviceNum : c.PlayDeviceNum, d)) continue;
    const int32_t n = engine.GetAsioChannels(d);
    for (int32_t i = 0; i < n; ++i) {
      const std::string name =
          std::to_string(i + 1) + ": " + engine.GetAsioChannelName(static_cast<uint32_t>(i));
      SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
    }
    const int32_t channel = input ? c.ASIO_RecChNum : c.ASIO_PlayChNum;
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(channel < n ? channel : -1), 0);
  }
}

bool TSetupDlg::PlayRecCommand(UINT id, UINT code) {
  SettingsValues& s = host_.Settings();
  auto& c = s.Conditions;
  const bool click = code == BN_CLICKED, select = code == CBN_SELCHANGE;
  SetupChange change = SetupChange::EngineOptions;
  auto selected = [&]() {
    return static_cast<int32_t>(SendMessageW(Item(static_cast<int>(id)), CB_GETCURSEL, 0, 0));
  };
  switch (id) {
    case IDC_SETUP_DRIVER:
      if (!select) return false;
      DriverComboBoxChange();
      return true;
    case IDC_SETUP_PLAY_DEVICE:
    case IDC_SETUP_REC_DEVICE: {
      if (!select) return false;
      const int32_t i = selected();
      if (i < 0 || flags_.PlayOrRecRunning()) return true;
      (id == IDC_SETUP_PLAY_DEVICE ? c.PlayDeviceNum : c.RecDeviceNum) = i;
      if (c.PlayRecDriverType == 2) {
        (id == IDC_SETUP_PLAY_DEVICE ? c.ASIO_PlayChNum : c.ASIO_RecChNum) = 0;
        FillAsioChannels();
      }
      change = SetupChange::Devices;
      break;
    }
    case IDC_SETUP_ASIO_PLAY_CH:
    case IDC_SETUP_ASIO_REC_CH: {
      if (!select) return false;
      const int32_t i = selected();
      if (i < 0) return true;
      (id == IDC_SETUP_ASIO_PLAY_CH ? c.ASIO_PlayChNum : c.ASIO_RecChNum) = i;
      change = SetupChange::Devices;
      break;
    }
    case IDC_SETUP_PLAY_FORMATS:
    case IDC_SETUP_REC_FORMATS:
      if (!click) return false;
      FormatListButtonClick(id == IDC_SETUP_REC_FORMATS);
      return true;
    case IDC_SETUP_PLAY_INFO:
    case IDC_SETUP_REC_INFO:
      if (!click) return false;
      InfoButtonClick(id == IDC_SETUP_REC_INFO);
      return true;
    case IDC_SETUP_PLAY_PANEL:
    case IDC_SETUP_REC_PANEL:
      if (!click) return false;
      PanelButtonClick(id == IDC_SETUP_REC_PANEL);
      return true;
    case IDC_SETUP_VOLUME_CTRL:
      if (!click) return false;
      VolumeCtrlButtonClick();
      return true;
    case IDC_SETUP_DIRECT_MONITOR:
      if (!click) return false;
      AsioDirectMonitorCheckBoxClick();
      return true;
    case IDC_SETUP_ASIO_LABEL:
      if (code != STN_CLICKED) return false;
      starter_.OpenWebPage(setup_text::kAsioVendorPage);
      return true;
    case IDC_SETUP_EXTENSIBLE:
    case IDC_SETUP_DIRECT:
    case IDC_SETUP_FULL_VOL:
    case IDC_SETUP_MONO_STEREO:
    case IDC_SETUP_AUTO_ANALYZE:
    case IDC_SETUP_WAS_EVENT:
    case IDC_SETUP_RF64:
    case IDC_SETUP_BWF:
    case IDC_SETUP_UPDATE_HEADER: {
      if (!click) return false;
      bool& field = id == IDC_SETUP_EXTENSIBLE     ? c.Use_WF_EXTENSIBLE
                    : id == IDC_SETUP_DIRECT       ? c.Use_WF_DIRECT
                    : id == IDC_SETUP_FULL_VOL     ? c.PlayWithFullVol
                    : id == IDC_SETUP_MONO_STEREO  ? c.PlayForceMonoStereo
                    : id == IDC_SETUP_AUTO_ANALYZE ? c.AutoOpenPrecPosMode
                    : id == IDC_SETUP_WAS_EVENT    ? c.WAS_EventMode
                    : id == IDC_SETUP_RF64         ? c.Rec_RF64
                    : id == IDC_SETUP_BWF          ? c.Rec_BWF
                                                   : c.RecUpdateHeader;
      field = Checked(static_cast<int>(id));
      ApplyEngineOptions();
      break;
    }
    case IDC_SETUP_WAS_LATENCY: {
      if (code != EN_CHANGE) return false;
      const auto v = TypedWasapiLatency(Text(IDC_SETUP_WAS_LATENCY));
      if (!v) return true;
      c.WAS_Latency = *v;
      ApplyEngineOptions();
      break;
    }
    case IDC_SETUP_REC_RATE: {
      std::optional<int32_t> v;
      if (select) {
        v = ListValue(IDC_SETUP_REC_RATE, setup_list::kRecRate);
      } else if (code == CBN_EDITCHANGE) {
        v = TypedRecRate(Text(IDC_SETUP_REC_RATE));
      } else {
        return false;
      }
      if (!v) return true;
      c.RecSamplingFreq = *v;
      change = SetupChange::RecordFormat;
      break;
    }
    case IDC_SETUP_REC_BITS:
    case IDC_SETUP_REC_CH: {
      if (!select) return false;
      const bool bits = id == IDC_SETUP_REC_BITS;
      const auto v =
          ListValue(static_cast<int>(id), bits ? setup_list::kRecBits : setup_list::kRecChannels);
      if (!v) return true;
      (bits ? c.RecBitLen : c.RecCh) = *v;
      change = SetupChange::RecordFormat;
      break;
    }
    case IDC_SETUP_REC_TO_FILE:
    case IDC_SETUP_REC_MONITOR:
      if (!click) return false;
      (id == IDC_SETUP_REC_TO_FILE ? c.RecToFile : c.RecMonitorOn) = Checked(static_cast<int>(id));
      change = SetupChange::RecordFormat;
      break;
    default:
      return false;
  }
  host_.SettingChanged(change);
  UpdateEnabling();
  return true;
}

void TSetupDlg::DriverComboBoxChange() {
  auto& c = host_.Settings().Conditions;
  const SetupList drivers{setup_list::kDriver.items, host_.WasapiAvailable() ? 4u : 3u};
  const auto v = ListValue(IDC_SETUP_DRIVER, drivers);
  if (!v || *v == c.PlayRecDriverType) return;
  WavePlayRec& engine = host_.Engine();
  DriverChange result;
  {
    WaitCursor wait;
    result = flags_.PlayOrRecRunning() ? DriverChange::Unusable : engine.SetDriverType(*v);
  }
  if (result != DriverChange::Changed) {
    SelectValue(IDC_SETUP_DRIVER, drivers, c.PlayRecDriverType);
    Warn(setup_text::kUnableToLoadDriver, setup_text::kCapDriver, engine.GetMessage());
    return;
  }
  c.PlayRecDriverType = *v;
  c.PlayDeviceNum = c.RecDeviceNum = 0;
  c.ASIO_PlayChNum = c.ASIO_RecChNum = 0;
  SetCheck(IDC_SETUP_DIRECT_MONITOR, false);
  FillDeviceLists();
  // The record monitor box exists under MME only.
  if (c.PlayRecDriverType != 0 && showRecMonitor_) {
    showRecMonitor_ = false;
    ShowWindow(Item(IDC_SETUP_REC_MONITOR), SW_HIDE);
  }
  host_.DriverChanged();
  UpdateEnabling();
}

void TSetupDlg::PanelButtonClick(bool input) {
  const auto& c = host_.Settings().Conditions;
  if (c.PlayRecDriverType == 3) {
    const char* program = input ? setup_text::kRecordPanel : setup_text::kPlaybackPanel;
    if (!starter_.StartProgram(program)) {
      Warn(setup_text::kUnableToRun, setup_text::kCapControlPanel, program);
    }
    return;
  }
  WavePlayRec& engine = host_.Engine();
  bool ok;
  {
    WaitCursor wait;
    ok = engine.ShowAsioControlPanel(input ? c.RecDeviceNum : c.PlayDeviceNum, Direction(input));
  }
  if (!ok) Warn(setup_text::kUnableControlPanel, setup_text::kCapControlPanel);
}

void TSetupDlg::VolumeCtrlButtonClick() {
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof v;
  const uint32_t major = GetVersionExW(&v) ? v.dwMajorVersion : 6;
  const std::string program = VolumeControlProgram(major, KeyHeld(VK_SHIFT));
  if (!starter_.StartProgram(program)) {
    Warn(setup_text::kUnableToRun, setup_text::kCaption, program);
  }
}

void TSetupDlg::AsioDirectMonitorCheckBoxClick() {
  const bool on = Checked(IDC_SETUP_DIRECT_MONITOR);
  WavePlayRec& engine = host_.Engine();
  if (!engine.SetAsioDirectMonitor(host_.Settings().Conditions.RecDeviceNum, on)) {
    SetCheck(IDC_SETUP_DIRECT_MONITOR, false);
    Warn(setup_text::kDirectMonitorUnsupported, setup_text::kCapDirectMonitor);
  }
}

void TSetupDlg::InfoButtonClick(bool input) {
  const auto& c = host_.Settings().Conditions;
  WavePlayRec& engine = host_.Engine();
  std::string text;
  {
    WaitCursor wait;
    const int32_t device = input ? c.RecDeviceNum : c.PlayDeviceNum;
    if (c.PlayRecDriverType == 3) {
      text =
          engine.ShowWasapiInfo(static_cast<uint32_t>(device), Direction(input), KeyHeld(VK_SHIFT));
    } else if (c.PlayRecDriverType == 2) {
      text = engine.ShowAsioInfo(device, input ? c.ASIO_RecChNum : c.ASIO_PlayChNum,
                                 Direction(input), InfoFormat(input));
    }
  }
  if (text.empty()) return;
  MessageBoxW(hwnd(), Wide(text).c_str(), Wide(setup_text::kAppTitle).c_str(), MB_OK);
}

WaveFormat TSetupDlg::InfoFormat(bool input) {
  const auto& c = host_.Settings().Conditions;
  uint32_t floatWidth = 0;
  const WaveFormat& play = host_.Engine().GetFormat(&floatWidth);
  if (!input && play.samplesPerSec != 0) return play;
  int width = setup_list::kRecBits.IndexOf(c.RecBitLen);
  if (width < 0) width = 1;
  const auto channels = static_cast<uint16_t>(c.RecCh >= 1 && c.RecCh <= 8 ? c.RecCh : 2);
  return ProbeFormat(static_cast<uint32_t>(c.RecSamplingFreq), width, channels, channels > 2);
}

void TSetupDlg::FormatListButtonClick(bool input) {
  if (flags_.PlayOrRecRunning()) return;
  const auto& c = host_.Settings().Conditions;
  FormatListOptions o;
  o.record = input;
  o.extraChannels = static_cast<uint16_t>(c.RecCh > 2 && c.RecCh <= 8 ? c.RecCh : 0);
  o.currentBits = c.RecBitLen;
  o.currentRate = static_cast<uint32_t>(c.RecSamplingFreq);
  if (!input) {
    uint32_t floatWidth = 0;
    const WaveFormat& play = host_.Engine().GetFormat(&floatWidth);
    if (play.samplesPerSec != 0) {
      o.currentRate = play.samplesPerSec;
      o.currentBits = floatWidth ? -32 : play.bitsPerSample;
    }
  }
  o.deviceNumber = input ? c.RecDeviceNum : c.PlayDeviceNum;
  o.deviceName = Text(input ? IDC_SETUP_REC_DEVICE : IDC_SETUP_PLAY_DEVICE);
  o.language = host_.UserLanguage();
  FormatListForm form(host_.Engine(), o);
  if (input) {
    form.OnPick = [this](int rateIndex, int widthIndex) {
      PickRecordFormat(rateIndex, widthIndex);
    };
  }
  form.ShowModal(hwnd());
}

void TSetupDlg::PickRecordFormat(int rateIndex, int widthIndex) {
  const auto rate = setup_list::kRecRate.ValueAt(rateIndex);
  const auto bits = setup_list::kRecBits.ValueAt(widthIndex);
  if (!rate || !bits) return;  // outside the cells: a rate of 0 would follow
  auto& c = host_.Settings().Conditions;
  c.RecSamplingFreq = *rate;
  c.RecBitLen = *bits;
  SendMessageW(Item(IDC_SETUP_REC_RATE), CB_SETCURSEL, static_cast<WPARAM>(rateIndex), 0);
  SendMessageW(Item(IDC_SETUP_REC_BITS), CB_SETCURSEL, static_cast<WPARAM>(widthIndex), 0);
  host_.SettingChanged(SetupChange::RecordFormat);
}

void TSetupDlg::SetRecToFile(bool on) {
  SetCheck(IDC_SETUP_REC_TO_FILE, on);
  PlayRecCommand(IDC_SETUP_REC_TO_FILE, BN_CLICKED);
}

}  // namespace ov
