// Records the messages the code under test shows and answers them from a
// script, for as long as the recorder lives.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "framework/core/services.h"

struct RecordedMessage {
  std::string text;
  std::string caption;  // empty for none
  bool hasCaption = false;
  unsigned flags = 0;
};

class MessageRecorder {
 public:
  MessageRecorder();
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  // Answers given in order; once they run out every message is answered OK.
  void Answer(int answer) { answers_.push_back(answer); }
  const std::vector<RecordedMessage>& messages() const { return messages_; }
  // The texts alone, for compact expectations.
  std::vector<std::string> texts() const;

 private:
  static int Handle(const char* text, const char* caption, unsigned flags);
  static MessageRecorder* active_;
  MessageHandler previous_;
  std::deque<int> answers_;
  std::vector<RecordedMessage> messages_;
};
