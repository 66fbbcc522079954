// The SDL side of the window module: library, window, GL context and events.

#include "platform/video.h"

#include <SDL.h>

bool LoadGLLibrary(std::string& error) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0 || SDL_GL_LoadLibrary(nullptr) != 0) {
    error = SDL_GetError();
    return false;
  }
  // The show reads neither the mouse nor text input. Left on, every mouse
  // move would be a message, and a frame that takes a message is not swapped.
  SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);
  SDL_EventState(SDL_TEXTINPUT, SDL_IGNORE);
  SDL_EventState(SDL_TEXTEDITING, SDL_IGNORE);
  return true;
}

void UnloadGLLibrary() {
  SDL_GL_UnloadLibrary();
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool HasDisplayMode(int width, int height, int bits) {
  SDL_DisplayMode wanted{};
  wanted.w = width;
  wanted.h = height;
  wanted.format = bits >= 24 ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_RGB565;
  SDL_DisplayMode closest{};
  return SDL_GetClosestDisplayMode(0, &wanted, &closest) != nullptr && closest.w == width &&
         closest.h == height;
}

WindowHandle CreateGLWindow(const char* title, int width, int height, bool fullscreen) {
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);

  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  flags |= fullscreen ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_RESIZABLE;
  SDL_Window* window = SDL_CreateWindow(title, 0, 0, width, height, flags);
  if (window != nullptr && fullscreen) {
    SDL_DisplayMode mode{};
    mode.w = width;
    mode.h = height;
    SDL_SetWindowDisplayMode(window, &mode);
  }
  return window;
}

void DestroyGLWindow(WindowHandle window) { SDL_DestroyWindow(static_cast<SDL_Window*>(window)); }

void LeaveFullscreen(WindowHandle window) {
  if (window != nullptr) SDL_SetWindowFullscreen(static_cast<SDL_Window*>(window), 0);
}

void SetCursorVisible(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

void RaiseAndFocus(WindowHandle window) {
  SDL_Window* w = static_cast<SDL_Window*>(window);
  SDL_ShowWindow(w);
  SDL_RaiseWindow(w);
}

ContextHandle CreateGLContext(WindowHandle window) {
  return SDL_GL_CreateContext(static_cast<SDL_Window*>(window));
}

bool MakeContextCurrent(WindowHandle window, ContextHandle context) {
  return SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window), context) == 0;
}

void DeleteGLContext(ContextHandle context) { SDL_GL_DeleteContext(context); }

void SwapWindowBuffers(WindowHandle window) { SDL_GL_SwapWindow(static_cast<SDL_Window*>(window)); }

bool PollWindowEvent(WindowEvent& event) {
  SDL_Event e;
  if (SDL_PollEvent(&e) == 0) return false;
  event = WindowEvent{};
  switch (e.type) {
    case SDL_QUIT:
      event.kind = WindowEventKind::Quit;
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      event.kind = WindowEventKind::Key;
      break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        event.kind = WindowEventKind::Resized;
        event.width = e.window.data1;
        event.height = e.window.data2;
      } else if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
        event.kind = WindowEventKind::CloseRequested;
      }
      break;
    default:
      break;
  }
  return true;
}

void PostQuitMessage() {
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
}
