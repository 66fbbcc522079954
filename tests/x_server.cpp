// Xvfb started and stopped by its process id; Xlib for the rest.

#include "tests/x_server.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

::Display* AsDisplay(void* display) { return static_cast<::Display*>(display); }

}  // namespace

bool XServer::Installed() {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path != nullptr ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    if (!dir.empty() && ::access((dir + "/Xvfb").c_str(), X_OK) == 0) return true;
  }
  return false;
}

XServer::XServer(int width, int height) {
  if (!Installed()) return;
  int fds[2];
  if (::pipe(fds) != 0) return;
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const std::string fd = std::to_string(fds[1]);
  pid_ = ::fork();
  if (pid_ == 0) {
    ::close(fds[0]);
    // Xvfb's chatter would only clutter the test log.
    const int devNull = ::open("/dev/null", O_WRONLY);
    ::dup2(devNull, STDOUT_FILENO);
    ::dup2(devNull, STDERR_FILENO);
    // The server is no program of ours: a sanitizer runtime preloaded for the
    // tests would check it too, and fail it.
    ::unsetenv("LD_PRELOAD");
    ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten",
             "tcp", "-noreset", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(fds[1]);
  if (pid_ < 0) {
    ::close(fds[0]);
    return;
  }
  // Xvfb writes its display number once it accepts connections.
  std::string number;
  pollfd ready{fds[0], POLLIN, 0};
  char c = 0;
  while (::poll(&ready, 1, 20000) == 1 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  ::close(fds[0]);
  if (!number.empty()) display_ = ":" + number;
}

XServer::~XServer() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  int status = 0;
  ::waitpid(pid_, &status, 0);
}

XClient::XClient(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
  // A window the show closes between the tree's listing and the look at its
  // name is an error Xlib would end the test process for; the call failing
  // is answer enough.
  XSetErrorHandler([](::Display*, XErrorEvent*) { return 0; });
}

XClient::~XClient() {
  if (display_ != nullptr) XCloseDisplay(AsDisplay(display_));
}

unsigned long XClient::FindWindow(const char* title) {
  ::Display* dpy = AsDisplay(display_);
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  unsigned long found = 0;
  if (XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count) == 0) return 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    // The name's bytes whatever its encoding: SDL's dialogs give theirs as UTF-8.
    XTextProperty name{};
    XWindowAttributes attributes;
    if (XGetWMName(dpy, children[i], &name) != 0 && name.value != nullptr) {
      if (name.nitems == std::strlen(title) && std::memcmp(name.value, title, name.nitems) == 0 &&
          XGetWindowAttributes(dpy, children[i], &attributes) != 0 && attributes.map_state == IsViewable) {
        found = children[i];
      }
      XFree(name.value);
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

bool XClient::WindowSize(unsigned long window, int& width, int& height) {
  XWindowAttributes attributes;
  if (XGetWindowAttributes(AsDisplay(display_), window, &attributes) == 0) return false;
  width = attributes.width;
  height = attributes.height;
  return true;
}

TImage XClient::Grab(unsigned long window) {
  ::Display* dpy = AsDisplay(display_);
  if (window == 0) window = DefaultRootWindow(dpy);
  TImage picture;
  int width = 0, height = 0;
  if (!WindowSize(window, width, height)) return picture;
  XImage* image = XGetImage(dpy, window, 0, 0, width, height, AllPlanes, ZPixmap);
  if (image == nullptr) return picture;
  picture.Width = width;
  picture.Height = height;
  picture.BytesPerPixel = 3;
  picture.Pixels.resize(static_cast<size_t>(width) * height * 3);
  // 24-bit TrueColor: the masks say where each channel sits.
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      // X counts rows from the top; the picture's rows run bottom-up.
      uint8_t* out = picture.Pixels.data() + (static_cast<size_t>(height - 1 - y) * width + x) * 3;
      out[0] = static_cast<uint8_t>((pixel & image->red_mask) >> __builtin_ctzl(image->red_mask));
      out[1] = static_cast<uint8_t>((pixel & image->green_mask) >> __builtin_ctzl(image->green_mask));
      out[2] = static_cast<uint8_t>((pixel & image->blue_mask) >> __builtin_ctzl(image->blue_mask));
    }
  }
  XDestroyImage(image);
  return picture;
}

void XClient::Resize(unsigned long window, int width, int height) {
  XResizeWindow(AsDisplay(display_), window, static_cast<unsigned>(width), static_cast<unsigned>(height));
  XFlush(AsDisplay(display_));
}

void XClient::RequestClose(unsigned long window) {
  ::Display* dpy = AsDisplay(display_);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(dpy, window, False, NoEventMask, &event);
  XFlush(dpy);
}

void XClient::PressKeys(unsigned long window, const std::vector<std::string>& keys) {
  ::Display* dpy = AsDisplay(display_);
  const auto send = [&](const std::string& key, int type, unsigned state) {
    XEvent event{};
    event.xkey.type = type;
    event.xkey.display = dpy;
    event.xkey.window = window;
    event.xkey.root = DefaultRootWindow(dpy);
    event.xkey.time = CurrentTime;
    event.xkey.same_screen = True;
    event.xkey.state = state;
    event.xkey.keycode = XKeysymToKeycode(dpy, XStringToKeysym(key.c_str()));
    XSendEvent(dpy, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &event);
  };
  unsigned state = 0;
  for (const std::string& key : keys) {
    send(key, KeyPress, state);
    if (key.rfind("Alt", 0) == 0) state |= Mod1Mask;
  }
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) send(*key, KeyRelease, state);
  XFlush(dpy);
}
