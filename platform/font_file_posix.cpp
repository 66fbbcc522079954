// Font files by name through fontconfig, for the bitmap font and the data
// generator's lettering.

#include "platform/font_file.h"

#include <fontconfig/fontconfig.h>

std::string FindFontFile(const std::string& pattern, bool bold) {
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config) return "";
  std::string file;
  if (FcPattern* query = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()))) {
    FcPatternAddInteger(query, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcConfigSubstitute(config, query, FcMatchPattern);
    FcDefaultSubstitute(query);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(config, query, &result)) {
      FcChar8* path = nullptr;
      if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path) {
        file = reinterpret_cast<const char*>(path);
      }
      FcPatternDestroy(match);
    }
    FcPatternDestroy(query);
  }
  FcConfigDestroy(config);
  return file;
}
