// Menu regrouping and the menu, hotmenu and dialog subroutines.
#include <gtest/gtest.h>

#include <string>

#include "compile_test_support.h"

using compile_test::after;
using compile_test::compile_text;
using compile_test::Output;
using compile_test::parse_accepted;

namespace {

tree_element* node_at(List* tree, long i) {
    tree_element* e = list_at(tree, i);
    return e && e->child ? e->child->last : nullptr;
}

// Title and item names of a regrouped menu definition.
std::string describe(tree_element* menu) {
    std::string s = menu->child->first->txt;
    s += ":";
    tree_element* items = menu->child->last;
    EXPECT_EQ(items->id, ID_menu_item_list);
    for (tree_element* it = items->child->first; it; it = it->next) {
        EXPECT_EQ(it->id, ID_menu_item);
        EXPECT_EQ(it->child->count, 1u);
        s.append(" ").append(it->child->first->child->first->txt);
    }
    return s;
}

const std::string menu_head = "\n__GeL_MeNu_CrEaTe:\n(\nMENU.ReProgram\n(\nADD\nMENU\n(\nPOPUP \"GEL\"\n(\n";
const std::string menu_tail = ")\n)\n)\nRETURN\n)\n";

}  // namespace

TEST(RegroupMenus, StablePartitionSyntheticTitleDroppedEmptyMenuAndMovedComment) {
    parse_accepted("int x;\nhotmenu h0() {}\n// -- about A\nmenuitem \"A\"\nf(){}\nhotmenu h1() {}\ndialog d1(p) {}\n"
                   "menuitem \"Empty\"\nmenuitem \"B\"\nslider s(0, 10, 1, 1, v) {}\nhotmenu h2() {}\n// -- alone\n");
    regroup_menus(tree);
    ASSERT_EQ(tree->count, 6u);
    EXPECT_EQ(node_at(tree, 0)->id, ID_declaration);
    EXPECT_EQ(node_at(tree, 1)->id, ID_function_definition);
    EXPECT_EQ(node_at(tree, 2)->id, ID_dts_comment);
    for (long i = 3; i < 6; ++i) EXPECT_EQ(node_at(tree, i)->id, ID_menuitem_definition);
    EXPECT_EQ(describe(node_at(tree, 3)), "\"Unknown Menuitem\": h0");
    EXPECT_EQ(node_at(tree, 3)->line, 2u);
    EXPECT_EQ(describe(node_at(tree, 4)), "\"A\": h1 d1");
    EXPECT_EQ(describe(node_at(tree, 5)), "\"B\": s h2");
    // The comment that stood before menuitem "A" now leads its top-level element.
    List* a = list_at(tree, 4)->child;
    ASSERT_EQ(a->count, 2u);
    EXPECT_EQ(a->first->id, ID_dts_comment);
    EXPECT_STREQ(a->first->child->first->txt, "// -- about A");
    EXPECT_EQ(list_at(tree, 4)->id, ID_external_declaration);

    // A tree without menus is unchanged, but for a menu title without items.
    parse_accepted("int x;\nf(){}\nmenuitem \"lonely\"\n");
    regroup_menus(tree);
    ASSERT_EQ(tree->count, 2u);
    EXPECT_EQ(node_at(tree, 0)->id, ID_declaration);
    EXPECT_EQ(node_at(tree, 1)->id, ID_function_definition);
    List* empty = list_create();
    regroup_menus(empty);
    EXPECT_EQ(empty->count, 0u);
    list_release(empty);
}

TEST(MenuSubroutine, PopupsEntriesSliderWarningAndFunctionTable) {
    Output r = compile_text("menuitem \"First\"\nhotmenu h1() {}\n\n\n\n\nslider s(0, 10, 1, 1, v) {}\n"
                            "dialog d1(v) {}\nStartUp(){}\nmenuitem \"Second\"\nhotmenu h2() {}\n");
    EXPECT_NE(r.out.find("ELSE\n(\nGOSUB StartUp\nGOSUB __GeL_MeNu_CrEaTe\n)\nENDDO\n\nStartUp:\n(\nRETURN\n)\n"),
              std::string::npos);
    std::string menu = menu_head +
                       "POPUP \"First\"\n(\n"
                       "MENUITEM \"h1\" \n(\nDO \"&path_out_cmm\" h1\n)\n"
                       "MENUITEM \"d1\" \n(\nDO \"&path_out_cmm\" d1_dialog\n)\n"
                       ")\n"
                       "POPUP \"Second\"\n(\n"
                       "MENUITEM \"h2\" \n(\nDO \"&path_out_cmm\" h2\n)\n"
                       ")\n" +
                       menu_tail;
    std::string rest = after(r.out, "\n__GeL_MeNu_CrEaTe:");
    EXPECT_EQ(rest.substr(0, menu.size()), menu);
    // Item subroutines follow in menu order: h1, d1 (box and function), h2.
    std::string items = rest.substr(menu.size());
    EXPECT_EQ(items.substr(0, 20), "\nh1:\n(\nRETURN\n\n)\n\nd1");
    EXPECT_NE(items.find("\nh2:\n(\nRETURN\n\n)\n"), std::string::npos);
    EXPECT_LT(items.find("\nd1:\n"), items.find("\nh2:\n"));
    EXPECT_EQ(r.err, "line 7: Warning: Slider keyword is not supported.\n");
    ASSERT_EQ(program_state.function_table->count, 5u);
    const char* names[] = {"StartUp", "h1", "s", "d1", "h2"};
    for (long i = 0; i < 5; ++i) {
        EXPECT_STREQ(list_at(program_state.function_table, i)->txt, names[i]);
        EXPECT_EQ(list_at(program_state.function_table, i)->flags, 1);
    }
    EXPECT_EQ(program_state.path_name, nullptr);
}

TEST(MenuSubroutine, HotmenuWithCommentAndParametersAndItsReturnAnalysis) {
    Output r = compile_text("// -- run it\nhotmenu hp(x) {}\nhotmenu hv() { return 1; }\n");
    std::string hp_text = after(r.out, "RETURN\n)\n// -- run it");
    hp_text = hp_text.substr(0, hp_text.find("\nhv:"));
    EXPECT_EQ(hp_text,
              "RETURN\n)\n// -- run it\n\nhp:\n(\nPRIVATE &__VF0\nENTRY &__VF0\n\n"
              "&__VF0=&__VF0 // evaluation of passed expression \n\nVar.NEWLOCAL int \\x=&__VF0\nRETURN\n\n)\n");
    EXPECT_NE(r.out.find("POPUP \"Unknown Menuitem\"\n(\nMENUITEM \"hp\" "), std::string::npos);
    // A hotmenu with a parameter list is entered as yielding nothing; one without
    // is judged by its body.
    ASSERT_EQ(program_state.function_table->count, 2u);
    EXPECT_EQ(list_at(program_state.function_table, 0)->flags, 1);
    EXPECT_EQ(list_at(program_state.function_table, 1)->flags, 0);
    EXPECT_FALSE(function_state.inside_function);
}

TEST(DialogSubroutines, LabelWidthPositionsAndTheValueFunction) {
    Output r = compile_text("menuitem \"M\"\ndialog setup(addr, len \"Length\") {}\n");
    std::string expected =
        "\nsetup_dialog:\n(\nLOCAL &addr &len\n&addr=0\n&len=0\nDIALOG\n(\nHEADER \"setup\"\n"
        "POS 0. 0. 8.\nTEXT \"addr\"\nPOS 0. 1. 8.\nTEXT \"Length\"\n"
        "POS 8. 0. 10.\nEDIT \"\" \"&addr=*\"\nPOS 8. 1. 10.\nEDIT \"\" \"&len=*\"\n"
        "POS 0. 2. 18.\nBUTTON \"Execute\" \n(\nDO &path_out_cmm setup &addr &len\n)\n)\nRETURN\n)\n"
        "\nsetup:\n(\nENTRY &__VF0 &__VF1\n\n"
        "Var.NEW unsigned long long \\addr\nVAR.ASSIGN \\addr=&__VF0\n\n"
        "Var.NEW unsigned long long \\len\nVAR.ASSIGN \\len=&__VF1\n\n\n"
        "RETURN\n)\n";
    EXPECT_EQ(after(r.out, "\nsetup_dialog:"), expected);
    EXPECT_EQ(function_state.scope_names->count, 0u);
}

TEST(DialogSubroutines, EmptyItemsLeaveGapsInTheBoxAndAreNotParameters) {
    Output mixed = compile_text("dialog d2(a, , b \"Bee\") {}");
    std::string expected =
        "\nd2_dialog:\n(\nLOCAL &a &b\n&a=0\n&b=0\nDIALOG\n(\nHEADER \"d2\"\n"
        "POS 0. 0. 5.\nTEXT \"a\"\nPOS 0. 2. 5.\nTEXT \"Bee\"\n"
        "POS 5. 0. 10.\nEDIT \"\" \"&a=*\"\nPOS 5. 2. 10.\nEDIT \"\" \"&b=*\"\n"
        "POS 0. 3. 15.\nBUTTON \"Execute\" \n(\nDO &path_out_cmm d2 &a &b\n)\n)\nRETURN\n)\n"
        "\nd2:\n(\nENTRY &__VF0 &__VF1\n\n"
        "Var.NEW unsigned long long \\a\nVAR.ASSIGN \\a=&__VF0\n\n"
        "Var.NEW unsigned long long \\b\nVAR.ASSIGN \\b=&__VF1\n\n\n"
        "RETURN\n)\n";
    EXPECT_EQ(after(mixed.out, "\nd2_dialog:"), expected);

    Output empty = compile_text("dialog d3() {}");
    EXPECT_EQ(after(empty.out, "\nd3_dialog:"),
              "\nd3_dialog:\n(\nLOCAL\nDIALOG\n(\nHEADER \"d3\"\nPOS 0. 1. 10.\n"
              "BUTTON \"Execute\" \n(\nDO &path_out_cmm d3\n)\n)\nRETURN\n)\n\nd3:\n(\nRETURN\n)\n");

    Output all_empty = compile_text("dialog d4(,) {}");
    EXPECT_NE(all_empty.out.find("POS 0. 2. 10.\n"), std::string::npos);
    EXPECT_NE(all_empty.out.find("\nd4:\n(\nRETURN\n)\n"), std::string::npos);
    EXPECT_EQ(all_empty.err, "");
}
