#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "driver/format_output.h"

namespace {

std::string format(const std::string& body) {
    FILE* in = tmpfile();
    FILE* out = tmpfile();
    fwrite(body.data(), 1, body.size(), in);
    rewind(in);
    format_output(in, out);
    std::string result;
    rewind(out);
    int c;
    while ((c = fgetc(out)) != EOF) result += static_cast<char>(c);
    fclose(in);
    fclose(out);
    return result;
}

}  // namespace

TEST(FormatOutput, IndentsOneTabPerOpenLevel) {
    EXPECT_EQ(format("StartUp\n(\nGO\n(\nSTEP\n)\n)\nRETURN\n"),
              "StartUp\n(\n\tGO\n\t(\n\t\tSTEP\n\t)\n)\nRETURN\n");
}

TEST(FormatOutput, FirstLineIsCopiedAsItStands) {
    // The first line is never examined, so a "(" there opens nothing.
    EXPECT_EQ(format("(\nA\n)\nB\n"), "(\nA\n)\nB\n");
}

TEST(FormatOutput, LabelLinesStayInColumnZero) {
    EXPECT_EQ(format("X\n(\n__L0:\n_x\nA\n)\n"), "X\n(\n__L0:\n\t_x\n\tA\n)\n");
}

TEST(FormatOutput, ParenthesesInsideALineChangeNothing) {
    EXPECT_EQ(format("X\n(\nIF (a)\n(b\n)c\nZ\n"), "X\n(\n\tIF (a)\n\t(b\n)c\nZ\n");
}

TEST(FormatOutput, EmptyLinesGetTheCurrentIndentation) {
    EXPECT_EQ(format("X\n(\n\n\nA\n)\n"), "X\n(\n\t\n\t\n\tA\n)\n");
}

TEST(FormatOutput, CloseAtDepthZeroStaysAtZero) {
    EXPECT_EQ(format("X\n)\n)\nA\n(\nB\n"), "X\n)\n)\nA\n(\n\tB\n");
}

TEST(FormatOutput, BareOpenAtTheVeryEndIsDropped) {
    EXPECT_EQ(format("X\nA\n("), "X\nA\n");
    EXPECT_EQ(format("X\n(\nA"), "X\n(\n\tA");
}

TEST(FormatOutput, EmptyAndSingleLineBodies) {
    EXPECT_EQ(format(""), "");
    EXPECT_EQ(format("only"), "only");
    EXPECT_EQ(format("only\n"), "only\n");
}
