// Conversion of whole GEL texts by the code generator, as the driver runs it,
// for the program frame, declaration and menu tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "compiler/codegen.h"
#include "compiler/compiler.h"
#include "driver/diagnostics.h"
#include "frontend_test_support.h"
#include "test_support.h"

namespace compile_test {

struct Output {
    std::string out;
    std::string err;
};

// Parses `gel`, which must be accepted.
inline void parse_accepted(const std::string& gel) {
    frontend_test::ParseResult parsed = frontend_test::parse_text(gel);
    ASSERT_EQ(parsed.status, 0) << gel << "\n" << parsed.errors;
    ASSERT_EQ(parsed.errors, "") << gel;
}

// The list of the first element of kind `id` in the parsed tree.
inline List* first_list(uint32_t id) {
    tree_element* e = frontend_test::find_first(tree, id);
    EXPECT_NE(e, nullptr) << "no element of kind " << id;
    return e ? e->child : nullptr;
}

// Parses `gel`, regroups its menus and compiles it into `output`, with the
// macro file in this test process's own path.
inline Output compile_text(const std::string& gel, const char* output = "out.cmm") {
    parse_accepted(gel);
    message_buffer.clear();
    regroup_menus(tree);
    Output r;
    test_support::Capture err(stderr);
    test_support::Capture out(stdout);
    compile(tree, output, test_support::private_path("compile_test_macros.dts").c_str());
    r.out = out.text();
    r.err = err.text();
    return r;
}

// The text from `marker` on, empty when it does not occur.
inline std::string after(const std::string& text, const std::string& marker) {
    size_t at = text.find(marker);
    return at == std::string::npos ? std::string() : text.substr(at);
}

}  // namespace compile_test
