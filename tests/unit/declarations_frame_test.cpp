// The program frame of compile: path macro, event hooks, dispatch, function
// subroutines with their parameter blocks, the function table and the return
// analysis behind it.
#include <gtest/gtest.h>

#include <string>

#include "compiler/codegen.h"
#include "compiler/compiler.h"
#include "declarations_tree.h"
#include "test_support.h"

using namespace decl_tree;
using test_support::Capture;

namespace {

struct Output {
    std::string out;
    std::string err;
};

Output compile_tree(std::vector<Node> top, const char* output = "out.cmm") {
    reset_run();
    std::vector<Node> externals;
    for (Node& n : top) externals.push_back(external(n));
    List* tree = build(externals);
    Output r;
    {
        Capture err(stderr);
        Capture out(stdout);
        compile(tree, output, test_support::private_path("declarations_frame_macros.dts").c_str());
        r.out = out.text();
        r.err = err.text();
    }
    list_release(tree);
    return r;
}

const std::string dispatch = "IF \"&function\"!=\"\"\n(\nGOSUB &function &args\n)\n";

}  // namespace

TEST(ProgramFrame, DispatchWithoutStartUpOrMenuHasNoElseBlock) {
    Output r = compile_tree({function("f", empty_parameters(), empty_body())});
    EXPECT_EQ(r.out, "GLOBAL &path_out_cmm\n&path_out_cmm=OS.PPF()\n" + dispatch + "ENDDO\n\nf:\n(\nRETURN\n)\n");
    EXPECT_EQ(r.err, "");
}

TEST(ProgramFrame, PathMacroTakesTheLastPathPartWithUnderscores) {
    EXPECT_EQ(compile_tree({}, "/some/dir/my-script.cmm").out.substr(0, 27), "GLOBAL &path_my_script_cmm\n");
    EXPECT_EQ(compile_tree({}, "C:\\work\\a b+c.cmm").out.substr(0, 23), "GLOBAL &path_a_b_c_cmm\n");
    EXPECT_EQ(compile_tree({}, "dir\\sub/x.y").out.substr(0, 17), "GLOBAL &path_x_y\n");
}

TEST(ProgramFrame, StartUpGivesTheElseBlock) {
    Output r = compile_tree({function("StartUp", empty_parameters(), empty_body())});
    EXPECT_EQ(r.out, "GLOBAL &path_out_cmm\n&path_out_cmm=OS.PPF()\n" + dispatch +
                         "ELSE\n(\nGOSUB StartUp\n)\nENDDO\n\nStartUp:\n(\nRETURN\n)\n");
    // Names compare whole and case-sensitively.
    Output other = compile_tree({function("startup", empty_parameters(), empty_body()),
                              function("StartUpX", empty_parameters(), empty_body())});
    EXPECT_EQ(other.out.find("ELSE"), std::string::npos);
}

TEST(ProgramFrame, EventFunctionsWriteHooksBeforeGlobalsAndWarnForUnsupportedOnes) {
    Output r = compile_tree({
        function("OnHalt", empty_parameters(), empty_body(), 3),
        function("OnFileLoaded", empty_parameters(), empty_body(), 5),
        declaration(specifiers({type_spec(ID_INT)}), {init_declarator("g")}),
        function("OnReset", empty_parameters(), empty_body(), 7),
        function("OnPreFileLoaded", empty_parameters(), empty_body(), 9),
        function("OnRestart", empty_parameters(), empty_body(), 11),
        function("OnTargetConnect", empty_parameters(), empty_body(), 13),
    });
    std::string head = "GLOBAL &path_out_cmm\n&path_out_cmm=OS.PPF()\n"
                       "ON HALT GOSUB OnHalt\nON RESET GOSUB OnReset\nGOSUB OnTargetConnect\n"
                       "Var.NEW int \\g\n" +
                       dispatch + "ENDDO\n";
    EXPECT_EQ(r.out.substr(0, head.size()), head);
    // Every event function is still converted as a subroutine, in source order.
    std::string subs = "\nOnHalt:\n(\nRETURN\n)\n\nOnFileLoaded:\n(\nRETURN\n)\n\nOnReset:\n(\nRETURN\n)\n"
                       "\nOnPreFileLoaded:\n(\nRETURN\n)\n\nOnRestart:\n(\nRETURN\n)\n\nOnTargetConnect:\n(\nRETURN\n)\n";
    EXPECT_EQ(r.out.substr(head.size()), subs);
    EXPECT_EQ(r.err,
              "line 5: Warning: \"OnFileLoaded\" - This callback function is not supported\n"
              "line 9: Warning: \"OnPreFileLoaded\" - This callback function is not supported\n"
              "line 11: Warning: \"OnRestart\" - This callback function is not supported\n");
}

TEST(ProgramFrame, CommentBeforeAFunctionPrecedesItsLabelAndAStandaloneOneIsDropped) {
    Node f = function("f", empty_parameters(), empty_body());
    f.kids.insert(f.kids.begin(), comment_block({"// -- first", "// -- second"}));
    Output r = compile_tree({comment_block({"// -- alone"}), f});
    EXPECT_EQ(r.out.substr(r.out.find("ENDDO\n") + 6), "// -- first\n// -- second\n\nf:\n(\nRETURN\n)\n");
    EXPECT_EQ(r.out.find("alone"), std::string::npos);
}

TEST(ParameterBlock, TypedParametersAndTheStringParameter) {
    Node params = nt(ID_function_parameter_list,
                     {parameter({spec_quals({type_spec(ID_INT)}), ident("a")}),
                      parameter({spec_quals({type_spec(ID_CHAR)}), pointer(1), ident("s")})});
    Output r = compile_tree({function("add", params, empty_body())});
    EXPECT_EQ(r.out.substr(r.out.find("ENDDO\n") + 6),
              "\nadd:\n(\nPRIVATE &__VF0 &__VF1\nENTRY &__VF0 &__VF1\n\n"
              "&__VF0=&__VF0 // evaluation of passed expressions \n&__VF1=&__VF1\n\n"
              "Var.NEWLOCAL int \\a=&__VF0\nVar.NEWLOCAL char[128] \\s=\"&__VF1\"\nRETURN\n)\n");
}

TEST(ParameterBlock, UntypedQualifiedAndPointerParameters) {
    Output one = compile_tree({function("f", nt(ID_function_parameter_list, {parameter({ident("x")})}), empty_body())});
    EXPECT_EQ(one.out.substr(one.out.find("ENDDO\n") + 6),
              "\nf:\n(\nPRIVATE &__VF0\nENTRY &__VF0\n\n&__VF0=&__VF0 // evaluation of passed expression \n\n"
              "Var.NEWLOCAL int \\x=&__VF0\nRETURN\n)\n");

    Node params = nt(ID_function_parameter_list,
                     {parameter({spec_quals({type_spec(ID_UNSIGNED)}), ident("u")}),
                      parameter({pointer(2), ident("pp")}),
                      parameter({spec_quals({qualifier(ID_CONST), type_spec(ID_CHAR)}), pointer(1), ident("c")}),
                      parameter({spec_quals({type_spec(ID_CHAR)}), pointer(2), ident("cc")}),
                      parameter({spec_quals({type_spec(ID_LONG), type_spec(ID_LONG)}), ident("ll")})});
    Output r = compile_tree({function("g", params, empty_body())});
    std::string body = r.out.substr(r.out.find("\n\nVar.NEWLOCAL") + 2);
    EXPECT_EQ(body,
              "Var.NEWLOCAL unsigned int \\u=&__VF0\n"
              "Var.NEWLOCAL int ** \\pp=&__VF1\n"
              "Var.NEWLOCAL char[128] \\c=\"&__VF2\"\n"
              "Var.NEWLOCAL char ** \\cc=&__VF3\n"
              "Var.NEWLOCAL long long \\ll=&__VF4\n"
              "RETURN\n)\n");
    EXPECT_EQ(r.err, "");
}

TEST(ParameterBlock, EmptyParameterAmongOthersKeepsItsNumberButDeclaresNothing) {
    Node params = nt(ID_function_parameter_list, {parameter({ident("a")}), parameter({}), parameter({ident("b")})});
    Output r = compile_tree({function("f", params, empty_body())});
    EXPECT_NE(r.out.find("PRIVATE &__VF0 &__VF1 &__VF2\nENTRY &__VF0 &__VF1 &__VF2\n\n"
                         "&__VF0=&__VF0 // evaluation of passed expressions \n&__VF1=&__VF1\n&__VF2=&__VF2\n\n"
                         "Var.NEWLOCAL int \\a=&__VF0\nVar.NEWLOCAL int \\b=&__VF2\nRETURN\n"),
              std::string::npos);
}

TEST(FunctionTable, FlagsFollowTheReturnAnalysisAndScopeIsEmptyAfterwards) {
    Node params = nt(ID_function_parameter_list, {parameter({ident("x")})});
    Output r = compile_tree({
        function("value", empty_parameters(), block({expression_statement(), return_value()})),
        function("bare", params, block({bare_return()})),
        function("empty", empty_parameters(), empty_body()),
    });
    ASSERT_EQ(program_state.function_table->count, 3u);
    EXPECT_STREQ(list_at(program_state.function_table, 0)->txt, "value");
    EXPECT_EQ(list_at(program_state.function_table, 0)->flags, 0);
    EXPECT_STREQ(list_at(program_state.function_table, 1)->txt, "bare");
    EXPECT_EQ(list_at(program_state.function_table, 1)->flags, 1);
    EXPECT_EQ(list_at(program_state.function_table, 2)->flags, 1);
    EXPECT_EQ(function_state.scope_names->count, 0u);
    EXPECT_FALSE(function_state.inside_function);
}

TEST(FunctionTable, CompileResetsTheRunState) {
    compile_tree({function("a", empty_parameters(), empty_body())});
    numbering.temp_counter = 7;
    numbering.label_counter = 3;
    compile_tree({function("b", empty_parameters(), empty_body())});
    ASSERT_EQ(program_state.function_table->count, 1u);
    EXPECT_STREQ(list_at(program_state.function_table, 0)->txt, "b");
    EXPECT_EQ(numbering.temp_counter, 0);
    EXPECT_EQ(numbering.label_counter, -1);
    EXPECT_EQ(program_state.global_names->count, 0u);
    EXPECT_EQ(program_state.undefined_functions->count, 0u);
}

namespace {

bool judge(Node statement_node) {
    List* list = build({statement_node});
    bool nothing = returns_value(list);
    list_release(list);
    return nothing;
}

bool judge_body(Node body) {
    List* list = build(body.kids);
    bool nothing = returns_value(list);
    list_release(list);
    return nothing;
}

}  // namespace

TEST(ReturnAnalysis, BranchesLoopsLabelsAndBlocks) {
    Node if_only = nt(ID_selection_statement, {primary_chain(ID_expression, ident("c")), return_value()});
    Node if_else_bare = nt(ID_selection_statement,
                           {primary_chain(ID_expression, ident("c")), bare_return(), expression_statement()});
    Node if_else_value = nt(ID_selection_statement,
                            {primary_chain(ID_expression, ident("c")), bare_return(), return_value()});
    EXPECT_FALSE(judge(if_only));
    EXPECT_TRUE(judge(if_else_bare));
    EXPECT_FALSE(judge(if_else_value));

    Node while_loop = nt(ID_iteration_statement, {tok(ID_WHILE), primary_chain(ID_expression, ident("c")),
                                                  statement(block({return_value()}))});
    Node do_loop = nt(ID_iteration_statement, {tok(ID_DO), bare_return(), primary_chain(ID_expression, ident("c"))});
    Node for_loop = nt(ID_iteration_statement,
                       {tok(ID_FOR), nt(ID_expression_statement, {}), nt(ID_expression_statement, {}), return_value()});
    EXPECT_FALSE(judge(while_loop));
    EXPECT_TRUE(judge(do_loop));
    EXPECT_FALSE(judge(for_loop));

    Node labelled = nt(ID_labeled_statement,
                       {ident("outer"), statement(nt(ID_labeled_statement, {ident("inner"), return_value()}))});
    EXPECT_FALSE(judge(labelled));
    EXPECT_TRUE(judge(nt(ID_jump_statement, {tok(ID_BREAK)})));

    // Statement lists with QUERNA lines, and bodies by the compound rule.
    Node with_line = nt(ID_statement_list, {statement_list({bare_return()}), txt(ID_QUERNA_CALL, "PRINT 1")});
    EXPECT_TRUE(judge_body(nt(ID_compound_statement, {with_line})));
    EXPECT_FALSE(judge_body(block({expression_statement(), return_value(), expression_statement()})));
    EXPECT_TRUE(judge_body(empty_body()));
    Node decls = nt(ID_declaration_list, {declaration(specifiers({type_spec(ID_INT)}), {init_declarator("i")})});
    EXPECT_FALSE(judge_body(nt(ID_compound_statement, {decls, statement_list({return_value()})})));
    EXPECT_FALSE(judge_body(nt(ID_compound_statement, {comment_block({"// -- c"}), statement_list({return_value()})})));
    // The statement list is judged wherever it stands, after a comment block and declarations too.
    EXPECT_FALSE(judge_body(
        nt(ID_compound_statement, {comment_block({"// -- c"}), decls, statement_list({return_value()})})));
    EXPECT_TRUE(judge_body(nt(ID_compound_statement, {decls})));
}

TEST(ReturnAnalysis, LongBodyIsWalkedWithoutRecursion) {
    // 200 000 statements nest one level each; the return is the first, deepest one.
    const int count = 200000;
    List* body = list_create();
    List* inner = build({return_value()});
    List* level = inner;
    for (int i = 1; i < count; ++i) {
        List* outer = list_create();
        list_append(outer, ID_statement_list, level, nullptr, 1, 1);
        List* s = build({expression_statement()});
        tree_element* e = s->first;
        list_append(outer, e->id, e->child, nullptr, 1, 1);
        e->child = nullptr;
        list_release(s);
        level = outer;
    }
    list_append(body, ID_statement_list, level, nullptr, 1, 1);
    EXPECT_FALSE(returns_value(body));
    list_release(body);
}

TEST(NameLookups, IndexesAnswerLikeTheListsEvenAfterDirectAppends) {
    Node ptr = declaration(specifiers({type_spec(ID_INT)}), {init_declarator("gp", 1), init_declarator("g")});
    compile_tree({ptr, function("f", empty_parameters(), empty_body()),
                  function("v", empty_parameters(), block({return_value()})),
                  function("f", empty_parameters(), block({return_value()}))});
    EXPECT_EQ(find_function("f"), 0);
    EXPECT_EQ(find_function("v"), 1);
    EXPECT_EQ(find_function("F"), -1);
    // A second definition of f does not change what a call finds.
    EXPECT_EQ(list_at(program_state.function_table, find_function("f"))->flags, 1);
    EXPECT_TRUE(is_global_variable("g"));
    EXPECT_TRUE(is_global_variable("gp"));
    EXPECT_FALSE(is_global_variable("f"));
    EXPECT_TRUE(is_pointer_variable("gp"));
    EXPECT_FALSE(is_pointer_variable("g"));
    // A name appended to the list itself is still found.
    names_append(program_state.global_names, "direct");
    names_append(program_state.function_table, "direct_f", 1);
    EXPECT_TRUE(is_global_variable("direct"));
    EXPECT_EQ(find_function("direct_f"), static_cast<long>(program_state.function_table->count) - 1);
    // The next conversion starts with empty tables.
    compile_tree({});
    EXPECT_FALSE(is_global_variable("g"));
    EXPECT_EQ(find_function("f"), -1);
}
