// What the running program costs (run under Wine by tools/bench).
//   app_timing                      the controller in this process: one sample with the meter hidden
//                                   and shown, and one opening of the menu, in microseconds
//   app_timing --program [SECONDS [PROGRAM YARDSTICK]]
//                                   Vantorel.exe itself, from a private copy, sampling for SECONDS
//                                   (default 60) with the meter shown, beside the minimal meter (the
//                                   yardstick), and then hidden: CPU time, memory and the ratios of
//                                   the two programs; tools/bench makes loopback traffic meanwhile
// Both keep their settings under HKCU\Software\Vantorel of the prefix they run in and remove them.
#include "app/SystemInstall.h"
#include "app/frmMain.h"
#include "base/mMisc.h"
#include "graph/cGraph.h"

#include <windows.h>

#include <iphlpapi.h>
#include <psapi.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {
const char kAppKey[] = "Software\\Vantorel";

void WriteValue(const char* key, const char* name, const std::string& text) {
    RegSetKeyValueA(HKEY_CURRENT_USER, key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

// A fresh settings key: not a first run (no balloon, no Run value), the meter as asked, watching the
// loopback interface that tools/traffic keeps busy (All Interfaces leaves loopback out).
void PrepareSettings(bool meterShown) {
    SHDeleteKeyA(HKEY_CURRENT_USER, kAppKey);
    WriteValue("Software\\Vantorel\\Settings", "FirstRun", "0");
    WriteValue("Software\\Vantorel\\Settings", "Interface", "lo");
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
    InstallSystemServices();
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

// A Unix path as Wine programs see it (the Unix root is drive Z:).
std::string WinePath(std::string path) {
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
    double kernelMs = -1; // the Linux kernel's own account under Wine; -1 elsewhere
};

// Both Win32 figures come in 10 ms ticks under Wine, too coarse for a program that needs about 1 ms
// a second. The kernel counts nanoseconds on the CPU per thread (/proc/PID/task/*/schedstat); the
// Wine process is the one whose command line is the program's Windows path. 0 when none is found.
std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

template <class Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do
        if (found.cFileName[0] >= '0' && found.cFileName[0] <= '9')
            visit(std::string(found.cFileName));
    while (FindNextFileA(search, &found));
    FindClose(search);
}

// `command` is the program's Windows path and its arguments, separated by blanks.
std::string UnixProcessOf(const std::string& command) {
    std::string match;
    ForEachEntry("Z:\\proc", [&](const std::string& pid) {
        std::string cmdline = ReadFile("Z:\\proc\\" + pid + "\\cmdline");
        std::replace(cmdline.begin(), cmdline.end(), '\0', ' ');
        while (!cmdline.empty() && cmdline.back() == ' ')
            cmdline.pop_back();
        if (match.empty() && lstrcmpiA(cmdline.c_str(), command.c_str()) == 0)
            match = pid;
    });
    return match;
}

double KernelCpuMs(const std::string& unixPid) {
    if (unixPid.empty())
        return -1;
    double ns = 0;
    const std::string tasks = "Z:\\proc\\" + unixPid + "\\task";
    ForEachEntry(tasks, [&](const std::string& tid) {
        ns += std::strtod(ReadFile(tasks + "\\" + tid + "\\schedstat").c_str(), nullptr);
    });
    return ns / 1e6;
}

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

// A program started for measuring: its CPU time over the measured stretch and its memory at the end.
class Measured {
public:
    Measured(const char* name, const std::string& exe, std::vector<const char*> windows,
             const std::string& arguments = "")
        : m_name(name), m_command(arguments.empty() ? exe : exe + " " + arguments),
          m_windows(std::move(windows)) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string cmd = '"' + exe + '"' + (arguments.empty() ? "" : " " + arguments);
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi)) {
            std::printf("%s: %s could not be started (%lu)\n", name, exe.c_str(), GetLastError());
            m_pi = {};
            return;
        }
        CloseHandle(m_pi.hThread);
    }
    ~Measured() {
        if (!m_pi.hProcess)
            return;
        if (HWND main = FindProcessWindow(m_pi.dwProcessId, m_windows.front()))
            PostMessageA(main, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(m_pi.hProcess, 20000) != WAIT_OBJECT_0) {
            std::printf("%s: did not end on a close request\n", m_name);
            TerminateProcess(m_pi.hProcess, 99);
        }
        CloseHandle(m_pi.hProcess);
    }
    Measured(const Measured&) = delete;
    Measured& operator=(const Measured&) = delete;

    // True once every window the program should show is there.
    bool Ready() const {
        return m_pi.hProcess && std::all_of(m_windows.begin(), m_windows.end(), [this](const char* cls) {
                   return FindProcessWindow(m_pi.dwProcessId, cls) != nullptr;
               });
    }
    void Begin() {
        m_unixPid = UnixProcessOf(m_command);
        m_begin = MeasureCpu(m_pi.hProcess, m_pi.dwProcessId);
        m_begin.kernelMs = KernelCpuMs(m_unixPid);
    }
    // Reads the figures at the end of the stretch; false when the program ended or lost a window.
    bool End() {
        const CpuTime after = MeasureCpu(m_pi.hProcess, m_pi.dwProcessId);
        byProcess = after.processMs - m_begin.processMs;
        byThreads = after.threadsMs - m_begin.threadsMs;
        threads = after.threads;
        byKernel = m_begin.kernelMs < 0 ? -1 : KernelCpuMs(m_unixPid) - m_begin.kernelMs;
        cpuMs = byKernel >= 0 ? byKernel : std::max(byProcess, byThreads);
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(m_pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory);
        return WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT && Ready();
    }
    void Print(double elapsed) const {
        std::printf("  %s\n    CPU (user + kernel)  %6.1f ms = %5.3f %% of one core = %.1f s per hour\n",
                    m_name, cpuMs, cpuMs / (elapsed * 10.0), cpuMs * 3.6 / elapsed);
        std::printf("      GetProcessTimes %.0f ms; GetThreadTimes, %d live threads, %.0f ms", byProcess,
                    threads, byThreads);
        if (byKernel >= 0)
            std::printf("; Linux's account of the Wine process %.1f ms", byKernel);
        std::printf("\n");
        std::printf("    working set %8llu KiB, peak %llu KiB; private commit %llu KiB\n",
                    Kib(memory.WorkingSetSize), Kib(memory.PeakWorkingSetSize),
                    Kib(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage));
    }
    static unsigned long long Kib(SIZE_T bytes) { return static_cast<unsigned long long>(bytes / 1024); }

    double cpuMs = 0, byProcess = 0, byThreads = 0, byKernel = -1;
    int threads = 0;
    PROCESS_MEMORY_COUNTERS_EX memory{};

private:
    const char* m_name;
    std::string m_command;
    std::string m_unixPid;
    std::vector<const char*> m_windows;
    PROCESS_INFORMATION m_pi{};
    CpuTime m_begin;
};

// Runs the programs side by side for `seconds` and prints what each cost meanwhile.
bool MeasureTogether(const std::vector<Measured*>& programs, const char* mode, int seconds) {
    if (!WaitUntil(
            [&] {
                return std::all_of(programs.begin(), programs.end(), [](Measured* p) { return p->Ready(); });
            },
            20000)) {
        std::printf("%s: the programs' windows never appeared\n", mode);
        return false;
    }
    Sleep(1000); // start-up settles; the figures below are of the sampling that follows
    std::vector<uint32_t> counters;
    uint64_t octets = 0;
    InterfaceOctets(counters, octets);
    octets = 0;
    for (Measured* p : programs)
        p->Begin();
    const double begin = Now();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    bool ok = true;
    for (Measured* p : programs)
        ok = p->End() && ok;
    const double elapsed = Now() - begin;
    InterfaceOctets(counters, octets);
    std::printf("%s, %.0f s of sampling, interfaces moving %.0f kB/s:\n", mode, elapsed,
                static_cast<double>(octets) / 1024.0 / elapsed);
    for (Measured* p : programs)
        p->Print(elapsed);
    if (!ok)
        std::printf("%s: a program ended or lost a window during the run\n", mode);
    return ok;
}

int Program(int seconds, const std::string& built, const std::string& yardstick) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "vantorel-timing-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string exe = folder + "\\Vantorel.exe";
    if (!CopyFileA(built.c_str(), exe.c_str(), FALSE)) {
        std::printf("could not copy %s\n", built.c_str());
        return 1;
    }
    bool ok = true;
    {
        // The yardstick runs at the same time, so that both see the same machine and the same traffic.
        PrepareSettings(true);
        Measured program("Vantorel.exe", exe, {"VantorelMain", "VantorelMeter"});
        Measured minimal(
            "minimal meter (hidden window, tray icon, 200 x 80 blit and two GetIfTable a second)", yardstick,
            {"MinimalMeterMain", "MinimalMeterGraph"});
        // The program must write the rates into its tooltip every second; the shell's round trip for
        // that is most of what it costs beyond the minimal meter.
        Measured tooltip("the same minimal meter, writing its tooltip every second", yardstick,
                         {"MinimalMeterMain", "MinimalMeterGraph"}, "--tooltip");
        ok =
            MeasureTogether({&program, &minimal, &tooltip}, "meter shown, beside the minimal meter", seconds);
        const auto ratios = [&](const Measured& yard, const char* name) {
            if (yard.cpuMs > 0 && yard.memory.WorkingSetSize > 0)
                std::printf("  Vantorel.exe / %s: working set %.2fx, CPU %.2fx\n", name,
                            static_cast<double>(program.memory.WorkingSetSize) /
                                static_cast<double>(yard.memory.WorkingSetSize),
                            program.cpuMs / yard.cpuMs);
        };
        if (ok) {
            ratios(minimal, "minimal meter (targets: 1.3x at most)");
            ratios(tooltip, "minimal meter with its tooltip");
        }
    }
    {
        PrepareSettings(false);
        Measured program("Vantorel.exe", exe, {"VantorelMain"});
        ok = MeasureTogether({&program}, "meter hidden", seconds) && ok;
    }
    SHDeleteKeyA(HKEY_CURRENT_USER, kAppKey);
    DeleteFileA(exe.c_str());
    DeleteFileA((folder + "\\VantorelLog.txt").c_str());
    RemoveDirectoryA(folder.c_str());
    return ok ? 0 : 1;
}
} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const char* usage = "usage: app_timing [--program [SECONDS [PROGRAM.exe YARDSTICK.exe]]]\n";
    if (argc >= 2 && std::strcmp(argv[1], "--program") == 0) {
        const int seconds = argc >= 3 ? std::atoi(argv[2]) : 60;
        if (seconds < 1 || argc == 4 || argc > 5) {
            std::printf("%s", usage);
            return 2;
        }
        // By default the programs as built; tools/bench hands over stripped copies, as they ship.
        return Program(seconds, WinePath(argc == 5 ? argv[3] : VANTOREL_EXE),
                       WinePath(argc == 5 ? argv[4] : MINIMAL_METER_EXE));
    }
    if (argc >= 2) {
        std::printf("%s", usage);
        return 2;
    }
    return InProcess();
}
