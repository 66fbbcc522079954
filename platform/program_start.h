// What main asks of the system first: its standard streams and its arguments
// (program_start_posix.cpp, program_start_windows.cpp).
#pragma once

#include <string>
#include <vector>

// The arguments after the program's name, in UTF-8. On Windows, a program
// with no console of its own (double-clicked) that was started from one
// prints to that console; stdout and stderr redirected elsewhere stay so.
std::vector<std::string> StartProgram(int argc, char** argv);
