// Finding the scripts of a batch, the #include lines of a source and the
// working directory of each conversion.
#include "driver/batch_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "driver/batch_process.h"

namespace fs = std::filesystem;

namespace {

bool has_gel_extension(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ext == ".gel";
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// Links every entry of `from` into `into`, except the one called `skip`. The
// conversion writes its trace into its working directory: a trace file of the
// source folder is not linked, so that it is never written through the link.
bool link_entries(const fs::path& from, const fs::path& into, const std::string& skip) {
    std::error_code ec;
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name == skip || name == "debug.txt") continue;
        if (!link_entry(it->path().string(), (into / name).string())) return false;
    }
    return !ec;
}

}  // namespace

std::vector<std::string> find_gel_files(const std::string& folder) {
    std::vector<std::string> found;
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code type_ec;
        if (!it->is_regular_file(type_ec)) continue;
        if (!has_gel_extension(it->path().filename().string())) continue;
        found.push_back(it->path().lexically_relative(folder).generic_string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<IncludeDirective> scan_includes(const std::string& text) {
    std::vector<IncludeDirective> found;
    bool in_block = false, line_start = true;
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        char c = text[i];
        if (in_block) {
            if (c == '*' && i + 1 < n && text[i + 1] == '/') {
                in_block = false;
                i += 2;
            } else {
                if (c == '\n') line_start = true;
                ++i;
            }
            continue;
        }
        if (c == '\n') {
            line_start = true;
            ++i;
        } else if (is_blank(c)) {
            ++i;
        } else if (c == '/' && i + 1 < n && text[i + 1] == '*') {
            in_block = true;
            i += 2;
        } else if (c == '/' && i + 1 < n && text[i + 1] == '/') {
            while (i < n && text[i] != '\n') ++i;
        } else if (c == '"' || c == '\'') {
            // A literal: "/*" inside it opens no comment.
            for (++i; i < n && text[i] != c && text[i] != '\n'; ++i)
                if (text[i] == '\\' && i + 1 < n && text[i + 1] != '\n') ++i;
            if (i < n && text[i] == c) ++i;
            line_start = false;
        } else if (c == '#' && line_start) {
            size_t j = i + 1;
            while (j < n && is_blank(text[j])) ++j;
            auto word_char = [](char w) {
                return (w >= 'a' && w <= 'z') || (w >= 'A' && w <= 'Z') || (w >= '0' && w <= '9') || w == '_';
            };
            if (text.compare(j, 7, "include") == 0 && !(j + 7 < n && word_char(text[j + 7]))) {
                j += 7;
                while (j < n && is_blank(text[j])) ++j;
                if (j < n && (text[j] == '"' || text[j] == '<')) {
                    char close = text[j] == '"' ? '"' : '>';
                    size_t end = j + 1;
                    while (end < n && text[end] != close && text[end] != '\n') ++end;
                    if (end < n && text[end] == close)
                        found.push_back({text.substr(j + 1, end - j - 1), close == '"', false});
                } else if (j < n && text[j] != '\n') {
                    found.push_back({std::string(), false, true});
                }
            }
            // The rest of a directive line is not looked at.
            while (i < n && text[i] != '\n') ++i;
        } else {
            line_start = false;
            ++i;
        }
    }
    return found;
}

int levels_climbed(const std::string& name) {
    int levels = 0;
    for (const auto& part : fs::path(name)) levels += part == ".." ? 1 : 0;
    return levels;
}

std::string make_working_directory(const std::string& source_folder, int levels_up, const std::string& directory) {
    std::error_code ec;
    fs::path source = fs::canonical(source_folder, ec);
    if (ec || !fs::create_directory(directory, ec)) return "";
    // The folders from the highest one mirrored down to the source folder.
    std::vector<fs::path> chain{source};
    for (int i = 0; i < levels_up && chain.back().has_relative_path(); ++i) chain.push_back(chain.back().parent_path());
    fs::path here = directory;
    for (size_t k = chain.size(); k-- > 0;) {
        std::string next = k > 0 ? chain[k - 1].filename().string() : std::string();
        if (!link_entries(chain[k], here, next)) return "";
        if (k > 0) {
            here /= next;
            if (!fs::create_directory(here, ec)) return "";
        }
    }
    return here.string();
}
