// Collects the viewer messages shown while it lives, instead of printing them.
#pragma once

#include <string>
#include <vector>

#include "platform/message_box.h"

struct ShownMessage {
  std::string caption;
  std::string text;
  bool operator==(const ShownMessage&) const = default;
};

class MessageCapture {
 public:
  MessageCapture() {
    SetMessageSink([this](const std::string& caption, const std::string& text) {
      messages.push_back({caption, text});
    });
  }
  ~MessageCapture() { SetMessageSink(nullptr); }
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  std::vector<ShownMessage> messages;
};
