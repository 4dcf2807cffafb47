// Program entry and lifecycle: bring the runtime up, run the report once,
// take the runtime down and end the process with exit code 0.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <clocale>
#include <cstring>

#include "app/program.h"

ProgramVariables ProgramGlobals;

static void SetProgramLocale() {
  setlocale(LC_ALL, "");
  setlocale(LC_NUMERIC, "C");
}

static void GuiRuntimeInit() {
  INITCOMMONCONTROLSEX controls;
  controls.dwSize = 8;
  controls.dwICC = 0x0B48;  // tab, hotkey, date, ComboBoxEx and IP-address classes
  InitCommonControlsEx(&controls);
  CoInitialize(nullptr);
}

[[noreturn]] static void ProgramMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::memset(&ProgramGlobals, 0, sizeof ProgramGlobals);
  ProgramHeap = nullptr;
  ProgramGlobals.ProgramInstance = GetModuleHandleW(nullptr);
  ProgramHeap = PlatformHeapCreate();
  // Every later allocation assumes a usable heap; without one, end here.
  if (!ProgramHeap) ExitProcess(0);
  SetProgramLocale();
  StringRuntimeInit();
  GuiRuntimeInit();

  ChecksumReport();

  StringRuntimeEnd();
  PlatformHeapDestroy(ProgramHeap);
  ExitProcess(static_cast<UINT>(ProgramGlobals.ExitCode & 0xFFFFFFFF));
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showMode) {
  ProgramMain(instance, previousInstance, commandLine, showMode);
}
