// Writing the generated data set.

#include "tools/generate/data_files.h"

#include <fstream>
#include <stdexcept>

#include "platform/file_path.h"

std::filesystem::path DataFilePath(const std::filesystem::path& outDir, const std::string& name) {
  return outDir / NativePath(name);
}

void WriteDataFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}
