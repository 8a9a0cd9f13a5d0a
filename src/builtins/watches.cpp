// Watch expressions.
#include <cstdio>
#include <cstring>
#include <string>

#include "builtins/checks.h"
#include "builtins/handlers.h"

namespace {

// How a watch format letter is translated.
enum class WatchAction { Word, DefaultWithWarning, Error };

struct WatchFormat {
    const char* format;
    WatchAction action;
    const char* text;  // the format word, or the warning or error message
};

const WatchFormat kWatchFormats[] = {
    {"", WatchAction::DefaultWithWarning, "Formatting string not specified in GEL_WatchAdd. Assuming default format."},
    {"x", WatchAction::Word, "%HEX "},
    {"d", WatchAction::Word, "%DECIMAL "},
    {"b", WatchAction::Word, "%BINARY "},
    {"c", WatchAction::Word, "%ASCII "},
    {"f", WatchAction::DefaultWithWarning, "Not supported formatting string 'f' in GEL_WatchAdd. Assuming default format."},
    {"e", WatchAction::DefaultWithWarning, "Not supported formatting string 'e' in GEL_WatchAdd. Assuming default format."},
    {"o", WatchAction::Error, "Not supported formatting string 'o' in GEL_WatchAdd."},
    {"u", WatchAction::Error, "Not supported formatting string 'u' in GEL_WatchAdd."},
    {"p", WatchAction::Error, "Not supported formatting string 'p' in GEL_WatchAdd."},
    {"P", WatchAction::Error, "Not supported formatting string 'P' in GEL_WatchAdd."},
    {"g", WatchAction::Error, "Not supported formatting string '%s' in GEL_WatchAdd."},
};

const char* const kInvalidWatchFormat = "Invalid formatting string '%s' in GEL_WatchAdd.";

// The last comma of the text, not counting one in the first position.
char* last_comma(char* text) {
    char* comma = std::strrchr(text, ',');
    return comma == text ? nullptr : comma;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

GEL_HANDLER(GEL_WatchAdd) {
    if (!check_count_range(name, count, 1, 2)) return 0;
    if (!check_quoted(parameters, 0, name)) return 0;
    if (count == 2 && !check_quoted(parameters, 1, name)) return 0;
    fill_omitted_parameters(parameters, count);
    char* expression = cut_closing_quote(parameters[0]);
    char* comma = last_comma(expression);
    if (comma == nullptr) {
        std::printf("Var.AddWatch %s\n", expression);
        return 0;
    }
    const char* begin = comma + 1;
    const char* end = begin + std::strlen(begin);
    while (begin < end && is_blank(*begin)) ++begin;
    while (end > begin && is_blank(end[-1])) --end;
    std::string format(begin, end);

    const WatchFormat* row = nullptr;
    for (const WatchFormat& candidate : kWatchFormats)
        if (format == candidate.format) row = &candidate;
    if (row == nullptr) {
        set_pending_error(kInvalidWatchFormat, format.c_str());
        return 0;
    }
    if (row->action == WatchAction::Error) {
        set_pending_error(row->text, format.c_str());
        return 0;
    }
    if (row->action == WatchAction::DefaultWithWarning) handler_warning(line, "%s", row->text);
    *comma = '\0';
    std::fputs("Var.AddWatch ", stdout);
    if (row->action == WatchAction::Word) std::fputs(row->text, stdout);
    std::printf("%s\n", expression);
    return 0;
}

GEL_HANDLER(GEL_WatchDel) {
    if (!check_min_count(name, count, 1)) return 0;
    if (!check_max_count(name, count, 2)) return 0;
    if (!check_quoted(parameters, 0, name)) return 0;
    fill_omitted_parameters(parameters, count);
    char* expression = cut_closing_quote(parameters[0]);
    if (char* comma = last_comma(expression)) *comma = '\0';
    std::printf("Var.DelWatch %s\n", expression);
    return 0;
}

GEL_HANDLER(GEL_WatchReset) {
    if (!check_exact_count(name, count, 0)) return 0;
    std::fputs("Var.DelWatch %ALL\n", stdout);
    return 0;
}
