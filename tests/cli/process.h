#pragma once
// Runs a built program as a user would: a child process with arguments, the test's
// environment, the given standard input (not a terminal), and its output collected.

#include <string>
#include <vector>

namespace veld::test {

struct ProcessResult {
  int exit_status = -1;  // -1 when the process did not exit normally
  std::string out;
  std::string err;
};

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = "");

}  // namespace veld::test
