#pragma once
#include "winsys/MSubclass.h"

// The public face of the subclassing service, for code that prefers an object to free functions.
class GSubclass {
public:
    // Start subclassing for a particular message.
    void AttachMessage(ISubclass* iwp, HWND hWnd, UINT iMsg) { ::AttachMessage(iwp, hWnd, iMsg); }
    // Stop subclassing for a particular message.
    void DetachMessage(ISubclass* iwp, HWND hWnd, UINT iMsg) { ::DetachMessage(iwp, hWnd, iMsg); }
    // Returns the message currently being worked on. Only valid in the MsgResponse and WindowProc items
    // of your implemented interface.
    UINT CurrentMessage() const { return ::CurrentMessage(); }
    // Calls the window procedure for this handle which was installed before you added the subclass.
    LRESULT CallOldWindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
        return ::CallOldWindowProc(hWnd, iMsg, wParam, lParam);
    }
};
