#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "pattern_passes.h"
#include "rewrite/condition.h"
#include "rewrite/condition_tree.h"
#include "test_support.h"

using namespace CondExpression;
using by_pattern::kConditionTokens;

namespace {

// The conversion by the token scans and by their reference patterns; they must agree.
std::string convert(const std::string& condition) {
    std::string by_pattern = convert_condition_with(condition, kConditionTokens);
    std::string by_hand = convert_condition_with(condition, kScannedTokens);
    EXPECT_EQ(by_pattern, by_hand) << "scan and pattern differ on " << condition;
    EXPECT_EQ(convert_condition(condition), by_pattern);
    return by_hand;
}

std::string parse_error(const std::string& text) {
    std::string messages[2];
    int i = 0;
    for (const TokenRules* rules : {&kConditionTokens, &kScannedTokens}) {
        try {
            parse_condition(text, *rules);
            messages[i] = "parsed";
        } catch (const ParseError& e) {
            messages[i] = e.what();
        }
        ++i;
    }
    EXPECT_EQ(messages[0], messages[1]) << text;
    return messages[1];
}

// The tree's grouping, with brackets around each node.
std::string shape(const Operand& operand) {
    if (const auto* leaf = std::get_if<std::string>(&operand)) return *leaf;
    const Node& n = *std::get<std::shared_ptr<Node>>(operand);
    if (n.op == "!" || n.op == "~") return n.op + shape(n.right);
    return "[" + shape(n.left) + " " + n.op + " " + shape(n.right) + "]";
}

std::string repeat(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) out += piece;
    return out;
}

}  // namespace

TEST(ConditionConversion, WorkedExamples) {
    EXPECT_EQ(convert("(\\x<3)"), "(\\x<3)");
    EXPECT_EQ(convert("((\\a&1)&&(\\b))"), "(((\\a&1)!=0)&&(\\b!=0))");
    EXPECT_EQ(convert("(\\a&&\\b)"), "((\\a!=0)&&(\\b!=0))");
    EXPECT_EQ(convert("((\\a<\\b)&\\c)"), "(((Convert.BoolToInt(\\a<\\b))&\\c)!=0)");
    EXPECT_EQ(convert("(!\\a)"), "(\\a==0)");
    EXPECT_EQ(convert("(\\x<=3)"), "(\\x<=3)");
}

TEST(ConditionConversion, RootRows) {
    EXPECT_EQ(convert("(\\flag)"), "(\\flag!=0)");               // a string
    EXPECT_EQ(convert("(!\\a)"), "(\\a==0)");                     // "!"
    EXPECT_EQ(convert("(~\\a)"), "((~(\\a)!=0))");                // "~"
    EXPECT_EQ(convert("(\\a&1)"), "((\\a&1)!=0)");                // arithmetic
    EXPECT_EQ(convert("(\\a<<2)"), "((\\a<<2)!=0)");
    EXPECT_EQ(convert("(\\a%\\b)"), "((\\a%\\b)!=0)");
    EXPECT_EQ(convert("(\\a||\\b)"), "((\\a!=0)||(\\b!=0))");    // logical
    EXPECT_EQ(convert("(\\a!=3)"), "(\\a!=3)");                  // comparison
    EXPECT_EQ(convert("(\\a>\\b)"), "(\\a>\\b)");
}

TEST(ConditionConversion, OperandRows) {
    // Strings: a truth value under a logical operator, else as they are.
    EXPECT_EQ(convert("(\\a&&5)"), "((\\a!=0)&&(5!=0))");
    EXPECT_EQ(convert("(\\a==5)"), "(\\a==5)");
    // "~" under arithmetic or comparison.
    EXPECT_EQ(convert("(~\\a+1)"), "(((~\\a)+1)!=0)");
    EXPECT_EQ(convert("(~\\a==1)"), "((~\\a)==1)");
    // "~" where a truth value is wanted: the complement tested for non-zero.
    EXPECT_EQ(convert("(~\\a&&\\b)"), "(((~(\\a)!=0))&&(\\b!=0))");
    EXPECT_EQ(convert("(!(~\\a))"), "(((~(\\a)!=0))==0)");
    EXPECT_EQ(convert("(~(~\\a))"), "((~(((~(\\a)!=0)))!=0))");
    // "!" under bitwise and/or, other arithmetic, comparison, logical, unary.
    EXPECT_EQ(convert("(!\\a&\\b)"), "(((~\\a)&\\b)!=0)");
    EXPECT_EQ(convert("(!\\a|\\b)"), "(((~\\a)|\\b)!=0)");
    EXPECT_EQ(convert("(!\\a+1)"), "(((!\\a)+1)!=0)");
    EXPECT_EQ(convert("(!\\a==1)"), "((!\\a)==1)");
    EXPECT_EQ(convert("(!\\a||\\b)"), "((\\a==0)||(\\b!=0))");
    EXPECT_EQ(convert("(!(!\\a))"), "((\\a==0)==0)");
    // Arithmetic nodes: a truth value under a logical operator.
    EXPECT_EQ(convert("((\\a+1)||\\b)"), "(((\\a+1)!=0)||(\\b!=0))");
    EXPECT_EQ(convert("((\\a+1)<\\b)"), "((\\a+1)<\\b)");
    EXPECT_EQ(convert("((\\a+1)*\\b)"), "(((\\a+1)*\\b)!=0)");
    // Logical and comparison nodes: numbers except under a logical operator.
    EXPECT_EQ(convert("((\\a<1)&&(\\b==2))"), "((\\a<1)&&(\\b==2))");
    EXPECT_EQ(convert("((\\a<\\b)==(\\c>\\d))"), "((Convert.BoolToInt(\\a<\\b))==(Convert.BoolToInt(\\c>\\d)))");
    EXPECT_EQ(convert("((\\a&&\\b)+1)"), "(((Convert.BoolToInt((\\a!=0)&&(\\b!=0)))+1)!=0)");
    EXPECT_EQ(convert("(!(\\a<\\b))"), "((Convert.BoolToInt(\\a<\\b))==0)");
}

TEST(ConditionConversion, ChainsGroupWithoutPrecedence) {
    EXPECT_EQ(shape(parse_condition("\\a+\\b-\\c", kScannedTokens)), "[[\\a + \\b] - \\c]");
    EXPECT_EQ(shape(parse_condition("a<b&&c>d", kConditionTokens)), "[[a < b] && [c > d]]");
    EXPECT_EQ(shape(parse_condition("a+b*c-d/e", kScannedTokens)), "[[a + b] * [[c - d] / e]]");
    EXPECT_EQ(shape(parse_condition("a+b*c-d/e", kConditionTokens)), "[[a + b] * [[c - d] / e]]");
    EXPECT_EQ(shape(parse_condition("a+b*c-d/e%f", kScannedTokens)), "[[a + b] * [[c - d] / [e % f]]]");
    EXPECT_EQ(shape(parse_condition("!a&&(b||~c)", kScannedTokens)), "[!a && [b || ~c]]");
    EXPECT_EQ(convert("(\\a==1&&\\b)"), "((\\a==1)&&(\\b!=0))");
    EXPECT_EQ(convert("(\\a&&\\b==1)"), "((Convert.BoolToInt((\\a!=0)&&(\\b!=0)))==1)");
    EXPECT_EQ(convert("(\\a+\\b-\\c)"), "(((\\a+\\b)-\\c)!=0)");
}

TEST(ConditionConversion, OperandForms) {
    EXPECT_EQ(convert("(&__V3==1)"), "(&__V3==1)");
    EXPECT_EQ(convert("(&__V3&\\a)"), "((&__V3&\\a)!=0)");
    EXPECT_EQ(convert("(data.long(D:0x100)==1)"), "(data.long(D:0x100)==1)");
    EXPECT_EQ(convert("(Data.Word(D:(\\p+2))&&1)"), "((Data.Word(D:(\\p+2))!=0)&&(1!=0))");
    EXPECT_EQ(convert("(Var.VALUE(\\x)&&\\y)"), "((Var.VALUE(\\x)!=0)&&(\\y!=0))");
    EXPECT_EQ(convert("(f(\\x)&1)"), "((f(\\x)&1)!=0)");
    // A call reaches the last ")" of the text, operators and all.
    EXPECT_EQ(convert("(f(\\x)&g(\\y))"), "(f(\\x)&g(\\y)!=0)");
    EXPECT_EQ(convert("(\\a==0x1F)"), "(\\a==0x1F)");
    EXPECT_EQ(convert("(\\a>1.5)"), "(\\a>1.5)");
    EXPECT_EQ(convert("(5)"), "(5!=0)");
    EXPECT_EQ(convert("(FLAG&&\\b)"), "((FLAG!=0)&&(\\b!=0))");
    EXPECT_EQ(convert("\\a&&\\b"), "((\\a!=0)&&(\\b!=0))");                    // no outer pair
    EXPECT_EQ(convert("(\\a)&&(\\b)"), "(\\a!=0)");                             // text after the pair is dropped
}

TEST(ConditionConversion, FailuresGiveTheInputBack) {
    for (const char* unchanged : {"", "()", "(!!\\a)", "(\\a==-1)", "(\\x<=3)", "(\\x>=3)", "(\\a&&(\\b)",
                                  "\\a&&(\\b", "(\\a=1)", "(\\a && \\b)", "(\\s==\"x\")", "(\\a&&)",
                                  "(_x)", "(\\1)", "(data.long)", "(!)"})
        EXPECT_EQ(convert(unchanged), unchanged);
}

TEST(ConditionConversion, ParseErrorMessages) {
    EXPECT_EQ(parse_error(""), "missing lt");
    EXPECT_EQ(parse_error("\\a&&()"), "missing lt");
    EXPECT_EQ(parse_error("\\a&&"), "missing rt");
    EXPECT_EQ(parse_error("\\a&&\\b||"), "missing rt");
    EXPECT_EQ(parse_error("(\\a"), "brackets error");
    EXPECT_EQ(parse_error("-1"), "parse arg error");
    EXPECT_EQ(parse_error("!!\\a"), "parse arg error");
    EXPECT_EQ(parse_error("\\a<=3"), "parse arg error");
    EXPECT_EQ(parse_error("\\1"), "match arg error");
    EXPECT_EQ(parse_error("@1"), "match arg error");
    EXPECT_EQ(parse_error("\\a=1"), "unknown op: =");
    EXPECT_EQ(parse_error("\\a \\b"), "unknown op:  ");
    EXPECT_EQ(parse_error("data.x+1"), "unknown op: .");
    EXPECT_EQ(parse_error("\\a!=3"), "parsed");
}

TEST(ConditionConversion, WrapHllValue) {
    EXPECT_EQ(wrap_hll_value("\\x"), "Var.VALUE(\\x)");
    EXPECT_EQ(wrap_hll_value("\\_a+1"), "Var.VALUE(\\_a+1)");
    EXPECT_EQ(wrap_hll_value("x"), "x");
    EXPECT_EQ(wrap_hll_value("\\1"), "\\1");
    EXPECT_EQ(wrap_hll_value("&__V1"), "&__V1");
    EXPECT_EQ(wrap_hll_value(""), "");
    std::string long_name = "\\" + std::string(1 << 20, 'q');
    EXPECT_EQ(wrap_hll_value(long_name), "Var.VALUE(" + long_name + ")");
    EXPECT_EQ(wrap_hll_value(std::string(1 << 20, 'q')), std::string(1 << 20, 'q'));
}

TEST(ConditionConversion, ScansAgreeWithTheirPatternsOnGeneratedConditions) {
    const char* pieces[] = {"\\a", "\\b_1", "@__V2", "&__V3", "5", "0x1F", "1.5", "cafe", "data.long(D:0x1)",
                            "Var.VALUE(\\x)", "f(\\y)", "(", ")", "!", "~", "&&", "||", "==", "!=", "<", "<=",
                            ">", ">=", "<<", ">>", "+", "-", "*", "/", "%", "&", "|", "=", " ", "\n", "\r", "_z",
                            "Data.x", "var.value()", "g(", "VAR.VALUE(@__a)"};
    std::mt19937 random(8122026);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1), count(1, 12);
    for (int i = 0; i < 4000; ++i) {
        std::string t;
        for (std::size_t n = count(random); n > 0; --n) t += pieces[piece(random)];
        SCOPED_TRACE(t);
        ASSERT_EQ(convert_condition_with(t, kConditionTokens), convert_condition_with(t, kScannedTokens));
        parse_error(t);
    }
}

// Long conditions: chains are parsed in a loop and written with an explicit
// stack, and no pattern runs over the long text.
TEST(ConditionConversion, LongConditions) {
    const std::size_t pairs = 50001;  // 100 002 operands, 100 001 operators
    std::string chain = "\\a";
    for (std::size_t i = 1; i < 2 * pairs; ++i) chain += "&&\\a";
    const std::string pair = "((\\a!=0)&&(\\a!=0))";
    EXPECT_EQ(convert_condition("(" + chain + ")"), repeat("(" + pair + "&&", pairs - 1) + pair + repeat(")", pairs - 1));
    EXPECT_EQ(convert_condition("(" + chain + "<=1)"), "(" + chain + "<=1)");
    const std::size_t sum_pairs = 50000;  // 100 001 operands
    const std::string sum = "(" + repeat("\\a+", 2 * sum_pairs) + "\\a)";
    const std::string two = "(\\a+\\a)";
    EXPECT_EQ(convert_condition(sum), "((" + two + "+" + repeat("(" + two + "+", sum_pairs - 1) + "\\a" +
                                          repeat(")", sum_pairs - 1) + ")!=0)");
    EXPECT_EQ(convert("(\\a+\\a+\\a+\\a+\\a)"), "((" + two + "+(" + two + "+\\a))!=0)");

    const std::string megabyte(1 << 20, 'm');
    const std::string literal = "(\\s==\"" + megabyte + "\")";
    EXPECT_EQ(convert_condition(literal), literal);
    EXPECT_EQ(convert_condition("(\\" + megabyte + ")"), "(\\" + megabyte + "!=0)");
    EXPECT_EQ(convert_condition("(f(" + megabyte + ")&1)"), "((f(" + megabyte + ")&1)!=0)");
    EXPECT_EQ(convert_condition("(Var.VALUE(\\" + megabyte + ")&&\\b)"),
              "((Var.VALUE(\\" + megabyte + ")!=0)&&(\\b!=0))");
    EXPECT_EQ(convert_condition("(data.long(D:" + megabyte + ")==1)"), "(data.long(D:" + megabyte + ")==1)");
    EXPECT_EQ(convert_condition("(\\a==0x" + std::string(1 << 20, 'f') + ")"), "(\\a==0x" + std::string(1 << 20, 'f') + ")");
    const std::string opens = repeat("a(", 300000);
    EXPECT_EQ(convert_condition("(" + opens + ")"), "(" + opens + ")");

    const std::string near_limit(kRegexTextLimit - 20, 'k');
    for (const std::string& t : {"(f(" + near_limit + ")&1)", "(Var.VALUE(\\" + near_limit + ")&&1)",
                                 "(\\a==0x" + std::string(kRegexTextLimit - 20, 'f') + ")"})
        EXPECT_EQ(convert_condition_with(t, kConditionTokens), convert_condition_with(t, kScannedTokens));

    const std::size_t depth = 3000;
    test_support::run_with_program_stack([&] {
        EXPECT_EQ(convert_condition(repeat("(", depth) + "\\a" + repeat(")", depth)), "(\\a!=0)");
        EXPECT_EQ(convert_condition(repeat("(", depth) + "\\a&&" + repeat(")", depth)),
                  repeat("(", depth) + "\\a&&" + repeat(")", depth));
    });
}
