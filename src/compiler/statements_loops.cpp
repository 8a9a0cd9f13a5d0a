// The while, do and for loops, the loop label stacks and the end-label step.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "compiler/codegen.h"
#include "compiler/statements_internal.h"
#include "driver/diagnostics.h"
#include "rewrite/condition.h"
#include "rewrite/patterns.h"

List* loop_labels = nullptr;
List* break_targets = nullptr;
const char* loop_condition_text = nullptr;

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

// Leaves the label stacks and the loop-condition flags as they were when a loop
// started when its conversion is cut short (an Error, or a fatal error that a
// test harness turns into an exception), so that a later conversion in the
// same process starts clean. A loop that ends normally has already restored
// them through the end-label step.
struct LoopScope {
    uint32_t labels_size = label_count(loop_labels);
    uint32_t breaks_size = label_count(break_targets);
    bool finished = false;
    ~LoopScope() {
        if (finished) return;
        label_truncate(loop_labels, labels_size);
        label_truncate(break_targets, breaks_size);
        deref_mode = 0;
        in_loop_condition = false;
        call_in_condition = 0;
        renumber_entry = false;
    }
};

int32_t start_loop() {
    ++label_counter;
    label_push(&loop_labels, label_counter);
    return label_counter;
}

void end_label_step(int32_t label) {
    if (!label_empty(break_targets) && label_top(break_targets) == label) {
        std::printf("__L%i:\n", label);
        while (!label_empty(break_targets) && label_top(break_targets) == label) label_pop(break_targets);
    }
    label_pop(loop_labels);
}

bool is_temporary_kind(int kind) {
    return kind == RK_MEMORY_TEMP || kind == RK_CORE_REGISTER_TEMP || kind == RK_PERIPHERAL_REGISTER_TEMP;
}

const char* text_of(const ResultDescriptor& rd) { return rd.text != nullptr ? rd.text : ""; }

// "(&" or "(", any one character and "&".
bool opens_with_macro(const char* text) {
    return text != nullptr && text[0] == '(' &&
           (text[1] == '&' || (text[1] != '\0' && text[2] == '&'));
}

int while_loop(List* list, const char* macrofilename) {
    tree_element* condition = list->first->next;
    tree_element* body = condition != nullptr ? condition->next : nullptr;
    if (body == nullptr) return 0;
    LoopScope scope;
    int32_t label = start_loop();

    ResultDescriptor rd;
    in_loop_condition = true;
    deref_mode = 1;
    int kind = C_expression(condition->child, &rd);
    loop_condition_text = rd.text;
    deref_mode = 0;
    if (error_flag) return 0;
    in_loop_condition = false;
    call_in_condition = 0;
    complete_pointer_step(kind, &rd);

    if (is_temporary_kind(kind)) {
        std::printf("WHILE V.VALUE(\\__V%i)\n", rd.number);
    } else if (kind == RK_MACRO_TEMP || kind == RK_TEXT) {
        std::printf("WHILE V.VALUE(%s)!=0\n", text_of(rd));
    } else if (kind == RK_HLL_VARIABLE) {
        std::printf("WHILE V.VALUE(\\%s)\n", text_of(rd));
    } else if (kind == RK_EXPRESSION) {
        if (rd.text == nullptr) rd.text = pool_string("");
        value_call_pass(&rd, 0);
        if (rd.text == nullptr) rd.text = pool_string("");
        renumber_entry = true;
        if (!masked_macro_test(&rd) && opens_with_macro(rd.text)) {
            std::fputs("V.", stdout);
            renumber_entry = false;
        }
        char* text = temporary_value_pass(&rd);
        if (text == nullptr) text = rd.text;
        rd.text = text;
        std::printf("WHILE %s\n", convert_condition(text).c_str());
        if (opens_with_macro(text) && temp_counter > 0) --temp_counter;
    } else {
        FATAL_INTERNAL_ERROR("C_iteration_statement");
    }

    std::printf("(\n");
    C_statement(body->child, macrofilename);
    if (error_flag) return 0;
    // The condition's commands again, so that the next test sees fresh values.
    ResultDescriptor again;
    int again_kind = C_expression(condition->child, &again);
    if (error_flag) return 0;
    complete_pointer_step(again_kind, &again);
    renumber_entry = false;
    std::printf(")\n");
    end_label_step(label);
    scope.finished = true;
    return 0;
}

int do_loop(List* list, const char* macrofilename) {
    tree_element* body = list->first->next;
    tree_element* condition = body != nullptr ? body->next : nullptr;
    if (condition == nullptr) return 0;
    LoopScope scope;
    int32_t label = start_loop();
    int32_t n = temp_counter++;
    std::printf("&__V%i=1\n", n);
    std::printf("WHILE (&__V%i)!=0\n", n);
    std::printf("(\n");
    C_statement(body->child, macrofilename);
    if (error_flag) return 0;

    ResultDescriptor rd;
    int kind = C_expression(condition->child, &rd);
    if (error_flag) return 0;
    complete_pointer_step(kind, &rd);
    if (is_temporary_kind(kind)) {
        std::printf("Var.IF !(\\__V%i)\n&__V%i=0\n", rd.number, n);
    } else if (kind == RK_MACRO_TEMP) {
        std::printf("IF (&__V%i)==0\n&__V%i=0\n", rd.number, n);
    } else if (kind == RK_HLL_VARIABLE) {
        std::printf("Var.IF !(\\%s)\n&__V%i=0\n", text_of(rd), n);
    } else if (kind == RK_TEXT || kind == RK_EXPRESSION) {
        if (rd.text == nullptr) rd.text = pool_string("");
        if (!value_comparison_test(&rd)) {
            std::printf("Var.IF !(%s)\n&__V%i=0\n", text_of(rd), n);
        } else {
            char* text = memory_cast_pass(&rd);
            if (text == nullptr) text = rd.text;
            std::printf("IF !(%s)\n&__V%i=0\n", text, n);
        }
    } else {
        FATAL_INTERNAL_ERROR("C_iteration_statement");
    }
    std::printf(")\n");
    end_label_step(label);
    scope.finished = true;
    return 0;
}

int for_loop(List* list, const char* macrofilename) {
    tree_element* init = list->first->next;
    tree_element* condition = init != nullptr ? init->next : nullptr;
    tree_element* step = condition != nullptr ? condition->next : nullptr;
    tree_element* body = step != nullptr ? step->next : nullptr;
    if (step == nullptr) return 0;
    if (body == nullptr) {  // no step expression: the third element is the body
        body = step;
        step = nullptr;
    }
    LoopScope scope;
    int32_t label = start_loop();
    ++temp_counter;

    ResultDescriptor init_rd;
    int init_kind = C_expression_statement(init->child, &init_rd);
    if (error_flag) return 0;
    complete_pointer_step(init_kind, &init_rd);

    ResultDescriptor rd;
    int kind = C_expression_statement(condition->child, &rd);
    if (error_flag) return 0;
    complete_pointer_step(kind, &rd);
    std::printf("WHILE ");
    if (kind == RK_EXPRESSION) {
        std::printf("%s", text_of(rd));
    } else if (kind == RK_TEXT) {
        std::printf("Var.VALUE(%s)", text_of(rd));
    } else if (is_temporary_kind(kind)) {
        std::printf("Var.VALUE(\\__V%i)", rd.number);
    } else if (kind == RK_HLL_VARIABLE) {
        std::printf("Var.VALUE(\\%s)", text_of(rd));
    } else if (kind == RK_MACRO_TEMP) {
        std::printf("&__V%i", rd.number);
    } else if (kind != RK_NONE) {
        FATAL_INTERNAL_ERROR("C_iteration_statement");
    }
    std::printf("\n");
    std::printf("(\n");

    C_statement(body->child, macrofilename);
    if (error_flag) return 0;
    if (step != nullptr) {
        ResultDescriptor step_rd;
        int step_kind = C_expression(step->child, &step_rd);
        if (error_flag) return 0;
        complete_pointer_step(step_kind, &step_rd);
    }
    std::printf(")\n");
    end_label_step(label);
    scope.finished = true;
    return 0;
}

}  // namespace

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
