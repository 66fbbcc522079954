// The heads-up display: the frame-rate window, the text, and its drawing in
// a bracket that saves and restores the GL state around it.

#include "app/hud.h"

#include <GL/gl.h>

#include <chrono>
#include <cmath>
#include <cstdio>

#include "core/frame_scale.h"
#include "core/gl_window.h"
#include "core/shared_state.h"
#include "draw2d/bitmap_font.h"

namespace {

// Sizes in screen units, which the frame's scale turns into pixels; the
// glyphs, which are pixels, are built at the font height times that scale.
constexpr double kRateWindowSeconds = 1.0;
constexpr float kMarginUnits = 8.0f;
constexpr float kLineHeightUnits = 15.0f;
// The text sits on an opaque panel: frames the show does not clear would
// otherwise pile up old numbers under the new ones.
constexpr float kPanelWidthUnits = 230.0f;
// The show's own face at the size it writes with.
constexpr const char* kHudFace = "Arial";
constexpr int32_t kHudFontHeight = 12;

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

double FrameRateMeter::AddFrame(double seconds) {
  stamps_.push_back(seconds);
  while (stamps_.front() < seconds - kRateWindowSeconds) stamps_.pop_front();
  if (stamps_.size() < 2) return 0.0;
  const double span = stamps_.back() - stamps_.front();
  return span > 0.0 ? static_cast<double>(stamps_.size() - 1) / span : 0.0;
}

std::vector<std::string> HudLines(const DemoFrame& frame, int32_t beatIndex, double framesPerSecond,
                                  double scale) {
  char first[64], second[64];
  std::snprintf(first, sizeof first, "time %7.2f s   section %d", frame.showTime, frame.section);
  std::snprintf(second, sizeof second, "beat %d   %5.1f fps", beatIndex, framesPerSecond);
  return {first, second, "frame " + DescribeFrame(scale)};
}

void DrawHudLines(const std::vector<std::string>& lines, int32_t fontBase) {
  const int32_t showFont = FontBase;
  GLint matrixMode = GL_MODELVIEW;
  glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, ActiveWindow.Width, 0.0, ActiveWindow.Height, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  // Bitmaps take the fragment path: anything that could hide or tint them goes.
  for (GLenum capability : {GL_LIGHTING, GL_DEPTH_TEST, GL_TEXTURE_1D, GL_TEXTURE_2D, GL_FOG,
                            GL_BLEND, GL_ALPHA_TEST, GL_STENCIL_TEST, GL_SCISSOR_TEST,
                            GL_COLOR_LOGIC_OP}) {
    glDisable(capability);
  }
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDrawBuffer(FrameColorBuffer());
  const float top = static_cast<float>(ActiveWindow.Height) - kMarginUnits / 2;
  glColor3f(0.0f, 0.0f, 0.0f);
  glRectf(kMarginUnits / 2, top - kLineHeightUnits * static_cast<float>(lines.size()) - kMarginUnits,
          kMarginUnits / 2 + kPanelWidthUnits, top);
  SetFontBase(fontBase);
  float y = top - kMarginUnits / 2 - kLineHeightUnits + 3.0f;
  glColor3f(1.0f, 1.0f, 1.0f);
  for (const std::string& line : lines) {
    DrawFontText(kMarginUnits, y, line);
    y -= kLineHeightUnits;
  }
  SetFontBase(showFont);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glPopAttrib();
  glMatrixMode(static_cast<GLenum>(matrixMode));
}

bool ShowHud::OnFrame(const DemoFrame& frame) {
  const double rate = meter_.AddFrame(WallSeconds());
  // Built on the first frame seen, during the loading screen, so building it
  // never slows a frame of the show; again only when a window's new size
  // changed the frame's scale.
  if (fontScale_ != ActiveFrame.Scale) {
    const int32_t showFont = FontBase;
    if (fontBase_ != 0) glDeleteLists(static_cast<GLuint>(fontBase_), kFontGlyphs);
    fontBase_ = BuildFont(kHudFace, static_cast<int32_t>(std::nearbyint(kHudFontHeight * ActiveFrame.Scale)),
                          /*bold=*/true);
    fontScale_ = ActiveFrame.Scale;
    SetFontBase(showFont);
  }
  if (frame.phase != DemoPhase::Timeline) return true;
  DrawHudLines(HudLines(frame, BeatIndex, rate, ActiveFrame.Scale), fontBase_);
  return true;
}
