// Operand classes, the text-only format filler and small text helpers of the
// expression conversion.
#include <cstdio>
#include <cstring>
#include <string>

#include "compiler/codegen.h"
#include "compiler/expression_support.h"
#include "driver/diagnostics.h"

OperandClass operand_class(int kind) {
    switch (kind) {
        case RK_PERIPHERAL_REGISTER_TEMP:
        case RK_CORE_REGISTER_TEMP:
        case RK_MEMORY_TEMP: return OC_TEMPORARY;
        case RK_MACRO_TEMP: return OC_MACRO;
        case RK_HLL_VARIABLE: return OC_HLL;
        case RK_TEXT: return OC_TEXT;
        case RK_EXPRESSION: return OC_EXPRESSION;
        default: return OC_INVALID;
    }
}

OperandClass checked_class(int kind, const char* caller) {
    OperandClass c = operand_class(kind);
    if (c == OC_INVALID) fatal_internal_error("compiler", caller, __LINE__);
    return c;
}

std::string operand_argument(int kind, const ResultDescriptor* rd) {
    OperandClass c = operand_class(kind);
    if (c == OC_TEMPORARY || c == OC_MACRO) return number_text(rd->number);
    return text_of(rd);
}

std::string fill(const char* format, std::initializer_list<std::string_view> args) {
    std::string out;
    auto next = args.begin();
    for (const char* p = format; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        if (p[1] == '%') {
            out += '%';
            ++p;
            continue;
        }
        // Skip flags, width and precision up to the conversion letter.
        const char* q = p + 1;
        while (*q && std::strchr("0123456789.-+ #l", *q)) ++q;
        if (!*q) break;
        if (next != args.end()) {
            out.append(next->data(), next->size());
            ++next;
        }
        p = q;
    }
    return out;
}

std::string number_text(long value) { return std::to_string(value); }

std::string hex8(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%08X", value);
    return buffer;
}

void emit(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }
void emit(const char* text) { std::fputs(text, stdout); }

bool has_operator_character(const char* text) {
    const char* p = text;
    while (*p == '&' || *p == '(') ++p;
    return std::strpbrk(p, "!&+,-/:<=>?^|~") != nullptr;
}

void blank_first_cast(std::string& text) {
    size_t close = text.find(')');
    if (close == std::string::npos || close == 0) return;
    size_t open = text.rfind('(', close - 1);
    if (open == std::string::npos) return;
    for (size_t i = open; i <= close; ++i) text[i] = ' ';
}

void squeeze_after_parentheses(std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '(') {
            while (i + 1 < text.size() && text[i + 1] == ' ') ++i;
        }
    }
    text.swap(out);
}

const char* compound_operator_text(uint32_t op) {
    switch (op) {
        case ID_MUL_ASSIGN: return "*";
        case ID_DIV_ASSIGN: return "/";
        case ID_MOD_ASSIGN: return "%";
        case ID_ADD_ASSIGN: return "+";
        case ID_SUB_ASSIGN: return "-";
        case ID_LEFT_ASSIGN: return "<<";
        case ID_RIGHT_ASSIGN: return ">>";
        case ID_AND_ASSIGN: return "&";
        case ID_XOR_ASSIGN: return "^";
        case ID_OR_ASSIGN: return "|";
        default: return nullptr;
    }
}

const char* operand_text(int kind, const ResultDescriptor* rd, const char* caller) {
    switch (checked_class(kind, caller)) {
        case OC_TEMPORARY: return pool_string(fill("\\__V%i", {number_text(rd->number)}).c_str());
        case OC_MACRO: return pool_string(fill("&__V%i", {number_text(rd->number)}).c_str());
        case OC_HLL: return pool_string(fill("\\%s", {text_of(rd)}).c_str());
        default: return rd->text ? rd->text : pool_string("");
    }
}
