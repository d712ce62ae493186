// veldane-cli: the headless front end of Veldane Manager.

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/session.h"
#include "app/main_window.h"
#include "database/data_root_lock.h"
#include "platform/file_error.h"

namespace {

using namespace veld::cli;

int ShowUsageError(const UsageError& error) {
  WriteLines(stderr, "veldane-cli: " + error.text + "\nTry 'veldane-cli --help'.");
  return kExitUsage;
}

int ShowHelp(const Invocation& invocation) {
  const std::string text = invocation.command.empty() ? OverviewHelp() : CommandHelp(invocation.command);
  std::fputs(text.c_str(), stdout);
  return kExitDone;
}

// Start-up, then the command. A file error ends the command where it was raised and is
// shown like every other message.
int Run(const Invocation& invocation) {
  try {
    Session session(invocation.yes);  // creates the folder tree, where the lock file lives
    // A changing command holds the data root from start-up to its end, after waiting its
    // turn. A listing does not wait: the window's start-up completes the tables only when
    // the lock is free, since a program that holds it has done so.
    std::optional<veld::DataRootLock> lock;
    if (ChangesData(invocation.command)) {
      lock = veld::DataRootLock::Acquire();
      if (!lock) {
        session.prompter().Message(veld::DataRootLock::kBusyMessage);
        return kExitStopped;
      }
    }
    if (!session.StartUp(lock.has_value())) {
      WriteLines(stderr, veld::kLockedOutNotice);
      return kExitLockedOut;
    }
    return RunCommand(session, invocation);
  } catch (const CommandStopped& stopped) {
    return stopped.exit_status;
  } catch (const veld::FileError& error) {
    WriteLines(stderr, error.what());
    return kExitStopped;
  } catch (const std::exception& error) {
    WriteLines(stderr, std::string("veldane-cli: ") + error.what());
    return kExitStopped;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  UsageError error;
  const std::optional<Invocation> invocation = ParseArguments(args, error);
  if (!invocation) return ShowUsageError(error);
  if (invocation->help) return ShowHelp(*invocation);
  return Run(*invocation);
}
