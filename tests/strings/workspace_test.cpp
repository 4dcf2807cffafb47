#include <cstring>
#include <string>

#include "runtime/strings/workspace.h"
#include "workspace_fixture.h"
#ifndef _WIN32
#include "runtime/platform/posix_faults.h"
#endif

TEST_F(WorkspaceTest, FreshWorkspaceFitsFiveCharactersAndGrowsForSix) {
  StringWorkspace* workspace = Workspace();
  EXPECT_EQ(workspace->capacity, 16);
  EXPECT_EQ(workspace->position, 0);
  char* firstBuffer = workspace->buffer;

  EXPECT_EQ(ReserveWorkspace(5, CURRENT_POSITION), reinterpret_cast<char16_t*>(firstBuffer));
  EXPECT_EQ(workspace->buffer, firstBuffer);
  EXPECT_EQ(workspace->capacity, 16);
  EXPECT_EQ(WorkspacePosition(), 10);

  ReleaseWorkspace(0);
  ReserveWorkspace(6, CURRENT_POSITION);
  EXPECT_EQ(workspace->capacity, 12 + 16384);
  EXPECT_EQ(WorkspacePosition(), 12);
}

TEST_F(WorkspaceTest, RoomTestUsesThePositionEvenWithALowerMark) {
  AppendLiteral(u"abcd");  // position 8, capacity 16
  ReserveWorkspace(1, 0);  // need 8 + 2 = 10 fits
  EXPECT_EQ(Workspace()->capacity, 16);
  EXPECT_EQ(WorkspacePosition(), 2);

  AppendLiteral(u"bcd");   // position 8 again
  ReserveWorkspace(2, 0);  // mark + 4 would fit, but need 8 + 4 = 12 does not
  EXPECT_EQ(Workspace()->capacity, 12 + 16384);
  EXPECT_EQ(WorkspacePosition(), 4);
}

TEST_F(WorkspaceTest, BufferAboveOneMebibyteShrinksOnTheNextReservationThatFits) {
  ReserveWorkspace(600000, CURRENT_POSITION);
  EXPECT_EQ(Workspace()->capacity, 1200000 + 16384);

  ReserveWorkspace(550000, 0);  // need 1,200,000 + 1,100,000 grows again
  EXPECT_EQ(Workspace()->capacity, 2300000 + 16384);
  ReserveWorkspace(0, CURRENT_POSITION);  // need 1,100,000 fits: shrink to the need
  EXPECT_EQ(Workspace()->capacity, 1100000);

  ReleaseWorkspace(0);
  ReserveWorkspace(0, CURRENT_POSITION);  // shrink, but not below one mebibyte
  EXPECT_EQ(Workspace()->capacity, 1048576);
  char* buffer = Workspace()->buffer;
  ReserveWorkspace(0, CURRENT_POSITION);  // exactly one mebibyte stays
  EXPECT_EQ(Workspace()->capacity, 1048576);
  EXPECT_EQ(Workspace()->buffer, buffer);
}

TEST_F(WorkspaceTest, AppendedLiteralsJoinIntoOneText) {
  AppendLiteral(u"xy");
  SkipWorkspaceTerminator();
  int64_t start = WorkspacePosition();
  AppendLiteral(u"abc");
  AppendLiteral(u"de");
  EXPECT_EQ(TextAt(start), u"abcde");
  EXPECT_EQ(WorkspacePosition(), start + 10);

  AppendLiteral(nullptr);
  EXPECT_EQ(WorkspacePosition(), start + 10);
  EXPECT_EQ(TextAt(start), u"abcde");
  EXPECT_EQ(TextAt(0), u"xy");
}

TEST_F(WorkspaceTest, AssignStringCopiesTheWholeSpan) {
  StringVariable variable = nullptr;
  AssignString(&variable, WorkspacePosition());
  ASSERT_NE(variable, nullptr);
  EXPECT_EQ(std::u16string(variable), u"");

  int64_t mark = WorkspacePosition();
  AppendLiteral(u"first");
  SkipWorkspaceTerminator();
  AppendLiteral(u"second");
  AssignString(&variable, mark);
  EXPECT_EQ(WorkspacePosition(), mark);
  EXPECT_EQ(std::u16string(variable), u"first");
  EXPECT_EQ(std::u16string(variable + 6), u"second");

  AppendLiteral(u"a much longer text than before, so the block is reallocated");
  AssignString(&variable, mark);
  EXPECT_EQ(std::u16string(variable), u"a much longer text than before, so the block is reallocated");
}

TEST_F(WorkspaceTest, OffsetsAreOneBasedAndCoverTheTerminatorAtThePosition) {
  AppendLiteral(u"abc");
  char* base = WorkspaceBase();
  EXPECT_EQ(WorkspaceOffsetOf(base), 1);
  EXPECT_EQ(WorkspaceOffsetOf(base + 6), 7);
  EXPECT_EQ(WorkspaceOffsetOf(base + 8), 0);
  EXPECT_EQ(WorkspaceOffsetOf(nullptr), 0);
  EXPECT_EQ(WorkspacePointerAt(7), base + 6);
}

TEST_F(WorkspaceTest, TrimGivesBackUnusedCharacters) {
  char16_t* result = ReserveWorkspace(10, CURRENT_POSITION);
  result[0] = u'o';
  result[1] = u'k';
  result[2] = u'\0';
  TrimWorkspace(8);
  EXPECT_EQ(WorkspacePosition(), 4);
  EXPECT_EQ(TextAt(0), u"ok");
}

TEST_F(WorkspaceTest, CopyCharactersMovesPairsAndTerminates) {
  struct Case {
    const char16_t* source;
    int64_t count;
    const char16_t* expected;  // the destination's first six characters, '#' untouched
  };
  const Case cases[] = {
      {u"abcdZ", 0, u"\0#####"}, {u"abcdZ", 1, u"a\0####"}, {u"abcdZ", 3, u"abc\0##"}, {u"abcdZ", 4, u"abcd\0#"},
  };
  for (const Case& c : cases) {
    char16_t destination[6];
    for (char16_t& d : destination) d = u'#';
    CopyCharacters(destination, c.source, c.count);
    EXPECT_EQ(std::u16string(destination, 6), std::u16string(c.expected, 6)) << "count " << c.count;
  }
}

TEST_F(WorkspaceTest, PositionAndReleaseKeepTheLastErrorValue) {
  PlatformSetLastError(1234);
  WorkspacePosition();
  EXPECT_EQ(PlatformLastError(), 1234u);
  PlatformSetLastError(5678);
  ReleaseWorkspace(0);
  EXPECT_EQ(PlatformLastError(), 5678u);
}

TEST_F(WorkspaceTest, TextsSurviveAMovingBufferThroughTheirMarks) {
  MoveEveryReallocation();
  int64_t mark = WorkspacePosition();
  std::u16string expected;
  for (int piece = 0; piece < 200; ++piece) {
    AppendLiteral(u"0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef");
    expected += u"0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";
  }
  EXPECT_EQ(TextAt(mark), expected);
  EXPECT_EQ(WorkspacePosition(), mark + 2 * static_cast<int64_t>(expected.size()));
}

#ifndef _WIN32
// With no memory left the runtime ends the process, with exit code 0, rather
// than write through a missing block.
TEST(WorkspaceDeathTest, ExhaustedMemoryEndsTheProcessWithCodeZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto growFails = [] {
    StringRuntimeInit();
    PosixFailAllocationNumber(1);
    ReserveWorkspace(100000, CURRENT_POSITION)[0] = u'x';
  };
  EXPECT_EXIT(growFails(), ::testing::ExitedWithCode(0), "");
  auto assignFails = [] {
    StringRuntimeInit();
    AppendLiteral(u"text");
    StringVariable variable = nullptr;
    PosixFailAllocationNumber(1);
    AssignString(&variable, 0);
    variable[0] = u'x';
  };
  EXPECT_EXIT(assignFails(), ::testing::ExitedWithCode(0), "");
}
#endif
