// Holds the calling thread's other top-level windows inert while a system
// dialog runs its own modal loop, and picks an owner for such a dialog.
#pragma once

#include <windows.h>

#include <cstdint>

// The two links at the start of every entry of a list kept with AddListEntry.
struct ListLinks {
  ListLinks* next;      // the entry added before this one (older)
  ListLinks* previous;  // the entry added after this one (newer)
};

// Adds a zero-filled entry of entrySize bytes (links included) from
// ProgramHeap at the head of the list; returns its fields behind the links,
// or null when no memory could be had.
void* AddListEntry(ListLinks** head, int32_t entrySize);
// Unlinks the entry whose fields are given and gives it back to ProgramHeap.
BOOL RemoveListEntry(ListLinks** head, void* fields);

struct GuardedWindow {
  ListLinks links;
  uint32_t threadId;  // the thread that recorded the window and created it
  HWND window;
  uint8_t wasTopmost;
  uint8_t disabledByGuard;
};

// Newest record first; null when no window is guarded.
extern ListLinks* guardList;

// The foreground window when it belongs to the calling process, else null.
HWND FindOwnerWindow();
// Nonzero begins the guard, zero ends it (for the calling thread's records).
void ModalGuard(int32_t begin);
BOOL CALLBACK RecordGuardedWindow(HWND window, LPARAM unused);
