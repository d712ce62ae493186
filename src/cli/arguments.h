#pragma once
// The command line of veldane-cli: veldane-cli [--yes] COMMAND [ARGS], its commands and
// their help texts.

#include <optional>
#include <string>
#include <vector>

namespace veld::cli {

// Exit statuses.
inline constexpr int kExitDone = 0;
inline constexpr int kExitStopped = 1;  // the command stopped on a message
inline constexpr int kExitUsage = 2;
inline constexpr int kExitLockedOut = 3;

struct Invocation {
  std::string command;                 // empty with --help alone
  std::vector<std::string> arguments;  // the positional arguments after the command
  bool yes = false;                    // answer Yes to every question
  bool veld = false;                   // the VELD database instead of the PC database
  std::optional<std::string> output;   // -o OUT
  std::optional<std::string> uut;      // --uut ID
  std::optional<int> within;           // --within DAYS
  bool help = false;                   // --help: the command's help, or the overview
  bool csv = false;                    // uuts --csv
  bool dry_run = false;                // import-uuts --dry-run
  std::optional<std::string> paper;    // certificate --paper a4|letter
  // lab-header: the fields given (an option given twice or more adds lines).
  std::optional<std::string> lab_name;
  std::optional<std::vector<std::string>> lab_address;
  std::optional<std::vector<std::string>> lab_accreditation;
  std::optional<std::string> lab_logo;
  bool no_logo = false;
  bool clear = false;
  bool ChangesLabHeader() const {
    return lab_name || lab_address || lab_accreditation || lab_logo || no_logo || clear;
  }
};

// A command line that cannot be run; the text says why.
struct UsageError {
  std::string text;
};

// Parses argv (without the program name). Options may stand anywhere after the program
// name; "--" ends them.
std::optional<Invocation> ParseArguments(const std::vector<std::string>& args, UsageError& error);

// The overview of every command, and the help of one command (empty for an unknown one).
std::string OverviewHelp();
std::string CommandHelp(const std::string& command);

}  // namespace veld::cli
