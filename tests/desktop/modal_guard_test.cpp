#include "runtime/desktop/modal_guard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/desktop/desktop_test_helpers.h"
#include "tests/support/plain_window.h"

namespace {

using testing::ElementsAre;
using testing::UnorderedElementsAre;

class ModalGuardTest : public testing::Test {
 protected:
  void TearDown() override {
    ModalGuard(0);
    EXPECT_EQ(guardList, nullptr);
  }

  TestWindows windows;
};

const GuardedWindow* RecordOf(const std::vector<GuardedWindow>& records, HWND window) {
  auto found = std::find_if(records.begin(), records.end(), [&](const GuardedWindow& r) { return r.window == window; });
  return found == records.end() ? nullptr : &*found;
}

std::vector<HWND> WindowsOf(const std::vector<GuardedWindow>& records) {
  std::vector<HWND> recorded;
  for (const GuardedWindow& record : records) recorded.push_back(record.window);
  return recorded;
}

TEST_F(ModalGuardTest, BeginHoldsTheThreadsWindowsAndEndGivesBackExactlyWhatItTook) {
  HWND front = windows.Add(CreateLoggingWindow(L"front", WS_EX_TOPMOST, SW_SHOW));
  HWND background = windows.Add(CreateLoggingWindow(L"background", 0, SW_SHOWNOACTIVATE));
  HWND disabled = windows.Add(CreateLoggingWindow(L"disabled", 0, SW_SHOWNOACTIVATE));
  HWND hidden = windows.Add(CreateLoggingWindow(L"hidden", 0, SW_HIDE));
  HWND topBackground = windows.Add(CreateLoggingWindow(L"top background", WS_EX_TOPMOST, SW_SHOWNOACTIVATE));
  EnableWindow(disabled, FALSE);
  ASSERT_TRUE(BringToFront(front));
  ASSERT_TRUE(IsTopmost(front) && IsTopmost(topBackground));

  ModalGuard(1);

  std::vector<GuardedWindow> records = RecordsOfThisThread();
  EXPECT_THAT(WindowsOf(records), UnorderedElementsAre(front, background, disabled, topBackground));
  struct Expected {
    HWND window;
    int wasTopmost;
    int disabledByGuard;
  };
  for (const Expected& expected :
       {Expected{front, 1, 0}, Expected{background, 0, 1}, Expected{disabled, 0, 0}, Expected{topBackground, 1, 1}}) {
    const GuardedWindow* record = RecordOf(records, expected.window);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->wasTopmost, expected.wasTopmost);
    EXPECT_EQ(record->disabledByGuard, expected.disabledByGuard);
  }
  EXPECT_TRUE(IsWindowEnabled(front));
  EXPECT_FALSE(IsTopmost(front));
  EXPECT_FALSE(IsWindowEnabled(background));
  EXPECT_FALSE(IsWindowEnabled(disabled));
  EXPECT_TRUE(IsWindowEnabled(hidden));
  EXPECT_FALSE(IsWindowEnabled(topBackground));
  EXPECT_FALSE(IsTopmost(topBackground));

  ModalGuard(0);

  EXPECT_EQ(guardList, nullptr);
  EXPECT_TRUE(IsWindowEnabled(front));
  EXPECT_TRUE(IsTopmost(front));
  EXPECT_TRUE(IsWindowEnabled(background));
  EXPECT_FALSE(IsWindowEnabled(disabled));
  EXPECT_TRUE(IsWindowEnabled(hidden));
  EXPECT_TRUE(IsWindowEnabled(topBackground));
  EXPECT_TRUE(IsTopmost(topBackground));
  // Disabled while the enumeration runs, out of the band afterwards; at the
  // end enabled before it rejoins the band.
  EXPECT_THAT(EventsOf(topBackground), ElementsAre("disabled", "not topmost", "enabled", "topmost"));
  EXPECT_THAT(EventsOf(front), ElementsAre("not topmost", "topmost"));
  EXPECT_THAT(EventsOf(hidden), ElementsAre());
}

TEST_F(ModalGuardTest, WindowsOfOtherThreadsAndOtherProcessesAreNeverTouched) {
  WindowOnAnotherThread otherThread(L"other thread", WS_EX_TOPMOST, SW_SHOWNOACTIVATE);
  Peer otherProcess(TOPMOST_WINDOW);
  ASSERT_NE(otherThread.window(), nullptr);
  ASSERT_NE(otherProcess.process().window, nullptr);
  ASSERT_TRUE(BringToFront(otherThread.window()));
  const HWND others[] = {otherThread.window(), otherProcess.process().window};

  ModalGuard(1);
  EXPECT_EQ(guardList, nullptr);
  for (HWND other : others) {
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_TRUE(IsTopmost(other));
  }

  ModalGuard(0);
  for (HWND other : others) {
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_TRUE(IsTopmost(other));
  }
}

TEST_F(ModalGuardTest, TheFirstEndUndoesBothOfTwoBeginsAndTheSecondFindsNothingToDo) {
  HWND front = windows.Add(CreateLoggingWindow(L"front", 0, SW_SHOW));
  HWND background = windows.Add(CreateLoggingWindow(L"background", 0, SW_SHOWNOACTIVATE));
  HWND topBackground = windows.Add(CreateLoggingWindow(L"top background", WS_EX_TOPMOST, SW_SHOWNOACTIVATE));
  ASSERT_TRUE(BringToFront(front));

  ModalGuard(1);
  ModalGuard(1);
  EXPECT_EQ(RecordsOfThisThread().size(), 6u);

  ModalGuard(0);
  EXPECT_EQ(guardList, nullptr);
  EXPECT_TRUE(IsWindowEnabled(background));
  EXPECT_TRUE(IsWindowEnabled(topBackground));
  EXPECT_TRUE(IsTopmost(topBackground));

  ModalGuard(0);
  EXPECT_TRUE(IsWindowEnabled(background));
  EXPECT_TRUE(IsTopmost(topBackground));
  EXPECT_THAT(EventsOf(background), ElementsAre("disabled", "enabled"));
}

TEST_F(ModalGuardTest, AWindowWithoutARecordIsLeftAsItIs) {
  HWND front = windows.Add(CreateLoggingWindow(L"front", 0, SW_SHOW));
  HWND background = windows.Add(CreateLoggingWindow(L"background", WS_EX_TOPMOST, SW_SHOWNOACTIVATE));
  ASSERT_TRUE(BringToFront(front));
  ScarceProgramHeap heap;
  heap.Exhaust();

  ModalGuard(1);
  EXPECT_EQ(guardList, nullptr);
  EXPECT_TRUE(IsWindowEnabled(background));
  EXPECT_TRUE(IsTopmost(background));
  ModalGuard(0);
  EXPECT_TRUE(IsWindowEnabled(background));
  EXPECT_THAT(EventsOf(background), ElementsAre());
}

struct Numbered {
  ListLinks links;
  int number;
};

TEST(ListEntryTest, EntriesKeepBothLinksWhereverOneIsRemoved) {
  ListLinks* head = nullptr;
  Numbered* entries[4];
  for (int number = 0; number < 4; ++number) {
    auto* fields = static_cast<int*>(AddListEntry(&head, sizeof(Numbered)));
    ASSERT_NE(fields, nullptr);
    EXPECT_EQ(*fields, 0);  // zero-filled
    *fields = number;
    entries[number] = reinterpret_cast<Numbered*>(reinterpret_cast<ListLinks*>(fields) - 1);
  }
  auto numbersFromHead = [&] {
    std::vector<int> numbers;
    const ListLinks* previous = nullptr;
    for (ListLinks* links = head; links; links = links->next) {
      EXPECT_EQ(links->previous, previous);
      numbers.push_back(reinterpret_cast<Numbered*>(links)->number);
      previous = links;
    }
    return numbers;
  };
  EXPECT_THAT(numbersFromHead(), ElementsAre(3, 2, 1, 0));

  EXPECT_TRUE(RemoveListEntry(&head, &entries[2]->number));  // inside
  EXPECT_THAT(numbersFromHead(), ElementsAre(3, 1, 0));
  EXPECT_TRUE(RemoveListEntry(&head, &entries[3]->number));  // head
  EXPECT_THAT(numbersFromHead(), ElementsAre(1, 0));
  EXPECT_TRUE(RemoveListEntry(&head, &entries[0]->number));  // tail
  EXPECT_THAT(numbersFromHead(), ElementsAre(1));
  EXPECT_TRUE(RemoveListEntry(&head, &entries[1]->number));
  EXPECT_EQ(head, nullptr);
}

TEST(FindOwnerWindowTest, TakesTheForegroundWindowOnlyWhenItBelongsToThisProcess) {
  TestWindows windows;
  HWND ownThread = windows.Add(CreatePlainWindow(L"this thread", 0, SW_SHOW));
  WindowOnAnotherThread otherThread(L"other thread", 0, SW_SHOWNOACTIVATE);
  Peer otherProcess(FOREGROUND_WINDOW);
  ASSERT_NE(otherProcess.process().window, nullptr);

  struct Case {
    const char* where;
    HWND foreground;
    HWND expected;
  };
  for (const Case& c : {Case{"this thread", ownThread, ownThread},
                        Case{"another thread of this process", otherThread.window(), otherThread.window()},
                        Case{"another process", otherProcess.process().window, nullptr}}) {
    SCOPED_TRACE(c.where);
    ASSERT_TRUE(BringToFront(c.foreground));
    EXPECT_EQ(FindOwnerWindow(), c.expected);
  }
}

}  // namespace
