// Sets the process's locale for a test and puts the earlier one back. The
// front end sets the user's locale the same way (setlocale(LC_ALL, "")), so
// code that must not depend on it is tested under one that differs from "C".
#pragma once

#include <clocale>
#include <string>

namespace norix::testing {

// Turkish: "I" and "i" are not each other's case there, so the C library's
// tolower('I') and toupper('i') leave them as they are.
inline constexpr const char* kTurkishLocale = "tr_TR.UTF-8";

class ScopedLocale {
 public:
  // Set it before the test starts threads of its own and let it go after
  // they end: the locale is the whole process's.
  explicit ScopedLocale(const char* name) {
    const char* earlier = std::setlocale(LC_ALL, nullptr);  // NOLINT(concurrency-mt-unsafe)
    earlier_ = earlier != nullptr ? earlier : "C";
    set_ = std::setlocale(LC_ALL, name) != nullptr;  // NOLINT(concurrency-mt-unsafe)
  }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;
  ScopedLocale(ScopedLocale&&) = delete;
  ScopedLocale& operator=(ScopedLocale&&) = delete;
  ~ScopedLocale() {
    (void)std::setlocale(LC_ALL, earlier_.c_str());  // NOLINT(concurrency-mt-unsafe)
  }

  // False when the locale is not installed (scripts/setup generates it).
  [[nodiscard]] bool Set() const { return set_; }

 private:
  std::string earlier_;
  bool set_ = false;
};

}  // namespace norix::testing
