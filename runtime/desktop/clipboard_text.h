// Replaces the whole clipboard with one Unicode text.
#pragma once

#include <windows.h>

// The clipboard's handle of the text (non-null on success), or null when the
// text did not reach the clipboard. A null text reads as the empty text.
HANDLE PutClipboardText(const char16_t* text);
