#include "winsys/MSubclass.h"
#include "base/AppInfo.h"
#include "support/RaisedError.h"
#include "support/WinTestUtil.h"
#include "winsys/GSubclass.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {
using Calls = std::vector<std::string>;
Calls g_calls;
constexpr LRESULT kPrevious = 1000;
const UINT kMsg = WM_APP + 1;
const UINT kOther = WM_APP + 2;

// The window's own procedure: it records its turn for the test messages.
LRESULT CALLBACK OriginalProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg >= WM_APP && msg < WM_APP + 100) {
        g_calls.push_back("previous");
        return kPrevious + (msg - WM_APP);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

struct Client final : ISubclass {
    Client(std::string name, int32_t response, LRESULT result)
        : name(name), response(response), result(result) {}
    int32_t MsgResponse() override { return response; }
    void SetMsgResponse(int32_t value) override { response = value; }
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override {
        g_calls.push_back(name);
        if (during)
            during(hwnd, msg, wParam, lParam);
        return result;
    }
    std::string name;
    int32_t response;
    LRESULT result;
    std::function<void(HWND, UINT, WPARAM, LPARAM)> during;
};

class Subclass : public testing::Test {
protected:
    HWND Window() const { return window.get(); }
    // The window's answer and the turns taken for it.
    std::pair<LRESULT, Calls> Send(UINT msg = kMsg) {
        g_calls.clear();
        const LRESULT result = SendMessageA(Window(), msg, 0, 0);
        return {result, g_calls};
    }
    bool Restored() const {
        return BookedProps(Window()) == 0 &&
               GetWindowLongPtrA(Window(), GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&OriginalProc);
    }
    TestWindow window = MakeTestWindow(OriginalProc, "SubclassTestWindow");
};
} // namespace

// The program never makes a request that is refused: a second booking would call a client twice, and
// another process's window must stay untouched. (A dead window or a missing client is refused too, but
// would fail harmlessly without the check.)
TEST_F(Subclass, ClientsAnswerInTurnRefusedRequestsChangeNothingAndDetachingRestoresTheWindow) {
    Client a("a", emrConsume, 7), b("b", emrPostProcess, 2), c("c", emrConsume, 3);
    AttachMessage(&a, Window(), kMsg);
    const std::string source = ExeBaseName() + ".WindowProc";
    EXPECT_RAISES(-2147208422, source, "Message already handled by another class",
                  [&] { AttachMessage(&a, Window(), kMsg); });
    // The desktop window belongs to the shell's process.
    EXPECT_RAISES(-2147208420, source, "Can't modify external window",
                  [&] { AttachMessage(&a, GetDesktopWindow(), kMsg); });
    EXPECT_EQ(BookedProps(GetDesktopWindow()), 0);

    EXPECT_EQ(Send(), std::make_pair(LRESULT{7}, Calls{"a"}));
    a.response = emrPostProcess;
    EXPECT_EQ(Send(), std::make_pair(kPrevious + 1, Calls{"a", "previous"}));
    EXPECT_EQ(Send(kOther), std::make_pair(kPrevious + 2, Calls{"previous"})) << "a message nobody asked for";

    // Pre-processing is the first client's decision: the previous procedure runs before all of them.
    // (The service's object face, which no part of the program uses, takes one attachment and one end.)
    GSubclass service;
    a.response = emrPreprocess;
    service.AttachMessage(&b, Window(), kMsg);
    AttachMessage(&c, Window(), kMsg);
    EXPECT_EQ(Send(), std::make_pair(LRESULT{3}, Calls{"previous", "a", "b", "c"}));

    AttachMessage(&a, Window(), kOther);
    DetachMessage(&a, Window(), kMsg);
    // A client that was never attached changes nothing.
    Client stranger("x", emrConsume, 9);
    DetachMessage(&stranger, Window(), kMsg);
    EXPECT_EQ(Send(), std::make_pair(LRESULT{3}, Calls{"b", "c"}));

    // An emptied message goes back to the previous procedure while the window stays subclassed.
    service.DetachMessage(&c, Window(), kMsg);
    DetachMessage(&b, Window(), kMsg);
    EXPECT_EQ(Send(), std::make_pair(kPrevious + 1, Calls{"previous"}));
    EXPECT_EQ(Send(kOther).second, (Calls{"previous", "a"}));
    DetachMessage(&a, Window(), kOther);
    EXPECT_TRUE(Restored());
}

// A client may withdraw, or destroy another, while a message is handed round (a tray icon whose menu
// ends the program does): nobody withdrawn is called, the others keep their turn, and the previous
// procedure still runs exactly once.
TEST_F(Subclass, ClientsLeavingDuringAMessageAreNotCalledAndThePreviousProcedureRunsOnce) {
    // The first client's call detaches `gone` (destroying the others among them); the answer and the turns.
    auto run = [&](std::vector<Client*> clients, std::vector<Client*> gone) {
        clients[0]->during = [first = clients[0], gone](HWND hwnd, UINT msg, WPARAM, LPARAM) {
            for (Client* client : gone) {
                DetachMessage(client, hwnd, msg);
                client->name = client == first ? first->name : "destroyed";
            }
        };
        for (Client* client : clients)
            AttachMessage(client, Window(), kMsg);
        const auto sent = Send();
        for (Client* client : clients)
            DetachMessage(client, Window(), kMsg);
        return sent;
    };
    Client leaver("leaver", emrPostProcess, 1), after("after", emrConsume, 2);
    EXPECT_EQ(run({&leaver, &after}, {&leaver}), std::make_pair(LRESULT{2}, Calls{"leaver", "after"}));
    Client killer("killer", emrConsume, 4), victim("victim", emrConsume, 3);
    EXPECT_EQ(run({&killer, &victim}, {&victim}), std::make_pair(kPrevious + 1, Calls{"killer", "previous"}));
    // The last client leaving on its own call lets the window go; its procedure still runs once.
    Client last("last", emrConsume, 5);
    EXPECT_EQ(run({&last}, {&last}), std::make_pair(kPrevious + 1, Calls{"last", "previous"}));
    EXPECT_TRUE(Restored());
}
