#include "cli/commands.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "cli/output.h"
#include "cli/pdf_printer.h"
#include "cli/report_commands.h"
#include "database/desktop_settings.h"
#include "database/results_index.h"
#include "platform/host_path.h"
#include "platform/text_encoding.h"
#include "records/system_data_table.h"
#include "reports/collation.h"
#include "reports/csv_export.h"
#include "app/about_box.h"
#include "app/panels.h"
#include "reports/paper.h"
#include "reports/uut_csv.h"
#include "units/smart_part_configurator.h"

namespace veld::cli {

namespace {

// The records with their texts made visible, for the panels: the tables come from the
// calibrator, and their texts must not drive the terminal.
UUT WithVisibleTexts(UUT uut) {
  for (std::string* text : {&uut.ID, &uut.SerialNumber, &uut.Manufacturer, &uut.Model, &uut.OutputType,
                            &uut.InputUnits, &uut.OutputUnits, &uut.DefaultTestProfile}) {
    *text = VisibleText(*text);
  }
  return uut;
}

TestProfile WithVisibleTexts(TestProfile profile) {
  profile.ID = VisibleText(profile.ID);
  profile.ProfileType = VisibleText(profile.ProfileType);
  return profile;
}

DatabaseSide SideOf(const Invocation& invocation) { return SideOfDeviceFlag(invocation.veld); }

WindowList UUTListOf(DatabaseSide side) {
  return side == DatabaseSide::VELD ? WindowList::VeldUUTs : WindowList::PcUUTs;
}

WindowList ProfileListOf(DatabaseSide side) {
  return side == DatabaseSide::VELD ? WindowList::VeldProfiles : WindowList::PcProfiles;
}

int StatusOf(bool done) { return done ? kExitDone : kExitStopped; }

// A click on the rows of the given IDs, as the user makes it in the window.
void Click(Session& session, WindowList list, const std::vector<std::string>& ids) {
  session.window().OnListClicked(list, session.RowsOf(list, ids));
}

// The rows selected for a command, as a click on the list and a selection with the
// keyboard make it: the side is the list's, and no record is shown.
void Select(Session& session, WindowList list, const std::vector<std::string>& ids) {
  const std::vector<int> rows = session.RowsOf(list, ids);
  session.window().OnListClicked(list, {});
  session.window().OnListSelectionChanged(list, rows);
}

}  // namespace

int RunInit(Session&, const Invocation&) { return kExitDone; }

int RunConnect(Session& session, const Invocation&) { return StatusOf(session.window().OnConnect()); }

int RunRefresh(Session& session, const Invocation&) {
  const bool done = session.window().OnRefreshTestResults();
  PrintLines(session.combo());
  return StatusOf(done);
}

int RunUuts(Session& session, const Invocation& invocation) {
  const DatabaseSide side = SideOf(invocation);
  if (invocation.csv) {
    const std::string csv = BuildUUTCsv(session.Database(side).ReadAllUUTs());
    std::fwrite(csv.data(), 1, csv.size(), stdout);
    return kExitDone;
  }
  session.window().RefillList(UUTListOf(side));
  PrintLines(session.Shown(UUTListOf(side)));
  return kExitDone;
}

int RunUut(Session& session, const Invocation& invocation) {
  Click(session, UUTListOf(SideOf(invocation)), {invocation.arguments[0]});
  PrintLine(WithNewlines(BuildUUTPanel(WithVisibleTexts(session.window().current_uut()))));
  return kExitDone;
}

int RunProfiles(Session& session, const Invocation& invocation) {
  const WindowList list = ProfileListOf(SideOf(invocation));
  session.window().RefillList(list);
  PrintLines(session.Shown(list));
  return kExitDone;
}

int RunProfile(Session& session, const Invocation& invocation) {
  const DatabaseSide side = SideOf(invocation);
  // The points are shown applied to a UUT, as in the profile dialog: the one asked for,
  // else the first of the database's UUT list, as the window shows after Connect.
  if (invocation.uut) {
    Click(session, UUTListOf(side), {*invocation.uut});
  } else {
    session.window().RefillList(UUTListOf(side));
    if (!session.Shown(UUTListOf(side)).empty()) session.window().OnListClicked(UUTListOf(side), {0});
  }
  Click(session, ProfileListOf(side), {invocation.arguments[0]});
  const TestProfile& profile = session.window().current_profile();
  PrintLine(WithNewlines(BuildProfilePanel(WithVisibleTexts(profile))));
  for (const ProfilePointRow& row : BuildProfilePointRows(profile, session.window().current_uut())) {
    PrintLine(row.number + "\t" + row.percent_fs + "\t" + row.pressure + "\t" + row.output);
  }
  return kExitDone;
}

// The rows of the IDs clicked in the source's list, then the Transfer button toward the
// target; the window takes the rows in their list order.
int RunTransfer(Session& session, const Invocation& invocation) {
  const bool uuts = invocation.arguments[0] == "uut";
  const DatabaseSide target = invocation.arguments[1] == "to-veld" ? DatabaseSide::VELD : DatabaseSide::PC;
  const DatabaseSide source = target == DatabaseSide::VELD ? DatabaseSide::PC : DatabaseSide::VELD;
  const std::vector<std::string> ids(invocation.arguments.begin() + 2, invocation.arguments.end());
  CRapiTestDlg& window = session.window();
  Select(session, uuts ? UUTListOf(source) : ProfileListOf(source), ids);
  if (uuts) return StatusOf(target == DatabaseSide::VELD ? window.OnTransferUUTsToVELD() : window.OnTransferUUTsToPC());
  return StatusOf(target == DatabaseSide::VELD ? window.OnTransferTestProfilesToVELD()
                                               : window.OnTransferTestProfilesToPC());
}

int RunDelete(Session& session, const Invocation& invocation) {
  const bool uuts = invocation.arguments[0] == "uut";
  const DatabaseSide side = SideOf(invocation);
  const std::vector<std::string> ids(invocation.arguments.begin() + 1, invocation.arguments.end());
  Select(session, uuts ? UUTListOf(side) : ProfileListOf(side), ids);
  return StatusOf(uuts ? session.window().OnDeleteUUTs() : session.window().OnDeleteTestProfiles());
}

int RunDownload(Session& session, const Invocation& invocation) {
  return StatusOf(invocation.arguments[0] == "uut" ? session.window().OnDownloadUUTData()
                                                   : session.window().OnDownloadTestProfileData());
}

int RunImportUuts(Session& session, const Invocation& invocation) {
  const DatabaseSide side = SideOf(invocation);
  CDataBaseX& database = session.Database(side);
  const UUTImportPlan plan = PlanUUTImportFromFile(database, invocation.arguments[0]);
  if (!plan.Acceptable()) {
    session.prompter().Message(UUTImportProblemsText(plan, plan.problems.size()));
    return kExitStopped;
  }
  if (!invocation.dry_run && plan.ChangesSomething()) {
    // The mirror must not change unless the calibrator can be given the same change.
    if (side == DatabaseSide::VELD && !session.window().RequireDevice()) return kExitStopped;
    if (!ApplyUUTImport(database, plan)) return kExitStopped;
    if (side == DatabaseSide::VELD) session.rapi().DownloadUUTTable();
  }
  for (const std::string& line : UUTImportChangeLines(plan, invocation.dry_run)) {
    const size_t tab = line.find('\t');  // "created", a tab, the UUT ID as stored
    PrintLine(line.substr(0, tab + 1) + VisibleText(line.substr(tab + 1)));
  }
  PrintLine(UUTImportSummary(plan, side, invocation.dry_run));
  return kExitDone;
}

namespace {

// A text typed at a UTF-8 terminal becomes the Latin-1 the certificate prints; bytes that
// are not UTF-8 are taken as Latin-1 already.
std::optional<std::string> FromTerminal(const std::string& text, std::vector<std::string>& problems) {
  std::string latin1;
  if (Utf8ToLatin1(text, latin1) == Utf8ToLatin1Result::BeyondLatin1) {
    if (std::find(problems.begin(), problems.end(), kLabTextNotLatin1Message) == problems.end()) {
      problems.push_back(kLabTextNotLatin1Message);
    }
    return std::nullopt;
  }
  return latin1;
}

std::vector<std::string> LinesFromTerminal(const std::vector<std::string>& lines, std::vector<std::string>& problems) {
  std::vector<std::string> converted;
  for (const std::string& line : lines) {
    if (std::optional<std::string> text = FromTerminal(line, problems)) converted.push_back(*text);
  }
  return converted;
}

// The header as it was typed: UTF-8, with any control character (from a settings file
// edited by hand) made visible.
std::string ForTerminal(const std::string& latin1) { return Latin1ToUtf8(VisibleText(latin1)); }

void PrintLabHeader(const DesktopSettingsStore& store) {
  const LabHeader header = store.LoadLabHeader();
  PrintLine("name=" + ForTerminal(header.name));
  for (const std::string& line : header.address) PrintLine("address=" + ForTerminal(line));
  for (const std::string& line : header.accreditation) PrintLine("accreditation=" + ForTerminal(line));
  PrintLine("logo=" + VisibleText(store.LogoHostPath(header)));
  PrintLine("last-certificate-number=" + std::to_string(store.LastCertificateNumber()));
}

}  // namespace

int RunLabHeader(Session& session, const Invocation& invocation) {
  DesktopSettingsStore store;
  if (!invocation.ChangesLabHeader()) {
    PrintLabHeader(store);
    return kExitDone;
  }
  LabHeader header = invocation.clear ? LabHeader() : store.LoadLabHeader();
  std::vector<std::string> problems;
  if (invocation.lab_name) {
    if (std::optional<std::string> name = FromTerminal(*invocation.lab_name, problems)) header.name = *name;
  }
  if (invocation.lab_address) header.address = LinesFromTerminal(*invocation.lab_address, problems);
  if (invocation.lab_accreditation) header.accreditation = LinesFromTerminal(*invocation.lab_accreditation, problems);
  if (invocation.no_logo) header.logo.clear();
  if (invocation.lab_logo) {
    if (const std::string problem = LogoFileProblem(*invocation.lab_logo); !problem.empty()) problems.push_back(problem);
  }
  for (const std::string& problem : LabHeaderProblems(header)) problems.push_back(problem);
  if (!problems.empty()) {
    std::string text;
    for (const std::string& problem : problems) text += (text.empty() ? "" : "\r\n") + problem;
    session.prompter().Message(text);
    return kExitStopped;
  }
  store.SaveLabHeader(header, invocation.lab_logo);
  return kExitDone;
}

int RunResults(Session& session, const Invocation& invocation) {
  if (invocation.arguments.empty()) {
    session.window().RefillResultCombo();
    PrintLines(session.combo());
    return kExitDone;
  }
  // Any UUT ID, not only one of the combo: the rows of the files its prefix begins.
  VectorResultList list;
  TestResults work;
  session.pc().ListTestResults(list, invocation.arguments[0], work);
  for (const ResultRow& row : list.rows) {
    PrintLine(row.date_time_tested + "\t" + row.kind + "\t" + row.verdict + "\t" + VisibleText(row.file_name));
  }
  return kExitDone;
}

int RunExport(Session& session, const Invocation& invocation) {
  const ResultFile source = ResolveResultFile(invocation.arguments[0]);
  // Read first, as the desktop reads before its Save As dialog: a file that gives
  // nothing is refused before any question.
  TestResults record;
  if (!ReadResultForReport(session.pc(), record, source.logical_path, session.prompter())) return kExitStopped;
  const std::string out = invocation.output ? *invocation.output : ProposedExportName(source.host_path) + ".csv";
  ConfirmReplace(out, session.prompter());
  WriteCsvExport(record, out);
  PrintLine(VisibleText(out));
  return kExitDone;
}

int RunCertificate(Session& session, const Invocation& invocation) {
  std::vector<SelectedResult> selected;
  for (const std::string& argument : invocation.arguments) {
    const ResultFile file = ResolveResultFile(argument);
    if (!file.in_results_folder) {
      session.prompter().Message(argument + " is not in the results folder " + HostPath(kResultFolder) + ".");
      return kExitStopped;
    }
    // The kind is what the results list shows for the row: read from the file.
    TestResults row;
    if (!ReadResultForReport(session.pc(), row, file.logical_path, session.prompter())) return kExitStopped;
    selected.push_back({row.AsFound ? "As Found" : "As Left", file.file_name});
  }
  const std::string& out = *invocation.output;
  ConfirmReplace(out, session.prompter());
  PdfCertificatePrinter& printer = session.printer();
  printer.SetTarget(out, invocation.paper ? *ParsePaper(*invocation.paper) : LocalePaper());
  switch (session.window().PrintResults(selected)) {
    case PrintOutcome::Printed: break;
    case PrintOutcome::LockedDown: return kExitLockedOut;
    case PrintOutcome::Refused:
    case PrintOutcome::NotAllowed: return kExitStopped;
  }
  if (!printer.Succeeded()) return kExitStopped;
  PrintLine(VisibleText(out));
  return kExitDone;
}

int RunDecode(Session& session, const Invocation& invocation) {
  SmartPartConfigurator decoder;
  UUT uut;
  std::string part_number = invocation.arguments[0];
  if (!decoder.Configure(part_number, uut)) {
    session.prompter().Message(decoder.ErrorText().empty() ? "Unrecognized smart part number: " + part_number
                                                           : decoder.ErrorText());
    return kExitStopped;
  }
  PrintLine(WithNewlines(BuildUUTPanel(WithVisibleTexts(uut))));
  return kExitDone;
}

int RunSettings(Session& session, const Invocation& invocation) {
  SystemDataTable table(session.prompter());
  table.SetDevice(SideOfDeviceFlag(invocation.veld));
  for (const SystemDataTable::Setting& setting : table.ListSettings()) {
    PrintLine(VisibleText(setting.key) + "=" + VisibleText(setting.value));
  }
  return kExitDone;
}

int RunAbout(Session&, const Invocation&) {
  std::fputs(WithNewlines(AboutRevisionText()).c_str(), stdout);
  return kExitDone;
}

int RunCommand(Session& session, const Invocation& invocation) {
  using Command = int (*)(Session&, const Invocation&);
  static const std::map<std::string, Command> commands = {
      {"init", RunInit},         {"connect", RunConnect},   {"refresh", RunRefresh},
      {"uuts", RunUuts},         {"uut", RunUut},           {"profiles", RunProfiles},
      {"profile", RunProfile},   {"transfer", RunTransfer}, {"delete", RunDelete},
      {"download", RunDownload}, {"results", RunResults},   {"export", RunExport},
      {"import-uuts", RunImportUuts}, {"lab-header", RunLabHeader},
      {"certificate", RunCertificate}, {"decode", RunDecode}, {"settings", RunSettings},
      {"about", RunAbout},       {"chart", RunChart},       {"history", RunHistory},
      {"due", RunDue},
  };
  const int status = commands.at(invocation.command)(session, invocation);
  // A command during which a file could not be copied has not done what it was asked.
  return status == kExitDone && session.rapi().FailedCopies() > 0 ? kExitStopped : status;
}

bool ChangesData(const std::string& command) {
  // certificate: its password check counts failures and may lock the system down.
  static const char* const kChanging[] = {"init",     "connect",     "refresh",    "transfer",
                                          "delete",   "download",    "certificate", "import-uuts"};
  return std::find(std::begin(kChanging), std::end(kChanging), command) != std::end(kChanging);
}

}  // namespace veld::cli
