// veloria-tool: inspects the show's data files with the show's own readers.

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
    std::printf("usage: veloria-tool COMMAND FILE [options]\n");
    return argc < 2 ? 2 : 0;
  }
  std::fprintf(stderr, "veloria-tool: unknown command '%s'\n", argv[1]);
  return 2;
}
