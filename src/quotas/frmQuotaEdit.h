#pragma once
#include "quotas/Quota.h"
#include "winsys/BaseDialog.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The edit form of one quota, modal: name, limit in MB or GB, period with its start, what counts,
// interface and warning levels. OK checks the entries and stores the quota; a fault or a refused write
// is shown and the form stays open with what was entered.
class frmQuotaEdit : public BaseDialog<frmQuotaEdit> {
public:
    struct Setup {
        // The quota being edited: none for a new one, and for a faulty one, which is made anew under
        // its stored name.
        std::optional<Quota> Original;
        std::string StoredName;              // the key it replaces, "" for a new quota
        std::vector<std::string> OtherNames; // the other stored quotas
        std::vector<std::string> Interfaces; // recorded interface descriptions
        std::string Title;
    };
    explicit frmQuotaEdit(Setup setup) : m_setup(std::move(setup)) {}

    // The name stored under, or nothing when the form was cancelled.
    std::optional<std::string> Run(HWND owner);

    INT_PTR HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    void Form_Load();
    void cmbPeriod_Click();
    void cmdOk_Click();

    Setup m_setup;
    std::string m_stored;
};
