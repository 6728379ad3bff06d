// The format list window on the real waveform-audio devices of the test
// environment (the null sink and its monitor).
#include "app/setup/FormatListForm_win.h"

#include <gtest/gtest.h>

#include <string>

#include "app/common/Utf8.h"
#include "app/engine/ConsoleEngineHost.h"
#include "app/engine/WavePlayRec.h"

namespace ov {
namespace {

class NullNotifier : public UserNotifier {
 public:
  NoticeAnswer Notify(std::string_view, NoticeIcon) override { return NoticeAnswer::Ok; }
};

std::wstring Wide(const std::string& utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

std::wstring WindowText(HWND h) {
  const auto n = static_cast<size_t>(SendMessageW(h, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(n + 1, L'\0');
  const auto got = static_cast<size_t>(
      SendMessageW(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
  text.resize(got);
  return text;
}

struct FormatListWindow : ::testing::Test {
  ConsoleEngineHost host;
  NullNotifier notifier;
  std::atomic<int32_t> play{0}, rec{0};
  WavePlayRec engine{host, notifier, play, rec, {}, EngineSettings{}};

  int32_t Device(const char* name, AudioDirection d) {
    for (uint32_t i = 1; i <= engine.GetDeviceCount(d); ++i) {
      if (engine.GetDeviceName(i, d) == name) return static_cast<int32_t>(i);
    }
    return -1;
  }
};

TEST_F(FormatListWindow, GridShowsWhatTheProbeFindsAndSelectsTheCurrentFormat) {
  const int32_t out = Device("Null Output", AudioDirection::Output);
  if (out < 0) GTEST_SKIP() << "no \"Null Output\" device";
  FormatListOptions o;
  o.deviceNumber = out;
  o.deviceName = "Null Output";
  o.currentRate = 48000;
  o.currentBits = 16;
  FormatListForm form(engine, o);
  ASSERT_TRUE(form.CreateForm(nullptr));
  wchar_t title[128];
  GetWindowTextW(form.hwnd(), title, 128);
  EXPECT_STREQ(title, L"Playback device Format list");
  form.RunProbe(true, false);
  EXPECT_FALSE(form.Probing());
  EXPECT_EQ(form.Table().cellsTried, kProbeRates * kProbeWidths);
  FormatProbeRequest request;
  request.queryOnly = true;
  const FormatProbeTable direct = engine.ProbeFormats(out, request, nullptr);
  EXPECT_EQ(WindowText(form.Grid().hwnd()), Wide(FormatGridText(direct)));
  // The query answers every format on this device: one and two channels.
  EXPECT_EQ(form.Grid().Cell(2, 5), L"   12");
  EXPECT_EQ(form.Grid().Cell(2, 4 + 1), L"   12");
  EXPECT_EQ(form.Grid().SelectedColumn(), 2);
  EXPECT_EQ(form.Grid().SelectedRow(), 5);
  EXPECT_EQ(WindowText(form.CloseButtonHandle()), L"&Close");
  // A play window ignores double clicks.
  SendMessageW(form.Grid().hwnd(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(60, 20));
  EXPECT_TRUE(IsWindow(form.hwnd()));
  SendMessageW(form.CloseButtonHandle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(form.Closed());
}

// A thread timer that acts once the probe runs (the button reads "&Stop"):
// it presses the button, or sends Esc to the grid.
std::wstring g_buttonWhileProbing;
HWND g_button = nullptr, g_grid = nullptr;
HWND g_form = nullptr;
int g_mode = 0;  // 0 the button, 1 Esc, 2 WM_CLOSE
void CALLBACK StopOnceProbing(HWND, UINT, UINT_PTR id, DWORD) {
  if (WindowText(g_button) != L"&Stop") return;
  KillTimer(nullptr, id);
  g_buttonWhileProbing = WindowText(g_button);
  if (g_mode == 1) {
    PostMessageW(g_grid, WM_KEYDOWN, VK_ESCAPE, 0);
  } else if (g_mode == 2) {
    PostMessageW(g_form, WM_CLOSE, 0, 0);
  } else {
    PostMessageW(g_button, BM_CLICK, 0, 0);
  }
}

TEST_F(FormatListWindow, StopAndEscEndTheProbeAfterTheCellBeingTried) {
  const int32_t out = Device("Null Output", AudioDirection::Output);
  if (out < 0) GTEST_SKIP() << "no \"Null Output\" device";
  for (int mode : {0, 1, 2}) {
    FormatListForm form(engine, FormatListOptions{false, 0, 16, 44100, "Null Output", out});
    ASSERT_TRUE(form.CreateForm(nullptr));
    g_button = form.CloseButtonHandle();
    g_grid = form.Grid().hwnd();
    g_form = form.hwnd();
    g_mode = mode;
    g_buttonWhileProbing.clear();
    SetTimer(nullptr, 0, 1, StopOnceProbing);
    form.RunProbe(false, false);
    SCOPED_TRACE(mode);
    EXPECT_EQ(g_buttonWhileProbing, L"&Stop");
    EXPECT_TRUE(form.Table().cancelled);
    EXPECT_LT(form.Table().cellsTried, kProbeRates * kProbeWidths);
    if (mode == 2) {
      EXPECT_TRUE(form.Closed());  // closing waits for the cell, then closes
      continue;
    }
    EXPECT_EQ(WindowText(form.CloseButtonHandle()), L"&Close");
    EXPECT_EQ(form.Grid().Cell(5, 11), L"");  // not tried: empty, not "    -"
    EXPECT_TRUE(IsWindow(form.hwnd()));       // stopping does not close the window
  }
}

TEST_F(FormatListWindow, RecordWindowPicksTheDoubleClickedCell) {
  const int32_t in = Device("Monitor of Null Output", AudioDirection::Input);
  if (in < 0) GTEST_SKIP() << "no \"Monitor of Null Output\" device";
  FormatListOptions o{true, 2, -32, 12345, "Monitor of Null Output", in};
  FormatListForm form(engine, o);
  int pickedRate = -1, pickedWidth = -1;
  form.OnPick = [&](int r, int w) {
    pickedRate = r;
    pickedWidth = w;
  };
  ASSERT_TRUE(form.CreateForm(nullptr));
  form.RunProbe(true, false);
  // A rate not in the list selects the bottom-right cell and enables the grid.
  EXPECT_EQ(form.Grid().SelectedColumn(), kProbeWidths);
  EXPECT_EQ(form.Grid().SelectedRow(), kProbeRates);
  EXPECT_TRUE(IsWindowEnabled(form.Grid().hwnd()));
  // The fixed row and column do nothing.
  SendMessageW(form.Grid().hwnd(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(10, 40));
  SendMessageW(form.Grid().hwnd(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(120, 5));
  EXPECT_EQ(pickedRate, -1);
  EXPECT_TRUE(IsWindow(form.hwnd()));
  // Column 2 (16 bits), row 4 (44100 Hz): cells are 55 x 16 pixels with their lines.
  SendMessageW(form.Grid().hwnd(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(2 * 55 + 5, 4 * 16 + 5));
  EXPECT_EQ(pickedRate, 3);
  EXPECT_EQ(pickedWidth, 1);
  EXPECT_TRUE(form.Closed());
}

TEST_F(FormatListWindow, DeviceBeyondTheTableShowsNothingAvailable) {
  FormatListForm form(engine, FormatListOptions{false, 0, 16, 44100, "none", 99});
  ASSERT_TRUE(form.CreateForm(nullptr));
  form.RunProbe(false, false);
  for (int r = 1; r <= kProbeRates; ++r) {
    for (int c = 1; c <= kProbeWidths; ++c) EXPECT_EQ(form.Grid().Cell(c, r), L"    -");
  }
}

}  // namespace
}  // namespace ov
