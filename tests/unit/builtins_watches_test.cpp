#include <gtest/gtest.h>

#include <string>

#include "builtins_test_support.h"

namespace {

using namespace builtins_test;

TEST(Watches, AddWithAndWithoutFormat) {
    struct Row {
        const char* text;
        const char* out;
        const char* warning;
    };
    const Row rows[] = {
        {"\"count\"", "Var.AddWatch count\n", nullptr},
        {"\"count,x\"", "Var.AddWatch %HEX count\n", nullptr},
        {"\"a[1], \td \"", "Var.AddWatch %DECIMAL a[1]\n", nullptr},
        {"\"f(a,b),b\"", "Var.AddWatch %BINARY f(a,b)\n", nullptr},
        {"\"ch,c\"", "Var.AddWatch %ASCII ch\n", nullptr},
        {"\"v,\"", "Var.AddWatch v\n", "Formatting string not specified in GEL_WatchAdd. Assuming default format."},
        {"\"v,f\"", "Var.AddWatch v\n", "Not supported formatting string 'f' in GEL_WatchAdd. Assuming default format."},
        {"\"v, e\"", "Var.AddWatch v\n", "Not supported formatting string 'e' in GEL_WatchAdd. Assuming default format."},
        // A comma in the first position does not split.
        {"\",x\"", "Var.AddWatch ,x\n", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        Result r = run(GEL_WatchAdd, "GEL_WatchAdd", {quoted(row.text)}, 3);
        EXPECT_FALSE(r.failed);
        EXPECT_EQ(r.out, row.out);
        EXPECT_EQ(r.err, row.warning ? std::string("line 3: Warning: ") + row.warning + "\n" : std::string());
    }
}

TEST(Watches, RefusedFormats) {
    const char* const cases[][2] = {
        {"\"v,o\"", "Not supported formatting string 'o' in GEL_WatchAdd."},
        {"\"v,u\"", "Not supported formatting string 'u' in GEL_WatchAdd."},
        {"\"v,p\"", "Not supported formatting string 'p' in GEL_WatchAdd."},
        {"\"v,P\"", "Not supported formatting string 'P' in GEL_WatchAdd."},
        {"\"v,g\"", "Not supported formatting string 'g' in GEL_WatchAdd."},
        {"\"v,X\"", "Invalid formatting string 'X' in GEL_WatchAdd."},
        {"\"v,xx\"", "Invalid formatting string 'xx' in GEL_WatchAdd."},
        {"\"v,%s\"", "Invalid formatting string '%s' in GEL_WatchAdd."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        Result r = run(GEL_WatchAdd, "GEL_WatchAdd", {quoted(c[0])});
        EXPECT_TRUE(r.failed);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.message, c[1]);
    }
    EXPECT_EQ(run(GEL_WatchAdd, "GEL_WatchAdd", {variable("v")}).message,
              "First parameter of GEL_WatchAdd function must be quoted.");
    EXPECT_EQ(run(GEL_WatchAdd, "GEL_WatchAdd", {quoted("\"v\""), number("1")}).message,
              "Second parameter of GEL_WatchAdd function must be quoted.");
    EXPECT_EQ(run(GEL_WatchAdd, "GEL_WatchAdd", {quoted("\"v\""), quoted("\"l\"")}).out, "Var.AddWatch v\n");
    EXPECT_EQ(run(GEL_WatchAdd, "GEL_WatchAdd").message,
              "Too few parameters to call GEL_WatchAdd function. Expecting number of parameters in range 1 to 2.");
}

TEST(Watches, DeleteAndReset) {
    EXPECT_EQ(run(GEL_WatchDel, "GEL_WatchDel", {quoted("\"count,x\"")}).out, "Var.DelWatch count\n");
    EXPECT_EQ(run(GEL_WatchDel, "GEL_WatchDel", {quoted("\"a,b,c\""), quoted("\"z\"")}).out, "Var.DelWatch a,b\n");
    EXPECT_EQ(run(GEL_WatchDel, "GEL_WatchDel", {quoted("\",v\"")}).out, "Var.DelWatch ,v\n");
    EXPECT_EQ(run(GEL_WatchDel, "GEL_WatchDel").message,
              "Too few parameters to call GEL_WatchDel function. Expecting 1 parameters.");
    EXPECT_EQ(run(GEL_WatchDel, "GEL_WatchDel", {quoted("\"a\""), quoted("\"b\""), quoted("\"c\"")}).message,
              "Too many parameters to call GEL_WatchDel function. Expecting 2 parameters.");
    EXPECT_EQ(run(GEL_WatchDel, "GEL_WatchDel", {variable("a")}).message,
              "First parameter of GEL_WatchDel function must be quoted.");
    EXPECT_EQ(run(GEL_WatchReset, "GEL_WatchReset").out, "Var.DelWatch %ALL\n");
    EXPECT_EQ(run(GEL_WatchReset, "GEL_WatchReset", {number("1")}).message,
              "Too many parameters to call GEL_WatchReset function. Expecting 0 parameters.");
}

}  // namespace
