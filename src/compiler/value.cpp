// Counters of the generated temporaries and labels, the renderings of a value
// as a command parameter, the size words of register accesses, the memory
// read function and the removal of Var.VALUE wrappers.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "compiler/expression_support.h"
#include "compiler/value.h"
#include "driver/diagnostics.h"

Numbering numbering;

namespace {

// Parameter renderings by result kind (index kind + 7). The first column is
// the format, the second tells whether it takes the number (true) or the text.
struct Rendering {
    const char* format;
    bool takes_number;
};

const Rendering kRenderings[8] = {
    /* -7 RK_PERIPHERAL_REGISTER_TEMP */ {"Var.VALUE(\\__V%i)", true},
    /* -6 RK_NONE                     */ {nullptr, false},
    /* -5 RK_MACRO_TEMP               */ {"&__V%i", true},
    /* -4 RK_HLL_VARIABLE             */ {"Var.VALUE(\\%s)", false},
    /* -3 RK_CORE_REGISTER_TEMP       */ {"Var.VALUE(\\__V%i)", true},
    /* -2 RK_MEMORY_TEMP              */ {"Var.VALUE(\\__V%i)", true},
    /* -1 RK_TEXT                     */ {"Var.VALUE(%s)", false},
    /*  0 RK_EXPRESSION               */ {"Var.VALUE(%s)", false},
};

// The rendering of `p`, with `alt_text` in place of the text when given.
// Null when the kind has no rendering.
const Rendering* rendering_of(int kind) {
    if (kind < -7 || kind > 0) return nullptr;
    const Rendering* r = &kRenderings[kind + 7];
    return r->format ? r : nullptr;
}

std::string render(const Rendering* r, const GelParameter* p, const char* alt_text) {
    if (r->takes_number) return fill(r->format, {number_text(p->rd.number)});
    const char* text = alt_text ? alt_text : text_of(&p->rd);
    return fill(r->format, {text});
}

}  // namespace

void print_gel_parameter(GelParameter* p) {
    const Rendering* r = rendering_of(p->kind);
    if (!r) FATAL_INTERNAL_ERROR("print_gel_parameter");
    if (p->rd.text) strip_value_wrappers(p->rd.text);
    emit(render(r, p, nullptr));
}

void print_gel_parameter_alter_txt(GelParameter* p, const char* alt_text) {
    const Rendering* r = rendering_of(p->kind);
    if (!r) FATAL_INTERNAL_ERROR("print_gel_parameter_alter_txt");
    emit(render(r, p, alt_text ? alt_text : ""));
}

void sprint_gel_parameter(char* buffer, unsigned long size, const GelParameter* p) {
    const Rendering* r = rendering_of(p->kind);
    if (!r) FATAL_INTERNAL_ERROR("sprint_gel_parameter");
    if (size == 0) return;
    std::string text = render(r, p, nullptr);
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

const char* size_keyword(const ResultDescriptor* rd) {
    switch (rd->reg_width) {
        case 1: return "byte";
        case 2: return "word";
        case 3: return "tbyte";
        case 6: return "tword";
        case 8: return "quad";
        default: return "long";
    }
}

const char* size_format(const ResultDescriptor* rd) {
    switch (rd->reg_width) {
        case 1: return "%BYTE";
        case 2: return "%WORD";
        case 3: return "%TBYTE";
        case 6: return "%TWORD";
        case 8: return "%QUAD";
        default: return "%LONG";
    }
}

void memory_read_expression(uint32_t access_type, const char* address) {
    std::fputs("data.", stdout);
    switch (access_type & 0xF) {
        case 1: std::fputs("byte(", stdout); break;
        case 2: std::fputs("word(", stdout); break;
        case 4: std::fputs("long(", stdout); break;
        case 8: std::fputs("quad(", stdout); break;
        default: break;
    }
    switch (access_type & 0x70) {
        case 0x10: std::fputs("p:", stdout); break;
        case 0x20: std::fputs("d:", stdout); break;
        case 0x40: std::fputs("io:", stdout); break;
        default: break;
    }
    std::fputs(address ? address : "", stdout);
    std::fputs(")", stdout);
}

namespace {

// The wrapper word, matched in any letter case.
const char kWrapperWord[] = "var.value";
const size_t kWrapperLength = sizeof kWrapperWord - 1;

bool wrapper_at(const char* text, size_t pos, size_t length) {
    if (pos + kWrapperLength > length) return false;
    for (size_t i = 0; i < kWrapperLength; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[pos + i])) != kWrapperWord[i]) return false;
    }
    return true;
}

}  // namespace

// One pass over the text: the matching ")" of every "(" is found with a stack
// first, so the work stays linear however many wrappers the text holds. Every
// wrapper is removed, those nested inside a kept part included.
void strip_value_wrappers(char* text) {
    if (!text) return;
    const size_t length = std::strlen(text);
    if (length < kWrapperLength) return;

    std::vector<long> closing(length, -1);
    std::vector<size_t> open;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '(') {
            open.push_back(i);
        } else if (text[i] == ')' && !open.empty()) {
            closing[open.back()] = static_cast<long>(i);
            open.pop_back();
        }
    }

    std::vector<bool> dropped(length, false);
    size_t pos = 0;
    while (pos < length) {
        if (!wrapper_at(text, pos, length)) {
            ++pos;
            continue;
        }
        const size_t after = pos + kWrapperLength;
        for (size_t i = pos; i < after; ++i) dropped[i] = true;
        if (after < length) dropped[after] = true;  // its "(" or the one character after the word
        if (after < length && text[after] == '(' && closing[after] >= 0) dropped[closing[after]] = true;
        pos = after + 1;
    }

    size_t out = 0;
    for (size_t i = 0; i < length; ++i) {
        if (!dropped[i]) text[out++] = text[i];
    }
    text[out] = '\0';
}
