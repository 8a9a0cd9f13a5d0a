// The condition tree and the parser behind convert_condition, open to the unit
// tests. A node is shared by reference counting; releasing a tree never
// recurses, however deep it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace CondExpression {

struct Node;
// A leaf text (HLL name, number, @__ macro, data access, call) or a node.
using Operand = std::variant<std::string, std::shared_ptr<Node>>;

struct Node {
    std::string op;  // "!" or "~" for a unary node, else a two-operand operator
    Operand left;    // empty string for a unary node
    Operand right;   // the only operand of a unary node
    ~Node();
};

// A parse failure with its message ("missing lt", "brackets error", ...).
struct ParseError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct TokenRules;

// The working text with the lookup tables that keep each step constant-time:
// the ")" that matches each "(" (found by counting), the nearest ")" on either
// side of a position, and the next line end ("." stops there). kNone where
// there is none.
struct Scanner {
    static constexpr uint32_t kNone = UINT32_MAX;
    const std::string& text;
    const TokenRules& rules;
    std::vector<uint32_t> match, prev_close, next_close, next_line_end;
    Scanner(const std::string& text, const TokenRules& rules);
};

// How the parser finds its tokens at `at`, within [at, end): whether a unary
// operator starts there, and the length of the operand and of the two-operand
// operator that start there (0 when none). The conversion runs the linear
// scans of kScannedTokens; the tests hold the patterns they follow.
struct TokenRules {
    bool (*unary)(const Scanner& s, std::size_t at, std::size_t end);
    std::size_t (*operand)(const Scanner& s, std::size_t at, std::size_t end);
    std::size_t (*binary)(const Scanner& s, std::size_t at, std::size_t end);
};
extern const TokenRules kScannedTokens;

// Parses a whole working text (macro temporaries already written @__).
Operand parse_condition(const std::string& text, const TokenRules& rules = kScannedTokens);
// Writes a tree back in the boolean form.
std::string convert_root(const Operand& root);
// convert_condition with the given token rules.
std::string convert_condition_with(const std::string& condition, const TokenRules& rules);

}  // namespace CondExpression
