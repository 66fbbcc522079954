// Writing the generated data set: every file goes through here so that
// folders are created and failures are reported the same way.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// OUTDIR joined with a show data name such as "gfx\part.jpg".
std::filesystem::path DataFilePath(const std::filesystem::path& outDir, const std::string& name);

// Writes `bytes` to `path`, creating its folders. Throws std::runtime_error
// naming the file when it cannot.
void WriteDataFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
