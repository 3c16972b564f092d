// The main of every test program. A message that a test does not record on
// purpose (with a MessageRecorder) fails that test and names the message, so
// that no error a user would see passes unnoticed.
//
// Each test program works in a temporary folder of its own (TMPDIR, which
// both std::filesystem::temp_directory_path and ::testing::TempDir follow),
// so that test programs running side by side never share a file. The folder
// goes at the end unless a test failed, leaving what it wrote to look at.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

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

std::filesystem::path MakeOwnTemporaryFolder() {
  std::error_code error;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path(error) / ("korvane-test-" + std::to_string(getpid()));
  if (error) return {};
  std::filesystem::create_directories(folder, error);
  if (error) return {};
  setenv("TMPDIR", folder.c_str(), 1);
  return folder;
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new UnexpectedMessages);
  const std::filesystem::path folder = MakeOwnTemporaryFolder();
  const int result = RUN_ALL_TESTS();
  std::error_code ignored;
  if (result == 0 && !folder.empty()) std::filesystem::remove_all(folder, ignored);
  return result;
}
