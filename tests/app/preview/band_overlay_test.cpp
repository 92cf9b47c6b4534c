// Guards: a band overlay over the wrong span of the page for the heads in use.
#include <gtest/gtest.h>

#include "app/preview/BandOverlay.h"
#include "model/MachineParams.h"

TEST(BandOverlay, BandSpans)
{
    MachineParams p{};
    p.headSelect = 1;
    EXPECT_EQ(BandStartPixel(-1, p), 0);
    BandSpan s = BandOverlaySpan(10, 3, p);
    EXPECT_EQ(s.x0, 400 + 1500);
    EXPECT_EQ(s.x1, 400 + 2000);
    p.headSelect = 0;
    p.headOverlapRows = 2;
    s = BandOverlaySpan(0, 0, p);
    EXPECT_EQ(s.x0, 0);
    EXPECT_EQ(s.x1, 993);
    EXPECT_EQ(BandStartPixel(1, p), 1986);
}
