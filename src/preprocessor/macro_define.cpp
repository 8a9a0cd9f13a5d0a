// #define and #undef: reading a definition, classifying it, and converting
// it into a QUERNA macro variable or a GEL function in the macro file.
#include <cerrno>
#include <cstring>
#include <map>

#include "driver/characters.h"
#include "driver/checked_write.h"
#include "preprocessor/pp_internal.h"

namespace {

using ascii::is_alnum;
using ascii::is_hex_digit;
using ascii::is_letter;
bool is_parameter_byte(unsigned char b) { return b >= PARAMETER_BASE && b < PARAMETER_BASE + MAX_PARAMETERS; }

const char* const INFO = "CONVERTER INFO: ";

std::string parameter_name(size_t index) {
    if (index < 26) return std::string("__") + static_cast<char>('a' + index);
    return "__p" + std::to_string(index);
}

// --- reading ---

struct Definition {
    std::string name;
    bool function_like = false;
    std::vector<std::string> parameters;
    std::string body;
    std::vector<size_t> continuations;  // where the body's backslash-newlines stood
};

void syntax_error() {
    unget_char();
    pp_error("#define syntax error");
    skip_to_newline();
}

bool read_parameters(Definition* d) {
    size_t area = 0;
    int c = skip_blanks();
    if (c == ')') return true;
    for (;;) {
        if (!is_identifier_start(c) || c == NO_EXPAND_MARK) {
            syntax_error();
            return false;
        }
        std::string p = truncated_name(read_identifier(c));
        if (d->parameters.size() == static_cast<size_t>(MAX_PARAMETERS)) pp_fatal("Too many arguments for macro");
        area += p.size() + 1;
        if (area > PARAMETER_AREA_SIZE) pp_fatal("Macro work area overflow");
        d->parameters.push_back(p);
        c = skip_blanks();
        if (c == ')') return true;
        if (c != ',') {
            syntax_error();
            return false;
        }
        c = skip_blanks();
    }
}

void read_body(Definition* d) {
    std::string& body = d->body;
    auto check = [&]() {
        if (body.size() > WORK_BUFFER_SIZE) {
            pp.body_raw = false;
            pp.raw_mode = false;
            pp_fatal("Work buffer overflow:  %s", d->name.c_str());
        }
    };
    // input bytes that could be taken for parameters are marked as literal
    auto store = [&](int c) {
        if (d->function_like && (c == LITERAL_NEXT || is_parameter_byte(static_cast<unsigned char>(c))))
            body += static_cast<char>(LITERAL_NEXT);
        body += static_cast<char>(c);
        check();
    };
    pp.body_raw = true;
    for (;;) {
        int c = get_char();
        if (c == '\n' || c == END_OF_INPUT) {
            unget_char();
            break;
        }
        if (is_digit(c) || (c == '.' && is_digit(peek_raw()))) {
            store(c);
            while (is_identifier_char(c = get_char()) || c == '.') store(c);
            unget_char();
            continue;
        }
        if (c == '"' || c == '\'') {
            int quote = c;
            store(c);
            pp.raw_mode = true;
            for (;;) {
                c = get_char();
                if (c == '\n' || c == END_OF_INPUT) {
                    unget_char();
                    break;
                }
                store(c);
                if (c == quote) break;
                if (c == '\\') {
                    c = get_char();
                    if (c == END_OF_INPUT) break;
                    store(c);
                    if (c == '\n') pp.marker_due = true;
                }
            }
            pp.raw_mode = false;
            continue;
        }
        if (is_identifier_start(c)) {
            std::string id = read_identifier(c);
            std::string key = truncated_name(id);
            bool replaced = false;
            if (d->function_like) {
                for (size_t i = 0; i < d->parameters.size(); ++i) {
                    if (d->parameters[i] == key) {
                        body += static_cast<char>(PARAMETER_BASE + i);
                        replaced = true;
                        break;
                    }
                }
            }
            if (!replaced) {
                if (key == d->name) body += static_cast<char>(NO_EXPAND_MARK);
                body += id;
            }
            check();
            continue;
        }
        if (c == ' ' || c == '\t' || c == COMMENT_SEPARATOR) {
            if (body.empty() || body.back() != ' ') body += ' ';
            continue;
        }
        if (c == '\\') {
            store(c);
            c = get_char();
            if (c == END_OF_INPUT) break;
            if (c == '\n') pp.marker_due = true;
            store(c);
            continue;
        }
        store(c);
    }
    pp.body_raw = false;
    if (!body.empty() && body.back() == ' ') body.pop_back();
    // a continued body never brings a newline into the text of an expansion
    for (size_t i = 0; i + 1 < body.size(); ++i)
        if (body[i] == '\\' && body[i + 1] == '\n') {
            body[i] = body[i + 1] = ' ';
            d->continuations.push_back(i);
        }
}

// --- classification ---

// A "#" or "##" outside the literals of a body: C's stringizing and pasting,
// which only an expansion in place can do.
bool has_hash_operator(const std::string& b) {
    for (size_t i = 0; i < b.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(b[i]);
        if (c == LITERAL_NEXT) {
            ++i;
        } else if (c == '"' || c == '\'') {
            for (++i; i < b.size() && b[i] != static_cast<char>(c); ++i)
                if (b[i] == '\\' || b[i] == LITERAL_NEXT) ++i;
        } else if (c == '#') {
            return true;
        }
    }
    return false;
}

// A body that is one statement with its ";": the uses of the macro bring a
// ";" of their own.
bool ends_with_semicolon(const std::string& b) {
    size_t end = b.find_last_not_of(" \t");
    return end != std::string::npos && b[end] == ';';
}

char first_significant(const std::string& body) {
    for (char c : body)
        if (c != ' ' && c != '\t' && c != '(') return c;
    return 0;
}

// A ";" followed later by anything but blanks, newlines or backslashes.
bool has_statements(const std::string& body) {
    size_t semi = body.find(';');
    if (semi == std::string::npos) return false;
    for (size_t i = semi + 1; i < body.size(); ++i) {
        char c = body[i];
        if (c != ' ' && c != '\t' && c != '\n' && c != '\\') return true;
    }
    return false;
}

bool only_blanks_from(const std::string& s, size_t i) {
    for (; i < s.size(); ++i)
        if (s[i] != ' ' && s[i] != '\t') return false;
    return true;
}

// Closing parentheses matching `open`, then nothing but blanks.
bool closes_frame(const std::string& s, size_t i, size_t open) {
    for (size_t k = 0; k < open; ++k, ++i)
        if (i >= s.size() || s[i] != ')') return false;
    return only_blanks_from(s, i);
}

// A decimal or hexadecimal constant (MC_EXPANDED when the body is neither);
// `value` receives the converted body.
MacroConversionKind classify_constant(const std::string& b, std::string* value) {
    size_t n = b.size(), i = 0, open = 0;
    while (i < n && b[i] == '(') ++open, ++i;
    if (i < n && b[i] == '-') ++i;
    if (i + 2 < n && b[i] == '0' && (b[i + 1] == 'x' || b[i + 1] == 'X') && is_hex_digit(b[i + 2])) {
        size_t j = i + 2;
        while (j < n && is_hex_digit(b[j])) ++j;
        size_t digits_end = j;
        while (j < n && std::strchr("LUlu", b[j]) && b[j]) ++j;
        if (!closes_frame(b, j, open)) return MC_EXPANDED;
        *value = b.substr(0, digits_end) + b.substr(j);
        return MC_HEX_CONSTANT;
    }
    size_t j = i;
    while (j < n && is_digit(static_cast<unsigned char>(b[j]))) ++j;
    if (j > i && closes_frame(b, j, open)) {
        *value = b.substr(0, j) + "." + b.substr(j);
        return MC_DECIMAL_CONSTANT;
    }
    j = i;
    while (j < n && is_hex_digit(b[j])) ++j;
    if (j > i && j < n && b[j] == 'h' && closes_frame(b, j + 1, open)) {
        *value = b;
        return MC_HEX_CONSTANT;
    }
    return MC_EXPANDED;
}

bool is_type_word(const std::string& w) {
    static const char* const words[] = {"const", "double", "enum", "float", "int", "long", "short", "signed", "unsigned"};
    for (const char* t : words)
        if (w == t) return true;
    return false;
}

// A body whose parentheses do not pair up is completed by the text around its
// uses: only an expansion in place keeps it whole.
bool balanced_parentheses(const std::string& expr) {
    long depth = 0;
    for (char c : expr) {
        if (c == '(') ++depth;
        if (c == ')' && --depth < 0) return false;
    }
    return depth == 0;
}

// MC_CONSTANT_EXPRESSION or MC_SCRIPT_EXPRESSION (MC_EXPANDED when the body is
// not a constant expression).
MacroConversionKind classify_expression(const std::string& b, std::string* expr) {
    if (first_significant(b) == '*') return MC_EXPANDED;
    bool script_variable = false;
    int operands = 0;
    size_t n = b.size(), i = 0;
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(b[i]);
        if (c == ' ' || c == '\t' || c == ';' || c == TOKEN_SEPARATOR) {
            ++i;
            continue;
        }
        if (std::strchr("&()+-:<=>?|", c) && c) {
            *expr += static_cast<char>(c);
            ++i;
            continue;
        }
        if (c >= '0' && c <= '9') {
            std::string number;
            bool h_suffix = false;
            while (i < n && (is_hex_digit(b[i]) || b[i] == 'x' || b[i] == 'X' || (std::strchr("LUhlu", b[i]) && b[i]))) {
                if (!std::strchr("LUhlu", b[i])) number += b[i];
                if (b[i] == 'h') h_suffix = true;
                ++i;
            }
            // 10h is hexadecimal, as 0x10 is
            bool has_x = number.find_first_of("xX") != std::string::npos;
            *expr += (h_suffix && !has_x ? "0x" : "") + number;
            ++operands;
            continue;
        }
        if (is_letter(c)) {
            size_t j = i;
            while (j < n && (is_alnum(b[j]) || b[j] == '_')) ++j;
            std::string id = b.substr(i, j - i);
            i = j;
            if (is_type_word(id)) {
                if (!expr->empty() && (is_alnum(expr->back()) || expr->back() == '_')) *expr += ' ';
                *expr += id;
                continue;
            }
            ++operands;
            MacroDefinition* m = lookup_macro(id);
            MacroConversionKind kind = m ? m->conversion_kind : MC_EXPANDED;
            if (m && is_script_macro_kind(kind)) {
                *expr += "&__" + id;
                if (kind == MC_SCRIPT_EXPRESSION) script_variable = true;
            } else if (m && is_subroutine_kind(kind)) {
                *expr += id;
            } else {
                *expr += "\\" + id;
                script_variable = true;
            }
            continue;
        }
        return MC_EXPANDED;
    }
    if (operands == 0 || !balanced_parentheses(*expr)) return MC_EXPANDED;
    return script_variable ? MC_SCRIPT_EXPRESSION : MC_CONSTANT_EXPRESSION;
}

// --- writing ---

void write_marker_pair(const char* first_format, const char* second_format, const std::string& name,
                       const std::string& value) {
    out_format(first_format, "__", name.c_str());
    out_format(second_format, "__", name.c_str(), value.c_str());
}

// One argument of a GOSUB line: a decimal digit alone reads the same in any
// base; a name or number passes as it is; anything else in parentheses.
std::string call_argument(const std::string& a) {
    if (a.size() == 2 && is_digit(static_cast<unsigned char>(a[0])) && a[1] == '.') return a.substr(0, 1);
    for (char c : a)
        if (!is_alnum(c) && c != '_' && c != '.' && c != '&' && c != '\\') return "(" + a + ")";
    return a;
}

// Calls of converted function macros in a constant expression become result
// variables, announced by GOSUB marker lines.
std::string resolve_calls(const std::string& e) {
    std::map<std::string, std::string> call_texts;  // result name -> the call it stands for
    std::string result;
    size_t n = e.size(), i = 0;
    while (i < n) {
        char c = e[i];
        if ((c == '&' && e.compare(i, 3, "&__") == 0) || c == '\\') {
            size_t j = i + (c == '&' ? 3 : 1);
            while (j < n && (is_alnum(e[j]) || e[j] == '_')) ++j;
            result += e.substr(i, j - i);
            i = j;
            continue;
        }
        if (!is_letter(c)) {
            result += c;
            ++i;
            continue;
        }
        size_t j = i;
        while (j < n && (is_alnum(e[j]) || e[j] == '_')) ++j;
        std::string id = e.substr(i, j - i);
        if (!pp.converted_set.count(id) || j >= n || e[j] != '(') {
            result += id;
            i = j;
            continue;
        }
        // the argument list, up to the matching ")"
        size_t k = j + 1;
        int depth = 1;
        std::vector<std::string> args(1);
        for (; k < n; ++k) {
            if (e[k] == '(') ++depth;
            if (e[k] == ')' && --depth == 0) break;
            if (e[k] == ',' && depth == 1) {
                args.emplace_back();
                continue;
            }
            args.back() += e[k];
        }
        if (k >= n) {
            result += e.substr(i);
            break;
        }
        // Each argument is passed whole; the result is named after the letters
        // and digits of the arguments.
        std::string digits_name, digits_args;
        bool first = true;
        for (const std::string& a : args) {
            if (a.empty()) continue;
            std::string d;
            for (char ch : a)
                if (is_alnum(ch)) d += ch;
            if (!first) {
                digits_name += '_';
                digits_args += ' ';
            }
            first = false;
            digits_name += d;
            digits_args += call_argument(a);
        }
        std::string result_name = "&__" + id + "_" + digits_name + "_result";
        if (!call_texts.emplace(result_name, e.substr(i, k + 1 - i)).second &&
            call_texts[result_name] != e.substr(i, k + 1 - i)) {
            // another call with the same letters and digits: a name of its own
            int number = 2;
            while (call_texts.count(result_name.substr(0, result_name.size() - 7) + "_" + std::to_string(number) + "_result"))
                ++number;
            result_name = result_name.substr(0, result_name.size() - 7) + "_" + std::to_string(number) + "_result";
            call_texts.emplace(result_name, e.substr(i, k + 1 - i));
        }
        out_text("// #dtsdefina LOCAL " + result_name + "\n");
        out_format("// #dtsdefina GOSUB %s%s", "__gp_", id.c_str());
        out_text(" " + digits_args + "\n");
        out_format("// #dtsdefinb ENTRY %s\n", result_name.c_str());
        result += result_name;
        i = k + 1;
    }
    return result;
}

// Copies a literal of a stored body starting at b[i]; returns the index after it.
size_t copy_body_literal(const std::string& b, size_t i, std::string* out) {
    char quote = b[i];
    *out += b[i++];
    while (i < b.size()) {
        unsigned char c = static_cast<unsigned char>(b[i]);
        if (c == LITERAL_NEXT && i + 1 < b.size()) {
            *out += b[i + 1];
            i += 2;
            continue;
        }
        *out += b[i++];
        if (c == static_cast<unsigned char>(quote)) break;
        if (c == '\\' && i < b.size()) *out += b[i++];
    }
    return i;
}

// The source lines of a body: the line of its #define, one more after each
// backslash-newline.
struct BodyLines {
    long first;
    const std::vector<size_t>* continuations;
    // A line marker for the statement that begins at or after `from`.
    std::string marker(const std::string& b, size_t from) const {
        while (from < b.size() && (b[from] == ' ' || b[from] == '\t')) ++from;
        long line = first;
        for (size_t at : *continuations)
            if (at < from) ++line;
        return "#line " + std::to_string(line) + "\n";
    }
};

// The body of the GEL function: parameter names, casts removed, statements
// on lines of their own, each numbered as the source line it stands on.
std::string function_body(const std::string& b, MacroConversionKind kind, const BodyLines& lines) {
    static const char* const removed_casts[] = {"uint32_t", "uint8_t", "unsignedint"};
    std::string out;
    size_t n = b.size(), i = 0;
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(b[i]);
        if (c == LITERAL_NEXT && i + 1 < n) {
            out += b[i + 1];
            i += 2;
            continue;
        }
        if (is_parameter_byte(c)) {
            out += parameter_name(c - PARAMETER_BASE);
            ++i;
            continue;
        }
        if (c == '"' || c == '\'') {
            i = copy_body_literal(b, i, &out);
            continue;
        }
        if (c == '(') {
            size_t close = b.find_first_of("()", i + 1);
            if (close != std::string::npos && b[close] == ')') {
                std::string inner;
                for (size_t k = i + 1; k < close; ++k)
                    if (b[k] != ' ' && b[k] != '\t') inner += b[k];
                bool cast = false;
                for (const char* r : removed_casts)
                    if (inner == r) cast = true;
                if (cast) {
                    i = close + 1;
                    continue;
                }
            }
        }
        if (c == ';' && kind == MC_STATEMENTS) {
            out += ";\n" + lines.marker(b, i + 1) + "\t";
            ++i;
            continue;
        }
        out += static_cast<char>(c);
        ++i;
    }
    return out;
}

void convert_to_function(MacroDefinition* m, const Definition& d, MacroConversionKind kind,
                         const char* macrofilename) {
    FILE* f = macrofilename ? std::fopen(macrofilename, "a") : nullptr;
    if (!f) pp_fatal("Cannot open macro file \"%s\"", macrofilename ? macrofilename : "");
    out_format("// -- %s%s converted to the QUERNA subroutine\n", INFO, d.name.c_str());
    out_text("// #dtsdefine processed\n");
    if (pp.converted_set.insert(d.name).second) pp.converted_functions.push_back(d.name);

    // the function's lines are numbered from the #define when the macro file is read
    InputSource* src = innermost_file();
    std::fprintf(f, "#line %ld \"%s\"\n", pp.directive_line, src ? effective_name(src).c_str() : "");
    std::fprintf(f, "%s%s(", "__gp_", d.name.c_str());
    for (size_t i = 0; i < d.parameters.size(); ++i) {
        if (i == 0)
            std::fprintf(f, "%s%s", "", parameter_name(i).c_str());
        else
            std::fprintf(f, ",%s", parameter_name(i).c_str());
    }
    BodyLines lines{pp.directive_line, &d.continuations};
    std::fprintf(f, "){\n%s\t%s", lines.marker(d.body, 0).c_str(), kind == MC_FUNCTION ? "return(" : "");
    std::string body = function_body(d.body, kind, lines);
    std::fwrite(body.data(), 1, body.size(), f);
    std::fputs(kind == MC_FUNCTION ? ");\n}\n" : ";\n}\n", f);
    if (!close_checked(f)) note_write_failure(WF_MACRO, macrofilename, errno);

    std::string r = "__gp_" + d.name + "(";
    if (d.function_like) {
        size_t count = d.parameters.size() < 2 ? 1 : d.parameters.size();
        for (size_t i = 0; i < count; ++i) {
            if (i) r += ',';
            r += static_cast<char>(PARAMETER_BASE + i);
        }
    }
    r += ")";
    m->replacement = r;
}

}  // namespace

std::string add_decimal_points(const std::string& t) {
    std::string out;
    size_t n = t.size(), i = 0;
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(t[i]);
        if (c == '"' || c == '\'') {
            i = copy_body_literal(t, i, &out);
            continue;
        }
        if (c < '0' || c > '9') {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        unsigned char prev = out.empty() ? 0 : static_cast<unsigned char>(out.back());
        size_t j = i;
        if (is_identifier_char(prev) || prev == '.' ||
            (c == '0' && i + 1 < n && (t[i + 1] == 'x' || t[i + 1] == 'X'))) {
            // a digit of a name, of a fraction or of a hexadecimal number
            while (j < n && (is_identifier_char(static_cast<unsigned char>(t[j])))) ++j;
            out += t.substr(i, j - i);
            i = j;
            continue;
        }
        while (j < n && t[j] >= '0' && t[j] <= '9') ++j;
        out += t.substr(i, j - i);
        char next = j < n ? t[j] : 0;
        if (!is_letter(next) && next != '_' && next != '.' && next != '$') out += '.';
        i = j;
    }
    return out;
}

void define_macro(const char* macrofilename) {
    int c = skip_blanks();
    if (!is_identifier_start(c) || c == NO_EXPAND_MARK) {
        syntax_error();
        return;
    }
    Definition d;
    d.name = truncated_name(read_identifier(c));
    c = get_char();
    if (c == '(') {
        d.function_like = true;
        if (!read_parameters(&d)) return;
        c = get_char();
    }
    if (c != ' ' && c != '\t') unget_char();
    read_body(&d);

    MacroConversionKind kind;
    std::string value = d.body;
    if (d.function_like) {
        kind = first_significant(d.body) == '*' ? MC_EXPANDED : MC_FUNCTION;
        if (has_statements(d.body)) kind = MC_STATEMENTS;
        // stringizing, pasting and a lone statement are expanded in place
        else if (ends_with_semicolon(d.body)) kind = MC_EXPANDED;
        if (has_hash_operator(d.body)) kind = MC_EXPANDED;
    } else if (has_statements(d.body)) {
        kind = MC_STATEMENTS;
    } else if (!d.continuations.empty()) {
        // a continued body is classified as written, backslashes and all
        kind = MC_EXPANDED;
        value = add_decimal_points(d.body);
    } else {
        kind = classify_constant(d.body, &value);
        if (kind == MC_EXPANDED) {
            std::string expr;
            kind = classify_expression(d.body, &expr);
            if (kind == MC_CONSTANT_EXPRESSION) value = add_decimal_points(expr);
            else if (kind == MC_SCRIPT_EXPRESSION) value = expr;
            else value = add_decimal_points(d.body);
        }
    }

    bool existed;
    MacroDefinition* m = enter_macro(d.name, &existed);
    if (existed && (!m->has_replacement || m->replacement != value))
        pp_warning("Redefining defined variable \"%s\"", d.name.c_str());
    m->has_replacement = true;
    m->replacement = value;
    m->body = d.body;
    m->parameter_count = d.function_like ? static_cast<int>(d.parameters.size()) : -1;
    m->conversion_kind = kind;

    sync_output(pp.directive_line, false);
    switch (kind) {
    case MC_EXPANDED:
        out_format("// -- %s%s expanded\n", INFO, d.name.c_str());
        out_text("// #dtsdefine processed\n");
        break;
    case MC_DECIMAL_CONSTANT:
    case MC_HEX_CONSTANT:
        write_marker_pair("\n// #dtsdefina LOCAL &%s%s\n", "// #dtsdefinb &%s%s=%s\n", d.name, value);
        m->replacement = "&__" + d.name;
        break;
    case MC_CONSTANT_EXPRESSION: {
        std::string resolved = resolve_calls(value);
        write_marker_pair("// #dtsdefina LOCAL &%s%s\n", "// #dtsdefinb &%s%s=%s\n", d.name, resolved);
        m->replacement = "&__" + d.name;
        break;
    }
    case MC_SCRIPT_EXPRESSION:
        write_marker_pair("// #dtsdefina LOCAL &%s%s\n", "// #dtsdefinb &%s%s=\"%s\"\n", d.name, value);
        m->replacement = "&__" + d.name;
        break;
    case MC_FUNCTION:
    case MC_STATEMENTS:
        d.body = value;
        convert_to_function(m, d, kind, macrofilename);
        break;
    }
}

void undefine_macro() {
    int c = skip_blanks();
    if (!is_identifier_start(c) || c == NO_EXPAND_MARK) {
        unget_char();
        pp_error("Illegal #undef argument");
        skip_to_newline();
        return;
    }
    remove_macro(read_identifier(c));
}
