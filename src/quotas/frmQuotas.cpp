#include "quotas/frmQuotas.h"
#include "quotas/QuotaForm.h"
#include "quotas/frmQuotaEdit.h"
#include "settings/RegistryApi.h"
#include "winsys/Dpi.h"
#include "winsys/ListView.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace {
constexpr UINT_PTR kRefreshTimer = 1;
// Use moves on while the window is open; a fresh look now and then is enough.
constexpr UINT kRefreshMs = 10000;

struct Column {
    const char* Caption;
    int Width; // dialog units
    bool Right;
};
constexpr Column kColumns[] = {{"Name", 70, false},       {"Period", 84, false}, {"Limit", 40, true},
                               {"Used", 40, true},        {"Percent", 34, true}, {"Forecast", 44, true},
                               {"Left per day", 54, true}};

const DialogCommand<frmQuotas> kCommands[] = {
    {IDC_cmdNew, &frmQuotas::cmdNew_Click},
    {IDC_cmdEdit, &frmQuotas::cmdEdit_Click},
    {IDC_cmdDelete, &frmQuotas::cmdDelete_Click},
    {IDC_cmdClose, &frmQuotas::cmdClose_Click},
};

HWND List(HWND dialog) {
    return GetDlgItem(dialog, IDC_lvwQuotas);
}

void FillRect(HDC dc, RECT r, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}
} // namespace

frmQuotas::frmQuotas(QuotaLinks links) : ModelessDialog(links.LoadedChanged), m_links(std::move(links)) {
    EnsureListViewClass();
}

frmQuotas::~frmQuotas() {
    UnloadForm();
}

std::span<const DialogCommand<frmQuotas>> frmQuotas::Commands() {
    return kCommands;
}

void frmQuotas::Form_Load() {
    SetWindowTextA(m_hwnd, (std::string(kAppTitle) + " Quotas").c_str());
    HWND list = List(m_hwnd);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        RECT width{0, 0, kColumns[i].Width, 0};
        MapDialogRect(m_hwnd, &width);
        AddListViewColumn(list, i, kColumns[i].Caption, width.right, kColumns[i].Right);
    }
    Refresh();
    Select(0);
    m_timer = SetTimer(m_hwnd, kRefreshTimer, kRefreshMs, nullptr);
}

void frmQuotas::Form_Unload() {
    if (m_timer)
        KillTimer(m_hwnd, m_timer);
    m_timer = 0;
}

std::optional<QuotaStatus> frmQuotas::StatusOf(const StoredQuota& stored) const {
    if (!stored.Value || !m_links.StatusOf)
        return std::nullopt;
    return m_links.StatusOf(*stored.Value);
}

void frmQuotas::Refresh() {
    if (!Loaded())
        return;
    const int selected = Selected();
    const std::string keep = selected >= 0 ? m_quotas[static_cast<size_t>(selected)].Name : "";
    std::vector<StoredQuota> quotas = ReadQuotas(kHKeyCurrentUser, m_links.Title);
    std::vector<std::optional<QuotaStatus>> status;
    std::vector<std::vector<std::string>> rows;
    for (const StoredQuota& stored : quotas) {
        status.push_back(StatusOf(stored));
        QuotaRow row = QuotaRowOf(stored, status.back());
        rows.push_back(
            {row.Name, row.Period, row.Limit, row.Used, row.Percent, row.Forecast, row.LeftPerDay});
    }
    m_quotas = std::move(quotas);
    m_status = std::move(status);
    SetListViewRows(List(m_hwnd), rows);
    for (int i = 0; i < static_cast<int>(m_quotas.size()); ++i)
        if (!keep.empty() && SameQuotaName(m_quotas[static_cast<size_t>(i)].Name, keep))
            Select(i);
    ShowSelected();
}

int frmQuotas::Selected() const {
    if (!m_hwnd)
        return -1;
    const auto row =
        static_cast<int>(SendMessageA(List(m_hwnd), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return row >= 0 && row < static_cast<int>(m_quotas.size()) ? row : -1;
}

void frmQuotas::Select(int row) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = item.stateMask;
    SendMessageA(List(m_hwnd), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    ShowSelected();
}

// The figures of the selected quota in words, its bar, and the commands that need a selection.
void frmQuotas::ShowSelected() {
    const int row = Selected();
    EnableItem(m_hwnd, IDC_cmdEdit, row >= 0);
    EnableItem(m_hwnd, IDC_cmdDelete, row >= 0);
    std::string text;
    if (row >= 0) {
        const StoredQuota& stored = m_quotas[static_cast<size_t>(row)];
        const auto& status = m_status[static_cast<size_t>(row)];
        if (!stored.Value)
            text = stored.Name + " is not in use: " + stored.Fault + ".";
        else if (!status)
            text = stored.Name + ": its use is not known yet.";
        else
            text = QuotaTooltipText(*stored.Value, *status) + ", forecast " +
                   QuotaAmount(status->Forecast, stored.Value->Limit) + " at the period's end";
    }
    SetItemText(m_hwnd, IDC_lblQuota, text);
    InvalidateRect(GetDlgItem(m_hwnd, IDC_picBar), nullptr, TRUE);
}

// A sunken trough the width of the limit, filled as far as the use (red once the limit is reached),
// with a dark mark where the forecast ends.
void frmQuotas::DrawBar(const DRAWITEMSTRUCT& item) const {
    RECT r = item.rcItem;
    DrawEdge(item.hDC, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    FillRect(item.hDC, r, GetSysColor(COLOR_WINDOW));
    const int row = Selected();
    if (row < 0 || !m_quotas[static_cast<size_t>(row)].Value || !m_status[static_cast<size_t>(row)])
        return;
    const QuotaBar bar =
        QuotaBarOf(m_quotas[static_cast<size_t>(row)].Value->Limit, *m_status[static_cast<size_t>(row)]);
    const int width = r.right - r.left;
    RECT used = r;
    used.right = r.left + static_cast<int>(bar.Used * width + 0.5);
    FillRect(item.hDC, used, bar.Over ? RGB(200, 32, 32) : GetSysColor(COLOR_HIGHLIGHT));
    const int mark = std::max(2, DpiForWindow(m_hwnd) / 48);
    RECT forecast = r;
    forecast.left =
        std::clamp(r.left + static_cast<int>(bar.Forecast * width + 0.5) - mark / 2, r.left, r.right - mark);
    forecast.right = forecast.left + mark;
    FillRect(item.hDC, forecast, GetSysColor(COLOR_WINDOWTEXT));
}

void frmQuotas::EditRow(int row) {
    frmQuotaEdit::Setup setup;
    setup.Title = m_links.Title;
    if (row >= 0) {
        setup.Original = m_quotas[static_cast<size_t>(row)].Value;
        setup.StoredName = m_quotas[static_cast<size_t>(row)].Name;
    }
    for (int i = 0; i < static_cast<int>(m_quotas.size()); ++i)
        if (i != row)
            setup.OtherNames.push_back(m_quotas[static_cast<size_t>(i)].Name);
    if (m_links.InterfaceNames)
        setup.Interfaces = m_links.InterfaceNames();
    frmQuotaEdit form(std::move(setup));
    const auto stored = form.Run(m_hwnd);
    // Exit may have come while the form was open.
    if (!stored || !Loaded())
        return;
    Refresh();
    for (int i = 0; i < static_cast<int>(m_quotas.size()); ++i)
        if (SameQuotaName(m_quotas[static_cast<size_t>(i)].Name, *stored))
            Select(i);
    if (m_links.QuotasChanged)
        m_links.QuotasChanged();
}

void frmQuotas::cmdNew_Click() {
    EditRow(-1);
}

void frmQuotas::cmdEdit_Click() {
    const int row = Selected();
    if (row >= 0)
        EditRow(row);
}

void frmQuotas::cmdDelete_Click() {
    const int row = Selected();
    if (row < 0)
        return;
    const std::string name = m_quotas[static_cast<size_t>(row)].Name;
    const std::string question = "Delete the quota \"" + name + "\"?";
    if (MessageBoxA(m_hwnd, question.c_str(), kAppTitle, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    if (!LoggingErrors("frmQuotas_Delete", [&] { DeleteQuota(kHKeyCurrentUser, m_links.Title, name); }))
        MessageBoxA(m_hwnd, "The quota could not be deleted.", kAppTitle, MB_OK | MB_ICONWARNING);
    if (!Loaded())
        return;
    Refresh();
    if (!m_quotas.empty())
        Select(std::min(row, static_cast<int>(m_quotas.size()) - 1));
    if (m_links.QuotasChanged)
        m_links.QuotasChanged();
}

void frmQuotas::cmdClose_Click() {
    UnloadForm();
}

INT_PTR frmQuotas::OtherMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_lvwQuotas)
            return FALSE;
        if (header->code == LVN_ITEMCHANGED)
            ShowSelected();
        else if (header->code == NM_DBLCLK)
            cmdEdit_Click();
        return TRUE;
    }
    case WM_DRAWITEM:
        if (wParam != IDC_picBar)
            return FALSE;
        DrawBar(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_TIMER:
        if (wParam == kRefreshTimer)
            Refresh();
        return TRUE;
    default:
        return FALSE;
    }
}
