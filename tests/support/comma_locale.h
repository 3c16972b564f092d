// A locale whose decimal point is a comma (German), for tests that check
// that numbers are still written and read with '.'. The machine's locales
// rarely include one, so it is built with localedef into the test program's
// temporary folder the first time the program asks for it, and LOCPATH
// points there.
#pragma once

#include <string>

// The name to hand setlocale for the comma locale, or empty with `why`
// saying why there is none here (the test then skips).
std::string CommaLocaleName(std::string& why);

// While it lives, LC_NUMERIC is the comma locale (check `active()`); the C
// locale comes back when it goes, and LOCPATH is unset.
class ScopedCommaLocale {
 public:
  ScopedCommaLocale();
  ~ScopedCommaLocale();
  ScopedCommaLocale(const ScopedCommaLocale&) = delete;
  ScopedCommaLocale& operator=(const ScopedCommaLocale&) = delete;

  bool active() const { return active_; }
  const std::string& why() const { return why_; }

 private:
  bool active_ = false;
  std::string why_;
};
