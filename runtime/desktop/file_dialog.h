// The system's open and save dialogs. The chosen path is written into the
// calling thread's string workspace at a mark; a cancelled dialog gives the
// empty text.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr int32_t SAVE_DIALOG_MODE = 1;    // mode: any other value opens
constexpr int32_t MULTIPLE_SELECTION = 1;  // flags bit 0

constexpr int32_t SINGLE_FILE_CHARACTERS = 260;
constexpr int32_t MULTI_FILE_CHARACTERS = 512000;

struct FileDialogGlobals {
  // Index in multiFileBuffer of the next name not yet returned; 0 after a
  // multiple-selection dialog in which one file was chosen.
  int32_t multiCursor;
  // 1-based pattern selected when the user confirmed; 0 otherwise.
  int32_t selectedPattern;
  char16_t* multiFileBuffer;  // MULTI_FILE_CHARACTERS, from ProgramHeap
  // Directory of the last multiple selection with a backslash behind it;
  // the empty text when that does not fit.
  char16_t multiDirectory[SINGLE_FILE_CHARACTERS];
  char16_t* singleFileBuffer;  // SINGLE_FILE_CHARACTERS, from ProgramHeap
};

extern FileDialogGlobals FileDialogState;

// pattern: descriptions and patterns separated by vertical bars.
// patternIndex: 0-based pair selected at start. owner: null means
// FindOwnerWindow(). In multiple selection the result is the directory and
// the first name joined into one path.
void ShowFileDialog(const char16_t* title, const char16_t* defaultFile, const char16_t* pattern, int32_t patternIndex,
                    int32_t mode, int32_t flags, HWND owner, int64_t mark);

// The open dialog for one file with an automatic owner.
void ChooseFileToOpen(const char16_t* title, const char16_t* defaultFile, const char16_t* pattern, int32_t patternIndex,
                      int64_t mark);
