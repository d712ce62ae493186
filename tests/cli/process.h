#pragma once
// Runs a built program as a user would: a child process with arguments, the test's
// environment, the given standard input (not a terminal), and its output collected.

#include <string>
#include <sys/types.h>
#include <vector>

namespace veld::test {

struct ProcessResult {
  int exit_status = -1;  // -1 when the process did not exit normally
  std::string out;
  std::string err;
};

// A child process started and not yet waited for, so that several can run at once.
class RunningProcess {
 public:
  RunningProcess(const std::string& program, const std::vector<std::string>& args, const std::string& input = "");
  ~RunningProcess();
  RunningProcess(const RunningProcess&) = delete;
  RunningProcess& operator=(const RunningProcess&) = delete;
  // Waits for the child to end and collects what it wrote.
  ProcessResult Wait();

 private:
  std::string folder_;
  pid_t pid_ = -1;
};

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = "");

}  // namespace veld::test
