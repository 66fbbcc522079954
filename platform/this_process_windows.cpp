// This process as Windows tells it.

#include "platform/this_process.h"

#include <windows.h>
#include <psapi.h>

#include "platform/wide_text.h"

double PeakResidentMB() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0.0;
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

bool StderrIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

std::string MakeTemporaryFile(const std::string& prefix) {
  wchar_t folder[MAX_PATH + 1];
  wchar_t file[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) return std::string();
  // GetTempFileNameW takes the first three letters of the prefix.
  if (GetTempFileNameW(folder, WideText(prefix).c_str(), 0, file) == 0) return std::string();
  return Utf8Text(file);
}
