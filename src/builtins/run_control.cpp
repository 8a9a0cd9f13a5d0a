// Run control: starting, stopping, stepping and resetting the target,
// refreshing the windows and leaving the debugger.
#include <cstdio>
#include <cstring>

#include "builtins/checks.h"
#include "builtins/handlers.h"

namespace {

// Built-ins without parameters that write one fixed text.
int write_fixed(int count, const char* name, const char* text) {
    if (!check_exact_count(name, count, 0)) return 0;
    std::fputs(text, stdout);
    return 0;
}

// Stepping and running with an optional count or address.
struct OptionalOperand {
    const char* without;  // text without a parameter
    const char* prefix;   // with one parameter P: prefix, P rendered, suffix
    const char* suffix;
};

int write_optional_operand(GelParameter* parameters, int count, const char* name, const OptionalOperand& form) {
    if (!check_count_range(name, count, 0, 1)) return 0;
    fill_omitted_parameters(parameters, count);
    if (count == 0) {
        std::fputs(form.without, stdout);
        return 0;
    }
    std::fputs(form.prefix, stdout);
    print_gel_parameter(&parameters[0]);
    std::fputs(form.suffix, stdout);
    return 0;
}

// Synchronous step-out and step-over with a count: a guarded repeat.
int write_guarded_repeat(GelParameter* parameters, int count, const char* name, const char* without,
                         const char* step) {
    if (!check_count_range(name, count, 0, 1)) return 0;
    fill_omitted_parameters(parameters, count);
    if (count == 0) {
        std::fputs(without, stdout);
        return 0;
    }
    std::fputs("IF (", stdout);
    print_gel_parameter(&parameters[0]);
    std::fputs(")>0\n\t", stdout);
    std::fputs("RePEaT ", stdout);
    print_gel_parameter(&parameters[0]);
    std::fputs(step, stdout);
    return 0;
}

}  // namespace

// Family 1: no parameters, one fixed text.
GEL_HANDLER(GEL_Animate) { return write_fixed(count, name, "REPEAT 0\n(\n\tIF !RUN()\n\t(\n\t\tSCREEN\n\t\tGO\n\t)\n)\n"); }
GEL_HANDLER(GEL_Exit) { return write_fixed(count, name, "QUIT\n"); }
GEL_HANDLER(GEL_Halt) { return write_fixed(count, name, "IF RUN()\n\tBREAK\n"); }
GEL_HANDLER(GEL_RefreshWindows) { return write_fixed(count, name, "SCREEN\n"); }
GEL_HANDLER(GEL_Reset) { return write_fixed(count, name, "SYStem.RESet\nSYStem.UP\n"); }
GEL_HANDLER(GEL_RunF) { return write_fixed(count, name, "GO.NOBREAK\n"); }
GEL_HANDLER(GEL_StepInto) { return write_fixed(count, name, "Step\n"); }
GEL_HANDLER(GEL_StepOut) { return write_fixed(count, name, "GO.RETURN\n"); }
GEL_HANDLER(GEL_StepOver) { return write_fixed(count, name, "Step.Over\n"); }
GEL_HANDLER(GEL_SyncHalt) { return write_fixed(count, name, "IF RUN()\n\tBreak\n"); }
GEL_HANDLER(GEL_SyncRun) { return write_fixed(count, name, "Go\n"); }

// Family 2: an optional count or address.
GEL_HANDLER(GEL_AsmStepInto) {
    return write_optional_operand(parameters, count, name, {"MODE.MIX\nSTEP\n", "MODE.MIX\nSTEP ", "\n"});
}
GEL_HANDLER(GEL_AsmStepOver) {
    return write_optional_operand(parameters, count, name,
                                  {"MODE.MIX\nSTEP.OVER\n", "MODE.MIX\nREPEAT ", " STEP.OVER\n"});
}
GEL_HANDLER(GEL_SrcStepInto) {
    return write_optional_operand(parameters, count, name, {"MODE.HLL\nSTEP\n", "MODE.HLL\nSTEP ", "\n"});
}
GEL_HANDLER(GEL_SrcStepOver) {
    return write_optional_operand(parameters, count, name,
                                  {"MODE.HLL\nStep.Over\n", "MODE.HLL\nRePEaT ", " Step.Over\n"});
}
GEL_HANDLER(GEL_SyncStepInto) { return write_optional_operand(parameters, count, name, {"Step\n", "Step ", "\n"}); }
GEL_HANDLER(GEL_Go) { return write_optional_operand(parameters, count, name, {"GO\n", "GO ", "\n"}); }

// Family 3: synchronous steps with a count.
GEL_HANDLER(GEL_SyncStepOut) { return write_guarded_repeat(parameters, count, name, "Go.RETURN\n", " Go.RETURN\n"); }
GEL_HANDLER(GEL_SyncStepOver) { return write_guarded_repeat(parameters, count, name, "Step.Over\n", " Step.Over\n"); }

// Runs until the GEL condition holds: GO.TILL with the condition negated. An
// empty condition (also an omitted one) runs without one, as no parameter does.
GEL_HANDLER(GEL_Run) {
    if (!check_count_range(name, count, 0, 1)) return 0;
    fill_omitted_parameters(parameters, count);
    if (count == 1 && !check_quoted(parameters, 0, name)) return 0;
    std::fputs("GO", stdout);
    if (count == 1 && std::strlen(text_or_empty(parameters[0])) > 2) {
        std::fputs(".TILL !(", stdout);
        write_unquoted(parameters[0]);
        std::fputs(")", stdout);
    }
    std::fputs("\n", stdout);
    return 0;
}

// The target is always taken to be in real-time mode: the call's value, the
// macro temporary the call site takes next, is set to 1.
GEL_HANDLER(GEL_IsInRealTimeMode) {
    std::printf("&__V%i=1\n", numbering.temp_counter);
    return 0;
}
