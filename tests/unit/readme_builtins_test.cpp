// The README's table of built-ins is generated from the program's own table;
// this test fails when they drift apart. UPDATE_README=1 rewrites the table.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "builtins/builtins.h"

namespace {

const char* const kBegin = "<!-- built-ins table: generated, see tests/unit/readme_builtins_test.cpp -->\n";
const char* const kEnd = "<!-- end of built-ins table -->\n";

std::string generated_table() {
    std::string supported, unsupported;
    int n_supported = 0, n_unsupported = 0;
    for (int i = 0; i < GEL_FUNCTION_COUNT; ++i) {
        std::string& list = gel_function_unsupported(i) ? unsupported : supported;
        (gel_function_unsupported(i) ? n_unsupported : n_supported)++;
        if (!list.empty()) list += ", ";
        list += "`" + std::string(gel_function_names[i]) + "`";
    }
    std::ostringstream out;
    out << "| | count | built-ins |\n| --- | ---: | --- |\n";
    out << "| translated | " << n_supported << " | " << supported << " |\n";
    out << "| not supported by KALDRA (an error, or with `-d` a warning and a comment line) | " << n_unsupported
        << " | " << unsupported << " |\n";
    return out.str();
}

}  // namespace

TEST(Readme, BuiltinsTableMatchesTheProgram) {
    std::string path = std::string(GEL2QUERNA_SOURCE_DIR) + "/README.md";
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    std::stringstream ss;
    ss << in.rdbuf();
    std::string readme = ss.str();
    size_t begin = readme.find(kBegin);
    size_t end = readme.find(kEnd);
    ASSERT_NE(begin, std::string::npos) << "README lacks the built-ins table markers";
    ASSERT_NE(end, std::string::npos);
    begin += std::string(kBegin).size();
    std::string table = generated_table();
    if (std::getenv("UPDATE_README")) {
        readme.replace(begin, end - begin, table);
        std::ofstream(path, std::ios::binary) << readme;
    }
    EXPECT_EQ(readme.substr(begin, end - begin), table);
}
