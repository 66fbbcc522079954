// The arguments as the system passes them: already UTF-8 bytes.

#include "platform/program_start.h"

std::vector<std::string> StartProgram(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}
