// What one conversion of a batch produced, read back from its exit status, its
// diagnostics, its output file and its register report.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class ScriptStatus {
    converted,                // output written, no warnings
    converted_with_warnings,  // output written, with warnings
    error,                    // the run ended but an Error made it drop the output
    stopped,                  // the run stopped early, or could not be run
};

// A name and how often it was met, in the order of first appearance.
struct NameCount {
    std::string name;
    int count = 0;
};

struct ScriptOutcome {
    ScriptStatus status = ScriptStatus::stopped;
    int exit_status = 0;
    int warnings = 0;
    int errors = 0;
    std::string first_diagnostic;
    std::vector<NameCount> unsupported_builtins;  // calls of built-ins KALDRA lacks
    std::vector<NameCount> undefined_calls;       // calls of functions the script does not define
    std::vector<std::string> load_references;     // what each GEL_LoadGel became: the text after "DO "
    std::vector<std::string> defined_functions;   // subroutine labels of the output
    std::string mcu;                              // from the register report
    std::vector<std::string> registers;           // registers the conversion used
};

// Reads the results of one run. `output` and `regs` are the contents of the
// output file and of its register report, or null when the file was not
// written.
ScriptOutcome read_outcome(int exit_status, const std::string& stdout_text, const std::string& stderr_text,
                           const std::string* output, const std::string* regs);

// The words of the report for a status: "converted", "converted with warnings",
// "error (no output)", "stopped (early exit)".
const char* status_text(ScriptStatus status);
