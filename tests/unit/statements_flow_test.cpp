#include <gtest/gtest.h>

#include <string>

#include "compiler/codegen.h"
#include "driver/diagnostics.h"
#include "frontend_test_support.h"
#include "test_support.h"

using test_support::Capture;

namespace {

class StatementFlow : public ::testing::Test {
protected:
    void SetUp() override {
        error_flag = 0;
        numbering.label_counter = -1;
        numbering.temp_counter = 0;
    }
    void TearDown() override { error_flag = 0; }

    // The list of the first statement of a function body parsed from `gel`.
    static List* parsed(const std::string& gel) {
        frontend_test::start_run("t(){" + gel + "\n}\n", true);
        Capture err(stderr);
        EXPECT_EQ(parse(), 0) << err.text();
        tree_element* statement = frontend_test::find_first(tree, ID_statement);
        EXPECT_NE(statement, nullptr) << gel;
        return statement ? statement->child : nullptr;
    }

    // Converts one statement and returns what it wrote.
    static std::string write(List* statement) {
        Capture out(stdout);
        if (statement) C_statement(statement, test_support::private_path("macro_file.dts").c_str());
        return out.text();
    }
    static std::string convert(const std::string& gel) { return write(parsed(gel)); }
};

uint32_t size_of(const List* l) { return l != nullptr ? l->count : 0; }

TEST_F(StatementFlow, ListKeepsSourceOrderWithLabelsGotoAndQuernaLines) {
    EXPECT_EQ(convert("{ top: goto top;\n//! QUERNA(B::Break)\n ; { goto inner; return; } return; }"),
              "top:\nGOTO top\nB::Break\nGOTO inner\nRETURN\nRETURN\n");
    EXPECT_EQ(convert("{}"), "");
}

TEST_F(StatementFlow, VeryLongBodyIsWalkedWithoutRecursion) {
    // One nesting level per statement: a recursive walk would exhaust the stack.
    const int n = 200000;
    std::string body = "{", expected;
    for (int i = 0; i < n; ++i) {
        body += (i % 2) ? "return;" : "goto x;";
        expected += (i % 2) ? "RETURN\n" : "GOTO x\n";
    }
    EXPECT_EQ(convert(body + "}"), expected);
}

TEST_F(StatementFlow, BlockPopsScopeNamesBackToItsDepth) {
    List* statement = parsed("{ return; }");
    List* saved = function_state.scope_names;
    function_state.scope_names = list_create();
    for (const char* name : {"a", "b", "c"}) names_append(function_state.scope_names, name);
    {
        Capture out(stdout);
        C_compound_statement(statement->first->child, 1, test_support::private_path("macro_file.dts").c_str());
        EXPECT_EQ(out.text(), "RETURN\n");
    }
    EXPECT_EQ(function_state.scope_names->count, 1u);
    EXPECT_STREQ(names_last(function_state.scope_names), "a");
    list_release(function_state.scope_names);
    function_state.scope_names = saved;
}

TEST_F(StatementFlow, BreaksJumpToTheInnermostLoopAndWriteItsLabelOnce) {
    EXPECT_EQ(convert("{ for(;;){break; break;} for(;;){for(;;){break;} break;} for(;;){} break; }"),
              "WHILE \n(\nGOTO __L0\nGOTO __L0\n)\n__L0:\n"
              "WHILE \n(\nWHILE \n(\nGOTO __L2\n)\n__L2:\nGOTO __L1\n)\n__L1:\n"
              "WHILE \n(\n)\n");
    EXPECT_EQ(numbering.label_counter, 3);  // the loop without a break still took a number
    EXPECT_EQ(numbering.temp_counter, 4);   // every for loop takes one temporary number
    EXPECT_EQ(size_of(loop_state.loop_labels), 0u);
    EXPECT_EQ(size_of(loop_state.break_targets), 0u);
}

TEST_F(StatementFlow, LoopCutShortByAnErrorLeavesTheStacksBalanced) {
    List* loop = parsed("for(;;){break;}");
    error_flag = 1;
    EXPECT_EQ(write(loop), "");
    EXPECT_EQ(size_of(loop_state.loop_labels), 0u);
    EXPECT_EQ(size_of(loop_state.break_targets), 0u);
    EXPECT_EQ(expression_state.deref_mode, DEREF_NONE);
}

TEST_F(StatementFlow, DeeplyNestedBlocksAndLoops) {
    std::string statement = "break;";
    const int depth = 2000;
    for (int i = 0; i < depth; ++i) statement = (i % 2) ? "{" + statement + "}" : "for(;;) " + statement;
    std::string text = convert(statement);
    // The break leaves the innermost loop, which is the first one built.
    EXPECT_NE(text.find("GOTO __L999\n)\n__L999:\n"), std::string::npos);
    EXPECT_EQ(size_of(loop_state.loop_labels), 0u);
}

TEST_F(StatementFlow, PendingPointerStepsAreWrittenAfterTheirStatement) {
    List* block = parsed("{ ; ; }");
    expression_state.pending_pointer_steps = {{"p", true}, {"q", false}};
    EXPECT_EQ(write(block), "Var.Assign \\p=\\p+1\nVar.Assign \\q=\\q-1\n");
    EXPECT_TRUE(expression_state.pending_pointer_steps.empty());
}

TEST_F(StatementFlow, JumpsOutsideLoops) {
    EXPECT_EQ(convert("break;"), "");
    EXPECT_EQ(convert("return;"), "RETURN\n");
    EXPECT_EQ(convert("goto done;"), "GOTO done\n");
    EXPECT_EQ(size_of(loop_state.break_targets), 0u);
}

}  // namespace
