// The program's icon for desktop menus: the title's glowing "V" in the show's
// own lettering on a dark violet rounded tile, 256 x 256 RGBA. Deterministic.
#pragma once

#include <filesystem>

// Writes the icon to `path` as PNG. Throws std::runtime_error naming the
// file when it cannot.
void WriteIcon(const std::filesystem::path& path);
