// Software and on-chip breakpoints.
#include <cstdio>
#include <cstring>

#include "builtins/checks.h"
#include "builtins/handlers.h"

namespace {

int write_software(GelParameter* parameters, int count, const char* name, const char* command) {
    if (!check_exact_count(name, count, 1)) return 0;
    fill_omitted_parameters(parameters, count);
    std::fputs(command, stdout);
    print_gel_parameter(&parameters[0]);
    std::fputs(" /SOFT\n", stdout);
    return 0;
}

// An on-chip breakpoint address is either a value or a quoted text.
void write_onchip_address(GelParameter& address) {
    if (is_quoted(address))
        std::fputs(cut_closing_quote(address), stdout);
    else
        print_gel_parameter(&address);
}

int write_onchip(GelParameter* parameters, int count, const char* name, const char* command) {
    if (!check_exact_count(name, count, 1)) return 0;
    fill_omitted_parameters(parameters, count);
    std::fputs(command, stdout);
    write_onchip_address(parameters[0]);
    std::fputs(" /ONCHIP\n", stdout);
    return 0;
}

}  // namespace

GEL_HANDLER(GEL_BreakPtAdd) {
    if (!check_count_range(name, count, 1, 2)) return 0;
    fill_omitted_parameters(parameters, count);
    if (count == 2 && !check_quoted(parameters, 1, name)) return 0;
    std::fputs("BREAK.SET ", stdout);
    print_gel_parameter(&parameters[0]);
    if (count == 1) {
        std::fputs(" /SOFT\n", stdout);
        return 0;
    }
    // The condition runs from behind the opening quote to the next quote.
    const char* condition = text_or_empty(parameters[1]);
    if (*condition == '"') ++condition;
    const char* end = std::strchr(condition, '"');
    size_t length = end ? static_cast<size_t>(end - condition) : std::strlen(condition);
    std::fputs(" /SOFT /CONDITION ", stdout);
    std::fwrite(condition, 1, length, stdout);
    std::fputs("\n", stdout);
    return 0;
}

GEL_HANDLER(GEL_BreakPtDel) { return write_software(parameters, count, name, "BREAK.DELETE "); }
GEL_HANDLER(GEL_BreakPtDisable) { return write_software(parameters, count, name, "BREAK.DISABLE "); }
GEL_HANDLER(GEL_BreakPtReset) {
    if (!check_exact_count(name, count, 0)) return 0;
    std::fputs("BREAK.DELETE /SOFT\n", stdout);
    return 0;
}

GEL_HANDLER(GEL_HWBreakPtAdd) {
    if (!check_count_range(name, count, 1, 2)) return 0;
    fill_omitted_parameters(parameters, count);
    std::fputs("BREAK.SET ", stdout);
    write_onchip_address(parameters[0]);
    if (count == 2) {
        std::fputs(" /COUNT ", stdout);
        print_gel_parameter(&parameters[1]);
    }
    std::fputs(" /ONCHIP\n", stdout);
    return 0;
}

GEL_HANDLER(GEL_HWBreakPtDel) { return write_onchip(parameters, count, name, "BREAK.DELETE "); }
GEL_HANDLER(GEL_HWBreakPtDisable) { return write_onchip(parameters, count, name, "BREAK.DISABLE "); }
GEL_HANDLER(GEL_HWBreakPtReset) {
    if (!check_exact_count(name, count, 0)) return 0;
    std::fputs("BREAK.DELETE /ONCHIP\n", stdout);
    return 0;
}
