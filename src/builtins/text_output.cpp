// Text output: PRINT lines in areas, target strings, host commands, traces.
#include <cstdio>
#include <cstring>

#include "builtins/checks.h"
#include "builtins/handlers.h"
#include "builtins/memory_class.h"
#include "driver/diagnostics.h"
#include "rewrite/patterns.h"

namespace {

// A string literal that names the output window. Returns false (pending
// error set) for a name with whitespace; writes nothing then.
bool select_window(GelParameter& window_parameter, const char* name) {
    const char* window = cut_closing_quote(window_parameter);
    if (!check_window_name(window, name)) return false;
    if (!textout_window_disabled && *window != '\0')
        std::printf("IF (!AREA.Exist(%s))\nAREA.Create %s\nAREA.Select %s\n", window, window, window);
    else
        std::fputs("AREA.Select\n", stdout);
    return true;
}

// The whole text matches "\".*\"": quotes at both ends, no line break.
bool is_complete_quoted_string(const char* text) {
    size_t length = std::strlen(text);
    if (length < 2 || text[0] != '"' || text[length - 1] != '"') return false;
    for (size_t i = 1; i + 1 < length; ++i)
        if (text[i] == '\n' || text[i] == '\r') return false;
    return true;
}

// The format of a text-output call: the text between its enclosing quotes.
struct Span {
    const char* begin;
    size_t length;
};

Span inner_text(const GelParameter& p) {
    const char* text = text_or_empty(p);
    size_t length = std::strlen(text);
    size_t begin = (length > 0 && text[0] == '"') ? 1 : 0;
    size_t end = (length > begin && text[length - 1] == '"') ? length - 1 : length;
    return {text + begin, end - begin};
}

// A numeric argument of a PRINT line, between the quoted pieces.
void write_print_number(GelParameter& argument, const char* format_word) {
    std::fputs(format_word, stdout);
    if (argument.kind != RK_HLL_VARIABLE && argument.rd.text != nullptr) macro_name_pass(&argument.rd);
    print_gel_parameter(&argument);
    std::fputs(" \"", stdout);
}

// A quoted text argument is written with its text between the quotes.
void write_text_argument(GelParameter& argument) {
    if (is_quoted(argument)) {
        char* unquoted = cut_closing_quote(argument);
        print_gel_parameter_alter_txt(&argument, unquoted);
    } else {
        print_gel_parameter(&argument);
    }
}

// Writes the escape that `c` and `after` spell: a doubled backslash as one
// backslash, backslash-n as `newline`, backslash-t as a space. False when they
// spell none of these.
bool write_escape(char c, char after, const char* newline) {
    if (c != '\\') return false;
    if (after == '\\')
        std::fputc('\\', stdout);
    else if (after == 'n')
        std::fputs(newline, stdout);
    else if (after == 't')
        std::fputc(' ', stdout);
    else
        return false;
    return true;
}

}  // namespace

GEL_HANDLER(GEL_TextOut) {
    if (!check_min_count(name, count, 1)) return 0;
    if (count >= 2) {
        if (!check_quoted(parameters, 0, name)) return 0;
        if (!is_literal(parameters[1])) {
            set_pending_error("Second parameter must be quoted or empty");
            return 0;
        }
    }
    fill_omitted_parameters(parameters, count);
    if (count >= 2 && is_quoted(parameters[1]) && !select_window(parameters[1], name)) return 0;
    if (count == 1 && !is_complete_quoted_string(text_or_empty(parameters[0]))) {
        std::printf("var.print %%string \\%s\n", text_or_empty(parameters[0]));
        return 0;
    }

    std::fputs("PRINT \"", stdout);
    Span format = inner_text(parameters[0]);
    int next_argument = 5;
    for (size_t i = 0; i < format.length; ++i) {
        char c = format.begin[i];
        char after = i + 1 < format.length ? format.begin[i + 1] : '\0';
        bool argument_left = next_argument < count;
        if (c == '%' && argument_left && after != '\0' && std::strchr("defu", after)) {
            write_print_number(parameters[next_argument++], "\" %DECIMAL ");
            ++i;
        } else if (c == '%' && argument_left && after == 'x') {
            write_print_number(parameters[next_argument++], "\" %HEX ");
            ++i;
        } else if (c == '%' && argument_left && after == 's') {
            write_text_argument(parameters[next_argument++]);
            ++i;
        } else if (write_escape(c, after, "\"\nPRINT \"")) {
            ++i;
        } else {
            std::fputc(c, stdout);
        }
    }
    std::fputs("\"\n", stdout);
    return 0;
}

GEL_HANDLER(GEL_TargetTextOut) {
    if (!check_count_range(name, count, 1, 9)) return 0;
    if (count >= 5 && !is_literal(parameters[4])) {
        set_pending_error("Fifth parameter must be quoted or empty");
        return 0;
    }
    if (count >= 3) handler_warning(line, "%s(): Only startAddress, page and windowName parameters supported.", name);
    fill_omitted_parameters(parameters, count);
    if (count == 1) {
        std::fputs("PRINT Data.STRING(d:(", stdout);
    } else {
        if (count >= 5 && is_quoted(parameters[4]) && !select_window(parameters[4], name)) return 0;
        MemoryClassChoice choice = select_memory_class(&parameters[1]);
        std::fputs("PRINT Data.STRING(", stdout);
        if (choice.constant)
            std::printf("%s:(", choice.constant);
        else
            std::printf("&__V%i:(", choice.macro_number);
    }
    print_gel_parameter(&parameters[0]);
    std::fputs("))\n", stdout);
    return 0;
}

GEL_HANDLER(GEL_System) {
    if (!check_count_range(name, count, 1, 5)) return 0;
    if (!check_quoted(parameters, 0, name)) return 0;
    fill_omitted_parameters(parameters, count);
    // Positions count from 1, the command being parameter 1.
    for (int i = 1; i < count; ++i) {
        if (!is_literal(parameters[i])) {
            set_pending_error("%s() parameter %d: Only non-negative constants or quoted strings supported as parameters.",
                              name, i + 1);
            return 0;
        }
    }

    std::fputs("OS ", stdout);
    Span command = inner_text(parameters[0]);
    int next_argument = 1;
    for (size_t i = 0; i < command.length; ++i) {
        char c = command.begin[i];
        char after = i + 1 < command.length ? command.begin[i + 1] : '\0';
        if (c == '%' && next_argument < count && after != '\0' && std::strchr("duefxs", after)) {
            int position = next_argument + 1;
            GelParameter& argument = parameters[next_argument++];
            ++i;
            if (after == 's') {
                if (!is_quoted(argument)) {
                    set_pending_error("%s(): Wrong parameter %i type for %%s.", name, position);
                    return 0;
                }
                print_gel_parameter_alter_txt(&argument, cut_closing_quote(argument));
                continue;
            }
            if (!is_numeric_literal(argument)) {
                if (after == 'x')
                    set_pending_error("%s(): Wrong parameter %i type for %%x.", name, position);
                else
                    set_pending_error("%s(): Wrong parameter %i type for %%%c.", name, position, after);
                return 0;
            }
            uint64_t value = 0;
            if ((after == 'd' || after == 'u') && integer_literal_value(argument.rd.text, &value)) {
                // Written in decimal, as the C conversion would print a 32-bit value.
                if (after == 'u')
                    std::printf("%llu", static_cast<unsigned long long>(value));
                else if (value <= 0xFFFFFFFFull)
                    std::printf("%i", static_cast<int32_t>(static_cast<uint32_t>(value)));
                else
                    std::printf("%lld", static_cast<long long>(value));
            } else if (after == 'd' || after == 'u') {
                std::fputs(text_or_empty(argument), stdout);
            } else {
                print_gel_parameter(&argument);
            }
        } else if (write_escape(c, after, "")) {
            ++i;
        } else {
            std::fputc(c, stdout);
        }
    }
    std::fputs("\n", stdout);
    return 0;
}

GEL_HANDLER(GEL_Trace) {
    if (count == 0) {
        std::fputs("PRINT \"GEL_Trace \"\n", stdout);
    } else if (parameters[0].rd.text == nullptr) {
        // A temporary has no text of its own: its value is printed.
        std::fputs("PRINT \"GEL_Trace \" ", stdout);
        print_gel_parameter(&parameters[0]);
        std::fputs("\n", stdout);
    } else {
        std::printf("PRINT \"GEL_Trace \" %s\n", parameters[0].rd.text);
    }
    if (temp_counter < 0)
        std::printf("ENTRY &__V_%i\n", -temp_counter);
    else
        std::printf("ENTRY &__V%i\n", temp_counter);
    temp_counter += 1;
    return 0;
}
