// Pieces of JSON text for the reports that write it (the benchmark, the flash
// report).
#pragma once

#include <string>

// `text` as a JSON string, quotes included, with quotes, backslashes and
// control characters escaped.
std::string JsonString(const std::string& text);

// `value` printed with the printf `format` (a JSON number for finite values).
std::string JsonNumber(double value, const char* format = "%.3f");
