// Built-ins that set up the memory map and fill, load, save and patch target
// memory.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "builtins/handlers.h"
#include "builtins/checks.h"
#include "builtins/memory_class.h"
#include "driver/diagnostics.h"
#include "driver/characters.h"

namespace {

// Data type codes of GEL_MemoryFill: the access width written for each code
// (a format: "%%" prints one percent sign) and the name of an unsupported
// type in the warning.
struct FillWidth {
    const char* width;
    const char* warning;  // null: the width is exact
};

constexpr const char* kWidthByte = "%%BYTE ";
constexpr const char* kWidthWord = "%%WORD ";
constexpr const char* kWidthLong = "%%LONG ";
constexpr const char* kWidthTbyte = "%%TBYTE ";
constexpr const char* kWidthTword = "%%TWORD ";
constexpr const char* kWidthQuad = "%%QUAD ";

constexpr const char* kUsingLong = "%s: Format \"%s\" is not supported. Using \"long\" instead";
constexpr const char* kUsing48 = "%s: Format \"%s\" is not supported. Using \"48-bit integer\" instead";
constexpr const char* kUsingLongLong = "%s: Format \"%s\" is not supported. Using \"long long\" instead";

const FillWidth kFillWidths[41] = {
    /*  0 */ {kWidthByte, nullptr},      /*  1 */ {kWidthByte, nullptr},
    /*  2 */ {kWidthWord, nullptr},      /*  3 */ {kWidthWord, nullptr},
    /*  4 */ {kWidthLong, kUsingLong},   /*  5 */ {kWidthWord, nullptr},
    /*  6 */ {kWidthLong, kUsingLong},   /*  7 */ {kWidthLong, kUsingLong},
    /*  8 */ {kWidthLong, nullptr},      /*  9 */ {kWidthLong, nullptr},
    /* 10 */ {kWidthWord, nullptr},      /* 11 */ {kWidthLong, kUsingLong},
    /* 12 */ {kWidthByte, nullptr},      /* 13 */ {kWidthByte, nullptr},
    /* 14 */ {kWidthWord, nullptr},      /* 15 */ {kWidthWord, nullptr},
    /* 16 */ {kWidthTbyte, nullptr},     /* 17 */ {kWidthTbyte, nullptr},
    /* 18 */ {kWidthLong, nullptr},      /* 19 */ {kWidthLong, nullptr},
    /* 20 */ {kWidthTword, kUsing48},    /* 21 */ {kWidthTword, kUsing48},
    /* 22 */ {kWidthTword, nullptr},     /* 23 */ {kWidthTword, nullptr},
    /* 24 */ {kWidthQuad, nullptr},      /* 25 */ {kWidthQuad, nullptr},
    /* 26 */ {kWidthWord, nullptr},      /* 27 */ {kWidthWord, nullptr},
    /* 28 */ {kWidthWord, nullptr},      /* 29 */ {kWidthWord, nullptr},
    /* 30 */ {kWidthQuad, nullptr},      /* 31 */ {kWidthQuad, nullptr},
    /* 32 */ {kWidthLong, kUsingLong},   /* 33 */ {kWidthWord, nullptr},
    /* 34 */ {kWidthLong, kUsingLong},   /* 35 */ {kWidthWord, nullptr},
    /* 36 */ {kWidthQuad, kUsingLongLong}, /* 37 */ {kWidthWord, nullptr},
    /* 38 */ {kWidthQuad, kUsingLongLong}, /* 39 */ {kWidthWord, nullptr},
    /* 40 */ {kWidthQuad, kUsingLongLong},
};

const char* const kTypeNames[41] = {
    "char", "unsigned char", "short", "unsigned short", "enum", "none", "int", "unsigned int",
    "", "", "none", "pointer", "", "", "", "",
    "", "", "", "", "40-bit integer", "40-bit unsigned integer", "", "",
    "", "", "", "", "", "", "", "",
    "float", "none", "32-bit IEEE single", "none", "double", "none", "64-bit IEEE double", "none",
    "long double",
};

// The parameter's text as written; a macro temporary without text is spelled
// &__V<n>, any other textless parameter is empty.
std::string written_text(const GelParameter& p) {
    if (p.rd.text) return p.rd.text;
    if (p.kind == RK_MACRO_TEMP) return "&__V" + std::to_string(p.rd.number);
    return std::string();
}

using ascii::is_digit;
using ascii::is_hex_digit;

// Accumulates digits of `base`, saturating far above any type code.
long long read_digits(const char* begin, const char* end, int base) {
    long long value = 0;
    for (const char* c = begin; c < end; ++c) {
        int digit = is_digit(*c) ? *c - '0' : ascii::lower(*c) - 'a' + 10;
        value = value * base + digit;
        if (value > 0xFFFFFFFFLL) value = 0xFFFFFFFFLL;
    }
    return value;
}

// Classifies a type code text as a constant the way object-like macro
// bodies are: a frame of balanced parentheses around a decimal number
// (optionally negative), a hexadecimal number with "0x" and optional U/L
// suffixes, or hexadecimal digits followed by "h"; only blanks or tabs may
// follow. Returns false for any other text.
bool read_type_code(const char* text, long long* value) {
    if (!text) return false;
    const char* c = text;
    int open = 0;
    while (*c == '(') ++open, ++c;
    bool negative = false;
    if (*c == '-') negative = true, ++c;
    const char* digits = c;
    long long number = 0;
    if (c[0] == '0' && (c[1] == 'x' || c[1] == 'X')) {
        digits = c += 2;
        while (is_hex_digit(*c)) ++c;
        if (c == digits) return false;
        number = read_digits(digits, c, 16);
        while (*c == 'u' || *c == 'U' || *c == 'l' || *c == 'L') ++c;
    } else {
        while (is_hex_digit(*c)) ++c;
        if (c == digits) return false;
        if (*c == 'h') {
            number = read_digits(digits, c, 16);
            ++c;
        } else {
            for (const char* d = digits; d < c; ++d) {
                if (!is_digit(*d)) return false;
            }
            number = read_digits(digits, c, 10);
        }
    }
    for (int i = 0; i < open; ++i, ++c) {
        if (*c != ')') return false;
    }
    while (*c == ' ' || *c == '\t') ++c;
    if (*c != '\0') return false;
    *value = negative ? -number : number;
    return true;
}

// Writes the class operand opening: "<constant>:(" after `constant_command`,
// or "&__V<n>:(" after `runtime_command` once the run-time chain is out.
void write_class_operand(const MemoryClassChoice& choice, const char* constant_command, const char* runtime_command) {
    if (choice.constant) std::printf("%s%s:(", constant_command, choice.constant);
    else std::printf("%s&__V%i:(", runtime_command, choice.macro_number);
}

// The load and save commands: command, file rendered, class, range.
void write_file_transfer(GelParameter* parameters, const char* command) {
    MemoryClassChoice choice = select_memory_class(&parameters[1]);
    std::fputs(command, stdout);
    print_gel_parameter(&parameters[3]);
    if (choice.constant) std::printf(" %s:(", choice.constant);
    else std::printf(" &__V%i:(", choice.macro_number);
    write_address_range(&parameters[0], &parameters[2]);
    std::fputc('\n', stdout);
}

}  // namespace

GEL_HANDLER(GEL_MapAdd) {
    if (!check_exact_count(name, count, 5)) return 0;
    fill_omitted_parameters(parameters, count);
    std::printf("MAP.Bus32 %s++%s\n", written_text(parameters[0]).c_str(), written_text(parameters[2]).c_str());
    return 0;
}

GEL_HANDLER(GEL_MapAddStr) {
    if (!check_exact_count(name, count, 5)) return 0;
    fill_omitted_parameters(parameters, count);
    // The length must be a hexadecimal constant whose end address fits in
    // 32 bits: anything else has no length to read.
    const char* length = parameters[2].rd.text;
    uint64_t value = 0;
    bool valid = length && length[0] == '0' && (length[1] == 'x' || length[1] == 'X');
    if (valid) {
        const char* c = length + 2;
        const char* digits = c;
        while (is_hex_digit(*c)) {
            int digit = is_digit(*c) ? *c - '0' : ascii::lower(*c) - 'a' + 10;
            value = value * 16 + digit;
            if (value > 0x100000000ULL) value = 0x100000001ULL;
            ++c;
        }
        while (*c == 'u' || *c == 'U' || *c == 'l' || *c == 'L') ++c;
        valid = c != digits && *c == '\0' && value >= 1 && value <= 0x100000000ULL;
    }
    if (!valid) {
        set_pending_error("Third parameter of %s function must be a hexadecimal length from 0x1 to 0x100000000.", name);
        return 0;
    }
    std::printf("MAP.Bus32 %s++%.8X\n", written_text(parameters[0]).c_str(), static_cast<unsigned>(value - 1));
    return 0;
}

GEL_HANDLER(GEL_MapOff) {
    std::printf("MAP.RESet\n");
    return 0;
}

GEL_HANDLER(GEL_MemoryFill) {
    if (!check_min_count(name, count, 4) || !check_max_count(name, count, 5)) return 0;
    fill_omitted_parameters(parameters, count);
    for (int i = 0; i < 4; ++i) {
        if (is_quoted(parameters[i])) {
            set_pending_error("Numeric expression expected as parameter %d.", i + 1);
            return 0;
        }
    }
    const FillWidth* width = nullptr;
    if (count == 5) {
        long long code = 0;
        std::string text = written_text(parameters[4]);
        if (read_type_code(parameters[4].rd.text, &code)) {
            if (code >= 0 && code <= 40) {
                width = &kFillWidths[code];
                if (width->warning) handler_warning(line, width->warning, name, kTypeNames[code]);
            }
        } else {
            handler_warning(line,
                       "%s: Fifth parameter should be a numeric constant to be convertable to QUERNA. "
                       "Parameter \"%s\" omitted.",
                       name, text.c_str());
        }
    }
    const char* width_format = width ? width->width : kWidthWord;

    MemoryClassChoice choice = select_memory_class(&parameters[1]);
    write_class_operand(choice, "Data.Set ", "DATA.SET ");
    write_address_range(&parameters[0], &parameters[2]);
    std::fputc(' ', stdout);
    std::printf(width_format);
    print_gel_parameter(&parameters[3]);
    std::fputc('\n', stdout);
    return 0;
}

GEL_HANDLER(GEL_MemoryLoad) {
    if (!check_exact_count(name, count, 4)) return 0;
    if (!check_quoted(parameters, 3, name)) return 0;
    fill_omitted_parameters(parameters, count);
    unescape_backslashes(parameters[3].rd.text);
    write_file_transfer(parameters, "DATA.LOAD.AUTO ");
    return 0;
}

GEL_HANDLER(GEL_MemorySave) {
    if (!check_count_range(name, count, 4, 6)) return 0;
    if (!check_quoted(parameters, 3, name)) return 0;
    fill_omitted_parameters(parameters, count);
    if (count >= 5)
        handler_warning(line, "%s(): 'io_format' parameter not supported. Assuming default hexadecimal format.", name);
    if (count >= 6) handler_warning(line, "%s(): 'append' parameter not supported. File always overwritten.", name);
    unescape_backslashes(parameters[3].rd.text);
    write_file_transfer(parameters, "DATA.SAVE.ASCIIHEX ");
    return 0;
}

GEL_HANDLER(GEL_PatchAssembly) {
    if (!check_max_count(name, count, 3) || !check_min_count(name, count, 3)) return 0;
    if (!check_quoted(parameters, 2, name)) return 0;
    fill_omitted_parameters(parameters, count);
    char* instruction = parameters[2].rd.text;
    size_t length = std::strlen(instruction);
    if (length > 0 && instruction[length - 1] == '"') instruction[--length] = '\0';

    MemoryClassChoice choice = select_memory_class(&parameters[1]);
    write_class_operand(choice, "Data.Assemble ", "Data.Assemble ");
    print_gel_parameter(&parameters[0]);
    std::printf(") %s\n", instruction[0] == '"' ? instruction + 1 : instruction);
    return 0;
}
