#pragma once
#include "winsys/ISubclass.h"

// Routes chosen messages of a window to client objects. The window's procedure is replaced by one
// shared procedure with the first request and put back with the last; all bookkeeping lives in
// window properties. AttachMessage raises AppError 13081..13084 (object-error range).
void AttachMessage(ISubclass* iwp, HWND hWnd, UINT iMsg);
void DetachMessage(ISubclass* iwp, HWND hWnd, UINT iMsg);
LRESULT CALLBACK MSubclass_WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam);
UINT CurrentMessage();
LRESULT CallOldWindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam);
