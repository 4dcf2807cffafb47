// Plain top-level windows and message pumping for test programs.
#pragma once

#include <windows.h>

// A top-level window of a class that does nothing but exist. showCommand is
// passed to ShowWindow unless it is SW_HIDE (the window then stays hidden).
HWND CreatePlainWindow(const wchar_t* title, DWORD extendedStyle, int showCommand);

// Handles the calling thread's messages until the event is set (true) or the
// timeout passes (false).
bool PumpMessagesUntil(HANDLE event, DWORD timeoutMs);

// Handles the messages already waiting for the calling thread.
void PumpPendingMessages();
