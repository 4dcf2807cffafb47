// Drives the utility from another process, as a user would: finds its open
// dialog, enters a path or cancels, reads the message box and the clipboard,
// presses OK. One command per start; the answer is one line of JSON in ASCII.
// Text arguments come with \uXXXX escapes, so that any name survives any
// locale on the way through Wine.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/clipboard_access.h"
#include "tests/support/file_dialog_driver.h"
#include "tests/support/message_box_driver.h"
#include "tests/support/window_search.h"

namespace {

const wchar_t DIALOG_TITLE[] = L"Brelloway-Quintari V1.0";
constexpr DWORD PATIENCE_MS = 30000;

std::wstring Unescape(const wchar_t* text) {
  std::wstring out;
  for (const wchar_t* at = text; *at; ++at) {
    if (*at != L'\\' || !at[1]) {
      out += *at;
      continue;
    }
    ++at;
    switch (*at) {
      case L'u':
        out += static_cast<wchar_t>(wcstoul(std::wstring(at + 1, 4).c_str(), nullptr, 16));
        at += 4;
        break;
      case L'n': out += L'\n'; break;
      case L'r': out += L'\r'; break;
      case L't': out += L'\t'; break;
      default: out += *at; break;
    }
  }
  return out;
}

std::string Json(const std::wstring& text) {
  std::string out = "\"";
  for (wchar_t c : text) {
    if (c == L'"' || c == L'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char escape[8];
      snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      out += escape;
    }
  }
  return out + "\"";
}

std::string JsonList(const std::vector<std::wstring>& items) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) out += (i ? "," : "") + Json(items[i]);
  return out + "]";
}

std::string JsonRect(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + "]";
}

int Fail(const char* what) {
  printf("{\"error\":\"%s\"}\n", what);
  return 1;
}

int Done() {
  printf("{}\n");
  return 0;
}

HWND FindOpenDialog() { return WaitForFileDialog(0, DIALOG_TITLE, PATIENCE_MS); }

int DescribeDialog() {
  HWND dialog = FindOpenDialog();
  if (!dialog) return Fail("no open dialog");
  FileDialogView view = ReadFileDialog(dialog);
  printf("{\"title\":%s,\"filters\":%s,\"selectedFilter\":%d,\"fileName\":%s,\"pid\":%lu,\"rect\":%s}\n",
         Json(view.title).c_str(), JsonList(view.filterDescriptions).c_str(), view.selectedFilter,
         Json(view.fileName).c_str(), WindowProcessId(dialog), JsonRect(dialog).c_str());
  return 0;
}

HWND EnterFileName(const std::wstring& name) {
  HWND dialog = FindOpenDialog();
  if (dialog) SetFileDialogFileName(dialog, name);
  return dialog;
}

int PressAndWait(HWND dialog, int button) {
  if (!dialog) return Fail("no dialog");
  PressDialogButton(dialog, button);
  return WaitForWindowGone(dialog, PATIENCE_MS) ? Done() : Fail("dialog still there");
}

HWND FindMessageBox(DWORD timeoutMs) { return WaitForMessageBox(0, nullptr, nullptr, timeoutMs); }

int DescribeMessageBox(DWORD timeoutMs) {
  HWND box = FindMessageBox(timeoutMs);
  if (!box) return Fail("no message box");
  MessageBoxView view = ReadMessageBox(box);
  printf("{\"title\":%s,\"text\":%s,\"buttons\":%s,\"pid\":%lu,\"hasOwner\":%s,\"rect\":%s}\n",
         Json(view.title).c_str(), Json(view.text).c_str(), JsonList(view.buttons).c_str(), WindowProcessId(box),
         view.owner ? "true" : "false", JsonRect(box).c_str());
  return 0;
}

// Wine reports no private bytes; the peak working set bounds them.
size_t PeakWorkingSet(DWORD process) {
  HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process);
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (handle) GetProcessMemoryInfo(handle, &counters, sizeof counters);
  if (handle) CloseHandle(handle);
  return counters.PeakWorkingSetSize;
}

// From pressing Open to the message box (found within one 20 ms poll).
int TimedPick(const std::wstring& path) {
  HWND dialog = EnterFileName(path);
  if (!dialog) return Fail("no open dialog");
  LARGE_INTEGER frequency, start, shown;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  PressDialogButton(dialog, IDOK);
  HWND box = FindMessageBox(600000);
  QueryPerformanceCounter(&shown);
  if (!box) return Fail("no message box");
  printf("{\"seconds\":%.6f,\"peakPrivateBytes\":%zu}\n",
         static_cast<double>(shown.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart),
         PeakWorkingSet(WindowProcessId(box)));
  return 0;
}

int ReadClipboard() {
  std::optional<std::wstring> text = ReadClipboardText();
  std::vector<std::wstring> formats;
  if (text) {
    for (UINT format : ClipboardFormats()) formats.push_back(std::to_wstring(format));
  }
  printf("{\"text\":%s,\"formats\":%s}\n", text ? Json(*text).c_str() : "null", JsonList(formats).c_str());
  return 0;
}

int WriteClipboard(const std::wstring& text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.c_str());
  std::vector<unsigned char> content(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
  return ReplaceClipboard({{CF_UNICODETEXT, content}}) ? Done() : Fail("clipboard busy");
}

void SignalReadyAndHold(const std::wstring& ready) {
  CloseHandle(CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  WaitUntil([&] { return GetFileAttributesW(ready.c_str()) == INVALID_FILE_ATTRIBUTES; }, 120000);
}

// Wine lets a second process open the clipboard while another holds it only
// when neither names a window, so the holder opens it with a window of its own.
int HoldClipboard(const std::wstring& ready) {
  HWND window = CreateWindowExW(0, L"STATIC", L"clipboard holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                nullptr);
  if (!OpenClipboardPatiently(window)) return Fail("clipboard busy");
  SignalReadyAndHold(ready);
  CloseClipboard();
  DestroyWindow(window);
  return Done();
}

int HoldFileWithoutSharing(const std::wstring& path, const std::wstring& ready) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Fail("cannot open file");
  SignalReadyAndHold(ready);
  CloseHandle(file);
  return Done();
}

int ListWindows() {
  std::string out = "{\"windows\":[";
  bool first = true;
  for (HWND window : FindTopLevelWindows(0, nullptr, nullptr)) {
    if (WindowProcessId(window) == GetCurrentProcessId()) continue;
    out += std::string(first ? "" : ",") + "{\"title\":" + Json(WindowText(window)) +
           ",\"class\":" + Json(WindowClassName(window)) + ",\"pid\":" + std::to_string(WindowProcessId(window)) +
           "}";
    first = false;
  }
  printf("%s]}\n", out.c_str());
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring command = argc > 1 ? argv[1] : L"";
  std::wstring first = argc > 2 ? Unescape(argv[2]) : L"";
  std::wstring second = argc > 3 ? Unescape(argv[3]) : L"";
  if (command == L"dialog") return DescribeDialog();
  if (command == L"set-name") return EnterFileName(first) ? Done() : Fail("no open dialog");
  if (command == L"open") return PressAndWait(FindOpenDialog(), IDOK);
  if (command == L"pick") return PressAndWait(EnterFileName(first), IDOK);
  if (command == L"cancel") return PressAndWait(FindOpenDialog(), IDCANCEL);
  if (command == L"message") return DescribeMessageBox(first.empty() ? 120000 : 1000 * _wtoi(first.c_str()));
  if (command == L"ok") return PressAndWait(FindMessageBox(PATIENCE_MS), IDOK);
  if (command == L"timed-pick") return TimedPick(first);
  if (command == L"clipboard") return ReadClipboard();
  if (command == L"set-clipboard") return WriteClipboard(first);
  if (command == L"hold-clipboard") return HoldClipboard(first);
  if (command == L"hold-file") return HoldFileWithoutSharing(first, second);
  if (command == L"windows") return ListWindows();
  return Fail("unknown command");
}
