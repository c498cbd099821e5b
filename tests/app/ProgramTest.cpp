#include "support/WinTestUtil.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string ExePath() {
    // The build passes a Unix path; Wine maps the root of the Unix file system to drive Z:.
    std::string path = VANTOREL_EXE;
    if (!path.empty() && path[0] == '/') {
        for (char& c : path)
            if (c == '/')
                c = '\\';
        path = "Z:" + path;
    }
    return path;
}

HWND WaitForMainWindow(const ChildProcess& p) {
    HWND hwnd = nullptr;
    PumpUntil([&] { return (hwnd = FindProcessWindow(p.Id(), "VantorelMain")) != nullptr; }, 15000);
    return hwnd;
}
} // namespace

TEST(Program, SecondCopyEndsAtOnceAndACloseRequestEndsTheFirst) {
    ChildProcess first('"' + ExePath() + '"');
    ASSERT_TRUE(first.Started());
    HWND main = WaitForMainWindow(first);
    ASSERT_NE(main, nullptr) << "the controller window never appeared";
    EXPECT_FALSE(IsWindowVisible(main)) << "the controller must stay hidden";

    ChildProcess second('"' + ExePath() + '"');
    ASSERT_TRUE(second.Started());
    DWORD code = 1234;
    EXPECT_TRUE(second.WaitForExit(10000, &code)) << "a second copy must end at once";
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(first.WaitForExit(0)) << "the running copy must be untouched";

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.WaitForExit(15000, &code)) << "a close request must end the program";
    EXPECT_EQ(code, 0u);
}
