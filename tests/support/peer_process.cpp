#include "tests/support/peer_process.h"

#include <shellapi.h>

#include <vector>

#include "tests/support/clipboard_access.h"
#include "tests/support/plain_window.h"

namespace {

std::wstring UniqueEventName(const wchar_t* purpose) {
  static LONG counter = 0;
  return L"desktop-peer-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(InterlockedIncrement(&counter)) + L"-" + purpose;
}

HWND FirstWindowOf(DWORD processId) {
  struct Search {
    DWORD processId;
    HWND found;
  } search{processId, nullptr};
  EnumWindows(
      [](HWND window, LPARAM parameter) -> BOOL {
        auto* search = reinterpret_cast<Search*>(parameter);
        if (WindowProcessId(window) != search->processId) return TRUE;
        if (WindowClassName(window) != L"DesktopTestPlainWindow") return TRUE;
        search->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

PeerProcess StartPeer(const std::wstring& program, const wchar_t* role, DWORD timeoutMs) {
  PeerProcess peer;
  std::wstring readyName = UniqueEventName(L"ready");
  std::wstring stopName = UniqueEventName(L"stop");
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, readyName.c_str());
  peer.stopEvent = CreateEventW(nullptr, TRUE, FALSE, stopName.c_str());
  std::wstring commandLine = L"\"" + program + L"\" " + role + L" " + readyName + L" " + stopName;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  if (ready && peer.stopEvent &&
      CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                     &startup, &started)) {
    CloseHandle(started.hThread);
    HANDLE waits[] = {ready, started.hProcess};
    if (WaitForMultipleObjects(2, waits, FALSE, timeoutMs) == WAIT_OBJECT_0) {
      peer.process = started.hProcess;
      peer.processId = started.dwProcessId;
      peer.window = FirstWindowOf(peer.processId);
    } else {
      TerminateProcess(started.hProcess, 1);
      CloseHandle(started.hProcess);
    }
  }
  if (ready) CloseHandle(ready);
  return peer;
}

void StopPeer(PeerProcess& peer, DWORD timeoutMs) {
  if (peer.stopEvent) SetEvent(peer.stopEvent);
  if (peer.process) {
    if (WaitForSingleObject(peer.process, timeoutMs) != WAIT_OBJECT_0) TerminateProcess(peer.process, 1);
    CloseHandle(peer.process);
  }
  if (peer.stopEvent) CloseHandle(peer.stopEvent);
  peer = PeerProcess{};
}

int RunPeer() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments || count < 4) return 2;
  std::wstring role = arguments[1];
  HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, arguments[2]);
  HANDLE stop = OpenEventW(SYNCHRONIZE, FALSE, arguments[3]);
  LocalFree(arguments);
  if (!ready || !stop) return 2;

  HWND window = nullptr;
  bool holdsClipboard = false;
  if (role == HOLD_CLIPBOARD) {
    window = CreatePlainWindow(L"desktop peer holding the clipboard", 0, SW_HIDE);
    holdsClipboard = window && OpenClipboardPatiently(window);
    if (!holdsClipboard) return 3;
  } else if (role == FOREGROUND_WINDOW) {
    window = CreatePlainWindow(L"desktop peer in front", 0, SW_SHOW);
    SetForegroundWindow(window);
  } else if (role == TOPMOST_WINDOW) {
    window = CreatePlainWindow(L"desktop peer on top", WS_EX_TOPMOST, SW_SHOWNOACTIVATE);
  } else {
    return 2;
  }
  if (!window) return 3;

  PumpPendingMessages();
  SetEvent(ready);
  PumpMessagesUntil(stop, INFINITE);
  if (holdsClipboard) CloseClipboard();
  DestroyWindow(window);
  return 0;
}

std::wstring PathBesideThisProgram(const wchar_t* fileName) {
  std::vector<wchar_t> path(32768);
  DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  std::wstring directory(path.data(), length);
  directory.erase(directory.find_last_of(L'\\') + 1);
  return directory + fileName;
}
