// Texture snapshots: level 0 read back as RGBA and written back in place.

#include "textures/texture_snapshot.h"

#include <GL/gl.h>

namespace {

// Binds `texture` with RGBA rows tightly packed both ways; the destructor
// puts the binding and the pixel-store settings back.
class BoundForCopy {
 public:
  explicit BoundForCopy(int32_t texture) {
    glPushAttrib(GL_TEXTURE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
  }
  ~BoundForCopy() {
    glPopClientAttrib();
    glPopAttrib();
  }
  BoundForCopy(const BoundForCopy&) = delete;
  BoundForCopy& operator=(const BoundForCopy&) = delete;
};

}  // namespace

TTextureSnapshot KeepTexture(int32_t texture) {
  TTextureSnapshot snapshot;
  if (texture == NoTexture) return snapshot;
  const BoundForCopy bound(texture);
  GLint width = 0, height = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  if (width <= 0 || height <= 0) return snapshot;
  snapshot.Texture = texture;
  snapshot.Width = width;
  snapshot.Height = height;
  snapshot.Pixels.resize(static_cast<size_t>(width) * height * 4);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, snapshot.Pixels.data());
  if (const TLitArea* area = RecordedLitArea(static_cast<uint32_t>(texture))) snapshot.LitArea = *area;
  return snapshot;
}

void RestoreTexture(const TTextureSnapshot& snapshot) {
  if (snapshot.Texture == NoTexture) return;
  {
    const BoundForCopy bound(snapshot.Texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, snapshot.Width, snapshot.Height, GL_RGBA, GL_UNSIGNED_BYTE,
                    snapshot.Pixels.data());
  }
  const uint32_t texture = static_cast<uint32_t>(snapshot.Texture);
  if (snapshot.LitArea) {
    RecordLitArea(texture, *snapshot.LitArea);
  } else {
    ForgetLitArea(texture);
  }
}
