#include "workspace.h"

#include <cstring>

PlatformHeap* StringHeap = nullptr;
uint32_t WorkspaceSlot = PLATFORM_NO_SLOT;

namespace {

constexpr int64_t FIRST_CAPACITY = 16;
constexpr int64_t ROOM_MARGIN = 4;
constexpr int64_t GROWTH = 16384;
constexpr int64_t SHRINK_ABOVE = 1048576;
constexpr int64_t BLOCK_SLACK = 10;

// The runtime has no error path: when memory or the slot cannot be had, the
// process ends (with code 0, as on every path) before anything writes
// through the missing block.
template <typename T>
T* Required(T* block) {
  if (!block) PlatformEndProcess(0);
  return block;
}

StringWorkspace* ThreadWorkspace() {
  return Required(static_cast<StringWorkspace*>(PlatformSlotGet(WorkspaceSlot)));
}

}  // namespace

void StringRuntimeInit() {
  StringHeap = Required(PlatformHeapCreate());
  WorkspaceSlot = PlatformSlotAlloc();
  if (WorkspaceSlot == PLATFORM_NO_SLOT) PlatformEndProcess(0);
  InitThreadWorkspace();
}

void StringRuntimeEnd() {
  PlatformHeapDestroy(StringHeap);
  StringHeap = nullptr;
  PlatformSlotFree(WorkspaceSlot);
  WorkspaceSlot = PLATFORM_NO_SLOT;
}

void InitThreadWorkspace() {
  auto* workspace = Required(static_cast<StringWorkspace*>(PlatformHeapAlloc(StringHeap, sizeof(StringWorkspace))));
  workspace->buffer = Required(static_cast<char*>(PlatformHeapAlloc(StringHeap, FIRST_CAPACITY)));
  workspace->capacity = FIRST_CAPACITY;
  workspace->position = 0;
  PlatformSlotSet(WorkspaceSlot, workspace);
}

char16_t* ReserveWorkspace(int64_t count, int64_t mark) {
  StringWorkspace* workspace = ThreadWorkspace();
  if (mark == CURRENT_POSITION) mark = workspace->position;
  // The room test uses the current position even when the mark lies below it.
  int64_t need = workspace->position + 2 * count;
  int64_t newCapacity = 0;
  if (need >= workspace->capacity - ROOM_MARGIN) {
    newCapacity = need + GROWTH;
  } else if (workspace->capacity > SHRINK_ABOVE) {
    newCapacity = need > SHRINK_ABOVE ? need : SHRINK_ABOVE;
  }
  if (newCapacity != 0) {
    workspace->buffer = Required(static_cast<char*>(
        PlatformHeapRealloc(StringHeap, workspace->buffer, static_cast<size_t>(newCapacity + BLOCK_SLACK))));
    workspace->capacity = newCapacity;
  }
  workspace->position = mark + 2 * count;
  return reinterpret_cast<char16_t*>(workspace->buffer + mark);
}

int64_t WorkspacePosition() {
  uint32_t lastError = PlatformLastError();
  int64_t position = ThreadWorkspace()->position;
  PlatformSetLastError(lastError);
  return position;
}

char* WorkspaceBase() {
  return ThreadWorkspace()->buffer;
}

void ReleaseWorkspace(int64_t mark) {
  uint32_t lastError = PlatformLastError();
  ThreadWorkspace()->position = mark;
  PlatformSetLastError(lastError);
}

void SkipWorkspaceTerminator() {
  ThreadWorkspace()->position += 2;
}

void TrimWorkspace(int64_t count) {
  ThreadWorkspace()->position -= 2 * count;
}

int64_t WorkspaceOffsetOf(const void* address) {
  StringWorkspace* workspace = ThreadWorkspace();
  auto at = reinterpret_cast<uintptr_t>(address);
  auto start = reinterpret_cast<uintptr_t>(workspace->buffer);
  if (at < start || at > start + static_cast<uintptr_t>(workspace->position)) return 0;
  return static_cast<int64_t>(at - start) + 1;
}

char* WorkspacePointerAt(int64_t offset) {
  return ThreadWorkspace()->buffer + offset - 1;
}

void AppendLiteral(const char16_t* text) {
  if (!text) {
    *ReserveWorkspace(0, CURRENT_POSITION) = u'\0';
    return;
  }
  int64_t count = 0;
  while (text[count]) ++count;
  CopyCharacters(ReserveWorkspace(count, CURRENT_POSITION), text, count);
}

void AssignString(StringVariable* variable, int64_t mark) {
  StringWorkspace* workspace = ThreadWorkspace();
  int64_t span = workspace->position - mark;
  auto bytes = static_cast<size_t>(span + BLOCK_SLACK);
  void* block = *variable ? PlatformHeapRealloc(StringHeap, *variable, bytes) : PlatformHeapAlloc(StringHeap, bytes);
  *variable = Required(static_cast<char16_t*>(block));
  CopyCharacters(*variable, reinterpret_cast<char16_t*>(workspace->buffer + mark), span / 2);
  workspace->position = mark;
}

// Two characters a step; for an odd count the last step moves one character
// too many (the source's terminator or block slack), and the terminator then
// overwrites it.
void CopyCharacters(char16_t* destination, const char16_t* source, int64_t count) {
  auto* to = reinterpret_cast<char*>(destination);
  auto* from = reinterpret_cast<const char*>(source);
  for (int64_t unit = 0; unit < (count + 1) / 2; ++unit) {
    uint32_t pair;
    std::memcpy(&pair, from + 4 * unit, 4);
    std::memcpy(to + 4 * unit, &pair, 4);
  }
  destination[count] = u'\0';
}
