#include "cli/output.h"

#include <cstdio>
#include <filesystem>

#include "cli/arguments.h"
#include "cli/console.h"
#include "cli/session.h"
#include "database/database.h"
#include "platform/binary_file.h"
#include "platform/file_error.h"
#include "platform/host_path.h"

namespace veld::cli {
namespace fs = std::filesystem;
namespace {

bool SameFolder(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec);
}

bool IsPlainFileName(const std::string& argument) {
  return !argument.empty() && argument != "." && argument != ".." &&
         argument.find_first_of("/\\") == std::string::npos;
}

}  // namespace

void PrintLine(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

void PrintLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) PrintLine(VisibleText(line));
}

ResultFile ResolveResultFile(const std::string& argument) {
  ResultFile file;
  const std::string in_folder = ResultFilePath(argument);
  if (IsPlainFileName(argument) && BinaryFile::Exists(HostPath(in_folder))) {
    file.logical_path = in_folder;
    file.host_path = HostPath(in_folder);
    file.file_name = fs::path(file.host_path).filename().string();
    file.in_results_folder = true;
    return file;
  }
  if (!fs::is_regular_file(argument)) throw FileError(FileError::Cause::NotFound, argument);
  file.logical_path = file.host_path = argument;
  file.file_name = fs::path(argument).filename().string();
  file.in_results_folder = SameFolder(fs::path(argument).parent_path().empty() ? "." : fs::path(argument).parent_path(),
                                      HostPath(kResultFolder));
  return file;
}

void ConfirmReplace(const std::string& path, Prompter& prompter) {
  if (!fs::exists(path)) return;
  if (!prompter.AskYesNo(path + " already exists.\r\nDo you want to replace it?")) throw CommandStopped{kExitStopped};
}

}  // namespace veld::cli
