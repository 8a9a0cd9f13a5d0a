// Handlers of the GEL built-ins that have a translation of their own. Each is
// named after its built-in and takes the five arguments of the dispatch:
// parameters, count, name, line, called_before.
#pragma once

#include "compiler/value.h"

#define GEL_HANDLER(fn) int fn(GelParameter* parameters, int count, const char* name, int line, bool called_before)

// Shared by the 51 entries without a translation.
GEL_HANDLER(gel_not_supported);

// Run control and breakpoints (run_control.cpp, breakpoints.cpp)
GEL_HANDLER(GEL_Animate);
GEL_HANDLER(GEL_AsmStepInto);
GEL_HANDLER(GEL_AsmStepOver);
GEL_HANDLER(GEL_BreakPtAdd);
GEL_HANDLER(GEL_BreakPtDel);
GEL_HANDLER(GEL_BreakPtDisable);
GEL_HANDLER(GEL_BreakPtReset);
GEL_HANDLER(GEL_Exit);
GEL_HANDLER(GEL_Go);
GEL_HANDLER(GEL_Halt);
GEL_HANDLER(GEL_HWBreakPtAdd);
GEL_HANDLER(GEL_HWBreakPtDel);
GEL_HANDLER(GEL_HWBreakPtDisable);
GEL_HANDLER(GEL_HWBreakPtReset);
GEL_HANDLER(GEL_IsInRealTimeMode);
GEL_HANDLER(GEL_RefreshWindows);
GEL_HANDLER(GEL_Reset);
GEL_HANDLER(GEL_Run);
GEL_HANDLER(GEL_RunF);
GEL_HANDLER(GEL_SrcStepInto);
GEL_HANDLER(GEL_SrcStepOver);
GEL_HANDLER(GEL_StepInto);
GEL_HANDLER(GEL_StepOut);
GEL_HANDLER(GEL_StepOver);
GEL_HANDLER(GEL_SyncHalt);
GEL_HANDLER(GEL_SyncRun);
GEL_HANDLER(GEL_SyncStepInto);
GEL_HANDLER(GEL_SyncStepOut);
GEL_HANDLER(GEL_SyncStepOver);

// Memory, map, load and symbols (memory_builtins.cpp, load_builtins.cpp)
GEL_HANDLER(GEL_Load);
GEL_HANDLER(GEL_LoadGel);
GEL_HANDLER(GEL_MapAdd);
GEL_HANDLER(GEL_MapAddStr);
GEL_HANDLER(GEL_MapOff);  // also serves GEL_MapReset
GEL_HANDLER(GEL_MemoryFill);
GEL_HANDLER(GEL_MemoryLoad);
GEL_HANDLER(GEL_MemorySave);
GEL_HANDLER(GEL_PatchAssembly);
GEL_HANDLER(GEL_SrcDirAdd);
GEL_HANDLER(GEL_SrcDirRemoveAll);
GEL_HANDLER(GEL_SymbolAdd);
GEL_HANDLER(GEL_SymbolLoad);
GEL_HANDLER(GEL_SymbolRemove);
GEL_HANDLER(GEL_UnloadAllSymbols);

// Windows, text output and watches (windows.cpp, text_output.cpp, watches.cpp)
GEL_HANDLER(GEL_CloseWindow);
GEL_HANDLER(GEL_OpenDisassemblyWindow);
GEL_HANDLER(GEL_OpenMemoryWindow);
GEL_HANDLER(GEL_OpenWindow);
GEL_HANDLER(GEL_System);
GEL_HANDLER(GEL_TargetTextOut);
GEL_HANDLER(GEL_TextOut);
GEL_HANDLER(GEL_Trace);
GEL_HANDLER(GEL_WatchAdd);
GEL_HANDLER(GEL_WatchDel);
GEL_HANDLER(GEL_WatchReset);
