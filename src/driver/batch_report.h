// The migration report of a batch run, for people (Markdown) and for tools
// (JSON), with the same content.
#pragma once

#include <string>
#include <vector>

#include "driver/batch_outcome.h"

struct BatchScript {
    std::string path;    // the GEL file, relative to the folder it was found in
    std::string output;  // the converted script, relative to the output folder
    ScriptOutcome outcome;
};

// A GEL file of the batch that other files #include: not converted on its own.
struct IncludedFile {
    std::string path;
    std::vector<std::string> included_by;
};

struct BatchReport {
    std::vector<std::string> options;  // the conversion options, as given
    std::vector<BatchScript> scripts;  // in the order of the inputs
    std::vector<IncludedFile> included;
    bool registers = false;  // -t and -r: the registers used per script
};

// Where a GEL_LoadGel reference ("~~~~/name.cmm", relative to the folder of
// the converted script `script_output`) leads, relative to the output folder:
// "" when it is not relative to that folder or climbs out of the output folder.
std::string load_reference_target(const std::string& script_output, const std::string& reference);

std::string report_markdown(const BatchReport& report);
std::string report_json(const BatchReport& report);
