// Picture details: which pictures have them, their file names, and the
// detail a frame's scale asks for.

#include "textures/picture_detail.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// Drawn texel for texel into the designed frame's corner and copied from
// there: the four the feedback blur smears, and the sphere map the metaballs'
// swirl draws into their 256 x 256 feedback picture.
constexpr std::array<std::string_view, 5> kDesignedOnly = {"gfx\\vantrel.jpg", "gfx\\author.jpg", "gfx\\greets.jpg",
                                                           "gfx\\end.jpg", "gfx\\map.jpg"};

// Where a name's extension begins (after its last folder separator), or its
// end: the detail's suffix goes there.
size_t StemEnd(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  const size_t folder = name.find_last_of("\\/");
  return dot == std::string::npos || (folder != std::string::npos && dot < folder) ? name.size() : dot;
}

// "@2x" for detail 2.
std::string DetailSuffix(int detail) {
  std::string suffix(1, '@');
  suffix += std::to_string(detail);
  suffix += 'x';
  return suffix;
}

}  // namespace

const std::vector<int>& PictureDetails() {
  static const std::vector<int> details = {1, 2, 4};
  return details;
}

bool PictureHasDetails(const std::string& name) {
  return std::find(kDesignedOnly.begin(), kDesignedOnly.end(), name) == kDesignedOnly.end();
}

std::string DetailedPictureName(const std::string& name, int detail) {
  if (detail == kDesignedDetail) return name;
  const size_t at = StemEnd(name);
  return name.substr(0, at) + DetailSuffix(detail) + name.substr(at);
}

int DetailOfPictureFile(const std::string& file) {
  const size_t end = StemEnd(file);
  for (const int detail : PictureDetails()) {
    const std::string suffix = DetailSuffix(detail);
    if (detail != kDesignedDetail && end >= suffix.size() && file.compare(end - suffix.size(), suffix.size(), suffix) == 0) {
      return detail;
    }
  }
  return kDesignedDetail;
}

int PictureDetailFor(double scale, int maxTextureSize) {
  if (!(scale > 1.0) || maxTextureSize <= 0) return kDesignedDetail;
  int detail = kDesignedDetail;
  for (const int d : PictureDetails()) {
    if (kLargestDesignedPictureSide * d > maxTextureSize) break;
    detail = d;
    if (d >= scale) break;
  }
  return detail;
}
