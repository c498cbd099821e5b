#pragma once
#include <windows.h>

#include <cstdint>

// How a subclassing client combines with the window's previous procedure for the message in progress.
enum EMsgResponse : int32_t {
    emrConsume = 0,     // the previous procedure is not called; the client's result is the window's
    emrPostProcess = 1, // the previous procedure runs after the clients and its result is the window's
    emrPreprocess = 2,  // the previous procedure runs first; its result is dropped
};

// A client of the subclassing service. Clients are recorded by bare address: a client must withdraw
// every request (DetachMessage) before it is destroyed.
class ISubclass {
public:
    virtual int32_t MsgResponse() = 0;
    virtual void SetMsgResponse(int32_t response) = 0;
    virtual LRESULT WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) = 0;

protected:
    ~ISubclass() = default;
};
