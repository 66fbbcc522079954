// The texture registry: every picture file is decoded and uploaded once, and
// found again by its name (exact, case-sensitive), at the detail in use.

#include "textures/texture_registry.h"

#include <GL/gl.h>

#include <cstdio>
#include <set>

#include "textures/lit_area.h"
#include "textures/picture_detail.h"
#include "textures/picture_prefetch.h"

namespace {

struct TTexRegItem {
  std::string Name;
  int32_t Texture;
  int Detail;  // of the file the texture was read from
  bool StandAloneTGA = false;  // read by the stand-alone TGA reader
};

// A texture waiting for its pictures at another detail.
struct TPendingDetail {
  int32_t Texture;
  std::string File;  // the detailed file it is to hold
  int Detail;
};

// Only appended to; a failed load is registered with NoTexture too.
std::vector<TTexRegItem> Registry;
int detailInUse = kDesignedDetail;
// The details whose missing files stderr has named.
std::set<int> detailsSaidMissing;
// The textures a change of detail has still to fill, in the prefetch's order.
std::vector<TPendingDetail> pendingDetails;

// The detail `name` is read at now.
int DetailToRead(const std::string& name) { return PictureHasDetails(name) ? detailInUse : kDesignedDetail; }

void SayDetailMissing(const std::string& file, int detail) {
  if (!detailsSaidMissing.insert(detail).second) return;
  std::fprintf(stderr,
               "veloria: %s is missing or unreadable: pictures without their detail-%d file are drawn from the "
               "designed one\n",
               file.c_str(), detail);
}

// FindTexture, then the reader when nothing usable is registered: the
// detailed file, quietly, and failing that `read` on the designed one, which
// leaves `texture` at NoTexture when it fails.
template <typename Reader>
int32_t LoadOnce(const std::string& name, Reader read, bool standAloneTGA) {
  int32_t texture = FindTexture(name);
  if (texture == NoTexture) {
    int detail = DetailToRead(name);
    if (detail != kDesignedDetail) {
      const std::string file = DetailedPictureName(name, detail);
      if (!LoadPictureQuietly(file, texture, standAloneTGA)) {
        SayDetailMissing(file, detail);
        detail = kDesignedDetail;
      }
    }
    if (detail == kDesignedDetail) read(name, texture);
    Registry.push_back({name, texture, detail, standAloneTGA});
  }
  return texture;
}

const TTexRegItem* EntryOf(int32_t texture) {
  if (texture == NoTexture) return nullptr;
  for (const TTexRegItem& item : Registry) {
    if (item.Texture == texture) return &item;
  }
  return nullptr;
}

}  // namespace

int32_t LoadTexture(const std::string& name) {
  return LoadOnce(name, [](const std::string& n, int32_t& t) { LoadImageTexture(n, t); }, false);
}

int32_t LoadTGAFileOnce(const std::string& name) {
  return LoadOnce(name, [](const std::string& n, int32_t& t) { LoadTGAFile(n, t); }, true);
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

void RegisterTexture(const std::string& name, int32_t texture) {
  Registry.push_back({name, texture, kDesignedDetail});
}

int32_t RegisteredTextureCount() { return static_cast<int32_t>(Registry.size()); }

void ForgetTextures() {
  Registry.clear();
  ForgetAllLitAreas();
  ForgetStoredPictureSizes();
  detailInUse = kDesignedDetail;
  detailsSaidMissing.clear();
  pendingDetails.clear();
}

void SetPictureDetail(int detail) { detailInUse = detail; }

int PictureDetail() { return detailInUse; }

std::vector<std::string> PictureFilesAtDetail(const std::vector<std::string>& names) {
  std::vector<std::string> files;
  for (const std::string& name : names) files.push_back(DetailedPictureName(name, DetailToRead(name)));
  return files;
}

void ChangePictureDetail(int detail) {
  SetPictureDetail(detail);
  pendingDetails.clear();
  std::set<int32_t> queued;
  std::vector<std::string> files;
  for (const TTexRegItem& item : Registry) {
    // The entry a name was found by last is the one in use.
    if (item.Texture == NoTexture || FindTexture(item.Name) != item.Texture || !queued.insert(item.Texture).second) {
      continue;
    }
    const int wanted = DetailToRead(item.Name);
    if (item.Detail == wanted) continue;
    pendingDetails.push_back({item.Texture, DetailedPictureName(item.Name, wanted), wanted});
    files.push_back(pendingDetails.back().File);
  }
  PrefetchPictures(files);
}

bool FillNextPictureDetail() {
  if (pendingDetails.empty()) return false;
  const TPendingDetail next = pendingDetails.front();
  if (!PrefetchedPictureReady(next.File)) return true;
  pendingDetails.erase(pendingDetails.begin());
  // A file that cannot be read leaves the texture at the detail it holds.
  if (ReloadPictureQuietly(next.File, next.Texture)) {
    for (TTexRegItem& item : Registry) {
      if (item.Texture == next.Texture) item.Detail = next.Detail;
    }
  } else if (next.Detail != kDesignedDetail) {
    SayDetailMissing(next.File, next.Detail);
  }
  return !pendingDetails.empty();
}

int TextureDetail(int32_t texture) {
  const TTexRegItem* entry = EntryOf(texture);
  return entry == nullptr ? kDesignedDetail : entry->Detail;
}

TPixelSize DesignedSize(int32_t texture) {
  if (EntryOf(texture) == nullptr) return {};
  const TPixelSize stored = StoredPictureSize(texture);
  const int detail = TextureDetail(texture);
  return {stored.Width / detail, stored.Height / detail};
}

int64_t RegisteredTextureBytes() {
  std::set<int32_t> counted;
  int64_t bytes = 0;
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  for (const TTexRegItem& item : Registry) {
    if (item.Texture == NoTexture || !counted.insert(item.Texture).second) continue;
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(item.Texture));
    for (GLint level = 0;; ++level) {
      GLint width = 0, height = 0, bits = 0;
      glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
      glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
      if (width <= 0 || height <= 0) break;
      for (const GLenum channel : {GL_TEXTURE_RED_SIZE, GL_TEXTURE_GREEN_SIZE, GL_TEXTURE_BLUE_SIZE, GL_TEXTURE_ALPHA_SIZE}) {
        GLint channelBits = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, channel, &channelBits);
        bits += channelBits;
      }
      bytes += int64_t{width} * height * ((bits + 7) / 8);
    }
  }
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
  return bytes;
}
