#include <gtest/gtest.h>

#include <string>

#include "compiler/codegen.h"
#include "driver/diagnostics.h"
#include "statements_tree.h"
#include "test_support.h"

using namespace statements_tree;
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

    // Converts one statement and returns what it wrote.
    static std::string convert(List* stmt) {
        Capture out(stdout);
        C_statement(stmt, test_support::private_path("macro_file.dts").c_str());
        std::string text = out.text();
        list_release(stmt);
        return text;
    }
};

uint32_t size_of(const List* l) { return l != nullptr ? l->count : 0; }

TEST_F(StatementFlow, ListKeepsSourceOrderWithLabelsGotoAndQuernaLines) {
    List* body = block({{labeled("top", goto_statement("top"))},
                        {nullptr, "B::Break"},
                        {empty_statement()},
                        {block({{goto_statement("inner")}, {return_statement()}})},
                        {return_statement()}});
    EXPECT_EQ(convert(body), "top:\nGOTO top\nB::Break\nGOTO inner\nRETURN\nRETURN\n");
}

TEST_F(StatementFlow, EmptyBlockWritesNothing) {
    EXPECT_EQ(convert(block({})), "");
}

TEST_F(StatementFlow, VeryLongBodyIsWalkedWithoutRecursion) {
    // One nesting level per statement: a recursive walk would exhaust the stack.
    const int n = 200000;
    std::vector<Item> items(n, Item{});
    for (int i = 0; i < n; ++i) items[i].stmt = (i % 2) ? return_statement() : goto_statement("x");
    std::string text = convert(block(items));
    std::string expected;
    for (int i = 0; i < n; ++i) expected += (i % 2) ? "RETURN\n" : "GOTO x\n";
    EXPECT_EQ(text, expected);
}

TEST_F(StatementFlow, BlockPopsScopeNamesBackToItsDepth) {
    List* saved = function_state.scope_names;
    function_state.scope_names = list_create();
    for (const char* name : {"a", "b", "c"}) names_append(function_state.scope_names, name);
    List* stmt = block({{return_statement()}});
    {
        Capture out(stdout);
        C_compound_statement(stmt->first->child, 1, test_support::private_path("macro_file.dts").c_str());
        EXPECT_EQ(out.text(), "RETURN\n");
    }
    EXPECT_EQ(function_state.scope_names->count, 1u);
    EXPECT_STREQ(names_last(function_state.scope_names), "a");
    list_release(stmt);
    list_release(function_state.scope_names);
    function_state.scope_names = saved;
}

TEST_F(StatementFlow, BreaksJumpToTheInnermostLoopAndWriteItsLabelOnce) {
    // for(;;){break; break;} for(;;){for(;;){break;} break;} for(;;){} break;
    List* body = block({{forever(block({{break_statement()}, {break_statement()}}))},
                        {forever(block({{forever(block({{break_statement()}}))}, {break_statement()}}))},
                        {forever(block({}))},
                        {break_statement()}});
    EXPECT_EQ(convert(body),
              "WHILE \n(\nGOTO __L0\nGOTO __L0\n)\n__L0:\n"
              "WHILE \n(\nWHILE \n(\nGOTO __L2\n)\n__L2:\nGOTO __L1\n)\n__L1:\n"
              "WHILE \n(\n)\n");
    EXPECT_EQ(numbering.label_counter, 3);  // the loop without a break still took a number
    EXPECT_EQ(numbering.temp_counter, 4);   // every for loop takes one temporary number
    EXPECT_EQ(size_of(loop_state.loop_labels), 0u);
    EXPECT_EQ(size_of(loop_state.break_targets), 0u);
}

TEST_F(StatementFlow, LoopCutShortByAnErrorLeavesTheStacksBalanced) {
    List* loop = forever(block({{break_statement()}}));
    error_flag = 1;
    EXPECT_EQ(convert(loop), "");
    EXPECT_EQ(size_of(loop_state.loop_labels), 0u);
    EXPECT_EQ(size_of(loop_state.break_targets), 0u);
    EXPECT_EQ(expression_state.deref_mode, DEREF_NONE);
}

TEST_F(StatementFlow, DeeplyNestedBlocksAndLoops) {
    List* stmt = break_statement();
    const int depth = 2000;
    for (int i = 0; i < depth; ++i) stmt = (i % 2) ? block({{stmt}}) : forever(stmt);
    std::string text = convert(stmt);
    // The break leaves the innermost loop, which is the first one built.
    EXPECT_NE(text.find("GOTO __L999\n)\n__L999:\n"), std::string::npos);
    EXPECT_EQ(size_of(loop_state.loop_labels), 0u);
}

TEST_F(StatementFlow, PendingPointerStepsAreWrittenAfterTheirStatement) {
    expression_state.pending_pointer_steps = {{"p", true}, {"q", false}};
    EXPECT_EQ(convert(block({{empty_statement()}, {empty_statement()}})), "Var.Assign \\p=\\p+1\nVar.Assign \\q=\\q-1\n");
    EXPECT_TRUE(expression_state.pending_pointer_steps.empty());
}

TEST_F(StatementFlow, JumpsOutsideLoops) {
    EXPECT_EQ(convert(break_statement()), "");
    EXPECT_EQ(convert(return_statement()), "RETURN\n");
    EXPECT_EQ(convert(goto_statement("done")), "GOTO done\n");
    EXPECT_EQ(size_of(loop_state.break_targets), 0u);
}

}  // namespace
