// Picture quads: sampling at full size from level 0, and leaving out the
// pixels of an added picture that can sample only its black texels.

#include "draw2d/picture_quad.h"

#include <GL/gl.h>

#include <cmath>
#include <optional>
#include <vector>

#include "core/gl_window.h"
#include "textures/lit_area.h"

TFullSizeSampling::TFullSizeSampling(float uSpan, float vSpan, float w, float h) {
  GLint width = 0, height = 0, viewport[4] = {};
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  glGetIntegerv(GL_VIEWPORT, viewport);
  if (width <= 0 || height <= 0 || ActiveWindow.Width <= 0 || ActiveWindow.Height <= 0) return;
  // Texels per pixel along each side of the quad; a turn mixes the two, so
  // both at most 1 keeps every pixel's footprint within one texel.
  const float pixelsWide = w * static_cast<float>(viewport[2]) / static_cast<float>(ActiveWindow.Width);
  const float pixelsHigh = h * static_cast<float>(viewport[3]) / static_cast<float>(ActiveWindow.Height);
  if (std::fabs(uSpan) * static_cast<float>(width) > pixelsWide) return;
  if (std::fabs(vSpan) * static_cast<float>(height) > pixelsHigh) return;
  GLint minFilter = 0, magFilter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
  // Level 0 through the magnification filter is what GL_LINEAR gives only
  // when that filter is GL_LINEAR itself.
  if (minFilter == GL_LINEAR || magFilter != GL_LINEAR) return;
  savedMinFilter_ = minFilter;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
}

TFullSizeSampling::~TFullSizeSampling() {
  if (savedMinFilter_ != 0) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, savedMinFilter_);
}

namespace {

void EmitPictureCorners(const TPictureQuad& q) {
  glBegin(GL_QUADS);
  glTexCoord2f(q.u0, q.v0);
  glVertex3f(q.x0, q.y0, 0.0f);
  glTexCoord2f(q.u1, q.v0);
  glVertex3f(q.x1, q.y0, 0.0f);
  glTexCoord2f(q.u1, q.v1);
  glVertex3f(q.x1, q.y1, 0.0f);
  glTexCoord2f(q.u0, q.v1);
  glVertex3f(q.x0, q.y1, 0.0f);
  glEnd();
}

// Whether a black texel leaves its pixel exactly as it was: the fragment's
// colour is the texel's times the current colour (no fog, lighting or colour
// sum to add any), the blend keeps the destination times one and adds, and
// nothing but colour is written (no depth or stencil test, whose writes a
// black fragment would still make). The scissor must be free for our use.
bool BlackTexelsLeavePixelsAlone() {
  constexpr GLenum kNeeded[] = {GL_TEXTURE_2D, GL_BLEND};
  constexpr GLenum kExcluded[] = {GL_FOG,          GL_LIGHTING,       GL_COLOR_SUM,      GL_DEPTH_TEST,
                                  GL_STENCIL_TEST, GL_SCISSOR_TEST,   GL_TEXTURE_GEN_S,  GL_TEXTURE_GEN_T,
                                  GL_COLOR_LOGIC_OP};
  for (const GLenum cap : kNeeded) {
    if (!glIsEnabled(cap)) return false;
  }
  for (const GLenum cap : kExcluded) {
    if (glIsEnabled(cap)) return false;
  }
  GLint destination = 0, equation = 0, environment = 0, polygonModes[2] = {};
  glGetIntegerv(GL_BLEND_DST, &destination);
  glGetIntegerv(GL_BLEND_EQUATION, &equation);
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &environment);
  glGetIntegerv(GL_POLYGON_MODE, polygonModes);
  GLfloat textureMatrix[16];
  glGetFloatv(GL_TEXTURE_MATRIX, textureMatrix);
  for (int k = 0; k < 16; ++k) {
    if (textureMatrix[k] != (k % 5 == 0 ? 1.0f : 0.0f)) return false;
  }
  return destination == GL_ONE && equation == GL_FUNC_ADD &&
         (environment == GL_MODULATE || environment == GL_REPLACE) && polygonModes[0] == GL_FILL &&
         polygonModes[1] == GL_FILL;
}

// The quad in window pixels with how the bound picture is sampled, when the
// current transformation keeps it axis-aligned and the wrap modes are ones
// the footprint reckoning knows.
std::optional<TQuadOnScreen> QuadOnScreen(const TPictureQuad& q) {
  GLfloat modelview[16], projection[16];
  GLint viewport[4];
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  // Column-major: element [c * 4 + r] is row r of column c. Clip x and y of a
  // point (x, y, 0, 1), and its w.
  float m[16];
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) {
      m[c * 4 + r] = 0.0f;
      for (int k = 0; k < 4; ++k) m[c * 4 + r] += projection[k * 4 + r] * modelview[c * 4 + k];
    }
  }
  // x must not depend on y nor y on x, and w on neither.
  if (m[1] != 0.0f || m[4] != 0.0f || m[3] != 0.0f || m[7] != 0.0f || m[15] <= 0.0f) return std::nullopt;
  const auto windowX = [&](float x) {
    return viewport[0] + (((m[0] * x + m[12]) / m[15]) + 1.0f) * 0.5f * static_cast<float>(viewport[2]);
  };
  const auto windowY = [&](float y) {
    return viewport[1] + (((m[5] * y + m[13]) / m[15]) + 1.0f) * 0.5f * static_cast<float>(viewport[3]);
  };
  GLint minFilter = 0, wrapS = 0, wrapT = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
  const auto clamps = [](GLint wrap) { return wrap == GL_CLAMP || wrap == GL_CLAMP_TO_EDGE; };
  if ((!clamps(wrapS) && wrapS != GL_REPEAT) || (!clamps(wrapT) && wrapT != GL_REPEAT)) return std::nullopt;
  TQuadOnScreen onScreen;
  onScreen.x0 = windowX(q.x0);
  onScreen.x1 = windowX(q.x1);
  onScreen.y0 = windowY(q.y0);
  onScreen.y1 = windowY(q.y1);
  onScreen.u0 = q.u0;
  onScreen.v0 = q.v0;
  onScreen.u1 = q.u1;
  onScreen.v1 = q.v1;
  onScreen.mipmapped = minFilter != GL_LINEAR && minFilter != GL_NEAREST;
  onScreen.repeat = wrapS == GL_REPEAT || wrapT == GL_REPEAT;
  return onScreen;
}

// The window boxes the quad must fill, or nothing when all of it must be.
std::optional<std::vector<TCellBox>> LitBoxes(const TPictureQuad& q) {
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  const TLitArea* area = RecordedLitArea(static_cast<uint32_t>(bound));
  if (area == nullptr || !BlackTexelsLeavePixelsAlone()) return std::nullopt;
  GLint width = 0, height = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  if (width != area->width || height != area->height) return std::nullopt;
  const std::optional<TQuadOnScreen> onScreen = QuadOnScreen(q);
  if (!onScreen) return std::nullopt;
  return LitScreenBoxes(*area, *onScreen, ActiveFrame.Width, ActiveFrame.Height);
}

}  // namespace

void EmitPictureQuad(const TPictureQuad& quad) {
  const std::optional<std::vector<TCellBox>> boxes = LitBoxes(quad);
  if (!boxes) {
    EmitPictureCorners(quad);
    return;
  }
  if (boxes->empty()) {
    glTexCoord2f(quad.u0, quad.v1);  // where the last corner leaves it
    return;
  }
  // Each box takes the whole quad through the scissor: the renderer
  // interpolates it exactly as unclipped and fills only the box's pixels.
  glPushAttrib(GL_SCISSOR_BIT);
  glEnable(GL_SCISSOR_TEST);
  for (const TCellBox& box : *boxes) {
    glScissor(box.x0, box.y0, box.x1 - box.x0, box.y1 - box.y0);
    EmitPictureCorners(quad);
  }
  glPopAttrib();
}
