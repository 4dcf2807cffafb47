// A second process for tests that need another program on the desktop: one
// that holds the clipboard open, or that shows a window of its own.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/window_search.h"

// Roles of the peer program (desktop_peer.exe).
// Opens the clipboard with a hidden window of its own and keeps it open.
constexpr const wchar_t* HOLD_CLIPBOARD = L"hold-clipboard";
// Shows a window and makes it the foreground window.
constexpr const wchar_t* FOREGROUND_WINDOW = L"foreground-window";
// Shows a topmost window without activating it.
constexpr const wchar_t* TOPMOST_WINDOW = L"topmost-window";

struct PeerProcess {
  HANDLE process = nullptr;  // null when the peer did not get ready
  DWORD processId = 0;
  HANDLE stopEvent = nullptr;
  HWND window = nullptr;  // the peer's own window
};

// Starts the peer program in a role and waits until it has taken it up.
PeerProcess StartPeer(const std::wstring& program, const wchar_t* role, DWORD timeoutMs = DRIVER_TIMEOUT_MS);
// Asks the peer to let go and end; ends it by force after the timeout.
void StopPeer(PeerProcess& peer, DWORD timeoutMs = DRIVER_TIMEOUT_MS);

// The body of the peer program: arguments are the role and the names of the
// ready and stop events. Returns the exit code.
int RunPeer();

// The full path of a file in the directory of the running program.
std::wstring PathBesideThisProgram(const wchar_t* fileName);
