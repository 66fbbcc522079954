// The window record shared by every layer; written by OpenGLWindow.

#include "core/gl_window.h"

TGLWindow ActiveWindow;
