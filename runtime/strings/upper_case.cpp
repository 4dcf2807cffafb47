#include <cstring>

#include "runtime/strings/string_functions.h"
#include "runtime/strings/workspace.h"

void UpperCase(const char16_t* text, int64_t mark) {
  int64_t length = TextLength(text);
  int64_t offset = WorkspaceOffsetOf(text);
  char16_t* result = ReserveWorkspace(length, mark);
  if (offset != 0) text = reinterpret_cast<const char16_t*>(WorkspacePointerAt(offset));
  if (!text) {
    *result = u'\0';
    return;
  }
  // A move, so that a source overlapping the result in either direction is safe.
  std::memmove(result, text, static_cast<size_t>(length + 1) * sizeof(char16_t));
  PlatformUpperCase(result);
}
