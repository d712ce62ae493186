#include "support/german_locale.h"

#include <locale.h>
#include <stdlib.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace veld::test {
namespace fs = std::filesystem;
namespace {

bool Loadable() {
  const locale_t loaded = newlocale(LC_ALL_MASK, kGermanLocale, static_cast<locale_t>(0));
  if (loaded == static_cast<locale_t>(0)) return false;
  freelocale(loaded);
  return true;
}

bool LoadableFrom(const fs::path& folder) {
  setenv("LOCPATH", folder.c_str(), 1);
  if (Loadable()) return true;
  unsetenv("LOCPATH");
  return false;
}

// Compiled beside the shared folder and renamed into place, so that test processes that
// run at the same time never load half a locale; the first rename wins.
std::string Compile(const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder.parent_path(), ec);
  std::string scratch = folder.string() + ".XXXXXX";
  if (mkdtemp(scratch.data()) == nullptr) return "cannot create a folder beside " + folder.string();
  const std::string command =
      "localedef -i de_DE -f UTF-8 '" + scratch + "/" + kGermanLocale + "' >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  if (!fs::exists(fs::path(scratch) / kGermanLocale / "LC_NUMERIC", ec)) {
    fs::remove_all(scratch, ec);
    return "localedef could not compile " + std::string(kGermanLocale) + " (status " + std::to_string(status) +
           "); install the Debian package locales";
  }
  fs::rename(scratch, folder, ec);
  if (ec) fs::remove_all(scratch, ec);  // another process was first
  return {};
}

}  // namespace

LocaleAvailability MakeGermanLocaleAvailable() {
  static const LocaleAvailability availability = [] {
    LocaleAvailability result;
    if (Loadable()) {
      result.available = true;
      return result;
    }
    const fs::path folder = VELD_TEST_LOCALE_FOLDER;
    if (!fs::exists(folder) || !LoadableFrom(folder)) {
      result.why_not = Compile(folder);
      if (!result.why_not.empty()) return result;
      if (!LoadableFrom(folder)) {
        result.why_not = "the compiled locale in " + folder.string() + " does not load";
        return result;
      }
    }
    result.available = true;
    result.locpath = folder.string();
    return result;
  }();
  // A test may have cleared the environment since: the locale is found through it.
  if (!availability.locpath.empty()) setenv("LOCPATH", availability.locpath.c_str(), 1);
  return availability;
}

ProcessLocale::ProcessLocale(const char* name) {
  if (const char* current = std::setlocale(LC_ALL, nullptr)) previous_ = current;
  ok_ = std::setlocale(LC_ALL, name) != nullptr;
}

ProcessLocale::~ProcessLocale() { std::setlocale(LC_ALL, previous_.empty() ? "C" : previous_.c_str()); }

}  // namespace veld::test
