// Target register definitions: loading targets.def, the cleaned copy, the
// choice of the MCU, the register lookup and the report of used registers.
#include "driver/targets.h"

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "driver/characters.h"
#include "driver/checked_write.h"
#include "driver/diagnostics.h"
#include "driver/platform.h"
#include "driver/target_lines.h"

namespace {

struct McuDefinition {
    std::string name;  // as written
    int32_t line = 0;
    std::vector<RegisterRecord> registers;  // sorted by name in byte order
};

std::vector<McuDefinition> mcus;

constexpr size_t kMaxLineLength = 9999;

// Reads "0x" and hexadecimal digits; false when the value needs more than 32 bits.
bool read_address(const std::string& text, uint32_t* address) {
    uint64_t value = 0;
    for (size_t i = 2; i < text.size(); ++i) {
        char c = text[i];
        value = value * 16 + (ascii::is_digit(c) ? c - '0' : ascii::lower(c) - 'a' + 10);
        if (value > 0xFFFFFFFFull) return false;
    }
    *address = static_cast<uint32_t>(value);
    return true;
}

std::string upper(const std::string& text) {
    std::string result = text;
    for (char& c : result) c = ascii::upper(c);
    return result;
}

// Reads the next line with its newline (a CR before the newline, or a CR
// ending the file, is dropped). False at the end of the file.
bool read_line(FILE* file, std::string* line) {
    line->clear();
    int c;
    while ((c = std::fgetc(file)) != EOF) {
        line->push_back(static_cast<char>(c));
        if (c == '\n') break;
    }
    if (line->empty()) return false;
    size_t end = line->size();
    if ((*line)[end - 1] == '\n') --end;
    if (end > 0 && (*line)[end - 1] == '\r') line->erase(end - 1, 1);
    return true;
}

bool unrecognized(int32_t line_number, const std::string& path) {
    std::printf("Unrecognized line %d in targets.def file (%s).\n", line_number, path.c_str());
    return false;
}

// Reads the MCU sections and their register lines.
bool read_definitions(FILE* file, const std::string& path) {
    std::string line;
    int32_t line_number = 0;
    bool ccs = false;
    while (read_line(file, &line)) {
        ++line_number;
        // A line that was a lone carriage return is empty here.
        size_t content = line.size() - (!line.empty() && line.back() == '\n' ? 1 : 0);
        if (content > kMaxLineLength || line.find('\0') != std::string::npos) return unrecognized(line_number, path);
        TargetLine parsed = classify_target_line(line);
        if (parsed.kind == TargetLineKind::Register) {
            RegisterRecord record;
            record.name = std::string(parsed.name);
            if (mcus.empty() || !read_address(std::string(parsed.address), &record.address))
                return unrecognized(line_number, path);
            record.width = parsed.width;
            record.memory_class = parsed.memory_class;
            record.line = line_number;
            record.ccs = ccs;
            mcus.back().registers.push_back(std::move(record));
        } else if (parsed.kind == TargetLineKind::Section) {
            McuDefinition mcu;
            mcu.name = std::string(parsed.name);
            mcu.line = line_number;
            mcus.push_back(std::move(mcu));
            ccs = false;
        } else if (parsed.kind == TargetLineKind::Ccs) {
            ccs = true;
        } else if (parsed.kind != TargetLineKind::Blank) {
            return unrecognized(line_number, path);
        }
    }
    return true;
}

bool check_duplicate_mcus(const std::string& path) {
    std::unordered_map<std::string, size_t> seen;
    for (size_t i = 0; i < mcus.size(); ++i) {
        if (!seen.emplace(upper(mcus[i].name), i).second) {
            std::printf("Duplicated \"%s\" mcu definition in targets.def at line %d (%s).\n", mcus[i].name.c_str(),
                        mcus[i].line, path.c_str());
            return false;
        }
    }
    return true;
}

bool same_definition(const RegisterRecord& a, const RegisterRecord& b) {
    return a.address == b.address && a.width == b.width && a.memory_class == b.memory_class;
}

bool report_conflict(const RegisterRecord& a, const RegisterRecord& b, const std::string& path) {
    const char* what = a.address != b.address ? "addresses" : a.width != b.width ? "width" : "memory class";
    std::printf("Duplicated registers with different %s at lines %d and %d in targets.def (%s).\n", what, a.line,
                b.line, path.c_str());
    return false;
}

// Sorts a table by name (equal names in file order) and reduces every run of
// equal names to one record: the first ccs definition, else the first one.
// Definitions of the same standing as the survivor must agree with it.
bool merge_registers(std::vector<RegisterRecord>* table, const std::string& path) {
    std::sort(table->begin(), table->end(), [](const RegisterRecord& a, const RegisterRecord& b) {
        int order = std::strcmp(a.name.c_str(), b.name.c_str());
        return order != 0 ? order < 0 : a.line < b.line;
    });
    std::vector<RegisterRecord> merged;
    merged.reserve(table->size());
    for (size_t begin = 0; begin < table->size();) {
        size_t end = begin + 1;
        while (end < table->size() && (*table)[end].name == (*table)[begin].name) ++end;
        const RegisterRecord* winner = nullptr;
        for (size_t i = begin; i < end && !winner; ++i) {
            if ((*table)[i].ccs) winner = &(*table)[i];
        }
        bool winner_is_ccs = winner != nullptr;
        if (!winner) winner = &(*table)[begin];
        for (size_t i = begin; i < end; ++i) {
            const RegisterRecord& other = (*table)[i];
            if (other.ccs == winner_is_ccs && !same_definition(*winner, other)) {
                return report_conflict(*winner, other, path);
            }
        }
        merged.push_back(*winner);
        begin = end;
    }
    table->swap(merged);
    return true;
}

// The copy is best effort where it cannot be created (a program directory the
// user may not write in); a copy that was begun and could not be finished is
// removed, and loading fails.
bool write_cleaned_copy(const std::string& path) {
    std::string copy = path + ".new";
    FILE* file = std::fopen(copy.c_str(), "w");
    if (!file) return true;
    for (const McuDefinition& mcu : mcus) {
        std::fprintf(file, "[%s]\n", mcu.name.c_str());
        for (const RegisterRecord& r : mcu.registers) {
            std::fprintf(file, "%s,0x%.8X,%d,%d\n", r.name.c_str(), r.address, r.width, r.memory_class);
        }
    }
    if (close_checked(file)) return true;
    std::printf("%s\n", write_failure_message(WF_CLEANED_DEFINITIONS, copy, errno).c_str());
    std::remove(copy.c_str());
    return false;
}

bool choose_mcu(const char* mcu_name, const std::string& path) {
    for (size_t i = 0; i < mcus.size(); ++i) {
        if (strcasecmp(mcus[i].name.c_str(), mcu_name) == 0) {
            target_mcu_index = static_cast<int32_t>(i);
            return true;
        }
    }
    std::printf("Specified target MCU \"%s\" not found in targets.def file (%s).\n\n", mcu_name, path.c_str());
    if (!mcus.empty()) {
        std::printf("Available MCUs: ");
        for (size_t i = 0; i < mcus.size(); ++i) std::printf(i == 0 ? "%s" : " %s", mcus[i].name.c_str());
        std::printf("\n");
    }
    return false;
}

}  // namespace

int load_target_definitions(const char* program_path, const char* mcu_name) {
    std::string own = program_own_path(program_path);
    return load_target_definitions_beside(own.c_str(), mcu_name);
}

int load_target_definitions_beside(const char* resolved_program_path, const char* mcu_name) {
    free_target_definitions();
    std::string program = resolved_program_path ? resolved_program_path : "";
    size_t separator = program.find_last_of(kDirectorySeparators);
    std::string directory = separator == std::string::npos ? std::string() : program.substr(0, separator + 1);

    std::string path = directory + "targets.def";
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        path = directory + ".." + kPathSeparator + "targets.def";
        file = std::fopen(path.c_str(), "rb");
    }
    if (!file) {
        std::printf("Couldn't open targets.def file: \"%s\"\n", path.c_str());
        return 1;
    }
    bool ok = read_definitions(file, path);
    std::fclose(file);
    ok = ok && check_duplicate_mcus(path);
    for (McuDefinition& mcu : mcus) {
        if (!ok) break;
        ok = merge_registers(&mcu.registers, path);
    }
    ok = ok && write_cleaned_copy(path);
    ok = ok && choose_mcu(mcu_name ? mcu_name : "", path);
    if (!ok) {
        free_target_definitions();
        return 1;
    }
    return 0;
}

bool find_register(const char* name, RegisterRecord* out) {
    if (!name || target_mcu_index < 0 || static_cast<size_t>(target_mcu_index) >= mcus.size()) return false;
    std::vector<RegisterRecord>& table = mcus[static_cast<size_t>(target_mcu_index)].registers;
    if (table.empty()) return false;
    long lower = -1;
    long upper = static_cast<long>(table.size()) - 1;
    long hit = -1;
    while (upper - lower > 1) {
        long middle = (lower + upper) / 2;
        int order = std::strcmp(name, table[static_cast<size_t>(middle)].name.c_str());
        if (order == 0) {
            hit = middle;
            break;
        }
        if (order > 0) lower = middle;
        else upper = middle;
    }
    if (hit < 0 && std::strcmp(name, table[static_cast<size_t>(upper)].name.c_str()) == 0) hit = upper;
    if (hit < 0) return false;
    if (out) {
        table[static_cast<size_t>(hit)].used = true;
        *out = table[static_cast<size_t>(hit)];
    }
    return true;
}

void write_register_report(const char* output_path) {
    if (!output_path || target_mcu_index < 0 || static_cast<size_t>(target_mcu_index) >= mcus.size()) return;
    std::string report = std::string(output_path) + ".regs";
    FILE* file = std::fopen(report.c_str(), "w");
    if (!file) return;
    const McuDefinition& mcu = mcus[static_cast<size_t>(target_mcu_index)];
    std::fprintf(file, "MCU: %s\n\nREGISTERS USED DURING CONVERSION:\n\n", mcu.name.c_str());
    for (const RegisterRecord& r : mcu.registers) {
        if (!r.used) continue;
        std::fprintf(file,
                     "[name]: %s, [address]: 0x%.8X, [width]: %d bytes, [address space]: %s, "
                     "[line number in targets.def]: %d\n",
                     r.name.c_str(), r.address, r.width, r.memory_class == 1 ? "IO space" : "memory space", r.line);
    }
    if (!close_checked(file)) {
        note_write_failure(WF_REGISTER_REPORT, report, errno);
        std::remove(report.c_str());
    }
}

void free_target_definitions() {
    mcus.clear();
    mcus.shrink_to_fit();
    target_mcu_index = -1;
}
