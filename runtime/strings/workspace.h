// The per-thread string workspace: one growable buffer in which every
// temporary text is built. Producers write their result at a mark (a byte
// offset) and leave the position on its terminator, so that results written
// one after another join into one text. A caller forms an address from a mark
// only after the last piece is written, since any reservation may move the
// buffer.
#pragma once

#include <cstdint>

#include "runtime/platform/platform.h"

// Null, or a StringHeap block that begins with the variable's text.
using StringVariable = char16_t*;

struct StringWorkspace {
  char* buffer;
  int64_t capacity;  // bytes the room test works with; the block has 10 more
  int64_t position;  // bytes from buffer: where the next result is written
};

// Given as a mark, stands for the current position.
constexpr int64_t CURRENT_POSITION = -1;

extern PlatformHeap* StringHeap;
extern uint32_t WorkspaceSlot;

void StringRuntimeInit();
void StringRuntimeEnd();
void InitThreadWorkspace();

char16_t* ReserveWorkspace(int64_t count, int64_t mark);
int64_t WorkspacePosition();
char* WorkspaceBase();
void ReleaseWorkspace(int64_t mark);
void SkipWorkspaceTerminator();
void TrimWorkspace(int64_t count);
int64_t WorkspaceOffsetOf(const void* address);
char* WorkspacePointerAt(int64_t offset);
void AppendLiteral(const char16_t* text);
void AssignString(StringVariable* variable, int64_t mark);
void CopyCharacters(char16_t* destination, const char16_t* source, int64_t count);

// The text at a mark; form it only after the last piece of the text is written.
inline char16_t* WorkspaceTextAt(int64_t mark) {
  return reinterpret_cast<char16_t*>(WorkspaceBase() + mark);
}
