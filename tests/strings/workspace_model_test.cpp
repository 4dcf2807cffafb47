// Random sequences of workspace operations checked against a plain model of
// the workspace: its bytes up to the terminator at the position, its
// capacity by the reservation rule, and the texts of the variables.
#include <cstring>
#include <random>
#include <string>
#include <algorithm>
#include <vector>

#include "runtime/strings/string_functions.h"
#include "workspace_fixture.h"

namespace {

struct Model {
  std::u16string chars;  // everything below the position
  bool terminated = false;  // the last operation left a terminator at the position
  int64_t capacity = 16;
  int64_t Position() const { return 2 * static_cast<int64_t>(chars.size()); }

  void Reserve(int64_t count) {
    int64_t need = Position() + 2 * count;
    if (need >= capacity - 4) {
      capacity = need + 16384;
    } else if (capacity > 1048576) {
      capacity = need > 1048576 ? need : 1048576;
    }
  }
  void WriteAt(int64_t mark, const std::u16string& text) {
    chars.resize(static_cast<size_t>(mark / 2));
    chars += text;
    terminated = true;
  }
  void ReleaseTo(int64_t mark) {
    chars.resize(static_cast<size_t>(mark / 2));
    terminated = false;
  }
};

std::u16string RandomText(std::mt19937& random) {
  static const int lengths[] = {0, 1, 2, 3, 7, 8, 31, 300, 5000, 70000, 600000};
  std::uniform_int_distribution<int> pickLength(0, 10);
  int length = lengths[pickLength(random)];
  if (length == 600000 && random() % 8 != 0) length = 3;  // large texts now and then
  std::u16string text(static_cast<size_t>(length), u'\0');
  for (char16_t& c : text) c = static_cast<char16_t>(u'a' + random() % 26);
  return text;
}

}  // namespace

class WorkspaceModelTest : public WorkspaceTest {};

TEST_F(WorkspaceModelTest, RandomOperationsMatchTheModel) {
  MoveEveryReallocation();
  std::mt19937 random(20261211);
  Model model;
  std::vector<int64_t> marks{0};
  StringVariable variables[3] = {};
  std::u16string variableTexts[3];

  for (int step = 0; step < 6000; ++step) {
    int64_t mark = marks[random() % marks.size()];
    switch (random() % 8) {
      case 0: {
        std::u16string text = RandomText(random);
        model.Reserve(static_cast<int64_t>(text.size()));
        model.WriteAt(model.Position(), text);
        AppendLiteral(text.c_str());
        break;
      }
      case 1: {  // a producer writing fewer characters than it reserved, at a mark
        std::u16string text = RandomText(random);
        int64_t spare = random() % 20;
        model.Reserve(static_cast<int64_t>(text.size()) + spare);
        model.WriteAt(mark, text);
        char16_t* at = ReserveWorkspace(static_cast<int64_t>(text.size()) + spare, mark);
        std::memcpy(at, text.c_str(), 2 * (text.size() + 1));
        TrimWorkspace(spare);
        break;
      }
      case 2: {
        std::u16string text = RandomText(random);
        for (char16_t& c : text) c = static_cast<char16_t>(c - u'a' + u'A');
        model.Reserve(static_cast<int64_t>(text.size()));
        model.WriteAt(model.Position(), text);
        std::u16string lower = text;
        for (char16_t& c : lower) c = static_cast<char16_t>(c - u'A' + u'a');
        UpperCase(lower.c_str(), CURRENT_POSITION);
        break;
      }
      case 3: {
        int which = static_cast<int>(random() % 3);
        variableTexts[which] = model.chars.substr(static_cast<size_t>(mark / 2));
        model.ReleaseTo(mark);
        AssignString(&variables[which], mark);
        ASSERT_EQ(std::u16string(variables[which], variableTexts[which].size()), variableTexts[which]);
        ASSERT_EQ(variables[which][variableTexts[which].size()], u'\0');
        break;
      }
      case 4:
        model.ReleaseTo(mark);
        ReleaseWorkspace(mark);
        break;
      case 5:
        // An empty text, then a step over its terminator and a second empty text.
        model.Reserve(0);
        *ReserveWorkspace(0, CURRENT_POSITION) = u'\0';
        SkipWorkspaceTerminator();
        model.chars += u'\0';
        model.Reserve(0);
        *ReserveWorkspace(0, CURRENT_POSITION) = u'\0';
        model.terminated = true;
        break;
      default:
        marks.push_back(WorkspacePosition());
        break;
    }
    marks.erase(std::remove_if(marks.begin(), marks.end(), [&](int64_t m) { return m > model.Position(); }),
                marks.end());
    ASSERT_EQ(WorkspacePosition(), model.Position()) << "step " << step;
    ASSERT_EQ(Workspace()->capacity, model.capacity) << "step " << step;
    ASSERT_EQ(std::memcmp(WorkspaceBase(), model.chars.data(), 2 * model.chars.size()), 0) << "step " << step;
    if (model.terminated) {
      ASSERT_EQ(*WorkspaceTextAt(model.Position()), u'\0') << "step " << step;
    }
  }
}
