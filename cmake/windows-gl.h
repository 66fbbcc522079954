// Included first in every file of the Windows build. MinGW-w64's GL/gl.h
// stops at GL 1.1 and brings windows.h in; Mesa's, on Linux, goes on to
// glext.h and brings no system header. With this both builds see the same
// GL names, and none of windows.h's renaming macros (CreateWindow becomes
// CreateWindowA, min and max become expressions, near and far vanish).
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <GL/gl.h>
#include <GL/glext.h>
#undef CreateWindow
#undef near
#undef far
// Newer than MinGW-w64's glext.h.
#ifndef GL_FRAMEBUFFER_FLIP_Y_MESA
#define GL_FRAMEBUFFER_FLIP_Y_MESA 0x8BBB
#endif
