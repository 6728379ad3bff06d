#include "app/display/ViewColours.h"

#include <gtest/gtest.h>

#include "app/display/CaptureGeometry.h"

namespace ov {
namespace {

class TableColours : public SystemColours {
 public:
  uint32_t Colour(int32_t index) const override {
    switch (index) {
      case kSysButtonFace:
        return 0xC0C0C0;
      case kSysButtonShadow:
        return 0x808080;
      case kSysDarkShadow3D:
        return 0x404040;
      case 5:  // COLOR_WINDOW
        return 0x00FFEEDD;
      default:
        return 0x123456;
    }
  }
};

TEST(ViewColours, FillColourPerPixelLayout) {
  const struct {
    uint32_t colour, bits, greenMask, fill;
  } cases[] = {
      {0x808080, 16, 0x07E0, 0x8410},  // 5-6-5
      {0x808080, 16, 0x03E0, 0x4210},  // 5-5-5
      {0x808080, 16, 0x00F0, 0x0888},  // 4-4-4
      {0x808080, 16, 0x0F00, 0},       // unknown 16-bit layout
      {0x0000FF, 16, 0x07E0, 0xF800},  // red in the top bits
      {0xFF0000, 16, 0x07E0, 0x001F},  // blue in the low bits
      {0x00FF00, 16, 0x03E0, 0x03E0},   {0x332211, 32, 0xFF00, 0x112233},
      {0x332211, 24, 0xFF00, 0x112233}, {0x332211, 8, 0, 0},  // never colour-filled
  };
  for (const auto& c : cases)
    EXPECT_EQ(ComputeFillColour(c.colour, {c.bits, c.greenMask}), c.fill)
        << std::hex << c.colour << " " << c.bits << " " << c.greenMask;
}

TEST(ViewColours, SystemColoursResolveBeforeUse) {
  const TableColours sys;
  EXPECT_EQ(ResolveColour(0xFF000005u, sys), 0xFFEEDDu);
  EXPECT_EQ(ResolveColour(0x00112233u, sys), 0x112233u);
  // The fill colour of a system colour is that of its RGB, not of its bytes.
  EXPECT_EQ(ComputeFillColour(ResolveColour(0xFF000005u, sys), {32, 0xFF00}), 0xDDEEFFu);
  int32_t set[kColorRoleCount] = {};
  set[DiagramBackColor] = static_cast<int32_t>(0xFF000005u);
  set[LineColor] = 0x0000FF;
  ResolvedColours resolved;
  ResolveColourSet(set, sys, resolved);
  EXPECT_EQ(resolved[DiagramBackColor], 0xFFEEDDu);
  EXPECT_EQ(resolved[LineColor], 0x0000FFu);
}

TEST(ViewColours, BevelFollowsTheBackColour) {
  const TableColours sys;
  const BevelColours face = ComputeBevelColours(0xFF00000Fu, sys);
  EXPECT_EQ(face.outerTopLeft, 0x808080u);
  EXPECT_EQ(face.outerBottomRight, 0xFFFFFFu);
  EXPECT_EQ(face.innerTopLeft, 0x404040u);
  EXPECT_EQ(face.innerBottomRight, 0xFFFFFFu);
  const BevelColours black = ComputeBevelColours(0, sys);
  EXPECT_EQ(black.innerTopLeft, 0x808080u);
  EXPECT_EQ(black.innerBottomRight, 0xC0C0C0u);
}

TEST(CaptureGeometry, SizeAndPointerShiftPerMode) {
  CaptureLayout l;
  l.windowWidth = 820;
  l.windowHeight = 640;
  l.frameWidth = 4;
  l.frameHeight = 4;
  l.captionHeight = 19;
  l.waveTop = 40;
  l.waveWidth = 812;
  l.waveHeight = 200;
  l.splitterHeight = 3;
  l.spectrumTop = 243;
  l.spectrumWidth = 812;
  l.spectrumHeight = 300;
  l.panelHeight = 50;
  const struct {
    int32_t mode;
    CaptureSource source;
    int32_t w, h, dx, dy;
  } cases[] = {{0, CaptureSource::WholeWindow, 820, 640, 4, 23},
               {1, CaptureSource::WaveArea, 812, 503, 0, -40},
               {2, CaptureSource::WaveArea, 812, 200, 0, -40},
               {3, CaptureSource::SpectrumArea, 812, 300, 0, -243},
               {4, CaptureSource::SpectrumArea, 812, 350, 0, -243},
               {7, CaptureSource::WholeWindow, 820, 640, 4, 23}};
  for (const auto& c : cases) {
    const CapturePlan p = PlanCapture(c.mode, l);
    EXPECT_EQ(p.source, c.source) << c.mode;
    EXPECT_EQ(p.width, c.w) << c.mode;
    EXPECT_EQ(p.height, c.h) << c.mode;
    EXPECT_EQ(p.dx, c.dx) << c.mode;
    EXPECT_EQ(p.dy, c.dy) << c.mode;
  }
}

}  // namespace
}  // namespace ov
