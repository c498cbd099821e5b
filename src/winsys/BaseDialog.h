#pragma once
#include "base/mLogging.h"
#include "base/mMisc.h"
#include "winsys/DialogMessages.h"
#include "winsys/FatalError.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <span>
#include <string>

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

// One row of a modeless dialog's command table: a control and the notification it sends, and the
// handler that runs for it.
template <class Derived>
struct DialogCommand {
    int Id;
    void (Derived::*Handler)();
    WORD Code = BN_CLICKED;
};

// What every modeless dialog of the program shares: one window at a time, its load and unload lines
// in the log, an unload that runs once, and WM_COMMAND dispatched through the derived class's table.
// Enter stands for the control `Derived::kOkId` (nothing when 0), Esc and the close box for
// `Derived::kCancelId`. The derived class names itself in `kName`, its template in `kTemplate`, and
// provides Form_Load and a static Commands(); it may add Form_Unload, Form_Destroyed, run after the
// window is gone, and OtherMessage for the messages the table does not cover. Its destructor calls
// UnloadForm, as the derived part is gone by the time this one's runs.
template <class Derived>
class ModelessDialog : public BaseDialog<Derived>, public ILoadedForm {
public:
    // Loads the dialog if it is not loaded; an open one comes to the front.
    void Show() { this->ShowModeless(Derived::kTemplate); }

    void UnloadForm() override {
        if (!m_loaded)
            return;
        m_loaded = false;
        WriteLog(std::string(Derived::kName) + "_Unload");
        self().Form_Unload();
        if (m_loadedChanged)
            m_loadedChanged(false);
        UnregisterLoadedForm(this);
        if (this->m_hwnd)
            DestroyWindow(this->m_hwnd);
        self().Form_Destroyed();
    }

    INT_PTR HandleMessage(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
        case WM_INITDIALOG:
            m_loaded = true;
            RegisterLoadedForm(this);
            WriteLog(std::string(Derived::kName) + "_Load");
            self().Form_Load();
            if (m_loadedChanged)
                m_loadedChanged(true);
            return TRUE;
        case WM_COMMAND:
            if (Dispatch(LOWORD(wParam), HIWORD(wParam)))
                return TRUE;
            return self().OtherMessage(msg, wParam, lParam);
        case WM_CLOSE:
            Dispatch(Derived::kCancelId, BN_CLICKED);
            return TRUE;
        default:
            return self().OtherMessage(msg, wParam, lParam);
        }
    }

protected:
    // `loadedChanged` hears of every load and unload, after the dialog's own handler.
    explicit ModelessDialog(std::function<void(bool)> loadedChanged = {})
        : m_loadedChanged(std::move(loadedChanged)) {}
    ~ModelessDialog() = default;

    bool Loaded() const { return m_loaded; }

    void Form_Unload() {}
    void Form_Destroyed() {}
    INT_PTR OtherMessage(UINT, WPARAM, LPARAM) { return FALSE; }

private:
    Derived& self() { return static_cast<Derived&>(*this); }

    bool Dispatch(int id, WORD code) {
        if (code == BN_CLICKED && id == IDOK) {
            if (Derived::kOkId == 0)
                return true; // there is nothing to confirm
            id = Derived::kOkId;
        } else if (code == BN_CLICKED && id == IDCANCEL) {
            id = Derived::kCancelId;
        }
        for (const DialogCommand<Derived>& command : Derived::Commands()) {
            if (command.Id == id && command.Code == code) {
                (self().*command.Handler)();
                return true;
            }
        }
        return false;
    }

    std::function<void(bool)> m_loadedChanged;
    bool m_loaded = false;
};
