// The window record and the frame's pixels shared by every layer; written by
// the window module.

#include "core/gl_window.h"

TGLWindow ActiveWindow;
TFramePixels ActiveFrame;
