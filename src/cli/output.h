#pragma once
// What the commands of veldane-cli share: printing results on stdout, finding a result
// file named on the command line, and asking before an output file is replaced.

#include <string>
#include <vector>

#include "platform/prompter.h"

namespace veld::cli {

void PrintLine(const std::string& text);
// One stored value (an ID, a name) per line, made visible.
void PrintLines(const std::vector<std::string>& lines);

// A result file named on the command line: a plain name in the results folder, or a path.
struct ResultFile {
  std::string logical_path;  // what the facade reads
  std::string host_path;
  std::string file_name;     // the results list's "File Name", when in the results folder
  bool in_results_folder = false;
};

// A result file that is not there would read as an empty record and be reported on as if
// it were a result, so it is refused with the file error instead. Only a plain name (no
// '/' or '\\', not "." or "..") is looked up in the results folder, so that however it
// is spelled it stays there.
ResultFile ResolveResultFile(const std::string& argument);

// An existing output file is replaced only when the user answers Yes (--yes); otherwise
// the command stops.
void ConfirmReplace(const std::string& path, Prompter& prompter);

}  // namespace veld::cli
