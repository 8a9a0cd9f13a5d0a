// The condition tree and the parser behind convert_condition, open to the unit
// tests. A node is shared by reference counting; releasing a tree never
// recurses, however deep it is.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <variant>

#include "rewrite/pass_engines.h"

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

// Parses a whole working text (macro temporaries already written @__).
Operand parse_condition(const std::string& text, pass_engine::Engine engine);
// Writes a tree back in the boolean form.
std::string convert_root(const Operand& root);
// convert_condition with a chosen engine for the operand patterns.
std::string convert_condition_with(const std::string& condition, pass_engine::Engine engine);

}  // namespace CondExpression
