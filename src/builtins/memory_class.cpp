// Unescaping of quoted file names, the memory class chosen by a page
// parameter, and the address range operand of the memory built-ins.
#include "builtins/memory_class.h"

#include <cstdio>
#include <cstring>

#include "frontend/tree.h"

void unescape_backslashes(char* text) {
    if (!text) return;
    char* out = text;
    for (const char* in = text; *in;) {
        if (in[0] == '\\' && in[1] == '\\') {
            *out++ = '\\';
            in += 2;
        } else {
            *out++ = *in++;
        }
    }
    *out = '\0';
}

MemoryClassChoice select_memory_class(GelParameter* page) {
    MemoryClassChoice choice;
    if (!page) {
        choice.constant = "p";
        return choice;
    }
    if (page->kind == RK_TEXT && page->rd.number == ID_CONSTANT) {
        const char* text = page->rd.text ? page->rd.text : "";
        if (std::strcmp(text, "0x1") == 0) choice.constant = "d";
        else if (std::strcmp(text, "0x2") == 0) choice.constant = "io";
        else choice.constant = "p";
        return choice;
    }
    choice.macro_number = numbering.temp_counter;
    std::fputs("IF ", stdout);
    print_gel_parameter(page);
    std::printf("==1\n\t&__V%i=\"d\"\nELSE IF ", choice.macro_number);
    print_gel_parameter(page);
    std::printf("==2\n\t&__V%i=\"io\"\nELSE\n\t&__V%i=\"p\"\n", choice.macro_number, choice.macro_number);
    return choice;
}

void write_address_range(GelParameter* address, GelParameter* length) {
    print_gel_parameter(address);
    std::fputs(")--((", stdout);
    print_gel_parameter(address);
    std::fputs(")+(((", stdout);
    print_gel_parameter(length);
    std::fputs(")<<1)-1))", stdout);
}
