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
