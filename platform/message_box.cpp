// Error messages for the viewer: stderr always, an SDL dialog when interactive.

#include "platform/message_box.h"

#include <SDL.h>

#include <cstdio>
#include <utility>

namespace {

bool dialogsEnabled = false;
MessageSink messageSink;

}  // namespace

void ShowErrorMessage(const std::string& caption, const std::string& text) {
  if (messageSink) {
    messageSink(caption, text);
    return;
  }
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
  if (dialogsEnabled) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), nullptr);
  }
}

void SetDialogsEnabled(bool enabled) { dialogsEnabled = enabled; }

void SetMessageSink(MessageSink sink) { messageSink = std::move(sink); }
