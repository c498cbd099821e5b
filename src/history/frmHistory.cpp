#include "history/frmHistory.h"
#include "base/AppInfo.h"
#include "history/HistoryChartView.h"
#include "winsys/DibCanvas.h"
#include "winsys/ListView.h"
#include "winsys/cCommonDialog.h"

#include <commctrl.h>

#include <utility>

namespace {
const DialogCommand<frmHistory> kCommands[] = {
    {IDC_optDay, &frmHistory::optPeriod_Click},
    {IDC_optMonth, &frmHistory::optPeriod_Click},
    {IDC_optYear, &frmHistory::optPeriod_Click},
    {IDC_cmdPrevious, &frmHistory::cmdPrevious_Click},
    {IDC_cmdNext, &frmHistory::cmdNext_Click},
    {IDC_cmbInterface, &frmHistory::cmbInterface_Click, CBN_SELCHANGE},
    {IDC_cmdExport, &frmHistory::cmdExport_Click},
    {IDC_cmdQuotas, &frmHistory::cmdQuotas_Click},
    {IDC_cmdClose, &frmHistory::cmdClose_Click},
};

const char* const kFirstHeadings[] = {"Hour", "Day", "Month"};

int64_t SystemUtcNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<int64_t>(ticks / 10000000) - 11644473600;
}

// Interface names are kept in UTF-8; the list shows them whole in any code page.
void AddWideEntry(HWND dialog, int id, const std::string& utf8, LPARAM data) {
    std::wstring wide(utf8.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(
        CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), static_cast<int>(wide.size()))));
    const auto index =
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    if (index >= 0)
        SendDlgItemMessageW(dialog, id, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
}

std::string SystemMessage(DWORD error) {
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        error, 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message.empty() ? "Error " + std::to_string(error) : message;
}

// The whole file or nothing: written beside its place, flushed, then moved over what was there.
DWORD WriteWholeFile(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".partial";
    FileHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return GetLastError();
    DWORD written = 0;
    const bool whole =
        WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && FlushFileBuffers(file.Get());
    DWORD error = ERROR_SUCCESS;
    if (!whole)
        error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WRITE_FAULT;
    file.Reset();
    if (whole &&
        !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != ERROR_SUCCESS)
        DeleteFileA(temporary.c_str());
    return error;
}
} // namespace

frmHistory::frmHistory(HistoryLinks links) : ModelessDialog(links.LoadedChanged), m_links(std::move(links)) {}

frmHistory::~frmHistory() {
    UnloadForm();
}

std::span<const DialogCommand<frmHistory>> frmHistory::Commands() {
    return kCommands;
}

void frmHistory::Show() {
    EnsureListViewClass();
    ModelessDialog::Show();
}

CivilDate frmHistory::Today() const {
    const int64_t now = m_links.UtcNow ? m_links.UtcNow() : SystemUtcNow();
    return CivilFromDays(FloorDiv(m_links.Calendar().ToLocal(now), 86400));
}

void frmHistory::Form_Load() {
    SetWindowTextA(m_hwnd, (std::string(kAppTitle) + " Usage History").c_str());
    m_period = HistoryPeriod::Day;
    m_date = Today();
    CheckRadioButton(m_hwnd, IDC_optDay, IDC_optYear, IDC_optDay);
    EnableItem(m_hwnd, IDC_cmdQuotas, static_cast<bool>(m_links.OpenQuotas));

    HWND list = GetDlgItem(m_hwnd, IDC_lvwPeriods);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    RECT client{};
    GetClientRect(list, &client);
    // A quarter of the width each, less room for the scroll bar.
    const int column = (client.right - GetSystemMetrics(SM_CXVSCROLL)) / 4;
    const char* const headings[] = {kFirstHeadings[0], "In", "Out", "Total"};
    for (int i = 0; i < 4; ++i)
        AddListViewColumn(list, i, headings[i], column, i > 0);
    FillInterfaces();
    Refresh();
}

void frmHistory::FillInterfaces() {
    const HistoryData& data = m_links.Data();
    m_interfaceCount = data.Interfaces().size();
    if (m_interface != kAllInterfaces && m_interface >= m_interfaceCount)
        m_interface = kAllInterfaces;
    ClearList(m_hwnd, IDC_cmbInterface);
    AddWideEntry(m_hwnd, IDC_cmbInterface, InterfaceLabel(data, kAllInterfaces), static_cast<LPARAM>(-1));
    for (std::size_t i = 0; i < m_interfaceCount; ++i)
        AddWideEntry(m_hwnd, IDC_cmbInterface, InterfaceLabel(data, i), static_cast<LPARAM>(i));
    SelectListEntry(m_hwnd, IDC_cmbInterface,
                    m_interface == kAllInterfaces ? 0 : static_cast<int>(m_interface) + 1);
    FitDroppedWidth(m_hwnd, IDC_cmbInterface);
}

void frmHistory::Refresh() {
    if (!Loaded())
        return;
    const HistoryData& data = m_links.Data();
    if (data.Interfaces().size() != m_interfaceCount)
        FillInterfaces();
    m_buckets = Aggregate(data, m_links.Calendar(), m_period, m_date, m_interface);
    SetItemText(m_hwnd, IDC_Label1, PeriodName(m_period, m_date));
    SetItemText(m_hwnd, IDC_Label2, TotalsText(m_buckets, m_links.ReadOnly && m_links.ReadOnly()));
    EnableItem(m_hwnd, IDC_cmdNext, CanStepForward(m_period, m_date, Today()));
    FillList();
    InvalidateRect(GetDlgItem(m_hwnd, IDC_picChart), nullptr, FALSE);
}

void frmHistory::FillList() {
    HWND list = GetDlgItem(m_hwnd, IDC_lvwPeriods);
    SetListViewHeading(list, 0, kFirstHeadings[static_cast<int>(m_period)]);
    std::vector<std::vector<std::string>> rows;
    rows.reserve(m_buckets.size());
    for (const HistoryBucket& b : m_buckets)
        rows.push_back({ListName(m_period, b), FormatOctets(b.in), FormatOctets(b.out),
                        FormatOctets(Together(b.in, b.out))});
    SetListViewRows(list, rows);
}

void frmHistory::DrawChart(HDC dc, int width, int height) const {
    const auto font = reinterpret_cast<HFONT>(SendMessageA(m_hwnd, WM_GETFONT, 0, 0));
    PaintHistoryChart(dc, width, height, font, m_period, m_buckets);
}

INT_PTR frmHistory::OtherMessage(UINT msg, WPARAM, LPARAM lParam) {
    if (msg != WM_DRAWITEM)
        return FALSE;
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->CtlID != IDC_picChart)
        return FALSE;
    const RECT& r = item->rcItem;
    // Drawn off the screen and shown at once, so that a refresh never flickers.
    DibCanvas canvas(r.right - r.left, r.bottom - r.top);
    if (!canvas.Valid())
        return TRUE;
    DrawChart(canvas.Dc(), canvas.Width(), canvas.Height());
    BitBlt(item->hDC, r.left, r.top, canvas.Width(), canvas.Height(), canvas.Dc(), 0, 0, SRCCOPY);
    return TRUE;
}

void frmHistory::optPeriod_Click() {
    const HistoryPeriod chosen = IsItemChecked(m_hwnd, IDC_optDay)     ? HistoryPeriod::Day
                                 : IsItemChecked(m_hwnd, IDC_optMonth) ? HistoryPeriod::Month
                                                                       : HistoryPeriod::Year;
    if (chosen == m_period)
        return;
    // Within the period that holds today, the new one is the one that holds today too.
    const CivilDate today = Today();
    if (StepPeriod(m_period, m_date, 0) == StepPeriod(m_period, today, 0))
        m_date = today;
    m_period = chosen;
    Refresh();
}

void frmHistory::Step(int steps) {
    m_date = StepPeriod(m_period, m_date, steps);
    Refresh();
}

void frmHistory::cmdPrevious_Click() {
    Step(-1);
}

void frmHistory::cmdNext_Click() {
    if (CanStepForward(m_period, m_date, Today()))
        Step(1);
}

void frmHistory::cmbInterface_Click() {
    const int index = SelectedListEntry(m_hwnd, IDC_cmbInterface);
    if (index < 0)
        return;
    const auto data = ListData(m_hwnd, IDC_cmbInterface, index);
    m_interface = data < 0 ? kAllInterfaces : static_cast<std::size_t>(data);
    Refresh();
}

void frmHistory::cmdExport_Click() {
    OpenFileArgs args{.Filename = ExportFileName(m_period, m_date),
                      .HideReadOnly = true,
                      .Filter = "CSV files (*.csv)|*.csv|All files (*.*)|*.*",
                      .DlgTitle = "Export Usage History",
                      .DefaultExt = "csv",
                      .Owner = HandleToLong(m_hwnd),
                      .flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST};
    cCommonDialog dialog;
    if (dialog.VBGetSaveFileName(args))
        ExportTo(args.Filename);
}

bool frmHistory::ExportTo(const std::string& path) {
    const std::string csv = ExportCsv(m_links.Data(), m_links.Calendar(), m_period, m_date, m_interface);
    const DWORD error = WriteWholeFile(path, csv);
    if (error == ERROR_SUCCESS)
        return true;
    const std::string text =
        "The usage history could not be exported to\n" + path + "\n\n" + SystemMessage(error);
    MessageBoxA(m_hwnd, text.c_str(), kAppTitle, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void frmHistory::cmdQuotas_Click() {
    if (m_links.OpenQuotas)
        m_links.OpenQuotas();
}

void frmHistory::cmdClose_Click() {
    UnloadForm();
}
