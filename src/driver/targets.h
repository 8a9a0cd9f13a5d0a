// Target register definitions read from targets.def, the register lookup and
// the report of the registers used.
#pragma once

#include <cstdint>
#include <string>

// One register line of targets.def.
struct RegisterRecord {
    std::string name;          // as written
    uint32_t address = 0;
    int32_t width = 4;         // bytes: 1, 2, 3, 4, 6 or 8
    int32_t memory_class = 0;  // 0 memory space, 1 IO space
    int32_t line = 0;          // line in targets.def, from 1
    bool ccs = false;          // followed a --ccs-- line of its section
    bool used = false;         // looked up by the code generator
};

// Loads targets.def from beside the program (or from its parent directory),
// writes the cleaned copy "targets.def.new" beside it and chooses the MCU
// `mcu_name` (upper case), setting target_mcu_index. The program's own path
// is asked of the operating system; `program_path` (argv[0]) is the fallback.
// Messages go to standard output. 0 on success, 1 on failure.
int load_target_definitions(const char* program_path, const char* mcu_name);
// The same with the program's path already resolved (used by the tests).
int load_target_definitions_beside(const char* resolved_program_path, const char* mcu_name);

// Looks a register up in the chosen MCU's table (exact spelling). When `out`
// is given and the name is found, marks the register used and copies it out.
bool find_register(const char* name, RegisterRecord* out);
// Writes "<output_path>.regs" (nothing when it cannot be created). A failed
// write is recorded (checked_write.h) and the partial report removed.
void write_register_report(const char* output_path);
// Empties the tables and sets target_mcu_index to -1.
void free_target_definitions();
