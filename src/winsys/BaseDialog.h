#pragma once
#include "winsys/DialogMessages.h"
#include "winsys/FatalError.h"

#include <windows.h>

#include <exception>

// The dialog counterpart of BaseWindow: a dialog made from a template in the resources keeps `this`
// from WM_INITDIALOG and forwards every later message to its HandleMessage, which returns TRUE for a
// message it handled. An exception that escapes a handler ends the program with a report.
template <class Derived>
class BaseDialog {
public:
    BaseDialog() = default;
    BaseDialog(const BaseDialog&) = delete;
    BaseDialog& operator=(const BaseDialog&) = delete;

    HWND Window() const { return m_hwnd; }

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        Derived* self = nullptr;
        if (msg == WM_INITDIALOG) {
            self = reinterpret_cast<Derived*>(lParam);
            SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
            self->m_hwnd = hwnd;
        } else {
            self = reinterpret_cast<Derived*>(GetWindowLongPtrA(hwnd, DWLP_USER));
        }
        if (!self)
            return FALSE;
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrA(hwnd, DWLP_USER, 0);
            RemoveModelessDialog(hwnd);
            self->m_hwnd = nullptr;
            return FALSE;
        }
        try {
            return self->HandleMessage(hwnd, msg, wParam, lParam);
        } catch (const std::exception& error) {
            ReportFatalError(error);
        }
    }

protected:
    // A modeless dialog: the message loop gives it Tab, arrows, Enter and Esc like any dialog.
    HWND CreateModeless(int templateId, HWND owner = nullptr) {
        HWND hwnd = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner,
                                       &BaseDialog::DialogProc,
                                       reinterpret_cast<LPARAM>(static_cast<Derived*>(this)));
        if (hwnd) {
            AddModelessDialog(hwnd);
            SetProgramIcon(hwnd);
        }
        return hwnd;
    }

    // Opens the modeless dialog, or brings it to the front when it is open already: one window only.
    void ShowModeless(int templateId) {
        if (m_hwnd) {
            BringToFront(m_hwnd);
        } else if (CreateModeless(templateId)) {
            ShowWindow(m_hwnd, SW_SHOW);
            SetForegroundWindow(m_hwnd);
        }
    }

    // A modal dialog; returns what EndDialog was given, or -1 when the dialog could not be made.
    INT_PTR RunModal(int templateId, HWND owner) {
        return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner,
                               &BaseDialog::DialogProc,
                               reinterpret_cast<LPARAM>(static_cast<Derived*>(this)));
    }

    // The derived object is gone by now: the window's last messages find no object.
    ~BaseDialog() {
        if (m_hwnd) {
            SetWindowLongPtrA(m_hwnd, DWLP_USER, 0);
            RemoveModelessDialog(m_hwnd);
            DestroyWindow(m_hwnd);
        }
    }

    HWND m_hwnd = nullptr;
};
