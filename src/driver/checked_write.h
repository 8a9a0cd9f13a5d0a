// Checked writing: a write or close that fails (a full disk, an I/O error, a
// full device) is never taken for success. Writers that cannot end the run
// themselves record the failure; the driver reports it at the end of the stage.
#pragma once

#include <cstdio>
#include <string>

// The files a run writes, named as the messages name them.
enum WrittenFile : int {
    WF_OUTPUT,         // the converted script
    WF_TEMPORARY,      // a stage file in the working directory
    WF_MACRO,          // the macro file
    WF_REGISTER_REPORT,
    WF_CLEANED_DEFINITIONS,  // targets.def.new
    WF_COUNT
};

// Flushes `stream` and tells whether every write to it so far succeeded; on
// failure errno holds the system's reason.
bool flush_checked(FILE* stream);
// Flushes and closes `file` (always closed); false, with errno set, when a
// write or the close failed.
bool close_checked(FILE* file);

// "Could not write <kind> <path>: <reason>".
std::string write_failure_message(WrittenFile kind, const std::string& path, int error);

// The first write failure of the run, kept until the driver reports it.
void note_write_failure(WrittenFile kind, const std::string& path, int error);
bool write_failure_pending();
// The message of the recorded failure, and the record cleared.
std::string take_write_failure();

// The output file is written under a temporary name in its own directory and
// renamed over its final name only when complete, so that no reader ever sees
// half a script. A device or pipe (such as /dev/null) is written directly.
struct OutputTarget {
    std::string final_path;
    std::string write_path;         // the temporary file, or the output itself when direct
    std::string remove_on_failure;  // what a run that does not finish removes (empty for a device)
    bool direct = false;
};
// Creates the temporary file. Where none can be made (a directory the user
// may not write in) the output is written directly.
void prepare_output(const char* path, OutputTarget* target);
// Renames the finished temporary file over the output; false, with errno set,
// when that fails (the temporary file is then removed).
bool commit_output(const OutputTarget& target);
// Removes the temporary file of an output that is not committed.
void discard_output(const OutputTarget& target);
// Removes `path` when it is a regular file or a link, never a device or a
// directory (an output of /dev/null must survive a failed run).
void remove_output_file(const char* path);
