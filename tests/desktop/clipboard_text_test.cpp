#include "runtime/desktop/clipboard_text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/desktop/desktop_test_helpers.h"
#include "tests/support/clipboard_access.h"

namespace {

using testing::Contains;
using testing::Not;

std::vector<unsigned char> BytesOf(const std::u16string& text) {
  const auto* first = reinterpret_cast<const unsigned char*>(text.data());
  return std::vector<unsigned char>(first, first + (text.size() + 1) * sizeof(char16_t));
}

// Earlier content in a format of the test's own and as Unicode text.
void PutEarlierContent(UINT ownFormat) {
  ASSERT_TRUE(ReplaceClipboard({{ownFormat, {1, 2, 3, 4}}, {CF_UNICODETEXT, BytesOf(u"earlier")}}));
  ASSERT_THAT(ClipboardFormats(), Contains(ownFormat));
}

TEST(ClipboardTextTest, ReplacesTheWholeClipboardWithTheTextUpToItsFirstNul) {
  const UINT ownFormat = RegisterClipboardFormatW(L"DesktopTestFormat");
  const char16_t withNul[] = u"ab\0cd";
  struct Case {
    const char* name;
    const char16_t* text;
    std::u16string expected;
  };
  for (const Case& c : {Case{"null", nullptr, u""}, Case{"empty", u"", u""},
                        Case{"line ends and case kept", u"Mixed Case\r\nnext\nlast\r", u"Mixed Case\r\nnext\nlast\r"},
                        Case{"stops at the first NUL", withNul, u"ab"}}) {
    SCOPED_TRACE(c.name);
    PutEarlierContent(ownFormat);

    EXPECT_NE(PutClipboardText(c.text), nullptr);

    std::optional<std::vector<unsigned char>> bytes = ReadClipboardBytes(CF_UNICODETEXT);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, BytesOf(c.expected));
    EXPECT_THAT(ClipboardFormats(), Not(Contains(ownFormat)));
  }
}

TEST(ClipboardTextTest, LeavesTheClipboardAloneWhileAnotherProgramHoldsItOpen) {
  PutEarlierContent(RegisterClipboardFormatW(L"DesktopTestFormat"));
  {
    Peer holder(HOLD_CLIPBOARD);
    ASSERT_NE(holder.process().process, nullptr);
    EXPECT_EQ(PutClipboardText(u"refused"), nullptr);
  }
  EXPECT_EQ(ReadClipboardText(), L"earlier");
}

// SetClipboardData cannot be made to refuse a block on a live desktop, so its
// import is pointed at a stand-in that refuses, for this one test.
extern "C" HANDLE(WINAPI* __imp_SetClipboardData)(UINT, HANDLE);

HANDLE refusedBlock = nullptr;

HANDLE WINAPI RefuseClipboardData(UINT, HANDLE block) {
  refusedBlock = block;
  return nullptr;
}

class RefusedClipboardData {
 public:
  RefusedClipboardData() { Point(RefuseClipboardData); }
  ~RefusedClipboardData() { Point(saved_); }

 private:
  void Point(HANDLE(WINAPI* target)(UINT, HANDLE)) {
    DWORD protection = 0;
    VirtualProtect(&__imp_SetClipboardData, sizeof target, PAGE_READWRITE, &protection);
    __imp_SetClipboardData = target;
    VirtualProtect(&__imp_SetClipboardData, sizeof target, protection, &protection);
  }

  HANDLE(WINAPI* saved_)(UINT, HANDLE) = __imp_SetClipboardData;
};

TEST(ClipboardTextTest, ARefusedBlockIsFreedAndTheClipboardStaysEmpty) {
  PutEarlierContent(RegisterClipboardFormatW(L"DesktopTestFormat"));
  HANDLE result;
  {
    RefusedClipboardData refusing;
    result = PutClipboardText(u"refused");
  }
  EXPECT_EQ(result, nullptr);
  ASSERT_NE(refusedBlock, nullptr);
  SetLastError(0);
  EXPECT_EQ(GlobalSize(refusedBlock), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_TRUE(ClipboardFormats().empty());
}

}  // namespace
