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
// veloria-tool image FILE [--png OUT]
int RunImageCommand(int argc, char** argv);
// veloria-tool sync FILE
int RunSyncCommand(int argc, char** argv);
