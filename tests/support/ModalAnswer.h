#pragma once
#include <windows.h>

#include <functional>
#include <string>

// Answers the next dialog box of this thread owned by `owner` (null: one without owner) from inside
// the loop that shows it, as a user would: a thread timer waits for it and hands it to `answer` once.
class ModalAnswer {
public:
    ModalAnswer(HWND owner, std::function<void(HWND)> answer) : m_owner(owner), m_answer(std::move(answer)) {
        s_current = this;
        m_timer = SetTimer(nullptr, 0, 50, &Tick);
    }
    ~ModalAnswer() {
        KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    bool Answered() const { return m_answered; }

    static void Click(HWND dialog, int id) {
        PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(id),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

private:
    static BOOL CALLBACK Match(HWND hwnd, LPARAM) {
        char cls[16] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        if (std::string(cls) != "#32770" || !IsWindowVisible(hwnd) ||
            GetWindow(hwnd, GW_OWNER) != s_current->m_owner)
            return TRUE;
        s_current->m_answered = true;
        s_current->m_answer(hwnd);
        return FALSE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (s_current && !s_current->m_answered)
            EnumThreadWindows(GetCurrentThreadId(), &Match, 0);
    }

    static inline ModalAnswer* s_current = nullptr;
    HWND m_owner;
    std::function<void(HWND)> m_answer;
    UINT_PTR m_timer = 0;
    bool m_answered = false;
};
