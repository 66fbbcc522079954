// Helpers for tests that run the built programs: scratch directories, whole
// text files, and the show run from a directory with its output captured.
#pragma once

#include <filesystem>
#include <string>

// An empty directory named `name` plus the process id under the temp directory.
std::filesystem::path TempDir(const char* name);

// The whole text of `path`; empty when it cannot be read.
std::string ReadText(const std::filesystem::path& path);

// Runs the show in `dir` with `args` (shell words) after the shell assignments
// of `environment` (e.g. "PATH=/x"); stdout goes to dir/stdout.txt, stderr to
// dir/stderr.txt. The exit status, or -1 when the program did not exit.
int RunVeloria(const std::filesystem::path& dir, const std::string& args,
               const std::string& environment = "");

// Copies the generated models into `dataDir`/mod: a show without them ends
// during loading with "Cannot open file mod\...".
void CopyShowModels(const std::filesystem::path& dataDir);
