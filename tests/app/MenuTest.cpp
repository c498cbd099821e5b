#include "app/MainMenu.h"
#include "app/mMenuBmp.h"
#include "resources/resource.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// How many pixels of a 16 x 16 menu bitmap differ from the menu colour.
int DrawnPixels(HBITMAP bitmap) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF menuColour = GetSysColor(COLOR_MENU);
    int drawn = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            drawn += GetPixel(dc, x, y) != menuColour;
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return drawn;
}

// A hidden top-level window carrying the controller's menu bar, as frmMain does.
class MenuHost : public testing::Test {
protected:
    void SetUp() override {
        hwnd = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPED | WS_CAPTION, 0, 0, 100, 100, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(hwnd, nullptr);
        SetMenu(hwnd, menu.Bar());
        picture.icon = static_cast<HICON>(LoadImageA(
            GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MENU_SHOW), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        ASSERT_NE(picture.icon, nullptr) << "the menu pictures come from the program's resources";
    }
    void TearDown() override {
        ClearMenuBitmaps();
        SetMenu(hwnd, nullptr);
        DestroyWindow(hwnd);
        DestroyIcon(picture.icon);
    }

    std::vector<std::string> PopupCaptions() const {
        std::vector<std::string> captions;
        for (int i = 0; i < GetMenuItemCount(menu.Popup()); ++i) {
            char text[64] = {};
            GetMenuStringA(menu.Popup(), i, text, sizeof text, MF_BYPOSITION);
            captions.push_back(text[0] ? text : "-");
        }
        return captions;
    }

    HWND hwnd = nullptr;
    MainMenu menu;
    MenuPicture picture;
};
} // namespace

TEST_F(MenuHost, TheTreeHasItsCaptionsAndAHiddenEntryTakesNoPosition) {
    EXPECT_EQ(PopupCaptions(),
              (std::vector<std::string>{"Show", "Statistics...", "-", "Optimize with Quillix...",
                                        "Settings...", "Graph Style", "-", "Exit"}));
    menu.SetQuillixVisible(false);
    EXPECT_EQ(PopupCaptions(), (std::vector<std::string>{"Show", "Statistics...", "-", "Settings...",
                                                         "Graph Style", "-", "Exit"}));
    menu.SetShowCaption("Hide");
    EXPECT_EQ(menu.ShowCaption(), "Hide");
}

TEST_F(MenuHost, ThemeEntriesAreRebuiltInOrderAboveCustomize) {
    menu.SetThemeNames({"Standard", "Task Manager", "Clouds", "River", "Mine"});
    menu.SetThemeNames({"Standard", "Task Manager", "Clouds", "River", "Other", "Mine"});
    std::vector<std::string> captions;
    for (int i = 0; i < GetMenuItemCount(menu.StyleMenu()); ++i) {
        char text[64] = {};
        GetMenuStringA(menu.StyleMenu(), i, text, sizeof text, MF_BYPOSITION);
        captions.push_back(text[0] ? text : "-");
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Standard", "Task Manager", "Clouds", "River", "Other",
                                                  "Mine", "-", "Customize..."}));
    EXPECT_EQ(menu.ThemeCaption(5), "Mine");
    EXPECT_EQ(GetMenuItemID(menu.StyleMenu(), 5), static_cast<UINT>(MainMenu::mnuThemeFirst + 5));
}

TEST_F(MenuHost, APictureLandsOnItsEntryDrawnOnTheMenuColourAndTheListOwnsIt) {
    SetMenuStyle(hwnd, 0);
    SetMenuBitmap(hwnd, 0, 0, picture);
    ASSERT_EQ(MenuBitmapCount(), 1u);

    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_BITMAP;
    ASSERT_TRUE(GetMenuItemInfoA(menu.Popup(), 0, TRUE, &item));
    ASSERT_NE(item.hbmpItem, nullptr);
    BITMAP bm{};
    ASSERT_TRUE(GetObjectA(item.hbmpItem, sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, 16);
    EXPECT_EQ(bm.bmHeight, 16);

    // The picture is really in it: not every pixel is the menu colour.
    EXPECT_GT(DrawnPixels(item.hbmpItem), 20);

    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_STYLE;
    ASSERT_TRUE(GetMenuInfo(menu.StyleMenu(), &info));
    EXPECT_TRUE(info.dwStyle & MNS_CHECKORBMP) << "the style reaches the submenus too";

    // A second opening replaces the bitmaps: the old ones are deleted, never more than one set alive.
    HBITMAP first = item.hbmpItem;
    ClearMenuBitmaps();
    EXPECT_EQ(MenuBitmapCount(), 0u);
    EXPECT_EQ(GetObjectType(first), 0u) << "the list deletes what it owns";
    for (int i = 0; i < 6; ++i)
        SetMenuBitmap(hwnd, 0, i, picture);
    EXPECT_EQ(MenuBitmapCount(), 6u);
}

// The controller's own opening of the popup: every entry but separators and themes gets its picture.
#include "app/frmMain.h"
#include "app/mMisc.h"
#include "net/NetSeamsWin32.h"
#include "settings/SystemServices.h"

#include <shlwapi.h>

TEST(ControllerMenu, EveryCommandEntryCarriesAPictureWhenThePopupOpens) {
    char path[MAX_PATH] = {};
    SetExecutablePath(std::string(path, GetModuleFileNameA(nullptr, path, sizeof path)));
    UseSystemNetworkSeams();
    UseSystemServices();
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
    const char first[] = "0", show[] = "False";
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Vantorel\\Settings", "FirstRun", REG_SZ, first,
                    sizeof first);
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Vantorel\\Graph", "ShowOnStartup", REG_SZ, show,
                    sizeof show);
    {
        frmMain form;
        form.Load();
        form.mnuMain_Click();
        HMENU popup = GetSubMenu(GetMenu(form.Window()), 0);
        ASSERT_EQ(popup, form.Menu.Popup());
        std::vector<int> withPicture;
        for (int i = 0; i < GetMenuItemCount(popup); ++i) {
            MENUITEMINFOA item{};
            item.cbSize = sizeof item;
            item.fMask = MIIM_BITMAP;
            GetMenuItemInfoA(popup, i, TRUE, &item);
            if (item.hbmpItem && GetObjectType(item.hbmpItem) == OBJ_BITMAP) {
                withPicture.push_back(i);
                EXPECT_GT(DrawnPixels(item.hbmpItem), 20) << "the picture of entry " << i;
            }
        }
        // No companion program beside the test: Show, Statistics, Settings, Graph Style, Exit.
        EXPECT_EQ(withPicture, (std::vector<int>{0, 1, 3, 4, 6}));
        form.mnuMain_Click();
        EXPECT_EQ(MenuBitmapCount(), 5u) << "the second opening replaced the first one's pictures";
        form.UnloadForm();
        EXPECT_EQ(MenuBitmapCount(), 0u) << "shutdown frees the last set";
    }
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
}
