// Child processes through CreateProcessW: an inherited pipe into the child's
// input, its output appended to a log file, no console window of its own.

#include "platform/pipe_process.h"

#include <windows.h>

#include "platform/stop_signals.h"
#include "platform/wide_text.h"

namespace {

constexpr DWORD kPipeBytes = 1 << 20;

HANDLE AsHandle(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }
std::intptr_t FromHandle(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }

// One argument as the C runtime's parser reads it back: quoted when it holds
// a space, a tab or a quote, its quotes and the backslashes before them
// escaped.
std::wstring QuotedArgument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

std::string LastError() {
  const DWORD code = GetLastError();
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = text != nullptr ? Utf8Text(text) : "error " + std::to_string(code);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
    message.pop_back();
  }
  return message;
}

void Close(std::intptr_t& handle) {
  if (handle != -1) CloseHandle(AsHandle(handle));
  handle = -1;
}

}  // namespace

std::string FindOnPath(const std::string& name) {
  if (name.empty()) return std::string();
  // SearchPathW looks beside this program first, then in the current
  // folder, the system's folders and PATH; a name with a folder only there.
  wchar_t found[MAX_PATH * 4];
  const DWORD length = SearchPathW(nullptr, WideText(name).c_str(), L".exe", MAX_PATH * 4, found, nullptr);
  if (length == 0 || length >= MAX_PATH * 4) return std::string();
  const DWORD attributes = GetFileAttributesW(found);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::string();
  return Utf8Text(found);
}

PipeProcess::~PipeProcess() {
  Close(input_);
  Kill();
  Reap(/*wait=*/true);
  Close(pid_);
}

bool PipeProcess::Start(const std::vector<std::string>& argv, const std::string& logPath,
                        std::string& error) {
  if (argv.empty()) {
    error = "no program to start";
    return false;
  }
  const std::string program = FindOnPath(argv[0]);
  if (program.empty()) {
    error = argv[0] + " was not found beside veloria.exe or on PATH";
    return false;
  }
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE childInput = nullptr, input = nullptr;
  if (!CreatePipe(&childInput, &input, &inherited, kPipeBytes)) {
    error = "cannot make a pipe: " + LastError();
    return false;
  }
  SetHandleInformation(input, HANDLE_FLAG_INHERIT, 0);  // only the child's end is inherited
  HANDLE log = CreateFileW(WideText(logPath).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           &inherited, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childInput;
  startup.hStdOutput = log != INVALID_HANDLE_VALUE ? log : nullptr;
  startup.hStdError = startup.hStdOutput;
  std::wstring commandLine = QuotedArgument(WideText(program));
  for (size_t i = 1; i < argv.size(); ++i) commandLine += L" " + QuotedArgument(WideText(argv[i]));
  PROCESS_INFORMATION child{};
  const BOOL started = CreateProcessW(WideText(program).c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &child);
  const std::string why = started ? std::string() : LastError();
  CloseHandle(childInput);
  if (log != INVALID_HANDLE_VALUE) CloseHandle(log);
  if (!started) {
    CloseHandle(input);
    error = "cannot start " + program + ": " + why;
    return false;
  }
  CloseHandle(child.hThread);
  pid_ = FromHandle(child.hProcess);
  input_ = FromHandle(input);
  reaped_ = false;
  stopWatch_ = KillChildOnStop(pid_);
  return true;
}

bool PipeProcess::Write(const void* data, size_t size, std::string& error) {
  if (input_ == -1) {
    error = "the program's input is closed";
    return false;
  }
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(size < (1u << 30) ? size : (1u << 30));
    if (!WriteFile(AsHandle(input_), bytes, chunk, &written, nullptr)) {
      const DWORD code = GetLastError();
      error = code == ERROR_BROKEN_PIPE || code == ERROR_NO_DATA ? "the program stopped reading its input"
                                                                 : "cannot write to the program: " + LastError();
      return false;
    }
    bytes += written;
    size -= written;
  }
  return true;
}

void PipeProcess::Reap(bool wait) {
  if (pid_ == -1 || reaped_) return;
  if (WaitForSingleObject(AsHandle(pid_), wait ? INFINITE : 0) != WAIT_OBJECT_0) return;  // still running
  // Forgotten before its handle closes, so the stop handler never holds a
  // closed (or reused) handle.
  ForgetChildOnStop(stopWatch_);
  stopWatch_ = -1;
  DWORD code = 0;
  status_ = GetExitCodeProcess(AsHandle(pid_), &code) ? static_cast<int>(code) : -1;
  reaped_ = true;
}

bool PipeProcess::Running() {
  Reap(/*wait=*/false);
  return pid_ != -1 && !reaped_;
}

void PipeProcess::Kill() {
  if (pid_ != -1 && !reaped_) TerminateProcess(AsHandle(pid_), 1);
}

bool PipeProcess::Finish(std::string& how) {
  Close(input_);
  if (pid_ == -1) {
    how = "never started";
    return false;
  }
  Reap(/*wait=*/true);
  if (status_ == -1) {
    how = "lost track of the process";
    return false;
  }
  how = "exit status " + std::to_string(static_cast<unsigned>(status_));
  return status_ == 0;
}
