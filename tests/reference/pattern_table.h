// The regular expressions the text passes and the condition parser's token
// scans are written against, kept as data, and their compiled forms. They are
// the reference the scans are checked against; the program does not run them.
//
// libstdc++'s regex engine recurses once per character it consumes, so no
// pattern may run over a text longer than kRegexTextLimit.
#pragma once

#include <cstddef>
#include <regex>

constexpr std::size_t kRegexTextLimit = 1000;

enum Pattern : int {
    // Condition tokens, tested at the parser's position; caseless.
    P_DATA_ACCESS,
    P_VALUE_CALL,
    P_HLL_NAME,             // also wrap_hll_value
    P_MACRO_NAME,
    P_FUNCTION_CALL,
    P_IDENTIFIER,
    P_NUMBER,
    P_OPERATOR,
    P_UNARY_OPERATOR,
    // Return statements; caseless.
    P_RETURN_DEREFERENCE,
    P_HLL_TEMPORARY,
    P_VAR_CALL,             // also the temporary-wrap and HLL-name passes
    // The passes of text_scan.h; caseless.
    P_MACRO_WORD,
    P_NAME,
    P_CAST_BEFORE_HLL,
    P_NUMERIC,
    P_NUMERIC_NEGATION,
    P_VALUE_COMPARISON,
    P_MASKED_MACRO,
    // The passes of text_scan.h; case-sensitive.
    P_WRAP_TEMPORARY,
    P_WRAP_SKIP_VALUE,
    P_HLL_REFERENCE,
    P_DATA_LONG,
    P_POINTER_COMPOUND,
    P_COUNT
};

// Compiled on first use and kept.
const std::regex& pattern(Pattern which);
