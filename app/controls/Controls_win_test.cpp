#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "app/controls/BeveledLabel_win.h"
#include "app/controls/ControlsWinTestSupport.h"
#include "app/controls/SpeedButtonRepeat_win.h"

namespace ov {
namespace {

using test::Dib;

struct Parent {
  HWND hwnd = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ~Parent() { DestroyWindow(hwnd); }
};

TEST(BeveledLabel, EachBevelStyleIsPaintedWithItsColours) {
  Parent parent;
  TBeveledLabel label;
  ASSERT_TRUE(label.Create(parent.hwnd, 1, 0, 0, 40, 20, L""));
  const COLORREF fill = RGB(0, 200, 0), border = RGB(255, 0, 0);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
  ASSERT_NE(shadow, light);
  label.SetColor(fill);
  label.SetBorderColor(border);
  struct Case {
    BevelStyle style;
    COLORREF a, b;
    int rings;
  } cases[] = {{lbsNone, fill, fill, 0},        {lbsLowered, shadow, light, 1},
               {lbsLowered2, shadow, light, 2}, {lbsRaised, light, shadow, 1},
               {lbsRaised2, light, shadow, 2},  {lbsSingle, border, border, 1}};
  for (const Case& c : cases) {
    label.SetBevelStyle(c.style);
    Dib dib(40, 20);
    label.PaintTo(dib.dc(), 40, 20);
    EXPECT_EQ(dib.At(0, 0), c.a) << c.style;    // top-left corner
    EXPECT_EQ(dib.At(0, 10), c.a) << c.style;   // left edge
    EXPECT_EQ(dib.At(20, 0), c.a) << c.style;   // top edge
    EXPECT_EQ(dib.At(39, 10), c.b) << c.style;  // right edge
    EXPECT_EQ(dib.At(20, 19), c.b) << c.style;  // bottom edge
    EXPECT_EQ(dib.At(1, 10), c.rings == 2 ? c.a : fill) << c.style;
    EXPECT_EQ(dib.At(38, 10), c.rings == 2 ? c.b : fill) << c.style;
    EXPECT_EQ(dib.At(20, 10), fill) << c.style;
  }
}

// The first row holding text pixels in a label painted with a layout.
int FirstTextRow(TBeveledLabel& label, TextLayout layout) {
  label.SetLayout(layout);
  Dib dib(40, 60);
  label.PaintTo(dib.dc(), 40, 60);
  for (int y = 0; y < 60; ++y) {
    for (int x = 2; x < 38; ++x) {
      if (dib.At(x, y) == RGB(0, 0, 0)) return y;
    }
  }
  return -1;
}

TEST(BeveledLabel, TextFollowsTheVerticalLayout) {
  Parent parent;
  TBeveledLabel label;
  ASSERT_TRUE(label.Create(parent.hwnd, 1, 0, 0, 40, 60, L"H"));
  label.SetBevelStyle(lbsNone);
  label.SetColor(RGB(255, 255, 255));
  label.SetFontColor(RGB(0, 0, 0));
  const int top = FirstTextRow(label, TextLayout::Top);
  const int centre = FirstTextRow(label, TextLayout::Center);
  const int bottom = FirstTextRow(label, TextLayout::Bottom);
  ASSERT_GE(top, 0);
  EXPECT_LT(top, 10);
  EXPECT_GT(centre, top + 10);
  EXPECT_GT(bottom, centre + 10);
  EXPECT_FALSE(label.GetBevelStyle() == lbsLowered);
}

TEST(BeveledLabel, AutoSizeIsOffUntilAskedFor) {
  Parent parent;
  TBeveledLabel label;
  ASSERT_TRUE(label.Create(parent.hwnd, 1, 0, 0, 200, 50, L"wide"));
  RECT r;
  GetClientRect(label.hwnd(), &r);
  EXPECT_EQ(r.right, 200);
  label.SetAutoSize(true);
  GetClientRect(label.hwnd(), &r);
  EXPECT_LT(r.right, 100);
  EXPECT_LT(r.bottom, 40);
}

TEST(BeveledLabel, TheClassWorksWithoutAnObjectOfTheCaller) {
  ASSERT_TRUE(TBeveledLabel::Register());
  Parent parent;
  HWND h = CreateWindowExW(0, TBeveledLabel::kClassName, L"x", WS_CHILD, 0, 0, 30, 10, parent.hwnd,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(h, nullptr);
  TBeveledLabel* label = TBeveledLabel::From(h);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->GetBevelStyle(), lbsLowered);
  EXPECT_EQ(TBeveledLabel::From(parent.hwnd), nullptr);
}

// A clock that moves 3 ms at each sleep and runs an action at a chosen time.
struct StepClock : RepeatClock {
  uint32_t now = 1000;
  uint32_t actionAt = 0;
  std::function<void()> action;
  uint32_t NowMs() override { return now; }
  void SleepMs(uint32_t ms) override {
    now += ms;
    if (action && now >= actionAt) {
      auto a = action;
      action = nullptr;
      a();
    }
  }
};

struct HeldButton {
  Parent parent;
  TSpeedButtonRepeat button;
  StepClock clock;
  std::vector<uint32_t> firings;
  HeldButton() {
    button.Create(parent.hwnd, 7, 0, 0, 40, 20, L">");
    button.RepeatDelay10ms = 50;
    button.RepeatInterval10ms = 8;
    button.SetClock(&clock);
    button.OnMouseDownRepeat = [this](TSpeedButtonRepeat&, UINT b, UINT, int x, int y) {
      EXPECT_EQ(b, static_cast<UINT>(MK_LBUTTON));
      EXPECT_EQ(x, 5);
      EXPECT_EQ(y, 6);
      firings.push_back(clock.now);
    };
  }
  void Press() { SendMessageW(button.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6)); }
};

TEST(SpeedButtonRepeat, FiresAtOnceThenAfterTheDelayThenAtIntervals) {
  HeldButton h;
  h.clock.actionAt = 1700;
  h.clock.action = [&] { PostMessageW(h.button.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 6)); };
  h.Press();
  // 1000; 1501 (the first poll at or past 500 ms); then every 81 ms (3 ms polls).
  EXPECT_EQ(h.firings, (std::vector<uint32_t>{1000, 1501, 1582, 1663}));
  EXPECT_FALSE(h.button.Down());
}

TEST(SpeedButtonRepeat, AShortClickFiresOnce) {
  HeldButton h;
  h.clock.actionAt = 1100;
  h.clock.action = [&] { PostMessageW(h.button.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 6)); };
  h.Press();
  EXPECT_EQ(h.firings.size(), 1u);
}

TEST(SpeedButtonRepeat, LosingTheCaptureOrCancellingEndsTheRepeat) {
  HeldButton h;
  h.clock.actionAt = 1600;
  h.clock.action = [] { ReleaseCapture(); };  // a release outside, seen as lost capture
  h.Press();
  EXPECT_EQ(h.firings.size(), 3u);
  EXPECT_FALSE(h.button.Down());

  HeldButton c;
  c.clock.actionAt = 1600;
  c.clock.action = [&] { PostMessageW(c.button.hwnd(), WM_CANCELMODE, 0, 0); };
  c.Press();
  EXPECT_EQ(c.firings.size(), 3u);
}

TEST(SpeedButtonRepeat, QuitEndsTheRepeatAndIsPostedAgain) {
  HeldButton h;
  h.clock.actionAt = 1200;
  h.clock.action = [] { PostQuitMessage(9); };
  h.Press();
  EXPECT_EQ(h.firings.size(), 1u);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 9u);
}

TEST(SpeedButtonRepeat, DestroyingTheWindowEndsTheRepeat) {
  ASSERT_TRUE(TSpeedButtonRepeat::Register());
  Parent parent;
  HWND h = CreateWindowExW(0, TSpeedButtonRepeat::kClassName, L"<", WS_CHILD, 0, 0, 30, 10,
                           parent.hwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
  TSpeedButtonRepeat* b = TSpeedButtonRepeat::From(h);
  ASSERT_NE(b, nullptr);
  StepClock clock;
  clock.actionAt = 1600;
  clock.action = [h] { DestroyWindow(h); };  // deletes the class-made object too
  int fired = 0;
  b->SetClock(&clock);
  b->RepeatDelay10ms = 50;
  b->RepeatInterval10ms = 8;
  b->OnMouseDownRepeat = [&](TSpeedButtonRepeat&, UINT, UINT, int, int) { ++fired; };
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(fired, 3);  // 1000, 1501, 1582; none after the destruction at 1600
}

TEST(SpeedButtonRepeat, OtherButtonsDoNothing) {
  HeldButton h;
  SendMessageW(h.button.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, 0);
  SendMessageW(h.button.hwnd(), WM_MBUTTONDOWN, MK_MBUTTON, 0);
  EXPECT_TRUE(h.firings.empty());
  EXPECT_FALSE(h.button.Down());
}

TEST(SpeedButtonRepeat, RealClockKeepsAtLeastTheDelayAndInterval) {
  Parent parent;
  TSpeedButtonRepeat button;
  ASSERT_TRUE(button.Create(parent.hwnd, 7, 0, 0, 40, 20, L">"));
  button.RepeatDelay10ms = 10;    // 100 ms
  button.RepeatInterval10ms = 5;  // 50 ms
  std::vector<DWORD> at;
  button.OnMouseDownRepeat = [&](TSpeedButtonRepeat&, UINT, UINT, int, int) {
    at.push_back(GetTickCount());
  };
  static HWND target;
  target = button.hwnd();
  SetTimer(nullptr, 0, 600, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostMessageW(target, WM_LBUTTONUP, 0, 0);
  });
  FILETIME c0, e0, k0, u0, c1, e1, k1, u1;
  GetThreadTimes(GetCurrentThread(), &c0, &e0, &k0, &u0);
  const DWORD start = GetTickCount();
  SendMessageW(button.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  const DWORD held = GetTickCount() - start;
  GetThreadTimes(GetCurrentThread(), &c1, &e1, &k1, &u1);
  auto ticks = [](FILETIME f) { return (uint64_t{f.dwHighDateTime} << 32) | f.dwLowDateTime; };
  const double cpuMs = static_cast<double>(ticks(k1) - ticks(k0) + ticks(u1) - ticks(u0)) / 1e4;
  std::printf("held %lu ms, %zu firings, thread CPU %.1f ms (%.1f%% of a core)\n",
              static_cast<unsigned long>(held), at.size(), cpuMs, 100.0 * cpuMs / held);
  ASSERT_GE(at.size(), 2u);
  EXPECT_GE(at[1] - at[0], 100u);
  for (size_t i = 2; i < at.size(); ++i) EXPECT_GE(at[i] - at[i - 1], 50u) << i;
  EXPECT_LE(at.size(), 1u + 1u + (held - 100u) / 50u);
}

}  // namespace
}  // namespace ov
