// The batch report: the figures are gathered once from the scripts' outcomes,
// then written as Markdown tables and as JSON.
#include "driver/batch_report.h"

#include <algorithm>
#include <filesystem>
#include <map>

namespace {

struct FileCount {
    std::string path;
    int calls = 0;
};

struct Builtin {
    std::string name;
    int calls = 0;
    std::vector<FileCount> files;
};

struct Undefined {
    std::string name;
    int calls = 0;
    std::vector<FileCount> files;
    std::vector<std::string> defined_in;  // other scripts of the batch whose output defines it
};

struct Reference {
    std::string script, reference, target;
    bool converted = false;
    std::string note;
};

struct Figures {
    int scripts = 0, converted = 0, with_warnings = 0, error = 0, stopped = 0, warnings = 0, errors = 0;
    std::vector<Builtin> builtins;
    std::vector<Undefined> undefined;
    std::vector<Reference> references;
};

void add_call(std::vector<FileCount>& files, const std::string& path, int calls) {
    if (files.empty() || files.back().path != path) files.push_back({path, 0});
    files.back().calls += calls;
}

bool converted(ScriptStatus s) { return s == ScriptStatus::converted || s == ScriptStatus::converted_with_warnings; }

Figures gather(const BatchReport& report) {
    Figures f;
    std::map<std::string, Builtin> builtins;
    std::map<std::string, Undefined> undefined;
    std::map<std::string, const BatchScript*> by_output;
    std::map<std::string, std::vector<std::string>> definers;
    for (const BatchScript& s : report.scripts) {
        by_output.emplace(s.output, &s);
        for (const std::string& name : s.outcome.defined_functions) {
            auto& list = definers[name];
            if (list.empty() || list.back() != s.path) list.push_back(s.path);
        }
    }
    for (const BatchScript& s : report.scripts) {
        const ScriptOutcome& o = s.outcome;
        f.scripts += 1;
        f.converted += o.status == ScriptStatus::converted;
        f.with_warnings += o.status == ScriptStatus::converted_with_warnings;
        f.error += o.status == ScriptStatus::error;
        f.stopped += o.status == ScriptStatus::stopped;
        f.warnings += o.warnings;
        f.errors += o.errors;
        for (const NameCount& n : o.unsupported_builtins) {
            Builtin& b = builtins[n.name];
            b.name = n.name;
            b.calls += n.count;
            add_call(b.files, s.path, n.count);
        }
        for (const NameCount& n : o.undefined_calls) {
            Undefined& u = undefined[n.name];
            u.name = n.name;
            u.calls += n.count;
            add_call(u.files, s.path, n.count);
        }
        std::vector<std::string> seen;
        for (const std::string& ref : o.load_references) {
            if (std::find(seen.begin(), seen.end(), ref) != seen.end()) continue;
            seen.push_back(ref);
            Reference r{s.path, ref, load_reference_target(s.output, ref), false, ""};
            auto it = r.target.empty() ? by_output.end() : by_output.find(r.target);
            if (r.target.empty()) {
                r.note = "not relative to the script's folder";
            } else if (it == by_output.end()) {
                r.note = "no script of the batch converts to it";
            } else if (converted(it->second->outcome.status)) {
                r.converted = true;
                r.note = "from " + it->second->path;
            } else {
                r.note = it->second->path + ": " + status_text(it->second->outcome.status);
            }
            f.references.push_back(r);
        }
    }
    for (auto& [name, u] : undefined) {
        auto it = definers.find(name);
        if (it != definers.end()) u.defined_in = it->second;
        f.undefined.push_back(u);
    }
    for (auto& [name, b] : builtins) f.builtins.push_back(b);
    std::stable_sort(f.builtins.begin(), f.builtins.end(),
                     [](const Builtin& a, const Builtin& b) { return a.calls > b.calls; });
    return f;
}

// Report texts are UTF-8: a byte that does not belong to a valid UTF-8
// sequence is taken for the Latin-1 character of that value.
std::string utf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        unsigned char c = s[i];
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        bool valid = len > 0 && i + len <= n;
        for (size_t k = 1; valid && k < len; ++k) valid = (s[i + k] & 0xC0) == 0x80;
        if (valid && len == 2) valid = c >= 0xC2;
        if (valid && len == 3) valid = !(c == 0xE0 && s[i + 1] < 0xA0) && !(c == 0xED && s[i + 1] >= 0xA0);
        if (valid && len == 4) valid = c <= 0xF4 && !(c == 0xF0 && s[i + 1] < 0x90) && !(c == 0xF4 && s[i + 1] >= 0x90);
        if (valid) {
            out.append(text, i, len);
            i += len;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
            ++i;
        }
    }
    return out;
}

// --- Markdown ---

std::string cell(const std::string& text) {
    std::string out;
    for (char c : utf8(text)) {
        if (c == '|') out += '\\';
        out += c;
    }
    return out;
}

std::string counted_files(const std::vector<FileCount>& files) {
    std::string out;
    for (const FileCount& f : files) out += (out.empty() ? "" : ", ") + cell(f.path) + " (" + std::to_string(f.calls) + ")";
    return out;
}

std::string joined(const std::vector<std::string>& list) {
    std::string out;
    for (const std::string& s : list) out += (out.empty() ? "" : ", ") + cell(s);
    return out;
}

std::string options_text(const BatchReport& report) {
    std::string out;
    for (const std::string& o : report.options) out += (out.empty() ? "" : " ") + o;
    return out.empty() ? "none" : out;
}

// --- JSON ---

std::string quoted(const std::string& text) {
    static const char hex[] = "0123456789abcdef";
    std::string out = "\"";
    for (char ch : utf8(text)) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20) {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

std::string string_array(const std::vector<std::string>& list) {
    std::string out = "[";
    for (size_t i = 0; i < list.size(); ++i) out += (i ? ", " : "") + quoted(list[i]);
    return out + "]";
}

std::string file_counts(const std::vector<FileCount>& files) {
    std::string out = "[";
    for (size_t i = 0; i < files.size(); ++i)
        out += (i ? ", " : "") + std::string("{\"path\": ") + quoted(files[i].path) +
               ", \"calls\": " + std::to_string(files[i].calls) + "}";
    return out + "]";
}

// Writes `items` as the elements of a JSON array, one per line.
template <class T, class F>
void json_list(std::string& out, const char* key, const std::vector<T>& items, F element, bool last = false) {
    out += std::string("  \"") + key + "\": [";
    for (size_t i = 0; i < items.size(); ++i) out += (i ? ",\n    " : "\n    ") + element(items[i]);
    out += items.empty() ? "]" : "\n  ]";
    out += last ? "\n" : ",\n";
}

}  // namespace

std::string load_reference_target(const std::string& script_output, const std::string& reference) {
    namespace fs = std::filesystem;
    if (reference.size() < 6 || reference.compare(0, 4, "~~~~") != 0 || (reference[4] != '/' && reference[4] != '\\'))
        return "";
    std::string rest = reference.substr(5);
    std::replace(rest.begin(), rest.end(), '\\', '/');
    fs::path target = (fs::path(script_output).parent_path() / rest).lexically_normal();
    std::string text = target.generic_string();
    if (text.empty() || target.is_absolute() || text == ".." || text.rfind("../", 0) == 0 || text.back() == '/') return "";
    return text;
}

std::string report_markdown(const BatchReport& report) {
    Figures f = gather(report);
    std::string md = "# Conversion report\n\n";
    md += "Options: " + cell(options_text(report)) + ".\n\n";
    md += "| scripts | converted | converted with warnings | error (no output) | stopped (early exit) | warnings | errors |\n";
    md += "| ---: | ---: | ---: | ---: | ---: | ---: | ---: |\n";
    md += "| " + std::to_string(f.scripts) + " | " + std::to_string(f.converted) + " | " +
          std::to_string(f.with_warnings) + " | " + std::to_string(f.error) + " | " + std::to_string(f.stopped) +
          " | " + std::to_string(f.warnings) + " | " + std::to_string(f.errors) + " |\n";

    md += "\n## Scripts\n\n| script | output | status | exit status | warnings | errors | first diagnostic |\n";
    md += "| --- | --- | --- | ---: | ---: | ---: | --- |\n";
    for (const BatchScript& s : report.scripts) {
        bool written = converted(s.outcome.status);
        md += "| " + cell(s.path) + " | " + (written ? cell(s.output) : "-") + " | " + status_text(s.outcome.status) +
              " | " + std::to_string(s.outcome.exit_status) + " | " + std::to_string(s.outcome.warnings) + " | " +
              std::to_string(s.outcome.errors) + " | " +
              cell(s.outcome.first_diagnostic) + " |\n";
    }
    if (!report.included.empty()) {
        md += "\nIncluded by other files, not converted on their own:\n\n| file | included by |\n| --- | --- |\n";
        for (const IncludedFile& i : report.included) md += "| " + cell(i.path) + " | " + joined(i.included_by) + " |\n";
    }

    md += "\n## Built-ins KALDRA does not support\n\nTo be ported by hand, most frequent first.\n\n";
    if (f.builtins.empty()) {
        md += "None.\n";
    } else {
        md += "| built-in | calls | files (calls) |\n| --- | ---: | --- |\n";
        for (const Builtin& b : f.builtins)
            md += "| " + cell(b.name) + " | " + std::to_string(b.calls) + " | " + counted_files(b.files) + " |\n";
    }

    md += "\n## Calls of undefined functions\n\n";
    if (f.undefined.empty()) {
        md += "None.\n";
    } else {
        md += "| function | calls | files (calls) | defined in another script |\n| --- | ---: | --- | --- |\n";
        for (const Undefined& u : f.undefined)
            md += "| " + cell(u.name) + " | " + std::to_string(u.calls) + " | " + counted_files(u.files) + " | " +
                  (u.defined_in.empty() ? "-" : joined(u.defined_in)) + " |\n";
    }

    md += "\n## GEL_LoadGel references\n\n";
    if (f.references.empty()) {
        md += "None.\n";
    } else {
        md += "| script | DO | target | status | note |\n| --- | --- | --- | --- | --- |\n";
        for (const Reference& r : f.references)
            md += "| " + cell(r.script) + " | " + cell(r.reference) + " | " + (r.target.empty() ? "-" : cell(r.target)) +
                  " | " + (r.converted ? "converted" : "missing") + " | " + cell(r.note) + " |\n";
    }

    if (report.registers) {
        md += "\n## Registers used\n\n| script | MCU | registers |\n| --- | --- | --- |\n";
        for (const BatchScript& s : report.scripts)
            if (converted(s.outcome.status))
                md += "| " + cell(s.path) + " | " + cell(s.outcome.mcu) + " | " +
                      (s.outcome.registers.empty() ? "-" : joined(s.outcome.registers)) + " |\n";
    }
    return md;
}

std::string report_json(const BatchReport& report) {
    Figures f = gather(report);
    std::string js = "{\n";
    js += "  \"options\": " + string_array(report.options) + ",\n";
    js += "  \"summary\": {\"scripts\": " + std::to_string(f.scripts) + ", \"converted\": " + std::to_string(f.converted) +
          ", \"converted_with_warnings\": " + std::to_string(f.with_warnings) + ", \"error\": " + std::to_string(f.error) +
          ", \"stopped\": " + std::to_string(f.stopped) + ", \"warnings\": " + std::to_string(f.warnings) +
          ", \"errors\": " + std::to_string(f.errors) + "},\n";
    json_list(js, "scripts", report.scripts, [](const BatchScript& s) {
        bool written = converted(s.outcome.status);
        return "{\"path\": " + quoted(s.path) + ", \"output\": " + (written ? quoted(s.output) : "null") +
               ", \"status\": " + quoted(status_text(s.outcome.status)) + ", \"exit_status\": " +
               std::to_string(s.outcome.exit_status) + ", \"warnings\": " + std::to_string(s.outcome.warnings) +
               ", \"errors\": " + std::to_string(s.outcome.errors) +
               ", \"first_diagnostic\": " + quoted(s.outcome.first_diagnostic) + "}";
    });
    json_list(js, "included", report.included, [](const IncludedFile& i) {
        return "{\"path\": " + quoted(i.path) + ", \"included_by\": " + string_array(i.included_by) + "}";
    });
    json_list(js, "unsupported_builtins", f.builtins, [](const Builtin& b) {
        return "{\"name\": " + quoted(b.name) + ", \"calls\": " + std::to_string(b.calls) +
               ", \"files\": " + file_counts(b.files) + "}";
    });
    json_list(js, "undefined_functions", f.undefined, [](const Undefined& u) {
        return "{\"name\": " + quoted(u.name) + ", \"calls\": " + std::to_string(u.calls) +
               ", \"files\": " + file_counts(u.files) + ", \"defined_in\": " + string_array(u.defined_in) + "}";
    });
    std::vector<const BatchScript*> with_registers;
    if (report.registers)
        for (const BatchScript& s : report.scripts)
            if (converted(s.outcome.status)) with_registers.push_back(&s);
    json_list(
        js, "load_references", f.references,
        [](const Reference& r) {
            return "{\"script\": " + quoted(r.script) + ", \"do\": " + quoted(r.reference) +
                   ", \"target\": " + (r.target.empty() ? "null" : quoted(r.target)) +
                   ", \"status\": " + (r.converted ? "\"converted\"" : "\"missing\"") + ", \"note\": " + quoted(r.note) +
                   "}";
        },
        !report.registers);
    if (report.registers)
        json_list(
            js, "registers", with_registers,
            [](const BatchScript* s) {
                return "{\"script\": " + quoted(s->path) + ", \"mcu\": " + quoted(s->outcome.mcu) +
                       ", \"registers\": " + string_array(s->outcome.registers) + "}";
            },
            true);
    return js + "}\n";
}
