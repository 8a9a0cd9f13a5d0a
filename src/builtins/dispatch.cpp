// Recognition and dispatch of built-in calls, and the translation shared by
// the built-ins that KALDRA has no equivalent for.
#include <cstdio>
#include <cstring>

#include "builtins/builtins.h"
#include "builtins/checks.h"
#include "builtins/handlers.h"
#include "driver/diagnostics.h"

void reset_gel_function_called() {
    for (bool& called : gel_function_called) called = false;
}

int find_gel_function(const char* name) {
    if (name == nullptr || std::strncmp(name, "GEL_", 4) != 0) return -1;
    for (int entry = 0; entry < GEL_FUNCTION_COUNT; ++entry) {
        if (std::strcmp(name, gel_function_names[entry]) == 0) return entry;
    }
    return -1;
}

int call_gel_function(int entry, GelParameter* parameters, int count, int line) {
    if (entry < 0 || entry >= GEL_FUNCTION_COUNT) FATAL_INTERNAL_ERROR("call_gel_function");
    bool called_before = gel_function_called[entry];
    int result = gel_function_handlers[entry](count > 0 ? parameters : nullptr, count,
                                              gel_function_names[entry], line, called_before);
    gel_function_called[entry] = true;
    return result;
}

bool gel_function_unsupported(int entry) {
    return entry >= 0 && entry < GEL_FUNCTION_COUNT && gel_function_handlers[entry] == gel_not_supported;
}

GEL_HANDLER(gel_not_supported) {
    if (disable_unsupported_errors) {
        std::printf("//Line %i: %s() call - function not supported by KALDRA\n", line, name);
        if (!called_before) handler_warning(line, "%s() function is not supported by KALDRA.", name);
        return 0;
    }
    set_pending_error("%s() function is not supported by KALDRA.", name);
    return 0;
}
