#include "runtime/desktop/message_box.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "runtime/desktop/modal_guard.h"
#include "tests/desktop/desktop_test_helpers.h"
#include "tests/support/message_box_driver.h"
#include "tests/support/plain_window.h"

namespace {

using testing::ElementsAre;

// What a driver saw while the box was up.
struct SeenBox {
  MessageBoxView view;
  bool backgroundEnabled = true;
};

DialogDriver PressOkOnBox(const wchar_t* title, HWND background, SeenBox& seen) {
  return DialogDriver([=, &seen] {
    HWND box = WaitForMessageBox(GetCurrentProcessId(), title);
    if (!box) return false;
    seen.view = ReadMessageBox(box);
    seen.backgroundEnabled = IsWindowEnabled(background);
    PressDialogButton(box, IDOK);
    return WaitForWindowGone(box);
  });
}

TEST(MessageBoxTest, HasNoOwnerWhenNoWindowOfThisProcessIsInFront) {
  TestWindows windows;
  HWND background = windows.Add(CreatePlainWindow(L"background", 0, SW_SHOWNOACTIVATE));
  Peer otherProcess(FOREGROUND_WINDOW);
  ASSERT_TRUE(BringToFront(otherProcess.process().window));

  SeenBox seen;
  DialogDriver driver = PressOkOnBox(L"box without owner", background, seen);
  int64_t result = ShowMessageOk(u"box without owner", u"first line\nsecond line");
  ASSERT_TRUE(driver.Finish());

  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(seen.view.owner, nullptr);
  EXPECT_EQ(seen.view.text, L"first line\nsecond line");
  EXPECT_THAT(seen.view.buttons, ElementsAre(L"OK"));
  EXPECT_FALSE(seen.backgroundEnabled);
  EXPECT_TRUE(IsWindowEnabled(background));
  EXPECT_EQ(guardList, nullptr);
}

TEST(MessageBoxTest, IsOwnedByTheForegroundWindowOfThisProcessOrByTheOwnerGiven) {
  TestWindows windows;
  HWND front = windows.Add(CreatePlainWindow(L"front", 0, SW_SHOW));
  HWND background = windows.Add(CreatePlainWindow(L"background", 0, SW_SHOWNOACTIVATE));
  HWND given = windows.Add(CreatePlainWindow(L"given owner", 0, SW_SHOWNOACTIVATE));

  struct Case {
    const wchar_t* title;
    HWND owner;
    HWND expectedOwner;
  };
  for (const Case& c : {Case{L"owner found", nullptr, front}, Case{L"owner given", given, given}}) {
    SCOPED_TRACE(testing::Message() << (c.owner ? "given" : "found"));
    ASSERT_TRUE(BringToFront(front));
    SeenBox seen;
    DialogDriver driver = PressOkOnBox(c.title, background, seen);
    int64_t result = ShowMessage(reinterpret_cast<const char16_t*>(c.title), u"text", MB_OK, c.owner);
    ASSERT_TRUE(driver.Finish());
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(seen.view.owner, c.expectedOwner);
    EXPECT_FALSE(seen.backgroundEnabled);
    EXPECT_TRUE(IsWindowEnabled(background));
    EXPECT_TRUE(IsWindowEnabled(front));
    EXPECT_EQ(guardList, nullptr);
  }
}

TEST(MessageBoxTest, TheGuardEndsAlsoWhenTheBoxCannotBeShown) {
  TestWindows windows;
  HWND front = windows.Add(CreatePlainWindow(L"front", 0, SW_SHOW));
  HWND background = windows.Add(CreatePlainWindow(L"background", WS_EX_TOPMOST, SW_SHOWNOACTIVATE));
  ASSERT_TRUE(BringToFront(front));
  HWND destroyed = CreatePlainWindow(L"gone", 0, SW_HIDE);
  DestroyWindow(destroyed);
  // What the platform answers for a box it cannot show: 0 on Windows, -1
  // under Wine. Either way it is no button and is passed on with its sign.
  int refused = MessageBoxW(destroyed, L"text", L"never shown", MB_OK);
  ASSERT_LE(refused, 0);

  int64_t result = ShowMessage(u"never shown", u"text", MB_OK, destroyed);

  EXPECT_EQ(result, refused);
  EXPECT_TRUE(IsWindowEnabled(background));
  EXPECT_TRUE(IsTopmost(background));
  EXPECT_EQ(guardList, nullptr);
}

}  // namespace
