// The batch mode: command line, the scripts to convert, the conversions run
// as child processes of this program a few at a time, their diagnostics in the
// order of the inputs, the progress line and the report.
#include "driver/batch.h"
#include "driver/platform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "driver/batch_files.h"
#include "driver/batch_outcome.h"
#include "driver/batch_process.h"
#include "driver/batch_report.h"
#include "driver/command_line.h"
#include "driver/targets.h"

namespace fs = std::filesystem;

namespace {

const char* const kBatchUsage =
    "Batch: [-aARCH_NAME] [-tTARGET_NAME] [-r] [-d] [-w] [-jN] --out-dir <output_dir> <input>...\n"
    "\tConverts every *.gel file of the inputs (files or folders) into <output_dir>, with a report.\n"
    "j - Number of conversions run at a time (default: the number of processors).\n";

struct BatchCommandLine {
    std::vector<std::string> options;  // conversion options, passed on to every run
    std::string out_dir;
    std::vector<std::string> inputs;
    int jobs = 0;  // 0: the number of processors
    bool target_given = false;
    bool regs_requested = false;
};

// One script of the batch.
struct Job {
    std::string source;   // the GEL file as found (input joined with the relative path)
    std::string display;  // its name in diagnostics
    std::string folder;   // the folder it is converted in
    std::string name;     // its file name
    BatchScript script;   // relative paths and, once run, the outcome
    std::string output;   // the converted script's path
    std::string refusal;  // why it is not run, when it is not
    bool includes = false;  // it has #include lines: it runs among links to its folder's files
    std::string work, out_log, err_log;
    std::string out_text, err_text;  // what the conversion wrote on its standard output and error
    bool finished = false;
};

int usage_error(const char* message) {
    std::fputs(message, stdout);
    print_usage();
    std::fputs(kBatchUsage, stdout);
    return 1;
}

bool parse_jobs(const char* text, int* jobs) {
    if (!*text) return false;
    long n = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') return false;
        n = n * 10 + (*c - '0');
        if (n > 1024) return false;
    }
    if (n < 1) return false;
    *jobs = static_cast<int>(n);
    return true;
}

// 0 when the command line is sound; otherwise the exit status after the
// message and the usage text.
int parse_batch_command_line(int argc, char** argv, BatchCommandLine* cl) {
    bool seen_out = false, seen_j = false;
    int i = 1;
    for (; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--") == 0) {
            ++i;
            break;
        }
        if (std::strcmp(a, "--out-dir") == 0 || std::strncmp(a, "--out-dir=", 10) == 0) {
            if (seen_out) return usage_error("Incorrect parameters.\n");
            seen_out = true;
            if (a[9] == '=')
                cl->out_dir = a + 10;
            else if (i + 1 < argc)
                cl->out_dir = argv[++i];
            continue;
        }
        if (a[0] != '-' || a[1] == '\0') break;
        if (a[1] == 'j') {
            if (seen_j || !parse_jobs(a + 2, &cl->jobs)) return usage_error("Incorrect parameters.\n");
            seen_j = true;
            continue;
        }
        cl->options.push_back(a);
    }
    for (; i < argc; ++i) cl->inputs.push_back(argv[i]);
    if (cl->out_dir.empty()) return usage_error("Output folder not specified.\n");
    if (cl->inputs.empty()) return usage_error("Input file or folder not specified.\n");

    // The conversion options are checked as a single run checks them, on a
    // copy (the check rewrites names in place), with stand-in file names.
    std::vector<std::string> copies{argv[0]};
    for (const std::string& o : cl->options) copies.push_back(o);
    copies.push_back("input.gel");
    copies.push_back("output.cmm");
    std::vector<char*> args;
    for (std::string& c : copies) args.push_back(c.data());
    args.push_back(nullptr);
    CommandLine single;
    if (!parse_command_line(static_cast<int>(copies.size()), args.data(), &single)) {
        std::fputs(kBatchUsage, stdout);
        return 1;
    }
    cl->target_given = single.target_given;
    cl->regs_requested = single.regs_requested;
    free_target_definitions();

    for (const std::string& in : cl->inputs) {
        std::error_code ec;
        if (!fs::exists(in, ec)) {
            std::string message = "Input not found: " + in + "\n";
            return usage_error(message.c_str());
        }
    }
    return 0;
}

std::string read_file(const std::string& path, bool* found = nullptr) {
    std::ifstream in(path, std::ios::binary);
    if (found) *found = static_cast<bool>(in);
    if (!in) return "";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string with_cmm_extension(const std::string& relative) {
    fs::path p(relative);
    p.replace_extension(".cmm");
    return p.generic_string();
}

std::string canonical_text(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(path, ec);
    return ec ? path : p.string();
}

// The scripts of the inputs, in their order; a file met twice is converted once.
std::vector<Job> collect_scripts(const BatchCommandLine& cl) {
    std::vector<Job> jobs;
    std::set<std::string> seen;
    auto add = [&](const std::string& source, const std::string& display, const std::string& relative) {
        if (!seen.insert(canonical_text(source)).second) return;
        Job j;
        j.source = source;
        j.display = display;
        fs::path p(source);
        j.folder = p.has_parent_path() ? p.parent_path().string() : ".";
        j.name = p.filename().string();
        j.script.path = relative;
        j.script.output = with_cmm_extension(relative);
        jobs.push_back(j);
    };
    for (const std::string& in : cl.inputs) {
        std::error_code ec;
        if (fs::is_directory(in, ec)) {
            for (const std::string& rel : find_gel_files(in)) {
                std::string path = (fs::path(in) / rel).string();
                add(path, path, rel);
            }
        } else {
            add(in, in, fs::path(in).filename().generic_string());
        }
    }
    return jobs;
}

// Leaves out the scripts that other files #include, and finds how far above
// a script's folder its #include names reach.
std::vector<IncludedFile> leave_out_included(std::vector<Job>& jobs, int* levels_up) {
    std::map<std::string, size_t> by_path;
    for (size_t i = 0; i < jobs.size(); ++i) by_path.emplace(canonical_text(jobs[i].source), i);
    std::map<size_t, std::vector<std::string>> includers;
    std::vector<std::string> pending;
    std::set<std::string> scanned;
    for (const Job& j : jobs) pending.push_back(canonical_text(j.source));
    *levels_up = 0;
    // In the order of the inputs, so that includers are listed in that order.
    for (size_t next = 0; next < pending.size(); ++next) {
        std::string file = pending[next];
        if (!scanned.insert(file).second) continue;
        bool found = false;
        std::string text = read_file(file, &found);
        if (!found) continue;
        auto self = by_path.find(file);
        std::string who = self != by_path.end() ? jobs[self->second].script.path : file;
        std::vector<IncludeDirective> directives = scan_includes(text);
        if (self != by_path.end()) jobs[self->second].includes = !directives.empty();
        for (const IncludeDirective& d : directives) {
            if (!d.quoted) continue;
            *levels_up = std::max(*levels_up, levels_climbed(d.name));
            fs::path target = fs::path(d.name).is_absolute() ? fs::path(d.name) : fs::path(file).parent_path() / d.name;
            std::error_code ec;
            if (!fs::is_regular_file(target, ec)) continue;
            std::string canonical = canonical_text(target.string());
            auto it = by_path.find(canonical);
            if (it != by_path.end() && canonical != file) {
                auto& list = includers[it->second];
                if (std::find(list.begin(), list.end(), who) == list.end()) list.push_back(who);
            }
            pending.push_back(canonical);
        }
    }
    std::vector<IncludedFile> included;
    std::vector<Job> kept;
    for (size_t i = 0; i < jobs.size(); ++i) {
        auto it = includers.find(i);
        if (it == includers.end())
            kept.push_back(jobs[i]);
        else
            included.push_back({jobs[i].script.path, it->second});
    }
    jobs = kept;
    return included;
}

// Two scripts that would be converted to one file, or an output that would
// replace a GEL file of the inputs: such a script is not run.
void refuse_clashes(std::vector<Job>& jobs) {
    std::map<std::string, std::string> outputs;
    std::set<std::string> sources;
    for (const Job& j : jobs) sources.insert(canonical_text(j.source));
    for (Job& j : jobs) {
        auto [it, fresh] = outputs.emplace(j.script.output, j.display);
        if (!fresh)
            j.refusal = "Output file " + j.script.output + " is also the output of " + it->second + ".";
        else if (sources.count(canonical_text(j.output)))
            j.refusal = "Output file " + j.script.output + " would replace a GEL file of the inputs.";
    }
}

void print_lines(FILE* stream, const std::string& prefix, const std::string& text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) {
            std::fputs(prefix.c_str(), stream);
            std::fwrite(text.data() + start, 1, end - start, stream);
            std::fputc('\n', stream);
        }
        start = end + 1;
    }
}

struct Progress {
    bool shown = false;
    size_t width = 0;
    void clear() {
        if (!shown || width == 0) return;
        std::fprintf(stderr, "\r%*s\r", static_cast<int>(width), "");
        std::fflush(stderr);
        width = 0;
    }
    void show(size_t done, size_t total, int converted, int failed) {
        if (!shown) return;
        char line[160];
        int n = std::snprintf(line, sizeof line, "%zu/%zu done, %d converted, %d failed", done, total, converted, failed);
        clear();
        std::fputs(line, stderr);
        std::fflush(stderr);
        width = n > 0 ? static_cast<size_t>(n) : 0;
    }
};

bool write_text(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

// Starts the conversion of `job`: the child's id, or -1 (with the reason in
// `job.refusal`) when it could not be started.
long start_job(Job& job, size_t index, const BatchCommandLine& cl, const std::string& program, const std::string& temp,
               int levels_up) {
    std::error_code ec;
    // What an earlier batch left at this place is not this batch's result.
    fs::remove(job.output, ec);
    fs::remove(job.output + ".regs", ec);
    fs::create_directories(fs::path(job.output).parent_path(), ec);
    std::string base = (fs::path(temp) / std::to_string(index)).string();
    job.out_log = base + ".out";
    job.err_log = base + ".err";
    job.work = base + ".d";
    // A script without #include lines reads nothing but itself: it runs in an
    // empty directory, with the path of its file.
    std::string directory = job.includes ? make_working_directory(job.folder, levels_up, job.work)
                            : fs::create_directory(job.work, ec) ? job.work
                                                                 : std::string();
    if (directory.empty()) {
        job.refusal = "Could not make a working directory for the conversion.";
        return -1;
    }
    std::vector<std::string> argv{program};
    for (const std::string& o : cl.options) argv.push_back(o);
    if (job.includes)
        argv.push_back(job.name[0] == '-' ? "./" + job.name : job.name);
    else
        argv.push_back(fs::absolute(job.source, ec).string());
    argv.push_back(job.output);
    long id = start_child(argv, directory, job.out_log, job.err_log);
    if (id < 0) job.refusal = "Could not start the conversion.";
    return id;
}

void finish_job(Job& job, int status) {
    bool have_output = false, have_regs = false;
    job.out_text = read_file(job.out_log);
    job.err_text = read_file(job.err_log);
    std::string output = read_file(job.output, &have_output);
    std::string regs = read_file(job.output + ".regs", &have_regs);
    job.script.outcome = read_outcome(status, job.out_text, job.err_text, have_output ? &output : nullptr,
                                      have_regs ? &regs : nullptr);
    if (job.script.outcome.first_diagnostic.empty() && status > 128)
        job.script.outcome.first_diagnostic = "Ended by signal " + std::to_string(status - 128) + ".";
    std::error_code ec;
    fs::remove_all(job.work, ec);
    job.finished = true;
}

void refuse_job(Job& job) {
    job.err_text = job.refusal + "\n";
    job.script.outcome = read_outcome(1, "", job.err_text, nullptr, nullptr);
    job.script.outcome.errors = 1;
    job.finished = true;
}

void print_diagnostics(const Job& job) {
    std::string prefix = job.display + ": ";
    std::fflush(stdout);
    print_lines(stdout, prefix, job.out_text);
    std::fflush(stdout);
    print_lines(stderr, prefix, job.err_text);
    std::fflush(stderr);
}

}  // namespace

bool is_batch_command_line(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--out-dir") == 0 || std::strncmp(argv[i], "--out-dir=", 10) == 0) return true;
    return false;
}

int run_batch(int argc, char** argv) {
    BatchCommandLine cl;
    if (int status = parse_batch_command_line(argc, argv, &cl)) return status;

    std::error_code ec;
    fs::create_directories(cl.out_dir, ec);
    if (!fs::is_directory(cl.out_dir, ec)) {
        std::printf("Could not create output folder \"%s\"\n", cl.out_dir.c_str());
        return 1;
    }
    fs::path out_dir = fs::absolute(cl.out_dir, ec);

    std::vector<Job> jobs = collect_scripts(cl);
    int levels_up = 0;
    BatchReport report;
    report.included = leave_out_included(jobs, &levels_up);
    for (Job& j : jobs) j.output = (out_dir / j.script.output).string();
    refuse_clashes(jobs);

    std::string temp = make_private_directory("gel2querna-batch.");
    if (temp.empty()) {
        std::fputs("Could not create a temporary folder\n", stderr);
        return 1;
    }
    const std::string program = program_own_path(argv[0]);
    size_t parallel = static_cast<size_t>(cl.jobs > 0 ? cl.jobs : processor_count());
    install_interrupt_watch();
    Progress progress;
    progress.shown = stderr_is_terminal();

    std::map<long, size_t> running;
    size_t next = 0, printed = 0, done = 0;
    int converted_count = 0, failed_count = 0;
    while (next < jobs.size() || !running.empty()) {
        while (running.size() < parallel && next < jobs.size() && !interrupt_signal()) {
            Job& job = jobs[next];
            long id = job.refusal.empty() ? start_job(job, next, cl, program, temp, levels_up) : -1;
            if (id >= 0)
                running.emplace(id, next);
            else
                refuse_job(job);
            ++next;
        }
        if (!running.empty()) {
            int status = 0;
            long id = wait_child(&status);
            auto it = running.find(id);
            if (id < 0) break;
            if (it == running.end()) continue;
            finish_job(jobs[it->second], status);
            running.erase(it);
        } else if (interrupt_signal()) {
            break;
        }
        // Diagnostics go out in the order of the inputs.
        for (; printed < jobs.size() && jobs[printed].finished; ++printed) {
            progress.clear();
            print_diagnostics(jobs[printed]);
        }
        done = 0;
        converted_count = failed_count = 0;
        for (const Job& j : jobs) {
            if (!j.finished) continue;
            ++done;
            ScriptStatus s = j.script.outcome.status;
            (s == ScriptStatus::converted || s == ScriptStatus::converted_with_warnings ? converted_count
                                                                                         : failed_count)++;
        }
        progress.show(done, jobs.size(), converted_count, failed_count);
    }
    progress.clear();
    for (const Job& j : jobs)
        if (!j.work.empty()) fs::remove_all(j.work, ec);
    fs::remove_all(temp, ec);
    if (int sig = interrupt_signal()) end_by_signal(sig);

    report.options = cl.options;
    report.registers = cl.target_given && cl.regs_requested;
    for (const Job& j : jobs) report.scripts.push_back(j.script);
    const std::pair<const char*, std::string> reports[] = {{"conversion-report.md", report_markdown(report)},
                                                           {"conversion-report.json", report_json(report)}};
    for (const auto& [name, text] : reports) {
        std::string path = (out_dir / name).string();
        if (!write_text(path, text)) {
            std::fprintf(stderr, "Could not write %s\n", path.c_str());
            return 1;
        }
    }

    int counts[4] = {0, 0, 0, 0};
    for (const Job& j : jobs) counts[static_cast<int>(j.script.outcome.status)]++;
    std::printf("%zu scripts: %d converted, %d converted with warnings, %d error (no output), %d stopped (early exit); "
                "report: %s\n",
                jobs.size(), counts[0], counts[1], counts[2], counts[3],
                (fs::path(cl.out_dir) / "conversion-report.md").string().c_str());
    if (jobs.empty()) {
        std::puts("No GEL script found in the inputs.");
        return 1;
    }
    return counts[2] + counts[3] == 0 ? 0 : 1;
}
