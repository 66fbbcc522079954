// Framebuffer-object calls for the scaled window modes.

#include "runtime/offscreen_frame.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>

namespace {

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

}  // namespace

bool OffersFramebufferObjects(const char* version, const char* extensions) {
  return VersionTimesTen(version) >= 30 || ListsExtension(extensions, "GL_ARB_framebuffer_object");
}

bool CreateOffscreenFrame(int width, int height, OffscreenFrame& frame) {
  frame = OffscreenFrame{};
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  if (!OffersFramebufferObjects(version, extensions)) return false;
  frame.width = width;
  frame.height = height;
  glGenRenderbuffers(1, &frame.colour);
  glBindRenderbuffer(GL_RENDERBUFFER, frame.colour);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glGenRenderbuffers(1, &frame.depthStencil);
  glBindRenderbuffer(GL_RENDERBUFFER, frame.depthStencil);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);
  glGenFramebuffers(1, &frame.framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, frame.framebuffer);
  DrawLikeTheWindow(version, extensions);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, frame.colour);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                            frame.depthStencil);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    DeleteOffscreenFrame(frame);
    return false;
  }
  // A new window's buffers start out zero, and the loading screen blends
  // onto whatever the buffer holds.
  glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepth(1.0);
  glClearStencil(0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  glPopAttrib();
  return true;
}

void DeleteOffscreenFrame(OffscreenFrame& frame) {
  if (frame.framebuffer != 0 || frame.colour != 0) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &frame.framebuffer);
    glDeleteRenderbuffers(1, &frame.colour);
    glDeleteRenderbuffers(1, &frame.depthStencil);
  }
  frame = OffscreenFrame{};
}

void PresentOffscreenFrame(const OffscreenFrame& frame, const PixelRect& target) {
  // Blits and clears obey the scissor test, clears the colour mask too.
  glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glDisable(GL_SCISSOR_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  if (target.width > 0 && target.height > 0) {
    glBlitFramebuffer(0, 0, frame.width, frame.height, target.x, target.y, target.x + target.width,
                      target.y + target.height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
  }
  glBindFramebuffer(GL_FRAMEBUFFER, frame.framebuffer);
  glPopAttrib();
}
