// Running the built show from tests.

#include "tests/program_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/file_path.h"

namespace fs = std::filesystem;

fs::path TempDir(const char* name) {
  const fs::path dir = fs::temp_directory_path() / (std::string(name) + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

void MakeShowDataDir(const fs::path& dataDir) {
  fs::create_directories(dataDir / "music");
  fs::copy(fs::path(VELORIA_DATA_DIR) / "mod", dataDir / "mod", fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  return ReadWholeFile(path.string()).value_or(std::vector<uint8_t>{});
}

int RunVeloria(const fs::path& dir, const std::string& args, const std::string& environment, int limitSeconds) {
  const std::string limit = limitSeconds > 0 ? " timeout -s KILL " + std::to_string(limitSeconds) : "";
  const std::string command = "cd '" + dir.string() + "' && " + environment + limit + " '" VELORIA_BINARY "' " +
                              args + " >stdout.txt 2>stderr.txt";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
