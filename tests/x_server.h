// A private X server for tests that need a real display: Xvfb on a display
// number it picks itself, plus the few Xlib calls the tests make on it
// (find the show's window, look at it, resize it, ask it to close).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "platform/picture.h"

class XServer {
 public:
  // Starts Xvfb with one screen of `width` x `height` at 24 bits. Failed()
  // tells whether it runs; Xvfb missing from the PATH is told apart.
  XServer(int width, int height);
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  static bool Installed();
  bool Running() const { return pid_ > 0 && !display_.empty(); }
  // ":N", for DISPLAY.
  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

// A connection to the server named by `display`, for one test.
class XClient {
 public:
  explicit XClient(const std::string& display);
  ~XClient();
  XClient(const XClient&) = delete;
  XClient& operator=(const XClient&) = delete;

  bool Connected() const { return display_ != nullptr; }
  // The mapped top-level window titled `title`; 0 when there is none.
  unsigned long FindWindow(const char* title);
  // The window's size now; false when it is gone.
  bool WindowSize(unsigned long window, int& width, int& height);
  // The window's pixels as RGB, bottom row first, or with window 0 the whole
  // screen's; empty when the window is gone.
  TImage Grab(unsigned long window);
  void Resize(unsigned long window, int width, int height);
  // What a window manager sends when the viewer clicks the close button.
  void RequestClose(unsigned long window);
  // Presses the keys named by X keysym names (e.g. "Alt_L", "Return") in
  // order, as key events sent to `window`, then lets them go in reverse.
  void PressKeys(unsigned long window, const std::vector<std::string>& keys);

 private:
  void* display_ = nullptr;  // a Display*; Xlib stays out of the tests' headers
};
