#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "compiler/codegen.h"
#include "rewrite/pass_engines.h"
#include "rewrite/patterns.h"
#include "preprocessor_test_run.h"
#include "test_support.h"

using namespace pass_engine;

namespace {

constexpr std::size_t kMegabyte = 1 << 20;

ResultDescriptor descriptor(const char* text) {
    ResultDescriptor rd;
    rd.text = pool_string(text);
    return rd;
}

std::string after_pass(void (*pass)(ResultDescriptor*), const std::string& text) {
    ResultDescriptor rd = descriptor(text.c_str());
    pass(&rd);
    return rd.text;
}

std::string repeat(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) out += piece;
    return out;
}

// Short texts built from the pieces the passes look for, for comparing the
// two engines on many shapes.
std::vector<std::string> generated_texts() {
    const char* pieces[] = {"\\",   "&",     "&__", "_",    "__V",  "V",   "a",   "x",     "F",    "0",
                            "7",    "0x",    "(",   ")",    "!",    "~",   ".",   "*",     "<",    "=",
                            "+",    "-",     "\n",  "\r",  "\t",  " ",    "\"",   "'",   "Var", "VALUE", "value", "Var.VALUE(",
                            "var.", "data.", "Data.Long(D:", "(unsigned int)", "(unsigned int *)",
                            "*((unsigned int *)", "(*((unsigned int", "(unsigned long)", "MAXCNT", "int", "\\__x"};
    std::mt19937 random(20261208);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1), count(0, 14);
    std::vector<std::string> texts;
    for (int i = 0; i < 4000; ++i) {
        std::string t;
        for (std::size_t n = count(random); n > 0; --n) t += pieces[piece(random)];
        texts.push_back(t);
    }
    return texts;
}

const std::vector<std::string>& corpus() {
    static const std::vector<std::string> texts = generated_texts();
    return texts;
}

}  // namespace

TEST(PatternEngines, BothEnginesAgreeOnGeneratedTexts) {
    for (const std::string& t : corpus()) {
        SCOPED_TRACE(t);
        ASSERT_EQ(contains_var_call(t, BY_PATTERN), contains_var_call(t, BY_HAND));
        ASSERT_EQ(contains_hll_temporary(t, BY_PATTERN), contains_hll_temporary(t, BY_HAND));
        ASSERT_EQ(numeric_constant(t, false, BY_PATTERN), numeric_constant(t, false, BY_HAND));
        ASSERT_EQ(numeric_constant(t, true, BY_PATTERN), numeric_constant(t, true, BY_HAND));
        ASSERT_EQ(macro_names(t, BY_PATTERN), macro_names(t, BY_HAND));
        ASSERT_EQ(value_calls(t, 0, BY_PATTERN), value_calls(t, 0, BY_HAND));
        ASSERT_EQ(value_calls(t, 1, BY_PATTERN), value_calls(t, 1, BY_HAND));
        ASSERT_EQ(remove_cast(t, BY_PATTERN), remove_cast(t, BY_HAND));
        ASSERT_EQ(undo_negation_backslash(t, BY_PATTERN), undo_negation_backslash(t, BY_HAND));
        std::string by_pattern = "-", by_hand = "-";
        ASSERT_EQ(compound_address(t, &by_pattern, BY_PATTERN), compound_address(t, &by_hand, BY_HAND));
        ASSERT_EQ(by_pattern, by_hand);
        bool equal_pattern, equal_hand;
        ASSERT_EQ(count_temporary_names(t, "__V7", &equal_pattern, BY_PATTERN),
                  count_temporary_names(t, "__V7", &equal_hand, BY_HAND));
        ASSERT_EQ(equal_pattern, equal_hand);
        ASSERT_EQ(parenthesise_hll_names(t, BY_PATTERN), parenthesise_hll_names(t, BY_HAND));
        ASSERT_EQ(value_comparison(t, BY_PATTERN), value_comparison(t, BY_HAND));
        ASSERT_EQ(masked_macro(t, BY_PATTERN), masked_macro(t, BY_HAND));
        ASSERT_EQ(temporary_values(t, BY_PATTERN), temporary_values(t, BY_HAND));
        ASSERT_EQ(data_long(t, BY_PATTERN), data_long(t, BY_HAND));
        ASSERT_EQ(wrap_temporaries(t, BY_PATTERN), wrap_temporaries(t, BY_HAND));
    }
}

// The examples below are checked against both engines wherever they apply.
template <typename F>
void expect_both(F run, const std::string& text, const std::string& expected) {
    EXPECT_EQ(run(text, BY_PATTERN), expected) << "by pattern: " << text;
    EXPECT_EQ(run(text, BY_HAND), expected) << "by hand: " << text;
}

TEST(PatternEngines, VarCallTestFindsTheWordVarFollowedByOneCharacter) {
    for (const char* yes : {"Var.VALUE(\\x)", "var.value", "1+VAR.x", "vary x", "(Var.Assign"}) {
        EXPECT_TRUE(contains_var_call(yes, BY_PATTERN)) << yes;
        EXPECT_TRUE(contains_var_call(yes, BY_HAND)) << yes;
        EXPECT_TRUE(text_contains_var_call(yes)) << yes;
    }
    for (const char* no : {"variable", "xVar.VALUE", "Var", "Var\n.", "V.VALUE(1)", ""}) {
        EXPECT_FALSE(contains_var_call(no, BY_PATTERN)) << no;
        EXPECT_FALSE(contains_var_call(no, BY_HAND)) << no;
    }
    EXPECT_TRUE(text_contains_hll_temporary("1+\\__V3"));
    EXPECT_FALSE(text_contains_hll_temporary("\\__3+&__V3"));
}

TEST(NumericConstantTest, AcceptsHexWordsSignsAndFractions) {
    for (const char* yes : {"cafe", "face", "a1", "(-0x10)", "(-5)", "0x1F", "0X1f", "12.5", "7.", "7", "-3", "(5", "1e5"}) {
        EXPECT_TRUE(is_numeric_constant(yes, false)) << yes;
        EXPECT_TRUE(numeric_constant(yes, false, BY_HAND)) << yes;
    }
    for (const char* no : {"x1", "\\x", "", "0x", "5.5.5", "!5", "((5))", "0x1g", "1e5x"}) {
        EXPECT_FALSE(is_numeric_constant(no, false)) << no;
        EXPECT_FALSE(numeric_constant(no, false, BY_HAND)) << no;
    }
    EXPECT_FALSE(is_numeric_constant(nullptr, false));
}

TEST(NumericConstantTest, NegationAdmitsALeadingBangAndAnotherParenthesis) {
    for (const char* yes : {"!5", "(!5)", "(!(-5))", "((0x1F))", "!0x1", "cafe"}) {
        EXPECT_TRUE(is_numeric_constant(yes, true)) << yes;
        EXPECT_TRUE(numeric_constant(yes, true, BY_HAND)) << yes;
    }
    for (const char* no : {"!!5", "!\\x", "(((5)))", "!"}) {
        EXPECT_FALSE(is_numeric_constant(no, true)) << no;
        EXPECT_FALSE(numeric_constant(no, true, BY_HAND)) << no;
    }
}

TEST(MacroNamePass, PrefixesOnlyNamesOfScriptMacros) {
    auto run = [](const std::string& t, Engine e) { return macro_names(t, e); };
    // Constants (kinds 1 and 2) and constant expressions (kinds 4 and 5)
    // are script macros; a function-like macro, an expanded one, an unknown
    // name, keywords, members and numbers stay as they are.
    pp_test::run("#define MAXCNT 5\n#define N 0x10\n#define S (N + 1)\n#define V (count + 1)\n"
                 "#define F(a) (a)\n#define E *(int *)0\n#define s 1\n");
    expect_both(run, "MAXCNT+0x1", "&__MAXCNT+0x1");
    expect_both(run, "(S*V)<<N", "(&__S*&__V)<<&__N");
    expect_both(run, "F+E+x+sizeof(short)+((k)->m)+Unsigned", "F+E+x+sizeof(short)+((k)->m)+Unsigned");
    expect_both(run, "1.0e-7+1e5+0+0x1F*0X2", "1.0e-7+1e5+0+0x1F*0X2");
    expect_both(run, "\\x+&__V3+&__N+a.N", "\\x+&__V3+&__N+a.N");
    expect_both(run, "N1+MAXCNT_2", "N1+MAXCNT_2");
    expect_both(run, "", "");
    EXPECT_EQ(after_pass(macro_name_pass, "N<<2"), "&__N<<2");

    // Literals are copied as they stand.
    expect_both(run, "\"hi\"", "\"hi\"");
    expect_both(run, "s=\"hi there\"", "&__s=\"hi there\"");
    expect_both(run, "'a'+N", "'a'+&__N");
    expect_both(run, "\"say \\\"hi\\\" N\"+N", "\"say \\\"hi\\\" N\"+&__N");
    expect_both(run, "'\\''+N", "'\\''+&__N");
    expect_both(run, "N+\"open", "&__N+\"open");
    preprocessor_reset();
    expect_both(run, "MAXCNT+N", "MAXCNT+N");
}

TEST(ValueCallPass, WrapsBareHllReferences) {
    auto run = [](const std::string& t, Engine e) { return value_calls(t, 0, e); };
    expect_both(run, "\\a+\\b", "Var.VALUE(\\a)+Var.VALUE(\\b)");
    expect_both(run, "Var.VALUE(\\a)+1", "Var.VALUE(\\a)+1");
    expect_both(run, "var.value(\\a)+\\b_2", "var.value(\\a)+Var.VALUE(\\b_2)");
    expect_both(run, "(\\x)*2", "(Var.VALUE(\\x))*2");
    expect_both(run, "~\\a&1", "Var.VALUE(~\\a)&1");
    expect_both(run, "\\1+\\", "\\1+\\");
    expect_both(run, "\\ x", "\\ x");
    expect_both(run, "\"C:\\temp\\new\"+\\x", "\"C:\\temp\\new\"+Var.VALUE(\\x)");
}

TEST(ValueCallPass, WrapsMacroReferencesWithSwitchOne) {
    auto run = [](const std::string& t, Engine e) { return value_calls(t, 1, e); };
    expect_both(run, "&__N+1", "Var.VALUE(&__N)+1");
    expect_both(run, "Var.VALUE(&__N)", "Var.VALUE(&__N)");
    expect_both(run, "&__V3&\\x", "Var.VALUE(&__V3)&\\x");
    expect_both(run, "~&__M", "Var.VALUE(~&__M)");
    expect_both(run, "&__+&__9", "&__+&__9");
    ResultDescriptor rd = descriptor("\\a+&__B");
    value_call_pass(&rd, 0);
    value_call_pass(&rd, 1);
    EXPECT_STREQ(rd.text, "Var.VALUE(\\a)+Var.VALUE(&__B)");
}

TEST(CastRemovalPass, DropsUnsignedIntCastsBeforeHllReferences) {
    auto run = [](const std::string& t, Engine e) { return remove_cast(t, e); };
    expect_both(run, "(unsigned int)\\x", "\\x");
    expect_both(run, "(unsigned int *)\\p", "\\p");
    expect_both(run, "(char)\\x", "(char)\\x");
    expect_both(run, "(unsigned int)5", "(unsigned int)5");
    expect_both(run, "(unsigned int)(\\x)", "(unsigned int)(\\x)");
    expect_both(run, "(a)\\x+(unsigned int)y", "(a)\\x+y");
    expect_both(run, "(unsigned int *)(unsigned int)\\x", "(unsigned int *)\\x");
    expect_both(run, "()\\x(unsigned int)", "()\\x(unsigned int)");
    char* text = pool_string("(unsigned int)\\v");
    cast_removal_pass(&text);
    EXPECT_STREQ(text, "\\v");
}

TEST(NegationPasses, MacroOperatorAndItsUndoing) {
    ResultDescriptor rd = descriptor("&__V4");
    EXPECT_STREQ(macro_operator_pass("!", &rd), "!\\&__V4");
    EXPECT_STREQ(rd.text, "!\\&__V4");
    EXPECT_STREQ(negation_pass(&rd), "!&__V4");
    auto run = [](const std::string& t, Engine e) { return undo_negation_backslash(t, e); };
    expect_both(run, "!\\&__V2", "!&__V2");
    expect_both(run, "(~\\&__V2)&&!\\&__V3", "(~&__V2)&&!&__V3");
    expect_both(run, "!\\x", "!\\x");
}

TEST(PointerCompoundPass, WritesDataSetThroughTheMacroAddress) {
    auto written = [](const char* l, const char* op, const char* r) {
        test_support::Capture out(stdout);
        pointer_compound_pass(l, op, r);
        return out.text();
    };
    EXPECT_EQ(written("(*((unsigned int *)&__P))", "+", "1"),
              "Data.Set D:(Var.VALUE(&__P)) %Long ((data.long(D:&__P))+1)\n");
    EXPECT_EQ(written("(*((unsigned int *)(\\x+&__OFF)))", "|", "0x4"),
              "Data.Set D:(Var.VALUE(\\x+&__OFF)) %Long ((data.long(D:\\x+&__OFF))|0x4)\n");
    // The value is a script value: HLL names read with Var.VALUE, and after
    // "&" kept apart from the operator.
    EXPECT_EQ(written("(*((unsigned int *)&__P))", "&", "&__V2"),
              "Data.Set D:(Var.VALUE(&__P)) %Long ((data.long(D:&__P))&(&__V2))\n");
    EXPECT_EQ(written("(*((unsigned int *)&__P))", "|", "(\\m<<&__S)"),
              "Data.Set D:(Var.VALUE(&__P)) %Long ((data.long(D:&__P))|(Var.VALUE(\\m)<<&__S))\n");
    EXPECT_EQ(written("\\x", "+", "1"), "Var.Assign (\\x+=1)\n");
    EXPECT_EQ(written("(*((unsigned int *)\\p)", "-", "\\q"), "Var.Assign ((*((unsigned int *)\\p)-=\\q)\n");
    std::string address;
    EXPECT_TRUE(compound_address("(*((unsigned int  *)&__A)+&__B)", &address, BY_HAND));
    EXPECT_EQ(address, "&__A)+&__B");
}

TEST(PointerStepPass, AppendsTheUpdateLineAndClearsTheStep) {
    temp_counter = 5;
    pointer_step_pending = true;
    pointer_step_up = 1;
    ResultDescriptor left = descriptor("*\\p"), right = descriptor("\\x");
    EXPECT_STREQ(pointer_step_pass(&left, &right), "\\x\nVar.Assign \\p=\\p+1");
    EXPECT_STREQ(left.text, "\\x\nVar.Assign \\p=\\p+1");
    EXPECT_FALSE(pointer_step_pending);
    EXPECT_EQ(pointer_step_up, 0);
    EXPECT_EQ(temp_counter, 4);

    pointer_step_pending = true;
    ResultDescriptor down = descriptor("*\\q"), value = descriptor("0x1");
    EXPECT_STREQ(pointer_step_pass(&down, &value), "0x1\nVar.Assign \\q=\\q-1");
    ResultDescriptor short_left = descriptor("*");
    EXPECT_STREQ(pointer_step_pass(&short_left, &value), "0x1\nVar.Assign \\=\\-1");
    temp_counter = 0;
}

TEST(RenumberingPass, CountsTheTemporariesOfTheSavedCondition) {
    const char* saved = loop_condition_text;
    temp_counter = 7;
    loop_condition_text = "(&__V3==1)";
    EXPECT_EQ(renumbering_pass(3), 7);
    EXPECT_EQ(renumbering_pass(5), 4);
    loop_condition_text = "(&__V3==&__V4)&&\\__V";
    EXPECT_EQ(renumbering_pass(6), 3);
    EXPECT_EQ(renumbering_pass(4), 7);
    loop_condition_text = nullptr;
    EXPECT_EQ(renumbering_pass(2), 2);
    loop_condition_text = saved;
    temp_counter = 0;
}

TEST(HllNamePass, ParenthesisesReferencesUnlessAVarCallIsPresent) {
    auto run = [](const std::string& t, Engine e) { return parenthesise_hll_names(t, e); };
    expect_both(run, "\\a+\\b", "(\\a)+(\\b)");
    expect_both(run, "\\a<0x3", "(\\a)<0x3");
    expect_both(run, "Var.VALUE(\\a)+\\b", "Var.VALUE(\\a)+\\b");
    expect_both(run, "\\\\x\\", "\\(\\x)\\");
    EXPECT_EQ(after_pass(hll_name_pass, "!\\f"), "!(\\f)");
    expect_both(run, "\\s==\"C:\\temp\"", "(\\s)==\"C:\\temp\"");
}

TEST(LoopConditionTests, ValueComparisonAndMaskedMacro) {
    auto value_test = [](const char* t) { ResultDescriptor rd = descriptor(t); return value_comparison_test(&rd); };
    for (const char* yes : {"(Var.VALUE(\\a)==Var.VALUE(\\b))", "(var.value(\\a)>=VAR.VALUE(\\b2))",
                            "(Var.VALUE(\\a)<Var.VALUE(\\b))", "abc", "0xff", "\\d"}) {
        EXPECT_TRUE(value_test(yes)) << yes;
        EXPECT_TRUE(value_comparison(yes, BY_HAND)) << yes;
    }
    // The constant alternative holds a backslash, d and a to f, but no digits.
    for (const char* no : {"(Var.VALUE(\\a)==0x1)", "0x10", "5", "(Var.VALUE(\\a)=Var.VALUE(\\b))",
                           "(Var.VALUE(\\a)==Var.VALUE(\\b)", ""}) {
        EXPECT_FALSE(value_test(no)) << no;
        EXPECT_FALSE(value_comparison(no, BY_HAND)) << no;
    }
    auto masked_test = [](const char* t) { ResultDescriptor rd = descriptor(t); return masked_macro_test(&rd); };
    for (const char* yes : {"((&__V1&Var.VALUE(\\x))!=0x0)", "((&__V12&var.value(\\mask))>=5)",
                            "((&__V1&Var.VALUE(\\x))<ff)"}) {
        EXPECT_TRUE(masked_test(yes)) << yes;
        EXPECT_TRUE(masked_macro(yes, BY_HAND)) << yes;
    }
    for (const char* no : {"((&__V1&Var.VALUE(\\x))==\\y)", "((&__V&Var.VALUE(\\x))==1)",
                           "((&__V1&Var.VALUE(\\x))==0x)", "((&__V1&Var.VALUE(\\x))==1"}) {
        EXPECT_FALSE(masked_test(no)) << no;
        EXPECT_FALSE(masked_macro(no, BY_HAND)) << no;
    }
}

TEST(WhileAndDoPasses, TemporaryValueAndMemoryCast) {
    auto run = [](const std::string& t, Engine e) { return temporary_values(t, e); };
    expect_both(run, "(Var.VALUE(\\__V2)+\\x)", "(+&x)");
    expect_both(run, "!\\x", "&x");
    expect_both(run, "(\\a<\\b)", "(&a<&b)");
    expect_both(run, "(\\alpha!=\\b)", "(&alpha!=&b)");
    expect_both(run, "(\\s!=\"a\\nb\")", "(&s!=\"a\\nb\")");
    ResultDescriptor rd = descriptor("Var.VALUE(\\__V0)");
    EXPECT_STREQ(temporary_value_pass(&rd), "");
    ResultDescriptor mem = descriptor("(*((unsigned int *)0x100)!=*((unsigned int *)\\p))");
    EXPECT_STREQ(memory_cast_pass(&mem), "(data.long(D:0x100)!=data.long(D:\\p))");
    EXPECT_STREQ(mem.text, "(data.long(D:0x100)!=data.long(D:\\p))");
}

TEST(IfAndReturnPasses, DataLongAndTemporaryWrap) {
    auto run_long = [](const std::string& t, Engine e) { return data_long(t, e); };
    expect_both(run_long, "Data.Long(D:(unsigned long)\\p)", "Data.Long(D:\\p)");
    expect_both(run_long, "(unsigned long)\\p", "(unsigned long)\\p");
    ResultDescriptor rd = descriptor("Data.Long(D:(unsigned long)0x10)");
    EXPECT_STREQ(data_long_pass(&rd), "Data.Long(D:0x10)");
    EXPECT_STREQ(rd.text, "Data.Long(D:(unsigned long)0x10)");

    auto run_wrap = [](const std::string& t, Engine e) { return wrap_temporaries(t, e); };
    expect_both(run_wrap, "\\__x+1", "Var.VALUE(\\__x)+1");
    expect_both(run_wrap, "\\__V3+1", "\\__V3+1");
    expect_both(run_wrap, "Var.VALUE(\\__a)+\\__b", "Var.VALUE(\\__a)+Var.VALUE(\\__b)");
    expect_both(run_wrap, "Var.VALUE(\\__a)+(unsigned int)\\__b", "Var.VALUE(\\__a)+(unsigned int)\\__b");
    expect_both(run_wrap, "Var.Value(\\__a+\\__b", "Var.Value(Var.VALUE(\\__a)+Var.VALUE(\\__b)");
    EXPECT_EQ(after_pass(temporary_wrap_pass, "\\__q"), "Var.VALUE(\\__q)");
}

// The longest texts the compiled patterns see, in their most recursive
// shapes: the patterns run without exhausting the stack and agree with the scans.
TEST(PatternEngines, PatternsRunAtTheLengthLimit) {
    const std::string name(kRegexTextLimit - 40, 'n');
    const std::vector<std::string> texts = {
        "(" + name + ")\\x(unsigned int)",         "\\" + name,
        "&__" + name,                              name + "+0x1",
        "(*((unsigned int *)(" + name + "&__M))",  "Var.VALUE(" + name + "\\__b",
        "(Var.VALUE(\\" + name + ")==Var.VALUE(\\b))", "((&__V1&Var.VALUE(\\" + name + "))==0x1)",
        "(-0x" + name.substr(0, 100) + std::string(kRegexTextLimit - 110, 'f') + ")",
        "Data.Long(D:" + name,                     std::string(kRegexTextLimit, '!'),
    };
    for (const std::string& t : texts) {
        ASSERT_LE(t.size(), kRegexTextLimit);
        EXPECT_EQ(macro_names(t, BY_PATTERN), macro_names(t, BY_HAND));
        EXPECT_EQ(value_calls(t, 0, BY_PATTERN), value_calls(t, 0, BY_HAND));
        EXPECT_EQ(value_calls(t, 1, BY_PATTERN), value_calls(t, 1, BY_HAND));
        EXPECT_EQ(remove_cast(t, BY_PATTERN), remove_cast(t, BY_HAND));
        EXPECT_EQ(numeric_constant(t, true, BY_PATTERN), numeric_constant(t, true, BY_HAND));
        std::string a, b;
        EXPECT_EQ(compound_address(t, &a, BY_PATTERN), compound_address(t, &b, BY_HAND));
        EXPECT_EQ(a, b);
        EXPECT_EQ(parenthesise_hll_names(t, BY_PATTERN), parenthesise_hll_names(t, BY_HAND));
        EXPECT_EQ(value_comparison(t, BY_PATTERN), value_comparison(t, BY_HAND));
        EXPECT_EQ(masked_macro(t, BY_PATTERN), masked_macro(t, BY_HAND));
        EXPECT_EQ(temporary_values(t, BY_PATTERN), temporary_values(t, BY_HAND));
        EXPECT_EQ(wrap_temporaries(t, BY_PATTERN), wrap_temporaries(t, BY_HAND));
    }
}

// Texts far longer than the compiled patterns may see: every pass takes the
// linear scan and gives the result of the short form.
TEST(LongTexts, EveryPassHandlesAMegabyte) {
    const std::string name(kMegabyte, 'n');
    const std::string literal = "\"" + std::string(kMegabyte, 's') + "\"";

    EXPECT_EQ(after_pass(macro_name_pass, literal), literal);
    EXPECT_EQ(after_pass(macro_name_pass, name + "+0x1"), name + "+0x1");
    pp_test::run("#define x 1\n");
    EXPECT_EQ(after_pass(macro_name_pass, repeat("x+", kMegabyte / 2)), repeat("&__x+", kMegabyte / 2));
    preprocessor_reset();

    ResultDescriptor rd = descriptor(("\\" + name + "+" + literal).c_str());
    value_call_pass(&rd, 0);
    EXPECT_EQ(std::string(rd.text), "Var.VALUE(\\" + name + ")+" + literal);
    EXPECT_EQ(after_pass([](ResultDescriptor* d) { value_call_pass(d, 1); }, repeat("&__a+", kMegabyte / 5)),
              repeat("Var.VALUE(&__a)+", kMegabyte / 5));

    char* cast = pool_string(("(unsigned int)\\" + name).c_str());
    cast_removal_pass(&cast);
    EXPECT_EQ(std::string(cast), "\\" + name);

    EXPECT_TRUE(is_numeric_constant(("(-0x" + std::string(kMegabyte, 'f') + ")").c_str(), false));
    EXPECT_FALSE(is_numeric_constant((std::string(kMegabyte, 'f') + "g").c_str(), true));

    EXPECT_EQ(after_pass(hll_name_pass, "\\" + name), "(\\" + name + ")");
    EXPECT_EQ(after_pass([](ResultDescriptor* d) { temporary_value_pass(d); }, repeat("Var.VALUE(\\__V1)\\", 60000)),
              repeat("&", 60000));
    EXPECT_EQ(after_pass(temporary_wrap_pass, repeat("\\__a", kMegabyte / 4)), repeat("Var.VALUE(\\__a)", kMegabyte / 4));
    EXPECT_EQ(after_pass(temporary_wrap_pass, "Var.VALUE(" + name + repeat("\\__b", 1000)),
              "Var.VALUE(" + name + repeat("Var.VALUE(\\__b)", 1000));
    EXPECT_EQ(after_pass([](ResultDescriptor* d) { negation_pass(d); }, repeat("!\\&", kMegabyte / 3)),
              repeat("!&", kMegabyte / 3));

    ResultDescriptor data = descriptor(("Data.Long(D:" + repeat("(unsigned long)", 70000)).c_str());
    EXPECT_STREQ(data_long_pass(&data), "Data.Long(D:");

    ResultDescriptor comparison = descriptor(("(Var.VALUE(\\" + name + ")==Var.VALUE(\\b))").c_str());
    EXPECT_TRUE(value_comparison_test(&comparison));
    ResultDescriptor masked = descriptor(("((&__V1&Var.VALUE(\\" + name + "))==0x1)").c_str());
    EXPECT_TRUE(masked_macro_test(&masked));

    std::string address;
    EXPECT_TRUE(compound_address("(*((unsigned int *)(" + name + "&__M)))", &address, BY_HAND));
    EXPECT_EQ(address, name + "&__M");
    EXPECT_FALSE(compound_address(repeat("(*((unsigned int *)", 50000), &address, BY_HAND));

    const char* saved = loop_condition_text;
    std::string loop = repeat("&__V1+", 150000);
    loop_condition_text = loop.c_str();
    temp_counter = 9;
    EXPECT_EQ(renumbering_pass(1), 9);
    EXPECT_EQ(renumbering_pass(200000), 50000);
    loop_condition_text = saved;
    temp_counter = 0;

    EXPECT_TRUE(text_contains_var_call((name + " Var.x").c_str()));
    EXPECT_FALSE(text_contains_var_call(name.c_str()));
}
