// The history window on a history made here, with fixed zone rules and a fixed time: what it shows,
// how it follows new minutes, and its export through the system's save dialog; then in the running
// controller, opened from the tray menu.
#include "HistoryTestUtil.h"
#include "app/frmMain.h"
#include "history/HistoryChartView.h"
#include "history/HistoryFiles.h"
#include "history/UsageHistory.h"
#include "history/frmHistory.h"
#include "support/DialogTestUtil.h"
#include "support/WinTestUtil.h"
#include "winsys/DibCanvas.h"
#include "winsys/ListView.h"
#include "winsys/SysTray.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <dlgs.h>

#include <fstream>
#include <sstream>

namespace {
// UTC+1 all year; "now" is Tuesday 8 December 2026, 12:00 local.
class HistoryWindow : public testing::Test {
protected:
    void SetUp() override {
        for (uint8_t n : {1, 2})
            data.Intern(Interface(n));
        // 10:00 local is 09:00 UTC: 3000 in and 1000 out on the first, 100 in on the second.
        data.Add(0, Utc(2026, 12, 8, 9) / kQuarterSeconds, 3000, 1000, 0);
        data.Add(1, Utc(2026, 12, 8, 9, 30) / kQuarterSeconds, 100, 0, 0);
        data.Add(0, Utc(2026, 12, 1, 9) / kQuarterSeconds, 5000, 0, 0);
        form.Show();
        dialog = form.Window();
    }

    std::string Row(int row, int column) const {
        return ListViewText(GetDlgItem(dialog, IDC_lvwPeriods), row, column);
    }
    int Rows() const { return ListViewCount(GetDlgItem(dialog, IDC_lvwPeriods)); }

    FixedZoneRules rules{ZoneYearRules{-60, 0, 0, {}, {}}};
    ZoneCalendar zone{rules};
    HistoryData data;
    bool readOnly = false;
    frmHistory form{HistoryLinks{.Data = [this]() -> const HistoryData& { return data; },
                                 .Calendar = [this]() -> const ZoneCalendar& { return zone; },
                                 .ReadOnly = [this] { return readOnly; },
                                 .OpenQuotas = {},
                                 .UtcNow = [] { return Utc(2026, 12, 8, 11); },
                                 .LoadedChanged = {}}};
    HWND dialog = nullptr;
};

TEST_F(HistoryWindow, OpensOnTodaysHoursFollowsNewMinutesAndStepsBackButNotPastToday) {
    ASSERT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(ItemText(dialog, IDC_Label1), "Tuesday, 8 December 2026");
    EXPECT_EQ(Rows(), 24);
    EXPECT_EQ(Row(10, 0), "10:00");
    EXPECT_EQ(Row(10, 3), "4 kb");
    data.Add(0, Utc(2026, 12, 8, 10) / kQuarterSeconds, 7, 0, 0);
    form.Refresh();
    EXPECT_EQ(Row(11, 1), "7 b");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_cmdNext)));
    Click(dialog, IDC_cmdPrevious);
    EXPECT_EQ(ItemText(dialog, IDC_Label1), "Monday, 7 December 2026");
}

TEST_F(HistoryWindow, KeepsEveryControlInsideAndUncut) {
    readOnly = true;
    form.Refresh();
    ExpectControlsFit(dialog, "history");
}

TEST_F(HistoryWindow, DrawsBothPartsOfABar) {
    DibCanvas canvas(600, 200);
    ASSERT_TRUE(canvas.Valid());
    form.DrawChart(canvas.Dc(), canvas.Width(), canvas.Height());
    GdiFlush();
    const auto has = [&](COLORREF c) {
        const uint32_t pixel = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        return std::count(canvas.Bits(), canvas.Bits() + canvas.Count(), pixel) > 0;
    };
    EXPECT_TRUE(has(kChartInColour));
    EXPECT_TRUE(has(kChartOutColour));
}

TEST_F(HistoryWindow, AMonthListsItsDaysAndTheTotalsAddThem) {
    Click(dialog, IDC_optMonth);
    EXPECT_EQ(ItemText(dialog, IDC_Label1), "December 2026");
    EXPECT_EQ(Row(0, 1), "4.9 kb");
    EXPECT_EQ(ItemText(dialog, IDC_Label2), "In 7.9 kb   Out 1000 b   Total 8.9 kb");
}

TEST_F(HistoryWindow, ExportsThePeriodThroughTheSaveDialog) {
    const std::string path = TempFolder() + "history export.csv";
    DeleteFileA(path.c_str());
    std::string offered;
    ClickAndAnswer(dialog, IDC_cmdExport, [&](HWND files) {
        HWND name = GetDlgItem(files, edt1) ? GetDlgItem(files, edt1) : GetDlgItem(files, cmb13);
        offered = ItemText(files, GetDlgCtrlID(name));
        SetWindowTextA(name, path.c_str());
        Click(files, IDOK);
    });
    EXPECT_EQ(offered, "Vantorel history 2026-12-08.csv");
    std::stringstream csv;
    csv << std::ifstream(path, std::ios::binary).rdbuf();
    EXPECT_EQ(csv.str(), ExportCsv(data, zone, HistoryPeriod::Day, {2026, 12, 8}, kAllInterfaces));
    DeleteFileA(path.c_str());
}

TEST_F(HistoryWindow, AFailedExportIsReportedAndLeavesNoFile) {
    const std::string path = TempFolder() + "no such folder\\history.csv";
    bool written = true;
    std::string report;
    AnswerDuring(
        dialog, [&] { written = form.ExportTo(path); },
        [&](HWND box) {
            report = ItemText(box, 0xFFFF);
            Click(box, IDOK);
        });
    EXPECT_FALSE(written);
    EXPECT_NE(report.find(path), std::string::npos);
}
// The running program's own history, from a journal made here for this minute: the window opens from
// the tray menu and shows it.
class HistoryFromTheTray : public testing::Test {
protected:
    void SetUp() override {
        // A history folder of this test's own, which the controller finds as the program would.
        folder = TempFolder() + "vantorel-history-window-" + std::to_string(GetCurrentProcessId());
        RemoveFolderTree(folder); // what a process of the same id left
        char old[MAX_PATH] = {};
        oldLocal.assign(old, GetEnvironmentVariableA("LOCALAPPDATA", old, MAX_PATH));
        SetEnvironmentVariableA("LOCALAPPDATA", folder.c_str());
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
        WriteValue("Software\\Vantorel\\Settings", "FirstRun", "0");
        WriteValue("Software\\Vantorel\\Graph", "ShowOnStartup", "False");
        std::vector<uint8_t> journal;
        AppendInterfaceRecord(journal, 0, {Guid(9), "Made-up adapter", "Made up", true});
        const int64_t now = UsageHistory::UtcNowMs() / 1000;
        AppendMinuteRecord(journal, {0, now / 60, 3000, 600, 0});
        Win32HistoryFiles files(Win32HistoryFiles::DefaultFolder());
        auto file = files.Open(JournalName(MonthOfUtc(now)), IHistoryFiles::Mode::Write);
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->Append(journal.data(), journal.size()));
        file.reset();
        UseTheSystem();
        form.Load();
    }
    void TearDown() override {
        form.UnloadForm();
        // The controller's end posts WM_QUIT, which would end the next test's dialog boxes at once.
        PumpFor(50);
        SetEnvironmentVariableA("LOCALAPPDATA", oldLocal.c_str());
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
        RemoveFolderTree(folder);
    }
    std::string folder, oldLocal;
    frmMain form;
};

// Inside the menu's own loop: once the popup shows, Down to the third command and Enter.
void CALLBACK ChooseHistory(HWND, UINT, UINT_PTR timer, DWORD) {
    if (HWND menu = VisibleMenu()) {
        KillTimer(nullptr, timer);
        for (WPARAM key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})
            PostMessageA(menu, WM_KEYDOWN, key, 0);
    }
}

TEST_F(HistoryFromTheTray, OpensOnTheRecordedHistory) {
    ASSERT_NE(form.History(), nullptr);
    SetTimer(nullptr, 0, 20, ChooseHistory);
    PostMessageA(form.SysTray1->hWnd(), form.SysTray1->TrayMessage(), 0, WM_RBUTTONDOWN);
    ASSERT_TRUE(PumpUntil(
        [&] { return form.HistoryWindow() && IsWindowVisible(form.HistoryWindow()->Window()); }, 10000));
    const HWND dialog = form.HistoryWindow()->Window();
    const int madeUp = static_cast<int>(
        SendDlgItemMessageA(dialog, IDC_cmbInterface, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>("Made up (Made-up adapter)")));
    SelectListEntry(dialog, IDC_cmbInterface, madeUp);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_cmbInterface, CBN_SELCHANGE), 0);
    EXPECT_EQ(ItemText(dialog, IDC_Label2), "In 2.9 kb   Out 600 b   Total 3.5 kb");
}

} // namespace
