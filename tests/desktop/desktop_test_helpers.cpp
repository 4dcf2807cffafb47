#include "tests/desktop/desktop_test_helpers.h"

#include <map>

#include "tests/support/plain_window.h"
#include "tests/support/window_search.h"

bool IsTopmost(HWND window) { return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

bool BringToFront(HWND window) {
  SetForegroundWindow(window);
  return WaitUntil([&] {
    PumpPendingMessages();
    return GetForegroundWindow() == window;
  });
}

std::vector<GuardedWindow> RecordsOfThisThread() {
  std::vector<GuardedWindow> records;
  for (ListLinks* links = guardList; links; links = links->next) {
    const auto* record = reinterpret_cast<const GuardedWindow*>(links);
    if (record->threadId == GetCurrentThreadId()) records.push_back(*record);
  }
  return records;
}

namespace {

std::map<HWND, std::vector<std::string>>& WindowEvents() {
  static std::map<HWND, std::vector<std::string>> events;
  return events;
}

LRESULT CALLBACK LoggingWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ENABLE) WindowEvents()[window].push_back(wParam ? "enabled" : "disabled");
  if (message == WM_WINDOWPOSCHANGING) {
    const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
    if (!(position->flags & SWP_NOZORDER)) {
      if (position->hwndInsertAfter == HWND_TOPMOST) WindowEvents()[window].push_back("topmost");
      if (position->hwndInsertAfter == HWND_NOTOPMOST) WindowEvents()[window].push_back("not topmost");
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

HWND CreateLoggingWindow(const wchar_t* title, DWORD extendedStyle, int showCommand) {
  static ATOM atom = [] {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = LoggingWindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"DesktopTestLoggingWindow";
    return RegisterClassExW(&windowClass);
  }();
  if (!atom) return nullptr;
  HWND window = CreateWindowExW(extendedStyle, L"DesktopTestLoggingWindow", title, WS_OVERLAPPEDWINDOW, 60, 60, 300,
                                180, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window && showCommand != SW_HIDE) ShowWindow(window, showCommand);
  WindowEvents()[window].clear();
  return window;
}

const std::vector<std::string>& EventsOf(HWND window) { return WindowEvents()[window]; }

TestWindows::~TestWindows() {
  for (HWND window : windows_) DestroyWindow(window);
  PumpPendingMessages();
}

HWND TestWindows::Add(HWND window) {
  windows_.push_back(window);
  return window;
}

WindowOnAnotherThread::WindowOnAnotherThread(const wchar_t* title, DWORD extendedStyle, int showCommand)
    : created_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  thread_ = std::thread([=] {
    window_ = CreatePlainWindow(title, extendedStyle, showCommand);
    SetEvent(created_);
    PumpMessagesUntil(stop_, INFINITE);
    DestroyWindow(window_);
  });
  WaitForSingleObject(created_, DRIVER_TIMEOUT_MS);
}

WindowOnAnotherThread::~WindowOnAnotherThread() {
  SetEvent(stop_);
  thread_.join();
  CloseHandle(created_);
  CloseHandle(stop_);
}

Peer::Peer(const wchar_t* role) : peer_(StartPeer(PathBesideThisProgram(L"desktop_peer.exe"), role)) {}

Peer::~Peer() { StopPeer(peer_); }

ScarceProgramHeap::ScarceProgramHeap() : saved_(ProgramHeap), heap_(HeapCreate(0, 64 * 1024, 64 * 1024)) {
  ProgramHeap = reinterpret_cast<PlatformHeap*>(heap_);
}

ScarceProgramHeap::~ScarceProgramHeap() {
  ProgramHeap = saved_;
  HeapDestroy(heap_);
}

void* ScarceProgramHeap::Take(size_t bytes) { return HeapAlloc(heap_, 0, bytes); }

void ScarceProgramHeap::Exhaust() {
  for (size_t size = 4096; size >= 8; size /= 2) {
    while (HeapAlloc(heap_, 0, size)) {
    }
  }
}

DialogDriver::DialogDriver(std::function<bool()> drive)
    : thread_([this, drive] {
        succeeded_ = drive();
        if (succeeded_) return;
        // Nested boxes first, then the dialog: repeat until none is left.
        WaitUntil([] {
          CancelDialogsOf(GetCurrentProcessId());
          Sleep(200);
          return FindTopLevelWindows(GetCurrentProcessId(), L"#32770", nullptr).empty();
        });
      }) {}

DialogDriver::~DialogDriver() {
  if (thread_.joinable()) thread_.join();
}

bool DialogDriver::Finish() {
  if (thread_.joinable()) thread_.join();
  return succeeded_;
}
