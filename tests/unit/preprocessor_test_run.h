// Runs the preprocessor over a text in memory and captures what it writes.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>

#include "driver/diagnostics.h"
#include "preprocessor/preprocessor.h"
#include "test_support.h"

namespace pp_test {

// What every first run writes first: the marker of the standard input, an
// empty line and the two header lines.
inline const std::string kStart =
    "#line 1 \"\"\n\n// #dtsdefina LOCAL &function &args\n// #dtsdefinb ENTRY &function %LINE &args\n";
// ... followed, when the input starts with a text line, by its marker.
inline const std::string kHeader = kStart + "#line 1\n";

struct RunExit {
    int status;
};

struct Result {
    int status = 0;       // result of run_preprocessor, or the exit status of a fatal error
    bool fatal = false;
    std::string out;
    std::string err;
    std::string macro_file;
};

// `first` resets the conversion (a first run); otherwise definitions and the
// macro file of earlier runs stay.
inline Result run(const std::string& text, bool first = true, const std::string& macro_path = test_support::private_path("pp_test_macro_file.dts")) {
    if (first) {
        preprocessor_reset();
        std::remove(macro_path.c_str());
    }
    std::string input = test_support::write_temp_file(text);
    Result r;
    if (!std::freopen(input.c_str(), "r", stdin)) throw std::runtime_error("cannot reopen stdin");
    run_exit_hook = [](int status) { throw RunExit{status}; };
    {
        test_support::Capture out(stdout);
        test_support::Capture err(stderr);
        try {
            r.status = run_preprocessor(macro_path.c_str());
        } catch (const RunExit& e) {
            r.status = e.status;
            r.fatal = true;
        }
        r.err = err.text();
        err.restore();
        r.out = out.text();
    }
    run_exit_hook = nullptr;
    std::remove(input.c_str());
    r.macro_file = test_support::read_file(macro_path);
    return r;
}

}  // namespace pp_test
