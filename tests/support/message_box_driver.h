// Reads and presses a live system message box of any process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/window_search.h"

struct MessageBoxView {
  std::wstring title;
  std::wstring text;
  std::vector<std::wstring> buttons;  // the visible buttons' texts, in order
  HWND owner = nullptr;
};

// A visible message box of the process whose title matches exactly (null:
// any title) and whose owner is the given window (null: any owner).
HWND WaitForMessageBox(DWORD processId, const wchar_t* title, HWND owner = nullptr,
                       DWORD timeoutMs = DRIVER_TIMEOUT_MS);

MessageBoxView ReadMessageBox(HWND box);
