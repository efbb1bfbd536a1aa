#include "launcher/Placement.h"

#include <gtest/gtest.h>

namespace launcher {
namespace {

struct ScreenCase {
    int screenWidth;
    int screenHeight;
    int x;
    int y;
};

class CentredPlacementTest : public testing::TestWithParam<ScreenCase> {};

TEST_P(CentredPlacementTest, OpensAtTheCentreOfThePrimaryDisplay) {
    const ScreenCase& c = GetParam();
    const WindowPlacement place = CentredPlacement(c.screenWidth, c.screenHeight, 300, 516);
    EXPECT_EQ(place.x, c.x);
    EXPECT_EQ(place.y, c.y);
    EXPECT_EQ(place.width, 300);
    EXPECT_EQ(place.height, 516);
}

INSTANTIATE_TEST_SUITE_P(Screens, CentredPlacementTest,
                         testing::Values(ScreenCase{1024, 768, 362, 126}, ScreenCase{1366, 768, 533, 126},
                                         ScreenCase{1920, 1080, 810, 282}, ScreenCase{800, 480, 250, -18},
                                         // Odd remainders truncate toward zero on both sides of zero.
                                         ScreenCase{800, 479, 250, -18}, ScreenCase{301, 517, 0, 0},
                                         ScreenCase{299, 515, 0, 0}, ScreenCase{297, 513, -1, -1},
                                         ScreenCase{0, 0, -150, -258}));

}  // namespace
}  // namespace launcher
