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
    void SetUp() override { g_calls.clear(); }
    HWND Window() const { return window.get(); }
    std::string Name(UINT msg, const std::string& tail) const {
        return HandleText(Window()) + "#" + std::to_string(msg) + tail;
    }
    // The window's answer and the turns taken for it.
    std::pair<LRESULT, Calls> Send(UINT msg = kMsg) {
        g_calls.clear();
        const LRESULT result = SendMessageA(Window(), msg, 0, 0);
        return {result, g_calls};
    }
    bool Restored() const {
        return WindowProps(Window()).empty() &&
               GetWindowLongPtrA(Window(), GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&OriginalProc);
    }
    TestWindow window = MakeTestWindow(OriginalProc, "SubclassTestWindow");
};

// The error an action raises, as "number source: description".
std::string Raised(const std::function<void()>& action) {
    try {
        action();
    } catch (const AppError& error) {
        return std::to_string(error.Number) + " " + error.Source + ": " + error.Description;
    }
    return "nothing raised";
}
} // namespace

TEST_F(Subclass, OneClientIsBookedAndCombinesWithThePreviousProcedureAsItAnswers) {
    Client a("a", emrConsume, 7);
    AttachMessage(&a, Window(), kMsg);
    const std::string h = HandleText(Window());
    EXPECT_EQ(WindowProps(Window()),
              (std::map<std::string, LONG_PTR>{{h, reinterpret_cast<LONG_PTR>(&OriginalProc)},
                                               {h + "C", 1},
                                               {Name(kMsg, "C"), 1},
                                               {Name(kMsg, "#1"), reinterpret_cast<LONG_PTR>(&a)}}));
    EXPECT_EQ(GetWindowLongPtrA(Window(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&MSubclass_WindowProc));

    const std::pair<int32_t, std::pair<LRESULT, Calls>> cases[] = {
        {emrConsume, {7, {"a"}}},
        {emrPostProcess, {kPrevious + 1, {"a", "previous"}}},
        {emrPreprocess, {7, {"previous", "a"}}}};
    for (const auto& [response, answer] : cases) {
        a.response = response;
        EXPECT_EQ(Send(), answer) << response;
    }
    EXPECT_EQ(Send(kOther), std::make_pair(kPrevious + 2, Calls{"previous"})) << "a message nobody asked for";

    // The service's object face, used from inside a client's call.
    GSubclass service;
    a.response = emrConsume;
    a.during = [&](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        a.result = service.CurrentMessage() + service.CallOldWindowProc(hwnd, msg, wParam, lParam);
    };
    EXPECT_EQ(Send().first, kMsg + kPrevious + 1);

    service.DetachMessage(&a, Window(), kMsg);
    EXPECT_TRUE(Restored());
    EXPECT_EQ(Send(), std::make_pair(kPrevious + 1, Calls{"previous"}));
}

TEST_F(Subclass, ClientsRunInOrderTheFirstMayGoBehindThePreviousAndDetachingRenumbers) {
    Client a("a", emrPreprocess, 1), b("b", emrPostProcess, 2), c("c", emrConsume, 3);
    for (Client* client : {&a, &b, &c})
        AttachMessage(client, Window(), kMsg);
    EXPECT_EQ(Send(), std::make_pair(LRESULT{3}, Calls{"previous", "a", "b", "c"}));
    // Pre-processing is the first client's decision and post-processing the last's.
    a.response = emrPostProcess;
    c.response = emrPreprocess;
    EXPECT_EQ(Send(), std::make_pair(LRESULT{3}, Calls{"a", "b", "c"}));

    AttachMessage(&a, Window(), kOther);
    DetachMessage(&a, Window(), kMsg);
    auto props = WindowProps(Window());
    EXPECT_EQ(props[HandleText(Window()) + "C"], 3);
    EXPECT_EQ(props[Name(kMsg, "C")], 2);
    EXPECT_EQ(props[Name(kMsg, "#1")], reinterpret_cast<LONG_PTR>(&b));
    EXPECT_EQ(props[Name(kMsg, "#2")], reinterpret_cast<LONG_PTR>(&c));
    EXPECT_EQ(props.count(Name(kMsg, "#3")), 0u);
    EXPECT_EQ(Send(), std::make_pair(LRESULT{3}, Calls{"b", "c"}));

    // A client that was never attached changes nothing.
    Client stranger("x", emrConsume, 9);
    DetachMessage(&stranger, Window(), kMsg);
    DetachMessage(&stranger, Window(), kOther);
    EXPECT_EQ(WindowProps(Window()), props);

    // An emptied message keeps its count at 0 while the window stays subclassed; nothing is left after.
    DetachMessage(&c, Window(), kMsg);
    DetachMessage(&b, Window(), kMsg);
    EXPECT_EQ(WindowProps(Window())[Name(kMsg, "C")], 0);
    EXPECT_EQ(Send(), std::make_pair(kPrevious + 1, Calls{"previous"}));
    DetachMessage(&a, Window(), kOther);
    EXPECT_TRUE(Restored());
}

TEST_F(Subclass, RefusedRequestsRaiseTheirErrorAndChangeNothing) {
    Client a("a", emrConsume, 1);
    TestWindow gone = MakeTestWindow(OriginalProc, "SubclassTestWindow");
    const HWND dead = gone.get();
    gone.reset();
    const std::string source = " " + ExeBaseName() + ".WindowProc: ";
    EXPECT_EQ(Raised([&] { AttachMessage(&a, dead, kMsg); }), "-2147208421" + source + "Invalid window");

    AttachMessage(&a, Window(), kMsg);
    const auto before = WindowProps(Window());
    EXPECT_EQ(Raised([&] { AttachMessage(&a, Window(), kMsg); }),
              "-2147208422" + source + "Message already handled by another class");
    // The desktop window belongs to the shell's process.
    EXPECT_EQ(Raised([&] { AttachMessage(&a, GetDesktopWindow(), kMsg); }),
              "-2147208420" + source + "Can't modify external window");
    EXPECT_TRUE(WindowProps(GetDesktopWindow()).empty());
    EXPECT_EQ(Raised([&] { AttachMessage(nullptr, Window(), kOther); }), "91 : ") << "no client";
    EXPECT_EQ(WindowProps(Window()), before);
    DetachMessage(&a, Window(), kMsg);
    EXPECT_EQ(Raised([] { ErrRaise(13081); }), "-2147208423" + source + "Can't subclass window");
}

// A client may withdraw, or destroy another, while a message is handed round (a tray icon whose menu
// ends the program does): nobody withdrawn is called, the others keep their turn, and the previous
// procedure still runs exactly once.
TEST_F(Subclass, ClientsLeavingDuringAMessageAreNotCalledAndThePreviousProcedureRunsOnce) {
    auto ending = [&](Client& client, std::vector<Client*> victims) {
        client.during = [&client, victims](HWND hwnd, UINT msg, WPARAM, LPARAM) {
            for (Client* victim : victims) {
                DetachMessage(victim, hwnd, msg);
                if (victim != &client)
                    victim->name = "destroyed";
            }
        };
    };
    auto run = [&](std::vector<Client*> clients) {
        for (Client* client : clients)
            AttachMessage(client, Window(), kMsg);
        const auto sent = Send();
        for (Client* client : clients)
            DetachMessage(client, Window(), kMsg);
        return sent;
    };
    Client leaver("leaver", emrPostProcess, 1), after("after", emrConsume, 2);
    ending(leaver, {&leaver});
    EXPECT_EQ(run({&leaver, &after}), std::make_pair(LRESULT{2}, Calls{"leaver", "after"}));

    Client killer("killer", emrConsume, 4), victim("victim", emrConsume, 3);
    ending(killer, {&victim});
    EXPECT_EQ(run({&killer, &victim}), std::make_pair(kPrevious + 1, Calls{"killer", "previous"}));

    Client first("first", emrPreprocess, 6), gone1("gone1", emrConsume, 7), gone2("gone2", emrPostProcess, 8);
    ending(first, {&gone1, &gone2});
    EXPECT_EQ(run({&first, &gone1, &gone2}), std::make_pair(LRESULT{6}, Calls{"previous", "first"}));

    // The last client leaving on its own call lets the window go; its procedure still runs once.
    Client last("last", emrConsume, 5);
    ending(last, {&last});
    EXPECT_EQ(run({&last}), std::make_pair(kPrevious + 1, Calls{"last", "previous"}));
    EXPECT_TRUE(Restored());
}
