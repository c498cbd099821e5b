#pragma once
#include "base/AppInfo.h"
#include "quotas/Quota.h"
#include "quotas/QuotaUsage.h"
#include "resources/resource.h"
#include "winsys/BaseDialog.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

// What the quota dialog reaches outside itself: where each quota stands (nothing while the history
// cannot tell), the interfaces the history has recorded (their descriptions), and the commands it
// gives when the stored quotas change and when it opens or closes.
struct QuotaLinks {
    std::function<std::optional<QuotaStatus>(const Quota&)> StatusOf;
    std::function<std::vector<std::string>()> InterfaceNames;
    std::function<void()> QuotasChanged;
    std::function<void(bool)> LoadedChanged;
    // The quotas live under HKEY_CURRENT_USER\Software\<Title>\Quotas.
    std::string Title = kAppTitle;
};

// The stored quotas in a list with their use, a bar with the forecast's mark for the selected one, and
// New, Edit and Delete. Every change is written at once. Modeless.
class frmQuotas : public ModelessDialog<frmQuotas> {
public:
    static constexpr char kName[] = "frmQuotas";
    static constexpr int kTemplate = IDD_frmQuotas;
    static constexpr int kOkId = IDC_cmdEdit;
    static constexpr int kCancelId = IDC_cmdClose;

    explicit frmQuotas(QuotaLinks links);
    ~frmQuotas();

    static std::span<const DialogCommand<frmQuotas>> Commands();

    // Reads the quotas again and shows them with their use now, keeping the selection by name.
    void Refresh();
    const std::vector<StoredQuota>& Quotas() const { return m_quotas; }
    // The selected row, or -1.
    int Selected() const;
    void Select(int row);

    void cmdNew_Click();
    void cmdEdit_Click();
    void cmdDelete_Click();
    void cmdClose_Click();

private:
    friend class ModelessDialog<frmQuotas>;
    void Form_Load();
    void Form_Unload();
    INT_PTR OtherMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void ShowSelected();
    void DrawBar(const DRAWITEMSTRUCT& item) const;
    // Opens the edit form on `row` (-1 for a new quota) and shows what it stored.
    void EditRow(int row);
    std::optional<QuotaStatus> StatusOf(const StoredQuota& stored) const;

    QuotaLinks m_links;
    std::vector<StoredQuota> m_quotas;
    std::vector<std::optional<QuotaStatus>> m_status;
    UINT_PTR m_timer = 0;
};
