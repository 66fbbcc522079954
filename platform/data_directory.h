// Finding the show's data: the directory "data" below the current directory,
// or else "data" beside the executable, or else "../share/veloria/data"
// beside it, where an installed program finds its data.
#pragma once

// Makes the data directory the current directory. False when none exists
// (the current directory is then unchanged and later file opens fail).
bool EnterDataDirectory();
