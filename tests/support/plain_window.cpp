#include "tests/support/plain_window.h"

namespace {

const wchar_t* PlainWindowClass() {
  static ATOM atom = [] {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"DesktopTestPlainWindow";
    return RegisterClassExW(&windowClass);
  }();
  return atom ? L"DesktopTestPlainWindow" : nullptr;
}

}  // namespace

HWND CreatePlainWindow(const wchar_t* title, DWORD extendedStyle, int showCommand) {
  HWND window = CreateWindowExW(extendedStyle, PlainWindowClass(), title, WS_OVERLAPPEDWINDOW, 40, 40, 320, 200,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window && showCommand != SW_HIDE) ShowWindow(window, showCommand);
  return window;
}

void PumpPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool PumpMessagesUntil(HANDLE event, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    PumpPendingMessages();
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
    DWORD woken = MsgWaitForMultipleObjects(1, &event, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) return true;
    if (woken != WAIT_OBJECT_0 + 1) return false;
  }
}
