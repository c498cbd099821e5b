#include "winsys/CommonDialogRules.h"
#include "app/AppError.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

TEST(CommonDialogRules, FlagWordsAddTheSwitchesAndDropHookAndTemplateBits) {
    OpenFileArgs open;
    open.FileMustExist = true;
    open.HideReadOnly = true;
    EXPECT_EQ(OpenFileFlags(open), 0x1004u) << "the theme editor's call";
    open = {};
    open.MultiSelect = true;
    open.ReadOnly = true;
    open.flags = 0x80000 | 0x40 | 0x20 | 0x8;
    EXPECT_EQ(OpenFileFlags(open), 0x80000u | 0x200 | 0x8 | 0x1);

    ChooseColorArgs colour;
    colour.AnyColor = true;
    EXPECT_EQ(ChooseColorFlags(colour), 0x101u) << "the theme editor's call";
    colour = {};
    colour.FullOpen = true;
    colour.DisableFullOpen = true;
    colour.flags = 0x70 | 0x8;
    EXPECT_EQ(ChooseColorFlags(colour), 0x80u | 0x8 | 0x4 | 0x2 | 0x1);
}

TEST(CommonDialogRules, FiltersTurnIntoTheSystemFormAndGiveBackTheChosenPair) {
    EXPECT_EQ(SystemFilter("Pictures (*.bmp;*.ico;*.jpg;*.gif)|*.bmp;*.ico;*.jpg;*.gif"),
              "Pictures (*.bmp;*.ico;*.jpg;*.gif)\0*.bmp;*.ico;*.jpg;*.gif\0\0"s);
    const std::string two = SystemFilter("Text:*.txt|All|*.*");
    EXPECT_EQ(two, "Text\0*.txt\0All\0*.*\0\0"s);
    EXPECT_EQ(ChosenFilterPair(two, 1), "Text\0*.txt"s);
    EXPECT_EQ(ChosenFilterPair(two, 2), "All\0*.*"s);
    EXPECT_EQ(ChosenFilterPair(two, 3), "");
    EXPECT_EQ(ChosenFilterPair(two, 0), "");
    EXPECT_EQ(ChosenFilterPair(SystemFilter(""), 1), "");
}

TEST(CommonDialogRules, BuffersHold260CharactersAndRefuseMore) {
    EXPECT_EQ(BufferText(DialogBuffer("C:\\sky.bmp")), "C:\\sky.bmp");
    const std::vector<char> full = DialogBuffer(std::string(260, 'x'));
    EXPECT_EQ(full.size(), 261u) << "a zero behind the last character";
    EXPECT_EQ(BufferText(full), std::string(260, 'x'));
    try {
        DialogBuffer(std::string(261, 'x'));
        ADD_FAILURE() << "a text longer than the buffer was taken";
    } catch (const AppError& error) {
        EXPECT_EQ(error.Number, kErrInvalidArgument);
    }
}

TEST(CommonDialogRules, CustomColoursComeFromTheSystemOnceAndStay) {
    int calls = 0;
    CustomColors colours([&](int index) {
        ++calls;
        return index * 10;
    });
    EXPECT_EQ(calls, 0);
    colours.Set(3, 77);
    EXPECT_EQ(calls, 16) << "a write fills them first";
    EXPECT_EQ(colours.Get(3), 77);
    EXPECT_EQ(colours.Get(0), 0);
    EXPECT_EQ(colours.Get(15), 150);
    EXPECT_EQ(colours.Get(16), -1);
    EXPECT_EQ(colours.Get(-1), -1);
    colours.Set(16, 5);
    colours.Set(-1, 5);
    EXPECT_EQ(calls, 16);
}
