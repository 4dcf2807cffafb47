#include "platform.h"

PlatformHeap* ProgramHeap = nullptr;
