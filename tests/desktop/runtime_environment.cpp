// The desktop services draw on the program's heap and the calling thread's
// string workspace, as in the program itself.
#include <gtest/gtest.h>

#include "runtime/platform/platform.h"
#include "runtime/strings/workspace.h"

namespace {

class RuntimeEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    ProgramHeap = PlatformHeapCreate();
    StringRuntimeInit();
  }
};

const testing::Environment* const runtimeEnvironment = testing::AddGlobalTestEnvironment(new RuntimeEnvironment);

}  // namespace
