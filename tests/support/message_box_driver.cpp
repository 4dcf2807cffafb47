#include "tests/support/message_box_driver.h"

namespace {

// The static control that holds a message box's text.
constexpr int MESSAGE_TEXT_ID = 0xFFFF;

}  // namespace

HWND WaitForMessageBox(DWORD processId, const wchar_t* title, HWND owner, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND box : FindTopLevelWindows(processId, L"#32770", title)) {
          if (!GetDlgItem(box, MESSAGE_TEXT_ID)) continue;
          if (owner && WindowOwner(box) != owner) continue;
          found = box;
        }
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

MessageBoxView ReadMessageBox(HWND box) {
  MessageBoxView view;
  view.title = WindowText(box);
  view.text = WindowText(GetDlgItem(box, MESSAGE_TEXT_ID));
  for (HWND button : VisibleChildren(box, L"Button")) view.buttons.push_back(WindowText(button));
  view.owner = WindowOwner(box);
  return view;
}
