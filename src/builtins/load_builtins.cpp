// Built-ins that load programs, symbols and GEL files and manage the source
// search path.
#include <cstdio>
#include <cstring>
#include <string>

#include "builtins/handlers.h"
#include "builtins/checks.h"
#include "builtins/memory_class.h"

namespace {

// Checks shared by the loaders of a quoted file name with up to two more
// parameters; leaves the unescaped file text in the first parameter.
bool check_file_parameter(GelParameter* parameters, int count, const char* name) {
    if (!check_count_range(name, count, 1, 3)) return false;
    if (!check_quoted(parameters, 0, name)) return false;
    fill_omitted_parameters(parameters, count);
    unescape_backslashes(parameters[0].rd.text);
    return true;
}

}  // namespace

GEL_HANDLER(GEL_Load) {
    if (!check_file_parameter(parameters, count, name)) return 0;
    std::printf("DATA.LOAD.AUTO %s\n", parameters[0].rd.text);
    return 0;
}

GEL_HANDLER(GEL_SymbolAdd) {
    if (!check_file_parameter(parameters, count, name)) return 0;
    std::printf("Data.LOAD.AUTO %s /NOCODE /NOREG /NOBREAK /NOCLEAR\n", parameters[0].rd.text);
    return 0;
}

GEL_HANDLER(GEL_SymbolLoad) {
    if (!check_file_parameter(parameters, count, name)) return 0;
    std::printf("Data.LOAD.AUTO %s /NOCODE /NOREG /NOBREAK\n", parameters[0].rd.text);
    return 0;
}

GEL_HANDLER(GEL_SymbolRemove) {
    if (!check_file_parameter(parameters, count, name)) return 0;
    char* text = parameters[0].rd.text;
    size_t length = std::strlen(text);
    if (length > 0 && text[length - 1] == '"') text[--length] = '\0';
    // The module is the file's base name: after the last separator (or the
    // opening quote) up to the first dot.
    const char* base = text + (text[0] == '"' ? 1 : 0);
    for (const char* c = text; *c; ++c) {
        if (*c == '\\' || *c == '/') base = c + 1;
    }
    std::string module(base, std::strcspn(base, "."));
    std::printf("sYmbol.Delete \\\\%s\n", module.c_str());
    return 0;
}

GEL_HANDLER(GEL_UnloadAllSymbols) {
    if (!check_exact_count(name, count, 0)) return 0;
    std::printf("sYmbol.Delete\n");
    return 0;
}

GEL_HANDLER(GEL_LoadGel) {
    if (!check_exact_count(name, count, 1)) return 0;
    if (!check_quoted(parameters, 0, name)) return 0;
    fill_omitted_parameters(parameters, count);
    char* text = parameters[0].rd.text;

    // Each pair of backslashes becomes one slash.
    char* out = text;
    for (const char* in = text; *in;) {
        if (in[0] == '\\' && in[1] == '\\') {
            *out++ = '/';
            in += 2;
        } else {
            *out++ = *in++;
        }
    }
    *out = '\0';

    // A path relative to the script's directory: keep what follows the
    // directory name behind "~~~~", drop the quotes and give it the
    // extension of a converted script.
    // A path with a blank, a parenthesis or another character that ends or
    // splits a command argument is written in quotes (a quote doubled).
    static const char kDirectory[] = "$(GEL_file_dir)";
    bool quote = false;
    if (char* found = std::strstr(text, kDirectory)) {
        char* start = found + (sizeof kDirectory - 1) - 4;
        std::memset(start, '~', 4);
        std::memmove(text, start, std::strlen(start) + 1);
        size_t length = std::strlen(text);
        if (length > 0 && text[length - 1] == '"') text[--length] = '\0';
        if (length >= 3) std::memcpy(text + length - 3, "cmm", 3);
        quote = text[std::strspn(text, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_.~/+-")] != '\0';
    }

    std::fputs(quote ? "DO \"" : "DO ", stdout);
    for (const char* c = text; *c; ++c) {
        if (quote && *c == '"') std::fputc('"', stdout);
        std::fputc(*c, stdout);
        if (c[0] == '/' && c[1] == '/') ++c;
    }
    std::fputs(quote ? "\"\n" : "\n", stdout);
    return 0;
}

GEL_HANDLER(GEL_SrcDirAdd) {
    if (!check_exact_count(name, count, 1)) return 0;
    if (!check_quoted(parameters, 0, name)) return 0;
    fill_omitted_parameters(parameters, count);
    unescape_backslashes(parameters[0].rd.text);
    std::printf("sYmbol.SourcePATH.SetDir %s\n", parameters[0].rd.text);
    return 0;
}

GEL_HANDLER(GEL_SrcDirRemoveAll) {
    if (!check_exact_count(name, count, 0)) return 0;
    std::printf("SYMBOL.SourcePATH.RESet\n");
    return 0;
}
