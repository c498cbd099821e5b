#include "app/AppError.h"
#include "graph/cQueue.h"

#include <gtest/gtest.h>

TEST(cQueue, PeekAddPopKeepFirstInFirstOutOrder) {
    cQueue q;
    EXPECT_TRUE(std::holds_alternative<std::monostate>(q.Peek())) << "an empty queue peeks an empty value";
    q.Add(7);
    EXPECT_EQ(q.Peek(), QueueItem(7));
    EXPECT_EQ(q.Count(), 1) << "Peek leaves the item in place";
    q.Add(-3);
    q.Add(11);
    EXPECT_EQ(q.Pop(), QueueItem(7));
    EXPECT_EQ(q.Pop(), QueueItem(-3));
    EXPECT_EQ(q.Count(), 1);
    EXPECT_EQ(q.Pop(), QueueItem(11));
    EXPECT_EQ(q.Count(), 0);
}

TEST(cQueue, PopOnAnEmptyQueueRaisesSubscriptOutOfRange) {
    cQueue q;
    try {
        q.Pop();
        FAIL() << "no error raised";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number, 9);
    }
    EXPECT_EQ(q.Count(), 0);
}

TEST(cQueue, ContentsIsTheLiveListOldestFirstAndFlushEmptiesIt) {
    cQueue q;
    const cQueue::List& list = q.Contents();
    for (int32_t v : {1, 2, 3})
        q.Add(v);
    q.Pop();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(ItemValue(list[0]), 2);
    EXPECT_EQ(ItemValue(list[1]), 3);
    q.Flush();
    EXPECT_EQ(q.Count(), 0);
    EXPECT_TRUE(q.Contents().empty());
    q.Add(QueueItem()); // an empty item counts as 0 in arithmetic
    EXPECT_EQ(ItemValue(q.Peek()), 0);
}
