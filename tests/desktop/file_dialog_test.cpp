#include "runtime/desktop/file_dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "runtime/desktop/modal_guard.h"
#include "runtime/strings/workspace.h"
#include "tests/desktop/desktop_test_helpers.h"
#include "tests/support/file_dialog_driver.h"
#include "tests/support/message_box_driver.h"
#include "tests/support/plain_window.h"

namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::HasSubstr;

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

const char16_t* C16(const std::wstring& text) { return reinterpret_cast<const char16_t*>(text.c_str()); }

const std::wstring DATA = L"C:\\Data";
// A directory and names long enough that a directory and a name together pass
// the 260 characters of a path.
const std::wstring LONG_DIRECTORY = L"C:\\" + std::wstring(197, L'd');
const std::wstring LONG_FIRST = std::wstring(96, L'f') + L".txt";
const std::wstring LONG_SECOND = std::wstring(96, L's') + L".txt";
// Directories that just fit, and just do not fit, into 260 characters with a
// backslash and a NUL behind them.
const std::wstring PARENT = L"C:\\" + std::wstring(150, L'p');
const std::wstring FITTING_DIRECTORY = PARENT + L"\\" + std::wstring(104, L'q');
const std::wstring OVERLONG_DIRECTORY = PARENT + L"\\" + std::wstring(105, L'r');

void CreateEmptyFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << std::string(path.begin(), path.end());
  CloseHandle(file);
}

struct Arguments {
  std::wstring title;
  const char16_t* defaultFile = nullptr;
  const char16_t* pattern = u"Text files (*.txt)|*.txt|All files (*.*)|*.*";
  int32_t patternIndex = 1;
  int32_t mode = 0;
  int32_t flags = 0;
  HWND owner = nullptr;
};

struct Outcome {
  bool driven = false;
  FileDialogView shown;              // as the dialog first appeared
  std::u16string result;             // the text at the mark
  int64_t charactersToPosition = 0;  // from the mark to the position
  bool earlierTextKept = false;      // the text before the mark is still there
};

// Shows the dialog on this thread while a driver on another thread reads it
// and then acts on it as a user would.
Outcome RunDialog(const Arguments& arguments, const std::function<bool(HWND)>& act) {
  Outcome outcome;
  int64_t statement = WorkspacePosition();
  AppendLiteral(u"earlier text ");
  int64_t mark = WorkspacePosition();
  DialogDriver driver([&] {
    HWND dialog = WaitForFileDialog(GetCurrentProcessId(), arguments.title.c_str());
    if (!dialog) return false;
    outcome.shown = ReadFileDialog(dialog);
    return act(dialog) && WaitForWindowGone(dialog);
  });
  ShowFileDialog(C16(arguments.title), arguments.defaultFile, arguments.pattern, arguments.patternIndex, arguments.mode,
                 arguments.flags, arguments.owner, mark);
  outcome.driven = driver.Finish();
  outcome.result = WorkspaceTextAt(mark);
  outcome.charactersToPosition = (WorkspacePosition() - mark) / 2;
  outcome.earlierTextKept = std::u16string(WorkspaceTextAt(statement)) == u"earlier text " + outcome.result;
  ReleaseWorkspace(statement);
  return outcome;
}

bool Cancel(HWND dialog) {
  PressDialogButton(dialog, IDCANCEL);
  return true;
}

std::function<bool(HWND)> Choose(const std::wstring& fileName) {
  return [=](HWND dialog) {
    SetFileDialogFileName(dialog, fileName);
    PressDialogButton(dialog, IDOK);
    return true;
  };
}

std::wstring CurrentDirectory() {
  wchar_t directory[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, directory);
  return directory;
}

class FileDialogTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const std::wstring& directory : {DATA, LONG_DIRECTORY, PARENT, FITTING_DIRECTORY, OVERLONG_DIRECTORY}) {
      CreateDirectoryW(directory.c_str(), nullptr);
    }
    for (const wchar_t* name : {L"report.txt", L"a.txt", L"b.txt", L"c.txt"}) CreateEmptyFile(DATA + L"\\" + name);
    for (const wchar_t* name : {L"C:\\root-a.txt", L"C:\\root-b.txt"}) CreateEmptyFile(name);
    CreateEmptyFile(LONG_DIRECTORY + L"\\" + LONG_FIRST);
    CreateEmptyFile(LONG_DIRECTORY + L"\\" + LONG_SECOND);
    for (const std::wstring& directory : {FITTING_DIRECTORY, OVERLONG_DIRECTORY}) {
      CreateEmptyFile(directory + L"\\a.txt");
      CreateEmptyFile(directory + L"\\b.txt");
    }
  }

  void TearDown() override { EXPECT_EQ(guardList, nullptr); }
};

TEST_F(FileDialogTest, StartsInTheDirectoryAndWithTheNameTakenFromTheDefaultFile) {
  const std::wstring longName = std::wstring(259, L'n');
  const std::u16string cutBeforeTheBar = U16(DATA + L"\\" + longName + L"|more");
  struct Case {
    const char* name;
    const char16_t* defaultFile;
    std::optional<std::wstring> folder;  // nothing: the dialog's own choice
    std::wstring fileName;
  };
  const Case cases[] = {
      {"null", nullptr, std::nullopt, L""},
      {"directory and name", u"C:\\Data\\report.txt", DATA, L"report.txt"},
      {"drive and name", u"C:\\report.txt", L"C:\\", L"report.txt"},
      {"name alone", u"report.txt", std::nullopt, L"report.txt"},
      {"leading backslash", u"\\report.txt", std::nullopt, L""},
      {"forward slashes", u"C:/Data/report.txt", std::nullopt, L""},
      {"directory ending in a backslash", u"C:\\Data\\", DATA, L""},
      {"empty", u"", std::nullopt, L""},
      {"name cut to 259 characters", cutBeforeTheBar.c_str(), DATA, longName},
  };
  std::wstring dialogsOwnChoice;
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FileDialogState.selectedPattern = 9;
    Arguments arguments;
    arguments.title = L"initial state " + std::to_wstring(++row);
    arguments.defaultFile = c.defaultFile;
    Outcome outcome = RunDialog(arguments, Cancel);

    ASSERT_TRUE(outcome.driven);
    EXPECT_EQ(outcome.shown.title, arguments.title);
    EXPECT_THAT(outcome.shown.filterDescriptions, ElementsAre(L"Text files (*.txt)", L"All files (*.*)"));
    EXPECT_EQ(outcome.shown.selectedFilter, 1);
    if (c.defaultFile == nullptr) dialogsOwnChoice = outcome.shown.folder;
    EXPECT_FALSE(dialogsOwnChoice.empty());
    EXPECT_EQ(outcome.shown.folder, c.folder.value_or(dialogsOwnChoice));
    EXPECT_EQ(outcome.shown.fileName, c.fileName);
    // Cancelled: the empty text at the mark, the position on the mark.
    EXPECT_EQ(outcome.result, u"");
    EXPECT_EQ(outcome.charactersToPosition, 0);
    EXPECT_TRUE(outcome.earlierTextKept);
    EXPECT_EQ(FileDialogState.selectedPattern, 0);
  }
}

TEST_F(FileDialogTest, ListsThePatternPairsAndSelectsTheOneAskedFor) {
  struct Case {
    const char* name;
    const char16_t* pattern;
    int32_t patternIndex;
    std::vector<std::wstring> descriptions;
    int selected;
  };
  const Case cases[] = {
      {"one pair", u"All files (*.*)|*.*", 0, {L"All files (*.*)"}, 0},
      {"three pairs", u"A (*.a)|*.a|B (*.b)|*.b|C (*.c)|*.c", 2, {L"A (*.a)", L"B (*.b)", L"C (*.c)"}, 2},
      {"null", nullptr, 0, {}, -1},
      {"empty", u"", 0, {}, -1},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Arguments arguments;
    arguments.title = L"patterns " + std::to_wstring(++row);
    arguments.pattern = c.pattern;
    arguments.patternIndex = c.patternIndex;
    Outcome outcome = RunDialog(arguments, Cancel);
    ASSERT_TRUE(outcome.driven);
    EXPECT_THAT(outcome.shown.filterDescriptions, ElementsAreArray(c.descriptions));
    EXPECT_EQ(outcome.shown.selectedFilter, c.selected);
  }
}

TEST_F(FileDialogTest, ShowsTheOpenOrSaveDialogWithTheSelectionModeOfTheFlags) {
  struct Case {
    int32_t mode;
    int32_t flags;
    const wchar_t* button;
    bool multiple;
  };
  int row = 0;
  for (const Case& c : {Case{0, 0, L"Open", false}, Case{0, MULTIPLE_SELECTION, L"Open", true},
                        Case{SAVE_DIALOG_MODE, 0, L"Save", false},
                        Case{SAVE_DIALOG_MODE, MULTIPLE_SELECTION, L"Save", true}, Case{2, 0, L"Open", false}}) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", flags " << c.flags);
    Arguments arguments;
    arguments.title = L"mode " + std::to_wstring(++row);
    arguments.mode = c.mode;
    arguments.flags = c.flags;
    Outcome outcome = RunDialog(arguments, Cancel);
    ASSERT_TRUE(outcome.driven);
    EXPECT_THAT(outcome.shown.okButtonText, HasSubstr(c.button));
    EXPECT_EQ(outcome.shown.multipleSelection, c.multiple);
    EXPECT_FALSE(outcome.shown.readOnlyBoxShown);
    // The short, older structure: the dialog then has no places bar.
    EXPECT_FALSE(outcome.shown.placesBarShown);
  }
}

TEST_F(FileDialogTest, AConfirmedChoiceEndsAtTheMarkWithThePositionOnItsTerminator) {
  struct Case {
    const char* name;
    int32_t mode;
    int32_t selectFilter;  // -1: leave the selection as it is
    std::wstring typed;
    std::wstring path;
    int32_t selectedPattern;
  };
  const Case cases[] = {
      {"existing file", 0, -1, L"report.txt", DATA + L"\\report.txt", 2},
      {"other pattern selected", 0, 0, L"report.txt", DATA + L"\\report.txt", 1},
      {"file that does not exist yet", 0, -1, L"missing.txt", DATA + L"\\missing.txt", 2},
      {"existing file in the save dialog, without a prompt", SAVE_DIALOG_MODE, -1, L"report.txt",
       DATA + L"\\report.txt", 2},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring directoryBefore = CurrentDirectory();
    Arguments arguments;
    arguments.title = L"confirm " + std::to_wstring(++row);
    arguments.defaultFile = u"C:\\Data\\";
    arguments.mode = c.mode;
    Outcome outcome = RunDialog(arguments, [&](HWND dialog) {
      if (c.selectFilter >= 0) SelectFileDialogFilter(dialog, c.selectFilter);
      return Choose(c.typed)(dialog);
    });
    ASSERT_TRUE(outcome.driven);
    EXPECT_EQ(outcome.result, U16(c.path));
    EXPECT_EQ(outcome.charactersToPosition, static_cast<int64_t>(c.path.size()));
    EXPECT_TRUE(outcome.earlierTextKept);
    EXPECT_EQ(FileDialogState.selectedPattern, c.selectedPattern);
    EXPECT_EQ(CurrentDirectory(), directoryBefore);
  }
}

TEST_F(FileDialogTest, APathInAFolderThatDoesNotExistIsRefusedByTheDialog) {
  bool refusalShown = false;
  Arguments arguments;
  arguments.title = L"missing folder";
  Outcome outcome = RunDialog(arguments, [&](HWND dialog) {
    SetFileDialogFileName(dialog, L"C:\\No Such Folder\\file.txt");
    PressDialogButton(dialog, IDOK);
    HWND refusal = WaitForMessageBox(GetCurrentProcessId(), nullptr, dialog);
    if (!refusal) return false;
    refusalShown = true;
    PressDialogButton(refusal, IDOK);
    if (!WaitForWindowGone(refusal) || !IsWindow(dialog)) return false;
    PressDialogButton(dialog, IDCANCEL);
    return true;
  });
  EXPECT_TRUE(outcome.driven);
  EXPECT_TRUE(refusalShown);
  EXPECT_EQ(outcome.result, u"");
}

TEST_F(FileDialogTest, AMultipleSelectionGivesTheFirstPathAndKeepsTheDirectoryAndTheNextName) {
  struct Case {
    const char* name;
    std::wstring folder;
    std::wstring typed;
    std::wstring path;
    std::optional<std::wstring> directory;  // nothing: not asked
    std::wstring nextName;                  // empty: one file, no next name
  };
  const Case cases[] = {
      {"three files", DATA, L"\"a.txt\" \"b.txt\" \"c.txt\"", DATA + L"\\a.txt", DATA + L"\\", L"b.txt"},
      {"one file", DATA, L"b.txt", DATA + L"\\b.txt", std::nullopt, L""},
      {"root directory", L"C:\\", L"\"root-a.txt\" \"root-b.txt\"", L"C:\\root-a.txt", L"C:\\", L"root-b.txt"},
      {"long directory and names", LONG_DIRECTORY, L"\"" + LONG_FIRST + L"\" \"" + LONG_SECOND + L"\"",
       LONG_DIRECTORY + L"\\" + LONG_FIRST, LONG_DIRECTORY + L"\\", LONG_SECOND},
      {"directory that just fits", FITTING_DIRECTORY, L"\"a.txt\" \"b.txt\"", FITTING_DIRECTORY + L"\\a.txt",
       FITTING_DIRECTORY + L"\\", L"b.txt"},
      {"directory too long to keep", OVERLONG_DIRECTORY, L"\"a.txt\" \"b.txt\"", OVERLONG_DIRECTORY + L"\\a.txt", L"",
       L"b.txt"},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Arguments arguments;
    arguments.title = L"multiple " + std::to_wstring(++row);
    arguments.flags = MULTIPLE_SELECTION;
    Outcome outcome = RunDialog(
        arguments, [&](HWND dialog) { return BrowseFileDialogTo(dialog, c.folder) && Choose(c.typed)(dialog); });
    ASSERT_TRUE(outcome.driven);
    EXPECT_EQ(outcome.result, U16(c.path));
    EXPECT_EQ(outcome.charactersToPosition, static_cast<int64_t>(c.path.size()));
    EXPECT_TRUE(outcome.earlierTextKept);
    if (c.directory) {
      EXPECT_EQ(std::u16string(FileDialogState.multiDirectory), U16(*c.directory));
    }
    ASSERT_NE(FileDialogState.multiFileBuffer, nullptr);
    if (c.nextName.empty()) {
      EXPECT_EQ(FileDialogState.multiCursor, 0);
      EXPECT_EQ(FileDialogState.multiFileBuffer[0], u'\0');
    } else {
      EXPECT_EQ(std::u16string(FileDialogState.multiFileBuffer + FileDialogState.multiCursor), U16(c.nextName));
    }
  }
}

// A directory and a name longer than a path's 260 characters, taken with the
// mark so close to the end of the workspace buffer that only 260 characters
// and a terminator would fit behind it without growing the buffer.
TEST_F(FileDialogTest, ALongMultipleSelectionIsReservedInFullAtTheEndOfTheWorkspace) {
  const std::wstring path = LONG_DIRECTORY + L"\\" + LONG_FIRST;
  ASSERT_GT(path.size(), 260u);
  auto* workspace = static_cast<StringWorkspace*>(PlatformSlotGet(WorkspaceSlot));
  int64_t statement = WorkspacePosition();
  ReserveWorkspace(1024, CURRENT_POSITION);
  ReleaseWorkspace(statement);
  int64_t mark = workspace->capacity - 4 - 2 * 261;
  ReserveWorkspace((mark - statement) / 2, CURRENT_POSITION);
  ASSERT_EQ(WorkspacePosition(), mark);

  DialogDriver driver([&] {
    HWND dialog = WaitForFileDialog(GetCurrentProcessId(), L"long selection");
    return dialog && BrowseFileDialogTo(dialog, LONG_DIRECTORY) &&
           Choose(L"\"" + LONG_FIRST + L"\" \"" + LONG_SECOND + L"\"")(dialog) && WaitForWindowGone(dialog);
  });
  ShowFileDialog(u"long selection", nullptr, nullptr, 0, 0, MULTIPLE_SELECTION, nullptr, mark);
  ASSERT_TRUE(driver.Finish());

  EXPECT_TRUE(HeapValidate(reinterpret_cast<HANDLE>(StringHeap), 0, nullptr));
  EXPECT_EQ(std::u16string(WorkspaceTextAt(mark)), U16(path));
  EXPECT_EQ(WorkspacePosition(), mark + 2 * static_cast<int64_t>(path.size()));
  ReleaseWorkspace(statement);
}

TEST_F(FileDialogTest, IsOwnedByTheForegroundWindowOfThisProcessOrTheOwnerGivenWhileTheGuardHoldsTheRest) {
  TestWindows windows;
  HWND front = windows.Add(CreatePlainWindow(L"front", 0, SW_SHOW));
  HWND background = windows.Add(CreatePlainWindow(L"background", 0, SW_SHOWNOACTIVATE));
  HWND given = windows.Add(CreatePlainWindow(L"given owner", 0, SW_SHOWNOACTIVATE));
  struct Case {
    const char* name;
    HWND owner;
    HWND expectedOwner;
  };
  int row = 0;
  for (const Case& c : {Case{"found", nullptr, front}, Case{"given", given, given}}) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(BringToFront(front));
    bool backgroundHeld = false;
    Arguments arguments;
    arguments.title = L"owner " + std::to_wstring(++row);
    arguments.owner = c.owner;
    Outcome outcome = RunDialog(arguments, [&](HWND dialog) {
      backgroundHeld = !IsWindowEnabled(background);
      return Cancel(dialog);
    });
    ASSERT_TRUE(outcome.driven);
    EXPECT_EQ(outcome.shown.owner, c.expectedOwner);
    EXPECT_TRUE(backgroundHeld);
    EXPECT_TRUE(IsWindowEnabled(background));
    EXPECT_TRUE(IsWindowEnabled(front));
  }
}

TEST_F(FileDialogTest, ChooseFileToOpenShowsTheSingleSelectionOpenDialog) {
  TestWindows windows;
  HWND front = windows.Add(CreatePlainWindow(L"front", 0, SW_SHOW));
  ASSERT_TRUE(BringToFront(front));
  FileDialogView shown;
  int64_t mark = WorkspacePosition();
  DialogDriver driver([&] {
    HWND dialog = WaitForFileDialog(GetCurrentProcessId(), L"choose a file");
    if (!dialog) return false;
    shown = ReadFileDialog(dialog);
    return Choose(L"report.txt")(dialog) && WaitForWindowGone(dialog);
  });
  ChooseFileToOpen(u"choose a file", u"C:\\Data\\", u"All files (*.*)|*.*", 0, mark);
  ASSERT_TRUE(driver.Finish());
  EXPECT_EQ(shown.owner, front);
  EXPECT_THAT(shown.okButtonText, HasSubstr(L"Open"));
  EXPECT_FALSE(shown.multipleSelection);
  EXPECT_EQ(std::u16string(WorkspaceTextAt(mark)), u"C:\\Data\\report.txt");
  EXPECT_EQ(FileDialogState.selectedPattern, 1);
  ReleaseWorkspace(mark);
}

// The file buffers of an earlier call, from a heap that can give nothing more,
// so that no dialog appears and only the releases are seen.
class FileDialogBuffersTest : public testing::Test {
 protected:
  void SetUp() override {
    for (char16_t** buffer : {&FileDialogState.multiFileBuffer, &FileDialogState.singleFileBuffer}) {
      if (*buffer) PlatformHeapFree(ProgramHeap, *buffer);
      *buffer = nullptr;
    }
  }
  void TearDown() override {
    FileDialogState.multiFileBuffer = nullptr;
    FileDialogState.singleFileBuffer = nullptr;
  }
};

// Watches, until stopped, for a dialog that should not appear, and cancels it
// if it does so that the call under test returns.
class UnwantedDialogWatch {
 public:
  explicit UnwantedDialogWatch(const wchar_t* title)
      : thread_([this, title] {
          WaitUntil([&] {
            seen_ = !FindTopLevelWindows(GetCurrentProcessId(), L"#32770", title).empty();
            return seen_ || stop_;
          });
          if (seen_) CancelDialogsOf(GetCurrentProcessId());
        }) {}
  ~UnwantedDialogWatch() { Stop(); }
  // True when no such dialog appeared.
  bool Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return !seen_;
  }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<bool> seen_{false};
  std::thread thread_;
};

TEST_F(FileDialogBuffersTest, WithoutMemoryNoDialogIsShownAndTheResultIsEmpty) {
  ScarceProgramHeap heap;
  heap.Exhaust();
  for (int32_t flags : {0, MULTIPLE_SELECTION}) {
    SCOPED_TRACE(flags);
    FileDialogState.selectedPattern = 9;
    int64_t statement = WorkspacePosition();
    AppendLiteral(u"earlier text ");
    int64_t mark = WorkspacePosition();
    UnwantedDialogWatch watch(L"no memory");
    ShowFileDialog(u"no memory", u"C:\\Data\\report.txt", u"All files (*.*)|*.*", 0, 0, flags, nullptr, mark);
    EXPECT_TRUE(watch.Stop());
    EXPECT_EQ(std::u16string(WorkspaceTextAt(mark)), u"");
    EXPECT_EQ(WorkspacePosition(), mark);
    EXPECT_EQ(std::u16string(WorkspaceTextAt(statement)), u"earlier text ");
    EXPECT_EQ(FileDialogState.selectedPattern, 0);
    ReleaseWorkspace(statement);
  }
}

TEST_F(FileDialogBuffersTest, AnOpenCallReleasesTheEarlierMultipleSelectionAnyOtherKeepsIt) {
  struct Case {
    const char* name;
    int32_t mode;
    int32_t flags;
    bool multiReleased;
  };
  for (const Case& c :
       {Case{"open", 0, 0, true}, Case{"save", SAVE_DIALOG_MODE, 0, false}, Case{"other mode", 2, 0, false},
        Case{"save with a new multiple selection", SAVE_DIALOG_MODE, MULTIPLE_SELECTION, true}}) {
    SCOPED_TRACE(c.name);
    ScarceProgramHeap heap;
    void* multi = heap.Take(16);
    void* single = heap.Take(16);
    heap.Exhaust();
    FileDialogState.multiFileBuffer = static_cast<char16_t*>(multi);
    FileDialogState.singleFileBuffer = static_cast<char16_t*>(single);
    int64_t mark = WorkspacePosition();
    UnwantedDialogWatch watch(L"buffers");
    ShowFileDialog(u"buffers", nullptr, nullptr, 0, c.mode, c.flags, nullptr, mark);
    EXPECT_TRUE(watch.Stop());

    HANDLE heapHandle = reinterpret_cast<HANDLE>(ProgramHeap);
    EXPECT_FALSE(HeapValidate(heapHandle, 0, single)) << "the single-selection buffer is always released";
    EXPECT_EQ(FileDialogState.singleFileBuffer, nullptr);
    if (c.multiReleased) {
      EXPECT_FALSE(HeapValidate(heapHandle, 0, multi));
      EXPECT_EQ(FileDialogState.multiFileBuffer, nullptr);
    } else {
      EXPECT_TRUE(HeapValidate(heapHandle, 0, multi));
      EXPECT_EQ(FileDialogState.multiFileBuffer, multi);
    }
  }
}

}  // namespace
