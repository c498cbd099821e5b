// What the store relies on from its folder, run against the fake natively and against the real files
// under Wine: each program that links this file defines MakeContractFiles.
#include "history/HistorySeams.h"

#include <gtest/gtest.h>

#include <algorithm>

std::unique_ptr<IHistoryFiles> MakeContractFiles();

namespace {
const std::vector<uint8_t> kBytes = {1, 2, 3, 4, 5};

std::vector<uint8_t> Contents(IHistoryFiles& files, const std::string& name) {
    auto file = files.Open(name, IHistoryFiles::Mode::Read);
    if (!file)
        return {};
    std::vector<uint8_t> bytes(static_cast<std::size_t>(file->Size()) + 4);
    bytes.resize(file->Read(0, bytes.data(), bytes.size()));
    return bytes;
}

void Write(IHistoryFiles& files, const std::string& name, const std::vector<uint8_t>& bytes) {
    auto file = files.Open(name, IHistoryFiles::Mode::Write);
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->Append(bytes.data(), bytes.size()));
    ASSERT_TRUE(file->Flush());
}

TEST(HistoryFilesContract, AMissingFileOpensOnlyForWritingAndThenIsEmpty) {
    auto files = MakeContractFiles();
    EXPECT_FALSE(files->Open("a.journal", IHistoryFiles::Mode::Read));
    auto file = files->Open("a.journal", IHistoryFiles::Mode::Write);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Size(), 0u);
}

TEST(HistoryFilesContract, OpeningForWritingKeepsTheBytesAndAppendsAfterThem) {
    auto files = MakeContractFiles();
    Write(*files, "a.journal", kBytes);
    Write(*files, "a.journal", {6});
    EXPECT_EQ(Contents(*files, "a.journal"), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));
}

TEST(HistoryFilesContract, WriteAtOverwritesAndExtendsAndTruncateCuts) {
    auto files = MakeContractFiles();
    Write(*files, "state", kBytes);
    {
        auto file = files->Open("state", IHistoryFiles::Mode::Write);
        const uint8_t two[] = {9, 9};
        ASSERT_TRUE(file->WriteAt(4, two, 2));
        EXPECT_EQ(Contents(*files, "state"), (std::vector<uint8_t>{1, 2, 3, 4, 9, 9}));
        ASSERT_TRUE(file->Truncate(2));
    }
    EXPECT_EQ(Contents(*files, "state"), (std::vector<uint8_t>{1, 2}));
}

TEST(HistoryFilesContract, ReplaceMovesOverTheTargetAndRemoveDeletes) {
    auto files = MakeContractFiles();
    Write(*files, "m.archive", {7});
    Write(*files, "m.archive.tmp", kBytes);
    ASSERT_TRUE(files->Replace("m.archive.tmp", "m.archive"));
    EXPECT_EQ(Contents(*files, "m.archive"), kBytes);
    EXPECT_EQ(files->List(), std::vector<std::string>{"m.archive"});
    ASSERT_TRUE(files->Remove("m.archive"));
    EXPECT_TRUE(files->List().empty());
}

TEST(HistoryFilesContract, TheLockHasOneHolderAtATime) {
    auto files = MakeContractFiles();
    auto first = files->TryLock("lock");
    ASSERT_TRUE(first);
    EXPECT_FALSE(files->TryLock("lock"));
    first.reset();
    EXPECT_TRUE(files->TryLock("lock"));
}

TEST(HistoryFilesContract, AReaderSeesWhatTheOpenWriterHasWritten) {
    auto files = MakeContractFiles();
    auto writer = files->Open("a.journal", IHistoryFiles::Mode::Write);
    ASSERT_TRUE(writer);
    ASSERT_TRUE(writer->Append(kBytes.data(), kBytes.size()));
    EXPECT_EQ(Contents(*files, "a.journal"), kBytes);
}
} // namespace
