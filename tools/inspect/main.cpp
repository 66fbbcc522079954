// veloria-tool: inspects the show's data files with the show's own readers.
// One subcommand per kind of file; each lives in its own inspect_*.cpp.

#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/inspect/commands.h"

namespace {

const std::vector<ToolCommand> kCommands = {
    {"image", "prints a picture's size and format as the show decodes it [--png OUT]", RunImageCommand},
    {"sync", "prints and checks a sync track (music\\sync.snc)", RunSyncCommand},
    {"model", "mesh objects of a 3DS model file [--json]", RunModelCommand},
};

void PrintUsage(FILE* out) {
  std::fprintf(out, "usage: veloria-tool COMMAND FILE [options]\n\ncommands:\n");
  for (const ToolCommand& command : kCommands) {
    std::fprintf(out, "  %-8s %s\n", command.name, command.summary);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintUsage(argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  for (const ToolCommand& command : kCommands) {
    if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 2, argv + 2);
  }
  std::fprintf(stderr, "veloria-tool: unknown command '%s'\n", argv[1]);
  PrintUsage(stderr);
  return 2;
}
