// What the run modes ask of the system about this process
// (this_process_posix.cpp, this_process_windows.cpp).
#pragma once

#include <string>

// The most memory the process has held resident so far, in MiB; 0 when the
// system does not say.
double PeakResidentMB();
// True when stderr is a terminal (a console on Windows), where a progress
// line may be redrawn in place.
bool StderrIsTerminal();
// A new, empty file of a name no other has, in the system's folder for
// temporary files, its name starting with `prefix`; "" when none can be made.
std::string MakeTemporaryFile(const std::string& prefix);
