// The one seam between the portable core (strings, digests) and the operating
// system. runtime/platform/win32_platform.cpp implements it over the Windows
// API; runtime/platform/posix_platform.cpp stands in for it in the native build.
#pragma once

#include <cstddef>
#include <cstdint>

// Private heaps. A heap is created with default options (serialised, failed
// allocations give null) and grows as needed; destroying it releases every
// block it still holds.
struct PlatformHeap;
PlatformHeap* PlatformHeapCreate();  // HeapCreate(0, 4096, 0)
void* PlatformHeapAlloc(PlatformHeap* heap, size_t bytes);        // not cleared
void* PlatformHeapAllocZeroed(PlatformHeap* heap, size_t bytes);  // HEAP_ZERO_MEMORY
void* PlatformHeapRealloc(PlatformHeap* heap, void* block, size_t bytes);
bool PlatformHeapFree(PlatformHeap* heap, void* block);
void PlatformHeapDestroy(PlatformHeap* heap);

// Per-thread slots (TLS). PLATFORM_NO_SLOT is the value for "no slot".
constexpr uint32_t PLATFORM_NO_SLOT = 0xFFFFFFFFu;
uint32_t PlatformSlotAlloc();
void* PlatformSlotGet(uint32_t slot);  // may reset the last-error value
void PlatformSlotSet(uint32_t slot, void* value);
void PlatformSlotFree(uint32_t slot);

// The calling thread's last-error value (GetLastError / errno).
uint32_t PlatformLastError();
void PlatformSetLastError(uint32_t value);

// Upper-cases a NUL-terminated text in place (CharUpperW); a to z at least.
void PlatformUpperCase(char16_t* text);

// UTF-16 to 8-bit text (WideCharToMultiByte with no flags and no default
// character). count may include the terminator; with out null or outSize 0 it
// returns the size needed; 0 on failure.
constexpr uint32_t PLATFORM_CP_ACP = 0;
constexpr uint32_t PLATFORM_CP_UTF8 = 65001;
int PlatformWideToMultiByte(uint32_t codePage, const char16_t* text, int count, char* out, int outSize);

// Read-only files, opened with read sharing. A directory is refused.
struct PlatformFile;
PlatformFile* PlatformOpenFileForReading(const char16_t* path);  // null on failure
// Reads up to size bytes; false when the read failed. *count is set to 0
// before any work, so a failed read never reports bytes.
bool PlatformReadFile(PlatformFile* file, void* buffer, uint32_t size, uint32_t* count);
void PlatformCloseFile(PlatformFile* file);

// Ends the process at once with the given code (ExitProcess / _exit).
[[noreturn]] void PlatformEndProcess(uint32_t code);

// The program's private heap: created and destroyed by the main routine,
// used by the digest engine and the desktop services.
extern PlatformHeap* ProgramHeap;
