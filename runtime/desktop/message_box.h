// The system message box, shown with an automatic owner while the calling
// thread's other windows are held inert.
#pragma once

#include <windows.h>

#include <cstdint>

// The id of the button that closed the box, or 0 when it could not be shown.
// A null owner means FindOwnerWindow().
int64_t ShowMessage(const char16_t* title, const char16_t* text, uint32_t style, HWND owner);
// A box with an OK button and an automatic owner.
int64_t ShowMessageOk(const char16_t* title, const char16_t* text);
