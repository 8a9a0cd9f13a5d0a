// Condition conversion: a condition text is parsed into a small tree without
// operator precedence and written back with explicit truth values ("!=0",
// "==0") and explicit numbers (Convert.BoolToInt). Any parse failure gives
// the caller its own text back.
//
// Chains of operators are parsed in a loop and the tree is written with an
// explicit stack, so a long condition never deepens the call stack; only
// parenthesised groups recurse, as deep as they nest.
#include "rewrite/condition.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "driver/characters.h"
#include "rewrite/condition_tree.h"

namespace CondExpression {

Node::~Node() {
    std::vector<std::shared_ptr<Node>> doomed;
    auto detach = [&doomed](Operand& operand) {
        if (auto* node = std::get_if<std::shared_ptr<Node>>(&operand)) {
            if (*node) doomed.push_back(std::move(*node));
            operand = std::string();
        }
    };
    detach(left);
    detach(right);
    while (!doomed.empty()) {
        std::shared_ptr<Node> node = std::move(doomed.back());
        doomed.pop_back();
        if (node.use_count() == 1) {
            detach(node->left);
            detach(node->right);
        }
    }
}

namespace {

constexpr uint32_t kNone = Scanner::kNone;

using namespace ascii;

bool caseless_at(const Scanner& s, std::size_t at, std::size_t end, const char* word) {
    for (std::size_t i = 0; word[i]; ++i)
        if (at + i >= end || lower(s.text[at + i]) != lower(word[i])) return false;
    return true;
}

// [a-z_][a-z_0-9]* (caseless) at `at`: the length, 0 when none.
std::size_t name_at(const Scanner& s, std::size_t at, std::size_t end) {
    if (at >= end || !(is_letter(s.text[at]) || s.text[at] == '_')) return 0;
    std::size_t q = at + 1;
    while (q < end && is_word(s.text[q])) ++q;
    return q - at;
}

}  // namespace

Scanner::Scanner(const std::string& t, const TokenRules& r)
    : text(t), rules(r), match(t.size(), kNone), prev_close(t.size() + 1, kNone), next_close(t.size() + 1, kNone),
      next_line_end(t.size() + 1, kNone) {
    std::vector<uint32_t> open;
    for (uint32_t i = 0; i < t.size(); ++i) {
        prev_close[i + 1] = t[i] == ')' ? i : prev_close[i];
        if (t[i] == '(') {
            open.push_back(i);
        } else if (t[i] == ')' && !open.empty()) {
            match[open.back()] = i;
            open.pop_back();
        }
    }
    for (uint32_t i = static_cast<uint32_t>(t.size()); i-- > 0;) {
        next_close[i] = t[i] == ')' ? i : next_close[i + 1];
        next_line_end[i] = is_line_end(t[i]) ? i : next_line_end[i + 1];
    }
}

namespace {

// ---- operator classes ----

bool op_is(const std::string& op, std::initializer_list<const char*> set) {
    for (const char* s : set)
        if (op == s) return true;
    return false;
}
bool is_arithmetic(const std::string& op) { return op_is(op, {"+", "-", "*", "/", "%", "<<", ">>", "&", "|"}); }
bool is_bitwise_and_or(const std::string& op) { return op_is(op, {"&", "|"}); }
bool is_logical(const std::string& op) { return op_is(op, {"&&", "||"}); }
// "<<" and ">>" count as comparisons too: they begin with "<" and ">".
bool is_comparison(const std::string& op) { return op_is(op, {"==", "!=", "<", ">", "<<", ">>"}); }

// ---- token scans: each follows the pattern named above it ----

// ^((\!)|(~))(?!((=)))
bool scanned_unary(const Scanner& s, std::size_t at, std::size_t end) {
    char c = s.text[at];
    return (c == '!' || c == '~') && !(at + 1 < end && s.text[at + 1] == '=');
}

// Length of the leaf operand at `at`, 0 when no operand pattern matches.
std::size_t scanned_operand(const Scanner& s, std::size_t at, std::size_t end) {
    const std::string& t = s.text;
    // 1. data access: ^data\.\w+ and a balanced group.
    std::size_t len = 0;
    if (caseless_at(s, at, end, "data.")) {
        std::size_t q = at + 5;
        while (q < end && is_word(t[q])) ++q;
        len = q > at + 5 ? q - at : 0;
    }
    if (len > 0) {
        std::size_t open = at + len;
        if (open < end && t[open] == '(' && s.match[open] != kNone && s.match[open] < end)
            return s.match[open] + 1 - at;
    }
    // 2. value call: ^var\.value\(.+?\), up to the first ")" after at least one character.
    if (caseless_at(s, at, end, "var.value(") && at + 11 <= end) {
        uint32_t close = s.next_close[at + 11];
        if (close != kNone && close < end && s.next_line_end[at + 10] > close) return close + 1 - at;
    }
    // 3. HLL name ^\\[a-z_][a-z_0-9]*, 4. macro name ^@__[a-z_][a-z_0-9]*.
    if (t[at] == '\\') {
        std::size_t n = name_at(s, at + 1, end);
        if (n) return n + 1;
    }
    if (t.compare(at, 3, "@__") == 0 && at + 3 <= end) {
        std::size_t n = name_at(s, at + 3, end);
        if (n) return n + 3;
    }
    // 5. function call ^[a-z_][a-z_0-9]*\(.*\): a name and "(" up to the last ")" of the line.
    if (std::size_t n = name_at(s, at, end); n && at + n < end && t[at + n] == '(') {
        std::size_t open = at + n;
        std::size_t limit = std::min<std::size_t>(end, s.next_line_end[open + 1] == kNone ? end : s.next_line_end[open + 1]);
        uint32_t close = s.prev_close[limit];
        if (close != kNone && close > open) return close + 1 - at;
    }
    // 6. identifier ^[a-z_][a-z_0-9]*.
    if (std::size_t n = name_at(s, at, end)) return n;
    // 7. number: ^-?((0x[\da-f])|(\d))[\da-f]*(\.\d+)?
    std::size_t q = at;
    if (q < end && t[q] == '-') ++q;
    if (q + 2 < end && t[q] == '0' && lower(t[q + 1]) == 'x' && is_hex_digit(t[q + 2]))
        q += 3;
    else if (q < end && is_digit(t[q]))
        q += 1;
    else
        return 0;
    while (q < end && is_hex_digit(t[q])) ++q;
    if (q + 1 < end && t[q] == '.' && is_digit(t[q + 1])) {
        q += 2;
        while (q < end && is_digit(t[q])) ++q;
    }
    return q - at;
}

// ^((&&)|(\|\|)|(==)|(!=)|(<<)|(>>)|(<)|(<=)|(>)|(>=)|(\+)|(-)|(\*)|(/)|(%)|(-)|(&)|(\|))
std::size_t scanned_binary(const Scanner& s, std::size_t at, std::size_t end) {
    // The alternatives in the pattern's order: these two-character operators
    // stand before every one-character operator that begins them.
    for (const char* op : {"&&", "||", "==", "!=", "<<", ">>"})
        if (at + 2 <= end && s.text.compare(at, 2, op) == 0) return 2;
    return std::string("<>+-*/%&|").find(s.text[at]) != std::string::npos ? 1 : 0;
}

// ---- parser ----

Operand parse_range(const Scanner& s, std::size_t begin, std::size_t end);

Operand parse_operand(const Scanner& s, std::size_t& cursor, std::size_t end) {
    std::shared_ptr<Node> unary;
    if (s.rules.unary(s, cursor, end)) {
        unary = std::make_shared<Node>();
        unary->op = std::string(1, s.text[cursor]);
        ++cursor;
    }
    if (cursor >= end) throw ParseError("parse arg error");
    char c = s.text[cursor];
    Operand value;
    if (c == '(') {
        uint32_t close = s.match[cursor];
        if (close == kNone || close >= end) throw ParseError("brackets error");
        value = parse_range(s, cursor + 1, close);
        cursor = close + 1;
    } else if (is_letter(c) || is_digit(c) || c == '\\' || c == '@') {
        std::size_t len = s.rules.operand(s, cursor, end);
        if (len == 0) throw ParseError("match arg error");
        value = s.text.substr(cursor, len);
        cursor += len;
    } else {
        throw ParseError("parse arg error");
    }
    if (!unary) return value;
    unary->right = std::move(value);
    return unary;
}

std::string parse_operator(const Scanner& s, std::size_t& cursor, std::size_t end) {
    std::size_t len = s.rules.binary(s, cursor, end);
    if (len == 0) throw ParseError(std::string("unknown op: ") + s.text[cursor]);
    std::string op = s.text.substr(cursor, len);
    cursor += len;
    return op;
}

// A o1 B o2 REST is (A o1 B) o2 REST, REST parsed the same way: the pairs
// are collected in a loop and joined from the right.
Operand parse_range(const Scanner& s, std::size_t begin, std::size_t end) {
    if (begin >= end) throw ParseError("missing lt");
    std::vector<std::pair<std::shared_ptr<Node>, std::string>> pending;
    std::size_t cursor = begin;
    Operand result;
    for (;;) {
        Operand left = parse_operand(s, cursor, end);
        if (cursor >= end) {
            result = std::move(left);
            break;
        }
        auto n1 = std::make_shared<Node>();
        n1->op = parse_operator(s, cursor, end);
        if (cursor >= end) throw ParseError("missing rt");
        n1->left = std::move(left);
        n1->right = parse_operand(s, cursor, end);
        if (cursor >= end) {
            result = std::move(n1);
            break;
        }
        std::string op2 = parse_operator(s, cursor, end);
        if (cursor >= end) throw ParseError("missing rt");
        pending.emplace_back(std::move(n1), std::move(op2));
    }
    while (!pending.empty()) {
        auto n2 = std::make_shared<Node>();
        n2->left = std::move(pending.back().first);
        n2->op = std::move(pending.back().second);
        n2->right = std::move(result);
        result = std::move(n2);
        pending.pop_back();
    }
    return result;
}

// ---- writer ----

// A "~" node where a truth value is wanted (under "&&", "||", "!" or "~"):
// the complement is tested for non-zero, as the root rule writes it.
const char* const kComplementTruthOpen = "((~(";
const char* const kComplementTruthClose = ")!=0))";

// The pieces one tree element is written as: open, left, op, right, close.
struct Shape {
    const char* open;
    bool two_operands;
    const char* close;
};

Shape root_shape(const Node& n) {
    if (n.op == "!") return {"(", false, "==0)"};
    if (n.op == "~") return {"((~(", false, ")!=0))"};
    if (is_arithmetic(n.op)) return {"((", true, ")!=0)"};
    return {"(", true, ")"};
}

Shape operand_shape(const Node& n, const std::string& parent) {
    bool parent_arith_or_comparison = is_arithmetic(parent) || is_comparison(parent);
    if (n.op == "~")
        return parent_arith_or_comparison ? Shape{"(~", false, ")"}
                                          : Shape{kComplementTruthOpen, false, kComplementTruthClose};
    if (n.op == "!") {
        if (is_bitwise_and_or(parent)) return {"(~", false, ")"};
        if (parent_arith_or_comparison) return {"(!", false, ")"};
        return {"(", false, "==0)"};
    }
    if (is_arithmetic(n.op)) return is_logical(parent) ? Shape{"((", true, ")!=0)"} : Shape{"(", true, ")"};
    return is_logical(parent) ? Shape{"(", true, ")"} : Shape{"(Convert.BoolToInt(", true, "))"};
}

}  // namespace

const TokenRules kScannedTokens = {scanned_unary, scanned_operand, scanned_binary};

Operand parse_condition(const std::string& text, const TokenRules& rules) {
    Scanner s(text, rules);
    return parse_range(s, 0, text.size());
}

std::string convert_root(const Operand& root) {
    // Work items: a piece of text to append, or an operand to write under a
    // parent operator (null parent: the root).
    struct Item {
        const Operand* operand;
        const std::string* parent;
        const char* piece;
    };
    std::string out;
    std::vector<Item> work{{&root, nullptr, nullptr}};
    while (!work.empty()) {
        Item item = work.back();
        work.pop_back();
        if (!item.operand) {
            out += item.piece;
            continue;
        }
        if (const auto* leaf = std::get_if<std::string>(item.operand)) {
            // convert_operand on a string; the root writes its leaf as a truth value.
            if (!item.parent || is_logical(*item.parent))
                out.append("(").append(*leaf).append("!=0)");
            else
                out += *leaf;
            continue;
        }
        const Node& node = *std::get<std::shared_ptr<Node>>(*item.operand);
        Shape shape = item.parent ? operand_shape(node, *item.parent) : root_shape(node);
        out += shape.open;
        work.push_back({nullptr, nullptr, shape.close});
        work.push_back({&node.right, &node.op, nullptr});
        if (shape.two_operands) {
            work.push_back({nullptr, nullptr, node.op.c_str()});
            work.push_back({&node.left, &node.op, nullptr});
        }
    }
    return out;
}

namespace {

std::string replace_all(const std::string& t, const char* from, const char* to) {
    std::string out;
    std::size_t pos = 0, len = std::char_traits<char>::length(from);
    for (std::size_t hit; (hit = t.find(from, pos)) != std::string::npos; pos = hit + len)
        out.append(t, pos, hit - pos).append(to);
    return out.append(t, pos, std::string::npos);
}

// Inside the outer parenthesis pair when the text starts with one that closes.
std::string working_text(const std::string& condition) {
    if (condition.empty() || condition[0] != '(') return condition;
    long depth = 0;
    for (std::size_t i = 0; i < condition.size(); ++i) {
        if (condition[i] == '(') ++depth;
        if (condition[i] == ')' && --depth == 0) return condition.substr(1, i - 1);
    }
    return condition;
}

}  // namespace

std::string convert_condition_with(const std::string& condition, const TokenRules& rules) {
    std::string w = replace_all(working_text(condition), "&__", "@__");
    try {
        Operand tree = parse_condition(w, rules);
        return replace_all(convert_root(tree), "@__", "&__");
    } catch (const std::exception&) {
        return condition;
    }
}

}  // namespace CondExpression

std::string convert_condition(const std::string& condition) {
    return CondExpression::convert_condition_with(condition, CondExpression::kScannedTokens);
}

std::string wrap_hll_value(const std::string& text) {
    // ^\\[a-z_][a-z_0-9]*, caseless.
    bool hll = text.size() >= 2 && text[0] == '\\' && (ascii::is_letter(text[1]) || text[1] == '_');
    return hll ? "Var.VALUE(" + text + ")" : text;
}
