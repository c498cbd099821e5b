#pragma once
// What the reader relies on in GetIfTable, run against the fake natively and against the system's table
// under Wine. A Provider has `static IInterfaceTable& Table()`, a table with at least one row.
#include "net/IfTableLayout.h"
#include "net/mNetStatus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

template <class Provider>
class IfTableContract : public testing::Test {};
TYPED_TEST_SUITE_P(IfTableContract);

// Too little room gets the size of the whole table and nothing written; that size or more gets every
// row, each with a description and an index of its own (the sampler tells adapters apart by both).
TYPED_TEST_P(IfTableContract, TellsTheSizeItNeedsThenFillsABufferOfThatSize) {
    using namespace IfTableLayout;
    IInterfaceTable& table = TypeParam::Table();
    std::vector<uint32_t> words(4000, 0xABABABABu);
    const auto* bytes = reinterpret_cast<const unsigned char*>(words.data());
    EXPECT_EQ(table.GetIfTable(words.data(), nullptr, false), kInvalidParameter);
    uint32_t needed = 0;
    ASSERT_EQ(table.GetIfTable(nullptr, &needed, false), kInsufficientBuffer);
    ASSERT_TRUE(needed >= TableSize(1)) << needed;
    ASSERT_TRUE((needed - kHeaderSize) % kRowSize == 0) << needed;
    words.resize(needed / 4 + 1250, 0xABABABABu);
    uint32_t size = needed - 1;
    EXPECT_EQ(table.GetIfTable(words.data(), &size, false), kInsufficientBuffer);
    EXPECT_EQ(size, needed);
    EXPECT_EQ(words[0], 0xABABABABu);
    for (const uint32_t extra : {0u, 5000u}) {
        size = needed + extra;
        ASSERT_EQ(table.GetIfTable(words.data(), &size, false), kNoError);
        EXPECT_EQ(size, needed + extra);
        ASSERT_EQ(TableSize(ReadU32(bytes)), needed);
        std::set<uint32_t> indexes{0};
        for (uint32_t i = 0; i < ReadU32(bytes); ++i) {
            const unsigned char* row = bytes + TableSize(i);
            const uint32_t len = ReadU32(row + kDescrLen);
            EXPECT_TRUE(len > 0) << "row " << i << ": description length " << len;
            EXPECT_TRUE(len <= kDescrSize) << "row " << i << ": description length " << len;
            EXPECT_TRUE(indexes.insert(ReadU32(row + kIndex)).second)
                << "row " << i << ": index 0 or repeated";
        }
    }
}

// The newer table tells its row count whatever the room given, fills only that room, and knows every
// row of the old table by its index.
TYPED_TEST_P(IfTableContract, TheNewerTableCountsItsRowsAndKnowsTheOldTablesIndexes) {
    using namespace IfTableLayout;
    IInterfaceTable& table = TypeParam::Table();
    std::size_t count = 0;
    ASSERT_TRUE(table.GetIfTable2(nullptr, 0, &count));
    ASSERT_GE(count, 1u);
    std::vector<IfRow2> rows(count + 1);
    rows.back().index = 0xDEADu;
    std::size_t again = 0;
    ASSERT_TRUE(table.GetIfTable2(rows.data(), count, &again));
    EXPECT_EQ(again, count);
    EXPECT_EQ(rows.back().index, 0xDEADu) << "written beyond the room given";
    std::vector<uint32_t> words(TableSize(count + 8) / 4);
    uint32_t size = static_cast<uint32_t>(words.size() * 4);
    ASSERT_EQ(table.GetIfTable(words.data(), &size, false), kNoError);
    const auto* bytes = reinterpret_cast<const unsigned char*>(words.data());
    for (uint32_t i = 0; i < ReadU32(bytes); ++i) {
        const uint32_t index = ReadU32(bytes + TableSize(i) + kIndex);
        EXPECT_TRUE(
            std::any_of(rows.begin(), rows.end() - 1, [&](const IfRow2& r) { return r.index == index; }))
            << "row " << i << ", index " << index;
    }
}

REGISTER_TYPED_TEST_SUITE_P(IfTableContract, TellsTheSizeItNeedsThenFillsABufferOfThatSize,
                            TheNewerTableCountsItsRowsAndKnowsTheOldTablesIndexes);
