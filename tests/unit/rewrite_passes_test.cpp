#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "compiler/codegen.h"
#include "pattern_passes.h"
#include "rewrite/patterns.h"
#include "rewrite/text_scan.h"
#include "preprocessor_test_run.h"
#include "test_support.h"

using by_pattern::pass_pair;

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

// Short texts built from the pieces the passes look for, for comparing each
// scan with its reference patterns on many shapes.
std::vector<std::string> generated_texts() {
    const char* pieces[] = {"\\",   "&",     "&__", "_",    "__V",  "V",   "a",   "x",     "F",    "0",
                            "7",    "0x",    "(",   ")",    "!",    "~",   ".",   "*",     "<",    "=",
                            "+",    "-",     "\n",  "\r",  "\t",  " ",    "\"",   "'",   "Var", "VALUE", "value", "Var.VALUE(",
                            "var.", "data.", "Data.Long(D:", "(unsigned int)", "(unsigned int *)",
                            "*((unsigned int *)", "(*((unsigned int", "(*((unsigned int *)", "(unsigned long)", "MAXCNT",
                            "int", "\\__x", "\\__ab", "))", "<<", "&&", "data.long(D:"};
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

// Every pass, the condition conversion and the return tests among them, by
// its scan and by its reference patterns.
TEST(PatternEngines, ScansAgreeWithTheirPatternsOnGeneratedTexts) {
    for (const std::string& t : corpus()) {
        SCOPED_TRACE(t);
        for (const by_pattern::PassPair& pass : by_pattern::pass_pairs()) {
            ASSERT_EQ(pass.scan(t), pass.reference(t)) << pass.name;
        }
    }
}

// The examples below are checked against the scan and the reference pattern.
void expect_both(const char* pass, const std::string& text, const std::string& expected) {
    EXPECT_EQ(pass_pair(pass).reference(text), expected) << "by pattern: " << text;
    EXPECT_EQ(pass_pair(pass).scan(text), expected) << "by scan: " << text;
}

TEST(PatternEngines, VarCallTestFindsTheWordVarFollowedByOneCharacter) {
    for (const char* yes : {"Var.VALUE(\\x)", "var.value", "1+VAR.x", "vary x", "(Var.Assign"}) {
        EXPECT_TRUE(by_pattern::contains_var_call(yes)) << yes;
        EXPECT_TRUE(text_scan::contains_var_call(yes)) << yes;
        EXPECT_TRUE(text_contains_var_call(yes)) << yes;
    }
    for (const char* no : {"variable", "xVar.VALUE", "Var", "Var\n.", "V.VALUE(1)", ""}) {
        EXPECT_FALSE(by_pattern::contains_var_call(no)) << no;
        EXPECT_FALSE(text_scan::contains_var_call(no)) << no;
    }
    EXPECT_TRUE(text_contains_hll_temporary("1+\\__V3"));
    EXPECT_FALSE(text_contains_hll_temporary("\\__3+&__V3"));
}

TEST(NumericConstantTest, AcceptsHexWordsSignsAndFractions) {
    for (const char* yes : {"cafe", "face", "a1", "(-0x10)", "(-5)", "0x1F", "0X1f", "12.5", "7.", "7", "-3", "(5", "1e5"}) {
        EXPECT_TRUE(is_numeric_constant(yes, false)) << yes;
        EXPECT_TRUE(by_pattern::numeric_constant(yes, false)) << yes;
    }
    for (const char* no : {"x1", "\\x", "", "0x", "5.5.5", "!5", "((5))", "0x1g", "1e5x"}) {
        EXPECT_FALSE(is_numeric_constant(no, false)) << no;
        EXPECT_FALSE(by_pattern::numeric_constant(no, false)) << no;
    }
    EXPECT_FALSE(is_numeric_constant(nullptr, false));
}

TEST(NumericConstantTest, NegationAdmitsALeadingBangAndAnotherParenthesis) {
    for (const char* yes : {"!5", "(!5)", "(!(-5))", "((0x1F))", "!0x1", "cafe"}) {
        EXPECT_TRUE(is_numeric_constant(yes, true)) << yes;
        EXPECT_TRUE(by_pattern::numeric_constant(yes, true)) << yes;
    }
    for (const char* no : {"!!5", "!\\x", "(((5)))", "!"}) {
        EXPECT_FALSE(is_numeric_constant(no, true)) << no;
        EXPECT_FALSE(by_pattern::numeric_constant(no, true)) << no;
    }
}

TEST(MacroNamePass, PrefixesOnlyNamesOfScriptMacros) {
    // Constants (kinds 1 and 2) and constant expressions (kinds 4 and 5)
    // are script macros; a function-like macro, an expanded one, an unknown
    // name, keywords, members and numbers stay as they are.
    pp_test::run("#define MAXCNT 5\n#define N 0x10\n#define S (N + 1)\n#define V (count + 1)\n"
                 "#define F(a) (a)\n#define E *(int *)0\n#define s 1\n");
    expect_both("macro_names", "MAXCNT+0x1", "&__MAXCNT+0x1");
    expect_both("macro_names", "(S*V)<<N", "(&__S*&__V)<<&__N");
    expect_both("macro_names", "F+E+x+sizeof(short)+((k)->m)+Unsigned", "F+E+x+sizeof(short)+((k)->m)+Unsigned");
    expect_both("macro_names", "1.0e-7+1e5+0+0x1F*0X2", "1.0e-7+1e5+0+0x1F*0X2");
    expect_both("macro_names", "\\x+&__V3+&__N+a.N", "\\x+&__V3+&__N+a.N");
    expect_both("macro_names", "N1+MAXCNT_2", "N1+MAXCNT_2");
    expect_both("macro_names", "", "");
    EXPECT_EQ(after_pass(macro_name_pass, "N<<2"), "&__N<<2");

    // Literals are copied as they stand.
    expect_both("macro_names", "\"hi\"", "\"hi\"");
    expect_both("macro_names", "s=\"hi there\"", "&__s=\"hi there\"");
    expect_both("macro_names", "'a'+N", "'a'+&__N");
    expect_both("macro_names", "\"say \\\"hi\\\" N\"+N", "\"say \\\"hi\\\" N\"+&__N");
    expect_both("macro_names", "'\\''+N", "'\\''+&__N");
    expect_both("macro_names", "N+\"open", "&__N+\"open");
    preprocessor_reset();
    expect_both("macro_names", "MAXCNT+N", "MAXCNT+N");
}

TEST(ValueCallPass, WrapsBareHllReferences) {
    expect_both("value_calls 0", "\\a+\\b", "Var.VALUE(\\a)+Var.VALUE(\\b)");
    expect_both("value_calls 0", "Var.VALUE(\\a)+1", "Var.VALUE(\\a)+1");
    expect_both("value_calls 0", "var.value(\\a)+\\b_2", "var.value(\\a)+Var.VALUE(\\b_2)");
    expect_both("value_calls 0", "(\\x)*2", "(Var.VALUE(\\x))*2");
    expect_both("value_calls 0", "~\\a&1", "Var.VALUE(~\\a)&1");
    expect_both("value_calls 0", "\\1+\\", "\\1+\\");
    expect_both("value_calls 0", "\\ x", "\\ x");
    expect_both("value_calls 0", "\"C:\\temp\\new\"+\\x", "\"C:\\temp\\new\"+Var.VALUE(\\x)");
}

TEST(ValueCallPass, WrapsMacroReferencesWithSwitchOne) {
    expect_both("value_calls 1", "&__N+1", "Var.VALUE(&__N)+1");
    expect_both("value_calls 1", "Var.VALUE(&__N)", "Var.VALUE(&__N)");
    expect_both("value_calls 1", "&__V3&\\x", "Var.VALUE(&__V3)&\\x");
    expect_both("value_calls 1", "~&__M", "Var.VALUE(~&__M)");
    expect_both("value_calls 1", "&__+&__9", "&__+&__9");
    ResultDescriptor rd = descriptor("\\a+&__B");
    value_call_pass(&rd, 0);
    value_call_pass(&rd, 1);
    EXPECT_STREQ(rd.text, "Var.VALUE(\\a)+Var.VALUE(&__B)");
}

TEST(CastRemovalPass, DropsUnsignedIntCastsBeforeHllReferences) {
    expect_both("remove_cast", "(unsigned int)\\x", "\\x");
    expect_both("remove_cast", "(unsigned int *)\\p", "\\p");
    expect_both("remove_cast", "(char)\\x", "(char)\\x");
    expect_both("remove_cast", "(unsigned int)5", "(unsigned int)5");
    expect_both("remove_cast", "(unsigned int)(\\x)", "(unsigned int)(\\x)");
    expect_both("remove_cast", "(a)\\x+(unsigned int)y", "(a)\\x+y");
    expect_both("remove_cast", "(unsigned int *)(unsigned int)\\x", "(unsigned int *)\\x");
    expect_both("remove_cast", "()\\x(unsigned int)", "()\\x(unsigned int)");
    char* text = pool_string("(unsigned int)\\v");
    cast_removal_pass(&text);
    EXPECT_STREQ(text, "\\v");
}

TEST(NegationPasses, MacroOperatorAndItsUndoing) {
    ResultDescriptor rd = descriptor("&__V4");
    EXPECT_STREQ(macro_operator_pass("!", &rd), "!\\&__V4");
    EXPECT_STREQ(rd.text, "!\\&__V4");
    EXPECT_STREQ(negation_pass(&rd), "!&__V4");
    EXPECT_EQ(text_scan::undo_negation_backslash("!\\&__V2"), "!&__V2");
    EXPECT_EQ(text_scan::undo_negation_backslash("(~\\&__V2)&&!\\&__V3"), "(~&__V2)&&!&__V3");
    EXPECT_EQ(text_scan::undo_negation_backslash("!\\x"), "!\\x");
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
    EXPECT_TRUE(text_scan::compound_address("(*((unsigned int  *)&__A)+&__B)", &address));
    EXPECT_EQ(address, "&__A)+&__B");
}

TEST(HllNamePass, ParenthesisesReferencesUnlessAVarCallIsPresent) {
    expect_both("parenthesise_hll_names", "\\a+\\b", "(\\a)+(\\b)");
    expect_both("parenthesise_hll_names", "\\a<0x3", "(\\a)<0x3");
    expect_both("parenthesise_hll_names", "Var.VALUE(\\a)+\\b", "Var.VALUE(\\a)+\\b");
    expect_both("parenthesise_hll_names", "\\\\x\\", "\\(\\x)\\");
    EXPECT_EQ(after_pass(hll_name_pass, "!\\f"), "!(\\f)");
    expect_both("parenthesise_hll_names", "\\s==\"C:\\temp\"", "(\\s)==\"C:\\temp\"");
}

TEST(LoopConditionTests, ValueComparisonAndMaskedMacro) {
    auto value_test = [](const char* t) { ResultDescriptor rd = descriptor(t); return value_comparison_test(&rd); };
    for (const char* yes : {"(Var.VALUE(\\a)==Var.VALUE(\\b))", "(var.value(\\a)>=VAR.VALUE(\\b2))",
                            "(Var.VALUE(\\a)<Var.VALUE(\\b))", "abc", "0xff", "\\d"}) {
        EXPECT_TRUE(value_test(yes)) << yes;
        EXPECT_TRUE(by_pattern::value_comparison(yes)) << yes;
    }
    // The constant alternative holds a backslash, d and a to f, but no digits.
    for (const char* no : {"(Var.VALUE(\\a)==0x1)", "0x10", "5", "(Var.VALUE(\\a)=Var.VALUE(\\b))",
                           "(Var.VALUE(\\a)==Var.VALUE(\\b)", ""}) {
        EXPECT_FALSE(value_test(no)) << no;
        EXPECT_FALSE(by_pattern::value_comparison(no)) << no;
    }
    auto masked_test = [](const char* t) { ResultDescriptor rd = descriptor(t); return masked_macro_test(&rd); };
    for (const char* yes : {"((&__V1&Var.VALUE(\\x))!=0x0)", "((&__V12&var.value(\\mask))>=5)",
                            "((&__V1&Var.VALUE(\\x))<ff)"}) {
        EXPECT_TRUE(masked_test(yes)) << yes;
        EXPECT_TRUE(by_pattern::masked_macro(yes)) << yes;
    }
    for (const char* no : {"((&__V1&Var.VALUE(\\x))==\\y)", "((&__V&Var.VALUE(\\x))==1)",
                           "((&__V1&Var.VALUE(\\x))==0x)", "((&__V1&Var.VALUE(\\x))==1"}) {
        EXPECT_FALSE(masked_test(no)) << no;
        EXPECT_FALSE(by_pattern::masked_macro(no)) << no;
    }
}

TEST(WhileAndDoPasses, LoopConditionNamesAndMemoryCast) {
    // HLL names outside value calls are wrapped; the calls, whatever they
    // hold, and the literals stay as they are.
    EXPECT_EQ(wrap_bare_hll_names("((\\__V2)==Var.VALUE(\\x))"), "((Var.VALUE(\\__V2))==Var.VALUE(\\x))");
    EXPECT_EQ(wrap_bare_hll_names("(Var.Value(-\\a)+((int)\\b))"), "(Var.Value(-\\a)+((int)Var.VALUE(\\b)))");
    EXPECT_EQ(wrap_bare_hll_names("(Data.Long(D:Var.VALUE((\\p+1)))!=\\q)"),
              "(Data.Long(D:Var.VALUE((\\p+1)))!=Var.VALUE(\\q))");
    EXPECT_EQ(wrap_bare_hll_names("(\\c=='!')&&(\\s==\"\\x)\")"), "(Var.VALUE(\\c)=='!')&&(Var.VALUE(\\s)==\"\\x)\")");
    EXPECT_EQ(wrap_bare_hll_names("Var.VALUE(\\x"), "Var.VALUE(\\x");
    // Only the negation of an HLL variable comes out of its call.
    EXPECT_EQ(hoist_value_negations("(Var.Value(!\\done)&&Var.Value(~\\m))"),
              "(!Var.VALUE(\\done)&&Var.Value(~\\m))");
    EXPECT_EQ(hoist_value_negations("(\"Var.Value(!\\x)\"==Var.Value(!\\))"), "(\"Var.Value(!\\x)\"==Var.Value(!\\))");
    ResultDescriptor mem = descriptor("(*((unsigned int *)0x100)!=*((unsigned int *)\\p))");
    EXPECT_STREQ(memory_cast_pass(&mem), "(data.long(D:0x100)!=data.long(D:\\p))");
    EXPECT_STREQ(mem.text, "(data.long(D:0x100)!=data.long(D:\\p))");
}

TEST(IfAndReturnPasses, DataLongAndTemporaryWrap) {
    expect_both("data_long", "Data.Long(D:(unsigned long)\\p)", "Data.Long(D:\\p)");
    expect_both("data_long", "(unsigned long)\\p", "(unsigned long)\\p");
    ResultDescriptor rd = descriptor("Data.Long(D:(unsigned long)0x10)");
    EXPECT_STREQ(data_long_pass(&rd), "Data.Long(D:0x10)");
    EXPECT_STREQ(rd.text, "Data.Long(D:(unsigned long)0x10)");

    expect_both("wrap_temporaries", "\\__x+1", "Var.VALUE(\\__x)+1");
    expect_both("wrap_temporaries", "\\__V3+1", "\\__V3+1");
    expect_both("wrap_temporaries", "Var.VALUE(\\__a)+\\__b", "Var.VALUE(\\__a)+Var.VALUE(\\__b)");
    expect_both("wrap_temporaries", "Var.VALUE(\\__a)+(unsigned int)\\__b", "Var.VALUE(\\__a)+(unsigned int)\\__b");
    expect_both("wrap_temporaries", "Var.Value(\\__a+\\__b", "Var.Value(Var.VALUE(\\__a)+Var.VALUE(\\__b)");
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
        for (const by_pattern::PassPair& pass : by_pattern::pass_pairs()) {
            EXPECT_EQ(pass.scan(t), pass.reference(t)) << pass.name;
        }
    }
}

// Texts far longer than the reference patterns may see: every scan stays
// linear and gives the result of the short form.
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
    EXPECT_EQ(wrap_bare_hll_names(repeat("Var.VALUE(\\__V1)\\a", 60000)), repeat("Var.VALUE(\\__V1)Var.VALUE(\\a)", 60000));
    EXPECT_EQ(hoist_value_negations(repeat("Var.Value(!\\a)", 60000).c_str()), repeat("!Var.VALUE(\\a)", 60000));
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
    EXPECT_TRUE(text_scan::compound_address("(*((unsigned int *)(" + name + "&__M)))", &address));
    EXPECT_EQ(address, name + "&__M");
    EXPECT_FALSE(text_scan::compound_address(repeat("(*((unsigned int *)", 50000), &address));

    EXPECT_TRUE(text_contains_var_call((name + " Var.x").c_str()));
    EXPECT_FALSE(text_contains_var_call(name.c_str()));
}

