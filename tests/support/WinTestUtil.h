#pragma once
#include "app/SystemInstall.h"
#include "base/mMisc.h"
#include "winsys/DialogMessages.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

// Pumps messages until `done` is true or `timeoutMs` passes; never sleeps blindly.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(timeoutMs - elapsed, 20), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (IsModelessDialogMessage(&msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return true;
}

// Pumps messages for a fixed time (lets timers and posted messages run).
inline void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

// A started process that is ended on every path.
class ChildProcess {
public:
    explicit ChildProcess(const std::string& commandLine) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string cmd = commandLine;
        if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi))
            CloseHandle(m_pi.hThread);
        else
            m_pi = {};
    }
    // A process that never started has no handle: the calls fail harmlessly.
    ~ChildProcess() {
        if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_pi.hProcess, 99);
        CloseHandle(m_pi.hProcess);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The exit code once the process has ended within the time; STILL_ACTIVE while it runs on.
    DWORD ExitCode(DWORD timeoutMs) const {
        DWORD code = STILL_ACTIVE;
        WaitForSingleObject(m_pi.hProcess, timeoutMs);
        GetExitCodeProcess(m_pi.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION m_pi{};
};

// The popup menu on the screen, of any process, or null.
inline HWND VisibleMenu() {
    for (HWND menu = nullptr; (menu = FindWindowExA(nullptr, menu, "#32768", nullptr));)
        if (IsWindowVisible(menu))
            return menu;
    return nullptr;
}

inline bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b);
}

// A Unix path as the Wine programs see it: the root of the Unix file system is drive Z:.
inline std::string WinePath(std::string path) {
    if (!path.empty() && path[0] == '/') {
        std::replace(path.begin(), path.end(), '/', '\\');
        path = "Z:" + path;
    }
    return path;
}

inline const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The controller as the program runs it: beside this executable, on the system's network and services.
// Returns the executable's path.
inline std::string UseTheSystem() {
    InstallSystemServices();
    char path[MAX_PATH] = {};
    return std::string(path, GetModuleFileNameA(nullptr, path, sizeof path));
}

// The temporary folder, with its final backslash.
inline std::string TempFolder() {
    char path[MAX_PATH] = {};
    return std::string(path, GetTempPathA(MAX_PATH, path));
}

// Deletes a folder with everything in it; nothing happens when there is none.
inline void RemoveFolderTree(const std::string& folder) {
    SHFILEOPSTRUCTA remove{};
    const std::string from = folder + '\0'; // a list of names, ended by an empty one
    remove.wFunc = FO_DELETE;
    remove.pFrom = from.c_str();
    remove.fFlags = FOF_NO_UI;
    SHFileOperationA(&remove);
}

// A value under HKEY_CURRENT_USER as text (the program writes only text), or "<missing>".
inline std::string ReadValue(const char* key, const char* name) {
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return "<missing>";
    return data;
}

inline void WriteValue(const char* key, const char* name, const std::string& text) {
    RegSetKeyValueA(HKEY_CURRENT_USER, key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

// The messages of a log file, without their time stamps; every line must end in CR LF.
inline std::vector<std::string> LogMessages(const std::string& path) {
    std::stringstream all;
    all << std::ifstream(path, std::ios::binary).rdbuf();
    const std::string text = all.str();
    std::vector<std::string> lines;
    for (size_t start = 0, end = 0; start < text.size(); start = end + 2) {
        end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "a line without CR LF: " << text.substr(start);
            break;
        }
        const std::string line = text.substr(start, end - start);
        const size_t colon = line.find(": ");
        lines.push_back(colon == std::string::npos ? "<no time stamp> " + line : line.substr(colon + 2));
    }
    return lines;
}

inline BOOL CALLBACK CountBookedProp(HWND hwnd, LPSTR name, HANDLE, ULONG_PTR count) {
    // The system keeps properties of its own (some named by atoms); the subclassing books start with
    // the window's handle in decimal.
    const std::string handle = std::to_string(reinterpret_cast<LONG_PTR>(hwnd));
    if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) != 0 && std::string(name).starts_with(handle))
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// How many subclassing books a window carries: none once its last client has gone.
inline int BookedProps(HWND hwnd) {
    int count = 0;
    EnumPropsExA(hwnd, CountBookedProp, reinterpret_cast<LPARAM>(&count));
    return count;
}

struct WindowDestroyer {
    void operator()(HWND hwnd) const { DestroyWindow(hwnd); }
};
using TestWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// A top-level window of a class registered here with `proc`.
inline TestWindow MakeTestWindow(WNDPROC proc, const char* className) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc); // fails harmlessly when the class is already there
    return TestWindow(CreateWindowExA(0, className, className, WS_OVERLAPPEDWINDOW, 100, 100, 300, 200,
                                      nullptr, nullptr, wc.hInstance, nullptr));
}
