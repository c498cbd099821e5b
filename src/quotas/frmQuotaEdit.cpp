#include "quotas/frmQuotaEdit.h"
#include "base/AppInfo.h"
#include "base/mLogging.h"
#include "quotas/QuotaForm.h"
#include "resources/resource.h"
#include "settings/RegistryApi.h"

#include <algorithm>
#include <array>
#include <exception>
#include <span>

namespace {
// The lists' entries in the order of their enumerations.
constexpr const char* kPeriods[] = {"Day", "Week", "Month", "Last N days"};
constexpr const char* kCounts[] = {"In", "Out", "Total"};

void FillList(HWND dialog, int id, std::span<const char* const> entries) {
    ClearList(dialog, id);
    for (const char* entry : entries)
        AddListEntry(dialog, id, entry);
}

QuotaPeriodKind PeriodChosen(HWND dialog) {
    return static_cast<QuotaPeriodKind>(std::max(0, SelectedListEntry(dialog, IDC_cmbPeriod)));
}

void ShowItem(HWND dialog, int id, bool shown) {
    ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOW : SW_HIDE);
}
} // namespace

std::optional<std::string> frmQuotaEdit::Run(HWND owner) {
    if (RunModal(IDD_frmQuotaEdit, owner) != IDOK)
        return std::nullopt;
    return m_stored;
}

INT_PTR frmQuotaEdit::HandleMessage(HWND, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        Form_Load();
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_cmbPeriod && HIWORD(wParam) == CBN_SELCHANGE) {
            cmbPeriod_Click();
            return TRUE;
        }
        if (LOWORD(wParam) == IDOK) {
            cmdOk_Click();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(m_hwnd, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void frmQuotaEdit::Form_Load() {
    SetWindowTextA(
        m_hwnd,
        (std::string(kAppTitle) + (m_setup.StoredName.empty() ? " New Quota" : " Edit Quota")).c_str());
    QuotaFormTexts form = m_setup.Original ? QuotaFormOf(*m_setup.Original) : NewQuotaForm();
    if (!m_setup.Original)
        form.Name = m_setup.StoredName;
    SetItemText(m_hwnd, IDC_txtName, form.Name);
    SetItemText(m_hwnd, IDC_txtLimit, form.Limit);
    FillList(m_hwnd, IDC_cmbUnit, std::array{"MB", "GB"});
    SelectListEntry(m_hwnd, IDC_cmbUnit, form.Unit == LimitUnit::GB ? 1 : 0);
    FillList(m_hwnd, IDC_cmbPeriod, kPeriods);
    SelectListEntry(m_hwnd, IDC_cmbPeriod, static_cast<int>(form.Period));
    cmbPeriod_Click();
    FillList(m_hwnd, IDC_cmbCount, kCounts);
    SelectListEntry(m_hwnd, IDC_cmbCount, static_cast<int>(form.Count));

    AddListEntry(m_hwnd, IDC_cmbInterface, "All Interfaces");
    for (const std::string& name : QuotaInterfaceChoices(m_setup.Interfaces, form.Interface))
        AddListEntry(m_hwnd, IDC_cmbInterface, name);
    int chosen = 0;
    for (int i = 1, n = ListCount(m_hwnd, IDC_cmbInterface); i < n; ++i)
        if (ListEntry(m_hwnd, IDC_cmbInterface, i) == form.Interface)
            chosen = i;
    SelectListEntry(m_hwnd, IDC_cmbInterface, chosen);
    FitDroppedWidth(m_hwnd, IDC_cmbInterface);
    SetItemText(m_hwnd, IDC_txtWarn, form.Warn);
    SendDlgItemMessageA(m_hwnd, IDC_txtName, EM_SETSEL, 0, -1);
}

// The start takes the form its period asks for; a day has none.
void frmQuotaEdit::cmbPeriod_Click() {
    const QuotaPeriodKind period = PeriodChosen(m_hwnd);
    const bool same = m_setup.Original && m_setup.Original->Period == period;
    const int start = same ? m_setup.Original->Start : period == QuotaPeriodKind::Days ? 30 : 1;
    ShowItem(m_hwnd, IDC_lblStart, period != QuotaPeriodKind::Day);
    ShowItem(m_hwnd, IDC_cmbStart, period == QuotaPeriodKind::Week || period == QuotaPeriodKind::Month);
    ShowItem(m_hwnd, IDC_txtStart, period == QuotaPeriodKind::Days);
    switch (period) {
    case QuotaPeriodKind::Day:
        break;
    case QuotaPeriodKind::Week:
        SetItemText(m_hwnd, IDC_lblStart, "&Starts on:");
        FillList(m_hwnd, IDC_cmbStart, kWeekdayNames);
        SelectListEntry(m_hwnd, IDC_cmbStart, start - 1);
        break;
    case QuotaPeriodKind::Month:
        SetItemText(m_hwnd, IDC_lblStart, "&Billing day:");
        ClearList(m_hwnd, IDC_cmbStart);
        for (int day = 1; day <= 31; ++day)
            AddListEntry(m_hwnd, IDC_cmbStart, std::to_string(day));
        SelectListEntry(m_hwnd, IDC_cmbStart, start - 1);
        break;
    case QuotaPeriodKind::Days:
        SetItemText(m_hwnd, IDC_lblStart, "&Days:");
        SetItemText(m_hwnd, IDC_txtStart, std::to_string(start));
        break;
    }
}

void frmQuotaEdit::cmdOk_Click() {
    QuotaFormTexts form;
    form.Name = ItemText(m_hwnd, IDC_txtName);
    form.Limit = ItemText(m_hwnd, IDC_txtLimit);
    form.Unit = SelectedListEntry(m_hwnd, IDC_cmbUnit) == 1 ? LimitUnit::GB : LimitUnit::MB;
    form.Period = PeriodChosen(m_hwnd);
    form.Start = form.Period == QuotaPeriodKind::Days
                     ? ItemText(m_hwnd, IDC_txtStart)
                     : std::to_string(SelectedListEntry(m_hwnd, IDC_cmbStart) + 1);
    form.Count = static_cast<QuotaCount>(std::max(0, SelectedListEntry(m_hwnd, IDC_cmbCount)));
    const int chosen = SelectedListEntry(m_hwnd, IDC_cmbInterface);
    form.Interface = chosen > 0 ? ListEntry(m_hwnd, IDC_cmbInterface, chosen) : "";
    form.Warn = ItemText(m_hwnd, IDC_txtWarn);

    std::string fault;
    const auto quota = QuotaFromForm(form, m_setup.Original, m_setup.OtherNames, m_setup.Title, fault);
    if (!quota) {
        MessageBoxA(m_hwnd, fault.c_str(), kAppTitle, MB_OK | MB_ICONWARNING);
        return;
    }
    try {
        if (!ReplaceQuota(kHKeyCurrentUser, m_setup.Title, *quota, m_setup.StoredName))
            MessageBoxA(m_hwnd, "The quota was saved, but its old name could not be removed.", kAppTitle,
                        MB_OK | MB_ICONWARNING);
    } catch (const std::exception& error) {
        // What was entered stays in the form; what was stored before is still there.
        WriteLog(std::string("frmQuotaEdit_Ok error: ") + error.what());
        MessageBoxA(m_hwnd, ("The quota could not be saved: " + std::string(error.what())).c_str(), kAppTitle,
                    MB_OK | MB_ICONWARNING);
        return;
    }
    m_stored = quota->Name;
    EndDialog(m_hwnd, IDOK);
}
