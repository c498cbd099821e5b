#include "winsys/MSubclass.h"
#include "app/AppError.h"
#include "app/AppInfo.h"
#include "winsys/GSubclass.h"
#include "winsys/SubclassTestUtil.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {
std::vector<std::string> g_calls;
constexpr LRESULT kPreviousResult = 1000;

// The window's own procedure: it records its turn for the test messages.
LRESULT CALLBACK OriginalProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg >= WM_APP && msg < WM_APP + 100) {
        g_calls.push_back("previous");
        return kPreviousResult + (msg - WM_APP);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

struct Client final : ISubclass {
    Client(std::string name, int32_t response, LRESULT result)
        : name(std::move(name)), response(response), result(result) {}
    int32_t MsgResponse() override {
        ++responseReads;
        return response;
    }
    void SetMsgResponse(int32_t value) override { response = value; }
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        g_calls.push_back(name);
        seenMessage = CurrentMessage();
        if (during)
            during(hwnd, msg, wParam, lParam);
        return result;
    }
    std::string name;
    int32_t response;
    LRESULT result;
    int responseReads = 0;
    UINT seenMessage = 0;
    std::function<void(HWND, UINT, WPARAM, LPARAM)> during;
};

const UINT kMsg = WM_APP + 1;
const UINT kOther = WM_APP + 2;

class Subclass : public testing::Test {
protected:
    void SetUp() override {
        g_calls.clear();
        ASSERT_NE(window.hwnd(), nullptr);
    }
    std::string Name(UINT msg, const std::string& tail) const {
        return HandleText(window.hwnd()) + "#" + std::to_string(static_cast<int32_t>(msg)) + tail;
    }
    LRESULT Send(UINT msg = kMsg) { return SendMessageA(window.hwnd(), msg, 0, 0); }
    LONG_PTR Proc() const { return GetWindowLongPtrA(window.hwnd(), GWLP_WNDPROC); }
    static LONG_PTR Address(ISubclass* client) { return reinterpret_cast<LONG_PTR>(client); }

    TestWindow window{OriginalProc, "SubclassTestWindow"};
};

AppError RaisedBy(const std::function<void()>& action) {
    try {
        action();
    } catch (const AppError& error) {
        return error;
    }
    ADD_FAILURE() << "no error was raised";
    return AppError(0);
}
} // namespace

TEST_F(Subclass, OneClientBooksInstallsAndRestoresThroughProperties) {
    Client a("a", emrConsume, 7);
    AttachMessage(&a, window.hwnd(), kMsg);
    const std::string h = HandleText(window.hwnd());
    const std::map<std::string, LONG_PTR> expected = {{h, reinterpret_cast<LONG_PTR>(&OriginalProc)},
                                                      {h + "C", 1},
                                                      {Name(kMsg, "C"), 1},
                                                      {Name(kMsg, "#1"), Address(&a)}};
    EXPECT_EQ(WindowProps(window.hwnd()), expected);
    EXPECT_EQ(Proc(), reinterpret_cast<LONG_PTR>(&MSubclass_WindowProc));

    EXPECT_EQ(Send(), 7) << "consume: the client's result";
    EXPECT_EQ(g_calls, std::vector<std::string>{"a"});
    EXPECT_EQ(a.seenMessage, kMsg);

    g_calls.clear();
    EXPECT_EQ(Send(kOther), kPreviousResult + 2)
        << "a message nobody asked for goes to the previous procedure";
    EXPECT_EQ(g_calls, std::vector<std::string>{"previous"});

    DetachMessage(&a, window.hwnd(), kMsg);
    EXPECT_TRUE(WindowProps(window.hwnd()).empty());
    EXPECT_EQ(Proc(), reinterpret_cast<LONG_PTR>(&OriginalProc));
    g_calls.clear();
    EXPECT_EQ(Send(), kPreviousResult + 1);
    EXPECT_EQ(g_calls, std::vector<std::string>{"previous"});
}

TEST_F(Subclass, OneClientIsAskedBeforeAndAfterItsCall) {
    Client a("a", emrPostProcess, 7);
    AttachMessage(&a, window.hwnd(), kMsg);
    EXPECT_EQ(Send(), kPreviousResult + 1) << "post-process: the previous procedure's result";
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a", "previous"}));
    EXPECT_EQ(a.responseReads, 2);

    g_calls.clear();
    a.response = emrPreprocess;
    EXPECT_EQ(Send(), 7) << "pre-process: the client's result";
    EXPECT_EQ(g_calls, (std::vector<std::string>{"previous", "a"}))
        << "the previous procedure runs once, first";

    // The answer after the call counts: a client may change its mind inside its WindowProc.
    g_calls.clear();
    a.response = emrConsume;
    a.during = [&](HWND, UINT, WPARAM, LPARAM) { a.response = emrPostProcess; };
    EXPECT_EQ(Send(), kPreviousResult + 1);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a", "previous"}));
    DetachMessage(&a, window.hwnd(), kMsg);
}

TEST_F(Subclass, ClientsRunInOrderOfAttachmentAndOnlyFirstAndLastAreAsked) {
    Client a("a", emrConsume, 1), b("b", emrConsume, 2), c("c", emrConsume, 3);
    AttachMessage(&a, window.hwnd(), kMsg);
    AttachMessage(&b, window.hwnd(), kMsg);
    EXPECT_EQ(Send(), 2) << "two consuming clients: the second client's result";
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a", "b"}));

    g_calls.clear();
    b.response = emrPostProcess;
    EXPECT_EQ(Send(), kPreviousResult + 1);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a", "b", "previous"}));

    // Post-processing is the last client's decision and pre-processing the first's.
    g_calls.clear();
    a.response = emrPostProcess;
    b.response = emrPreprocess;
    EXPECT_EQ(Send(), 2);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a", "b"}));

    AttachMessage(&c, window.hwnd(), kMsg);
    g_calls.clear();
    a.response = emrPreprocess;
    b.response = emrPostProcess;
    c.response = emrConsume;
    a.responseReads = b.responseReads = c.responseReads = 0;
    EXPECT_EQ(Send(), 3);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"previous", "a", "b", "c"}));
    EXPECT_EQ(a.responseReads, 1);
    EXPECT_EQ(b.responseReads, 0) << "a client in between is never asked";
    EXPECT_EQ(c.responseReads, 1);
    EXPECT_EQ(WindowProps(window.hwnd())[HandleText(window.hwnd()) + "C"], 3);

    for (Client* client : {&a, &b, &c})
        DetachMessage(client, window.hwnd(), kMsg);
    EXPECT_TRUE(WindowProps(window.hwnd()).empty());
    EXPECT_EQ(Proc(), reinterpret_cast<LONG_PTR>(&OriginalProc));
}

TEST_F(Subclass, DetachingFromTheMiddleOrFrontMovesTheOthersDown) {
    Client a("a", emrConsume, 1), b("b", emrConsume, 2), c("c", emrConsume, 3);
    for (Client* client : {&a, &b, &c})
        AttachMessage(client, window.hwnd(), kMsg);

    DetachMessage(&a, window.hwnd(), kMsg);
    auto props = WindowProps(window.hwnd());
    EXPECT_EQ(props[Name(kMsg, "C")], 2);
    EXPECT_EQ(props[Name(kMsg, "#1")], Address(&b));
    EXPECT_EQ(props[Name(kMsg, "#2")], Address(&c));
    EXPECT_EQ(props.count(Name(kMsg, "#3")), 0u);
    EXPECT_EQ(props[HandleText(window.hwnd()) + "C"], 2);
    EXPECT_EQ(Send(), 3);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"b", "c"}));

    AttachMessage(&a, window.hwnd(), kMsg);
    DetachMessage(&c, window.hwnd(), kMsg);
    props = WindowProps(window.hwnd());
    EXPECT_EQ(props[Name(kMsg, "#1")], Address(&b));
    EXPECT_EQ(props[Name(kMsg, "#2")], Address(&a));
    EXPECT_EQ(props.count(Name(kMsg, "#3")), 0u);

    // A client that was never attached changes nothing.
    Client stranger("x", emrConsume, 9);
    DetachMessage(&stranger, window.hwnd(), kMsg);
    DetachMessage(&stranger, window.hwnd(), kOther);
    EXPECT_EQ(WindowProps(window.hwnd()), props);

    DetachMessage(&a, window.hwnd(), kMsg);
    DetachMessage(&b, window.hwnd(), kMsg);
    EXPECT_TRUE(WindowProps(window.hwnd()).empty());
}

TEST_F(Subclass, TwoMessagesShareOneInstalledProcedure) {
    Client a("a", emrConsume, 1);
    AttachMessage(&a, window.hwnd(), kMsg);
    AttachMessage(&a, window.hwnd(), kOther);
    const std::string h = HandleText(window.hwnd());
    auto props = WindowProps(window.hwnd());
    EXPECT_EQ(props[h + "C"], 2);
    EXPECT_EQ(props[h], reinterpret_cast<LONG_PTR>(&OriginalProc)) << "installed once: the original is kept";

    // An emptied message keeps its count at 0 while the window stays subclassed.
    DetachMessage(&a, window.hwnd(), kMsg);
    props = WindowProps(window.hwnd());
    ASSERT_EQ(props.count(Name(kMsg, "C")), 1u);
    EXPECT_EQ(props[Name(kMsg, "C")], 0);
    EXPECT_EQ(props[h + "C"], 1);
    EXPECT_EQ(Send(kMsg), kPreviousResult + 1);
    EXPECT_EQ(g_calls, std::vector<std::string>{"previous"});

    DetachMessage(&a, window.hwnd(), kOther);
    EXPECT_TRUE(WindowProps(window.hwnd()).empty()) << "nothing may be left once the window is let go";
    EXPECT_EQ(Proc(), reinterpret_cast<LONG_PTR>(&OriginalProc));
}

TEST_F(Subclass, ErrorsCarryNumberSourceAndTextAndChangeNothing) {
    Client a("a", emrConsume, 1);
    TestWindow gone(OriginalProc, "SubclassTestWindow");
    const HWND dead = gone.hwnd();
    gone.Destroy();
    AppError invalid = RaisedBy([&] { AttachMessage(&a, dead, kMsg); });
    EXPECT_EQ(invalid.Number, -2147208421);
    EXPECT_EQ(invalid.Number, ObjectError(13083));
    EXPECT_EQ(invalid.Source, ExeBaseName() + ".WindowProc");
    EXPECT_EQ(invalid.Description, "Invalid window");
    EXPECT_EQ(RaisedBy([&] { AttachMessage(&a, nullptr, kMsg); }).Number, ObjectError(13083));

    AttachMessage(&a, window.hwnd(), kMsg);
    const auto before = WindowProps(window.hwnd());
    AppError twice = RaisedBy([&] { AttachMessage(&a, window.hwnd(), kMsg); });
    EXPECT_EQ(twice.Number, -2147208422);
    EXPECT_EQ(twice.Description, "Message already handled by another class");
    EXPECT_EQ(WindowProps(window.hwnd()), before);

    // The desktop window belongs to the shell's process.
    const HWND external = GetDesktopWindow();
    DWORD owner = 0;
    GetWindowThreadProcessId(external, &owner);
    ASSERT_NE(owner, GetCurrentProcessId());
    AppError foreign = RaisedBy([&] { AttachMessage(&a, external, kMsg); });
    EXPECT_EQ(foreign.Number, -2147208420);
    EXPECT_EQ(foreign.Description, "Can't modify external window");
    EXPECT_TRUE(WindowProps(external).empty());

    // A request without a client is refused before anything is written.
    EXPECT_EQ(RaisedBy([&] { AttachMessage(nullptr, window.hwnd(), kOther); }).Number, 91);
    EXPECT_EQ(WindowProps(window.hwnd()), before);
    DetachMessage(&a, window.hwnd(), kMsg);
}

TEST(SubclassErrRaise, SmallNumbersGoOutBareAndLargeOnesInTheObjectRange) {
    try {
        ErrRaise(5);
        FAIL();
    } catch (const AppError& error) {
        EXPECT_EQ(error.Number, 5);
        EXPECT_TRUE(error.Source.empty());
        EXPECT_TRUE(error.Description.empty());
    }
    try {
        ErrRaise(13081);
        FAIL();
    } catch (const AppError& error) {
        EXPECT_EQ(error.Number, -2147208423);
        EXPECT_EQ(error.Description, "Can't subclass window");
    }
}

TEST_F(Subclass, FacadeGivesTheCurrentMessageAndThePreviousProcedure) {
    GSubclass service;
    Client a("a", emrConsume, 0);
    LRESULT fromOld = 0;
    UINT current = 0;
    a.during = [&](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        current = service.CurrentMessage();
        fromOld = service.CallOldWindowProc(hwnd, msg, wParam, lParam);
    };
    service.AttachMessage(&a, window.hwnd(), kOther);
    Send(kOther);
    EXPECT_EQ(current, kOther);
    EXPECT_EQ(fromOld, kPreviousResult + 2);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"a", "previous"}));
    service.DetachMessage(&a, window.hwnd(), kOther);
    EXPECT_TRUE(WindowProps(window.hwnd()).empty());
}

TEST_F(Subclass, AClientThatLeavesDuringAMessageIsNeverCalledAgainAndOthersKeepTheirTurn) {
    // A helper that lets go when its window is destroyed, answering post-process.
    Client leaver("leaver", emrPostProcess, 1), after("after", emrConsume, 2);
    leaver.during = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) { DetachMessage(&leaver, hwnd, msg); };
    AttachMessage(&leaver, window.hwnd(), kMsg);
    AttachMessage(&after, window.hwnd(), kMsg);
    EXPECT_EQ(Send(), 2);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"leaver", "after"}))
        << "the client behind the leaver keeps its turn instead of being skipped";

    // A client destroyed by another client's handler is not called, and the previous procedure runs once.
    auto* victim = new Client("victim", emrConsume, 3);
    Client killer("killer", emrConsume, 4);
    DetachMessage(&after, window.hwnd(), kMsg);
    killer.during = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) {
        DetachMessage(victim, hwnd, msg);
        delete victim;
        victim = nullptr;
    };
    AttachMessage(&killer, window.hwnd(), kMsg);
    AttachMessage(victim, window.hwnd(), kMsg);
    g_calls.clear();
    EXPECT_EQ(Send(), kPreviousResult + 1);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"killer", "previous"}));

    // However many turns are vacated, the previous procedure runs once: here it already ran first.
    DetachMessage(&killer, window.hwnd(), kMsg);
    Client first("first", emrPreprocess, 6);
    auto* gone1 = new Client("gone1", emrConsume, 7);
    auto* gone2 = new Client("gone2", emrPostProcess, 8);
    first.during = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) {
        for (Client** gone : {&gone1, &gone2}) {
            DetachMessage(*gone, hwnd, msg);
            delete *gone;
            *gone = nullptr;
        }
    };
    AttachMessage(&first, window.hwnd(), kMsg);
    AttachMessage(gone1, window.hwnd(), kMsg);
    AttachMessage(gone2, window.hwnd(), kMsg);
    g_calls.clear();
    EXPECT_EQ(Send(), 6);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"previous", "first"}));
    DetachMessage(&first, window.hwnd(), kMsg);

    // The last client leaving on its own call: the window is let go and its procedure still runs once.
    Client last("last", emrConsume, 5);
    last.during = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) { DetachMessage(&last, hwnd, msg); };
    AttachMessage(&last, window.hwnd(), kMsg);
    g_calls.clear();
    EXPECT_EQ(Send(), kPreviousResult + 1);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"last", "previous"}));
    EXPECT_TRUE(WindowProps(window.hwnd()).empty());
    EXPECT_EQ(Proc(), reinterpret_cast<LONG_PTR>(&OriginalProc));
}
