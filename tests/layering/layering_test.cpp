// The dependency direction of the core, checked on the #include lines of every source
// file: ui, cli -> app -> reports, device, database -> records -> units -> platform; the
// stand-in remote API library (rapi) shares only its ABI header with the device link. No
// core folder includes Qt.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/temp_root.h"

namespace veld::test {
namespace {
namespace fs = std::filesystem;

// The folders each core folder may include from, beside its own.
const std::map<std::string, std::set<std::string>> kAllowedFolders = {
    {"platform", {}},
    {"units", {"platform"}},
    {"records", {"platform", "units"}},
    {"database", {"platform", "units", "records"}},
    {"device", {"platform", "units", "records", "rapi"}},
    {"reports", {"platform", "units", "records", "database"}},
    {"app", {"platform", "units", "records", "database", "device", "reports"}},
    {"rapi", {"platform"}},
};

// Of the stand-in library, the device link sees only the binary interface.
const std::set<std::string> kRapiHeadersForDevice = {"rapi/rapi_types.h"};

bool IsQtHeader(const std::string& path) {
  static const std::regex qt("^(Qt|Q[A-Z]|q[a-z0-9_]*\\.h$)");
  return std::regex_search(path, qt);
}

// Why a file of folder may not include path (as written between the quotes or brackets),
// or an empty text when it may.
std::string Problem(const std::string& folder, const std::string& path) {
  if (IsQtHeader(path)) return "Qt in a core folder";
  const size_t slash = path.find('/');
  if (slash == std::string::npos) return "";  // a standard header, or one beside the file
  const std::string target = path.substr(0, slash);
  if (target == "..") return "a relative path out of the folder";
  if (target == folder) return "";
  const bool source_folder = kAllowedFolders.count(target) != 0 || target == "ui" || target == "cli";
  if (!source_folder) return "";  // a system library's own folder, as <sys/stat.h>
  if (kAllowedFolders.at(folder).count(target) == 0) return folder + " may not include " + target;
  if (folder == "device" && target == "rapi" && kRapiHeadersForDevice.count(path) == 0) {
    return "device shares only the binary interface header with rapi";
  }
  return "";
}

// Every include in a core folder's files that breaks the direction, as
// "src/FILE:LINE: #include WRITTEN: WHY".
std::vector<std::string> CheckTree(const fs::path& src) {
  static const std::regex include_line(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
  std::vector<std::string> violations;
  for (const auto& [folder, allowed] : kAllowedFolders) {
    if (!fs::is_directory(src / folder)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(src / folder)) {
      const std::string extension = entry.path().extension().string();
      if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) continue;
      std::ifstream in(entry.path());
      std::string text;
      for (int line = 1; std::getline(in, text); ++line) {
        std::smatch match;
        if (!std::regex_search(text, match, include_line)) continue;
        const std::string path = match[2];
        const std::string problem = Problem(folder, path);
        if (problem.empty()) continue;
        const std::string written = match[1] == "<" ? "<" + path + ">" : "\"" + path + "\"";
        violations.push_back("src/" + fs::relative(entry.path(), src).generic_string() + ":" + std::to_string(line) +
                             ": #include " + written + ": " + problem);
      }
    }
  }
  return violations;
}

TEST(Layering, NoCoreFolderIncludesQtOrAFolderAboveIt) {
  for (const std::string& violation : CheckTree(VELD_SOURCE_DIR)) ADD_FAILURE() << violation;
  EXPECT_TRUE(fs::is_regular_file(fs::path(VELD_SOURCE_DIR) / "units/type_converter.h"));  // the tree is there
}

// The checker itself, on a tree of one file: {file under src/, its include line, the
// violation it must report (empty: none)}.
struct Case {
  const char* file;
  const char* include;
  const char* reported;
};

class LayeringCheck : public TempRootTest, public ::testing::WithParamInterface<Case> {};

TEST_P(LayeringCheck, ReportsTheFileAndTheInclude) {
  const fs::path src = fs::path(temp_.root()) / "src";
  const fs::path file = src / GetParam().file;
  fs::create_directories(file.parent_path());
  std::ofstream(file) << "// a file\n#include <string>\n" << GetParam().include << "\n";
  std::string reported;
  for (const std::string& violation : CheckTree(src)) reported += violation;
  EXPECT_EQ(reported, GetParam().reported);
}

INSTANTIATE_TEST_SUITE_P(
    Includes, LayeringCheck,
    ::testing::Values(
        Case{"units/decoder.cpp", "#include \"records/uut.h\"",
             "src/units/decoder.cpp:3: #include \"records/uut.h\": units may not include records"},
        Case{"records/uut.cpp", "#include \"units/pressure_units.h\"", ""},
        Case{"reports/panel.h", "  #  include <QString>", "src/reports/panel.h:3: #include <QString>: Qt in a core folder"},
        Case{"platform/a.h", "#include <QtCore/qglobal.h>", "src/platform/a.h:3: #include <QtCore/qglobal.h>: Qt in a core folder"},
        Case{"app/window.h", "#include <qstring.h>", "src/app/window.h:3: #include <qstring.h>: Qt in a core folder"},
        Case{"app/window.h", "#include <queue>", ""},
        Case{"app/window.h", "#include \"ui/desktop_program.h\"",
             "src/app/window.h:3: #include \"ui/desktop_program.h\": app may not include ui"},
        Case{"database/db.cpp", "#include \"cli/session.h\"",
             "src/database/db.cpp:3: #include \"cli/session.h\": database may not include cli"},
        Case{"device/link.h", "#include \"rapi/rapi_types.h\"", ""},
        Case{"device/link.cpp", "#include \"rapi/standin_faults.h\"",
             "src/device/link.cpp:3: #include \"rapi/standin_faults.h\": device shares only the binary interface "
             "header with rapi"},
        Case{"rapi/entry.cpp", "#include \"device/corvane_rapi.h\"",
             "src/rapi/entry.cpp:3: #include \"device/corvane_rapi.h\": rapi may not include device"},
        Case{"reports/sub/deep.cpp", "#include \"app/main_window.h\"",
             "src/reports/sub/deep.cpp:3: #include \"app/main_window.h\": reports may not include app"},
        Case{"records/t.h", "#include \"../app/x.h\"",
             "src/records/t.h:3: #include \"../app/x.h\": a relative path out of the folder"}));

}  // namespace
}  // namespace veld::test
