#include "runtime/desktop/clipboard_text.h"

#include <cstring>

#include "runtime/strings/string_functions.h"

HANDLE PutClipboardText(const char16_t* text) {
  if (!OpenClipboard(nullptr)) return nullptr;
  if (!text) text = u"";
  auto bytes = static_cast<size_t>(TextLength(text) + 1) * sizeof(char16_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes);
  if (!block) {
    CloseClipboard();
    return nullptr;
  }
  // Emptied only now, so that a failed allocation keeps the earlier content.
  EmptyClipboard();
  void* content = GlobalLock(block);
  if (!content) {
    GlobalFree(block);
    CloseClipboard();
    return nullptr;
  }
  std::memcpy(content, text, bytes);
  GlobalUnlock(block);
  HANDLE result = SetClipboardData(CF_UNICODETEXT, block);
  // The clipboard takes the block only when it accepts it.
  if (!result) GlobalFree(block);
  CloseClipboard();
  return result;
}
