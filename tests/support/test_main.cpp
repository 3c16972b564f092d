// The main of every test program. A message that a test does not record on
// purpose (with a MessageRecorder) fails that test and names the message, so
// that no error a user would see passes unnoticed.
#include <gtest/gtest.h>

#include "framework/core/services.h"

namespace {

int FailOnMessage(const char* text, const char* caption, unsigned) {
  ADD_FAILURE() << "unexpected message \"" << (text ? text : "") << "\" (caption \"" << (caption ? caption : "")
                << "\")";
  return kIdOk;
}

class UnexpectedMessages : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { SetMessageHandler(FailOnMessage); }
  void OnTestEnd(const ::testing::TestInfo&) override { SetMessageHandler(nullptr); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new UnexpectedMessages);
  return RUN_ALL_TESTS();
}
