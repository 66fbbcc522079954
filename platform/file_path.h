// Data file names keep the show's Windows spelling ("gfx\part.jpg"): they are
// the registry's keys. They become native paths only when a file is opened.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// `name` with every '\' turned into '/'.
std::string NativePath(const std::string& name);
// `text` with its ASCII letters upper-cased: names and extensions compare so.
std::string UpperCased(std::string text);
// The whole file `name` (a data name or a native path), or nothing when it
// cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& name);
