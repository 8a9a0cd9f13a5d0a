// goto, break and the forms of return.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "compiler/codegen.h"
#include "compiler/statements_internal.h"
#include "driver/diagnostics.h"
#include "rewrite/patterns.h"

int return_dereference(ResultDescriptor* rd) {
    if (rd == nullptr || !match_return_dereference(rd->text)) return 0;
    char* stripped = pool_string(rd->text);
    strip_value_wrappers(stripped);
    rd->text = pool_string(("Var.VALUE" + std::string(stripped)).c_str());
    return 1;
}

namespace {

// Index behind the literal that starts at `at` (a quote), or the text's end.
size_t literal_end(const std::string& t, size_t at) {
    for (size_t i = at + 1; i < t.size(); ++i) {
        if (t[i] == '\\')
            ++i;
        else if (t[i] == t[at])
            return i + 1;
    }
    return t.size();
}

// Index of the ")" that closes the "(" at `open`, literals skipped; npos when
// it is not closed.
size_t closing_parenthesis(const std::string& t, size_t open) {
    long depth = 0;
    for (size_t i = open; i < t.size(); ++i) {
        if (t[i] == '"' || t[i] == '\'') {
            i = literal_end(t, i) - 1;
        } else if (t[i] == '(') {
            ++depth;
        } else if (t[i] == ')' && --depth == 0) {
            return i;
        }
    }
    return std::string::npos;
}

// "((c)?(a):(b))" as a whole, each part between balanced parentheses.
bool split_whole_conditional(const std::string& t, std::string* c, std::string* a, std::string* b) {
    if (t.size() < 11 || t[0] != '(' || t[1] != '(' || closing_parenthesis(t, 0) != t.size() - 1) return false;
    size_t c_end = closing_parenthesis(t, 1);
    if (c_end == std::string::npos || t.compare(c_end + 1, 2, "?(") != 0) return false;
    size_t a_end = closing_parenthesis(t, c_end + 2);
    if (a_end == std::string::npos || t.compare(a_end + 1, 2, ":(") != 0) return false;
    size_t b_end = closing_parenthesis(t, a_end + 2);
    if (b_end != t.size() - 2) return false;
    *c = t.substr(2, c_end - 2);
    *a = t.substr(c_end + 3, a_end - (c_end + 3));
    *b = t.substr(a_end + 3, b_end - (a_end + 3));
    return true;
}

// An HLL name (a backslash and a letter or "_") outside Var.VALUE(...) and
// literals, or a conditional operator: text the script cannot evaluate.
bool needs_hll_evaluation(const std::string& t) {
    for (size_t i = 0; i < t.size(); ++i) {
        char c = t[i];
        if (c == '"' || c == '\'') {
            i = literal_end(t, i) - 1;
        } else if (c == '?') {
            return true;
        } else if ((c == 'V' || c == 'v') && contains_nocase(t.substr(i, 10).c_str(), "var.value(")) {
            size_t close = closing_parenthesis(t, i + 9);
            if (close == std::string::npos) return false;
            i = close;
        } else if (c == '\\' && i + 1 < t.size() && (std::isalpha(static_cast<unsigned char>(t[i + 1])) || t[i + 1] == '_')) {
            return true;
        }
    }
    return false;
}

// A returned value as the script macro &__FUNCTION_RETURN_VALUE can take it:
// HLL names and C operators go to the HLL evaluator, unless the text also
// reads the target with the script's memory or register functions, which
// stay in the script and get each HLL name wrapped instead.
std::string script_value(const std::string& text) {
    if (!needs_hll_evaluation(text)) return text;
    ResultDescriptor rd;
    rd.text = pool_string(text.c_str());
    if (contains_nocase(rd.text, "data.") || contains_nocase(rd.text, "register(")) {
        value_call_pass(&rd, 0);
        return rd.text;
    }
    strip_value_wrappers(rd.text);
    return "Var.VALUE(" + std::string(rd.text) + ")";
}

// The condition of a returned conditional, as the value an if tests.
int condition_value(const std::string& c, ResultDescriptor* rd) {
    *rd = ResultDescriptor{};
    // All characters from `from` on are digits (digits_only) or word characters.
    auto all_of = [&](size_t from, bool digits_only) {
        if (from >= c.size()) return false;
        for (size_t i = from; i < c.size(); ++i) {
            unsigned char u = static_cast<unsigned char>(c[i]);
            if (digits_only ? !std::isdigit(u) : !(std::isalnum(u) || u == '_')) return false;
        }
        return true;
    };
    if (c.compare(0, 4, "&__V") == 0 && all_of(4, true)) {
        rd->number = std::atoi(c.c_str() + 4);
        rd->text = pool_string(c.c_str());
        return RK_MACRO_TEMP;
    }
    if (c.size() > 1 && c[0] == '\\' && all_of(1, false)) {
        rd->text = pool_string(c.c_str() + 1);
        return RK_HLL_VARIABLE;
    }
    rd->text = pool_string(c.c_str());
    if (c[0] == '"' || c[0] == '&' || is_numeric_constant(rd->text, false)) return RK_TEXT;
    return RK_EXPRESSION;
}

}  // namespace

void return_conditional(ResultDescriptor* rd) {
    if (rd == nullptr || rd->text == nullptr) return;
    std::string c, a, b;
    if (!split_whole_conditional(rd->text, &c, &a, &b)) return;
    std::printf("&__FUNCTION_RETURN_VALUE=%s\n", script_value(b).c_str());
    ResultDescriptor condition;
    int kind = condition_value(c, &condition);
    generate_if(kind, &condition);
    std::printf("(\n&__FUNCTION_RETURN_VALUE=%s\n)\n", script_value(a).c_str());
    rd->text = nullptr;
}

namespace {

void return_value(List* expression) {
    ResultDescriptor rd;
    // Reads of target memory become the script's memory functions.
    expression_state.deref_mode = DEREF_FUNCTION_FORM;
    int kind = C_expression(expression, &rd);
    expression_state.deref_mode = DEREF_NONE;
    expression_state.drop_next_cast = false;
    if (error_flag) return;
    // Pointer steps of the value follow its computation, before the RETURN.
    const std::vector<PointerStep> steps = take_pointer_steps();
    if (rd.text == nullptr) {
        write_pointer_steps(steps);
        return;
    }
    if (!return_dereference(&rd)) {
        cast_removal_pass(&rd.text);
        if (rd.text == nullptr) return;
    }
    switch (kind) {
    case RK_EXPRESSION:
        if (contains_temporary_reference(rd.text)) temporary_wrap_pass(&rd);
        return_conditional(&rd);
        if (rd.text != nullptr)
            std::printf("&__FUNCTION_RETURN_VALUE=%s\n", script_value(rd.text).c_str());
        else
            std::printf("\n");  // after the block of a split conditional
        write_pointer_steps(steps);
        std::printf("RETURN &__FUNCTION_RETURN_VALUE\n");
        return;
    case RK_MEMORY_TEMP:
    case RK_CORE_REGISTER_TEMP:
    case RK_PERIPHERAL_REGISTER_TEMP:
        std::printf("&__FUNCTION_RETURN_VALUE=Var.VALUE(\\__V%i)\n", rd.number);
        write_pointer_steps(steps);
        std::printf("RETURN &__FUNCTION_RETURN_VALUE\n");
        return;
    case RK_MACRO_TEMP:
        write_pointer_steps(steps);
        std::printf("RETURN &__V%i\n", rd.number);
        return;
    case RK_HLL_VARIABLE:
        std::printf("&__FUNCTION_RETURN_VALUE=Var.VALUE(\\%s)\n", rd.text);
        write_pointer_steps(steps);
        std::printf("RETURN &__FUNCTION_RETURN_VALUE\n");
        return;
    case RK_TEXT:
        if (contains(rd.text, "\""))
            std::printf("&__FUNCTION_RETURN_VALUE=%s\n", rd.text);
        else
            std::printf("&__FUNCTION_RETURN_VALUE=Var.VALUE(%s)\n", rd.text);
        write_pointer_steps(steps);
        std::printf("RETURN &__FUNCTION_RETURN_VALUE\n");
        return;
    default:
        FATAL_INTERNAL_ERROR("C_jump_statement");
    }
}

}  // namespace

int C_jump_statement(List* list) {
    debug_trace_line("In C_jump_statement()");
    if (list == nullptr || list->first == nullptr) return 0;
    tree_element* keyword = list->first;
    switch (keyword->id) {
    case ID_GOTO:
        std::printf("GOTO %s\n", keyword->next && keyword->next->txt ? keyword->next->txt : "");
        return 0;
    case ID_BREAK:
        if (!label_empty(loop_state.loop_labels)) {
            int32_t label = label_top(loop_state.loop_labels);
            label_push(&loop_state.break_targets, label);
            std::printf("GOTO __L%i\n", label);
        }
        return 0;
    case ID_RETURN:
        if (keyword->next == nullptr)
            std::printf("RETURN\n");
        else
            return_value(keyword->next->child);
        return 0;
    default:
        return 0;
    }
}
