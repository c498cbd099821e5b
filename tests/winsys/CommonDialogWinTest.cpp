// The system's own open-file and colour dialogs, opened for real and answered as a user would.
#include "support/ModalAnswer.h"
#include "support/WinTestUtil.h"
#include "winsys/cCommonDialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <colordlg.h>
#include <dlgs.h>

#include <string>

using namespace std::string_literals;

TEST(CommonDialog, OpenFileGivesTheChosenFileAndPairAndClearsEverythingOnCancel) {
    const std::string picture = WinePath(VANTOREL_PICTURE);
    cCommonDialog dialogs;
    OpenFileArgs args{.Filter = "Icons|*.ico|Bitmaps:*.bmp", .FilterIndex = 2};
    {
        ModalAnswer answer(nullptr, [&](HWND dialog) {
            HWND name = GetDlgItem(dialog, edt1);
            SetWindowTextA(name ? name : GetDlgItem(dialog, cmb13), picture.c_str());
            ModalAnswer::Click(dialog, IDOK);
        });
        EXPECT_TRUE(dialogs.VBGetOpenFileName(args));
    }
    EXPECT_EQ(args.Filename, picture);
    EXPECT_EQ(args.FileTitle, "River.bmp");
    EXPECT_EQ(args.Filter, "Bitmaps\0*.bmp"s);
    EXPECT_EQ(args.FilterIndex, 2);

    ModalAnswer cancel(nullptr, [](HWND dialog) { ModalAnswer::Click(dialog, IDCANCEL); });
    EXPECT_FALSE(dialogs.VBGetOpenFileName(args));
    EXPECT_EQ(args.Filename + args.FileTitle + args.Filter, "");
    EXPECT_EQ(args.FilterIndex, -1);
    EXPECT_EQ(args.flags, 0);
}

TEST(CommonDialog, ColourDialogGivesTheChoiceAndOffersTheCustomColoursAgain) {
    cCommonDialog dialogs;
    EXPECT_EQ(dialogs.CustomColor(15), static_cast<int32_t>(GetSysColor(15)));
    ChooseColorArgs args{.AnyColor = true, .FullOpen = true};
    {
        ModalAnswer answer(nullptr, [](HWND dialog) {
            SetDlgItemInt(dialog, COLOR_RED, 10, FALSE);
            SetDlgItemInt(dialog, COLOR_GREEN, 20, FALSE);
            SetDlgItemInt(dialog, COLOR_BLUE, 30, FALSE);
            ModalAnswer::Click(dialog, COLOR_ADD);
            ModalAnswer::Click(dialog, IDOK);
        });
        EXPECT_TRUE(dialogs.VBChooseColor(args));
    }
    EXPECT_EQ(args.Color, static_cast<int32_t>(RGB(10, 20, 30)));
    EXPECT_EQ(dialogs.CustomColor(0), args.Color);

    // The next dialog shows it: picking the first custom colour gives it back.
    args.Color = 0;
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
}
