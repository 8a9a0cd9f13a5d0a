// Conversion of expressions parsed from GEL text, and a fixture that resets
// the run state the expression conversion reads.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "compiler/codegen.h"
#include "compiler/value.h"
#include "driver/diagnostics.h"
#include "frontend_test_support.h"
#include "test_support.h"

namespace expressions_test {

// Result of converting an expression: kind, descriptor, script output and
// diagnostics.
struct Converted {
    int kind = 0;
    ResultDescriptor rd;
    std::string out;
    std::string err;
    std::string text() const { return rd.text ? rd.text : ""; }
};

// Parses `gel` as the expression of a statement on line `line` of a function
// body and converts the expression as the statement's caller does.
inline Converted convert(const std::string& gel, int line = 1) {
    frontend_test::start_run(std::string(line - 1, '\n') + "t(){" + gel + ";}\n", true);
    Converted c;
    {
        test_support::Capture err(stderr);
        int status = parse();
        EXPECT_EQ(status, 0) << gel << "\n" << err.text();
    }
    tree_element* statement = frontend_test::find_first(tree, ID_expression_statement);
    if (!statement || !statement->child || !statement->child->first) {
        ADD_FAILURE() << "no expression in " << gel;
        return c;
    }
    test_support::Capture out(stdout);
    test_support::Capture err(stderr);
    c.kind = C_expression(statement->child->first->child, &c.rd);
    c.out = out.text();
    c.err = err.text();
    return c;
}

// The @-form of token index 0..23 (prog, data, io, each signed 8 to 64 bit,
// then the same twelve unsigned) at `address`, e.g. "*(unsigned short*)0x100@data".
inline std::string at(int index, const std::string& address) {
    static const char* const widths[4] = {"char", "short", "int", "long long"};
    static const char* const spaces[3] = {"prog", "data", "io"};
    return std::string("*(") + (index >= 12 ? "unsigned " : "") + widths[index % 4] + "*)" + address + "@" +
           spaces[(index % 12) / 4];
}

// Resets the state of one conversion run that the expression routines read.
class ExpressionTest : public ::testing::Test {
protected:
    void SetUp() override {
        text_arena_reset();
        numbering.temp_counter = 0;
        numbering.label_counter = -1;
        error_flag = 0;
        message_buffer.clear();
        architecture = 0;
        target_mcu_index = -1;
        reset_expression_state();
        fresh(program_state.global_names);
        fresh(function_state.scope_names);
        fresh(program_state.function_table);
        fresh(program_state.undefined_functions);
        fresh(program_state.pointer_variables);
    }
    void TearDown() override {
        error_flag = 0;
        architecture = 0;
        target_mcu_index = -1;
        reset_expression_state();
    }
    static void fresh(List*& list) {
        if (list) list_release(list);
        list = list_create();
    }
    static void declare(List*& list, const char* name) {
        if (!list) list = list_create();
        names_append(list, name);
    }
    void global(const char* name) { declare(program_state.global_names, name); }
    void pointer(const char* name) {
        declare(program_state.global_names, name);
        declare(program_state.pointer_variables, name);
    }
    void function(const char* name, bool returns_nothing) {
        names_append(program_state.function_table, name, returns_nothing ? 1 : 0);
    }
};

}  // namespace expressions_test
