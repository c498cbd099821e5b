#include "winsys/MSubclass.h"
#include "base/AppError.h"
#include "base/AppInfo.h"
#include "winsys/FatalError.h"

#include <string>
#include <vector>

// Properties of a subclassed window (h = the window handle, m = the message, both in decimal):
//   h          the previous window procedure
//   hC         how many (client, message) requests the window has
//   h#mC       how many clients asked for message m
//   h#m#n      the n-th client (counting from 1) for message m

namespace {
UINT g_currentMessage = 0;
WNDPROC g_currentPrevious = nullptr;

// A handle is named by its value as a pointer-sized signed number: on 32 bits that is the handle's
// own signed value, so the names read the same as they always have.
std::string WindowName(HWND hWnd) {
    return std::to_string(reinterpret_cast<LONG_PTR>(hWnd));
}

std::string MessageName(HWND hWnd, UINT iMsg) {
    return WindowName(hWnd) + "#" + std::to_string(static_cast<int32_t>(iMsg));
}

std::string ClientName(const std::string& messageName, LONG_PTR n) {
    return messageName + "#" + std::to_string(n);
}

LONG_PTR ReadProp(HWND hWnd, const std::string& name) {
    return reinterpret_cast<LONG_PTR>(GetPropA(hWnd, name.c_str()));
}

bool WriteProp(HWND hWnd, const std::string& name, LONG_PTR value) {
    return SetPropA(hWnd, name.c_str(), reinterpret_cast<HANDLE>(value)) != FALSE;
}

LONG_PTR ClientValue(const ISubclass* iwp) {
    return reinterpret_cast<LONG_PTR>(iwp);
}

bool IsClientOf(HWND hWnd, const std::string& messageName, const ISubclass* iwp) {
    const LONG_PTR count = ReadProp(hWnd, messageName + "C");
    for (LONG_PTR n = 1; n <= count; ++n) {
        if (ReadProp(hWnd, ClientName(messageName, n)) == ClientValue(iwp))
            return true;
    }
    return false;
}

struct EmptyCounts {
    std::string prefix;
    std::vector<std::string> names;
};

BOOL CALLBACK CollectEmptyCount(HWND, LPSTR name, HANDLE value, ULONG_PTR param) {
    auto* found = reinterpret_cast<EmptyCounts*>(param);
    // Properties named by an integer atom carry no text.
    if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) == 0)
        return TRUE;
    const std::string text = name;
    if (value == nullptr && text.size() > found->prefix.size() && text.starts_with(found->prefix) &&
        text.back() == 'C')
        found->names.push_back(text);
    return TRUE;
}

// Emptied message counts stay while the window is subclassed; once it is not, they go too, so that
// no property (and no global atom behind its name) outlives the subclass.
void RemoveEmptyMessageCounts(HWND hWnd) {
    EmptyCounts found{WindowName(hWnd) + "#", {}};
    EnumPropsExA(hWnd, CollectEmptyCount, reinterpret_cast<LPARAM>(&found));
    for (const std::string& name : found.names)
        RemovePropA(hWnd, name.c_str());
}

const char* Description(int32_t e) {
    switch (e) {
    case kErrCantSubclass:
        return "Can't subclass window";
    case kErrAlreadyHandled:
        return "Message already handled by another class";
    case kErrInvalidWindow:
        return "Invalid window";
    case kErrExternalWindow:
        return "Can't modify external window";
    default:
        return "";
    }
}

// VB's "Object variable not set": a request without a client.
constexpr int32_t kErrObjectNotSet = 91;

LRESULT Dispatch(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    const auto previous = reinterpret_cast<WNDPROC>(ReadProp(hWnd, WindowName(hWnd)));
    const std::string messageName = MessageName(hWnd, iMsg);
    const LONG_PTR count = ReadProp(hWnd, messageName + "C");
    bool previousCalled = false;
    auto callPrevious = [&] {
        previousCalled = true;
        // Without a recorded procedure (our procedure reached through someone else's chain after the
        // last request went) the default handling is the only sound answer.
        return previous ? CallWindowProcA(previous, hWnd, iMsg, wParam, lParam)
                        : DefWindowProcA(hWnd, iMsg, wParam, lParam);
    };
    if (count < 1)
        return callPrevious();

    // Clients may withdraw (or be destroyed, which withdraws them) while the message is handed round.
    // Walking a copy of the list keeps the later clients in their turn; asking the live list before
    // every call guarantees that a withdrawn client is never called again.
    std::vector<ISubclass*> clients;
    clients.reserve(static_cast<size_t>(count));
    for (LONG_PTR n = 1; n <= count; ++n)
        clients.push_back(reinterpret_cast<ISubclass*>(ReadProp(hWnd, ClientName(messageName, n))));

    LRESULT result = 0;
    // A withdrawn client's turn goes to the previous procedure, which runs at most once per message.
    auto standIn = [&] {
        if (!previousCalled)
            result = callPrevious();
    };
    for (size_t i = 0; i < clients.size(); ++i) {
        ISubclass* client = clients[i];
        if (!client || !IsClientOf(hWnd, messageName, client)) {
            standIn();
            continue;
        }
        g_currentMessage = iMsg;
        g_currentPrevious = previous;
        if (i == 0 && client->MsgResponse() == emrPreprocess && !previousCalled) {
            callPrevious();
            if (!IsClientOf(hWnd, messageName, client)) {
                standIn();
                continue;
            }
            g_currentMessage = iMsg;
            g_currentPrevious = previous;
        }
        result = client->WindowProc(hWnd, iMsg, wParam, lParam);
        if (i + 1 == clients.size()) {
            if (!IsClientOf(hWnd, messageName, client)) {
                // It withdrew during its own call and may be gone: its answer cannot be asked.
                standIn();
            } else if (client->MsgResponse() == emrPostProcess && !previousCalled) {
                result = callPrevious();
            }
        }
    }
    return result;
}
} // namespace

void ErrRaise(int32_t e) {
    if (e <= 1000)
        throw AppError(e);
    throw AppError(ObjectError(e), ExeBaseName() + ".WindowProc", Description(e));
}

void AttachMessage(ISubclass* iwp, HWND hWnd, UINT iMsg) {
    if (!IsWindow(hWnd))
        ErrRaise(kErrInvalidWindow);
    DWORD process = 0;
    GetWindowThreadProcessId(hWnd, &process);
    if (process != GetCurrentProcessId())
        ErrRaise(kErrExternalWindow);
    if (!iwp)
        ErrRaise(kErrObjectNotSet);
    const std::string messageName = MessageName(hWnd, iMsg);
    if (IsClientOf(hWnd, messageName, iwp))
        ErrRaise(kErrAlreadyHandled);

    const std::string windowName = WindowName(hWnd);
    const LONG_PTR windowCount = ReadProp(hWnd, windowName + "C");
    bool installed = false;
    if (windowCount != 0) {
        WriteProp(hWnd, windowName + "C", windowCount + 1);
    } else {
        const LONG_PTR previous =
            SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MSubclass_WindowProc));
        if (previous == 0)
            ErrRaise(kErrCantSubclass);
        installed = true;
        if (!WriteProp(hWnd, windowName, previous) || !WriteProp(hWnd, windowName + "C", 1)) {
            SetWindowLongPtrA(hWnd, GWLP_WNDPROC, previous);
            RemovePropA(hWnd, windowName.c_str());
            RemovePropA(hWnd, (windowName + "C").c_str());
            ErrRaise(kErrCantSubclass);
        }
    }
    const LONG_PTR count = ReadProp(hWnd, messageName + "C");
    if (!WriteProp(hWnd, ClientName(messageName, count + 1), ClientValue(iwp)) ||
        !WriteProp(hWnd, messageName + "C", count + 1)) {
        // Out of property space: undo this request so that the books stay consistent.
        RemovePropA(hWnd, ClientName(messageName, count + 1).c_str());
        if (installed) {
            SetWindowLongPtrA(hWnd, GWLP_WNDPROC, ReadProp(hWnd, windowName));
            RemovePropA(hWnd, windowName.c_str());
            RemovePropA(hWnd, (windowName + "C").c_str());
        } else {
            WriteProp(hWnd, windowName + "C", windowCount);
        }
        ErrRaise(kErrCantSubclass);
    }
}

void DetachMessage(ISubclass* iwp, HWND hWnd, UINT iMsg) {
    const std::string messageName = MessageName(hWnd, iMsg);
    const LONG_PTR count = ReadProp(hWnd, messageName + "C");
    if (count < 1 || !iwp)
        return;
    LONG_PTR found = 0;
    for (LONG_PTR n = 1; n <= count && found == 0; ++n) {
        if (ReadProp(hWnd, ClientName(messageName, n)) == ClientValue(iwp))
            found = n;
    }
    if (found == 0)
        return;
    for (LONG_PTR n = found; n < count; ++n)
        WriteProp(hWnd, ClientName(messageName, n), ReadProp(hWnd, ClientName(messageName, n + 1)));
    RemovePropA(hWnd, ClientName(messageName, count).c_str());
    WriteProp(hWnd, messageName + "C", count - 1);

    const std::string windowName = WindowName(hWnd);
    const LONG_PTR windowCount = ReadProp(hWnd, windowName + "C");
    if (windowCount <= 1) {
        // A damaged count (0) must not leave the window with our procedure and no books.
        if (const LONG_PTR previous = ReadProp(hWnd, windowName))
            SetWindowLongPtrA(hWnd, GWLP_WNDPROC, previous);
        RemovePropA(hWnd, windowName.c_str());
        RemovePropA(hWnd, (windowName + "C").c_str());
        RemoveEmptyMessageCounts(hWnd);
    } else {
        WriteProp(hWnd, windowName + "C", windowCount - 1);
    }
}

LRESULT CALLBACK MSubclass_WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    try {
        return Dispatch(hWnd, iMsg, wParam, lParam);
    } catch (const std::exception& error) {
        ReportFatalError(error);
    }
}

UINT CurrentMessage() {
    return g_currentMessage;
}

LRESULT CallOldWindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    if (!g_currentPrevious)
        return DefWindowProcA(hWnd, iMsg, wParam, lParam);
    return CallWindowProcA(g_currentPrevious, hWnd, iMsg, wParam, lParam);
}
