// Calls: built-ins through their table, script functions through GOSUB and
// an ENTRY macro that receives the result.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "builtins/builtins.h"
#include "compiler/codegen.h"
#include "compiler/expression_support.h"
#include "compiler/expressions_calls.h"
#include "driver/characters.h"
#include "driver/diagnostics.h"
#include "rewrite/patterns.h"

bool is_whole_string_literal(const char* text) {
    if (!text) return false;
    size_t length = std::strlen(text);
    if (length < 2 || text[0] != '"' || text[length - 1] != '"') return false;
    for (size_t i = 1; i + 1 < length; ++i) {
        if (text[i] == '\n' || text[i] == '\r') return false;
    }
    return true;
}

namespace {

// "ENTRY &__V%i\n", or with the magnitude after "&__V_" for a negative number.
std::string entry_line(const char* prefix, int32_t n) {
    if (n < 0) return fill("%sENTRY &__V_%i\n", {prefix, number_text(-static_cast<long>(n))});
    return fill("%sENTRY &__V%i\n", {prefix, number_text(n)});
}

void set_macro_result(ResultDescriptor* rd, int32_t n) {
    *rd = ResultDescriptor{};
    rd->number = n;
    rd->text = pool_string(fill("%s%d", {"&__V", number_text(n)}).c_str());
}

// Converts every argument in source order. False when the error flag was set.
bool convert_arguments(List* arguments, std::vector<GelParameter>& parameters) {
    parameters.assign(arguments->count, GelParameter{});
    size_t i = 0;
    for (tree_element* e = arguments->first; e; e = e->next, ++i) {
        GelParameter& p = parameters[i];
        if (!e->child) {  // an empty argument position
            p.kind = RK_TEXT;
            p.rd.number = ID_STRING;
            p.rd.text = nullptr;
            continue;
        }
        p.kind = C_assignment_expression(e->child, &p.rd);
        if (error_flag) return false;
    }
    return true;
}

int builtin_call(int entry, const tree_element* name, List* arguments, ResultDescriptor* rd) {
    const int line = static_cast<int>(name->line);
    std::vector<GelParameter> parameters;
    if (arguments && !convert_arguments(arguments, parameters)) return 0;

    // The value is the temporary the handler writes: &__V<n> with the counter
    // as it stands at the dispatch; afterwards the counter is one beyond it.
    const int32_t n = numbering.temp_counter;
    expression_state.builtin_selection_mask = 1;
    call_gel_function(entry, parameters.empty() ? nullptr : parameters.data(),
                      static_cast<int>(parameters.size()), line);
    expression_state.builtin_selection_mask = 0;
    if (error_flag) {
        std::fprintf(stderr, "line %d: Error: %s\n", line, message_buffer.c_str());
        return 0;
    }
    numbering.temp_counter = n + 1;
    set_macro_result(rd, n);
    return RK_MACRO_TEMP;
}

// One argument of a GOSUB line, with its leading blank.
std::string gosub_argument(GelParameter& p) {
    switch (checked_class(p.kind, "C_postfix_expression")) {
        case OC_TEMPORARY: return fill(" Var.VALUE(\\__V%i)", {number_text(p.rd.number)});
        case OC_MACRO: return fill(" &__V%i", {number_text(p.rd.number)});
        case OC_HLL: return fill(" Var.VALUE(\\%s)", {text_of(&p.rd)});
        default:
            if (!p.rd.text) return std::string();
            if (p.rd.text[0] == '\0' || p.rd.text[1] != '&') {
                if (!ascii::is_digit(p.rd.text[0])) {
                    cast_removal_pass(&p.rd.text);
                    macro_name_pass(&p.rd);
                    value_call_pass(&p.rd, 0);
                }
            }
            return fill(" %s", {text_of(&p.rd)});
    }
}

int script_call(const tree_element* name, List* arguments, ResultDescriptor* rd) {
    const char* function = name->txt;
    const tree_element* entry = find_listed_name(program_state.function_table, function);
    if (!entry) {
        warning_at(name->line, "Call to undefined function \"%s()\".", function);
        List*& undefined = program_state.undefined_functions;
        if (!undefined) undefined = list_create();
        if (!find_listed_name(undefined, function)) names_append(undefined, function);
    }
    const bool returns_nothing = entry && (entry->flags & 1) != 0;

    if (!arguments) {
        std::printf("GOSUB %s\n", function);
        if (!returns_nothing) emit(entry_line("", numbering.temp_counter));
        set_macro_result(rd, numbering.temp_counter);
        numbering.temp_counter += 1;
        return RK_MACRO_TEMP;
    }

    std::vector<GelParameter> parameters;
    if (!convert_arguments(arguments, parameters)) return 0;

    if (parameters.size() == 1 && is_whole_string_literal(parameters[0].rd.text) &&
        checked_class(parameters[0].kind, "C_postfix_expression") >= OC_TEXT) {
        std::printf("Var.NEWLOCAL char[128] \\strtmp = %s\n", parameters[0].rd.text);
        std::printf("GOSUB %s Var.String(\\strtmp)\n", function);
    } else {
        std::string line = fill("GOSUB %s", {function});
        for (GelParameter& p : parameters) line += gosub_argument(p);
        emit(line);
    }

    if (returns_nothing) {
        emit("\n");
    } else {
        emit(entry_line("\n", numbering.temp_counter));
    }
    set_macro_result(rd, numbering.temp_counter);
    numbering.temp_counter += 1;
    return RK_MACRO_TEMP;
}

}  // namespace

int convert_call(tree_element* name, List* arguments, ResultDescriptor* rd) {
    if (!name->txt) FATAL_INTERNAL_ERROR("C_postfix_expression");
    if (std::strncmp(name->txt, "GEL_", 4) == 0) {
        int entry = find_gel_function(name->txt);
        if (entry >= 0) return builtin_call(entry, name, arguments, rd);
    }
    return script_call(name, arguments, rd);
}
