#include "tests/support/file_dialog_driver.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include "tests/support/window_search.h"

namespace {

HWND FileNameBox(HWND dialog) {
  HWND box = GetDlgItem(dialog, cmb13);
  return box ? box : GetDlgItem(dialog, edt1);
}

HWND FindDescendant(HWND parent, const wchar_t* className) {
  struct Search {
    const wchar_t* className;
    HWND found;
  } search{className, nullptr};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM parameter) -> BOOL {
        auto* search = reinterpret_cast<Search*>(parameter);
        if (WindowClassName(child) != search->className) return TRUE;
        search->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring ComboItemText(HWND combo, int index) {
  LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<size_t>(length));
  return text;
}

}  // namespace

HWND WaitForFileDialog(DWORD processId, const wchar_t* title, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND dialog : FindTopLevelWindows(processId, L"#32770", title)) {
          if (GetDlgItem(dialog, cmb1) && FileNameBox(dialog)) found = dialog;
        }
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

// The dialog answers with the path written into a buffer of its own process,
// so the buffer is made there and read back.
std::wstring FileDialogFolder(HWND dialog) {
  constexpr SIZE_T characters = 32768;
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, WindowProcessId(dialog));
  if (!process) return {};
  std::wstring folder;
  void* remote =
      VirtualAllocEx(process, nullptr, characters * sizeof(wchar_t), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (remote) {
    DWORD_PTR length = 0;
    if (SendMessageTimeoutW(dialog, CDM_GETFOLDERPATH, characters, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG,
                            DRIVER_TIMEOUT_MS, &length) &&
        static_cast<LONG_PTR>(length) > 0) {
      std::wstring text(characters, L'\0');
      SIZE_T read = 0;
      if (ReadProcessMemory(process, remote, &text[0], characters * sizeof(wchar_t), &read)) {
        text.resize(wcsnlen(text.c_str(), characters));
        folder = text;
      }
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return folder;
}

FileDialogView ReadFileDialog(HWND dialog) {
  FileDialogView view;
  view.title = WindowText(dialog);
  view.owner = WindowOwner(dialog);
  HWND types = GetDlgItem(dialog, cmb1);
  LRESULT count = SendMessageW(types, CB_GETCOUNT, 0, 0);
  for (int index = 0; index < count; ++index) view.filterDescriptions.push_back(ComboItemText(types, index));
  LRESULT selected = SendMessageW(types, CB_GETCURSEL, 0, 0);
  view.selectedFilter = selected == CB_ERR ? -1 : static_cast<int>(selected);
  view.folder = FileDialogFolder(dialog);
  view.fileName = WindowText(FileNameBox(dialog));
  view.okButtonText = WindowText(GetDlgItem(dialog, IDOK));
  HWND list = FindDescendant(dialog, WC_LISTVIEWW);
  view.multipleSelection = list && !(GetWindowLongW(list, GWL_STYLE) & LVS_SINGLESEL);
  HWND readOnly = GetDlgItem(dialog, chx1);
  view.readOnlyBoxShown = readOnly && IsWindowVisible(readOnly);
  HWND places = GetDlgItem(dialog, ctl1);
  view.placesBarShown = places && IsWindowVisible(places);
  return view;
}

void SetFileDialogFileName(HWND dialog, const std::wstring& text) {
  SendMessageW(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SelectFileDialogFilter(HWND dialog, int index) {
  HWND types = GetDlgItem(dialog, cmb1);
  SendMessageW(types, CB_SETCURSEL, index, 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
}

bool BrowseFileDialogTo(HWND dialog, const std::wstring& folder) {
  SetFileDialogFileName(dialog, folder);
  PressDialogButton(dialog, IDOK);
  std::wstring wanted = folder;
  if (wanted.size() > 3 && wanted.back() == L'\\') wanted.pop_back();
  return WaitUntil([&] { return lstrcmpiW(FileDialogFolder(dialog).c_str(), wanted.c_str()) == 0; });
}
