#include "runtime/desktop/file_dialog.h"

#include <cstddef>
#include <cstring>

#include "runtime/desktop/modal_guard.h"
#include "runtime/platform/platform.h"
#include "runtime/strings/string_functions.h"
#include "runtime/strings/workspace.h"

FileDialogGlobals FileDialogState;

namespace {

constexpr DWORD SINGLE_SELECTION_FLAGS = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
static_assert(SINGLE_SELECTION_FLAGS == 0x8080C, "");
static_assert((SINGLE_SELECTION_FLAGS | OFN_ALLOWMULTISELECT) == 0x80A0C, "");
// The structure without its three trailing members (reserved and extended
// use), a size every version of the dialog accepts.
constexpr DWORD DIALOG_STRUCTURE_SIZE = offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR);
static_assert(DIALOG_STRUCTURE_SIZE == 136, "");

char16_t* AllocateCharacters(int64_t count) {
  return static_cast<char16_t*>(PlatformHeapAllocZeroed(ProgramHeap, static_cast<size_t>(count) * sizeof(char16_t)));
}

void Release(char16_t*& block) {
  if (!block) return;
  PlatformHeapFree(ProgramHeap, block);
  block = nullptr;
}

int64_t BoundedLength(const char16_t* text, int64_t limit) {
  int64_t length = 0;
  while (length < limit && text[length]) ++length;
  return length;
}

// The pattern with every vertical bar turned into NUL, ending in at least two
// further NULs: the dialog's list of descriptions and patterns.
char16_t* MakeFilter(const char16_t* pattern) {
  if (!pattern) pattern = u"";
  int64_t length = TextLength(pattern);
  char16_t* filter = AllocateCharacters(length + 3);
  if (!filter) return nullptr;
  for (int64_t i = 0; i < length; ++i) filter[i] = pattern[i] == u'|' ? u'\0' : pattern[i];
  return filter;
}

// Splits defaultFile at its last backslash into a directory copy (returned)
// and the initial name (into the file buffer). A backslash at the very start
// does not split, so that text is taken as a name and then refused.
char16_t* SplitDefaultFile(const char16_t* defaultFile, char16_t* fileBuffer, int64_t fileCharacters) {
  int64_t length = TextLength(defaultFile);
  char16_t* directory = AllocateCharacters(length + 2);
  if (!directory) return nullptr;
  std::memcpy(directory, defaultFile, static_cast<size_t>(length) * sizeof(char16_t));
  int64_t split = length - 1;
  while (split > 0 && directory[split] != u'\\') --split;
  if (split > 0) {
    directory[split] = u'\0';
    CopyBounded(fileBuffer, directory + split + 1, static_cast<uint64_t>(fileCharacters - 1));
  } else {
    CopyBounded(fileBuffer, defaultFile, static_cast<uint64_t>(fileCharacters - 1));
    directory[0] = u'\0';
  }
  fileBuffer[fileCharacters - 1] = u'\0';
  if (!IsPlainFileName(fileBuffer)) fileBuffer[0] = u'\0';
  return directory;
}

// Reserves exactly what the result needs at the mark and writes it there:
// head, an optional backslash, then tail.
void WriteResult(const char16_t* head, int64_t headLength, bool backslash, const char16_t* tail, int64_t tailLength,
                 int64_t mark) {
  int64_t length = headLength + (backslash ? 1 : 0) + tailLength;
  char16_t* at = ReserveWorkspace(length, mark);
  std::memcpy(at, head, static_cast<size_t>(headLength) * sizeof(char16_t));
  if (backslash) at[headLength] = u'\\';
  if (tailLength > 0) {
    std::memcpy(at + length - tailLength, tail, static_cast<size_t>(tailLength) * sizeof(char16_t));
  }
  at[length] = u'\0';
}

void RememberDirectory(const char16_t* directory, int64_t length, bool backslash) {
  char16_t* into = FileDialogState.multiDirectory;
  int64_t needed = length + (backslash ? 1 : 0) + 1;
  // A cut directory would name another place: keep none rather than that.
  if (needed > SINGLE_FILE_CHARACTERS) {
    into[0] = u'\0';
    return;
  }
  std::memcpy(into, directory, static_cast<size_t>(length) * sizeof(char16_t));
  if (backslash) into[length++] = u'\\';
  into[length] = u'\0';
}

// The buffer holds one full path followed by two NULs, or the directory, a
// NUL, each name followed by a NUL, and one more NUL.
void ComposeMultipleSelection(char16_t* buffer, int64_t mark) {
  int64_t first = BoundedLength(buffer, MULTI_FILE_CHARACTERS - 1);
  if (first + 1 >= MULTI_FILE_CHARACTERS || buffer[first + 1] == u'\0') {
    WriteResult(buffer, first, false, nullptr, 0, mark);
    buffer[0] = u'\0';
    FileDialogState.multiCursor = 0;
    return;
  }
  int64_t nameAt = first + 1;
  int64_t nameLength = BoundedLength(buffer + nameAt, MULTI_FILE_CHARACTERS - 1 - nameAt);
  bool backslash = first == 0 || buffer[first - 1] != u'\\';
  WriteResult(buffer, first, backslash, buffer + nameAt, nameLength, mark);
  RememberDirectory(buffer, first, backslash);
  FileDialogState.multiCursor = static_cast<int32_t>(nameAt + nameLength + 1);
}

}  // namespace

void ShowFileDialog(const char16_t* title, const char16_t* defaultFile, const char16_t* pattern, int32_t patternIndex,
                    int32_t mode, int32_t flags, HWND owner, int64_t mark) {
  FileDialogState.selectedPattern = 0;
  bool multiple = (flags & MULTIPLE_SELECTION) != 0;
  // Only an open call (mode 0) gives up an earlier multiple selection that
  // may still be read; a new multiple selection takes its place in any mode.
  if (mode == 0 || multiple) Release(FileDialogState.multiFileBuffer);
  Release(FileDialogState.singleFileBuffer);

  int64_t fileCharacters = multiple ? MULTI_FILE_CHARACTERS : SINGLE_FILE_CHARACTERS;
  char16_t* fileBuffer = AllocateCharacters(fileCharacters);
  (multiple ? FileDialogState.multiFileBuffer : FileDialogState.singleFileBuffer) = fileBuffer;

  OPENFILENAMEW dialog;
  std::memset(&dialog, 0, sizeof dialog);
  bool confirmed = false;
  char16_t* filter = fileBuffer ? MakeFilter(pattern) : nullptr;
  if (filter) {
    // Without a directory copy the dialog starts with neither a directory nor a name.
    char16_t* directory = defaultFile ? SplitDefaultFile(defaultFile, fileBuffer, fileCharacters) : nullptr;
    if (!owner) owner = FindOwnerWindow();

    dialog.lStructSize = DIALOG_STRUCTURE_SIZE;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = reinterpret_cast<const wchar_t*>(filter);
    dialog.nFilterIndex = static_cast<DWORD>(patternIndex + 1);
    dialog.lpstrFile = reinterpret_cast<wchar_t*>(fileBuffer);
    dialog.nMaxFile = static_cast<DWORD>(fileCharacters);
    dialog.lpstrInitialDir = reinterpret_cast<const wchar_t*>(directory);
    dialog.lpstrTitle = reinterpret_cast<const wchar_t*>(title);
    dialog.Flags = SINGLE_SELECTION_FLAGS | (multiple ? OFN_ALLOWMULTISELECT : 0);

    ModalGuard(1);
    BOOL chosen = mode == SAVE_DIALOG_MODE ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    ModalGuard(0);
    confirmed = chosen != 0;

    PlatformHeapFree(ProgramHeap, filter);
    if (directory) PlatformHeapFree(ProgramHeap, directory);
  }

  if (!confirmed) {
    *ReserveWorkspace(0, mark) = u'\0';
    return;
  }
  FileDialogState.selectedPattern = static_cast<int32_t>(dialog.nFilterIndex);
  if (multiple) {
    ComposeMultipleSelection(fileBuffer, mark);
  } else {
    WriteResult(fileBuffer, BoundedLength(fileBuffer, SINGLE_FILE_CHARACTERS - 1), false, nullptr, 0, mark);
  }
}

void ChooseFileToOpen(const char16_t* title, const char16_t* defaultFile, const char16_t* pattern, int32_t patternIndex,
                      int64_t mark) {
  ShowFileDialog(title, defaultFile, pattern, patternIndex, 0, 0, nullptr, mark);
}
