// One conversion run: working directory, command line, the four stages joined
// by temporary files bound to standard input and output, the output file, the
// register report, clean-up and the exit status.
#include "driver/run.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "compiler/compiler.h"
#include "driver/checked_write.h"
#include "driver/command_line.h"
#include "driver/diagnostics.h"
#include "driver/format_output.h"
#include "driver/platform.h"
#include "driver/targets.h"
#include "frontend/frontend.h"
#include "preprocessor/preprocessor.h"

namespace fs = std::filesystem;

namespace {

struct RunFiles {
    std::string temp_dir;
    std::string pre_file;
    std::string dts_file;
    std::string macro_file;
};

void remove_file(const std::string& path) { std::remove(path.c_str()); }

// What an interrupted or stopped run must remove. Plain arrays, so that the
// signal handler can use them without allocating.
struct CleanupPaths {
    char temp_dir[4096];
    char files[3][4096];
    char output[4096];
    volatile sig_atomic_t armed;
    volatile sig_atomic_t output_started;
};
CleanupPaths cleanup_paths;

void copy_path(char* dst, const std::string& src) {
    size_t n = src.size() < 4095 ? src.size() : 4095;
    std::memcpy(dst, src.data(), n);
    dst[n] = '\0';
}

// Removes the run's private working directory (safe in the interruption handler).
void remove_working_directory() {
    if (!cleanup_paths.armed) return;
    for (const char* f : cleanup_paths.files)
        if (f[0]) remove_file_now(f);
    if (cleanup_paths.temp_dir[0]) remove_directory_now(cleanup_paths.temp_dir);
}

void on_interrupt() {
    remove_working_directory();
    if (cleanup_paths.output_started && cleanup_paths.output[0]) remove_file_now(cleanup_paths.output);
}

void disarm_cleanup() {
    remove_working_directory();
    cleanup_paths.armed = 0;
    cleanup_paths.output_started = 0;
}

// A run that stops early lets go of its stage files before removing them:
// Windows removes no file that is still open.
void stop_cleanup() {
    unbind_standard_input();
    unbind_standard_output();
    restore_standard_streams();
    disarm_cleanup();
}

// Binds standard input to `input` and standard output to `output`.
void open_stage_files(const char* input, const char* output) {
    if (!bind_standard_input(input)) {
        std::fputs("Could not open input file\n", stderr);
        terminate_run(1);
    }
    if (!bind_standard_output(output)) {
        restore_standard_streams();
        unbind_standard_input();
        std::fputs("Could not open temporary file for preprocessing\n", stderr);
        terminate_run(1);
    }
    clearerr(stdout);
}

void copy_stream(FILE* in, FILE* out) {
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) std::fwrite(buffer, 1, n, out);
}

[[noreturn]] void early_exit(const char* remove1 = nullptr, const char* remove2 = nullptr,
                             const char* remove3 = nullptr) {
    unbind_standard_input();
    unbind_standard_output();
    restore_standard_streams();
    for (const char* p : {remove1, remove2, remove3})
        if (p) std::remove(p);
    free_global_lists();
    debug_trace_close();
    terminate_run(1);
}

// The output of the run, once stage 4 has prepared it.
OutputTarget output_target;
bool output_prepared = false;

// Ends the run after a failed write: the message, no output file (as after an
// Error) and no working files, exit status 1.
[[noreturn]] void write_failure_exit(const char* output) {
    std::string message = take_write_failure();
    unbind_standard_input();
    unbind_standard_output();
    restore_standard_streams();
    std::fprintf(stderr, "%s\n", message.c_str());
    if (output_prepared) discard_output(output_target);
    output_prepared = false;
    cleanup_paths.output_started = 0;
    if (output) remove_output_file(output);
    free_global_lists();
    debug_trace_close();
    terminate_run(1);
}

// Ends the run when a write of the stage failed: to standard output, bound to
// `stage_file`, or by a writer that recorded its failure. A close is checked
// too (a network file system reports errors there).
void check_stage_writes(WrittenFile kind, const std::string& stage_file, const char* output) {
    bool written = flush_checked(stdout);
    int error = errno;
    if (written && !standard_output_closes()) {
        written = false;
        error = errno;
    }
    if (!written) note_write_failure(kind, stage_file, error);
    if (write_failure_pending()) write_failure_exit(output);
}

int conversion(int argc, char** argv) {
    // Alone on the command line, --help and --version answer and end.
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "--version") == 0)) {
        if (argv[1][2] == 'h')
            print_help();
        else
            std::puts("GEL to QUERNA converter 2.5.8");
        return 0;
    }

    RunFiles files;
    std::string temp = temporary_directory();
    if (temp.empty()) return 1;
    // A private working directory for each run, so that parallel runs never
    // touch each other's files.
    files.temp_dir = make_private_directory(temp, "GEL_TEMP");
    if (files.temp_dir.empty()) {
        std::fprintf(stderr, "Could not create working directory %s%cGEL_TEMP: %s\n", temp.c_str(), kPathSeparator,
                     std::strerror(errno));
        return 1;
    }
    std::memset(&cleanup_paths, 0, sizeof cleanup_paths);
    copy_path(cleanup_paths.temp_dir, files.temp_dir);
    cleanup_paths.armed = 1;
    run_cleanup_hook = stop_cleanup;

    save_standard_streams();
    error_flag = 0;
    disable_unsupported_errors = false;
    textout_window_disabled = false;
    tree = nullptr;
    take_write_failure();
    output_prepared = false;

    CommandLine cl;
    if (!parse_command_line(argc, argv, &cl)) return 1;
    if (same_file(cl.input, cl.output)) {
        std::fputs("Input and output file must differ.\n", stdout);
        print_usage();
        return 1;
    }

    std::string out_name = fs::path(cl.output).filename().string();
    files.pre_file = (fs::path(files.temp_dir) / (out_name + ".tmp.pre")).string();
    files.dts_file = (fs::path(files.temp_dir) / (out_name + ".tmp.dts")).string();
    files.macro_file = (fs::path(files.temp_dir) / "macro_file.dts").string();
    const char* macrofilename = files.macro_file.c_str();
    copy_path(cleanup_paths.files[0], files.pre_file);
    copy_path(cleanup_paths.files[1], files.dts_file);
    copy_path(cleanup_paths.files[2], files.macro_file);
    copy_path(cleanup_paths.output, cl.output);

    debug_trace_start();

    // Stage 1: preprocessing, and a second pass over the subroutines that
    // macro conversion wrote into the macro file.
    open_stage_files(cl.input, files.pre_file.c_str());
    preprocessor_reset();
    if (run_preprocessor(macrofilename) != 0) early_exit(files.pre_file.c_str());
    if (bind_standard_input(macrofilename)) {
        if (run_preprocessor(macrofilename) != 0) early_exit(files.pre_file.c_str(), macrofilename);
        unbind_standard_input();
        remove_file(files.macro_file);
    } else {
        unbind_standard_input();
    }
    check_stage_writes(WF_TEMPORARY, files.pre_file, cl.output);
    unbind_standard_output();

    // Stage 2: parsing.
    open_stage_files(files.pre_file.c_str(), files.dts_file.c_str());
    tree = list_create();
    scanner_line = 1;
    scanner_reset();
    parse();
    if (error_flag) early_exit(macrofilename, files.pre_file.c_str(), files.dts_file.c_str());

    // Stage 3: code generation.
    regroup_menus(tree);
    debug_trace("Before compile().\n");
    compile(tree, cl.output, macrofilename);
    debug_trace("After compile().\n");
    free_global_lists();
    check_stage_writes(WF_TEMPORARY, files.dts_file, cl.output);

    if (cl.target_given && cl.regs_requested) write_register_report(cl.output);
    if (write_failure_pending()) write_failure_exit(cl.output);

    // Stage 4: the output file is the macro file, a newline and the indented body.
    // It is written under a temporary name and renamed when complete.
    unbind_standard_input();
    unbind_standard_output();
    prepare_output(cl.output, &output_target);
    output_prepared = true;
    copy_path(cleanup_paths.output, output_target.remove_on_failure);
    cleanup_paths.output_started = 1;
    open_stage_files(files.dts_file.c_str(), output_target.write_path.c_str());
    if (FILE* macros = std::fopen(macrofilename, "rb")) {
        copy_stream(macros, stdout);
        std::fclose(macros);
    }
    std::fputc('\n', stdout);
    format_output(stdin, stdout);
    check_stage_writes(WF_OUTPUT, cl.output, cl.output);

    unbind_standard_input();
    unbind_standard_output();
    restore_standard_streams();
    if (error_flag) {
        discard_output(output_target);
        remove_output_file(cl.output);
    } else if (!commit_output(output_target)) {
        note_write_failure(WF_OUTPUT, cl.output, errno);
        write_failure_exit(cl.output);
    }
    output_prepared = false;
    disarm_cleanup();
    debug_trace("Debug end.\n");
    debug_trace_close();
    free_target_definitions();
    return 0;
}

struct ThreadArgs {
    int argc;
    char** argv;
    int status;
};

void conversion_thread(void* p) {
    auto* args = static_cast<ThreadArgs*>(p);
    try {
        args->status = conversion(args->argc, args->argv);
    } catch (const RunExit& e) {
        args->status = e.status;
    }
}

// Leaves the standard streams as the run found them.
void end_of_run() {
    disarm_cleanup();
    restore_standard_streams();
    release_saved_streams();
    debug_trace_close();
}

}  // namespace

void free_global_lists() {
    if (tree) list_release(tree);
    tree = nullptr;
    free_compiler_lists();
    text_arena_reset();
}

// The conversion walks trees whose depth follows the nesting of the script, so
// it runs on a thread with room for the deepest tree the parser accepts.
int run_conversion(int argc, char** argv) {
    ThreadArgs args{argc, argv, 1};
    on_interruption(on_interrupt);
    run_with_stack(size_t(1) << 30, conversion_thread, &args);
    end_of_run();
    return args.status;
}
