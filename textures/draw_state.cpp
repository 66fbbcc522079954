// The state helpers every drawing routine starts from.

#include "textures/draw_state.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "core/frame_scale.h"
#include "core/gl_window.h"

namespace {

// The stencil bit that marks the pixels of lines drawn side by side.
constexpr GLuint kLineMark = 0x80;

float lineWidthInUse = 1.0f;  // as the designed frame has it
float linePixels = 1.0f;      // the same at the frame's scale
float widestLine = 1.0f;      // the widest line the GL draws, after LimitLineWidth
float lineWidthLimit = 0.0f;  // LimitLineWidth's; 0 for none

}  // namespace

void ResetDrawState() {
  glDisable(GL_TEXTURE_GEN_S);
  glDisable(GL_TEXTURE_GEN_T);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
}

void UseTexture(int32_t texture) {
  ResetDrawState();
  glEnable(GL_TEXTURE_2D);
  // A failed picture's -1 is bound like any name: the GL makes an empty
  // texture of it, so the surface draws untextured instead of failing.
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void UseColor(const TColorRGBA& color) {
  ResetDrawState();
  glColor4f(color.r, color.g, color.b, color.a);
}

void EnableTexGen() {
  glEnable(GL_TEXTURE_GEN_S);
  glEnable(GL_TEXTURE_GEN_T);
}

void DisableTexGen() {
  glDisable(GL_TEXTURE_GEN_S);
  glDisable(GL_TEXTURE_GEN_T);
}

void SetDefaultMaterial() {
  const GLfloat ambient[] = {0.2f, 0.2f, 0.2f, 1.0f};
  const GLfloat diffuse[] = {0.8f, 0.8f, 0.8f, 1.0f};
  const GLfloat specular[] = {0.0f, 0.0f, 0.0f, 1.0f};
  const GLfloat emission[] = {0.0f, 0.0f, 0.0f, 1.0f};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 0.0f);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission);
}

float LineWidthInUse() { return lineWidthInUse; }

void UseLineWidth(float width) {
  lineWidthInUse = width;
  linePixels = ScaledLineWidth(width, ActiveFrame.Scale);
  GLfloat range[2] = {1.0f, 1.0f};
  glGetFloatv(glIsEnabled(GL_LINE_SMOOTH) ? GL_SMOOTH_LINE_WIDTH_RANGE : GL_ALIASED_LINE_WIDTH_RANGE, range);
  widestLine = lineWidthLimit > 0.0f ? std::min(range[1], lineWidthLimit) : range[1];
  // A width of 0 or less is an error; the GL draws the thinnest line it can.
  const float thinnest = range[0] > 0.0f ? range[0] : 1.0f;
  glLineWidth(std::clamp(linePixels, thinnest, std::max(thinnest, widestLine)));
}

void RefitLineWidth() { UseLineWidth(lineWidthInUse); }

void LimitLineWidth(float largest) { lineWidthLimit = std::max(largest, 0.0f); }

void DrawLines(const std::function<void()>& draw) {
  if (linePixels <= widestLine) {
    draw();
    return;
  }
  // Aliased lines are whole pixels wide: `total` in `count` lines of at most
  // `widest`, the wider ones first.
  const int total = static_cast<int>(std::lround(linePixels));
  const int widest = std::max(1, static_cast<int>(std::floor(widestLine)));
  const int count = (total + widest - 1) / widest;
  // A line of width w covers floor((w - 1) / 2) pixels below its own.
  const auto below = [](int w) { return (w - 1) / 2; };
  std::vector<std::pair<int, int>> lines;  // width, offset in pixels
  for (int i = 0, start = 0; i < count; ++i) {
    const int w = total / count + (i < total % count ? 1 : 0);
    lines.emplace_back(w, start - below(total) + below(w));
    start += w;
  }
  GLint viewport[4] = {0, 0, 1, 1};
  glGetIntegerv(GL_VIEWPORT, viewport);
  GLfloat projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  GLint matrixMode = GL_MODELVIEW;
  glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
  glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | GL_LINE_BIT);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  // Each line moved by a whole number of pixels across a horizontal line,
  // then across a vertical one: a slanted line is one or the other.
  const auto drawSideBySide = [&] {
    for (const bool across : {true, false}) {
      for (const auto& [width, offset] : lines) {
        glLineWidth(static_cast<float>(width));
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        const float shift = 2.0f * static_cast<float>(offset);
        glTranslatef(across ? 0.0f : shift / static_cast<float>(viewport[2]),
                     across ? shift / static_cast<float>(viewport[3]) : 0.0f, 0.0f);
        glMultMatrixf(projection);
        glMatrixMode(static_cast<GLenum>(matrixMode));
        draw();
      }
    }
  };
  glEnable(GL_STENCIL_TEST);
  glStencilMask(kLineMark);
  glStencilFunc(GL_NOTEQUAL, kLineMark, kLineMark);
  glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
  drawSideBySide();
  // The same lines again, writing nothing but clearing their marks.
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glDepthMask(GL_FALSE);
  glStencilFunc(GL_ALWAYS, 0, kLineMark);
  glStencilOp(GL_ZERO, GL_ZERO, GL_ZERO);
  drawSideBySide();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(static_cast<GLenum>(matrixMode));
  glPopAttrib();
}
