// Windows: GEL windows become areas; disassembly and memory windows become
// list and dump commands.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "builtins/checks.h"
#include "builtins/handlers.h"
#include "builtins/memory_class.h"

namespace {

// One code of a numeric data type or display format parameter.
struct CodeRow {
    unsigned code;
    const char* value;    // assigned to the macro temporary
    const char* warning;  // format with the built-in's name, or null
};

const CodeRow kDataTypes[] = {
    {0x00, "BYTE", nullptr},
    {0x01, "BYTE", nullptr},
    {0x0C, "BYTE", nullptr},
    {0x0D, "BYTE", nullptr},
    {0x02, "WORD", nullptr},
    {0x03, "WORD", nullptr},
    {0x0E, "WORD", nullptr},
    {0x0F, "WORD", nullptr},
    {0x04, "LONG", "%s: Data type 'Enum' is not supported. Using 'Long' instead."},
    {0x06, "LONG", "%s: Data type 'Int' is not supported. Using 'Long' instead."},
    {0x07, "LONG", "%s: Data type 'Unsigned Int' is not supported. Using 'Long' instead."},
    {0x08, "LONG", nullptr},
    {0x09, "LONG", nullptr},
    {0x12, "LONG", nullptr},
    {0x13, "LONG", nullptr},
    {0x0B, "LONG", "%s: Data type 'Pointer' is not supported. Using 'Long' instead."},
    {0x10, "TBYTE", nullptr},
    {0x11, "TBYTE", nullptr},
    {0x14, "TWORD", "%s: Data type '40 bit integer' is not supported. Using '48 bit integer' instead."},
    {0x15, "TWORD", "%s: Data type '40 bit unsigned integer' is not supported. Using '48 bit integer' instead."},
    {0x16, "TWORD", nullptr},
    {0x17, "TWORD", nullptr},
    {0x18, "QUAD", nullptr},
    {0x19, "QUAD", nullptr},
    {0x1E, "QUAD", nullptr},
    {0x1F, "QUAD", nullptr},
    {0x20, "LONG", "%s: Data type 'float' is not supported. Using 'Long' instead."},
    {0x22, "LONG", "%s: Data type '32 bit IEEE single precision format' is not supported. Using 'Long' instead."},
    {0x24, "QUAD", "%s: Data type 'double' is not supported. Using 'Long long' instead."},
    {0x26, "QUAD", "%s: Data type '64 bit IEEE double precision format' is not supported. Using 'Long long' instead."},
    {0x28, "QUAD", "%s: Data type 'long double' is not supported. Using 'Long long' instead."},
};

const CodeRow kDisplayFormats[] = {
    {0, "/HEX /NOASCII", nullptr},
    {1, "/HEX /NOASCII", nullptr},
    {2, "/DECIMAL /NOASCII", nullptr},
    {3, "/DECIMALU /NOASCII", nullptr},
    {4, "/ASCII /NOHEX", nullptr},
    {5, "/ASCII /NOHEX", "%s: Display format 'Packed character' is not supported. Using 'Character' instead."},
    {6, "/HEX /NOASCII", "%s: Display format 'Binary' is not supported. Using 'hex' instead."},
    {7, "/HEX /NOASCII", "%s: Display format 'Real or Scientific' is not supported. Using 'hex' instead."},
    {8, "/HEX /NOASCII", "%s: Display format 'Scientific' is not supported. Using 'hex' instead."},
    {9, "/HEX /NOASCII", "%s: Display format 'Octal' is not supported. Using 'hex' instead."},
};

// The run-time chains for a data type or display format that is not a
// numeric literal. Every "%s" is the parameter's rendering, "%i" the temporary.
struct ChainLine {
    const char* format;
    int renderings;
};

const ChainLine kDataTypeChain[] = {
    {"IF ((%s)==0x00)||((%s)==0x01)||((%s)==0x0C)||((%s)==0x0D)\n\t&__V%i=\"/BYTE\"\n", 4},
    {"ELSE IF ((%s)==0x02)||((%s)==0x03)||((%s)==0x0E)||((%s)==0x0F)\n\t&__V%i=\"/WORD\"\n", 4},
    {"ELSE IF ((%s)==0x10)||((%s)==0x11)\n\t&__V%i=\"/TBYTE\"\n", 2},
    {"ELSE IF ((%s)==0x04)||((%s)==0x06)||((%s)==0x07)||((%s)==0x08)||((%s)==0x09)||((%s)==0x0B)||((%s)==0x12)"
     "||((%s)==0x13)||((%s)==0x20)||((%s)==0x22)\n\t&__V%i=\"/LONG\"\n",
     10},
    {"ELSE IF ((%s)==0x14)||((%s)==0x16)||((%s)==0x15)||((%s)==0x17)\n\t&__V%i=\"/TWORD\"\n", 4},
    {"ELSE IF ((%s)==0x18)||((%s)==0x19)||((%s)==0x1E)||((%s)==0x1F)||((%s)==0x24)||((%s)==0x26)||((%s)==0x28)"
     "\n\t&__V%i=\"/QUAD\"\n",
     7},
    {"ELSE\n\t&__V%i=\"/LONG\"\n", 0},
};

const ChainLine kDisplayFormatChain[] = {
    {"IF ((%s)==0x0)||((%s)==0x1)||((%s)==0x6)||((%s)==0x7)||((%s)==0x8)||((%s)==0x9)\n\t&__V%i=\"/HEX /NOASCII\"\n", 6},
    {"ELSE IF (%s)==0x2\n\t&__V%i=\"/DECIMAL /NOASCII\"\n", 1},
    {"ELSE IF (%s)==0x3\n\t&__V%i=\"/DECIMALU /NOASCII\"\n", 1},
    {"ELSE IF ((%s)==0x4)||((%s)==0x5)\n\t&__V%i=\"/ASCII /NOHEX\"\n", 2},
    {"ELSE\n\t&__V%i=\"/HEX /NOASCII\"\n", 0},
};

// The lists of the parameters beyond the fifth, by parameter count 6 to 13.
const char* const kUnsupportedMemoryWindowParameters[] = {
    "qValue",
    "qValue, ref_buffer_on",
    "qValue, ref_buffer_on, ref_buffer_start",
    "qValue, ref_buffer_on, ref_buffer_start, ref_buffer_end",
    "qValue, ref_buffer_on, ref_buffer_start, ref_buffer_end, ref_buffer_auto_update",
    "qValue, ref_buffer_on, ref_buffer_start, ref_buffer_end, ref_buffer_auto_update, track_expression",
    "qValue, ref_buffer_on, ref_buffer_start, ref_buffer_end, ref_buffer_auto_update, track_expression, bypass_cache",
    "qValue, ref_buffer_on, ref_buffer_start, ref_buffer_end, ref_buffer_auto_update, track_expression, bypass_cache, "
    "highlight_cache_diffs",
};

// Writes one chain line: the format's text with each "%s" replaced by the
// rendering and its "%i" by the temporary number.
void write_chain_line(const ChainLine& line, const std::string& rendering, int temporary) {
    for (const char* f = line.format; *f; ++f) {
        if (f[0] == '%' && f[1] == 's') {
            std::fputs(rendering.c_str(), stdout);
            ++f;
        } else if (f[0] == '%' && f[1] == 'i') {
            std::printf("%i", temporary);
            ++f;
        } else {
            std::fputc(*f, stdout);
        }
    }
}

std::string rendering_of(const GelParameter& p) {
    std::vector<char> buffer((p.rd.text ? std::strlen(p.rd.text) : 0) + 64);
    sprint_gel_parameter(buffer.data(), buffer.size(), &p);
    return buffer.data();
}

const CodeRow* find_code(const CodeRow* rows, size_t size, uint64_t code) {
    for (size_t i = 0; i < size; ++i)
        if (rows[i].code == code) return &rows[i];
    return nullptr;
}

// Assigns the option text for a data type or display format parameter to the
// macro temporary: a table row for an integer literal, else a run-time chain.
// Returns false (pending error set) for a literal code the table lacks.
template <size_t R, size_t C>
bool assign_code(GelParameter& p, int temporary, const char* name, int line, const CodeRow (&rows)[R],
                 const char* value_format, const char* unknown, const char* runtime_warning,
                 const ChainLine (&chain)[C]) {
    uint64_t code = 0;
    if (is_numeric_literal(p) && integer_literal_value(p.rd.text, &code)) {
        const CodeRow* row = find_code(rows, R, code);
        if (row == nullptr) {
            set_pending_error(unknown, name);
            return false;
        }
        if (row->warning) handler_warning(line, row->warning, name);
        std::printf(value_format, temporary, row->value);
        return true;
    }
    handler_warning(line, runtime_warning, name);
    std::string rendering = rendering_of(p);
    for (const ChainLine& chain_line : chain) write_chain_line(chain_line, rendering, temporary);
    return true;
}

}  // namespace

GEL_HANDLER(GEL_CloseWindow) {
    if (!check_exact_count(name, count, 1)) return 0;
    if (!check_quoted(parameters, 0, name)) return 0;
    fill_omitted_parameters(parameters, count);
    const char* window = cut_closing_quote(parameters[0]);
    if (!check_window_name(window, name)) return 0;
    std::printf("AREA.VIEW %s\nWINCLEAR TOP\n", window);
    return 0;
}

GEL_HANDLER(GEL_OpenWindow) {
    if (!check_count_range(name, count, 0, 3)) return 0;
    if (count == 0) {
        std::fputs("AREA.view\n", stdout);
        return 0;
    }
    fill_omitted_parameters(parameters, count);
    if (!check_quoted(parameters, 0, name)) return 0;
    const char* window = cut_closing_quote(parameters[0]);
    if (!check_window_name(window, name)) return 0;
    std::printf("AREA.Create %s\nAREA.view %s\n", window, window);
    return 0;
}

GEL_HANDLER(GEL_OpenDisassemblyWindow) {
    if (!check_exact_count(name, count, 1)) return 0;
    fill_omitted_parameters(parameters, count);
    std::fputs("List.Auto ", stdout);
    print_gel_parameter(&parameters[0]);
    std::fputs("\n", stdout);
    return 0;
}

GEL_HANDLER(GEL_OpenMemoryWindow) {
    if (!check_count_range(name, count, 1, 13)) return 0;
    fill_omitted_parameters(parameters, count);
    if (count >= 3)
        handler_warning(line, "Parameter \"title\" is not supported in %s. Memory Window with no title will be displayed.",
                        name);
    if (count == 6)
        handler_warning(line, "Parameter \"%s\" is not supported in %s.", kUnsupportedMemoryWindowParameters[0], name);
    else if (count > 6)
        handler_warning(line, "Parameters \"%s\" are not supported in %s.",
                        kUnsupportedMemoryWindowParameters[count - 6], name);

    // Only an address: program memory, as for a page that is not given.
    GelParameter* page = count >= 2 ? &parameters[1] : nullptr;
    if (count <= 3) {
        MemoryClassChoice choice = select_memory_class(page);
        if (choice.constant)
            std::printf("Data.DUMP %s:(", choice.constant);
        else
            std::printf("Data.DUMP &__V%i:(", choice.macro_number);
        print_gel_parameter(&parameters[0]);
        std::fputs(")\n", stdout);
        return 0;
    }

    // The class, data type and display format go to three macro temporaries.
    int n = numbering.temp_counter;
    MemoryClassChoice choice = select_memory_class(page);
    if (choice.constant) std::printf("&__V%i=\"%s\"\n", n, choice.constant);
    if (!assign_code(parameters[3], n + 1, name, line, kDataTypes, "&__V%i=\"/%s\"\n",
                     "Unknown data type parameter in %s.",
                     "%s: Some data types may not be supported by KALDRA. Please use numeric constant value to specify "
                     "data type.",
                     kDataTypeChain))
        return 0;
    if (count >= 5 &&
        !assign_code(parameters[4], n + 2, name, line, kDisplayFormats, "&__V%i=\"%s\"\n",
                     "Unknown Display format parameter in %s.",
                     "%s: Some Display formats may not be supported by KALDRA. Please use numeric constant value to "
                     "specify Display format.",
                     kDisplayFormatChain))
        return 0;
    std::printf("DATA.DUMP &__V%i:(", n);
    print_gel_parameter(&parameters[0]);
    if (count == 4)
        std::printf(") &__V%i\n", n + 1);
    else
        std::printf(") &__V%i &__V%i\n", n + 1, n + 2);
    return 0;
}
