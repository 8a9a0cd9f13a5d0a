// Conversion of conditions into the boolean form that IF and WHILE accept.
#pragma once

#include <string>

// Converted text of a condition; on any parse failure, the input itself.
std::string convert_condition(const std::string& condition);
// "Var.VALUE(" + text + ")" when the text starts with an HLL name, else the text.
std::string wrap_hll_value(const std::string& text);
