// Font files by name: fontconfig's closest match for a face on Linux, the
// registered face in the Windows font folder on Windows.
#pragma once

#include <string>

// The file of the installed font that fontconfig matches best to `pattern`
// (a fontconfig name such as "Arial" or "Liberation Serif:italic"), at bold
// or regular weight. A missing face still gives fontconfig's substitute
// ("Arial" finds Liberation Sans; on Windows Arial, else Tahoma). Returns ""
// when no font is installed.
std::string FindFontFile(const std::string& pattern, bool bold);
