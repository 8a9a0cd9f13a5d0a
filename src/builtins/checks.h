// Steps shared by the built-in translations: parameter-count checks, the fill
// of omitted parameters, quoting checks, and the pieces of quoted texts.
#pragma once

#include <cstdint>

#include "compiler/value.h"

// Sets the pending error of a handler: the message goes to message_buffer and
// error_flag is set; the call site prints it.
void set_pending_error(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Writes "line %d: Warning: %s\n" at once. The pending message is not touched.
void handler_warning(int line, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Parameter-count checks. Each returns true when the count is accepted and
// otherwise sets the pending error with the built-in's name.
// Exactly `expected` parameters (no lower check when it is 0).
bool check_exact_count(const char* name, int count, int expected);
// MIN to MAX parameters, with the range messages (no lower check when MIN is 0).
bool check_count_range(const char* name, int count, int min, int max);
// Only a lower or only an upper limit, with the exact-count messages.
bool check_min_count(const char* name, int count, int min);
bool check_max_count(const char* name, int count, int max);

// Gives every omitted parameter (quoted, no text) the text "\"\"".
void fill_omitted_parameters(GelParameter* parameters, int count);

// `position` counts from 0: the first to the fourth parameter must be a
// string literal, else the pending error names the position.
bool check_quoted(const GelParameter* parameters, int position, const char* name);

// Literal forms of a parameter (kind RK_TEXT with the node code of the literal).
bool is_numeric_literal(const GelParameter& p);
bool is_literal(const GelParameter& p);  // numeric or string

// The parameter's text, or "" when it has none.
const char* text_or_empty(const GelParameter& p);
// Writes a quoted text without its enclosing quotes (the text is not changed).
void write_unquoted(const GelParameter& p);
// Cuts the closing quote off the text in place and returns the text behind
// the opening quote. A parameter without text gives "".
char* cut_closing_quote(GelParameter& p);

// A window name has whitespace when, after its leading blanks and tabs, a
// blank or tab is followed by a character that is neither.
bool window_name_has_whitespace(const char* window_name);
// Sets "%s(): Window name with whitespaces not supported by KALDRA" and
// returns false for such a name.
bool check_window_name(const char* window_name, const char* name);

// Value of an integer literal: hexadecimal with "0x"/"0X", else decimal (a
// leading zero does not make it octal, as in the scanner); suffix letters u,
// U, l, L are allowed. False for anything else (floating and character
// literals, macro references) and for values beyond 64 bits.
bool integer_literal_value(const char* text, uint64_t* value);
