// The quota dialog driven through its real controls and its edit form as a user drives them; what it
// shows is checked against what the registry holds. CTest runs it at 96, 144 and 192 DPI.
#include "quotas/frmQuotas.h"
#include "resources/resource.h"
#include "support/DialogTestUtil.h"
#include "support/WinTestUtil.h"
#include "winsys/ListView.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

namespace {
constexpr char kTitle[] = "VantorelQuotaWinTest";
constexpr char kQuotas[] = "Software\\VantorelQuotaWinTest\\Quotas\\";

std::string Stored(const std::string& name, const char* value) {
    return ReadValue((kQuotas + name).c_str(), value);
}

// The text of one cell of the quota list.
std::string Cell(HWND dialog, int row, int column) {
    return ListViewText(GetDlgItem(dialog, IDC_lvwQuotas), row, column);
}

void Choose(HWND dialog, int id, int index) {
    SelectListEntry(dialog, id, index);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class QuotaDialog : public testing::Test {
protected:
    static void SetUpTestSuite() { InstallSystemServices(); }
    void SetUp() override {
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\VantorelQuotaWinTest");
        WriteValue((std::string(kQuotas) + "Spare").c_str(), "Limit", "lots");
        m_dialog.Show();
        m_window = m_dialog.Window();
    }
    void TearDown() override {
        m_dialog.UnloadForm();
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\VantorelQuotaWinTest");
    }
    int Row(const std::string& name) {
        for (int i = 0, n = static_cast<int>(m_dialog.Quotas().size()); i < n; ++i)
            if (Cell(m_window, i, 0) == name)
                return i;
        return -1;
    }

    bool m_changed = false;
    frmQuotas m_dialog{QuotaLinks{.StatusOf =
                                      [](const Quota&) {
                                          QuotaStatus status;
                                          status.Percent = 80;
                                          return std::optional(status);
                                      },
                                  .InterfaceNames = [] { return std::vector<std::string>{"Test Adapter"}; },
                                  .QuotasChanged = [this] { m_changed = true; },
                                  .LoadedChanged = {},
                                  .Title = kTitle}};
    HWND m_window = nullptr;
};
} // namespace

TEST_F(QuotaDialog, AFaultyStoredQuotaIsListedWithItsFault) {
    ASSERT_TRUE(IsWindowVisible(m_window));
    ExpectControlsFit(m_window, "quota list");
    EXPECT_EQ(Cell(m_window, 0, 1).substr(0, 27), "Not in use: the limit \"lots");
}

TEST_F(QuotaDialog, ItCreatesEditsAndDeletesAQuotaAndTheRegistryHoldsWhatItShows) {
    EXPECT_TRUE(ClickAndAnswer(m_window, IDC_cmdNew, [](HWND form) {
        ExpectControlsFit(form, "new quota");
        SetDlgItemTextA(form, IDC_txtName, "Mobile");
        SetDlgItemTextA(form, IDC_txtLimit, "5");
        Choose(form, IDC_cmbPeriod, 2); // Month
        SelectListEntry(form, IDC_cmbStart, 14);
        SelectListEntry(form, IDC_cmbCount, 0);
        SelectListEntry(form, IDC_cmbInterface, 1);
        ExpectControlsFit(form, "new quota, a month");
        Click(form, IDOK);
    }));
    EXPECT_EQ(Stored("Mobile", "Limit"), "5368709120");
    EXPECT_EQ(Stored("Mobile", "Period"), "Month");
    EXPECT_EQ(Stored("Mobile", "Start"), "15");
    EXPECT_EQ(Stored("Mobile", "Count"), "In");
    EXPECT_EQ(Stored("Mobile", "Interface"), "Test Adapter");
    EXPECT_EQ(Stored("Mobile", "Warn"), "80,100");
    EXPECT_TRUE(m_changed);
    const int mobile = Row("Mobile");
    ASSERT_GE(mobile, 0);
    EXPECT_EQ(m_dialog.Selected(), mobile);
    EXPECT_EQ(Cell(m_window, mobile, 1), "Month from day 15");
    EXPECT_EQ(Cell(m_window, mobile, 4), "80%");

    // Renamed and given 50 MB a week from Wednesday: the old key goes.
    ClickAndAnswer(m_window, IDC_cmdEdit, [](HWND form) {
        EXPECT_EQ(ItemText(form, IDC_txtLimit), "5");
        SetDlgItemTextA(form, IDC_txtName, "Phone");
        SetDlgItemTextA(form, IDC_txtLimit, "50");
        SelectListEntry(form, IDC_cmbUnit, 0);
        Choose(form, IDC_cmbPeriod, 1);
        SelectListEntry(form, IDC_cmbStart, 2);
        Click(form, IDOK);
    });
    EXPECT_EQ(Stored("Mobile", "Limit"), "<missing>");
    EXPECT_EQ(Stored("Phone", "Limit"), "52428800");
    EXPECT_EQ(Stored("Phone", "Start"), "3");
    EXPECT_EQ(Cell(m_window, Row("Phone"), 1), "Week from Wednesday");

    // Delete asks first: No keeps the quota, Yes deletes it.
    m_dialog.Select(Row("Phone"));
    ClickAndAnswer(m_window, IDC_cmdDelete, [](HWND box) { Click(box, IDNO); });
    EXPECT_EQ(Stored("Phone", "Limit"), "52428800");
    m_dialog.Select(Row("Phone"));
    ClickAndAnswer(m_window, IDC_cmdDelete, [](HWND box) { Click(box, IDYES); });
    EXPECT_EQ(Stored("Phone", "Limit"), "<missing>");
    EXPECT_EQ(Row("Phone"), -1);
}

TEST_F(QuotaDialog, AFaultInTheFormIsShownAndNothingIsStored) {
    std::string told;
    ClickAndAnswer(m_window, IDC_cmdNew, [&](HWND form) {
        SetDlgItemTextA(form, IDC_txtName, "Mobile");
        SetDlgItemTextA(form, IDC_txtLimit, "plenty");
        ClickAndAnswer(form, IDOK, [&](HWND box) {
            told = ItemText(box, 0xFFFF); // the message box's text
            Click(box, IDOK);
        });
        EXPECT_TRUE(IsWindowVisible(form)) << "the form stays open with what was entered";
        Click(form, IDCANCEL);
    });
    EXPECT_EQ(told.substr(0, 9), "The limit");
    EXPECT_EQ(Stored("Mobile", "Limit"), "<missing>");
}
