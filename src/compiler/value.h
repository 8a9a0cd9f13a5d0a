// Value descriptors, temporaries, the string pool and the parameter renderers
// shared by the expression code and the built-in handlers.
#pragma once

#include <cstdint>

#include "frontend/tree.h"

enum ResultKind : int32_t {
    RK_EXPRESSION = 0,
    RK_TEXT = -1,
    RK_MEMORY_TEMP = -2,
    RK_CORE_REGISTER_TEMP = -3,
    RK_HLL_VARIABLE = -4,
    RK_MACRO_TEMP = -5,
    RK_NONE = -6,
    RK_PERIPHERAL_REGISTER_TEMP = -7,
};

// Bits of ResultDescriptor::type_flags (and of the declaration flags word).
enum TypeFlag : uint32_t {
    TF_VOID = 0x1,
    TF_CHAR = 0x2,
    TF_SHORT = 0x4,
    TF_INT = 0x8,
    TF_LONG = 0x10,
    TF_LONG_LONG = 0x20,
    TF_FLOAT = 0x40,
    TF_DOUBLE = 0x80,
    TF_SIGNED = 0x100,
    TF_UNSIGNED = 0x200,
    TF_STRUCT = 0x400,
    TF_ENUM = 0x800,
    TF_CONST = 0x1000,
    TF_VOLATILE = 0x2000,
    TF_EXTERN = 0x4000,
    TF_TYPEDEF = 0x8000,
    TF_STATIC = 0x10000,
    TF_AUTO = 0x20000,
    TF_REGISTER = 0x40000,
    TF_DEREF_AS_TEXT = 0x80000000u,
};

struct ResultDescriptor {
    int32_t number = 0;
    char* text = nullptr;  // lives in the string pool
    uint32_t type_flags = 0;
    uint32_t access_type = 0;
    uint32_t reg_address = 0;
    uint32_t reg_width = 0;
    uint32_t reg_is_io = 0;
};

struct GelParameter {
    int32_t kind = RK_TEXT;
    ResultDescriptor rd;
};

// A parameter is quoted when it is a string literal.
inline bool is_quoted(const GelParameter& p) { return p.kind == RK_TEXT && p.rd.number == ID_STRING; }

// --- numbering of generated names: one sequence for the whole script, reset
// by compile, taken by the expressions, statements and built-in handlers ---
struct Numbering {
    int32_t temp_counter = 0;    // next temporary \__V<n> or &__V<n>
    int32_t label_counter = -1;  // last label __L<n> taken; incremented before each use
};
extern Numbering numbering;

// --- string pool: copies in the run's text arena, released at the end of the run ---
char* pool_string(const char* text);                       // pooled copy
char* pool_string_n(const char* text, unsigned long size); // pooled copy of `size` bytes
// Formats the three strings into a pooled copy.
char* format_interned(const char* format, const char* a, const char* b = "", const char* c = "");

// --- renderers ---
void print_gel_parameter(GelParameter* p);
void print_gel_parameter_alter_txt(GelParameter* p, const char* alt_text);
// Formats the rendering into `buffer` (at most `size` bytes, always terminated).
void sprint_gel_parameter(char* buffer, unsigned long size, const GelParameter* p);

const char* size_keyword(const ResultDescriptor* rd);
const char* size_format(const ResultDescriptor* rd);
void memory_read_expression(uint32_t access_type, const char* address);
void strip_value_wrappers(char* text);
