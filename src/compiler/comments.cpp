// Comment blocks and converted macro lines: comments go to the program text
// or, with the macro lines, to the macro file.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "compiler/codegen.h"
#include "driver/checked_write.h"
#include "driver/diagnostics.h"
#include "frontend/tree.h"

namespace {

// A comment or define block is left-recursive: each level is [nested block
// or leading comment block, token] or [token] (levels_in_source_order).

// The macro file, opened for appending on the first line written.
struct MacroFile {
    const char* path;
    FILE* file = nullptr;
    explicit MacroFile(const char* p) : path(p) {}
    ~MacroFile() {
        if (file && !close_checked(file)) note_write_failure(WF_MACRO, path, errno);
    }
    void line(const char* text) {
        if (!file && path) file = std::fopen(path, "a");
        if (file) std::fprintf(file, "%s\n", text);
    }
};

void write_comments(List* list, bool to_macro_file, MacroFile& macros) {
    for (List* level : levels_in_source_order(list, ID_dts_comment)) {
        for (tree_element* e = level->first; e; e = e->next) {
            if (e->id != ID_COMMENT || !e->txt) continue;
            if (to_macro_file)
                macros.line(e->txt);
            else
                std::printf("%s\n", e->txt);
        }
    }
}

// The QUERNA text of a macro line "// #dtsdefin" + marker + blank + text, or
// null for the closing marker "e" (and for a line too short to carry text).
const char* macro_line_text(const char* line) {
    const size_t marker = 12;
    size_t length = std::strlen(line);
    if (length <= marker || line[marker] == 'e') return nullptr;
    return length > marker + 2 ? line + marker + 2 : "";
}

}  // namespace

// dts_comment = dts_comment COMMENT | COMMENT
int C_dts_comment(List* list, bool to_macro_file, const char* macrofilename) {
    if (error_flag) return 0;
    debug_trace_line("In C_dts_comment()");
    MacroFile macros(macrofilename);
    write_comments(list, to_macro_file, macros);
    return 0;
}

// dts_define = MACRO | dts_define MACRO | dts_comment MACRO
int C_dts_define(List* list, const char* macrofilename) {
    if (error_flag) return 0;
    debug_trace_line("In C_dts_define()");
    MacroFile macros(macrofilename);
    for (List* level : levels_in_source_order(list, ID_dts_define)) {
        for (tree_element* e = level->first; e; e = e->next) {
            if (e->id == ID_dts_comment) {
                debug_trace_line("In C_dts_comment()");
                write_comments(e->child, true, macros);
            } else if (e->id == ID_MACRO && e->txt) {
                if (const char* text = macro_line_text(e->txt)) macros.line(text);
            }
        }
    }
    return 0;
}
