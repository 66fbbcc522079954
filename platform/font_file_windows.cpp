// Font files by name from the system's font list: the registry names each
// installed face ("Arial Bold (TrueType)") and its file in the font folder.

#include "platform/font_file.h"

#include <windows.h>

#include <string>

#include "platform/wide_text.h"

namespace {

const wchar_t kFontList[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
// Faces tried after the one asked for: Arial is on every Windows, Tahoma on
// every Wine.
const char* const kFallbacks[] = {"Arial", "Tahoma"};

// The file of the face registered as `name`, or "".
std::wstring RegisteredFile(const std::wstring& name) {
  wchar_t file[MAX_PATH] = {};
  DWORD bytes = sizeof file - sizeof file[0];
  if (RegGetValueW(HKEY_LOCAL_MACHINE, kFontList, name.c_str(), RRF_RT_REG_SZ, nullptr, file, &bytes) !=
      ERROR_SUCCESS) {
    return std::wstring();
  }
  return file;
}

std::wstring FontFolder() {
  wchar_t windows[MAX_PATH] = {};
  const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(windows) + L"\\Fonts\\" : std::wstring();
}

}  // namespace

std::string FindFontFile(const std::string& pattern, bool bold) {
  // Only the family of a fontconfig-style pattern ("Arial:bold") is looked up.
  const std::string asked = pattern.substr(0, pattern.find(':'));
  std::string families[] = {asked, kFallbacks[0], kFallbacks[1]};
  for (const std::string& family : families) {
    const std::wstring name = WideText(family);
    for (const wchar_t* style : {bold ? L" Bold (TrueType)" : L" (TrueType)", L" (TrueType)"}) {
      const std::wstring file = RegisteredFile(name + style);
      if (file.empty()) continue;
      // A bare file name lies in the font folder.
      const bool bare = file.find(L'\\') == std::wstring::npos;
      return Utf8Text(bare ? FontFolder() + file : file);
    }
  }
  return "";
}
