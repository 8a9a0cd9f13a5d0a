// The table of GEL built-ins: number, name and translation of every entry.
// Entries whose translation is `gel_not_supported` have no KALDRA equivalent.
#include "builtins/builtins.h"
#include "builtins/handlers.h"

// X(number, name, handler)
#define GEL_FUNCTION_TABLE(X)                                          \
    X(0, GEL_AddInputFile, gel_not_supported)                          \
    X(1, GEL_AddOutputFile, gel_not_supported)                         \
    X(2, GEL_Animate, GEL_Animate)                                     \
    X(3, GEL_AsmStepInto, GEL_AsmStepInto)                             \
    X(4, GEL_AsmStepOver, GEL_AsmStepOver)                             \
    X(5, GEL_BreakPtAdd, GEL_BreakPtAdd)                               \
    X(6, GEL_BreakPtDel, GEL_BreakPtDel)                               \
    X(7, GEL_BreakPtDisable, GEL_BreakPtDisable)                       \
    X(8, GEL_BreakPtReset, GEL_BreakPtReset)                           \
    X(9, GEL_CancelTimer, gel_not_supported)                           \
    X(10, GEL_ClearProfileConfiguration, gel_not_supported)            \
    X(11, GEL_CloseWindow, GEL_CloseWindow)                            \
    X(12, GEL_DisableRealtime, gel_not_supported)                      \
    X(13, GEL_EnableRealtime, gel_not_supported)                       \
    X(14, GEL_Exit, GEL_Exit)                                          \
    X(15, GEL_Go, GEL_Go)                                              \
    X(16, GEL_Halt, GEL_Halt)                                          \
    X(17, GEL_HWBreakPtAdd, GEL_HWBreakPtAdd)                          \
    X(18, GEL_HWBreakPtDel, GEL_HWBreakPtDel)                          \
    X(19, GEL_HWBreakPtDisable, GEL_HWBreakPtDisable)                  \
    X(20, GEL_HWBreakPtReset, GEL_HWBreakPtReset)                      \
    X(21, GEL_IsInRealTimeMode, GEL_IsInRealTimeMode)                  \
    X(22, GEL_Load, GEL_Load)                                          \
    X(23, GEL_LoadProfileConfiguration, gel_not_supported)             \
    X(24, GEL_LoadGel, GEL_LoadGel)                                    \
    X(25, GEL_MapAdd, GEL_MapAdd)                                      \
    X(26, GEL_MapAddStr, GEL_MapAddStr)                                \
    X(27, GEL_MapDelete, gel_not_supported)                            \
    X(28, GEL_MapOff, GEL_MapOff)                                      \
    X(29, GEL_MapOn, gel_not_supported)                                \
    X(30, GEL_MapReset, GEL_MapOff)                                    \
    X(31, GEL_MemoryFill, GEL_MemoryFill)                              \
    X(32, GEL_MemoryLoad, GEL_MemoryLoad)                              \
    X(33, GEL_MemorySave, GEL_MemorySave)                              \
    X(34, GEL_OpenDisassemblyWindow, GEL_OpenDisassemblyWindow)        \
    X(35, GEL_OpenMemoryWindow, GEL_OpenMemoryWindow)                  \
    X(36, GEL_OpenWindow, GEL_OpenWindow)                              \
    X(37, GEL_PatchAssembly, GEL_PatchAssembly)                        \
    X(38, GEL_PinConnect, gel_not_supported)                           \
    X(39, GEL_PinDisconnect, gel_not_supported)                        \
    X(40, GEL_PortConnect, gel_not_supported)                          \
    X(41, GEL_PortDisconnect, gel_not_supported)                       \
    X(42, GEL_ProbePtAdd, gel_not_supported)                           \
    X(43, GEL_ProbePtDel, gel_not_supported)                           \
    X(44, GEL_ProbePtDisable, gel_not_supported)                       \
    X(45, GEL_ProbePtReset, gel_not_supported)                         \
    X(46, GEL_ProjectBuild, gel_not_supported)                         \
    X(47, GEL_ProjectBuildConfig, gel_not_supported)                   \
    X(48, GEL_ProjectClose, gel_not_supported)                         \
    X(49, GEL_ProjectCreateCopyConfig, gel_not_supported)              \
    X(50, GEL_ProjectCreateDefaultConfig, gel_not_supported)           \
    X(51, GEL_ProjectLoad, gel_not_supported)                          \
    X(52, GEL_ProjectRebuildAll, gel_not_supported)                    \
    X(53, GEL_ProjectRebuildAllConfig, gel_not_supported)              \
    X(54, GEL_ProjectRemoveConfig, gel_not_supported)                  \
    X(55, GEL_ProjectSave, gel_not_supported)                          \
    X(56, GEL_ProjectSetActive, gel_not_supported)                     \
    X(57, GEL_ProjectSetActiveConfig, gel_not_supported)               \
    X(58, GEL_RefreshWindows, GEL_RefreshWindows)                      \
    X(59, GEL_RemoveDebugState, gel_not_supported)                     \
    X(60, GEL_RemoveInputFile, gel_not_supported)                      \
    X(61, GEL_RemoveOutputFile, gel_not_supported)                     \
    X(62, GEL_Reset, GEL_Reset)                                        \
    X(63, GEL_Restart, gel_not_supported)                              \
    X(64, GEL_RestoreDebugState, gel_not_supported)                    \
    X(65, GEL_Run, GEL_Run)                                            \
    X(66, GEL_RunF, GEL_RunF)                                          \
    X(67, GEL_SetSimMode, gel_not_supported)                           \
    X(68, GEL_SetTimer, gel_not_supported)                             \
    X(69, GEL_SharedMemHaltOnStepOff, gel_not_supported)               \
    X(70, GEL_SharedMemHaltOnStepOn, gel_not_supported)                \
    X(71, GEL_SharedMemHaltOnWriteOff, gel_not_supported)              \
    X(72, GEL_SharedMemHaltOnWriteOn, gel_not_supported)               \
    X(73, GEL_SrcDirAdd, GEL_SrcDirAdd)                                \
    X(74, GEL_SrcDirRemoveAll, GEL_SrcDirRemoveAll)                    \
    X(75, GEL_SrcStepInto, GEL_SrcStepInto)                            \
    X(76, GEL_SrcStepOver, GEL_SrcStepOver)                            \
    X(77, GEL_StepInto, GEL_StepInto)                                  \
    X(78, GEL_StepOut, GEL_StepOut)                                    \
    X(79, GEL_StepOver, GEL_StepOver)                                  \
    X(80, GEL_StopTransferToFile, gel_not_supported)                   \
    X(81, GEL_SymbolAdd, GEL_SymbolAdd)                                \
    X(82, GEL_SymbolAddRel, gel_not_supported)                         \
    X(83, GEL_SymbolHideSection, gel_not_supported)                    \
    X(84, GEL_SymbolLoad, GEL_SymbolLoad)                              \
    X(85, GEL_SymbolLoadRel, gel_not_supported)                        \
    X(86, GEL_SymbolRemove, GEL_SymbolRemove)                          \
    X(87, GEL_SymbolShowSection, gel_not_supported)                    \
    X(88, GEL_SyncHalt, GEL_SyncHalt)                                  \
    X(89, GEL_SyncRun, GEL_SyncRun)                                    \
    X(90, GEL_SyncStepInto, GEL_SyncStepInto)                          \
    X(91, GEL_SyncStepOut, GEL_SyncStepOut)                            \
    X(92, GEL_SyncStepOver, GEL_SyncStepOver)                          \
    X(93, GEL_System, GEL_System)                                      \
    X(94, GEL_TargetTextOut, GEL_TargetTextOut)                        \
    X(95, GEL_TextOut, GEL_TextOut)                                    \
    X(96, GEL_Trace, GEL_Trace)                                        \
    X(97, GEL_TransferToFile, gel_not_supported)                       \
    X(98, GEL_TransferToFileConfg, gel_not_supported)                  \
    X(99, GEL_UnloadAllSymbols, GEL_UnloadAllSymbols)                  \
    X(100, GEL_UnloadGel, gel_not_supported)                           \
    X(101, GEL_WatchAdd, GEL_WatchAdd)                                 \
    X(102, GEL_WatchDel, GEL_WatchDel)                                 \
    X(103, GEL_WatchReset, GEL_WatchReset)                             \
    X(104, GEL_XMDef, gel_not_supported)                               \
    X(105, GEL_XMOff, gel_not_supported)                               \
    X(106, GEL_XMOn, gel_not_supported)

#define GEL_TABLE_NAME(number, name, handler) #name,
#define GEL_TABLE_HANDLER(number, name, handler) handler,
#define GEL_TABLE_POSITION(number, name, handler) static_assert(__COUNTER__ - counter_base == number);

const char gel_function_names[GEL_FUNCTION_COUNT][31] = {GEL_FUNCTION_TABLE(GEL_TABLE_NAME)};
const gel_handler gel_function_handlers[GEL_FUNCTION_COUNT] = {GEL_FUNCTION_TABLE(GEL_TABLE_HANDLER)};
bool gel_function_called[GEL_FUNCTION_COUNT];

// The numbers in the table are the positions of its entries.
namespace {
constexpr int counter_base = __COUNTER__ + 1;
GEL_FUNCTION_TABLE(GEL_TABLE_POSITION)
constexpr int table_entries = __COUNTER__ - counter_base;
static_assert(table_entries == GEL_FUNCTION_COUNT);
}  // namespace
