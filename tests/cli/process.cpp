#include "process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "support/temp_folders.h"

extern char** environ;

namespace veld::test {

RunningProcess::RunningProcess(const std::string& program, const std::vector<std::string>& args,
                               const std::string& input) {
  // Files rather than pipes: nothing can block, whatever the child writes.
  folder_ = (std::filesystem::temp_directory_path() / "veld-process-XXXXXX").string();
  if (mkdtemp(folder_.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
  const std::string in_path = folder_ + "/in", out_path = folder_ + "/out", err_path = folder_ + "/err";
  WriteBytes(in_path, input);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in_path.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  const int spawned = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    pid_ = -1;
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    throw std::runtime_error("cannot start " + program);
  }
}

ProcessResult RunningProcess::Wait() {
  ProcessResult result;
  if (pid_ < 0) return result;
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  result.out = ReadBytes(folder_ + "/out");
  result.err = ReadBytes(folder_ + "/err");
  return result;
}

RunningProcess::~RunningProcess() {
  Wait();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input) {
  return RunningProcess(program, args, input).Wait();
}

}  // namespace veld::test
