#include "tests/support/window_search.h"

namespace {

struct Search {
  DWORD processId;
  const wchar_t* className;
  const wchar_t* title;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectMatch(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  if (!IsWindowVisible(window)) return TRUE;
  if (search->processId != 0 && WindowProcessId(window) != search->processId) return TRUE;
  if (search->className && WindowClassName(window) != search->className) return TRUE;
  if (search->title && WindowText(window) != search->title) return TRUE;
  search->found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> FindTopLevelWindows(DWORD processId, const wchar_t* className, const wchar_t* title) {
  Search search{processId, className, title, {}};
  EnumWindows(CollectMatch, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForTopLevelWindow(DWORD processId, const wchar_t* className, const wchar_t* title, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        std::vector<HWND> windows = FindTopLevelWindows(processId, className, title);
        if (!windows.empty()) found = windows.front();
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(20);
  }
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs) {
  return WaitUntil([&] { return !IsWindow(window); }, timeoutMs);
}

std::wstring WindowText(HWND window) {
  // A window of a busy thread must not stall the reader: ask with a timeout.
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, DRIVER_TIMEOUT_MS, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                           DRIVER_TIMEOUT_MS, &copied)) {
    return {};
  }
  text.resize(copied);
  return text;
}

std::wstring WindowClassName(HWND window) {
  wchar_t name[256] = {};
  int length = GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? length : 0);
}

DWORD WindowProcessId(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

HWND WindowOwner(HWND window) { return GetWindow(window, GW_OWNER); }

std::vector<HWND> VisibleChildren(HWND parent, const wchar_t* className) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child) && WindowClassName(child) == className) children.push_back(child);
  }
  return children;
}

void PressDialogButton(HWND dialog, int buttonId) {
  HWND button = GetDlgItem(dialog, buttonId);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void CancelDialogsOf(DWORD processId) {
  for (HWND dialog : FindTopLevelWindows(processId, L"#32770", nullptr)) PressDialogButton(dialog, IDCANCEL);
}
