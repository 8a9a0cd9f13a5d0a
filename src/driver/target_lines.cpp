#include "driver/target_lines.h"

#include "driver/characters.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
using ascii::is_hex_digit;
using ascii::is_word;
using ascii::lower;

struct Scan {
    std::string_view text;
    size_t at = 0;

    bool done() const { return at == text.size(); }
    char peek() const { return done() ? '\0' : text[at]; }
    void blanks() {
        while (!done() && is_blank(text[at])) ++at;
    }
    bool take(char c) {
        if (done() || lower(text[at]) != c) return false;
        ++at;
        return true;
    }
    // A name: a letter or "_", then letters, digits and "_". Empty when none starts here.
    std::string_view name() {
        size_t start = at;
        if (done() || !(ascii::is_letter(text[at]) || text[at] == '_')) return {};
        while (!done() && is_word(text[at])) ++at;
        return text.substr(start, at - start);
    }
    // Blanks, then the end of the line.
    bool ends() {
        blanks();
        return done();
    }
};

TargetLine line_of(TargetLineKind kind) {
    TargetLine line;
    line.kind = kind;
    return line;
}

TargetLine register_line(Scan s) {
    TargetLine line;
    line.name = s.name();
    s.blanks();
    if (line.name.empty() || !s.take(',')) return {};
    s.blanks();
    size_t start = s.at;
    if (!s.take('0') || !s.take('x') || !is_hex_digit(s.peek())) return {};
    while (is_hex_digit(s.peek())) ++s.at;
    line.address = s.text.substr(start, s.at - start);
    s.blanks();
    if (!s.take(',')) return {};
    s.blanks();
    char width = s.peek();
    if (width != '1' && width != '2' && width != '3' && width != '4' && width != '6' && width != '8') return {};
    ++s.at;
    s.blanks();
    if (!s.take(',')) return {};
    s.blanks();
    char memory_class = s.peek();
    if (memory_class != '0' && memory_class != '1') return {};
    ++s.at;
    if (!s.ends()) return {};
    line.kind = TargetLineKind::Register;
    line.width = width - '0';
    line.memory_class = memory_class - '0';
    return line;
}

}  // namespace

TargetLine classify_target_line(std::string_view text) {
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    Scan s{text};
    s.blanks();
    if (s.done()) return line_of(TargetLineKind::Blank);
    if (s.take('[')) {
        TargetLine line;
        line.name = s.name();
        if (line.name.empty() || !s.take(']') || !s.ends()) return {};
        line.kind = TargetLineKind::Section;
        return line;
    }
    if (s.peek() == '-') {
        for (char c : std::string_view("--ccs--"))
            if (!s.take(c)) return {};
        return line_of(s.ends() ? TargetLineKind::Ccs : TargetLineKind::Unrecognized);
    }
    return register_line(s);
}
