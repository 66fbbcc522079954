// Framebuffer-object calls for the scaled window modes.

#include "runtime/offscreen_frame.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

// LimitFrameSize's side; 0 for none.
int frameSideLimit = 0;

// Whether `name` is a whole entry of the space-separated `extensions`, not a
// prefix of a longer one.
bool ListsExtension(const char* extensions, const char* name) {
  if (extensions == nullptr) return false;
  const size_t length = std::strlen(name);
  for (const char* at = std::strstr(extensions, name); at != nullptr; at = std::strstr(at + 1, name)) {
    const bool starts = at == extensions || at[-1] == ' ';
    const bool ends = at[length] == '\0' || at[length] == ' ';
    if (starts && ends) return true;
  }
  return false;
}

// "4.5 ..." gives 45; 0 when there is no number.
int VersionTimesTen(const char* version) {
  int major = 0, minor = 0;
  if (version == nullptr || std::sscanf(version, "%d.%d", &major, &minor) < 1) return 0;
  return major * 10 + minor;
}

// Mesa draws window buffers with y running downwards and framebuffer objects
// with y upwards, and the two round a few edge pixels differently. Where Mesa
// can flip a framebuffer object the frame is drawn the window's way, so
// every pixel matches the plain window's.
void DrawLikeTheWindow(const char* version, const char* extensions) {
  const bool parameters = VersionTimesTen(version) >= 43 ||
                          ListsExtension(extensions, "GL_ARB_framebuffer_no_attachments");
  if (parameters && ListsExtension(extensions, "GL_MESA_framebuffer_flip_y")) {
    glFramebufferParameteri(GL_FRAMEBUFFER, GL_FRAMEBUFFER_FLIP_Y_MESA, GL_TRUE);
  }
}

// A new renderbuffer of `format` and that size; none stays bound.
GLuint NewRenderbuffer(GLenum format, int width, int height) {
  GLuint name = 0;
  glGenRenderbuffers(1, &name);
  glBindRenderbuffer(GL_RENDERBUFFER, name);
  glRenderbufferStorage(GL_RENDERBUFFER, format, width, height);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  return name;
}

// Deletes the reductions from `first` on.
void DeleteReductions(std::vector<FrameReduction>& reductions, size_t first) {
  for (size_t k = first; k < reductions.size(); ++k) {
    glDeleteFramebuffers(1, &reductions[k].framebuffer);
    glDeleteRenderbuffers(1, &reductions[k].colour);
  }
  if (first < reductions.size()) reductions.resize(first);
}

// Reduction `level`, made (with every smaller one dropped) unless it already
// has `width` x `height`.
const FrameReduction& ReductionLevel(std::vector<FrameReduction>& reductions, size_t level, int width, int height) {
  if (level < reductions.size() && reductions[level].width == width && reductions[level].height == height) {
    return reductions[level];
  }
  DeleteReductions(reductions, level);
  FrameReduction half;
  half.width = width;
  half.height = height;
  half.colour = NewRenderbuffer(GL_RGBA8, width, height);
  glGenFramebuffers(1, &half.framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, half.framebuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, half.colour);
  reductions.push_back(half);
  return reductions.back();
}

}  // namespace

bool OffersFramebufferObjects(const char* version, const char* extensions) {
  return VersionTimesTen(version) >= 30 || ListsExtension(extensions, "GL_ARB_framebuffer_object");
}

FrameLimit LargestFrame() {
  GLint renderbuffer = 0, texture = 0;
  GLint viewport[2] = {0, 0};
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
  // A limit the GL does not give (no context current) limits nothing.
  const auto known = [](GLint value) { return value > 0 ? static_cast<int>(value) : INT_MAX; };
  int side = std::min(known(renderbuffer), known(texture));
  if (frameSideLimit > 0) side = std::min(side, frameSideLimit);
  return {std::min(side, known(viewport[0])), std::min(side, known(viewport[1]))};
}

void LimitFrameSize(int side) { frameSideLimit = std::max(side, 0); }

std::vector<unsigned> TakeGLErrors() {
  std::vector<unsigned> errors;
  // Each kind of error is held once; a lost context would repeat forever.
  for (GLenum error = glGetError(); error != GL_NO_ERROR && errors.size() < 16; error = glGetError()) {
    errors.push_back(error);
  }
  return errors;
}

std::string DescribeGLError(unsigned error) {
  char text[64];
  const GLubyte* name = gluErrorString(error);
  std::snprintf(text, sizeof text, "0x%04X (%s)", error, name != nullptr ? reinterpret_cast<const char*>(name) : "unknown");
  return text;
}

OffscreenFrameResult CreateOffscreenFrame(int width, int height, OffscreenFrame& frame, unsigned& status) {
  frame = OffscreenFrame{};
  for (const unsigned error : TakeGLErrors()) {
    std::fprintf(stderr, "veloria: OpenGL error %s before a frame was made\n", DescribeGLError(error).c_str());
  }
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  if (!OffersFramebufferObjects(version, extensions)) return OffscreenFrameResult::NoFramebufferObjects;
  frame.width = width;
  frame.height = height;
  frame.colour = NewRenderbuffer(GL_RGBA8, width, height);
  frame.depthStencil = NewRenderbuffer(GL_DEPTH24_STENCIL8, width, height);
  glGenFramebuffers(1, &frame.framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, frame.framebuffer);
  DrawLikeTheWindow(version, extensions);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, frame.colour);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                            frame.depthStencil);
  status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
  // A renderbuffer the GL has no memory for raises GL_OUT_OF_MEMORY, and
  // the frame may still call itself complete.
  const std::vector<unsigned> errors = TakeGLErrors();
  if (!errors.empty() || status != GL_FRAMEBUFFER_COMPLETE) {
    DeleteOffscreenFrame(frame);
    if (errors.empty()) return OffscreenFrameResult::Incomplete;
    status = errors.front();
    return OffscreenFrameResult::GLError;
  }
  // A new window's buffers start out zero, and the loading screen blends
  // onto whatever the buffer holds.
  glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | GL_SCISSOR_BIT);
  glDisable(GL_SCISSOR_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glStencilMask(~0u);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepth(1.0);
  glClearStencil(0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glPopAttrib();
  return OffscreenFrameResult::Made;
}

void DeleteOffscreenFrame(OffscreenFrame& frame) {
  if (frame.framebuffer != 0 || frame.colour != 0) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &frame.framebuffer);
    glDeleteRenderbuffers(1, &frame.colour);
    glDeleteRenderbuffers(1, &frame.depthStencil);
  }
  DeleteReductions(frame.reductions, 0);
  frame = OffscreenFrame{};
}

void CopyOffscreenFrame(const OffscreenFrame& from, const OffscreenFrame& to) {
  glPushAttrib(GL_SCISSOR_BIT);
  glDisable(GL_SCISSOR_TEST);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, from.framebuffer);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to.framebuffer);
  glBlitFramebuffer(0, 0, from.width, from.height, 0, 0, to.width, to.height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
  glBindFramebuffer(GL_FRAMEBUFFER, to.framebuffer);
  glPopAttrib();
}

void PresentOffscreenFrame(OffscreenFrame& frame, const PixelRect& target) {
  // Blits and clears obey the scissor test, clears the colour mask too.
  glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
  glDisable(GL_SCISSOR_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  unsigned source = frame.framebuffer;
  int width = frame.width, height = frame.height;
  if (target.width > 0 && target.height > 0) {
    // Linear filtering reads two texels each way, so a shrink by more than
    // two would skip pixels: halve first, each step averaging 2 x 2 pixels.
    size_t level = 0;
    for (; width > 2 * target.width || height > 2 * target.height; ++level) {
      const FrameReduction& half = ReductionLevel(frame.reductions, level, (width + 1) / 2, (height + 1) / 2);
      glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
      glBindFramebuffer(GL_DRAW_FRAMEBUFFER, half.framebuffer);
      glBlitFramebuffer(0, 0, width, height, 0, 0, half.width, half.height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
      source = half.framebuffer;
      width = half.width;
      height = half.height;
    }
    DeleteReductions(frame.reductions, level);
  }
  glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  if (target.width > 0 && target.height > 0) {
    glBlitFramebuffer(0, 0, width, height, target.x, target.y, target.x + target.width, target.y + target.height,
                      GL_COLOR_BUFFER_BIT, GL_LINEAR);
  }
  glBindFramebuffer(GL_FRAMEBUFFER, frame.framebuffer);
  glPopAttrib();
}
