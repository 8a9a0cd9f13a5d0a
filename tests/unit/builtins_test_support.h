// Parameters built by hand and a runner that calls one built-in handler and
// collects what it wrote and reported.
#pragma once

#include <string>
#include <vector>

#include "builtins/builtins.h"
#include "builtins/handlers.h"
#include "compiler/value.h"
#include "driver/diagnostics.h"
#include "test_support.h"

namespace builtins_test {

inline GelParameter quoted(const char* text) {
    GelParameter p;
    p.kind = RK_TEXT;
    p.rd.number = ID_STRING;
    p.rd.text = pool_string(text);
    return p;
}

inline GelParameter omitted() {
    GelParameter p;
    p.kind = RK_TEXT;
    p.rd.number = ID_STRING;
    p.rd.text = nullptr;
    return p;
}

inline GelParameter number(const char* text) {
    GelParameter p;
    p.kind = RK_TEXT;
    p.rd.number = ID_CONSTANT;
    p.rd.text = pool_string(text);
    return p;
}

inline GelParameter identifier(const char* text) {
    GelParameter p;
    p.kind = RK_TEXT;
    p.rd.number = 131;  // any node kind other than the two literals
    p.rd.text = pool_string(text);
    return p;
}

inline GelParameter variable(const char* name) {
    GelParameter p;
    p.kind = RK_HLL_VARIABLE;
    p.rd.text = pool_string(name);
    return p;
}

inline GelParameter expression(const char* text) {
    GelParameter p;
    p.kind = RK_EXPRESSION;
    p.rd.text = pool_string(text);
    return p;
}

inline GelParameter macro_temp(int n) {
    GelParameter p;
    p.kind = RK_MACRO_TEMP;
    p.rd.number = n;
    return p;
}

struct Result {
    std::string out;      // script output
    std::string err;      // diagnostics written at once
    bool failed = false;  // error pending
    std::string message;  // the pending message
};

using Parameters = std::vector<GelParameter>;

// Runs a handler as the dispatch would, with a fresh error state.
inline Result run(gel_handler handler, const char* name, Parameters parameters = {}, int line = 7,
                  bool called_before = false) {
    error_flag = 0;
    message_buffer.clear();
    Result r;
    {
        test_support::Capture out(stdout);
        test_support::Capture err(stderr);
        handler(parameters.empty() ? nullptr : parameters.data(), static_cast<int>(parameters.size()), name, line,
                called_before);
        r.out = out.text();
        r.err = err.text();
    }
    r.failed = error_flag != 0;
    if (r.failed) r.message = message_buffer;
    error_flag = 0;
    return r;
}

}  // namespace builtins_test
