#include "cli/arguments.h"

#include <algorithm>
#include <array>

#include "reports/chart_data.h"
#include "reports/paper.h"

namespace veld::cli {
namespace {

enum Option : unsigned {
  kVeld = 1, kOutput = 2, kUut = 4, kWithin = 8, kCsv = 16, kDryRun = 32, kPaper = 64, kLabHeader = 128
};

// The largest --within: a century of days.
constexpr int kMaxWithinDays = 36500;

struct CommandEntry {
  const char* name;
  const char* synopsis;
  const char* description;
  size_t min_arguments;
  size_t max_arguments;  // kAny: no limit
  unsigned options;
  // Words that the first (and, for transfer, second) argument must be.
  std::vector<std::string> first_words;
  std::vector<std::string> second_words;
};

constexpr size_t kAny = static_cast<size_t>(-1);

const std::vector<CommandEntry>& Commands() {
  static const std::vector<CommandEntry> commands = {
      {"init", "init", "Starts up as the desktop program does (folder tree, PC database opened and checked,\n"
                       "missing settings added) and does nothing else. Prints nothing.",
       0, 0, 0, {}, {}},
      {"connect", "connect",
       "Connects to the calibrator ($VELD_DEVICE) and uploads its UUT table, test profile\n"
       "table, custom profiles and new result files, printing the status text as it grows.",
       0, 0, 0, {}, {}},
      {"refresh", "refresh",
       "Uploads new result files from the calibrator and prints the UUT IDs that have\n"
       "results, one a line, in the order of the UUT ID list.",
       0, 0, 0, {}, {}},
      {"uuts", "uuts [--veld] [--csv]",
       "Prints the UUT IDs of the PC database (or of the VELD database with --veld), one a\n"
       "line, sorted ascending without regard to letter case.\n"
       "With --csv: every UUT profile as CSV (RFC 4180, Latin-1, CR LF), one row per UUT in\n"
       "table order under a heading row of field names; the pressures in the UUT's own input\n"
       "unit as the UUT panel shows them (in inches of water when the unit table does not\n"
       "know the unit). import-uuts reads the file back.",
       0, 0, kVeld | kCsv, {}, {}},
      {"uut", "uut ID [--veld]", "Prints the UUT panel of one UUT profile.", 1, 1, kVeld, {}, {}},
      {"profiles", "profiles [--veld]",
       "Prints the test profile IDs of the PC database (or of the VELD database with --veld),\n"
       "one a line, sorted ascending without regard to letter case.",
       0, 0, kVeld, {}, {}},
      {"profile", "profile ID [--veld] [--uut UUTID]",
       "Prints the test profile panel, then one line per point: number, %FS, pressure and\n"
       "output, separated by tabs, as the point list shows them. The points are applied to\n"
       "the UUT given with --uut, else to the first UUT of the same database.",
       1, 1, kVeld | kUut, {}, {}},
      {"transfer", "transfer uut|profile to-veld|to-pc ID...",
       "Copies UUT profiles or test profiles between the PC and the VELD database. After a\n"
       "transfer to the VELD database its table is downloaded to the calibrator. Prints nothing.",
       3, kAny, 0, {"uut", "profile"}, {"to-veld", "to-pc"}},
      {"delete", "delete uut|profile ID... [--veld]",
       "Deletes UUT profiles or test profiles from the PC database (or from the VELD database\n"
       "with --veld, whose table is then downloaded to the calibrator). Asks first: only\n"
       "--yes answers Yes. Prints nothing.",
       2, kAny, kVeld, {"uut", "profile"}, {}},
      {"import-uuts", "import-uuts FILE.csv [--veld] [--dry-run]",
       "Creates or updates UUT profiles of the PC database (or of the VELD database, whose\n"
       "table is then downloaded to the calibrator once) from a CSV file as uuts --csv writes\n"
       "it, by UUT ID (letter case counts). Only the ID column is needed; a UUT created without\n"
       "a column takes a new profile's value, an updated one keeps its own. Every new value is\n"
       "checked as the UUT setup dialog checks it; when any row is bad, nothing changes and\n"
       "each bad row is named on stderr with its line number and reason. A file that starts\n"
       "with a UTF-8 byte order mark is read as UTF-8, any other as Latin-1. Prints one line\n"
       "per UUT created or updated (\"created\" or \"updated\", a tab, the ID), then the counts.\n"
       "With --dry-run nothing is written and the lines say \"create\" or \"update\".",
       1, 1, kVeld | kDryRun, {}, {}},
      {"download", "download uut|profile",
       "Downloads the VELD database's UUT table, or its test profile table with the custom\n"
       "profiles, to the calibrator. Prints nothing.",
       1, 1, 0, {"uut", "profile"}, {}},
      {"results", "results [UUTID]",
       "Without an argument: prints the UUT IDs that have result files in the PC database,\n"
       "one a line (nothing is uploaded). With a UUT ID: prints that UUT's results, one a\n"
       "line: date and time tested, As Found / As Left, Pass / Fail and file name,\n"
       "separated by tabs.",
       0, 1, 0, {}, {}},
      {"export", "export FILE [-o OUT]",
       "Writes a result file as CSV. FILE is a name in the results folder or a path. OUT\n"
       "defaults to FILE without its extension, with \".csv\"; an existing OUT is replaced\n"
       "only with --yes. Prints the path written.",
       1, 1, kOutput, {}, {}},
      {"certificate", "certificate FILE [FILE2] -o OUT.pdf [--paper a4|letter]",
       "Prints the calibration certificate of one result, or of an As Found and an As Left\n"
       "result (names in the results folder, in the order of the results list), as a PDF/A-1b\n"
       "file, as the Print button does: protection, collation, certificate. The certificate\n"
       "gets the next certificate number and the laboratory header (see lab-header). The paper\n"
       "is the locale's (LC_PAPER) unless --paper says. An existing OUT is replaced only with\n"
       "--yes. Prints the path written.",
       1, 2, kOutput | kPaper, {}, {}},
      {"lab-header",
       "lab-header [--name TEXT] [--address LINE]... [--accreditation LINE]... [--logo FILE|--no-logo] [--clear]",
       "Sets the laboratory header that certificates print above their title, kept in the\n"
       "desktop's own settings (C:\\VELD\\PC\\System\\VeldaneManager.ini): the name (at most 50\n"
       "characters), up to 4 address lines and 2 accreditation lines (66 characters each), and\n"
       "a PNG or JPEG logo, which is copied beside the settings. Each option given replaces that\n"
       "part; --address and --accreditation given again add lines; --no-logo removes the logo,\n"
       "--clear the whole header. Without options, prints the header and the last certificate\n"
       "number as key=value lines.",
       0, 0, kLabHeader, {}, {}},
      {"decode", "decode PARTNUMBER",
       "Decodes a smart part number into a new UUT and prints its UUT panel; when the part\n"
       "number is not understood, prints why on stderr.",
       1, 1, 0, {}, {}},
      {"chart", "chart FILE [FILE2] -o OUT.png|svg|pdf",
       "Writes the error chart of one result, or of an As Found and an As Left result of one\n"
       "UUT (names in the results folder, or paths): the error of each point in %FS against\n"
       "its nominal %FS (for dial gauges and pressure switches, against the pressure read),\n"
       "the UUT's accuracy as a band, failed points in red. The format follows the extension\n"
       "of OUT. An existing OUT is replaced only with --yes. Prints the path written.",
       1, 2, kOutput, {}, {}},
      {"history", "history UUTID [-o OUT.png|svg|pdf]",
       "Prints the results of a UUT in the PC database in the order of their test dates, one\n"
       "a line: date and time tested, As Found / As Left, largest error (%FS), Pass / Fail\n"
       "and file name, separated by tabs. With -o, writes the chart of the largest errors\n"
       "against the test dates, with the UUT's Accuracy and Re-Cal Accuracy as limits,\n"
       "instead, and prints the path written (an existing OUT is replaced only with --yes).",
       1, 1, kOutput, {}, {}},
      {"due", "due [--within DAYS] [--veld]",
       "Prints the UUTs of the PC database (or of the VELD database with --veld) with their\n"
       "calibration due dates, one a line: due date (or \"not set\"), Overdue / Due soon,\n"
       "days left and UUT ID, separated by tabs. Overdue UUTs come first, then those due\n"
       "within DAYS calendar days (default 30, at most 36500), then the rest.",
       0, 0, kVeld | kWithin, {}, {}},
      {"settings", "settings [--veld]",
       "Prints the settings table of the PC database (or of the VELD database), key=value\n"
       "a line, in file order.",
       0, 0, kVeld, {}, {}},
      {"about", "about", "Prints the About box's revision history.", 0, 0, 0, {}, {}},
  };
  return commands;
}

// Whole days, digits only: "30", not "+30", "3e1" or "30 ".
bool ParseDays(const std::string& text, std::optional<int>& days) {
  if (text.empty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  const int value = std::stoi(text);
  if (value > kMaxWithinDays) return false;
  days = value;
  return true;
}

const CommandEntry* FindCommand(const std::string& name) {
  for (const CommandEntry& entry : Commands()) {
    if (name == entry.name) return &entry;
  }
  return nullptr;
}

bool OneOf(const std::vector<std::string>& words, const std::string& word) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : "|") + word;
  return text;
}

// A name that cannot be a file: empty, or ending in a folder ("x/", ".", ".."). Reading
// or writing such a name would use the results folder or a made-up name in its place.
bool IsUnusableFileName(const std::string& name) {
  const std::string last = name.substr(name.find_last_of('/') + 1);
  return last.empty() || last == "." || last == "..";
}

// The file names of export and certificate, the results and the output alike.
bool CheckFileNames(const Invocation& invocation, UsageError& error) {
  std::vector<std::string> names = invocation.arguments;
  if (invocation.output) names.push_back(*invocation.output);
  for (const std::string& name : names) {
    if (!IsUnusableFileName(name)) continue;
    error.text = invocation.command + " needs a file name, not \"" + name + "\"";
    return false;
  }
  return true;
}

// Checks what only the command's own entry can tell: argument count, options, words.
bool CheckAgainstEntry(const Invocation& invocation, const CommandEntry& entry, UsageError& error) {
  const std::string name = entry.name;
  const size_t count = invocation.arguments.size();
  if (count < entry.min_arguments || (entry.max_arguments != kAny && count > entry.max_arguments)) {
    error.text = (count < entry.min_arguments ? "missing arguments for " : "too many arguments for ") + name +
                 "\nusage: veldane-cli [--yes] " + entry.synopsis;
    return false;
  }
  const std::pair<bool, unsigned> used[] = {{invocation.veld, kVeld},
                                            {invocation.output.has_value(), kOutput},
                                            {invocation.uut.has_value(), kUut},
                                            {invocation.within.has_value(), kWithin},
                                            {invocation.csv, kCsv},
                                            {invocation.dry_run, kDryRun},
                                            {invocation.paper.has_value(), kPaper},
                                            {invocation.ChangesLabHeader(), kLabHeader}};
  const char* lab_option = invocation.lab_name          ? "--name"
                           : invocation.lab_address     ? "--address"
                           : invocation.lab_accreditation ? "--accreditation"
                           : invocation.lab_logo        ? "--logo"
                           : invocation.no_logo         ? "--no-logo"
                                                        : "--clear";
  const char* option_names[] = {"--veld", "-o", "--uut", "--within", "--csv", "--dry-run", "--paper", lab_option};
  for (size_t i = 0; i < std::size(used); ++i) {
    if (used[i].first && (entry.options & used[i].second) == 0) {
      error.text = std::string(option_names[i]) + " does not apply to " + name;
      return false;
    }
  }
  if (!entry.first_words.empty() && !OneOf(entry.first_words, invocation.arguments[0])) {
    error.text = name + " needs " + Joined(entry.first_words) + ", not \"" + invocation.arguments[0] + "\"";
    return false;
  }
  if (!entry.second_words.empty() && !OneOf(entry.second_words, invocation.arguments[1])) {
    error.text = name + " needs " + Joined(entry.second_words) + ", not \"" + invocation.arguments[1] + "\"";
    return false;
  }
  if (name == "certificate" && !invocation.output) {
    error.text = "certificate needs -o OUT.pdf";
    return false;
  }
  if (name == "chart" && !invocation.output) {
    error.text = "chart needs -o OUT.png|svg|pdf";
    return false;
  }
  if ((name == "chart" || name == "history") && invocation.output && !ChartFileFormatOf(*invocation.output)) {
    error.text = kChartFileFormatMessage;
    return false;
  }
  if (invocation.paper && !ParsePaper(*invocation.paper)) {
    error.text = "--paper takes a4 or letter, not \"" + *invocation.paper + "\"";
    return false;
  }
  if (invocation.clear && (invocation.lab_name || invocation.lab_address || invocation.lab_accreditation ||
                           invocation.lab_logo || invocation.no_logo)) {
    error.text = "--clear stands alone";
    return false;
  }
  if (invocation.lab_logo && invocation.no_logo) {
    error.text = "--logo and --no-logo exclude each other";
    return false;
  }
  if (name == "export" || name == "certificate") return CheckFileNames(invocation, error);
  return true;
}

}  // namespace

std::optional<Invocation> ParseArguments(const std::vector<std::string>& args, UsageError& error) {
  Invocation invocation;
  bool options_ended = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool is_option = !options_ended && arg.size() > 1 && arg[0] == '-';
    if (!is_option) {
      if (invocation.command.empty()) {
        invocation.command = arg;
      } else {
        invocation.arguments.push_back(arg);
      }
      continue;
    }
    if (arg == "--") {
      options_ended = true;
    } else if (arg == "--yes" || arg == "-y") {
      invocation.yes = true;
    } else if (arg == "--help" || arg == "-h") {
      invocation.help = true;
    } else if (arg == "--veld") {
      invocation.veld = true;
    } else if (arg == "--within") {
      if (i + 1 >= args.size() || !ParseDays(args[i + 1], invocation.within)) {
        error.text = "--within needs a number of days from 0 to " + std::to_string(kMaxWithinDays);
        return std::nullopt;
      }
      ++i;
    } else if (arg == "--csv") {
      invocation.csv = true;
    } else if (arg == "--dry-run") {
      invocation.dry_run = true;
    } else if (arg == "--no-logo") {
      invocation.no_logo = true;
    } else if (arg == "--clear") {
      invocation.clear = true;
    } else if (arg == "-o" || arg == "--output" || arg == "--uut" || arg == "--paper" || arg == "--name" ||
               arg == "--address" || arg == "--accreditation" || arg == "--logo") {
      if (i + 1 >= args.size()) {
        error.text = arg + " needs a value";
        return std::nullopt;
      }
      const std::string& value = args[++i];
      if (arg == "--uut") {
        invocation.uut = value;
      } else if (arg == "--paper") {
        invocation.paper = value;
      } else if (arg == "--name") {
        invocation.lab_name = value;
      } else if (arg == "--logo") {
        invocation.lab_logo = value;
      } else if (arg == "--address" || arg == "--accreditation") {
        auto& lines = arg == "--address" ? invocation.lab_address : invocation.lab_accreditation;
        if (!lines) lines.emplace();
        lines->push_back(value);
      } else {
        invocation.output = value;
      }
    } else {
      error.text = "unknown option " + arg;
      return std::nullopt;
    }
  }
  if (invocation.command.empty()) {
    if (invocation.help) return invocation;
    error.text = "no command given";
    return std::nullopt;
  }
  const CommandEntry* entry = FindCommand(invocation.command);
  if (entry == nullptr) {
    error.text = "unknown command " + invocation.command;
    return std::nullopt;
  }
  if (invocation.help) return invocation;  // the command's help needs no valid arguments
  if (!CheckAgainstEntry(invocation, *entry, error)) return std::nullopt;
  return invocation;
}

std::string OverviewHelp() {
  std::string text =
      "usage: veldane-cli [--yes] COMMAND [ARGS]\n"
      "\n"
      "The headless front end of Veldane Manager: the same start-up, synchronisation,\n"
      "listings, transfers, CSV export and certificate printing as the desktop program.\n"
      "\n"
      "Commands:\n";
  for (const CommandEntry& entry : Commands()) text += "  " + std::string(entry.synopsis) + "\n";
  text +=
      "\n"
      "Options:\n"
      "  --yes, -y      answer Yes to every question (otherwise No, and the question is printed)\n"
      "  --help, -h     this text; after a command, that command's help\n"
      "\n"
      "Environment:\n"
      "  VELD_ROOT          the folder that stands for drive C:\\ (default: the home folder)\n"
      "  VELD_DEVICE        the calibrator's file system root\n"
      "  VELD_RAPI_LIBRARY  the remote API library to load instead of the stand-in\n"
      "  VELD_LOCK_WAIT_MS  milliseconds a change waits for another program (default 10000)\n"
      "\n"
      "Results go to stdout; messages and questions go to stderr.\n"
      "Exit status: 0 done; 1 the command stopped on a message; 2 usage error;\n"
      "3 the system is locked out.\n"
      "\n"
      "When printing is password protected, the name, ID and password are read from the\n"
      "terminal, or as three lines from stdin when it is not a terminal; end of input\n"
      "cancels.\n";
  return text;
}

std::string CommandHelp(const std::string& command) {
  const CommandEntry* entry = FindCommand(command);
  if (entry == nullptr) return {};
  return "usage: veldane-cli [--yes] " + std::string(entry->synopsis) + "\n\n" + entry->description + "\n";
}

}  // namespace veld::cli
