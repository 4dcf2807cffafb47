// Finding and reading top-level windows of any process by their handles.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Every wait of these helpers gives up after this long, so a broken test
// fails instead of hanging.
constexpr DWORD DRIVER_TIMEOUT_MS = 10000;

// The visible top-level windows of a process (0: any process) whose class and
// title match exactly (null: any).
std::vector<HWND> FindTopLevelWindows(DWORD processId, const wchar_t* className, const wchar_t* title);

// Polls until such a window exists; null after the timeout.
HWND WaitForTopLevelWindow(DWORD processId, const wchar_t* className, const wchar_t* title,
                           DWORD timeoutMs = DRIVER_TIMEOUT_MS);

// Polls the condition every few milliseconds; false after the timeout.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = DRIVER_TIMEOUT_MS);

bool WaitForWindowGone(HWND window, DWORD timeoutMs = DRIVER_TIMEOUT_MS);

std::wstring WindowText(HWND window);
std::wstring WindowClassName(HWND window);
DWORD WindowProcessId(HWND window);
HWND WindowOwner(HWND window);

// The visible direct children of a window with the given class, in z-order.
std::vector<HWND> VisibleChildren(HWND parent, const wchar_t* className);

// Presses a dialog button (IDOK, IDCANCEL, ...) as a click would: the command
// is posted, so this returns at once even when the press opens another box.
void PressDialogButton(HWND dialog, int buttonId);

// Cancels every dialog of a process that is still open; a driver that lost
// its way calls this so that the modal call it drives can return.
void CancelDialogsOf(DWORD processId);
