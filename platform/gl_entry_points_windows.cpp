// The GL calls newer than 1.1, which opengl32.dll does not export: each is
// defined here under its own name and passes the call to the driver's entry
// point, looked up through SDL on first use (a GL context is current by then:
// nothing draws before the window module made one). On Linux libGL exports
// them, so nothing here is needed there.

#include <SDL.h>

namespace {

// The driver's function `name`, looked up once.
template <typename Function>
Function EntryPoint(Function& cached, const char* name) {
  if (cached == nullptr) cached = reinterpret_cast<Function>(SDL_GL_GetProcAddress(name));
  return cached;
}

}  // namespace

// Defines GL function NAME(PARAMETERS) that calls the driver's with ARGUMENTS.
#define VELORIA_GL_ENTRY(result, name, parameters, arguments)          \
  extern "C" result APIENTRY name parameters {                          \
    static result(APIENTRY * driver) parameters = nullptr;             \
    return EntryPoint(driver, #name) arguments;                         \
  }

VELORIA_GL_ENTRY(void, glBindFramebuffer, (GLenum target, GLuint framebuffer), (target, framebuffer))
VELORIA_GL_ENTRY(void, glBindRenderbuffer, (GLenum target, GLuint renderbuffer), (target, renderbuffer))
VELORIA_GL_ENTRY(void, glBlitFramebuffer,
                 (GLint x0, GLint y0, GLint x1, GLint y1, GLint u0, GLint v0, GLint u1, GLint v1, GLbitfield mask,
                  GLenum filter),
                 (x0, y0, x1, y1, u0, v0, u1, v1, mask, filter))
VELORIA_GL_ENTRY(GLenum, glCheckFramebufferStatus, (GLenum target), (target))
VELORIA_GL_ENTRY(void, glDeleteFramebuffers, (GLsizei n, const GLuint* names), (n, names))
VELORIA_GL_ENTRY(void, glDeleteRenderbuffers, (GLsizei n, const GLuint* names), (n, names))
VELORIA_GL_ENTRY(void, glFramebufferParameteri, (GLenum target, GLenum name, GLint value), (target, name, value))
VELORIA_GL_ENTRY(void, glFramebufferRenderbuffer,
                 (GLenum target, GLenum attachment, GLenum renderbufferTarget, GLuint renderbuffer),
                 (target, attachment, renderbufferTarget, renderbuffer))
VELORIA_GL_ENTRY(void, glGenFramebuffers, (GLsizei n, GLuint* names), (n, names))
VELORIA_GL_ENTRY(void, glGenRenderbuffers, (GLsizei n, GLuint* names), (n, names))
VELORIA_GL_ENTRY(void, glRenderbufferStorage, (GLenum target, GLenum format, GLsizei width, GLsizei height),
                 (target, format, width, height))
