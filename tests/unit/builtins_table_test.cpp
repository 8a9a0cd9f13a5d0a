#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "builtins/builtins.h"
#include "builtins/handlers.h"
#include "builtins_test_support.h"
#include "driver/diagnostics.h"

namespace {

// The built-ins in table order; "-" marks those without a translation.
const char* const kExpected[] = {
    "-GEL_AddInputFile", "-GEL_AddOutputFile", "+GEL_Animate", "+GEL_AsmStepInto",
    "+GEL_AsmStepOver", "+GEL_BreakPtAdd", "+GEL_BreakPtDel", "+GEL_BreakPtDisable",
    "+GEL_BreakPtReset", "-GEL_CancelTimer", "-GEL_ClearProfileConfiguration", "+GEL_CloseWindow",
    "-GEL_DisableRealtime", "-GEL_EnableRealtime", "+GEL_Exit", "+GEL_Go",
    "+GEL_Halt", "+GEL_HWBreakPtAdd", "+GEL_HWBreakPtDel", "+GEL_HWBreakPtDisable",
    "+GEL_HWBreakPtReset", "+GEL_IsInRealTimeMode", "+GEL_Load", "-GEL_LoadProfileConfiguration",
    "+GEL_LoadGel", "+GEL_MapAdd", "+GEL_MapAddStr", "-GEL_MapDelete",
    "+GEL_MapOff", "-GEL_MapOn", "+GEL_MapReset", "+GEL_MemoryFill",
    "+GEL_MemoryLoad", "+GEL_MemorySave", "+GEL_OpenDisassemblyWindow", "+GEL_OpenMemoryWindow",
    "+GEL_OpenWindow", "+GEL_PatchAssembly", "-GEL_PinConnect", "-GEL_PinDisconnect",
    "-GEL_PortConnect", "-GEL_PortDisconnect", "-GEL_ProbePtAdd", "-GEL_ProbePtDel",
    "-GEL_ProbePtDisable", "-GEL_ProbePtReset", "-GEL_ProjectBuild", "-GEL_ProjectBuildConfig",
    "-GEL_ProjectClose", "-GEL_ProjectCreateCopyConfig", "-GEL_ProjectCreateDefaultConfig", "-GEL_ProjectLoad",
    "-GEL_ProjectRebuildAll", "-GEL_ProjectRebuildAllConfig", "-GEL_ProjectRemoveConfig", "-GEL_ProjectSave",
    "-GEL_ProjectSetActive", "-GEL_ProjectSetActiveConfig", "+GEL_RefreshWindows", "-GEL_RemoveDebugState",
    "-GEL_RemoveInputFile", "-GEL_RemoveOutputFile", "+GEL_Reset", "-GEL_Restart",
    "-GEL_RestoreDebugState", "+GEL_Run", "+GEL_RunF", "-GEL_SetSimMode",
    "-GEL_SetTimer", "-GEL_SharedMemHaltOnStepOff", "-GEL_SharedMemHaltOnStepOn", "-GEL_SharedMemHaltOnWriteOff",
    "-GEL_SharedMemHaltOnWriteOn", "+GEL_SrcDirAdd", "+GEL_SrcDirRemoveAll", "+GEL_SrcStepInto",
    "+GEL_SrcStepOver", "+GEL_StepInto", "+GEL_StepOut", "+GEL_StepOver",
    "-GEL_StopTransferToFile", "+GEL_SymbolAdd", "-GEL_SymbolAddRel", "-GEL_SymbolHideSection",
    "+GEL_SymbolLoad", "-GEL_SymbolLoadRel", "+GEL_SymbolRemove", "-GEL_SymbolShowSection",
    "+GEL_SyncHalt", "+GEL_SyncRun", "+GEL_SyncStepInto", "+GEL_SyncStepOut",
    "+GEL_SyncStepOver", "+GEL_System", "+GEL_TargetTextOut", "+GEL_TextOut",
    "+GEL_Trace", "-GEL_TransferToFile", "-GEL_TransferToFileConfg", "+GEL_UnloadAllSymbols",
    "-GEL_UnloadGel", "+GEL_WatchAdd", "+GEL_WatchDel", "+GEL_WatchReset",
    "-GEL_XMDef", "-GEL_XMOff", "-GEL_XMOn",
};

TEST(BuiltinTable, NamesOrderAndTranslations) {
    ASSERT_EQ(sizeof kExpected / sizeof kExpected[0], static_cast<size_t>(GEL_FUNCTION_COUNT));
    int unsupported = 0;
    std::set<gel_handler> own_handlers;
    for (int entry = 0; entry < GEL_FUNCTION_COUNT; ++entry) {
        SCOPED_TRACE(kExpected[entry]);
        EXPECT_STREQ(gel_function_names[entry], kExpected[entry] + 1);
        bool expect_unsupported = kExpected[entry][0] == '-';
        EXPECT_EQ(gel_function_unsupported(entry), expect_unsupported);
        EXPECT_NE(gel_function_handlers[entry], nullptr);
        if (expect_unsupported) {
            ++unsupported;
        } else {
            own_handlers.insert(gel_function_handlers[entry]);
        }
        EXPECT_EQ(find_gel_function(kExpected[entry] + 1), entry);
    }
    EXPECT_EQ(unsupported, 51);
    // 56 translated entries, two of which share one translation.
    EXPECT_EQ(own_handlers.size(), 55u);
    EXPECT_EQ(gel_function_handlers[find_gel_function("GEL_MapReset")],
              gel_function_handlers[find_gel_function("GEL_MapOff")]);
    EXPECT_EQ(std::strlen(gel_function_names[find_gel_function("GEL_ProjectCreateDefaultConfig")]), 30u);
}

TEST(BuiltinTable, LookupNeedsThePrefixAndTheExactSpelling) {
    EXPECT_EQ(find_gel_function("GEL_Go"), 15);
    EXPECT_EQ(find_gel_function("gel_Go"), -1);
    EXPECT_EQ(find_gel_function("GEL_GO"), -1);
    EXPECT_EQ(find_gel_function("GEL_Gone"), -1);
    EXPECT_EQ(find_gel_function("GEL_"), -1);
    EXPECT_EQ(find_gel_function("GEL"), -1);
    EXPECT_EQ(find_gel_function("Go"), -1);
    EXPECT_EQ(find_gel_function("GEL_TransferToFileConfig"), -1);
    EXPECT_EQ(find_gel_function("GEL_TransferToFileConfg"), 98);
    EXPECT_EQ(find_gel_function(""), -1);
    EXPECT_EQ(find_gel_function(nullptr), -1);
}

TEST(BuiltinDispatch, CalledFlagReachesTheHandlerAndIsResetPerRun) {
    bool saved = disable_unsupported_errors;
    disable_unsupported_errors = true;
    reset_gel_function_called();
    int entry = find_gel_function("GEL_ProjectLoad");
    error_flag = 0;
    std::string out, err;
    {
        test_support::Capture o(stdout);
        test_support::Capture e(stderr);
        call_gel_function(entry, nullptr, 0, 3);
        call_gel_function(entry, nullptr, 0, 4);
        reset_gel_function_called();
        call_gel_function(entry, nullptr, 0, 5);
        out = o.text();
        err = e.text();
    }
    disable_unsupported_errors = saved;
    EXPECT_EQ(out,
              "//Line 3: GEL_ProjectLoad() call - function not supported by KALDRA\n"
              "//Line 4: GEL_ProjectLoad() call - function not supported by KALDRA\n"
              "//Line 5: GEL_ProjectLoad() call - function not supported by KALDRA\n");
    EXPECT_EQ(err,
              "line 3: Warning: GEL_ProjectLoad() function is not supported by KALDRA.\n"
              "line 5: Warning: GEL_ProjectLoad() function is not supported by KALDRA.\n");
    EXPECT_TRUE(gel_function_called[entry]);
    EXPECT_FALSE(gel_function_called[entry + 1]);
    EXPECT_EQ(error_flag, 0);
    reset_gel_function_called();
}

TEST(BuiltinDispatch, DispatchPassesTheTableNameAndParameters) {
    reset_gel_function_called();
    GelParameter p = builtins_test::number("0x100");
    std::string out;
    {
        test_support::Capture o(stdout);
        call_gel_function(find_gel_function("GEL_Go"), &p, 1, 9);
        call_gel_function(find_gel_function("GEL_Halt"), &p, 1, 9);
        out = o.text();
    }
    EXPECT_EQ(out, "GO Var.VALUE(0x100)\n");
    EXPECT_EQ(error_flag, 1);
    EXPECT_EQ(message_buffer, "Too many parameters to call GEL_Halt function. Expecting 0 parameters.");
    error_flag = 0;
    reset_gel_function_called();
}

TEST(BuiltinDispatch, NotSupportedWithoutSwitchIsAnErrorAndWritesNothing) {
    bool saved = disable_unsupported_errors;
    disable_unsupported_errors = false;
    auto r = builtins_test::run(gel_not_supported, "GEL_ProjectLoad", {builtins_test::number("1")}, 12, false);
    disable_unsupported_errors = saved;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.message, "GEL_ProjectLoad() function is not supported by KALDRA.");
}

}  // namespace
