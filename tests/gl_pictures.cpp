// Textures and pictures of known content for the drawing tests.

#include "tests/gl_pictures.h"

#include <GL/gl.h>

#include "draw2d/overlay.h"
#include "textures/ORV2Textures.h"

int32_t PatternTexture(int32_t size, const std::function<uint32_t(int x, int y)>& texel) {
  std::vector<uint8_t> rgba;
  rgba.reserve(static_cast<size_t>(size) * size * 4);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const uint32_t c = texel(x, y);
      rgba.insert(rgba.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255});
    }
  }
  return static_cast<int32_t>(CreateTexture(size, size, GL_RGBA, rgba.data()));
}

int32_t SolidColorTexture(uint32_t rgb) {
  return PatternTexture(2, [rgb](int, int) { return rgb; });
}

std::vector<uint8_t> ReadTextureLevel0(int32_t texture, int32_t size) {
  std::vector<uint8_t> pixels(static_cast<size_t>(size) * size * 4);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  return pixels;
}

void FullScreenPicture(float s, float t) {
  EnterOrtho();
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(0, 0);
  glTexCoord2f(s, 0);
  glVertex2f(800, 0);
  glTexCoord2f(s, t);
  glVertex2f(800, 600);
  glTexCoord2f(0, t);
  glVertex2f(0, 600);
  glEnd();
  LeaveOrtho();
}

void DrawBusyBackground() {
  static const int32_t busy = PatternTexture(64, [](int x, int y) {
    return static_cast<uint32_t>((x * 4 + y) * 0x010305 + x * y * 0x070000);
  });
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(busy));
  glColor4f(1, 1, 1, 1);
  FullScreenPicture(3, 2);
}
