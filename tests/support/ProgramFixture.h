#pragma once
#include "support/WinTestUtil.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

// Tests that start the real program: it keeps its settings under HKCU\Software\Vantorel of the test
// prefix and its log beside the executable, so each test runs a private copy with a clean slate.
// The including test program defines VANTOREL_EXE, the built program's path.
inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kAppKey[] = "Software\\Vantorel";

inline std::string BuiltExePath() {
    return WinePath(VANTOREL_EXE);
}

class PrivateProgram : public testing::Test {
protected:
    void SetUp() override {
        ForgetSettings();
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        folder = std::string(temp) + "vantorel-" + std::to_string(GetCurrentProcessId()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(folder.c_str(), nullptr);
        exe = folder + "\\Vantorel.exe";
        ASSERT_TRUE(CopyFileA(BuiltExePath().c_str(), exe.c_str(), FALSE)) << BuiltExePath();
        DeleteFileA(LogPath().c_str());
    }
    void TearDown() override {
        ForgetSettings();
        DeleteFileA(exe.c_str());
        DeleteFileA(LogPath().c_str());
        RemoveDirectoryA(folder.c_str());
    }

    std::string LogPath() const { return folder + "\\VantorelLog.txt"; }
    static void ForgetSettings() {
        SHDeleteKeyA(HKEY_CURRENT_USER, kAppKey);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Vantorel");
    }

    std::string folder;
    std::string exe;
};
