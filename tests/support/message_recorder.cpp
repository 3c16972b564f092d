#include "tests/support/message_recorder.h"

MessageRecorder* MessageRecorder::active_ = nullptr;

MessageRecorder::MessageRecorder() : previous_(SetMessageHandler(&MessageRecorder::Handle)) { active_ = this; }

MessageRecorder::~MessageRecorder() {
  SetMessageHandler(previous_);
  active_ = nullptr;
}

std::vector<std::string> MessageRecorder::texts() const {
  std::vector<std::string> out;
  for (const auto& m : messages_) out.push_back(m.text);
  return out;
}

int MessageRecorder::Handle(const char* text, const char* caption, unsigned flags) {
  MessageRecorder& self = *active_;
  self.messages_.push_back({text ? text : "", caption ? caption : "", caption != nullptr, flags});
  if (self.answers_.empty()) return kIdOk;
  int answer = self.answers_.front();
  self.answers_.pop_front();
  return answer;
}
