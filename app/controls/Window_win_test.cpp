#include "app/controls/Window_win.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/controls/MessageLoop_win.h"

namespace ov {
namespace {

constexpr wchar_t kTestClass[] = L"OvWindowTestClass";

class RecordingWindow : public Window {
 public:
  bool Open() {
    if (!RegisterWindowClass(kTestClass)) return false;
    return Create(kTestClass, L"test", WS_OVERLAPPEDWINDOW, 0, 0, 0, 200, 100);
  }
  std::vector<UINT> seen;
  HWND seenAtNcCreate = nullptr;
  bool destroyed = false;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override {
    seen.push_back(msg);
    if (msg == WM_NCCREATE) seenAtNcCreate = hwnd();
    if (msg == WM_APP + 1) return 1234;
    return Default(msg, w, l);
  }
  void Destroyed() override { destroyed = true; }
};

TEST(Window, TheObjectIsAttachedBeforeWmNcCreateAndSeesEveryMessage) {
  RecordingWindow w;
  ASSERT_TRUE(w.Open());
  ASSERT_NE(w.hwnd(), nullptr);
  EXPECT_EQ(w.seenAtNcCreate, w.hwnd());
  EXPECT_EQ(Window::FromHandle(w.hwnd()), &w);
  EXPECT_EQ(SendMessageW(w.hwnd(), WM_APP + 1, 0, 0), 1234);
  HWND h = w.hwnd();
  DestroyWindow(h);
  EXPECT_TRUE(w.destroyed);
  EXPECT_EQ(w.hwnd(), nullptr);
  EXPECT_FALSE(IsWindow(h));
}

TEST(Window, DestroyingTheObjectDestroysItsWindow) {
  HWND h;
  {
    RecordingWindow w;
    ASSERT_TRUE(w.Open());
    h = w.hwnd();
  }
  EXPECT_FALSE(IsWindow(h));
}

int liveSelfOwned = 0;
class SelfOwned : public Window {
 public:
  SelfOwned() { ++liveSelfOwned; }
  ~SelfOwned() override { --liveSelfOwned; }
  static Window* Make() { return new SelfOwned; }
  static bool Register() { return RegisterSelfOwnedClass(L"OvSelfOwnedTest", Make, 0, nullptr); }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_APP + 2) return 77;
    return Default(msg, w, l);
  }
};

TEST(Window, ASelfOwnedClassMakesAndDeletesItsObject) {
  ASSERT_TRUE(SelfOwned::Register());
  ASSERT_TRUE(SelfOwned::Register());  // a second registration is harmless
  EXPECT_EQ(liveSelfOwned, 0);
  HWND h = CreateWindowExW(0, L"OvSelfOwnedTest", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(liveSelfOwned, 1);
  EXPECT_EQ(SendMessageW(h, WM_APP + 2, 0, 0), 77);
  DestroyWindow(h);
  EXPECT_EQ(liveSelfOwned, 0);
}

struct Router {
  int opened = 0, played = 0;
  void OpenButtonClick() { ++opened; }
  void PlayButtonClick() { ++played; }
};

TEST(Window, CommandsRouteByControlId) {
  static const CommandRoute<Router> routes[] = {{10, &Router::OpenButtonClick},
                                                {11, &Router::PlayButtonClick}};
  Router r;
  EXPECT_TRUE(RouteCommand(&r, routes, 11));
  EXPECT_FALSE(RouteCommand(&r, routes, 12));
  EXPECT_EQ(r.opened, 0);
  EXPECT_EQ(r.played, 1);
}

TEST(MessageLoop, PumpingSeesWmQuitAndPostsItAgain) {
  PostQuitMessage(3);
  EXPECT_FALSE(PumpPendingMessages());
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

}  // namespace
}  // namespace ov
