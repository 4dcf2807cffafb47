#include <cstring>

#include "runtime/strings/string_functions.h"
#include "runtime/strings/workspace.h"

void FileNameOfPath(const char16_t* path, uint32_t options, int64_t mark) {
  const char16_t* begin = nullptr;
  const char16_t* end = nullptr;
  if (path) {
    begin = *path == u'"' ? path + 1 : path;
    // Every separator moves the start, also one after a closing quote.
    for (const char16_t* at = path; *at; ++at) {
      if (*at == u'/' || *at == u'\\') begin = at + 1;
    }
    end = begin;
    while (*end && *end != u'"') ++end;
    if ((options & NAME_WITHOUT_EXTENSION) && end > begin) {
      // The first character is never examined, so ".profile" stays whole.
      for (const char16_t* at = end; at > begin; --at) {
        if (*at == u' ') break;
        if (*at == u'.') {
          if (at < end - 1) end = at;
          break;
        }
      }
    }
  }
  int64_t length = end - begin;
  int64_t offset = WorkspaceOffsetOf(begin);
  char16_t* result = ReserveWorkspace(length, mark);
  if (offset != 0) begin = reinterpret_cast<const char16_t*>(WorkspacePointerAt(offset));
  if (length > 0) std::memmove(result, begin, static_cast<size_t>(length) * sizeof(char16_t));
  result[length] = u'\0';
}
