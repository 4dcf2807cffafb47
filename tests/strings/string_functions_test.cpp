#include "runtime/strings/string_functions.h"

#include <string>

#include "workspace_fixture.h"

class StringFunctionsTest : public WorkspaceTest {};

TEST_F(StringFunctionsTest, UpperCaseTurnsHexLettersAndKeepsDigits) {
  int64_t mark = WorkspacePosition();
  UpperCase(u"0123456789abcdef", mark);
  EXPECT_EQ(TextAt(mark), u"0123456789ABCDEF");
  EXPECT_EQ(WorkspacePosition(), mark + 32);

  for (const char16_t* empty : {static_cast<const char16_t*>(nullptr), u""}) {
    mark = WorkspacePosition();
    UpperCase(empty, mark);
    EXPECT_EQ(TextAt(mark), u"");
    EXPECT_EQ(WorkspacePosition(), mark);
  }
}

TEST_F(StringFunctionsTest, UpperCaseInPlaceSurvivesAMovingBuffer) {
  MoveEveryReallocation();
  std::u16string text(5000, u'e');
  AppendLiteral(text.c_str());  // grows the buffer to 10,000 + 16,384 bytes
  // The copy at the mark itself needs 20,000 bytes of room: the buffer moves.
  UpperCase(WorkspaceTextAt(0), 0);
  EXPECT_EQ(TextAt(0), std::u16string(5000, u'E'));
  EXPECT_EQ(WorkspacePosition(), 10000);
}

TEST_F(StringFunctionsTest, FileNameOfPathTable) {
  struct Case {
    const char16_t* path;
    const char16_t* name;
    const char16_t* nameWithoutExtension;
  };
  const Case cases[] = {
      {u"C:\\dir\\file.txt", u"file.txt", u"file"},
      {u"C:/dir/archive.tar.gz", u"archive.tar.gz", u"archive.tar"},
      {u"\"C:\\dir\\my file.txt\"", u"my file.txt", u"my file"},
      {u"\"report.txt\"", u"report.txt", u"report"},
      {u"\"C:\\prog.exe\" /x", u"x", u"x"},
      {u"ab\"cd.txt", u"ab", u"ab"},
      {u"C:file.txt", u"C:file.txt", u"C:file"},
      {u"C:\\dir\\", u"", u""},
      {u".profile", u".profile", u".profile"},
      {u"name.", u"name.", u"name."},
      {u"a.b.", u"a.b.", u"a.b."},
      {u"notes.tar gz", u"notes.tar gz", u"notes.tar gz"},
      {u"x.y", u"x.y", u"x"},
      {u"", u"", u""},
      {nullptr, u"", u""},
  };
  for (const Case& c : cases) {
    std::u16string shown = c.path ? c.path : u"(null)";
    std::string label(shown.begin(), shown.end());
    int64_t mark = WorkspacePosition();
    FileNameOfPath(c.path, mark);
    EXPECT_EQ(TextAt(mark), c.name) << label;
    EXPECT_EQ(WorkspacePosition(), mark + 2 * TextLength(c.name)) << label;
    SkipWorkspaceTerminator();
    mark = WorkspacePosition();
    FileNameOfPath(c.path, NAME_WITHOUT_EXTENSION, mark);
    EXPECT_EQ(TextAt(mark), c.nameWithoutExtension) << label;
    EXPECT_EQ(WorkspacePosition(), mark + 2 * TextLength(c.nameWithoutExtension)) << label;
  }
}

TEST_F(StringFunctionsTest, FileNameOfAPathInTheWorkspaceMovesDownOverItself) {
  MoveEveryReallocation();
  std::u16string directory(3000, u'd');
  std::u16string path = u"C:\\" + directory + u"\\name.txt";
  AppendLiteral(path.c_str());
  FileNameOfPath(WorkspaceTextAt(0), NAME_WITHOUT_EXTENSION, 0);
  EXPECT_EQ(TextAt(0), u"name");
  EXPECT_EQ(WorkspacePosition(), 8);

  // A name that overlaps its own destination.
  ReleaseWorkspace(0);
  AppendLiteral(u"a\\bcdefgh");
  FileNameOfPath(WorkspaceTextAt(0), 0);
  EXPECT_EQ(TextAt(0), u"bcdefgh");
}

TEST_F(StringFunctionsTest, StringsEqualIsExactAndReadsNullAsEmpty) {
  EXPECT_EQ(StringsEqual(nullptr, u""), 1);
  EXPECT_EQ(StringsEqual(u"", nullptr), 1);
  EXPECT_EQ(StringsEqual(nullptr, nullptr), 1);
  EXPECT_EQ(StringsEqual(u"abc", u"abc"), 1);
  EXPECT_EQ(StringsEqual(u"abc", u"ABC"), 0);
  EXPECT_EQ(StringsEqual(u"abc", u"abcd"), 0);
  EXPECT_EQ(StringsEqual(u"abcd", u"abc"), 0);
  EXPECT_EQ(StringsEqual(u"a", nullptr), 0);
}

TEST_F(StringFunctionsTest, TextLengthCountsCodeUnits) {
  EXPECT_EQ(TextLength(nullptr), 0);
  EXPECT_EQ(TextLength(u""), 0);
  EXPECT_EQ(TextLength(u"abc"), 3);
  EXPECT_EQ(TextLength(u"\U0001F600"), 2);
}

TEST_F(StringFunctionsTest, IsPlainFileNameRefusesTheReservedSet) {
  EXPECT_EQ(IsPlainFileName(nullptr), 0);
  EXPECT_EQ(IsPlainFileName(u""), 0);
  EXPECT_EQ(IsPlainFileName(u"report 7.txt"), 1);
  EXPECT_EQ(IsPlainFileName(u"!#$%&'()+,-;=@[]^_`{}~.\u007f\u00e9\U0001F600"), 1);
  const std::u16string refused = u"\"*/:<>?\\|";
  for (char16_t c = 1; c < 0x80; ++c) {
    std::u16string name = u"ab";
    name += c;
    bool expectRefused = c < 0x20 || refused.find(c) != std::u16string::npos;
    EXPECT_EQ(IsPlainFileName(name.c_str()), expectRefused ? 0 : 1) << "character " << int(c);
  }
}

TEST_F(StringFunctionsTest, CopyBoundedFillsOrTruncates) {
  char16_t destination[6];
  auto reset = [&] {
    for (char16_t& d : destination) d = u'#';
  };
  reset();
  EXPECT_EQ(CopyBounded(destination, u"ab", 5), destination);
  EXPECT_EQ(std::u16string(destination, 6), std::u16string(u"ab\0\0\0#", 6));
  reset();
  CopyBounded(destination, u"abc", 2);
  EXPECT_EQ(std::u16string(destination, 6), u"ab####");
  reset();
  CopyBounded(destination, u"abc", 0);
  EXPECT_EQ(std::u16string(destination, 6), u"######");
}
