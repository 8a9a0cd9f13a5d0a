// Text output: PRINT lines in areas, target strings, host commands, traces.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "builtins/checks.h"
#include "builtins/handlers.h"
#include "builtins/memory_class.h"
#include "compiler/codegen.h"
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

// One printf conversion of a format: "%", flags, width, precision, length
// modifiers and the conversion letter.
struct Conversion {
    size_t length = 0;      // characters from the "%" on; 0 when there is none
    char letter = '\0';
    std::string flags;      // of "-+ #0"
    std::string width;      // digits
    std::string precision;  // "." and digits, or empty
    bool adorned() const { return !flags.empty() || !width.empty() || !precision.empty(); }
};

// The conversion that starts at format[0] (a "%"). A "*" width or precision,
// a width or precision of more than three digits, or a letter that is no
// conversion gives none.
Conversion parse_conversion(const char* format, size_t n) {
    Conversion c;
    size_t i = 1;
    while (i < n && std::strchr("-+ #0", format[i]) && format[i] != '\0') c.flags += format[i++];
    while (i < n && std::isdigit(static_cast<unsigned char>(format[i]))) c.width += format[i++];
    if (i < n && format[i] == '.') {
        c.precision += format[i++];
        while (i < n && std::isdigit(static_cast<unsigned char>(format[i]))) c.precision += format[i++];
    }
    while (i < n && format[i] != '\0' && std::strchr("hlLqjzt", format[i])) ++i;
    // Widths and precisions beyond three digits are taken for text.
    if (c.width.size() > 3 || c.precision.size() > 4) return Conversion{};
    if (i >= n || format[i] == '\0' || !std::strchr("diouxXeEfgGcsp", format[i])) return Conversion{};
    c.letter = format[i];
    c.length = i + 1;
    return c;
}

// Copies the text of a quoted argument into the PRINT string, its escapes
// written as in the format.
void write_quoted_text(GelParameter& argument) {
    Span text = inner_text(argument);
    for (size_t i = 0; i < text.length; ++i) {
        char after = i + 1 < text.length ? text.begin[i + 1] : '\0';
        if (write_escape(text.begin[i], after, "\"\nPRINT \""))
            ++i;
        else
            std::fputc(text.begin[i], stdout);
    }
}

// One conversion of GEL_TextOut with its argument.
void write_print_conversion(const Conversion& c, GelParameter& argument, const char* name, int line) {
    if (c.adorned()) {
        handler_warning(line, "%s(): Flags, width and precision of \"%%%s%s%s%c\" not supported by KALDRA. Printed as \"%%%c\".",
                        name, c.flags.c_str(), c.width.c_str(), c.precision.c_str(), c.letter, c.letter);
    }
    switch (c.letter) {
        case 's':
            if (is_quoted(argument)) {
                write_quoted_text(argument);
            } else if (argument.kind == RK_HLL_VARIABLE && pointee_type_bits(argument.rd.text) == TF_CHAR) {
                // A GEL string variable: its text.
                std::printf("\" Var.String(\\%s) \"", argument.rd.text);
            } else {
                // Any other value is printed as a value, as "%d" does.
                std::fputs("\" ", stdout);
                print_gel_parameter(&argument);
                std::fputs(" \"", stdout);
            }
            return;
        case 'c':
            write_print_number(argument, "\" %ASCII ");
            return;
        case 'x':
        case 'X':
        case 'p':
            write_print_number(argument, "\" %HEX ");
            return;
        case 'o':
            handler_warning(line, "%s(): Conversion \"%%o\" not supported by KALDRA. Printed in decimal.", name);
            write_print_number(argument, "\" %DECIMAL ");
            return;
        default:
            write_print_number(argument, "\" %DECIMAL ");
            return;
    }
}

// GEL_System: the arguments are constants, so each conversion is written as
// the C library writes it. False with the pending error set for an argument
// of the wrong type.
bool write_system_conversion(const Conversion& c, GelParameter& argument, int position, const char* name) {
    std::string head = "%" + c.flags + c.width + c.precision;
    char buffer[1200];
    if (c.letter == 's') {
        if (!is_quoted(argument)) {
            set_pending_error("%s(): Wrong parameter %i type for %%s.", name, position);
            return false;
        }
        std::string text(cut_closing_quote(argument));
        // Padded to the width, cut to the precision.
        if (!c.precision.empty()) text = text.substr(0, std::strtoul(c.precision.c_str() + 1, nullptr, 10));
        size_t width = std::strtoul(c.width.empty() ? "0" : c.width.c_str(), nullptr, 10);
        std::string padding(width > text.size() ? width - text.size() : 0, ' ');
        bool left = c.flags.find('-') != std::string::npos;
        std::fputs((left ? text + padding : padding + text).c_str(), stdout);
        return true;
    }
    if (!is_numeric_literal(argument)) {
        if (c.letter == 'x')
            set_pending_error("%s(): Wrong parameter %i type for %%x.", name, position);
        else
            set_pending_error("%s(): Wrong parameter %i type for %%%c.", name, position, c.letter);
        return false;
    }
    uint64_t value = 0;
    bool integer = integer_literal_value(argument.rd.text, &value);
    if (std::strchr("eEfgG", c.letter)) {
        std::snprintf(buffer, sizeof buffer, (head + c.letter).c_str(), std::strtod(text_or_empty(argument), nullptr));
    } else if (!integer) {
        // A floating literal under an integer conversion: its text as written.
        std::snprintf(buffer, sizeof buffer, "%s", text_or_empty(argument));
    } else if (c.letter == 'd' || c.letter == 'i') {
        // A 32-bit value is signed as the C conversion would print it.
        long long v = value <= 0xFFFFFFFFull ? static_cast<int32_t>(static_cast<uint32_t>(value))
                                             : static_cast<long long>(value);
        std::snprintf(buffer, sizeof buffer, (head + "lld").c_str(), v);
    } else if (c.letter == 'c') {
        std::snprintf(buffer, sizeof buffer, (head + "c").c_str(), static_cast<int>(value & 0xFF));
    } else {
        std::snprintf(buffer, sizeof buffer, (head + "ll" + (c.letter == 'p' ? 'x' : c.letter)).c_str(),
                      static_cast<unsigned long long>(value));
    }
    std::fputs(buffer, stdout);
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
        if (parameters[0].kind == RK_HLL_VARIABLE) {
            // A GEL string variable.
            std::printf("var.print %%string \\%s\n", text_or_empty(parameters[0]));
        } else {
            std::fputs("PRINT ", stdout);
            print_gel_parameter(&parameters[0]);
            std::fputs("\n", stdout);
        }
        return 0;
    }

    std::fputs("PRINT \"", stdout);
    Span format = inner_text(parameters[0]);
    int next_argument = 5;
    for (size_t i = 0; i < format.length; ++i) {
        char c = format.begin[i];
        char after = i + 1 < format.length ? format.begin[i + 1] : '\0';
        if (c == '%' && after == '%') {
            std::fputc('%', stdout);
            ++i;
            continue;
        }
        Conversion conversion = c == '%' ? parse_conversion(format.begin + i, format.length - i) : Conversion{};
        if (conversion.length > 0 && next_argument < count) {
            write_print_conversion(conversion, parameters[next_argument++], name, line);
            i += conversion.length - 1;
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
        if (c == '%' && after == '%') {
            std::fputc('%', stdout);
            ++i;
            continue;
        }
        Conversion conversion = c == '%' ? parse_conversion(command.begin + i, command.length - i) : Conversion{};
        if (conversion.length > 0 && next_argument < count) {
            int position = next_argument + 1;
            if (!write_system_conversion(conversion, parameters[next_argument++], position, name)) return 0;
            i += conversion.length - 1;
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
    if (numbering.temp_counter < 0)
        std::printf("ENTRY &__V_%i\n", -numbering.temp_counter);
    else
        std::printf("ENTRY &__V%i\n", numbering.temp_counter);
    numbering.temp_counter += 1;
    return 0;
}
