#include <gtest/gtest.h>

#include <string>

#include "builtins_test_support.h"

namespace {

using namespace builtins_test;

// What these built-ins write is pinned by the builtin_run_control and
// builtin_steps end-to-end cases; here each refuses a parameter beyond its
// limit and then writes nothing.
TEST(RunControl, ParameterLimits) {
    struct Case {
        gel_handler handler;
        const char* name;
        size_t most;
    } cases[] = {
        {GEL_Animate, "GEL_Animate", 0},           {GEL_BreakPtReset, "GEL_BreakPtReset", 0},
        {GEL_Exit, "GEL_Exit", 0},                 {GEL_Halt, "GEL_Halt", 0},
        {GEL_HWBreakPtReset, "GEL_HWBreakPtReset", 0}, {GEL_RefreshWindows, "GEL_RefreshWindows", 0},
        {GEL_Reset, "GEL_Reset", 0},               {GEL_RunF, "GEL_RunF", 0},
        {GEL_StepInto, "GEL_StepInto", 0},         {GEL_StepOut, "GEL_StepOut", 0},
        {GEL_StepOver, "GEL_StepOver", 0},         {GEL_SyncHalt, "GEL_SyncHalt", 0},
        {GEL_SyncRun, "GEL_SyncRun", 0},           {GEL_AsmStepInto, "GEL_AsmStepInto", 1},
        {GEL_AsmStepOver, "GEL_AsmStepOver", 1},   {GEL_SrcStepInto, "GEL_SrcStepInto", 1},
        {GEL_SrcStepOver, "GEL_SrcStepOver", 1},   {GEL_SyncStepInto, "GEL_SyncStepInto", 1},
        {GEL_Go, "GEL_Go", 1},                     {GEL_SyncStepOut, "GEL_SyncStepOut", 1},
        {GEL_SyncStepOver, "GEL_SyncStepOver", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Parameters p(c.most, number("5"));
        EXPECT_FALSE(run(c.handler, c.name, p).failed);
        p.push_back(number("6"));
        Result extra = run(c.handler, c.name, p);
        EXPECT_TRUE(extra.failed);
        EXPECT_EQ(extra.out, "");
        EXPECT_EQ(extra.message, std::string("Too many parameters to call ") + c.name + " function. Expecting " +
                                     (c.most ? "number of parameters in range 0 to 1." : "0 parameters."));
    }
}

TEST(RunControl, OperandsAreRenderedByKind) {
    EXPECT_EQ(run(GEL_Go, "GEL_Go", {identifier("main")}).out, "GO Var.VALUE(main)\n");
    EXPECT_EQ(run(GEL_Go, "GEL_Go", {variable("addr")}).out, "GO Var.VALUE(\\addr)\n");
    EXPECT_EQ(run(GEL_Go, "GEL_Go", {macro_temp(4)}).out, "GO &__V4\n");
    EXPECT_EQ(run(GEL_Go, "GEL_Go", {expression("Var.VALUE(\\a)+1")}).out, "GO Var.VALUE(\\a+1)\n");
    // An omitted operand is the empty literal.
    EXPECT_EQ(run(GEL_Go, "GEL_Go", {omitted()}).out, "GO Var.VALUE(\"\")\n");
}

TEST(RunControl, RunUntilANegatedCondition) {
    EXPECT_EQ(run(GEL_Run, "GEL_Run").out, "GO\n");
    EXPECT_EQ(run(GEL_Run, "GEL_Run", {quoted("\"x>3\"")}).out, "GO.TILL !(x>3)\n");
    // An empty condition runs without one: "GO.TILL !()" would be no condition at all.
    EXPECT_EQ(run(GEL_Run, "GEL_Run", {omitted()}).out, "GO\n");
    EXPECT_EQ(run(GEL_Run, "GEL_Run", {quoted("\"\"")}).out, "GO\n");
    Result unquoted = run(GEL_Run, "GEL_Run", {variable("x")});
    EXPECT_TRUE(unquoted.failed);
    EXPECT_EQ(unquoted.out, "");
    EXPECT_EQ(unquoted.message, "First parameter of GEL_Run function must be quoted.");
    Result two = run(GEL_Run, "GEL_Run", {quoted("\"a\""), quoted("\"b\"")});
    EXPECT_EQ(two.message, "Too many parameters to call GEL_Run function. Expecting number of parameters in range 0 to 1.");
}

TEST(RunControl, RealTimeModeIsAlwaysOnAndIgnoresParameters) {
    numbering.temp_counter = 6;
    Result r = run(GEL_IsInRealTimeMode, "GEL_IsInRealTimeMode");
    EXPECT_EQ(r.out, "&__V6=1\n");
    Result with = run(GEL_IsInRealTimeMode, "GEL_IsInRealTimeMode", {variable("a"), number("2")});
    EXPECT_FALSE(with.failed);
    EXPECT_EQ(with.out, "&__V6=1\n");
    EXPECT_EQ(numbering.temp_counter, 6);  // the call site takes the number
    numbering.temp_counter = 0;
}

TEST(Breakpoints, SoftwareBreakpoints) {
    EXPECT_EQ(run(GEL_BreakPtAdd, "GEL_BreakPtAdd", {number("0x100")}).out, "BREAK.SET Var.VALUE(0x100) /SOFT\n");
    EXPECT_EQ(run(GEL_BreakPtAdd, "GEL_BreakPtAdd", {identifier("main"), quoted("\"i==3\"")}).out,
              "BREAK.SET Var.VALUE(main) /SOFT /CONDITION i==3\n");
    // The condition ends at the next quote; an empty literal gives no condition.
    GelParameter condition = quoted("\"s==\"\"ab\"\"\"");  // the scanner doubles an escaped quote
    EXPECT_EQ(run(GEL_BreakPtAdd, "GEL_BreakPtAdd", {identifier("f"), condition}).out,
              "BREAK.SET Var.VALUE(f) /SOFT /CONDITION s==\n");
    EXPECT_STREQ(condition.rd.text, "\"s==\"\"ab\"\"\"");
    EXPECT_EQ(run(GEL_BreakPtAdd, "GEL_BreakPtAdd", {identifier("f"), omitted()}).out,
              "BREAK.SET Var.VALUE(f) /SOFT /CONDITION \n");

    Result unquoted = run(GEL_BreakPtAdd, "GEL_BreakPtAdd", {identifier("f"), variable("c")});
    EXPECT_EQ(unquoted.out, "");
    EXPECT_EQ(unquoted.message, "Second parameter of GEL_BreakPtAdd function must be quoted.");
    EXPECT_EQ(run(GEL_BreakPtAdd, "GEL_BreakPtAdd").message,
              "Too few parameters to call GEL_BreakPtAdd function. Expecting number of parameters in range 1 to 2.");
    EXPECT_EQ(run(GEL_BreakPtAdd, "GEL_BreakPtAdd", {number("1"), quoted("\"\""), number("3")}).message,
              "Too many parameters to call GEL_BreakPtAdd function. Expecting number of parameters in range 1 to 2.");

    EXPECT_EQ(run(GEL_BreakPtDel, "GEL_BreakPtDel", {macro_temp(2)}).out, "BREAK.DELETE &__V2 /SOFT\n");
    EXPECT_EQ(run(GEL_BreakPtDisable, "GEL_BreakPtDisable", {variable("p")}).out,
              "BREAK.DISABLE Var.VALUE(\\p) /SOFT\n");
    EXPECT_EQ(run(GEL_BreakPtDel, "GEL_BreakPtDel").message,
              "Too few parameters to call GEL_BreakPtDel function. Expecting 1 parameters.");
    EXPECT_EQ(run(GEL_BreakPtDisable, "GEL_BreakPtDisable", {number("1"), number("2")}).message,
              "Too many parameters to call GEL_BreakPtDisable function. Expecting 1 parameters.");
}

TEST(Breakpoints, OnChipBreakpointsTakeAValueOrAText) {
    EXPECT_EQ(run(GEL_HWBreakPtAdd, "GEL_HWBreakPtAdd", {quoted("\"main+4\"")}).out, "BREAK.SET main+4 /ONCHIP\n");
    EXPECT_EQ(run(GEL_HWBreakPtAdd, "GEL_HWBreakPtAdd", {number("0x20"), number("3")}).out,
              "BREAK.SET Var.VALUE(0x20) /COUNT Var.VALUE(3) /ONCHIP\n");
    EXPECT_EQ(run(GEL_HWBreakPtAdd, "GEL_HWBreakPtAdd", {quoted("\"f\""), omitted()}).out,
              "BREAK.SET f /COUNT Var.VALUE(\"\") /ONCHIP\n");
    EXPECT_EQ(run(GEL_HWBreakPtAdd, "GEL_HWBreakPtAdd").message,
              "Too few parameters to call GEL_HWBreakPtAdd function. Expecting number of parameters in range 1 to 2.");
    EXPECT_EQ(run(GEL_HWBreakPtDel, "GEL_HWBreakPtDel", {omitted()}).out, "BREAK.DELETE  /ONCHIP\n");
    EXPECT_EQ(run(GEL_HWBreakPtDel, "GEL_HWBreakPtDel", {variable("a")}).out,
              "BREAK.DELETE Var.VALUE(\\a) /ONCHIP\n");
    EXPECT_EQ(run(GEL_HWBreakPtDisable, "GEL_HWBreakPtDisable", {quoted("\"0x40\"")}).out,
              "BREAK.DISABLE 0x40 /ONCHIP\n");
    EXPECT_EQ(run(GEL_HWBreakPtDisable, "GEL_HWBreakPtDisable").message,
              "Too few parameters to call GEL_HWBreakPtDisable function. Expecting 1 parameters.");
    EXPECT_EQ(run(GEL_HWBreakPtDel, "GEL_HWBreakPtDel", {number("1"), number("2")}).message,
              "Too many parameters to call GEL_HWBreakPtDel function. Expecting 1 parameters.");
}

}  // namespace
