// The platform seam over the real Windows API.
#include <windows.h>

#include "platform.h"

PlatformHeap* PlatformHeapCreate() {
  return reinterpret_cast<PlatformHeap*>(HeapCreate(0, 4096, 0));
}

void* PlatformHeapAlloc(PlatformHeap* heap, size_t bytes) {
  return HeapAlloc(reinterpret_cast<HANDLE>(heap), 0, bytes);
}

void* PlatformHeapAllocZeroed(PlatformHeap* heap, size_t bytes) {
  return HeapAlloc(reinterpret_cast<HANDLE>(heap), HEAP_ZERO_MEMORY, bytes);
}

void* PlatformHeapRealloc(PlatformHeap* heap, void* block, size_t bytes) {
  return HeapReAlloc(reinterpret_cast<HANDLE>(heap), 0, block, bytes);
}

bool PlatformHeapFree(PlatformHeap* heap, void* block) {
  return HeapFree(reinterpret_cast<HANDLE>(heap), 0, block) != 0;
}

void PlatformHeapDestroy(PlatformHeap* heap) {
  HeapDestroy(reinterpret_cast<HANDLE>(heap));
}

uint32_t PlatformSlotAlloc() {
  return TlsAlloc();
}

void* PlatformSlotGet(uint32_t slot) {
  return TlsGetValue(slot);
}

void PlatformSlotSet(uint32_t slot, void* value) {
  TlsSetValue(slot, value);
}

void PlatformSlotFree(uint32_t slot) {
  TlsFree(slot);
}

uint32_t PlatformLastError() {
  return GetLastError();
}

void PlatformSetLastError(uint32_t value) {
  SetLastError(value);
}

void PlatformUpperCase(char16_t* text) {
  CharUpperW(reinterpret_cast<wchar_t*>(text));
}

int PlatformWideToMultiByte(uint32_t codePage, const char16_t* text, int count, char* out, int outSize) {
  return WideCharToMultiByte(codePage, 0, reinterpret_cast<const wchar_t*>(text), count, out, outSize, nullptr,
                             nullptr);
}

PlatformFile* PlatformOpenFileForReading(const char16_t* path) {
  HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? nullptr : reinterpret_cast<PlatformFile*>(file);
}

bool PlatformReadFile(PlatformFile* file, void* buffer, uint32_t size, uint32_t* count) {
  DWORD delivered = 0;
  BOOL ok = ReadFile(reinterpret_cast<HANDLE>(file), buffer, size, &delivered, nullptr);
  *count = ok ? delivered : 0;
  return ok != 0;
}

void PlatformCloseFile(PlatformFile* file) {
  CloseHandle(reinterpret_cast<HANDLE>(file));
}

void PlatformEndProcess(uint32_t code) {
  ExitProcess(code);
}
