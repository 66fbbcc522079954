// UTF-8 text, as the program keeps it, to and from the UTF-16 of Windows'
// wide calls. Windows only (wide_text_windows.cpp).
#pragma once

#include <string>

// `utf8` as UTF-16; invalid bytes become U+FFFD.
std::wstring WideText(const std::string& utf8);
// `wide` as UTF-8.
std::string Utf8Text(const std::wstring& wide);
