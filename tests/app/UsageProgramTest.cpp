// The real program keeps its usage history through a kill: a private copy records loopback traffic
// into a history folder of its own, is ended without Exit, and after a new start the day holds it all.
#include <winsock2.h> // before windows.h, which the headers below include

#include "history/HistoryAggregate.h"
#include "history/HistoryFiles.h"
#include "history/HistorySeamsWin32.h"
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <memory>
#include <string>
#include <vector>

namespace {
// Sends `bytes` from one end of a loopback TCP connection to the other; false when it could not.
bool LoopbackTraffic(std::size_t bytes) {
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        return false;
    SOCKET server = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof at;
    bind(server, reinterpret_cast<sockaddr*>(&at), sizeof at);
    listen(server, 1);
    getsockname(server, reinterpret_cast<sockaddr*>(&at), &length);
    SOCKET client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    bool done = connect(client, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0;
    SOCKET peer = done ? accept(server, nullptr, nullptr) : INVALID_SOCKET;
    std::vector<char> chunk(65536, 'x');
    for (std::size_t sent = 0; done && sent < bytes; sent += chunk.size()) {
        done =
            send(client, chunk.data(), static_cast<int>(chunk.size()), 0) == static_cast<int>(chunk.size());
        for (std::size_t got = 0; done && got < chunk.size();) {
            const int n = recv(peer, chunk.data(), static_cast<int>(chunk.size() - got), 0);
            done = n > 0;
            got += done ? static_cast<std::size_t>(n) : 0;
        }
    }
    closesocket(peer);
    closesocket(client);
    closesocket(server);
    WSACleanup();
    return done;
}

class UsageProgram : public testing::Test {
protected:
    void SetUp() override {
        folder = TempFolder() + "vantorel-usage-" + std::to_string(GetCurrentProcessId());
        exe = folder + "\\Vantorel.exe";
        TearDown();
        CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileA(WinePath(VANTOREL_EXE).c_str(), exe.c_str(), FALSE)) << VANTOREL_EXE;
        // The copies keep their history here, not in the prefix's own folder.
        char old[MAX_PATH] = {};
        oldLocal.assign(old, GetEnvironmentVariableA("LOCALAPPDATA", old, MAX_PATH));
        SetEnvironmentVariableA("LOCALAPPDATA", folder.c_str());
        WriteValue("Software\\Vantorel\\Settings", "FirstRun", "0");
        WriteValue("Software\\Vantorel\\Graph", "ShowOnStartup", "False");
        WriteValue("Software\\Vantorel\\History", "FlushSeconds", "1");
    }
    void TearDown() override {
        process.reset();
        if (!oldLocal.empty())
            SetEnvironmentVariableA("LOCALAPPDATA", oldLocal.c_str());
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vantorel");
        SHFILEOPSTRUCTA remove{};
        const std::string from = folder + '\0';
        remove.wFunc = FO_DELETE;
        remove.pFrom = from.c_str();
        remove.fFlags = FOF_NO_UI;
        SHFileOperationA(&remove);
    }

    std::wstring HistoryFolder() const {
        return std::wstring(folder.begin(), folder.end()) + L"\\Vantorel\\History\\";
    }

    // Starts the copy and waits until it writes its history (its state file is there).
    void Start() {
        // A killed copy's window may outlive it for a moment.
        ASSERT_TRUE(PumpUntil([] { return !FindWindowA("VantorelMain", nullptr); }, 10000));
        process = std::make_unique<ChildProcess>('"' + exe + '"');
        const std::string state = folder + "\\Vantorel\\History\\state";
        ASSERT_TRUE(PumpUntil(
            [&] {
                main = FindWindowA("VantorelMain", nullptr);
                return main && GetFileAttributesA(state.c_str()) != INVALID_FILE_ATTRIBUTES;
            },
            20000))
            << "the program never wrote its history";
        PumpFor(1500);
    }

    // What today holds, summed over every interface recorded (the loopback is one of them).
    std::pair<uint64_t, uint64_t> Today() {
        Win32HistoryFiles files(HistoryFolder());
        Win32ZoneRules rules;
        const ZoneCalendar zone(rules);
        HistoryData data;
        LoadHistory(files, data);
        const int64_t local = zone.ToLocal(Win32HistoryClock().UtcNow());
        const CivilDate today = CivilFromDays(FloorDiv(local, 86400));
        std::pair<uint64_t, uint64_t> sum;
        for (std::size_t i = 0; i < data.Interfaces().size(); ++i)
            for (const HistoryBucket& b : Aggregate(data, zone, HistoryPeriod::Day, today, i)) {
                sum.first += b.in;
                sum.second += b.out;
            }
        return sum;
    }

    std::string folder, exe, oldLocal;
    std::unique_ptr<ChildProcess> process;
    HWND main = nullptr;
};

constexpr std::size_t kTraffic = 8u << 20;

TEST_F(UsageProgram, AKillLosesNothingOfTheTrafficWhenTheProgramStartsAgain) {
    Start();
    ASSERT_TRUE(LoopbackTraffic(kTraffic));
    PumpFor(3000);   // the sampler's next readings and a write of the history after them
    process.reset(); // killed: no Exit, no close request
    Start();
    SendMessageTimeoutA(main, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 10000, nullptr);
    ASSERT_EQ(process->ExitCode(20000), 0u);
    const auto [in, out] = Today();
    EXPECT_GE(in, kTraffic);
    EXPECT_GE(out, kTraffic);
}

TEST_F(UsageProgram, WithoutCountingWhileClosedWhatWasWrittenBeforeAKillIsKept) {
    WriteValue("Software\\Vantorel\\History", "CountWhileClosed", "False");
    Start();
    ASSERT_TRUE(LoopbackTraffic(kTraffic));
    PumpFor(2000);
    // The system suspends: everything so far is written at once.
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(main, WM_POWERBROADCAST, PBT_APMSUSPEND, 0, SMTO_ABORTIFHUNG, 10000, &answer);
    process.reset();
    Start();
    SendMessageTimeoutA(main, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 10000, nullptr);
    ASSERT_EQ(process->ExitCode(20000), 0u);
    EXPECT_GE(Today().first, kTraffic);
}
} // namespace
