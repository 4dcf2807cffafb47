// The digest of a whole file as lowercase hexadecimal text in the string
// workspace, and the keyed (HMAC, RFC 2104) variant of any digest method.
#pragma once

#include <cstdint>

#include "runtime/digest/digest_registry.h"

// Key encodings of BeginKeyedDigest; any other value means UTF-8.
constexpr int32_t KEY_ENCODING_ANSI = 24;
constexpr int32_t KEY_ENCODING_UTF16 = 25;
constexpr int32_t KEY_ENCODING_UTF8 = 0;

// Every read asks for this many bytes.
constexpr uint32_t FILE_DIGEST_READ_SIZE = 1048576;

// Writes the digest text of the file at the mark (-1: the current position);
// the empty text when the method is not registered or the file cannot be
// opened or read to its end.
void FileDigest(const char16_t* path, int32_t id, int64_t mark);
// Writes the context's digest as lowercase hex at the mark; no context gives
// the empty text.
void DigestToHex(const DigestContext* context, int64_t mark);

// Both do nothing unless id has DIGEST_KEYED and there is a context. Begin runs
// after reset and before the data; End runs after finish of the data.
void BeginKeyedDigest(DigestContext* context, const DigestMethods* method, int32_t id, const char16_t* key,
                      int32_t keyEncoding);
void EndKeyedDigest(DigestContext* context, const DigestMethods* method, int32_t id);
