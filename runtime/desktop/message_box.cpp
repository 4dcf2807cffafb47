#include "runtime/desktop/message_box.h"

#include "runtime/desktop/modal_guard.h"

int64_t ShowMessage(const char16_t* title, const char16_t* text, uint32_t style, HWND owner) {
  // The owner is chosen before the guard disables anything.
  if (!owner) owner = FindOwnerWindow();
  ModalGuard(1);
  int result =
      MessageBoxW(owner, reinterpret_cast<const wchar_t*>(text), reinterpret_cast<const wchar_t*>(title), style);
  ModalGuard(0);
  return result;
}

int64_t ShowMessageOk(const char16_t* title, const char16_t* text) { return ShowMessage(title, text, MB_OK, nullptr); }
