#include "runtime/strings/string_functions.h"

int StringsEqual(const char16_t* first, const char16_t* second) {
  if (!first) first = u"";
  if (!second) second = u"";
  for (;; ++first, ++second) {
    if (*first != *second) return 0;
    if (*first == u'\0') return 1;
  }
}

int64_t TextLength(const char16_t* text) {
  if (!text) return 0;
  int64_t length = 0;
  while (text[length]) ++length;
  return length;
}

int IsPlainFileName(const char16_t* text) {
  if (!text || *text == u'\0') return 0;
  // Bit c refuses character c: U+0001 to U+001F and " * / : < > ?
  constexpr uint64_t REFUSED_BELOW_0040 = 0xD4008404FFFFFFFFull;
  for (; *text; ++text) {
    char16_t c = *text;
    if (c < 0x40 && ((REFUSED_BELOW_0040 >> c) & 1)) return 0;
    if (c == u'\\' || c == u'|') return 0;
  }
  return 1;
}

char16_t* CopyBounded(char16_t* destination, const char16_t* source, uint64_t count) {
  uint64_t written = 0;
  while (written < count) {
    char16_t c = source[written];
    destination[written++] = c;
    if (c == u'\0') break;
  }
  while (written < count) destination[written++] = u'\0';
  return destination;
}
