#include "platform/format.h"

#include <cstdarg>
#include <cstdio>

#include <locale.h>  // newlocale and uselocale (POSIX), _create_locale (Windows)

namespace veld {
namespace {

// The calibrator's files and texts always use a decimal point. A Qt program sets the C
// library's locale from the environment, which would make vsnprintf write "0,25", so the
// formatting runs in the "C" locale, whatever the process has set.
#ifdef _WIN32

_locale_t ClassicLocale() {
  static const _locale_t classic = _create_locale(LC_ALL, "C");
  return classic;
}

int FormatClassic(char* buffer, size_t size, const char* format, va_list args) {
  if (buffer == nullptr) return _vscprintf_l(format, ClassicLocale(), args);
  return _vsnprintf_s_l(buffer, size, _TRUNCATE, format, ClassicLocale(), args);
}

#else

locale_t ClassicLocale() {
  static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return classic;
}

// Switches the calling thread to the "C" locale for its lifetime; other threads and the
// process-wide setting are left alone.
class ClassicLocaleScope {
 public:
  ClassicLocaleScope() : previous_(uselocale(ClassicLocale())) {}
  ~ClassicLocaleScope() { uselocale(previous_); }
  ClassicLocaleScope(const ClassicLocaleScope&) = delete;
  ClassicLocaleScope& operator=(const ClassicLocaleScope&) = delete;

 private:
  locale_t previous_;
};

int FormatClassic(char* buffer, size_t size, const char* format, va_list args) {
  const ClassicLocaleScope classic;
  return std::vsnprintf(buffer, size, format, args);
}

#endif

}  // namespace

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list measure;
  va_copy(measure, args);
  const int length = FormatClassic(nullptr, 0, format, measure);
  va_end(measure);
  std::string text;
  if (length > 0) {
    text.resize(static_cast<size_t>(length));
    FormatClassic(text.data(), text.size() + 1, format, args);
  }
  va_end(args);
  return text;
}

}  // namespace veld
