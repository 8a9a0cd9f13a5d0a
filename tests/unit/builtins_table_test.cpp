#include <gtest/gtest.h>

#include <set>
#include <string>

#include "builtins/builtins.h"
#include "builtins/handlers.h"
#include "builtins_test_support.h"
#include "driver/diagnostics.h"

namespace {

// Names, order and the unsupported marks are checked against the README's
// table (readme_builtins_test.cpp) and the table's own position checks.
TEST(BuiltinTable, EveryEntryIsFoundByItsNameAndHasAHandler) {
    int unsupported = 0;
    std::set<gel_handler> own_handlers;
    for (int entry = 0; entry < GEL_FUNCTION_COUNT; ++entry) {
        SCOPED_TRACE(gel_function_names[entry]);
        EXPECT_EQ(find_gel_function(gel_function_names[entry]), entry);
        EXPECT_NE(gel_function_handlers[entry], nullptr);
        if (gel_function_unsupported(entry))
            ++unsupported;
        else
            own_handlers.insert(gel_function_handlers[entry]);
    }
    EXPECT_EQ(unsupported, 51);
    // 56 translated entries, two of which share one translation.
    EXPECT_EQ(own_handlers.size(), 55u);
    EXPECT_EQ(gel_function_handlers[find_gel_function("GEL_MapReset")],
              gel_function_handlers[find_gel_function("GEL_MapOff")]);
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
