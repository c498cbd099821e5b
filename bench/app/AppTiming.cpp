// What the running program costs (run under Wine by tools/bench).
//   app_timing                      the controller in this process: one sample with the meter hidden
//                                   and shown, and one opening of the menu, in microseconds
//   app_timing --program [SECONDS]  Vantorel.exe itself, from a private copy, sampling for SECONDS
//                                   (default 60) with the meter shown and then hidden: its CPU time
//                                   and memory; tools/bench makes loopback traffic meanwhile
// Both keep their settings under HKCU\Software\Vantorel of the prefix they run in and remove them.
#include "app/frmMain.h"
#include "app/mMisc.h"
#include "graph/cGraph.h"
#include "net/NetSeamsWin32.h"
#include "settings/SystemServices.h"

#include <windows.h>

#include <iphlpapi.h>
#include <psapi.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
const char kAppKey[] = "Software\\Vantorel";

void WriteValue(const char* key, const char* name, const std::string& text) {
    RegSetKeyValueA(HKEY_CURRENT_USER, key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

// A fresh settings key: not a first run (no balloon, no Run value), the meter as asked.
void PrepareSettings(bool meterShown) {
    SHDeleteKeyA(HKEY_CURRENT_USER, kAppKey);
    WriteValue("Software\\Vantorel\\Settings", "FirstRun", "0");
    WriteValue("Software\\Vantorel\\Graph", "ShowOnStartup", meterShown ? "True" : "False");
}

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency;
}

void PumpPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// ---- the controller in this process ----

// Samples as traffic brings them: a new tooltip every time, a new tray picture now and then.
double MicrosPerSample(frmMain& form, int count, uint32_t& sample) {
    const double start = Now();
    for (int i = 0; i < count; ++i, ++sample) {
        const uint32_t state = (sample / 10) % 4;
        const int32_t wave = static_cast<int32_t>(1 + (sample * 7919u) % 300000u);
        form.NetStat_Status(state < 2 ? wave : 0, state % 2 == 0 ? wave / 3 + 1 : 0);
        if (i % 50 == 49)
            PumpPending();
    }
    PumpPending();
    return (Now() - start) * 1e6 / count;
}

int InProcess() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    SetExecutablePath(std::string(path, n));
    UseSystemNetworkSeams();
    UseSystemServices();
    PrepareSettings(false);

    {
        frmMain form;
        form.Load(); // a controller that cannot be loaded ends the program with a report
        // The least of several rounds, taken in turns with the meter hidden and shown: the figure least
        // disturbed by the rest of the machine (the tray's shell runs in another process).
        uint32_t sample = 0;
        constexpr int kRounds = 5, kSamples = 400;
        MicrosPerSample(form, 1000, sample); // fills the history first
        double hidden = 1e30, shown = 1e30;
        for (int round = 0; round < kRounds; ++round) {
            hidden = std::min(hidden, MicrosPerSample(form, kSamples, sample));
            form.mnuShow_Click();
            PumpPending();
            MicrosPerSample(form, 20, sample); // the first paint of the window
            shown = std::min(shown, MicrosPerSample(form, kSamples, sample));
            form.mnuShow_Click();
            PumpPending();
        }
        std::printf(
            "one sample (NetStat_Status: tray picture and tooltip, graph, statistics), best of %d x %d:\n",
            kRounds, kSamples);
        std::printf("  meter hidden  %8.1f us\n", hidden);
        std::printf("  meter shown   %8.1f us (graph drawn and painted)\n", shown);

        constexpr int kOpenings = 20;
        double opening = 1e30;
        for (int round = 0; round < kRounds; ++round) {
            const double start = Now();
            for (int i = 0; i < kOpenings; ++i)
                form.mnuMain_Click();
            opening = std::min(opening, (Now() - start) * 1e6 / kOpenings);
        }
        std::printf("one menu opening (mnuMain_Click: theme list and six pictures), best of %d x %d:\n",
                    kRounds, kOpenings);
        std::printf("  %8.1f us\n", opening);
        form.mnuExit_Click();
    }
    SHDeleteKeyA(HKEY_CURRENT_USER, kAppKey);
    return 0;
}

// ---- the program as its own process ----

std::string BuiltExePath() {
    std::string path = VANTOREL_EXE;
    if (!path.empty() && path[0] == '/') {
        std::replace(path.begin(), path.end(), '/', '\\');
        path = "Z:" + path;
    }
    return path;
}

double Millis(const FILETIME& f) {
    ULARGE_INTEGER u;
    u.LowPart = f.dwLowDateTime;
    u.HighPart = f.dwHighDateTime;
    return static_cast<double>(u.QuadPart) / 1e4;
}

// Wine's GetProcessTimes for another process leaves its user time out (a second of busy loop in a
// child reads as 0 ms there), while its thread times come from the kernel's accounts. The larger
// figure is the honest one on either system (the threads' figure misses threads that have ended).
struct CpuTime {
    double processMs = 0; // user + kernel from GetProcessTimes
    double threadsMs = 0; // user + kernel of the live threads from GetThreadTimes
    int threads = 0;
};

CpuTime MeasureCpu(HANDLE process, DWORD pid) {
    CpuTime t;
    FILETIME created, exited, kernel, user;
    if (GetProcessTimes(process, &created, &exited, &kernel, &user))
        t.processMs = Millis(kernel) + Millis(user);
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return t;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != pid)
            continue;
        HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID);
        if (!thread)
            continue;
        if (GetThreadTimes(thread, &created, &exited, &kernel, &user)) {
            t.threadsMs += Millis(kernel) + Millis(user);
            ++t.threads;
        }
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return t;
}

// Octets moved through every interface so far (the counters are 32-bit and wrap).
uint64_t InterfaceOctets(std::vector<uint32_t>& last, uint64_t& total) {
    ULONG size = 0;
    GetIfTable(nullptr, &size, FALSE);
    std::vector<unsigned char> buffer(size + sizeof(MIB_IFROW));
    size = static_cast<ULONG>(buffer.size());
    auto* table = reinterpret_cast<MIB_IFTABLE*>(buffer.data());
    if (GetIfTable(table, &size, FALSE) != NO_ERROR)
        return total;
    last.resize(std::max<size_t>(last.size(), table->dwNumEntries * 2), 0);
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const uint32_t in = table->table[i].dwInOctets, out = table->table[i].dwOutOctets;
        total += static_cast<uint32_t>(in - last[2 * i]) + static_cast<uint32_t>(out - last[2 * i + 1]);
        last[2 * i] = in;
        last[2 * i + 1] = out;
    }
    return total;
}

struct WindowSearch {
    DWORD pid;
    const char* cls;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (owner == s->pid && std::strcmp(cls, s->cls) == 0) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindProcessWindow(DWORD pid, const char* className) {
    WindowSearch s{pid, className, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

template <class Done>
bool WaitUntil(Done done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

bool RunProgram(const std::string& exe, bool meterShown, int seconds) {
    PrepareSettings(meterShown);
    const char* mode = meterShown ? "meter shown" : "meter hidden";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string cmd = '"' + exe + '"';
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::printf("%s: Vantorel.exe could not be started (%lu)\n", mode, GetLastError());
        return false;
    }
    CloseHandle(pi.hThread);
    bool ok = true;
    HWND main = nullptr;
    if (!WaitUntil(
            [&] {
                main = FindProcessWindow(pi.dwProcessId, "VantorelMain");
                return main && (!meterShown || FindProcessWindow(pi.dwProcessId, "VantorelMeter"));
            },
            20000)) {
        std::printf("%s: the program's windows never appeared\n", mode);
        ok = false;
    } else {
        Sleep(1000); // start-up settles; the figures below are of the sampling that follows
        std::vector<uint32_t> counters;
        uint64_t octets = 0;
        InterfaceOctets(counters, octets);
        octets = 0;
        const CpuTime startup = MeasureCpu(pi.hProcess, pi.dwProcessId);
        const double begin = Now();
        Sleep(static_cast<DWORD>(seconds) * 1000);
        const CpuTime after = MeasureCpu(pi.hProcess, pi.dwProcessId);
        const double elapsed = Now() - begin;
        InterfaceOctets(counters, octets);
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
        const bool meterThere = FindProcessWindow(pi.dwProcessId, "VantorelMeter") != nullptr;
        if (WaitForSingleObject(pi.hProcess, 0) != WAIT_TIMEOUT || meterThere != meterShown) {
            std::printf("%s: the program ended or its meter changed during the run\n", mode);
            ok = false;
        }
        const double byProcess = after.processMs - startup.processMs;
        const double byThreads = after.threadsMs - startup.threadsMs;
        const double cpu = std::max(byProcess, byThreads);
        std::printf("%s, %.0f s of sampling, interfaces moving %.0f kB/s:\n", mode, elapsed,
                    static_cast<double>(octets) / 1024.0 / elapsed);
        std::printf("  CPU (user + kernel)  %6.0f ms = %5.2f %% of one core\n", cpu, cpu / (elapsed * 10.0));
        std::printf(
            "    GetProcessTimes %.0f ms (%.0f since start); GetThreadTimes, %d live threads, %.0f ms (%.0f "
            "since start)\n",
            byProcess, after.processMs, after.threads, byThreads, after.threadsMs);
        const auto kib = [](SIZE_T bytes) { return static_cast<unsigned long long>(bytes / 1024); };
        std::printf("  working set %8llu KiB, peak %llu KiB; private commit %llu KiB\n",
                    kib(memory.WorkingSetSize), kib(memory.PeakWorkingSetSize),
                    kib(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage));
    }
    if (main)
        PostMessageA(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) {
        std::printf("%s: the program did not end on a close request\n", mode);
        TerminateProcess(pi.hProcess, 99);
        ok = false;
    }
    CloseHandle(pi.hProcess);
    SHDeleteKeyA(HKEY_CURRENT_USER, kAppKey);
    return ok;
}

int Program(int seconds) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "vantorel-timing-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string exe = folder + "\\Vantorel.exe";
    if (!CopyFileA(BuiltExePath().c_str(), exe.c_str(), FALSE)) {
        std::printf("could not copy %s\n", BuiltExePath().c_str());
        return 1;
    }
    const bool shown = RunProgram(exe, true, seconds);
    const bool hidden = RunProgram(exe, false, seconds);
    DeleteFileA(exe.c_str());
    DeleteFileA((folder + "\\VantorelLog.txt").c_str());
    RemoveDirectoryA(folder.c_str());
    return shown && hidden ? 0 : 1;
}
} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc >= 2 && std::strcmp(argv[1], "--program") == 0) {
        const int seconds = argc >= 3 ? std::atoi(argv[2]) : 60;
        if (seconds < 1) {
            std::printf("usage: app_timing [--program [SECONDS]]\n");
            return 2;
        }
        return Program(seconds);
    }
    if (argc >= 2) {
        std::printf("usage: app_timing [--program [SECONDS]]\n");
        return 2;
    }
    return InProcess();
}
