#pragma once
#include "winsys/ISubclass.h"

#include <cstdint>

// Routes chosen messages of a window to client objects. The window's procedure is replaced by one
// shared procedure with the first request and put back with the last; all bookkeeping lives in
// window properties. AttachMessage raises AppError 13081..13084 (object-error range).
void AttachMessage(ISubclass* iwp, HWND hWnd, UINT iMsg);
void DetachMessage(ISubclass* iwp, HWND hWnd, UINT iMsg);
LRESULT CALLBACK MSubclass_WindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam);
UINT CurrentMessage();
LRESULT CallOldWindowProc(HWND hWnd, UINT iMsg, WPARAM wParam, LPARAM lParam);

// Error codes of the service; raised as ObjectError(code) with source ExeBaseName() + ".WindowProc".
constexpr int32_t kErrCantSubclass = 13081;
constexpr int32_t kErrAlreadyHandled = 13082;
constexpr int32_t kErrInvalidWindow = 13083;
constexpr int32_t kErrExternalWindow = 13084;

// Raises `e` as it is when it is at most 1000 (no source, no description), otherwise in the
// object-error range with this module's source and the description of the code.
[[noreturn]] void ErrRaise(int32_t e);
