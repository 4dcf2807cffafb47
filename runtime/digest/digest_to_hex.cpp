#include "runtime/digest/file_digest.h"
#include "runtime/strings/workspace.h"

void DigestToHex(const DigestContext* context, int64_t mark) {
  static const char16_t digits[] = u"0123456789abcdef";
  int64_t bytes = context ? context->digestBits / 8 : 0;
  char16_t* text = ReserveWorkspace(2 * bytes, mark);
  for (int64_t i = 0; i < bytes; ++i) {
    text[2 * i] = digits[context->digest[i] >> 4];
    text[2 * i + 1] = digits[context->digest[i] & 15];
  }
  text[2 * bytes] = u'\0';
}
