#pragma once
#include <windows.h>

#include <functional>
#include <string>

// Answers the next modal dialog box of this thread from inside the loop that shows it, as a user
// would: a thread timer waits for a visible dialog owned by `owner` (null: one without owner) and
// hands it to `answer` once.
class ModalAnswer {
public:
    ModalAnswer(HWND owner, std::function<void(HWND)> answer) : m_owner(owner), m_answer(std::move(answer)) {
        s_current = this;
        m_timer = SetTimer(nullptr, 0, 50, &ModalAnswer::Tick);
    }
    ~ModalAnswer() {
        KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;

    bool Answered() const { return m_answered; }

    static void Click(HWND dialog, int id) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalAnswer* self = s_current;
        if (!self || self->m_answered)
            return;
        struct Search {
            HWND owner;
            HWND found;
        } search{self->m_owner, nullptr};
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND hwnd, LPARAM lp) -> BOOL {
                auto& s = *reinterpret_cast<Search*>(lp);
                char cls[16] = {};
                GetClassNameA(hwnd, cls, sizeof cls);
                if (std::string(cls) == "#32770" && IsWindowVisible(hwnd) &&
                    GetWindow(hwnd, GW_OWNER) == s.owner)
                    s.found = hwnd;
                return !s.found;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            return;
        self->m_answered = true;
        self->m_answer(search.found);
    }

    static inline ModalAnswer* s_current = nullptr;
    HWND m_owner;
    std::function<void(HWND)> m_answer;
    UINT_PTR m_timer = 0;
    bool m_answered = false;
};
