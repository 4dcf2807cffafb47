// The platform seam for the native build: a small POSIX stand-in for the
// Windows calls that the portable core uses.
#include <errno.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform.h"
#include "posix_faults.h"

namespace {

std::atomic<int> readsUntilFailure{0};
std::atomic<int> allocationsUntilFailure{0};
std::atomic<int> filesOpened{0};
std::atomic<int> filesClosed{0};
std::atomic<bool> moveEveryReallocation{false};

bool InjectedFailure(std::atomic<int>& countdown) {
  int left = countdown.load();
  while (left > 0 && !countdown.compare_exchange_weak(left, left - 1)) {
  }
  return left == 1;
}

// Every block carries a header that links it into its heap, so that
// destroying the heap can release what is still held.
struct alignas(16) BlockHeader {
  BlockHeader* previous;
  BlockHeader* next;
};

}  // namespace

struct PlatformHeap {
  std::mutex lock;
  BlockHeader blocks{&blocks, &blocks};
};

void PosixFailReadNumber(int n) {
  readsUntilFailure = n;
}

int PosixFilesOpened() {
  return filesOpened;
}

int PosixFilesOpen() {
  return filesOpened - filesClosed;
}

void PosixFailAllocationNumber(int n) {
  allocationsUntilFailure = n;
}

void PosixMoveEveryReallocation(bool on) {
  moveEveryReallocation = on;
}

static BlockHeader* MoveBlock(BlockHeader* header, size_t bytes) {
  auto* moved = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + bytes));
  if (!moved) return nullptr;
  size_t oldBytes = malloc_usable_size(header) - sizeof(BlockHeader);
  std::memcpy(moved + 1, header + 1, oldBytes < bytes ? oldBytes : bytes);
  std::memset(header + 1, 0xDD, oldBytes);
  std::free(header);
  return moved;
}

PlatformHeap* PlatformHeapCreate() {
  return new (std::nothrow) PlatformHeap;
}

static void* LinkBlock(PlatformHeap* heap, BlockHeader* header) {
  std::lock_guard<std::mutex> guard(heap->lock);
  header->previous = &heap->blocks;
  header->next = heap->blocks.next;
  heap->blocks.next->previous = header;
  heap->blocks.next = header;
  return header + 1;
}

static BlockHeader* UnlinkBlock(PlatformHeap* heap, void* block) {
  BlockHeader* header = static_cast<BlockHeader*>(block) - 1;
  std::lock_guard<std::mutex> guard(heap->lock);
  header->previous->next = header->next;
  header->next->previous = header->previous;
  return header;
}

void* PlatformHeapAlloc(PlatformHeap* heap, size_t bytes) {
  if (InjectedFailure(allocationsUntilFailure)) return nullptr;
  auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + bytes));
  return header ? LinkBlock(heap, header) : nullptr;
}

void* PlatformHeapAllocZeroed(PlatformHeap* heap, size_t bytes) {
  void* block = PlatformHeapAlloc(heap, bytes);
  if (block) std::memset(block, 0, bytes);
  return block;
}

void* PlatformHeapRealloc(PlatformHeap* heap, void* block, size_t bytes) {
  if (InjectedFailure(allocationsUntilFailure)) return nullptr;
  BlockHeader* header = UnlinkBlock(heap, block);
  auto* moved = moveEveryReallocation ? MoveBlock(header, bytes)
                                      : static_cast<BlockHeader*>(std::realloc(header, sizeof(BlockHeader) + bytes));
  if (!moved) {
    LinkBlock(heap, header);  // the old block stays valid and stays in the heap
    return nullptr;
  }
  return LinkBlock(heap, moved);
}

bool PlatformHeapFree(PlatformHeap* heap, void* block) {
  if (!block) return false;
  std::free(UnlinkBlock(heap, block));
  return true;
}

void PlatformHeapDestroy(PlatformHeap* heap) {
  if (!heap) return;
  for (BlockHeader* header = heap->blocks.next; header != &heap->blocks;) {
    BlockHeader* next = header->next;
    std::free(header);
    header = next;
  }
  delete heap;
}

namespace {
constexpr uint32_t SLOT_COUNT = 64;
std::atomic<bool> slotInUse[SLOT_COUNT];
thread_local void* slotValues[SLOT_COUNT];
}  // namespace

uint32_t PlatformSlotAlloc() {
  for (uint32_t slot = 0; slot < SLOT_COUNT; ++slot) {
    bool expected = false;
    if (slotInUse[slot].compare_exchange_strong(expected, true)) {
      slotValues[slot] = nullptr;
      return slot;
    }
  }
  return PLATFORM_NO_SLOT;
}

void* PlatformSlotGet(uint32_t slot) {
  // TlsGetValue sets the last error to success; so does the stand-in, so that
  // callers that must preserve the value are tested against the same effect.
  errno = 0;
  return slot < SLOT_COUNT ? slotValues[slot] : nullptr;
}

void PlatformSlotSet(uint32_t slot, void* value) {
  if (slot < SLOT_COUNT) slotValues[slot] = value;
}

void PlatformSlotFree(uint32_t slot) {
  if (slot < SLOT_COUNT) slotInUse[slot] = false;
}

uint32_t PlatformLastError() {
  return static_cast<uint32_t>(errno);
}

void PlatformSetLastError(uint32_t value) {
  errno = static_cast<int>(value);
}

void PlatformUpperCase(char16_t* text) {
  for (; *text; ++text) {
    if (*text >= u'a' && *text <= u'z') *text = static_cast<char16_t>(*text - (u'a' - u'A'));
  }
}

// UTF-8 serves for both code pages here. Unpaired surrogates become U+FFFD,
// as WideCharToMultiByte without flags does.
int PlatformWideToMultiByte(uint32_t, const char16_t* text, int count, char* out, int outSize) {
  if (!text || count == 0 || count < -1) return 0;
  if (count == -1) {
    count = 1;
    while (text[count - 1]) ++count;
  }
  std::string bytes;
  for (int i = 0; i < count; ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      bytes += static_cast<char>(c);
    } else if (c < 0x800) {
      bytes += static_cast<char>(0xC0 | (c >> 6));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      bytes += static_cast<char>(0xE0 | (c >> 12));
      bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      bytes += static_cast<char>(0xF0 | (c >> 18));
      bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  int size = static_cast<int>(bytes.size());
  if (!out || outSize == 0) return size;
  if (outSize < size) return 0;
  std::memcpy(out, bytes.data(), bytes.size());
  return size;
}

PlatformFile* PlatformOpenFileForReading(const char16_t* path) {
  if (!path) return nullptr;
  int size = PlatformWideToMultiByte(PLATFORM_CP_UTF8, path, -1, nullptr, 0);
  if (size == 0) return nullptr;
  std::string name(static_cast<size_t>(size), '\0');
  PlatformWideToMultiByte(PLATFORM_CP_UTF8, path, -1, name.data(), size);
  int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat status;
  if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
    close(fd);
    return nullptr;
  }
  ++filesOpened;
  // Handles are the descriptor plus one, so that descriptor 0 is not null.
  return reinterpret_cast<PlatformFile*>(static_cast<intptr_t>(fd) + 1);
}

bool PlatformReadFile(PlatformFile* file, void* buffer, uint32_t size, uint32_t* count) {
  *count = 0;
  if (InjectedFailure(readsUntilFailure)) {
    errno = EIO;
    return false;
  }
  int fd = static_cast<int>(reinterpret_cast<intptr_t>(file) - 1);
  uint32_t delivered = 0;
  while (delivered < size) {
    ssize_t got = read(fd, static_cast<char*>(buffer) + delivered, size - delivered);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    delivered += static_cast<uint32_t>(got);
  }
  *count = delivered;
  return true;
}

void PlatformCloseFile(PlatformFile* file) {
  ++filesClosed;
  close(static_cast<int>(reinterpret_cast<intptr_t>(file) - 1));
}

void PlatformEndProcess(uint32_t code) {
  _exit(static_cast<int>(code));
}
