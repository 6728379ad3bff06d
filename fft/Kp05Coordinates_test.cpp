#include <gtest/gtest.h>

#include <vector>

#include "fft/kp05.h"

namespace {

struct Thinned {
  int32_t count;
  int32_t columns;
  std::vector<int32_t> xs, extra1, extra2, runLengths;
};

Thinned Thin(const std::vector<int32_t>& xs, int32_t maxPerColumn, bool extras) {
  std::vector<Kp05Point> points, e1(xs.size(), {-1, 77}), e2(xs.size(), {-1, 88});
  for (int32_t x : xs) points.push_back({x, 55});
  Thinned t;
  t.count = static_cast<int32_t>(xs.size());
  t.columns = -1;
  t.runLengths.assign(xs.size() + 1, -5);
  DLL_PrepareCoordinatesSub(&t.count, points.data(), extras ? e1.data() : nullptr,
                            extras ? e2.data() : nullptr, &t.columns, t.runLengths.data(),
                            maxPerColumn);
  for (int32_t i = 0; i < t.count; ++i) {
    t.xs.push_back(points[i].x);
    t.extra1.push_back(e1[i].x);
    t.extra2.push_back(e2[i].x);
    EXPECT_EQ(points[i].y, 55);  // y members are never written
    EXPECT_EQ(e1[i].y, 77);
  }
  t.runLengths.resize(t.columns > 0 ? t.columns : 0);
  return t;
}

TEST(Kp05Coordinates, KeepsTheFirstPointsOfEachColumn) {
  const std::vector<int32_t> xs = {0, 0, 0, 1, 2, 2};
  Thinned one = Thin(xs, 1, true);
  EXPECT_EQ(one.count, 3);
  EXPECT_EQ(one.columns, 3);
  EXPECT_EQ(one.xs, (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(one.extra1, one.xs);
  EXPECT_EQ(one.extra2, one.xs);
  EXPECT_EQ(one.runLengths, (std::vector<int32_t>{3, 1, 2}));

  Thinned four = Thin(xs, 4, false);
  EXPECT_EQ(four.count, 6);
  EXPECT_EQ(four.columns, 3);
  EXPECT_EQ(four.xs, xs);
  EXPECT_EQ(four.runLengths, (std::vector<int32_t>{3, 1, 2}));

  Thinned two = Thin({5, 5, 5, 5, 5, 9, -3, -3}, 2, true);
  EXPECT_EQ(two.xs, (std::vector<int32_t>{5, 5, 9, -3, -3}));
  EXPECT_EQ(two.runLengths, (std::vector<int32_t>{5, 1, 2}));
}

TEST(Kp05Coordinates, EmptyOrNegativeCountGivesNothing) {
  for (int32_t count : {0, -4}) {
    int32_t columns = 12;
    int32_t runLength = -5;
    Kp05Point point = {1, 1};
    DLL_PrepareCoordinatesSub(&count, &point, nullptr, nullptr, &columns, &runLength, 4);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(columns, 0);
    EXPECT_EQ(runLength, -5);
  }
}

}  // namespace
