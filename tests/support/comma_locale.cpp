#include "tests/support/comma_locale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr char kCommaLocale[] = "de_DE.UTF-8";

}  // namespace

std::string CommaLocaleName(std::string& why) {
  const fs::path dir = fs::path(::testing::TempDir()) / "korvane_locales";
  fs::create_directories(dir);
  const std::string command = "localedef -i de_DE -f UTF-8 " + (dir / kCommaLocale).string() + " >/dev/null 2>&1";
  if (!fs::exists(dir / kCommaLocale) && std::system(command.c_str()) != 0) {
    why = "cannot build a de_DE locale here";
    return {};
  }
  setenv("LOCPATH", dir.c_str(), 1);
  if (!std::setlocale(LC_NUMERIC, kCommaLocale)) {
    why = "the de_DE locale does not load";
    return {};
  }
  const bool comma = std::localeconv()->decimal_point[0] == ',';
  std::setlocale(LC_NUMERIC, "C");
  if (!comma) {
    why = "the de_DE locale has no decimal comma";
    return {};
  }
  return kCommaLocale;
}

ScopedCommaLocale::ScopedCommaLocale() {
  const std::string name = CommaLocaleName(why_);
  active_ = !name.empty() && std::setlocale(LC_NUMERIC, name.c_str());
}

ScopedCommaLocale::~ScopedCommaLocale() {
  std::setlocale(LC_NUMERIC, "C");
  unsetenv("LOCPATH");
}
