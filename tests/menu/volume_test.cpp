#include <gtest/gtest.h>

#include "menu/volume.h"

namespace qv {
namespace {

TEST(Volume, StepsStopAtBothEnds) {
  EXPECT_EQ(SteppedVolume(13, 1), 13);
  EXPECT_EQ(SteppedVolume(0, -1), 0);
  EXPECT_EQ(SteppedVolume(7, -1), 6);
  EXPECT_EQ(SteppedVolume(7, 1), 8);
  EXPECT_EQ(SteppedVolume(7, 0), 7);
}

TEST(Volume, SliderPositions) {
  EXPECT_EQ(SliderVolume(438), 13);
  EXPECT_EQ(SliderVolume(360), 0);
  EXPECT_EQ(SliderVolume(363), 0);  // half a step rounds to the even neighbour
  EXPECT_EQ(SliderVolume(369), 2);
  EXPECT_EQ(SliderVolume(500), 13);
  EXPECT_EQ(SliderVolume(200), 0);
}

}  // namespace
}  // namespace qv
