// Finding the show's data: the directory "data" below the current directory,
// or else "data" beside the executable.
#pragma once

// Makes the data directory the current directory. False when neither exists
// (the current directory is then unchanged and later file opens fail).
bool EnterDataDirectory();
