#include "reports/paper.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "platform/host_path.h"

#if defined(__GLIBC__)
#include <langinfo.h>
#include <locale.h>
#endif

namespace veld {
namespace {

// The countries whose locales print on Letter paper.
constexpr const char* kLetterCountries[] = {"US", "CA", "MX", "PH", "CL", "CO", "VE", "CR", "GT", "NI", "PA", "PR", "SV", "DO"};

// The locale name that decides LC_PAPER, as setlocale would pick it.
std::string PaperLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_PAPER", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

// "en_US.UTF-8" -> "US"; nothing when the name has no country.
std::string CountryOf(const std::string& locale_name) {
  const size_t underscore = locale_name.find('_');
  if (underscore == std::string::npos) return {};
  const size_t end = locale_name.find_first_of(".@", underscore);
  return locale_name.substr(underscore + 1, end == std::string::npos ? std::string::npos : end - underscore - 1);
}

#if defined(__GLIBC__)
// The paper width in millimetres of an installed locale; 0 when it is not installed.
int InstalledPaperWidth(const std::string& name) {
  const locale_t locale = newlocale(LC_PAPER_MASK, name.c_str(), static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return 0;
  const int width = static_cast<int>(reinterpret_cast<intptr_t>(nl_langinfo_l(_NL_PAPER_WIDTH, locale)));
  freelocale(locale);
  return width;
}
#endif

}  // namespace

std::optional<Paper> ParsePaper(const std::string& text) {
  if (EqualsIgnoreCase(text, "a4")) return Paper::A4;
  if (EqualsIgnoreCase(text, "letter")) return Paper::Letter;
  return std::nullopt;
}

Paper LocalePaper() {
  const std::string name = PaperLocaleName();
#if defined(__GLIBC__)
  if (const int width = InstalledPaperWidth(name); width > 0) return width == 216 ? Paper::Letter : Paper::A4;
#endif
  const std::string country = CountryOf(name);
  const bool letter = std::any_of(std::begin(kLetterCountries), std::end(kLetterCountries),
                                  [&](const char* code) { return country == code; });
  return letter ? Paper::Letter : Paper::A4;
}

}  // namespace veld
