// The subcommands of veloria-tool. Each gets the arguments after its name and
// returns the process exit status: 0 when the file is valid, 1 when the
// reader rejected it (its message printed on stderr), 2 on a usage error.
#pragma once

struct ToolCommand {
  const char* name;
  const char* summary;
  int (*run)(int argc, char** argv);
};

// Each subcommand is defined in its inspect_*.cpp.
// image FILE [--png OUT]: a picture decoded with the show's own decoders.
int RunImageCommand(int argc, char** argv);
// sync FILE: the sections and events of a sync track, and what is odd about it.
int RunSyncCommand(int argc, char** argv);
// model FILE [--json]: the mesh objects of a 3DS model file.
int RunModelCommand(int argc, char** argv);
