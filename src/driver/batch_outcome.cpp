// Reading a conversion's results: diagnostics by kind, the calls of built-ins
// that KALDRA lacks, calls of undefined functions, the scripts it loads, the
// subroutines it defines and the registers it used.
#include "driver/batch_outcome.h"

#include <cstring>

#include "builtins/builtins.h"
#include "driver/characters.h"

namespace {

// Calls `f` with every line of `text`, without its line end.
template <class F>
void for_each_line(const std::string& text, F f) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        size_t stop = end;
        if (stop > start && text[stop - 1] == '\r') --stop;
        f(std::string_view(text).substr(start, stop - start));
        start = end + 1;
    }
}

bool starts_with(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

void count_name(std::vector<NameCount>& list, std::string_view name) {
    for (NameCount& n : list)
        if (n.name == name) {
            ++n.count;
            return;
        }
    list.push_back({std::string(name), 1});
}

// The kind of a diagnostic line "line N: KIND: text", and its text; an empty
// kind for any other line.
std::string_view diagnostic_kind(std::string_view line, std::string_view* text) {
    if (!starts_with(line, "line ")) return {};
    size_t i = 5;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
    if (i == 5 || line.substr(i, 2) != ": ") return {};
    std::string_view rest = line.substr(i + 2);
    size_t colon = rest.find(": ");
    if (colon == std::string_view::npos) return {};
    *text = rest.substr(colon + 2);
    return rest.substr(0, colon);
}

// "NAME() function is not supported by KALDRA." gives NAME.
std::string_view unsupported_name(std::string_view text) {
    static constexpr std::string_view tail = "() function is not supported by KALDRA.";
    if (text.size() <= tail.size() || text.substr(text.size() - tail.size()) != tail) return {};
    return text.substr(0, text.size() - tail.size());
}

bool is_unsupported_builtin(std::string_view name) {
    std::string n(name);
    int entry = find_gel_function(n.c_str());
    return entry >= 0 && gel_function_unsupported(entry);
}

bool is_identifier(std::string_view text) {
    if (text.empty() || (text[0] >= '0' && text[0] <= '9')) return false;
    for (char c : text)
        if (!ascii::is_word(c)) return false;
    return true;
}

void read_diagnostics(const std::string& text, ScriptOutcome& o, std::vector<NameCount>& unsupported) {
    for_each_line(text, [&](std::string_view line) {
        if (o.first_diagnostic.empty() && line.find_first_not_of(" \t") != std::string_view::npos) {
            size_t a = line.find_first_not_of(" \t"), b = line.find_last_not_of(" \t");
            o.first_diagnostic = std::string(line.substr(a, b - a + 1));
        }
        std::string_view message;
        std::string_view kind = diagnostic_kind(line, &message);
        if (kind == "Warning") {
            ++o.warnings;
            static constexpr std::string_view call = "Call to undefined function \"";
            if (starts_with(message, call) && message.size() > call.size() + 4 &&
                message.substr(message.size() - 4) == "()\".")
                count_name(o.undefined_calls, message.substr(call.size(), message.size() - call.size() - 4));
        } else if (kind == "Error" || kind == "Fatal error") {
            ++o.errors;
        } else if (starts_with(line, "FATAL INTERNAL ERROR") || starts_with(line, "Could not ")) {
            ++o.errors;
        }
        std::string_view name = unsupported_name(message);
        if ((kind == "Warning" || kind == "Error") && is_unsupported_builtin(name)) count_name(unsupported, name);
    });
}

// A path GEL_LoadGel wrote in quotes (a quote inside doubled), as the path.
std::string unquoted_path(std::string_view text) {
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') return std::string(text);
    std::string path;
    for (size_t i = 1; i + 1 < text.size(); ++i) {
        path += text[i];
        if (text[i] == '"' && text[i + 1] == '"') ++i;
    }
    return path;
}

void read_output(const std::string& text, ScriptOutcome& o) {
    for_each_line(text, [&](std::string_view line) {
        // Subroutine labels stand alone in the first column; the program's own
        // labels begin with two underscores.
        if (!line.empty() && line.back() == ':' && is_identifier(line.substr(0, line.size() - 1)) &&
            !starts_with(line, "__")) {
            o.defined_functions.emplace_back(line.substr(0, line.size() - 1));
            return;
        }
        size_t indent = line.find_first_not_of('\t');
        if (indent == std::string_view::npos) return;
        line = line.substr(indent);
        // "//Line N: NAME() call - function not supported by KALDRA", at every call.
        static constexpr std::string_view comment_tail = "() call - function not supported by KALDRA";
        if (starts_with(line, "//Line ") && line.size() > comment_tail.size() &&
            line.substr(line.size() - comment_tail.size()) == comment_tail) {
            size_t colon = line.find(": ");
            if (colon != std::string_view::npos) {
                std::string_view name = line.substr(colon + 2, line.size() - comment_tail.size() - colon - 2);
                if (is_unsupported_builtin(name)) count_name(o.unsupported_builtins, name);
            }
            return;
        }
        // What GEL_LoadGel writes; the menus' own DO lines run the script itself.
        if (starts_with(line, "DO ") && !starts_with(line, "DO &path_") && !starts_with(line, "DO \"&path_"))
            o.load_references.push_back(unquoted_path(line.substr(3)));
    });
}

void read_register_report(const std::string& text, ScriptOutcome& o) {
    for_each_line(text, [&](std::string_view line) {
        if (starts_with(line, "MCU: ")) o.mcu = std::string(line.substr(5));
        if (starts_with(line, "[name]: ")) {
            std::string_view rest = line.substr(8);
            o.registers.emplace_back(rest.substr(0, rest.find(", [address]")));
        }
    });
}

}  // namespace

ScriptOutcome read_outcome(int exit_status, const std::string& stdout_text, const std::string& stderr_text,
                           const std::string* output, const std::string* regs) {
    ScriptOutcome o;
    o.exit_status = exit_status;
    std::vector<NameCount> reported_unsupported;
    read_diagnostics(stderr_text, o, reported_unsupported);
    read_diagnostics(stdout_text, o, reported_unsupported);
    if (output) read_output(*output, o);
    // The output has a comment line at every call; without it only the first
    // call of each built-in was reported.
    if (!output) o.unsupported_builtins = reported_unsupported;
    if (regs) read_register_report(*regs, o);
    if (exit_status != 0)
        o.status = ScriptStatus::stopped;
    else if (!output)
        o.status = ScriptStatus::error;
    else
        o.status = o.warnings > 0 ? ScriptStatus::converted_with_warnings : ScriptStatus::converted;
    return o;
}

const char* status_text(ScriptStatus status) {
    switch (status) {
        case ScriptStatus::converted: return "converted";
        case ScriptStatus::converted_with_warnings: return "converted with warnings";
        case ScriptStatus::error: return "error (no output)";
        case ScriptStatus::stopped: return "stopped (early exit)";
    }
    return "";
}
