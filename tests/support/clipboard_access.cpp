#include "tests/support/clipboard_access.h"

#include <cstring>

bool OpenClipboardPatiently(HWND owner, DWORD timeoutMs) {
  return WaitUntil([&] { return OpenClipboard(owner) != 0; }, timeoutMs);
}

std::optional<std::vector<unsigned char>> ReadClipboardBytes(UINT format) {
  if (!OpenClipboardPatiently(nullptr)) return std::nullopt;
  std::optional<std::vector<unsigned char>> bytes;
  if (HANDLE data = GetClipboardData(format)) {
    if (const void* content = GlobalLock(data)) {
      const auto* first = static_cast<const unsigned char*>(content);
      bytes.emplace(first, first + GlobalSize(data));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return bytes;
}

std::optional<std::wstring> ReadClipboardText() {
  std::optional<std::vector<unsigned char>> bytes = ReadClipboardBytes(CF_UNICODETEXT);
  if (!bytes) return std::nullopt;
  std::wstring text(bytes->size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) std::memcpy(&text[0], bytes->data(), text.size() * sizeof(wchar_t));
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

std::vector<UINT> ClipboardFormats() {
  std::vector<UINT> formats;
  if (!OpenClipboardPatiently(nullptr)) return formats;
  for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) formats.push_back(format);
  CloseClipboard();
  return formats;
}

bool ReplaceClipboard(const std::vector<std::pair<UINT, std::vector<unsigned char>>>& content) {
  if (!OpenClipboardPatiently(nullptr)) return false;
  bool placed = EmptyClipboard() != 0;
  for (const auto& [format, bytes] : content) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    void* into = block ? GlobalLock(block) : nullptr;
    if (!into) {
      if (block) GlobalFree(block);
      placed = false;
      continue;
    }
    std::memcpy(into, bytes.data(), bytes.size());
    GlobalUnlock(block);
    if (!SetClipboardData(format, block)) {
      GlobalFree(block);
      placed = false;
    }
  }
  CloseClipboard();
  return placed;
}
