// The while, do and for loops, the loop label stacks and the end-label step.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "compiler/codegen.h"
#include "compiler/statements_internal.h"
#include "driver/diagnostics.h"
#include "rewrite/condition.h"
#include "rewrite/patterns.h"

LoopState loop_state;

void label_push(List** stack, int32_t label) {
    if (*stack == nullptr) *stack = list_create();
    names_append(*stack, std::to_string(label).c_str());
}

bool label_empty(const List* stack) { return stack == nullptr || stack->count == 0; }

int32_t label_top(const List* stack) {
    const char* text = names_last(stack);
    return text != nullptr ? static_cast<int32_t>(std::strtol(text, nullptr, 10)) : 0;
}

void label_pop(List* stack) {
    if (stack != nullptr) names_remove_last(stack);
}

uint32_t label_count(const List* stack) { return stack != nullptr ? stack->count : 0; }

void label_truncate(List* stack, uint32_t size) {
    while (label_count(stack) > size) label_pop(stack);
}

namespace {

// Label number of the "continue" target of each loop being converted,
// innermost last; -1 until a "continue" of the loop asks for one.
std::vector<int32_t> continue_labels;

// Leaves the label stacks and the loop flags as they were when a loop started
// when its conversion is cut short (an Error, or a fatal error that a test
// harness turns into an exception), so that a later conversion in the same
// process starts clean. A loop that ends normally has already restored them
// through the end-label step.
struct LoopScope {
    uint32_t labels_size = label_count(loop_state.loop_labels);
    uint32_t breaks_size = label_count(loop_state.break_targets);
    size_t continues_size = continue_labels.size();
    bool finished = false;
    ~LoopScope() {
        if (finished) return;
        label_truncate(loop_state.loop_labels, labels_size);
        label_truncate(loop_state.break_targets, breaks_size);
        continue_labels.resize(continues_size);
        expression_state.deref_mode = DEREF_NONE;
        expression_state.postfix_value_unused = false;
        expression_state.pending_pointer_steps.clear();
    }
};

int32_t start_loop() {
    ++numbering.label_counter;
    label_push(&loop_state.loop_labels, numbering.label_counter);
    continue_labels.push_back(-1);
    return numbering.label_counter;
}

// The target of the loop's "continue" statements, if it has any: it stands
// right before the commands of the loop's next test.
void write_continue_label() {
    if (!continue_labels.empty() && continue_labels.back() >= 0) std::printf("__L%i:\n", continue_labels.back());
}

void end_label_step(int32_t label) {
    List* breaks = loop_state.break_targets;
    if (!label_empty(breaks) && label_top(breaks) == label) {
        std::printf("__L%i:\n", label);
        while (!label_empty(breaks) && label_top(breaks) == label) label_pop(breaks);
    }
    label_pop(loop_state.loop_labels);
    if (!continue_labels.empty()) continue_labels.pop_back();
}

// "(&" or "(", any one character and "&".
bool opens_with_macro(const char* text) {
    return text != nullptr && text[0] == '(' &&
           (text[1] == '&' || (text[1] != '\0' && text[2] == '&'));
}

// Converts a loop condition, with the dereferences of a condition. The first
// temporary number it may take is `first_temp`, so that converting it again
// at the end of the body fills the very temporaries that the test reads.
int convert_loop_condition(tree_element* condition, int32_t first_temp, bool statement, ResultDescriptor* rd) {
    numbering.temp_counter = first_temp;
    expression_state.deref_mode = DEREF_FUNCTION_FORM;
    int kind = statement ? C_expression_statement(condition->child, rd) : C_expression(condition->child, rd);
    expression_state.deref_mode = DEREF_NONE;
    return kind;
}

// The condition's commands again, at the end of the body, so that the next
// test sees fresh values. Its pointer steps belong to that next test, which
// writes them already; the counter ends past every number the body and the
// condition took.
void reevaluate_loop_condition(tree_element* condition, int32_t first_temp, bool statement) {
    const int32_t body_end = numbering.temp_counter;
    ResultDescriptor again;
    convert_loop_condition(condition, first_temp, statement, &again);
    if (error_flag) return;
    take_pointer_steps();
    numbering.temp_counter = std::max(body_end, numbering.temp_counter);
}

// The WHILE line of a composite condition text, for a while or a for loop
// (`column`). HLL names stay HLL names read through Var.VALUE, temporaries are
// read as they are, and the condition conversion makes the truth values
// explicit (a negation becomes "==0"). The line is the HLL evaluator's
// (V.WHILE) only in a while loop whose text opens with a script macro and
// holds no HLL name.
void write_expression_while(ResultDescriptor* rd, ConditionColumn column, int32_t first_temp) {
    const bool hll_prefix_allowed = column == CL_WHILE;
    if (rd->text == nullptr) rd->text = pool_string("");
    char* text = negation_pass(rd);
    if (text == nullptr) text = rd->text;
    rd->text = pool_string(wrap_bare_hll_names(hoist_value_negations(text)).c_str());
    const bool hll_prefix = hll_prefix_allowed && !masked_macro_test(rd) && opens_with_macro(rd->text) &&
                            !contains(rd->text, "\\");
    std::string converted = convert_condition(rd->text);
    ResultDescriptor line;
    line.text = converted.data();
    write_condition_line(column, RK_EXPRESSION, line, hll_prefix);
    // A macro that opens the condition is read by the test only: the body may
    // use its number, as the condition is converted again before the next test.
    int32_t& temp = numbering.temp_counter;
    if (hll_prefix_allowed && opens_with_macro(rd->text) && temp > first_temp) --temp;
}

// The test, the body and the end of a while or a for loop (`column`), from
// the conversion of the condition on; `step` is the for loop's step
// expression, if any. The condition of a for loop is an expression statement.
void write_tested_loop(tree_element* condition, tree_element* body, tree_element* step, ConditionColumn column,
                       const char* macrofilename, int32_t label, LoopScope& scope) {
    const bool statement = column == CL_FOR;
    const int32_t first_temp = numbering.temp_counter;
    ResultDescriptor rd;
    int kind = convert_loop_condition(condition, first_temp, statement, &rd);
    if (error_flag) return;
    const std::vector<PointerStep> steps = take_pointer_steps();

    if (kind == RK_EXPRESSION)
        write_expression_while(&rd, column, first_temp);
    else
        write_condition_line(column, kind, rd);

    // The pointer steps of the condition follow each test that reads the old
    // values: at the head of the body and after the loop.
    std::printf("(\n");
    write_pointer_steps(steps);
    C_statement(body->child, macrofilename);
    if (error_flag) return;
    write_continue_label();
    if (step != nullptr) {
        ResultDescriptor step_rd;
        expression_state.postfix_value_unused = true;
        C_expression(step->child, &step_rd);
        expression_state.postfix_value_unused = false;
        if (error_flag) return;
        complete_pointer_steps();
    }
    reevaluate_loop_condition(condition, first_temp, statement);
    if (error_flag) return;
    std::printf(")\n");
    write_pointer_steps(steps);
    end_label_step(label);
    scope.finished = true;
}

int while_loop(List* list, const char* macrofilename) {
    tree_element* condition = first_of_kind(list, ID_expression);
    tree_element* body = first_of_kind(list, ID_statement);
    if (condition == nullptr || body == nullptr) return 0;
    LoopScope scope;
    int32_t label = start_loop();
    write_tested_loop(condition, body, nullptr, CL_WHILE, macrofilename, label, scope);
    return 0;
}

int do_loop(List* list, const char* macrofilename) {
    tree_element* body = first_of_kind(list, ID_statement);
    tree_element* condition = first_of_kind(list, ID_expression);
    if (body == nullptr || condition == nullptr) return 0;
    LoopScope scope;
    int32_t label = start_loop();
    int32_t n = numbering.temp_counter++;
    std::printf("&__V%i=1\n", n);
    std::printf("WHILE (&__V%i)!=0\n", n);
    std::printf("(\n");
    C_statement(body->child, macrofilename);
    if (error_flag) return 0;
    write_continue_label();

    ResultDescriptor rd;
    int kind = C_expression(condition->child, &rd);
    if (error_flag) return 0;
    const std::vector<PointerStep> steps = take_pointer_steps();
    // A text or expression the script cannot compare is tested by the HLL
    // evaluator; one it can, by the script, its unsigned int dereferences
    // read with data.long.
    bool evaluator = false;
    if (kind == RK_TEXT || kind == RK_EXPRESSION) {
        if (rd.text == nullptr) rd.text = pool_string("");
        evaluator = !value_comparison_test(&rd);
        if (!evaluator) {
            char* text = memory_cast_pass(&rd);
            if (text != nullptr) rd.text = text;
        }
    }
    write_condition_line(CL_DO_EXIT, kind, rd, evaluator, n);
    write_pointer_steps(steps);
    std::printf(")\n");
    end_label_step(label);
    scope.finished = true;
    return 0;
}

int for_loop(List* list, const char* macrofilename) {
    tree_element* init = first_of_kind(list, ID_expression_statement);
    tree_element* condition = next_of_kind(init, ID_expression_statement);
    tree_element* step = first_of_kind(list, ID_expression);  // null without a step expression
    tree_element* body = first_of_kind(list, ID_statement);
    if (condition == nullptr || body == nullptr) return 0;
    LoopScope scope;
    int32_t label = start_loop();
    ++numbering.temp_counter;

    ResultDescriptor init_rd;
    expression_state.postfix_value_unused = true;
    C_expression_statement(init->child, &init_rd);
    expression_state.postfix_value_unused = false;
    if (error_flag) return 0;
    complete_pointer_steps();
    write_tested_loop(condition, body, step, CL_FOR, macrofilename, label, scope);
    return 0;
}

}  // namespace

// iteration_statement = WHILE '(' expression ')' body_statement
//                     | DO body_statement WHILE '(' expression ')' ';'
//                     | FOR '(' expression_statement expression_statement expression? ')' body_statement
int C_iteration_statement(List* list, const char* macrofilename) {
    debug_trace_line("In C_iteration_statement()");
    if (list == nullptr || list->first == nullptr) return 0;
    switch (list->first->id) {
    case ID_WHILE:
        return while_loop(list, macrofilename);
    case ID_DO:
        return do_loop(list, macrofilename);
    case ID_FOR:
        return for_loop(list, macrofilename);
    default:
        return 0;
    }
}

bool continue_innermost_loop() {
    if (continue_labels.empty()) return false;
    if (continue_labels.back() < 0) continue_labels.back() = ++numbering.label_counter;
    std::printf("GOTO __L%i\n", continue_labels.back());
    return true;
}
