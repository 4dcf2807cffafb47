#include "runtime/desktop/modal_guard.h"

#include <cstddef>

#include "runtime/platform/platform.h"

static_assert(offsetof(GuardedWindow, threadId) == sizeof(ListLinks), "the fields follow the links");

ListLinks* guardList = nullptr;

void* AddListEntry(ListLinks** head, int32_t entrySize) {
  auto* entry = static_cast<ListLinks*>(PlatformHeapAllocZeroed(ProgramHeap, static_cast<size_t>(entrySize)));
  if (!entry) return nullptr;
  if (*head) {
    (*head)->previous = entry;
    entry->next = *head;
  }
  *head = entry;
  return entry + 1;
}

BOOL RemoveListEntry(ListLinks** head, void* fields) {
  ListLinks* entry = static_cast<ListLinks*>(fields) - 1;
  ListLinks* next = entry->next;
  if (entry == *head) {
    *head = next;
    if (next) next->previous = nullptr;
  } else {
    entry->previous->next = next;
    if (next) next->previous = entry->previous;
  }
  return PlatformHeapFree(ProgramHeap, entry);
}

static GuardedWindow* RecordOf(ListLinks* links) { return reinterpret_cast<GuardedWindow*>(links); }

HWND FindOwnerWindow() {
  HWND foreground = GetForegroundWindow();
  if (!foreground) return nullptr;
  DWORD processId = 0;
  GetWindowThreadProcessId(foreground, &processId);
  return processId == GetCurrentProcessId() ? foreground : nullptr;
}

BOOL CALLBACK RecordGuardedWindow(HWND window, LPARAM) {
  DWORD threadId = GetCurrentThreadId();
  if (GetWindowThreadProcessId(window, nullptr) != threadId) return TRUE;
  if (!IsWindowVisible(window)) return TRUE;
  // Without a record the end step could not give the window back, so a
  // window that cannot be recorded is left as it is.
  void* fields = AddListEntry(&guardList, sizeof(GuardedWindow));
  if (!fields) return TRUE;
  GuardedWindow* record = RecordOf(static_cast<ListLinks*>(fields) - 1);
  record->window = window;
  record->threadId = threadId;
  if (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) record->wasTopmost = 1;
  if (window != GetForegroundWindow() && IsWindowEnabled(window)) {
    record->disabledByGuard = 1;
    EnableWindow(window, FALSE);
  }
  return TRUE;
}

static void BeginGuard() {
  EnumWindows(RecordGuardedWindow, 1);
  DWORD threadId = GetCurrentThreadId();
  for (ListLinks* links = guardList; links; links = links->next) {
    GuardedWindow* record = RecordOf(links);
    if (record->threadId == threadId && record->wasTopmost) {
      SetWindowPos(record->window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
  }
}

static void EndGuard() {
  DWORD threadId = GetCurrentThreadId();
  ListLinks* next = nullptr;
  for (ListLinks* links = guardList; links; links = next) {
    next = links->next;
    GuardedWindow* record = RecordOf(links);
    if (record->threadId != threadId) continue;
    if (record->disabledByGuard) EnableWindow(record->window, TRUE);
    if (record->wasTopmost) SetWindowPos(record->window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RemoveListEntry(&guardList, links + 1);
  }
}

void ModalGuard(int32_t begin) {
  if (begin) {
    BeginGuard();
  } else {
    EndGuard();
  }
}
