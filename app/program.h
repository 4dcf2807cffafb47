// The program's variables, cleared as the very first step of ProgramMain.
// The program's private heap lives in the runtime (ProgramHeap), which
// ProgramMain creates and destroys.
#pragma once

#include <cstdint>

#include "runtime/strings/workspace.h"

struct ProgramVariables {
  void* ProgramInstance;
  int64_t ExitCode;
  StringVariable crcHex;
  StringVariable md5Hex;
  StringVariable chosenFile;
};

extern ProgramVariables ProgramGlobals;

// The one job of the program: pick a file, report its CRC-32 and MD5.
void ChecksumReport();
