// The regular expressions of the text passes and of the condition parser,
// kept as data, and their compiled forms.
//
// libstdc++'s regex engine recurses once per character it consumes, so no
// compiled pattern may run over a text longer than kRegexTextLimit. Every
// caller that can see a longer text uses the hand-written matcher of the same
// pattern instead (see text_scan.h); the unit tests run both on the same
// inputs.
#pragma once

#include <cstddef>
#include <regex>

constexpr std::size_t kRegexTextLimit = 1000;

// Built once at start-up (init_shared_patterns), case-insensitive.
enum SharedPattern : int {
    SP_WHOLE_LINE,              // condition conversion
    SP_RETURN_CONDITIONAL,      // return statements (return_conditional)
    SP_DATA_ACCESS,             // condition conversion
    SP_FUNCTION_CALL,           // condition conversion
    SP_MACRO_NAME,              // condition conversion
    SP_HLL_NAME,                // condition conversion, wrap_hll_value
    SP_RETURN_DEREFERENCE,      // return statements (return_dereference)
    SP_IDENTIFIER,              // condition conversion
    SP_NUMBER,                  // condition conversion
    SP_OPERATOR,                // condition conversion
    SP_ARITHMETIC_OPERATOR,     // condition conversion
    SP_BITWISE_AND_OR,          // condition conversion
    SP_COMPLEMENT,              // built, not used
    SP_LOGICAL_OR_COMPARISON,   // condition conversion
    SP_LOGICAL_OPERATOR,        // condition conversion
    SP_COMPARISON,              // condition conversion
    SP_NOT,                     // built, not used
    SP_UNARY_OPERATOR,          // condition conversion
    SP_VALUE_CALL,              // condition conversion
    SP_HLL_TEMPORARY,           // return statements
    SP_VAR_CALL,                // temporary-wrap, HLL-name and temporary-value passes
    SP_COUNT
};

// Built on first use and kept, case-insensitive.
enum KeptPattern : int {
    KP_VAR_VALUE,            // strip_value_wrappers
    KP_MACRO_WORD,           // macro-name pass
    KP_NAME,                 // value-call pass
    KP_CAST_BEFORE_HLL,      // cast-removal pass
    KP_NUMERIC,              // numeric-constant test
    KP_NUMERIC_NEGATION,     // numeric-constant test, negation allowed
    KP_VALUE_COMPARISON,     // value-comparison test
    KP_MASKED_MACRO,         // masked-macro test
    KP_COUNT
};

extern const char* const shared_pattern_source[SP_COUNT];
extern const char* const kept_pattern_source[KP_COUNT];

// Built anew on every call, case-sensitive.
extern const char* const wrap_temporary_source;        // temporary-wrap pass
extern const char* const wrap_skip_value_source;       // temporary-wrap pass
extern const char* const hll_reference_source;         // HLL-name pass
extern const char* const negated_macro_source;         // negation pass
extern const char* const complemented_macro_source;    // negation pass
extern const char* const data_long_source;             // data-long pass
extern const char* const unsigned_long_cast_source;    // data-long pass
extern const char* const pointer_compound_source;      // pointer compound pass

const std::regex& shared_pattern(SharedPattern which);
const std::regex& kept_pattern(KeptPattern which);
// A case-sensitive pattern of the list above. These passes could build their
// pattern anew on every call; each is compiled on first use and kept instead,
// which matches the same and keeps long scripts from paying for a compilation
// per statement.
const std::regex& per_call_pattern(const char* source);
