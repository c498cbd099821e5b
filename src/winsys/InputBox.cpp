#include "winsys/InputBox.h"
#include "resources/resource.h"
#include "winsys/BaseDialog.h"

namespace {
class InputBoxDialog : public BaseDialog<InputBoxDialog> {
public:
    InputBoxDialog(const std::string& prompt, const std::string& title, const std::string& text)
        : m_prompt(prompt), m_title(title), m_text(text) {}

    std::string Ask(HWND owner) { return RunModal(IDD_InputBox, owner) == IDOK ? m_text : std::string(); }

    INT_PTR HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM) {
        switch (msg) {
        case WM_INITDIALOG:
            SetWindowTextA(hwnd, m_title.c_str());
            SetItemText(hwnd, IDC_Label1, m_prompt);
            SetItemText(hwnd, IDC_txtInput, m_text);
            // The default answer selected, so that typing replaces it.
            SendDlgItemMessageA(hwnd, IDC_txtInput, EM_SETSEL, 0, -1);
            SetFocus(GetDlgItem(hwnd, IDC_txtInput));
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                m_text = ItemText(hwnd, IDC_txtInput);
                EndDialog(hwnd, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(hwnd, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
        }
    }

private:
    std::string m_prompt;
    std::string m_title;
    std::string m_text;
};
} // namespace

std::string InputBox(HWND owner, const std::string& prompt, const std::string& title,
                     const std::string& defaultText) {
    InputBoxDialog dialog(prompt, title, defaultText);
    return dialog.Ask(owner);
}
