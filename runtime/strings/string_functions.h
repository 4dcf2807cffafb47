// String functions over NUL-terminated UTF-16 texts. A null text reads as the
// empty text. The producers (UpperCase, FileNameOfPath) write their result at
// a mark in the string workspace and leave the position on its terminator.
#pragma once

#include <cstdint>

// Option of FileNameOfPath: leave the extension out of the name.
constexpr uint32_t NAME_WITHOUT_EXTENSION = 1;

void UpperCase(const char16_t* text, int64_t mark);
void FileNameOfPath(const char16_t* path, uint32_t options, int64_t mark);
inline void FileNameOfPath(const char16_t* path, int64_t mark) {
  FileNameOfPath(path, 0, mark);
}

int StringsEqual(const char16_t* first, const char16_t* second);
int64_t TextLength(const char16_t* text);
int IsPlainFileName(const char16_t* text);
char16_t* CopyBounded(char16_t* destination, const char16_t* source, uint64_t count);
