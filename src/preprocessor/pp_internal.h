// State and routines shared by the files of the preprocessor.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <unordered_set>
#include <vector>

#include "preprocessor/preprocessor.h"

// --- special bytes of the preprocessor's own texts ---
constexpr int END_OF_INPUT = 0;
constexpr int NO_EXPAND_MARK = 0x1D;    // macro name that must not be expanded again
constexpr int TOKEN_SEPARATOR = 0x1E;   // token pasting
constexpr int COMMENT_SEPARATOR = 0x1F;
constexpr int LITERAL_NEXT = 0x1C;      // in function-like bodies: the next byte is not a parameter
constexpr int PARAMETER_BASE = 0x7F;    // parameter i is the byte 0x7F + i
constexpr int PASS_THROUGH = 256;       // reader result: a "//!" line was read into pass_through_text
constexpr int COMMENT_BLANK = 257;      // reader step result: the blank a comment inside a line leaves

constexpr size_t LINE_BUFFER_SIZE = 4095;   // characters read from a file at a time
constexpr size_t WORK_BUFFER_SIZE = 4096;
constexpr size_t IDENTIFIER_LIMIT = 127;
constexpr size_t PARAMETER_AREA_SIZE = 8192;
constexpr int MAX_PARAMETERS = 31;
constexpr int CONDITIONAL_STACK_SIZE = 32;  // entry 0 is the whole preprocessor
constexpr int RECURSION_LIMIT = 1000;
constexpr int INCLUDE_DEPTH_LIMIT = 200;  // files open at once, the input included

// --- character classes ---
bool is_digit(int c);
bool is_identifier_start(int c);  // letters, "_", "$", 0x1D
bool is_identifier_char(int c);   // identifier start or digit
bool is_blank(int c);             // tab, space, 0x1F

// --- sources ---
struct InputSource {
    std::string buffer;        // file: kept tail of the previous chunk + current line; macro: expansion
    size_t pos = 0;
    size_t line_start = 0;     // start of the current line in buffer (files)
    long saved_line = 0;       // line number of this source while another one is on top
    long shown_line = 0;       // the same, as messages name it (the line of an #include)
    FILE* file = nullptr;      // absent for a macro expansion
    bool close_file = false;   // false for the standard input
    bool file_ended = false;
    InputSource* parent = nullptr;
    std::string name;          // file name, or macro name for an expansion
    bool has_line_name = false;
    std::string line_name;     // name given by a "line" directive
};

// Number of files on the source stack.
int open_file_count();

struct MacroDefinition {
    bool has_replacement = false;  // absent for __LINE__ and __FILE__
    std::string replacement;
    std::string body;              // the body as read: what #if and #include expand to
    unsigned hash = 0;
    int parameter_count = -1;      // -1 object-like, -2 __LINE__, -3 __FILE__, 0..31 function-like
    MacroConversionKind conversion_kind = MC_EXPANDED;
    std::string name;
};

// Conditional group flags.
constexpr uint8_t GROUP_ENCLOSING_ACTIVE = 1;
constexpr uint8_t GROUP_ELSE_SEEN = 2;
constexpr uint8_t GROUP_BRANCH_TAKEN = 4;

struct PreprocessorState {
    // per run
    InputSource* current = nullptr;
    long line = 1;
    bool active = true;
    uint8_t conditional_stack[CONDITIONAL_STACK_SIZE] = {};
    int depth = 0;  // open groups
    std::string comment_buffer;
    int error_count = 0;
    int closed_block_comments = 0;
    bool marker_due = false;
    bool raw_mode = false;        // inside literals and include names
    bool body_raw = false;        // reading a #define body: backslashes returned as they are
    bool line_start_scan = false; // skipping the blanks at the start of a line
    bool in_directive = false;
    bool eof_state = false;       // the last character read was the end of input
    bool comment_blank_returned = false;  // the last character read was the blank a comment left
    bool comment_blank_pending = false;   // that blank was stepped back over
    std::string pass_through_text;
    long pass_through_line = 0;
    long directive_line = 0;
    int expansion_count = 0;
    std::string chain_start;
    // the output
    long out_line = 1;            // line the scanner gives to the next output line
    bool at_line_start = true;
    // kept across the runs of one conversion
    bool first_run = true;
    bool has_last_marker_name = false;
    std::string last_marker_name;
    std::vector<std::string> include_dirs;
    std::vector<std::string> converted_functions;
    std::unordered_set<std::string> converted_set;
    const char* macro_file = nullptr;
};
extern PreprocessorState pp;

// --- reader (pp_reader.cpp) ---
int get_char();             // next character after comments, continuations and blanks handling
int get_raw();              // next byte of the source stack, only newlines counted
int peek_raw();             // next byte of the current source without taking it, -1 at its end
void unget_char();          // steps back over the last character returned
void push_file(FILE* file, const std::string& name, bool close_file);
void push_macro(const std::string& name, const std::string& text);
void pop_source();
void free_sources();
bool current_is_file();
InputSource* innermost_file();
const std::string& effective_name(const InputSource* s);
void skip_to_newline();     // reads up to the newline and leaves it unread
int skip_blanks();          // first character that is not a blank
std::string read_identifier(int first);  // first character given; terminator left unread

// --- output (pp_output.cpp) ---
void out_char(int c);
void out_text(const std::string& s);
void out_format(const char* format, ...) __attribute__((format(printf, 1, 2)));
void write_line_marker(long number);
void sync_output(long target_line, bool force_marker);
void flush_comment_buffer();
void end_output_line();

// --- messages (pp_messages.cpp) ---
void pp_warning(const char* format, ...) __attribute__((format(printf, 1, 2)));
void pp_error(const char* format, ...) __attribute__((format(printf, 1, 2)));
[[noreturn]] void pp_fatal(const char* format, ...) __attribute__((format(printf, 1, 2)));

// --- directives (pp_directives.cpp) and #if (pp_eval.cpp) ---
void process_directive();
int32_t evaluate_expression();

// --- macros (macro_table.cpp, macro_define.cpp, macro_expand.cpp) ---
MacroDefinition* lookup_macro(const std::string& name);
MacroDefinition* enter_macro(const std::string& name, bool* existed);
void remove_macro(const std::string& name);
void clear_macro_table();
void define_predefined_macros();
void define_macro(const char* macrofilename);
void undefine_macro();
enum class Expansion { pushed, not_expanded, dropped };
// The identifier has been read and its terminator left unread.
Expansion expand_macro(MacroDefinition* m, bool from_file);
std::string truncated_name(const std::string& name);
// Conversion helpers, exposed for the tests.
std::string add_decimal_points(const std::string& text);
