// The system's own open-file and colour dialogs, opened for real and answered by the test as a user
// would answer them.
#include "app/AppError.h"
#include "support/ModalAnswer.h"
#include "support/WinTestUtil.h"
#include "winsys/cCommonDialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <colordlg.h>
#include <dlgs.h>

#include <string>

using namespace std::string_literals;

namespace {
const char kFilter[] = "Pictures (*.bmp;*.ico;*.jpg;*.gif)|*.bmp;*.ico;*.jpg;*.gif";

void TypeFileName(HWND dialog, const std::string& path) {
    HWND box = GetDlgItem(dialog, edt1);
    SetWindowTextA(box ? box : GetDlgItem(dialog, cmb13), path.c_str());
}

void TypeColour(HWND dialog, int red, int green, int blue) {
    SetDlgItemInt(dialog, COLOR_RED, red, FALSE);
    SetDlgItemInt(dialog, COLOR_GREEN, green, FALSE);
    SetDlgItemInt(dialog, COLOR_BLUE, blue, FALSE);
}
} // namespace

TEST(CommonDialog, OpenFileGivesTheChosenFileAndClearsEverythingOnCancel) {
    const std::string picture = WinePath(VANTOREL_PICTURE);
    cCommonDialog dialogs;
    OpenFileArgs args;
    args.FileMustExist = true;
    args.HideReadOnly = true;
    args.Filter = kFilter;
    {
        ModalAnswer answer(nullptr, [&](HWND dialog) {
            TypeFileName(dialog, picture);
            ModalAnswer::Click(dialog, IDOK);
        });
        EXPECT_TRUE(dialogs.VBGetOpenFileName(args));
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(dialogs.APIReturn(), 1);
    EXPECT_EQ(args.Filename, picture);
    EXPECT_EQ(args.FileTitle, "River.bmp");
    EXPECT_EQ(args.Filter, "Pictures (*.bmp;*.ico;*.jpg;*.gif)\0*.bmp;*.ico;*.jpg;*.gif"s);
    EXPECT_EQ(args.FilterIndex, 1);
    EXPECT_EQ(args.flags & 0x1004, 0x1004);
    EXPECT_FALSE(args.ReadOnly);

    args.Filter = kFilter;
    ModalAnswer cancel(nullptr, [](HWND dialog) { ModalAnswer::Click(dialog, IDCANCEL); });
    EXPECT_FALSE(dialogs.VBGetOpenFileName(args));
    EXPECT_TRUE(cancel.Answered());
    EXPECT_EQ(dialogs.APIReturn(), 0);
    EXPECT_EQ(dialogs.ExtendedError(), 0);
    EXPECT_EQ(args.Filename + args.FileTitle + args.Filter, "");
    EXPECT_EQ(args.FilterIndex, -1);
    EXPECT_EQ(args.flags, 0);

    args.Filename = std::string(261, 'x');
    EXPECT_THROW(dialogs.VBGetOpenFileName(args), AppError);
}

TEST(CommonDialog, ColourDialogGivesTheChoiceAndKeepsTheCustomColoursForTheNextCall) {
    cCommonDialog dialogs;
    for (int16_t i = 0; i < 16; ++i)
        EXPECT_EQ(dialogs.CustomColor(i), static_cast<int32_t>(GetSysColor(i))) << i;

    // Defined in the first dialog and added to the custom colours...
    ChooseColorArgs args;
    args.Color = RGB(1, 2, 3);
    args.AnyColor = true;
    args.FullOpen = true;
    {
        ModalAnswer answer(nullptr, [](HWND dialog) {
            TypeColour(dialog, 10, 20, 30);
            ModalAnswer::Click(dialog, COLOR_ADD);
            ModalAnswer::Click(dialog, IDOK);
        });
        EXPECT_TRUE(dialogs.VBChooseColor(args));
    }
    EXPECT_EQ(dialogs.APIReturn(), 1);
    EXPECT_EQ(args.Color, static_cast<int32_t>(RGB(10, 20, 30)));
    EXPECT_EQ(dialogs.CustomColor(0), static_cast<int32_t>(RGB(10, 20, 30)));

    // ...it is offered by the next one: picking the first custom colour gives it back.
    args.Color = RGB(200, 200, 200);
    {
        ModalAnswer answer(nullptr, [](HWND dialog) {
            RECT box{};
            GetWindowRect(GetDlgItem(dialog, COLOR_CUSTOM1), &box);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
            SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.left + 4, box.top + 4));
            ModalAnswer::Click(dialog, IDOK);
        });
        EXPECT_TRUE(dialogs.VBChooseColor(args));
    }
    EXPECT_EQ(args.Color, static_cast<int32_t>(RGB(10, 20, 30)));

    ModalAnswer cancel(nullptr, [](HWND dialog) { ModalAnswer::Click(dialog, IDCANCEL); });
    EXPECT_FALSE(dialogs.VBChooseColor(args));
    EXPECT_EQ(args.Color, -1);
    EXPECT_EQ(dialogs.APIReturn(), 0);
    EXPECT_EQ(dialogs.CustomColor(0), static_cast<int32_t>(RGB(10, 20, 30)));
}
