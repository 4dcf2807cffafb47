// Reads and drives a live explorer-style open or save dialog of any process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/window_search.h"

// What the dialog shows, read back from its controls.
struct FileDialogView {
  std::wstring title;
  HWND owner = nullptr;
  std::vector<std::wstring> filterDescriptions;  // the file type list
  int selectedFilter = -1;                       // 0-based; -1 when none
  std::wstring folder;                           // the folder it shows
  std::wstring fileName;                         // the file name box
  std::wstring okButtonText;
  bool multipleSelection = false;  // the file list lets several items be selected
  bool readOnlyBoxShown = false;
  bool placesBarShown = false;  // only a dialog given the full, newest structure has one
};

// A visible open or save dialog of the process with this exact title.
HWND WaitForFileDialog(DWORD processId, const wchar_t* title, DWORD timeoutMs = DRIVER_TIMEOUT_MS);

FileDialogView ReadFileDialog(HWND dialog);
std::wstring FileDialogFolder(HWND dialog);

// Types into the file name box, as a user would before pressing Open.
void SetFileDialogFileName(HWND dialog, const std::wstring& text);
// Picks an entry of the file type list, as a user would.
void SelectFileDialogFilter(HWND dialog, int index);
// Types a folder's path and presses Open, which makes the dialog show that
// folder; true once it does.
bool BrowseFileDialogTo(HWND dialog, const std::wstring& folder);
