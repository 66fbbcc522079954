// Data file names keep the show's Windows spelling ("gfx\part.jpg"): they are
// the registry's keys. They become native paths only when a file is opened.
#pragma once

#include <string>

// `name` with every '\' turned into '/'.
std::string NativePath(const std::string& name);
