// Reading and filling the system clipboard from a test program.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/window_search.h"

// Opens the clipboard for the calling thread, retrying while another program
// holds it; false after the timeout. Under Wine a program that must keep
// others out opens it with a window of its own.
bool OpenClipboardPatiently(HWND owner, DWORD timeoutMs = DRIVER_TIMEOUT_MS);

// The bytes of one format; nothing when the clipboard does not hold it.
std::optional<std::vector<unsigned char>> ReadClipboardBytes(UINT format);
// The Unicode text (CF_UNICODETEXT) up to its first NUL.
std::optional<std::wstring> ReadClipboardText();
// The formats the clipboard holds, in its order.
std::vector<UINT> ClipboardFormats();

// Replaces the clipboard's content with these formats and bytes.
bool ReplaceClipboard(const std::vector<std::pair<UINT, std::vector<unsigned char>>>& content);
