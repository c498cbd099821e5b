#include "winsys/CommonDialogRules.h"
#include "base/AppError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

TEST(CommonDialogRules, FlagWordsAddTheSwitchesAndDropHookAndTemplateBits) {
    // The folder of a chosen file never becomes the current directory (0x8), whatever is asked for.
    EXPECT_EQ(OpenFileFlags({.FileMustExist = true, .HideReadOnly = true}), 0x100Cu) << "the theme editor's";
    EXPECT_EQ(OpenFileFlags({.MultiSelect = true, .flags = 0x8007F}), 0x8021Fu);
    EXPECT_EQ(OpenFileFlags({.ReadOnly = true}), 0x9u);
    EXPECT_EQ(ChooseColorFlags({.AnyColor = true}), 0x101u) << "the theme editor's";
    EXPECT_EQ(ChooseColorFlags({.FullOpen = true, .DisableFullOpen = true, .flags = 0x70 | 0x8}), 0x8Fu);
}

TEST(CommonDialogRules, FiltersTurnIntoTheSystemFormAndGiveBackTheChosenPair) {
    EXPECT_EQ(SystemFilter("Pictures (*.bmp;*.gif)|*.bmp;*.gif"), "Pictures (*.bmp;*.gif)\0*.bmp;*.gif\0\0"s);
    const std::string two = SystemFilter("Text:*.txt|All|*.*");
    EXPECT_EQ(two, "Text\0*.txt\0All\0*.*\0\0"s);
    EXPECT_EQ(ChosenFilterPair(two, 1), "Text\0*.txt"s);
    EXPECT_EQ(ChosenFilterPair(two, 2), "All\0*.*"s);
    EXPECT_EQ(ChosenFilterPair(two, 3), "");
    EXPECT_EQ(ChosenFilterPair(two, 0), "");
    EXPECT_EQ(ChosenFilterPair(SystemFilter(""), 1), "");
}

TEST(CommonDialogRules, BuffersHold260CharactersAndRefuseMore) {
    const std::vector<char> full = DialogBuffer(std::string(260, 'x'));
    EXPECT_EQ(full.size(), 261u) << "a zero behind the last character";
    EXPECT_EQ(BufferText(full), std::string(260, 'x'));
    EXPECT_EQ(BufferText(DialogBuffer("C:\\sky.bmp")), "C:\\sky.bmp");
    EXPECT_THROW(DialogBuffer(std::string(261, 'x')), AppError);
}

TEST(CommonDialogRules, CustomColoursComeFromTheSystemOnceAndStay) {
    int system = 10; // what the system holds for colour i: i times this
    CustomColors colours([&](int index) { return index * system; });
    colours.Set(0, 77); // a write fills them first, or the read would replace it
    colours.Set(15, 88);
    system = 1000;
    EXPECT_EQ(colours.Get(0), 77);
    EXPECT_EQ(colours.Get(15), 88);
    EXPECT_EQ(colours.Get(3), 30) << "read from the system once";
    colours.Set(16, 5);
    colours.Set(-1, 5);
    EXPECT_EQ(colours.Get(16), -1) << "beyond the 16 colours";
    EXPECT_EQ(colours.Get(-1), -1);
}
