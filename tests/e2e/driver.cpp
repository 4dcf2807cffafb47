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

namespace {

const wchar_t DIALOG_TITLE[] = L"Brelloway-Quintari V1.0";
constexpr int FILTER_COMBO = 0x470;     // cmb1
constexpr int FILE_NAME_COMBO = 0x47C;  // cmb13
constexpr int FILE_NAME_EDIT = 0x480;   // edt1

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

std::wstring WindowText(HWND window) {
  wchar_t text[4096];
  int length = GetWindowTextW(window, text, 4096);
  return std::wstring(text, length > 0 ? length : 0);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256];
  int length = GetClassNameW(window, name, 256);
  return std::wstring(name, length > 0 ? length : 0);
}

DWORD ProcessOf(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND window, LPARAM list) -> BOOL {
        if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

bool IsDialog(HWND window) {
  return ClassOf(window) == L"#32770" && ProcessOf(window) != GetCurrentProcessId();
}

HWND FindOpenDialog() {
  for (HWND window : TopLevelWindows()) {
    if (IsDialog(window) && WindowText(window) == DIALOG_TITLE && GetDlgItem(window, FILTER_COMBO)) return window;
  }
  return nullptr;
}

// A message box: a dialog of another process with a text and push buttons,
// and no file list.
HWND FindMessageBox() {
  for (HWND window : TopLevelWindows()) {
    if (IsDialog(window) && !GetDlgItem(window, FILTER_COMBO) && GetDlgItem(window, IDOK)) return window;
  }
  return nullptr;
}

template <typename Find>
HWND WaitFor(Find find, double seconds, DWORD pollMilliseconds = 20) {
  ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  do {
    if (HWND window = find()) return window;
    Sleep(pollMilliseconds);
  } while (GetTickCount64() < end);
  return nullptr;
}

bool WaitGone(HWND window, double seconds) {
  ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  while (IsWindow(window) && IsWindowVisible(window)) {
    if (GetTickCount64() > end) return false;
    Sleep(20);
  }
  return true;
}

void Press(HWND dialog, int button) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
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

HWND FileNameControl(HWND dialog) {
  HWND combo = GetDlgItem(dialog, FILE_NAME_COMBO);
  return combo ? combo : GetDlgItem(dialog, FILE_NAME_EDIT);
}

int DescribeDialog() {
  HWND dialog = WaitFor(FindOpenDialog, 30);
  if (!dialog) return Fail("no open dialog");
  HWND filter = GetDlgItem(dialog, FILTER_COMBO);
  std::vector<std::wstring> filters;
  int count = static_cast<int>(SendMessageW(filter, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t item[1024] = {};
    SendMessageW(filter, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    filters.push_back(item);
  }
  int selected = static_cast<int>(SendMessageW(filter, CB_GETCURSEL, 0, 0));
  printf("{\"title\":%s,\"filters\":%s,\"selectedFilter\":%d,\"fileName\":%s,\"pid\":%lu,\"rect\":%s}\n",
         Json(WindowText(dialog)).c_str(), JsonList(filters).c_str(), selected,
         Json(WindowText(FileNameControl(dialog))).c_str(), ProcessOf(dialog), JsonRect(dialog).c_str());
  return 0;
}

HWND SetFileName(const std::wstring& path) {
  HWND dialog = WaitFor(FindOpenDialog, 30);
  if (dialog) SendMessageW(FileNameControl(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  return dialog;
}

int PressAndWait(HWND dialog, int button) {
  if (!dialog) return Fail("no dialog");
  Press(dialog, button);
  if (!WaitGone(dialog, 30)) return Fail("dialog still there");
  printf("{}\n");
  return 0;
}

size_t PeakWorkingSet(DWORD process) {
  HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process);
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (handle) GetProcessMemoryInfo(handle, &counters, sizeof counters);
  if (handle) CloseHandle(handle);
  return counters.PeakWorkingSetSize;
}

int DescribeMessageBox(double seconds) {
  HWND box = WaitFor(FindMessageBox, seconds);
  if (!box) return Fail("no message box");
  std::wstring text;
  std::vector<std::wstring> buttons;
  for (HWND child : Children(box)) {
    std::wstring kind = ClassOf(child);
    if (kind == L"Static" && !WindowText(child).empty()) text = WindowText(child);
    if (kind == L"Button" && IsWindowVisible(child)) {
      std::wstring label;
      for (wchar_t c : WindowText(child)) {
        if (c != L'&') label += c;
      }
      buttons.push_back(label);
    }
  }
  printf("{\"title\":%s,\"text\":%s,\"buttons\":%s,\"pid\":%lu,\"hasOwner\":%s,\"rect\":%s}\n",
         Json(WindowText(box)).c_str(), Json(text).c_str(), JsonList(buttons).c_str(), ProcessOf(box),
         GetWindow(box, GW_OWNER) ? "true" : "false", JsonRect(box).c_str());
  return 0;
}

// From pressing Open to the message box, with the box's process's peak
// working set (Wine reports no private bytes; the peak working set bounds them).
int TimedPick(const std::wstring& path) {
  HWND dialog = SetFileName(path);
  if (!dialog) return Fail("no open dialog");
  LARGE_INTEGER frequency, start, shown;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  Press(dialog, IDOK);
  HWND box = WaitFor(FindMessageBox, 600, 1);
  QueryPerformanceCounter(&shown);
  if (!box) return Fail("no message box");
  printf("{\"seconds\":%.6f,\"peakPrivateBytes\":%zu}\n",
         static_cast<double>(shown.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart),
         PeakWorkingSet(ProcessOf(box)));
  return 0;
}

bool OpenClipboardWithin(HWND owner, double seconds) {
  ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  while (!OpenClipboard(owner)) {
    if (GetTickCount64() > end) return false;
    Sleep(20);
  }
  return true;
}

int ReadClipboard() {
  if (!OpenClipboardWithin(nullptr, 2)) {
    printf("{\"text\":null,\"opened\":false}\n");
    return 0;
  }
  std::vector<std::wstring> formats;
  for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format)) {
    formats.push_back(std::to_wstring(format));
  }
  std::string text = "null";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = Json(chars);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  printf("{\"text\":%s,\"opened\":true,\"formats\":%s}\n", text.c_str(), JsonList(formats).c_str());
  return 0;
}

int WriteClipboard(const std::wstring& text) {
  if (!OpenClipboardWithin(nullptr, 10)) return Fail("clipboard busy");
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(block);
  if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
  CloseClipboard();
  printf("{}\n");
  return 0;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void SignalReadyAndHold(const std::wstring& ready) {
  CloseHandle(CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ULONGLONG end = GetTickCount64() + 120000;
  while (Exists(ready) && GetTickCount64() < end) Sleep(50);
}

// Wine lets a second process open the clipboard while another holds it only
// when neither names a window, so the holder opens it with a window of its own.
int HoldClipboard(const std::wstring& ready) {
  HWND window = CreateWindowExW(0, L"STATIC", L"clipboard holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                nullptr);
  if (!OpenClipboardWithin(window, 10)) return Fail("clipboard busy");
  SignalReadyAndHold(ready);
  CloseClipboard();
  DestroyWindow(window);
  printf("{}\n");
  return 0;
}

int HoldFileWithoutSharing(const std::wstring& path, const std::wstring& ready) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Fail("cannot open file");
  SignalReadyAndHold(ready);
  CloseHandle(file);
  printf("{}\n");
  return 0;
}

int ListWindows() {
  std::string out = "{\"windows\":[";
  bool first = true;
  for (HWND window : TopLevelWindows()) {
    if (ProcessOf(window) == GetCurrentProcessId()) continue;
    out += std::string(first ? "" : ",") + "{\"title\":" + Json(WindowText(window)) +
           ",\"class\":" + Json(ClassOf(window)) + ",\"pid\":" + std::to_string(ProcessOf(window)) + "}";
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
  if (command == L"set-name") return SetFileName(first) ? (printf("{}\n"), 0) : Fail("no open dialog");
  if (command == L"open") return PressAndWait(WaitFor(FindOpenDialog, 30), IDOK);
  if (command == L"pick") return PressAndWait(SetFileName(first), IDOK);
  if (command == L"cancel") return PressAndWait(WaitFor(FindOpenDialog, 30), IDCANCEL);
  if (command == L"message") return DescribeMessageBox(first.empty() ? 120 : _wtof(first.c_str()));
  if (command == L"ok") return PressAndWait(WaitFor(FindMessageBox, 30), IDOK);
  if (command == L"timed-pick") return TimedPick(first);
  if (command == L"clipboard") return ReadClipboard();
  if (command == L"set-clipboard") return WriteClipboard(first);
  if (command == L"hold-clipboard") return HoldClipboard(first);
  if (command == L"hold-file") return HoldFileWithoutSharing(first, second);
  if (command == L"windows") return ListWindows();
  return Fail("unknown command");
}
