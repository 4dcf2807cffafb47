#pragma once

#include <gtest/gtest.h>

#include <string>

#include "runtime/strings/workspace.h"
#ifndef _WIN32
#include "runtime/platform/posix_faults.h"
#endif

// A fresh string runtime for every test.
class WorkspaceTest : public ::testing::Test {
 protected:
  void SetUp() override { StringRuntimeInit(); }
  void TearDown() override {
#ifndef _WIN32
    PosixMoveEveryReallocation(false);
#endif
    StringRuntimeEnd();
  }

  static StringWorkspace* Workspace() { return static_cast<StringWorkspace*>(PlatformSlotGet(WorkspaceSlot)); }
  static std::u16string TextAt(int64_t mark) { return WorkspaceTextAt(mark); }
  static void MoveEveryReallocation() {
#ifndef _WIN32
    PosixMoveEveryReallocation(true);
#endif
  }
};
