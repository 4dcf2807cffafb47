// Windows, threads, peers and heaps that the desktop tests set up.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "runtime/desktop/modal_guard.h"
#include "runtime/platform/platform.h"
#include "tests/support/peer_process.h"

bool IsTopmost(HWND window);

// Makes the window the foreground window; false when it did not become it.
bool BringToFront(HWND window);

// The guard's records of the calling thread, newest first.
std::vector<GuardedWindow> RecordsOfThisThread();

// A top-level window that logs, in order, when it is enabled or disabled and
// when it is asked to join or leave the topmost band.
HWND CreateLoggingWindow(const wchar_t* title, DWORD extendedStyle, int showCommand);
const std::vector<std::string>& EventsOf(HWND window);

// Windows of this test thread, destroyed with the object.
class TestWindows {
 public:
  ~TestWindows();
  HWND Add(HWND window);

 private:
  std::vector<HWND> windows_;
};

// A visible window created and served by a thread of its own.
class WindowOnAnotherThread {
 public:
  WindowOnAnotherThread(const wchar_t* title, DWORD extendedStyle, int showCommand);
  ~WindowOnAnotherThread();
  HWND window() const { return window_; }

 private:
  HANDLE created_;
  HANDLE stop_;
  HWND window_ = nullptr;
  std::thread thread_;
};

// The peer program in a role, stopped with the object.
class Peer {
 public:
  explicit Peer(const wchar_t* role);
  ~Peer();
  const PeerProcess& process() const { return peer_; }

 private:
  PeerProcess peer_;
};

// ProgramHeap replaced by a small heap that can give nothing more; blocks
// taken with Take before Exhaust come from it too.
class ScarceProgramHeap {
 public:
  ScarceProgramHeap();
  ~ScarceProgramHeap();
  void* Take(size_t bytes);
  void Exhaust();

 private:
  PlatformHeap* saved_;
  HANDLE heap_;
};

// Runs a driver on a second thread while the test thread is held in a modal
// call. A driver that returns false has lost its way; every dialog of this
// process is then cancelled so that the modal call returns.
class DialogDriver {
 public:
  explicit DialogDriver(std::function<bool()> drive);
  ~DialogDriver();
  // Waits for the driver; true when it went its whole way.
  bool Finish();

 private:
  bool succeeded_ = false;
  std::thread thread_;
};
