// veldane-cli: the headless front end of Veldane Manager.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/session.h"
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
    Session session(invocation.yes);
    if (!session.StartUp()) {
      WriteLines(stderr, "System is locked out.");
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
