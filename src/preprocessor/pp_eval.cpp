// #if expressions: a lexer over the rest of the directive line (identifiers
// macro-expanded) and an operator-precedence evaluator with fixed stacks.
#include <cstring>

#include "preprocessor/pp_internal.h"

namespace {

enum Op {
    OP_ADD, OP_SUB, OP_MUL, OP_DIV, OP_MOD, OP_ASL, OP_ASR, OP_AND, OP_OR, OP_XOR,
    OP_EQ, OP_NE, OP_LT, OP_LE, OP_GE, OP_GT, OP_ANA, OP_ORO, OP_QUE, OP_COL,
    OP_PLU, OP_NEG, OP_COM, OP_NOT, OP_LPA, OP_RPA, OP_END,
    OP_VALUE,   // lexer result: a value
    OP_FAIL,    // lexer result: an error was reported
    OP_QUIET,   // lexer result: evaluation ends silently
};

const char* const op_names[] = {
    "+", "-", "*", "/", "%", "<<", ">>", "&", "|", "^",
    "==", "!=", "<", "<=", ">=", ">", "&&", "||", "?", ":",
    "unary +", "unary -", "~", "!", "(", ")", "end of expression",
};

// Binding strength of the binary operators.
int binary_precedence(int op) {
    switch (op) {
    case OP_MUL: case OP_DIV: case OP_MOD: return 13;
    case OP_ADD: case OP_SUB: return 12;
    case OP_ASL: case OP_ASR: return 11;
    case OP_LT: case OP_LE: case OP_GE: case OP_GT: return 10;
    case OP_EQ: case OP_NE: return 9;
    case OP_AND: return 8;
    case OP_XOR: return 7;
    case OP_OR: return 6;
    case OP_ANA: return 5;
    case OP_ORO: return 4;
    case OP_QUE: case OP_COL: return 3;
    default: return 0;
    }
}
constexpr int UNARY_PRECEDENCE = 14;

bool is_unary(int op) { return op == OP_PLU || op == OP_NEG || op == OP_COM || op == OP_NOT; }

int precedence(int op) {
    if (is_unary(op)) return UNARY_PRECEDENCE;
    if (op == OP_LPA || op == OP_END) return -1;  // barriers
    return binary_precedence(op);
}

constexpr int VALUE_STACK_SIZE = 127;
constexpr int OP_STACK_SIZE = 128;

struct OpEntry {
    int op;
    bool skip_operands;  // skipping mode of the operands of this operator
    bool skip_after;     // skipping mode of what follows it
};

struct Evaluator {
    int32_t values[VALUE_STACK_SIZE];
    int nvalues = 0;
    OpEntry ops[OP_STACK_SIZE];
    int nops = 0;
    int32_t token_value = 0;

    bool skipping() const { return ops[nops - 1].skip_after; }

    // --- lexer ---
    int lex_number(int c) {
        uint32_t value = 0;
        int base = 10;
        if (c == '0') {
            c = get_char();
            if (c == 'x' || c == 'X') {
                base = 16;
                c = get_char();
            } else {
                base = 8;
            }
        }
        for (;;) {
            int digit;
            if (c >= '0' && c <= '9') digit = c - '0';
            else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            else break;
            if (digit >= base) break;
            value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
            c = get_char();
        }
        if (c != 'u' && c != 'U') unget_char();
        token_value = static_cast<int32_t>(value);
        return OP_VALUE;
    }

    // One character of a character constant, escapes decoded; -1 at its end.
    int char_constant_char(int c) {
        if (c != '\\') return c;
        c = get_char();
        if (c == '\n' || c == END_OF_INPUT) {
            unget_char();
            return -1;
        }
        switch (c) {
        case 'a': return 7;
        case 'b': return 8;
        case 'f': return 12;
        case 'n': return 10;
        case 'r': return 13;
        case 't': return 9;
        case 'v': return 11;
        case 'x': {
            int value = 0;
            for (int i = 0; i < 3; ++i) {
                int d = get_char();
                int digit;
                if (d >= '0' && d <= '9') digit = d - '0';
                else if (d >= 'a' && d <= 'f') digit = d - 'a' + 10;
                else if (d >= 'A' && d <= 'F') digit = d - 'A' + 10;
                else {
                    unget_char();
                    break;
                }
                value = value * 16 + digit;
            }
            return value;
        }
        default:
            if (c >= '0' && c <= '7') {
                int value = c - '0';
                for (int i = 0; i < 2; ++i) {
                    int d = get_char();
                    if (d < '0' || d > '7') {
                        unget_char();
                        break;
                    }
                    value = value * 8 + (d - '0');
                }
                return value;
            }
            return c;
        }
    }

    int lex_char_constant() {
        pp.raw_mode = true;
        uint32_t value = 0;
        bool first = true;
        for (;;) {
            int c = get_char();
            if (c == '\'' ) break;
            if (c == '\n' || c == END_OF_INPUT) {
                unget_char();
                break;
            }
            int ch = char_constant_char(c);
            if (ch < 0) break;
            if (!first && !skipping()) {
                pp.raw_mode = false;
                pp_warning("multi-byte constant '%c' isn't portable", ch);
                pp.raw_mode = true;
            }
            value = first ? static_cast<uint32_t>(ch) : value * 256u + static_cast<uint32_t>(ch);
            first = false;
        }
        pp.raw_mode = false;
        token_value = static_cast<int32_t>(value);
        return OP_VALUE;
    }

    // defined NAME, defined(NAME)
    int lex_defined() {
        int c = skip_blanks();
        bool paren = false;
        if (c == '(') {
            paren = true;
            c = skip_blanks();
        }
        if (!is_identifier_start(c)) {
            unget_char();
            pp_error("Bad #if ... defined() syntax");
            return OP_FAIL;
        }
        std::string name = read_identifier(c);
        if (paren) {
            c = skip_blanks();
            if (c != ')') {
                unget_char();
                pp_error("Bad #if ... defined() syntax");
                return OP_FAIL;
            }
        }
        token_value = lookup_macro(name) ? 1 : 0;
        return OP_VALUE;
    }

    // Reads a macro-expanded word of a sizeof operand; "" for a punctuator.
    int next_sizeof_token(std::string* word) {
        for (;;) {
            int c = skip_blanks();
            if (!is_identifier_start(c)) return c;
            bool from_file = current_is_file();
            std::string name = read_identifier(c);
            MacroDefinition* m = lookup_macro(name);
            if (m && name[0] != NO_EXPAND_MARK) {
                Expansion e = expand_macro(m, from_file);
                if (e != Expansion::not_expanded) continue;
            }
            *word = name;
            return 'a';
        }
    }

    int lex_sizeof() {
        static const struct { const char* name; int bit; } type_words[] = {
            {"char", 0x01}, {"int", 0x02}, {"float", 0x04}, {"double", 0x08},
            {"short", 0x10}, {"long", 0x20}, {"signed", 0x40}, {"unsigned", 0x80},
        };
        auto syntax_error = [](int c) {
            if (c == '\n' || c == END_OF_INPUT) unget_char();
            pp_error("#if ... sizeof() syntax error");
            return OP_FAIL;
        };
        int c = skip_blanks();
        if (c != '(') return syntax_error(c);
        int bits = 0;
        std::string word;
        for (;;) {
            c = next_sizeof_token(&word);
            if (c == 'a') {
                int bit = 0;
                for (const auto& t : type_words)
                    if (word == t.name) bit = t.bit;
                if (!bit) {
                    pp_error("#if sizeof, unknown type \"%s\"", word.c_str());
                    return OP_FAIL;
                }
                bits |= bit;
                continue;
            }
            if (c == '*') {
                bits |= 0x100;
                continue;
            }
            if (c == '(') {
                if ((c = skip_blanks()) != '*') return syntax_error(c);
                if ((c = skip_blanks()) != ')') return syntax_error(c);
                c = skip_blanks();
                if (c == '(') {
                    if ((c = skip_blanks()) != ')') return syntax_error(c);
                } else {
                    unget_char();
                }
                bits |= 0x200;
                continue;
            }
            if (c == ')') break;
            return syntax_error(c);
        }
        for (int group : {0x3C, 0x0F, 0xCC, 0x31}) {
            if (__builtin_popcount(static_cast<unsigned>(bits & group)) > 1) {
                pp_error("#if ... sizeof: illegal type combination");
                return OP_FAIL;
            }
        }
        if (bits & (0x10 | 0x20)) bits &= ~0x02;
        bool pointer = (bits & 0x300) != 0;
        int type = bits & ~(0x40 | 0x80 | 0x100 | 0x200);
        if (type == 0) {
            pp_error("#if sizeof() error, no type specified");
            return OP_FAIL;
        }
        int size;
        switch (type) {
        case 0x01: size = 1; break;
        case 0x10: size = 2; break;
        case 0x02: size = 4; break;
        case 0x20: size = 4; break;
        case 0x04: size = 4; break;
        case 0x08: size = 8; break;
        default:
            pp_error("#if ... sizeof: bug, unknown type code 0x%x", bits);
            return OP_FAIL;
        }
        token_value = pointer ? 8 : size;
        return OP_VALUE;
    }

    int lex() {
        for (;;) {
            int c = skip_blanks();
            switch (c) {
            case '\n':
            case END_OF_INPUT:
                unget_char();
                return OP_END;
            case '+': return OP_ADD;
            case '-': return OP_SUB;
            case '*': return OP_MUL;
            case '/': return OP_DIV;
            case '%': return OP_MOD;
            case '^': return OP_XOR;
            case '~': return OP_COM;
            case '?': return OP_QUE;
            case ':': return OP_COL;
            case '(': return OP_LPA;
            case ')': return OP_RPA;
            case '<':
                c = get_char();
                if (c == '<') return OP_ASL;
                if (c == '=') return OP_LE;
                unget_char();
                return OP_LT;
            case '>':
                c = get_char();
                if (c == '>') return OP_ASR;
                if (c == '=') return OP_GE;
                unget_char();
                return OP_GT;
            case '=':
                c = get_char();
                if (c == '=') return OP_EQ;
                unget_char();
                pp_error("= not allowed in #if");
                return OP_FAIL;
            case '!':
                c = get_char();
                if (c == '=') return OP_NE;
                unget_char();
                return OP_NOT;
            case '&':
                c = get_char();
                if (c == '&') return OP_ANA;
                unget_char();
                return OP_AND;
            case '|':
                c = get_char();
                if (c == '|') return OP_ORO;
                unget_char();
                return OP_OR;
            case '\\':
                pp_error("Unexpected \\ in #if");
                return OP_FAIL;
            case '"':
                pp_error("Can't use a string in an #if");
                return OP_FAIL;
            case '\'':
                return lex_char_constant();
            default:
                break;
            }
            if (is_digit(c)) return lex_number(c);
            if (is_identifier_start(c)) {
                bool from_file = current_is_file();
                std::string name = read_identifier(c);
                if (name == "defined") return lex_defined();
                if (name == "sizeof") return lex_sizeof();
                if (name[0] != NO_EXPAND_MARK) {
                    if (MacroDefinition* m = lookup_macro(name)) {
                        if (expand_macro(m, from_file) != Expansion::not_expanded) continue;
                    }
                }
                token_value = 0;
                return OP_VALUE;
            }
            if (skipping()) return OP_QUIET;
            if (c >= 0x20 && c < 0x7F)
                pp_error("illegal character '%c' in #if", c);
            else
                pp_error("illegal character (%d decimal) in #if", c);
            return OP_FAIL;
        }
    }

    // --- evaluation ---
    bool push_value(int32_t v) {
        if (nvalues >= VALUE_STACK_SIZE) {
            pp_error("#if value stack overflow");
            return false;
        }
        values[nvalues++] = v;
        return true;
    }

    bool push_op(int op, bool skip_operands, bool skip_after) {
        if (nops >= OP_STACK_SIZE) {
            pp_error("expression stack overflow at op \"%s\"", op_names[op]);
            return false;
        }
        ops[nops++] = OpEntry{op, skip_operands, skip_after};
        return true;
    }

    // Applies the operator on top of the stack.
    bool reduce() {
        OpEntry e = ops[--nops];
        int op = e.op;
        if (op == OP_QUE) {
            pp_error("Misplaced '?' or ':', previous operator is %s", op_names[op]);
            return false;
        }
        int need = is_unary(op) ? 1 : (op == OP_COL ? 3 : 2);
        if (nvalues < need) {
            pp_error("Illegal #if line");
            return false;
        }
        if (is_unary(op)) {
            uint32_t a = static_cast<uint32_t>(values[nvalues - 1]);
            uint32_t r;
            switch (op) {
            case OP_PLU: r = a; break;
            case OP_NEG: r = 0u - a; break;
            case OP_COM: r = ~a; break;
            default: r = a == 0 ? 1 : 0; break;
            }
            values[nvalues - 1] = static_cast<int32_t>(r);
            return true;
        }
        if (op == OP_COL) {
            int32_t c = values[nvalues - 3], a = values[nvalues - 2], b = values[nvalues - 1];
            nvalues -= 2;
            values[nvalues - 1] = c ? a : b;
            return true;
        }
        int32_t a = values[nvalues - 2], b = values[nvalues - 1];
        uint32_t ua = static_cast<uint32_t>(a), ub = static_cast<uint32_t>(b);
        int32_t r;
        switch (op) {
        case OP_ADD: r = static_cast<int32_t>(ua + ub); break;
        case OP_SUB: r = static_cast<int32_t>(ua - ub); break;
        case OP_MUL: r = static_cast<int32_t>(ua * ub); break;
        case OP_DIV:
        case OP_MOD:
            if (b == 0) {
                if (!e.skip_operands) pp_warning("%s by zero in #if, zero result assumed", op == OP_DIV ? "divide" : "mod");
                r = 0;
            } else if (a == INT32_MIN && b == -1) {
                r = op == OP_DIV ? INT32_MIN : 0;
            } else {
                r = op == OP_DIV ? a / b : a % b;
            }
            break;
        case OP_ASL: r = static_cast<int32_t>(ua << (ub & 31)); break;
        case OP_ASR: r = a >> (ub & 31); break;
        case OP_AND: r = static_cast<int32_t>(ua & ub); break;
        case OP_OR: r = static_cast<int32_t>(ua | ub); break;
        case OP_XOR: r = static_cast<int32_t>(ua ^ ub); break;
        case OP_EQ: r = a == b; break;
        case OP_NE: r = a != b; break;
        case OP_LT: r = a < b; break;
        case OP_LE: r = a <= b; break;
        case OP_GE: r = a >= b; break;
        case OP_GT: r = a > b; break;
        case OP_ANA: r = (a != 0 && b != 0); break;
        case OP_ORO: r = (a != 0 || b != 0); break;
        default:
            pp_error("#if bug, operand = %d.", op);
            return false;
        }
        --nvalues;
        values[nvalues - 1] = r;
        return true;
    }

    // Returns false after an error (reported, or a silent end).
    bool run(int32_t* result) {
        ops[0] = OpEntry{OP_END, false, false};
        nops = 1;
        bool expect_operand = true;
        for (;;) {
            int op = lex();
            if (op == OP_FAIL || op == OP_QUIET) return false;
            if (op == OP_VALUE) {
                if (!expect_operand) {
                    pp_error("misplaced constant in #if");
                    return false;
                }
                if (!push_value(token_value)) return false;
                expect_operand = false;
                continue;
            }
            if (expect_operand) {
                if (op == OP_ADD) op = OP_PLU;
                else if (op == OP_SUB) op = OP_NEG;
            }
            bool skip = skipping();
            if (op == OP_LPA || is_unary(op)) {
                if (!expect_operand) {
                    pp_error("Operator %s in incorrect context", op_names[op]);
                    return false;
                }
                if (!push_op(op, skip, skip)) return false;
                continue;
            }
            if (expect_operand) {
                pp_error("Operator %s in incorrect context", op_names[op]);
                return false;
            }
            if (op == OP_RPA || op == OP_END) {
                while (ops[nops - 1].op != OP_LPA && ops[nops - 1].op != OP_END)
                    if (!reduce()) return false;
                int top = ops[nops - 1].op;
                if (op == OP_RPA) {
                    if (top != OP_LPA) {
                        pp_error("unbalanced paren's, op is \"%s\"", op_names[op]);
                        return false;
                    }
                    --nops;
                    continue;
                }
                if (top != OP_END) {
                    pp_error("unbalanced paren's, op is \"%s\"", op_names[op]);
                    return false;
                }
                if (nvalues != 1) {
                    pp_error("Illegal #if line");
                    return false;
                }
                *result = values[0];
                return true;
            }
            int prec = binary_precedence(op);
            if (op == OP_COL) {
                while (precedence(ops[nops - 1].op) > prec || ops[nops - 1].op == OP_COL)
                    if (!reduce()) return false;
                OpEntry& top = ops[nops - 1];
                if (top.op != OP_QUE) {
                    pp_error("Misplaced '?' or ':', previous operator is %s", op_names[top.op]);
                    return false;
                }
                int32_t cond = values[nvalues - 2];
                top.op = OP_COL;
                top.skip_after = top.skip_operands || cond != 0;
                expect_operand = true;
                continue;
            }
            if (op == OP_QUE) {
                while (precedence(ops[nops - 1].op) > prec)
                    if (!reduce()) return false;
            } else {
                while (precedence(ops[nops - 1].op) >= prec)
                    if (!reduce()) return false;
            }
            skip = skipping();
            int32_t left = values[nvalues - 1];
            bool after = skip;
            if (op == OP_ANA && left == 0) after = true;
            if (op == OP_ORO && left != 0) after = true;
            if (op == OP_QUE && left == 0) after = true;
            if (!push_op(op, skip, after)) return false;
            expect_operand = true;
        }
    }
};

}  // namespace

int32_t evaluate_expression() {
    Evaluator ev;
    int32_t result = 0;
    if (!ev.run(&result)) {
        skip_to_newline();
        return 1;
    }
    return result;
}
