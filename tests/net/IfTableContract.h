#pragma once
// What the reader relies on in GetIfTable, stated once and run against the fake natively and against
// the system's table under Wine. A Provider has `static IInterfaceTable& Table()` (with at least one
// row) and `static void Prepare()`.
#include "net/IfTableLayout.h"
#include "net/mNetStatus.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

template <class Provider>
class IfTableContract : public testing::Test {
protected:
    void SetUp() override { Provider::Prepare(); }
    IInterfaceTable& Table() { return Provider::Table(); }
    uint32_t Needed() {
        uint32_t size = 0;
        EXPECT_EQ(Table().GetIfTable(nullptr, &size, false), IfTableLayout::kInsufficientBuffer);
        return size;
    }
};
TYPED_TEST_SUITE_P(IfTableContract);

TYPED_TEST_P(IfTableContract, WithoutASizeTheCallIsRefused) {
    std::vector<uint32_t> buffer(1000);
    EXPECT_EQ(this->Table().GetIfTable(buffer.data(), nullptr, false), IfTableLayout::kInvalidParameter);
}

TYPED_TEST_P(IfTableContract, WithoutABufferItTellsTheSizeOfTheWholeTable) {
    const uint32_t needed = this->Needed();
    ASSERT_GE(needed, IfTableLayout::TableSize(1));
    EXPECT_EQ((needed - IfTableLayout::kHeaderSize) % IfTableLayout::kRowSize, 0u);
}

TYPED_TEST_P(IfTableContract, ATooSmallBufferGetsTheSizeNeededAndIsNotWritten) {
    const uint32_t needed = this->Needed();
    std::vector<unsigned char> buffer(needed, 0xAB);
    uint32_t size = needed - 1;
    EXPECT_EQ(this->Table().GetIfTable(buffer.data(), &size, false), IfTableLayout::kInsufficientBuffer);
    EXPECT_EQ(size, needed);
    EXPECT_EQ(IfTableLayout::ReadU32(buffer.data()), 0xABABABABu);
}

TYPED_TEST_P(IfTableContract, ABufferOfTheSizeNeededGetsEveryRowAndKeepsItsSize) {
    const uint32_t needed = this->Needed();
    for (const uint32_t extra : {0u, 5000u}) {
        std::vector<uint32_t> words((needed + extra + 3) / 4);
        auto* buffer = reinterpret_cast<unsigned char*>(words.data());
        uint32_t size = needed + extra;
        ASSERT_EQ(this->Table().GetIfTable(buffer, &size, false), IfTableLayout::kNoError);
        EXPECT_EQ(size, needed + extra);
        const uint32_t rows = IfTableLayout::ReadU32(buffer);
        EXPECT_EQ(IfTableLayout::TableSize(rows), needed);
        std::set<uint32_t> indexes;
        for (uint32_t i = 0; i < rows; ++i) {
            const unsigned char* row = buffer + IfTableLayout::TableSize(i);
            const uint32_t len = IfTableLayout::ReadU32(row + IfTableLayout::kDescrLen);
            EXPECT_GT(len, 0u) << "row " << i << " has no description";
            EXPECT_LE(len, IfTableLayout::kDescrSize) << "row " << i;
            // The sampler tells interfaces apart by index (with the name): each row has its own.
            const uint32_t index = IfTableLayout::ReadU32(row + IfTableLayout::kIndex);
            EXPECT_NE(index, 0u) << "row " << i;
            EXPECT_TRUE(indexes.insert(index).second) << "row " << i << " repeats index " << index;
        }
    }
}

REGISTER_TYPED_TEST_SUITE_P(IfTableContract, WithoutASizeTheCallIsRefused,
                            WithoutABufferItTellsTheSizeOfTheWholeTable,
                            ATooSmallBufferGetsTheSizeNeededAndIsNotWritten,
                            ABufferOfTheSizeNeededGetsEveryRowAndKeepsItsSize);
