// The texture registry: every picture file is decoded and uploaded once, and
// found again by its name (exact, case-sensitive).

#include "textures/texture_registry.h"

#include <vector>

#include "textures/ORV2Textures.h"
#include "textures/lit_area.h"

namespace {

struct TTexRegItem {
  std::string Name;
  int32_t Texture;
};

// Only appended to; a failed load is registered with NoTexture too.
std::vector<TTexRegItem> Registry;

// FindTexture, then the reader when nothing usable is registered; the reader
// leaves `texture` at NoTexture when it fails.
template <typename Reader>
int32_t LoadOnce(const std::string& name, Reader read) {
  int32_t texture = FindTexture(name);
  if (texture == NoTexture) {
    read(name, texture);
    RegisterTexture(name, texture);
  }
  return texture;
}

}  // namespace

int32_t LoadTexture(const std::string& name) {
  return LoadOnce(name, [](const std::string& n, int32_t& t) { LoadImageTexture(n, t); });
}

int32_t LoadTGAFileOnce(const std::string& name) {
  return LoadOnce(name, [](const std::string& n, int32_t& t) { LoadTGAFile(n, t); });
}

int32_t FindTexture(const std::string& name) {
  // The whole list is walked: with a name registered more than once (after a
  // failed load was retried) the last entry wins.
  int32_t found = NoTexture;
  for (const TTexRegItem& item : Registry) {
    if (item.Name == name) found = item.Texture;
  }
  return found;
}

void RegisterTexture(const std::string& name, int32_t texture) { Registry.push_back({name, texture}); }

int32_t RegisteredTextureCount() { return static_cast<int32_t>(Registry.size()); }

void ForgetTextures() {
  Registry.clear();
  ForgetAllLitAreas();
}
