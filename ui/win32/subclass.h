#pragma once

#include <windows.h>

// A control's messages passed through procedures of ours before its own, as comctl32's
// SetWindowSubclass does, but kept in the process: comctl32 finds a window's procedures
// through a window property at every message, and under Wine each such look-up is a round
// trip to the window server (some 800 of them before Kalvor's window first shows).
namespace kalvor::win32 {

using SubclassProc = LRESULT(CALLBACK *)(HWND, UINT, WPARAM, LPARAM, UINT_PTR id, DWORD_PTR data);

// Puts the procedure in front of the window's: it sees each message first, with its id and
// data, and hands it on with CallNext. The last procedure added runs first. Everything is
// let go of when the window is destroyed. False when the window cannot be subclassed.
bool Subclass(HWND window, SubclassProc procedure, UINT_PTR id, DWORD_PTR data);

// Hands a message on to the procedure after the one running now: the next one added before
// it, at last the window's own.
LRESULT CallNext(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace kalvor::win32
