// Target register definitions read from targets.def.
#pragma once

#include <cstdint>
#include <string>

struct RegisterRecord {
    std::string name;
    uint32_t address = 0;
    uint32_t width = 4;      // 1 byte, 2 word, 3 tbyte, 6 tword, 8 quad, otherwise long
    uint32_t memory_class = 0;
    bool is_io = false;
    bool used = false;
    long line = 0;           // line in targets.def
};

// Loads the register table of `mcu_name` (upper case). 0 on success, 1 on failure.
int load_target_definitions(const char* program_path, const char* mcu_name);
// Looks a register up; marks it used and copies it out when `out` is given.
bool find_register(const char* name, RegisterRecord* out);
// Writes "<output_path>.regs".
void write_register_report(const char* output_path);
void free_target_definitions();
