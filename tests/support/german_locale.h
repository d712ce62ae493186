#pragma once
// A real locale that writes decimal commas, for the tests that show that no text of the
// system follows the process locale. Debian images often carry only the C locales, so
// when the system lacks it, it is compiled once with localedef (from the `locales`
// package's sources) into a folder of the build tree and found there through LOCPATH.

#include <string>

namespace veld::test {

inline constexpr const char* kGermanLocale = "de_DE.UTF-8";

struct LocaleAvailability {
  bool available = false;
  // The LOCPATH that a child process needs to load the locale; empty when the system
  // has it.
  std::string locpath;
  std::string why_not;  // when not available
};

// Makes kGermanLocale loadable by this process, setting LOCPATH when it had to be compiled.
LocaleAvailability MakeGermanLocaleAvailable();

// The process locale (setlocale, every category) set for the object's lifetime, as a Qt
// program sets it from the environment; the previous one is restored afterwards.
class ProcessLocale {
 public:
  explicit ProcessLocale(const char* name);
  ~ProcessLocale();
  ProcessLocale(const ProcessLocale&) = delete;
  ProcessLocale& operator=(const ProcessLocale&) = delete;
  bool ok() const { return ok_; }

 private:
  std::string previous_;
  bool ok_ = false;
};

}  // namespace veld::test
