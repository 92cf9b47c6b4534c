// Guards: head choices and machine addresses loaded, saved or packed wrong.
#include <gtest/gtest.h>

#include "app/dialogs/ParaRules.h"

namespace {
TEST(HeadRule, LoadSaveAndClicks)
{
    EXPECT_EQ(HeadBoxesFromSelect(0), (HeadBoxes{true, true}));
    EXPECT_EQ(HeadBoxesFromSelect(1), (HeadBoxes{true, false}));
    EXPECT_EQ(HeadBoxesFromSelect(2), (HeadBoxes{false, true}));
    EXPECT_EQ(HeadBoxesFromSelect(3), (HeadBoxes{true, true}));
    EXPECT_EQ(HeadSelectFromBoxes({true, true}), 0);
    EXPECT_EQ(HeadSelectFromBoxes({true, false}), 1);
    EXPECT_EQ(HeadSelectFromBoxes({false, true}), 2);

    // Only head 1: clearing it turns head 2 on (stored as 2).
    HeadBoxes h = HeadBoxClicked({true, false}, 1);
    EXPECT_EQ(h, (HeadBoxes{false, true}));
    EXPECT_EQ(HeadSelectFromBoxes(h), 2);
    // Both: clearing 2 leaves head 1 alone; clicking 2 again gives both.
    h = HeadBoxClicked({true, true}, 2);
    EXPECT_EQ(h, (HeadBoxes{true, false}));
    EXPECT_EQ(HeadBoxClicked(h, 2), (HeadBoxes{true, true}));
    EXPECT_EQ(HeadBoxClicked({false, true}, 2), (HeadBoxes{true, false}));
}

TEST(AddressRule, FirstOctetInTheLowByte)
{
    EXPECT_EQ(IpOctets(0xD701A8C0u), (std::array<int, 4>{192, 168, 1, 215}));
    EXPECT_EQ(IpFromOctets({192, 168, 1, 215}), 0xD701A8C0u);
    EXPECT_EQ(IpFromOctets({0, 0, 0, 0}), 0u);
    EXPECT_EQ(IpFromOctets({255, 255, 255, 255}), 0xFFFFFFFFu);
}

}  // namespace
