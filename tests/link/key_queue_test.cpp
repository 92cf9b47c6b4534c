// Guards the control-code queue against losing or reordering codes, a lost jog stop, and a wrong answer to whether a code still waits.
#include <gtest/gtest.h>

#include <vector>

#include "link/KeyQueue.h"

namespace {

std::vector<int> Drain(CKeyQueue& q)
{
    std::vector<int> out;
    for (int c; (c = q.Pop()) >= 0;) out.push_back(c);
    return out;
}

TEST(KeyQueue, FiveCodesInPushOrderTheSixthRefused)
{
    CKeyQueue q;
    for (int c : {3, 7, 12, 27, 5}) EXPECT_EQ(q.Push(uint8_t(c)), 0);
    EXPECT_EQ(q.Free(), 0);
    EXPECT_EQ(q.Push(13), -1);
    EXPECT_EQ(Drain(q), (std::vector<int>{3, 7, 12, 27, 5}));
    EXPECT_EQ(q.Pop(), -1) << "an empty queue gives nothing";
    EXPECT_EQ(q.Free(), 5);
}

TEST(KeyQueue, RingWrapsAround)
{
    CKeyQueue q;
    for (int round = 0; round < 4; ++round) {
        for (int c = 1; c <= 3; ++c) ASSERT_EQ(q.Push(uint8_t(c + round)), 0);
        EXPECT_EQ(Drain(q), (std::vector<int>{1 + round, 2 + round, 3 + round}));
    }
}

TEST(KeyQueue, JogStopIsNeverLostToAFullQueue)
{
    CKeyQueue q;
    for (int i = 0; i < 5; ++i) ASSERT_EQ(q.Push(3), 0);
    EXPECT_EQ(q.Push(0), 0);
    EXPECT_EQ(q.Push(0), 0) << "a second stop merges with the first";
    EXPECT_EQ(q.Push(4), -1);
    EXPECT_EQ(q.Count(), 6);
    EXPECT_EQ(q.Pop(), 3);
    EXPECT_EQ(q.Push(4), -1) << "ordinary codes still see five slots";
    EXPECT_EQ(q.Push(0), 0);
    EXPECT_EQ(Drain(q), (std::vector<int>{3, 3, 3, 3, 0}));
}

// Only the codes still waiting count, wherever the ring has wrapped to.
TEST(KeyQueue, HoldsSeesOnlyWaitingCodes)
{
    CKeyQueue q;
    EXPECT_FALSE(q.Holds(27));
    for (int round = 0; round < 7; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(q.Push(1), 0);
        ASSERT_EQ(q.Push(27), 0);
        ASSERT_EQ(q.Push(2), 0);
        EXPECT_TRUE(q.Holds(27));
        EXPECT_FALSE(q.Holds(13));
        EXPECT_EQ(q.Pop(), 1);
        EXPECT_TRUE(q.Holds(27));
        EXPECT_EQ(q.Pop(), 27);
        EXPECT_FALSE(q.Holds(27)) << "popped: gone from the queue";
        EXPECT_TRUE(q.Holds(2));
        EXPECT_EQ(q.Pop(), 2);
        EXPECT_FALSE(q.Holds(2));
    }
    // A slot that held a code and was popped does not count.
    q.Push(27);
    q.Pop();
    q.Push(5);
    EXPECT_FALSE(q.Holds(27));
    q.Clear();
    EXPECT_FALSE(q.Holds(5));
}

TEST(KeyQueue, ClearEmpties)
{
    CKeyQueue q;
    q.Push(1);
    q.Push(2);
    q.Clear();
    EXPECT_EQ(q.Count(), 0);
    q.Push(9);
    EXPECT_EQ(Drain(q), (std::vector<int>{9}));
}

}  // namespace
