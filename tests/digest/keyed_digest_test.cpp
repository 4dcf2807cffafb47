#include <gtest/gtest.h>

#include <string>

#include "digest_test_support.h"
#include "runtime/digest/file_digest.h"
#include "runtime/strings/workspace.h"

namespace {

using namespace digest_test;

class KeyedDigestTest : public RegisteredDigests {
 protected:
  static std::string Hmac(int32_t id, const std::u16string& key, int32_t keyEncoding,
                          const std::vector<uint8_t>& data) {
    return Hmac(id, key.c_str(), keyEncoding, data);
  }
  static std::string Hmac(int32_t id, const char16_t* key, int32_t keyEncoding, const std::vector<uint8_t>& data) {
    const DigestMethods* method = FindDigest(id);
    DigestContext* context = method->create();
    method->reset(context, 0);
    BeginKeyedDigest(context, method, id, key, keyEncoding);
    method->update(context, data.data(), static_cast<uint32_t>(data.size()));
    method->finish(context);
    EndKeyedDigest(context, method, id);
    int64_t mark = WorkspacePosition();
    DigestToHex(context, mark);
    method->destroy(context);
    return TextAt(mark);
  }
};

constexpr int32_t HMAC_MD5 = DIGEST_MD5 + DIGEST_KEYED;

// RFC 2202, section 2. A key text holds bytes only through its encoding: UTF-8
// for control characters, UTF-16 code units for the 0xaa and 0x0c bytes
// (U+AAAA is the bytes aa aa).
TEST_F(KeyedDigestTest, Rfc2202HmacMd5) {
  std::u16string bytes1to25;
  for (char16_t c = 1; c <= 25; ++c) bytes1to25 += c;
  const struct {
    std::u16string key;
    int32_t encoding;
    std::vector<uint8_t> data;
    const char* digest;
  } cases[] = {
      {std::u16string(16, u'\x0b'), KEY_ENCODING_UTF8, Bytes("Hi There"), "9294727a3638bb1c13f48ef8158bfc9d"},
      {u"Jefe", KEY_ENCODING_ANSI, Bytes("what do ya want for nothing?"), "750c783e6ab0b503eaa86e310a5db738"},
      {std::u16string(8, u'\xaaaa'), KEY_ENCODING_UTF16, std::vector<uint8_t>(50, 0xdd),
       "56be34521d144c88dbb8c733f0e8b3f6"},
      {bytes1to25, KEY_ENCODING_UTF8, std::vector<uint8_t>(50, 0xcd), "697eaf0aca3a3aea3a75164746ffaa79"},
      {std::u16string(8, u'\x0c0c'), KEY_ENCODING_UTF16, Bytes("Test With Truncation"),
       "56461ef2342edc00f9bab995690efd4c"},
      {std::u16string(40, u'\xaaaa'), KEY_ENCODING_UTF16,
       Bytes("Test Using Larger Than Block-Size Key - Hash Key First"), "6b1ab7fe4bd7bf8f0b62e6ce61b9d0cd"},
      {std::u16string(40, u'\xaaaa'), KEY_ENCODING_UTF16,
       Bytes("Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data"),
       "6f630fad67cda0ee1fb1f562db3aa53e"},
  };
  ForEachMd5Path([&] {
    int number = 1;
    for (const auto& test : cases)
      EXPECT_EQ(Hmac(HMAC_MD5, test.key, test.encoding, test.data), test.digest) << number++;
  });
}

// Expected values from Python's hmac with the key bytes each encoding makes.
TEST_F(KeyedDigestTest, KeyEncodings) {
  auto data = Bytes("what do ya want for nothing?");
  const char* jefe = "750c783e6ab0b503eaa86e310a5db738";
  EXPECT_EQ(Hmac(HMAC_MD5, u"Jefe", KEY_ENCODING_UTF8, data), jefe);
  EXPECT_EQ(Hmac(HMAC_MD5, u"Jefe", 7, data), jefe);
  // 'Jefe'.encode('utf-16-le')
  EXPECT_EQ(Hmac(HMAC_MD5, u"Jefe", KEY_ENCODING_UTF16, data), "06a5b9b41efd9d4800048d4911e9b300");
  // '\u00e9'.encode('utf-8')
  EXPECT_EQ(Hmac(HMAC_MD5, u"\u00e9", KEY_ENCODING_UTF8, data), "55b5aa710a8e0cfd44655a9332a5cbaa");
  // b'': no key and the empty key alike
  const char* emptyKey = "ae2e4b39f3b5ee2c8b585994294201ea";
  EXPECT_EQ(Hmac(HMAC_MD5, nullptr, KEY_ENCODING_UTF8, data), emptyKey);
  EXPECT_EQ(Hmac(HMAC_MD5, u"", KEY_ENCODING_UTF16, data), emptyKey);
}

TEST_F(KeyedDigestTest, WithoutTheKeyedFlagNothingHappens) {
  auto data = Bytes("what do ya want for nothing?");
  EXPECT_EQ(Hmac(DIGEST_MD5, u"Jefe", KEY_ENCODING_UTF8, data), MethodDigest(DIGEST_MD5, data));
  EXPECT_EQ(Hmac(DIGEST_CRC32, u"Jefe", KEY_ENCODING_UTF8, data), MethodDigest(DIGEST_CRC32, data));
  BeginKeyedDigest(nullptr, FindDigest(DIGEST_MD5), HMAC_MD5, u"Jefe", KEY_ENCODING_UTF8);
  EndKeyedDigest(nullptr, FindDigest(DIGEST_MD5), HMAC_MD5);
}

}  // namespace
