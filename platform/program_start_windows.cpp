// A GUI-subsystem program opens no console when double-clicked; started from
// a console it writes there. Its arguments come from the wide command line,
// since the ANSI argv loses every letter outside the code page.

#include "platform/program_start.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "platform/wide_text.h"

namespace {

// A standard stream the parent left unconnected goes to the console.
void ConnectToConsole(DWORD which, std::FILE* stream) {
  const HANDLE handle = GetStdHandle(which);
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN) return;
  if (std::freopen("CONOUT$", "w", stream) != nullptr) std::setvbuf(stream, nullptr, _IONBF, 0);
}

}  // namespace

std::vector<std::string> StartProgram(int, char**) {
  if (AttachConsole(ATTACH_PARENT_PROCESS)) {
    ConnectToConsole(STD_OUTPUT_HANDLE, stdout);
    ConnectToConsole(STD_ERROR_HANDLE, stderr);
  }
  // Text written to the console is UTF-8, as the program keeps it.
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> arguments;
  int count = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i) arguments.push_back(Utf8Text(wide[i]));
    LocalFree(wide);
  }
  return arguments;
}
