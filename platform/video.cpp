// The SDL side of the window module: library, window, GL context and events.

#include "platform/video.h"

#include <SDL.h>

namespace {

// Headless without an offscreen driver: windows are never shown, and hidden
// is not minimized.
bool keepHidden = false;

SDL_Window* AsWindow(WindowHandle window) { return static_cast<SDL_Window*>(window); }

// The GL surface every window gets; it must be set before the window is made.
void SetGLAttributes() {
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

// The display mode nearest to `width` x `height` at `bits`, if it has exactly that size.
bool FindDisplayMode(int width, int height, int bits, SDL_DisplayMode& mode) {
  SDL_DisplayMode wanted{};
  wanted.w = width;
  wanted.h = height;
  wanted.format = bits >= 24 ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_RGB565;
  return SDL_GetClosestDisplayMode(0, &wanted, &mode) != nullptr && mode.w == width &&
         mode.h == height;
}

// True when the shown `window` is full screen (not at the desktop's size) and
// its display really runs at `width` x `height`.
bool RunsFullScreenAt(SDL_Window* window, int width, int height) {
  if ((SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != SDL_WINDOW_FULLSCREEN) {
    return false;
  }
  const int display = SDL_GetWindowDisplayIndex(window);
  SDL_DisplayMode current{};
  return display >= 0 && SDL_GetCurrentDisplayMode(display, &current) == 0 &&
         current.w == width && current.h == height;
}

class SdlVideo final : public VideoSystem {
 public:
  bool LoadGLLibrary(std::string& error) override {
    // Closing the window posts the quit message through the window
    // procedure; SDL's own quit on the last window's close would be a second.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
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

  void UnloadGLLibrary() override {
    SDL_GL_UnloadLibrary();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  WindowHandle CreateFullScreenWindow(const char* title, int width, int height,
                                      int bits) override {
    // Without the mode SDL would pick a larger one; asking first also spares
    // the viewer a full-screen flash before the fallback window.
    SDL_DisplayMode mode{};
    if (!FindDisplayMode(width, height, bits, mode)) return nullptr;
    SetGLAttributes();
    SDL_Window* window = SDL_CreateWindow(title, 0, 0, width, height,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_FULLSCREEN);
    if (window == nullptr) return nullptr;
    // The display switches when the window is shown; only then does it tell
    // what mode it really got.
    if (SDL_SetWindowDisplayMode(window, &mode) == 0 && !keepHidden) SDL_ShowWindow(window);
    if (!RunsFullScreenAt(window, width, height)) {
      SDL_DestroyWindow(window);  // gives the display its own mode back
      return nullptr;
    }
    return window;
  }

  WindowHandle CreateWindow(const char* title, int width, int height, bool highDpi) override {
    SetGLAttributes();
    return SDL_CreateWindow(title, 0, 0, width, height,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE |
                                (highDpi ? SDL_WINDOW_ALLOW_HIGHDPI : 0));
  }

  void DestroyWindow(WindowHandle window) override { SDL_DestroyWindow(AsWindow(window)); }

  void LeaveFullScreen(WindowHandle window) override {
    if (window != nullptr) SDL_SetWindowFullscreen(AsWindow(window), 0);
  }

  bool SetDesktopFullScreen(WindowHandle handle, bool fullScreen) override {
    SDL_Window* window = AsWindow(handle);
    if (!fullScreen) {
      if (SDL_SetWindowFullscreen(window, 0) != 0) return false;
      SDL_SetWindowSize(window, windowed_.w, windowed_.h);
      SDL_SetWindowPosition(window, windowed_.x, windowed_.y);
      return true;
    }
    // The window covers the display before it asks for full screen, so it
    // fills the screen also where no window manager carries the request out
    // (a bare X server, as kiosks run); its own place is kept for the way back.
    SDL_GetWindowPosition(window, &windowed_.x, &windowed_.y);
    SDL_GetWindowSize(window, &windowed_.w, &windowed_.h);
    SDL_Rect bounds{};
    const int display = SDL_GetWindowDisplayIndex(window);
    if (display >= 0 && SDL_GetDisplayBounds(display, &bounds) == 0) {
      SDL_SetWindowPosition(window, bounds.x, bounds.y);
      SDL_SetWindowSize(window, bounds.w, bounds.h);
    }
    return SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
  }

  bool IsFullScreen(WindowHandle window) override {
    return (SDL_GetWindowFlags(AsWindow(window)) & SDL_WINDOW_FULLSCREEN) != 0;
  }

  bool Minimized(WindowHandle window) override {
    const Uint32 unseen = SDL_WINDOW_MINIMIZED | (keepHidden ? 0 : SDL_WINDOW_HIDDEN);
    return (SDL_GetWindowFlags(AsWindow(window)) & unseen) != 0;
  }

  void SetWindowSize(WindowHandle window, int width, int height) override {
    SDL_SetWindowFullscreen(AsWindow(window), 0);
    SDL_SetWindowSize(AsWindow(window), width, height);
  }

  void SetCursorVisible(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

  void RaiseAndFocus(WindowHandle window) override {
    if (keepHidden) return;
    SDL_ShowWindow(AsWindow(window));
    SDL_RaiseWindow(AsWindow(window));
  }

  void DrawableSize(WindowHandle window, int& width, int& height) override {
    SDL_GL_GetDrawableSize(AsWindow(window), &width, &height);
  }

  int RefreshRate(WindowHandle window) override {
    const int display = SDL_GetWindowDisplayIndex(AsWindow(window));
    SDL_DisplayMode mode{};
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) return 0;
    return mode.refresh_rate;
  }

  ContextHandle CreateGLContext(WindowHandle window) override {
    return SDL_GL_CreateContext(AsWindow(window));
  }

  bool MakeContextCurrent(WindowHandle window, ContextHandle context) override {
    return SDL_GL_MakeCurrent(AsWindow(window), context) == 0;
  }

  void DeleteGLContext(ContextHandle context) override { SDL_GL_DeleteContext(context); }

  void SetSwapSync(bool vsync) override {
    if (!vsync) {
      SDL_GL_SetSwapInterval(0);
    } else if (SDL_GL_SetSwapInterval(-1) != 0) {
      SDL_GL_SetSwapInterval(1);
    }
  }

  void SwapWindowBuffers(WindowHandle window) override { SDL_GL_SwapWindow(AsWindow(window)); }

  bool PollWindowEvent(WindowEvent& event) override {
    SDL_Event e;
    if (SDL_PollEvent(&e) == 0) return false;
    event = WindowEvent{};
    switch (e.type) {
      case SDL_QUIT:
        event.kind = WindowEventKind::Quit;
        break;
      case SDL_KEYDOWN:
        // Alt+Enter, as players have it; a held key's repeats do not toggle again.
        event.kind = e.key.keysym.sym == SDLK_RETURN && (e.key.keysym.mod & KMOD_ALT) != 0 &&
                             e.key.repeat == 0
                         ? WindowEventKind::ToggleFullScreen
                         : WindowEventKind::Key;
        break;
      case SDL_KEYUP:
        event.kind = WindowEventKind::Key;
        break;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
          // The event tells the desktop's units; on a high-density display
          // the drawable has more pixels than that.
          event.kind = WindowEventKind::Resized;
          SDL_Window* window = SDL_GetWindowFromID(e.window.windowID);
          if (window != nullptr) {
            SDL_GL_GetDrawableSize(window, &event.width, &event.height);
          } else {
            event.width = e.window.data1;
            event.height = e.window.data2;
          }
        } else if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
          event.kind = WindowEventKind::CloseRequested;
        }
        break;
      default:
        break;
    }
    return true;
  }

  void PostQuitMessage() override {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
  }

 private:
  SDL_Rect windowed_{0, 0, 0, 0};  // the window's place before it went full screen
};

SdlVideo sdlVideo;
VideoSystem* activeVideo = &sdlVideo;

}  // namespace

VideoSystem& ActiveVideo() { return *activeVideo; }

void SetVideoSystem(VideoSystem* system) { activeVideo = system != nullptr ? system : &sdlVideo; }

void UseHeadlessDrivers() {
#ifdef _WIN32  // Windows' SDL has no offscreen driver that makes GL contexts
  keepHidden = true;
#else
  SDL_setenv("SDL_VIDEODRIVER", "offscreen", /*overwrite=*/0);
#endif
  SDL_setenv("SDL_AUDIODRIVER", "dummy", 0);
}
