#include "cli/commands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

#include "cli/pdf_printer.h"
#include "cli/report_commands.h"
#include "database/desktop_settings.h"
#include "database/profile_commands.h"
#include "database/results_index.h"
#include "device/sync_sequences.h"
#include "platform/binary_file.h"
#include "platform/file_error.h"
#include "platform/host_path.h"
#include "platform/text_encoding.h"
#include "records/system_data_table.h"
#include "reports/collation.h"
#include "reports/csv_export.h"
#include "reports/panels.h"
#include "reports/paper.h"
#include "reports/uut_csv.h"
#include "units/smart_part_configurator.h"

namespace veld::cli {
namespace fs = std::filesystem;

namespace {

void PrintLine(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}

// One stored value (an ID, a name) per line, made visible.
void PrintLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) PrintLine(VisibleText(line));
}

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

DatabaseSide SideOf(const Invocation& invocation) {
  return invocation.veld ? DatabaseSide::VELD : DatabaseSide::PC;
}

const char* SideName(DatabaseSide side) { return side == DatabaseSide::VELD ? "VELD" : "PC"; }

// The desktop only offers IDs from its lists; typed IDs are checked first, because a
// fetch of an ID that is not there would store the previous record under that ID.
void RequireIds(CDataBaseX& database, DatabaseSide side, const std::string& table,
                const std::vector<std::string>& ids, Prompter& prompter) {
  const std::vector<std::string> present = FileOrderIds(database, table);
  for (const std::string& id : ids) {
    if (std::find(present.begin(), present.end(), id) != present.end()) continue;
    const char* what = table == "UUT" ? "UUT profile" : "test profile";
    prompter.Message(std::string("No ") + what + " \"" + id + "\" in the " + SideName(side) + " database.");
    throw CommandStopped{kExitStopped};
  }
}

// The window's side of the connect and refresh sequences: its lists become vectors,
// and the status box becomes stdout, printing what each stage adds.
class ConsoleSyncObserver : public SyncObserver {
 public:
  explicit ConsoleSyncObserver(Session& session) : session_(session) {}

  void StatusTextChanged(const std::string& status_text) override {
    if (status_text.compare(0, printed_.size(), printed_) != 0) printed_.clear();  // a fresh text
    std::fputs(WithNewlines(status_text.substr(printed_.size())).c_str(), stdout);
    std::fflush(stdout);
    printed_ = status_text;
  }
  // On a terminal, one line on stderr that counts the files up as they are copied.
  void ResultUploadProgress(size_t done, size_t total) override {
    if (total == 0 || !progress_.ShouldShow(done == total)) return;
    std::fprintf(stderr, "\r%s", ResultUploadProgressText(done, total).c_str());
    if (done == total) std::fputc('\n', stderr);
    std::fflush(stderr);
  }
  void RefillUUTLists() override {
    veld_uuts_ = SortedIds(session_.veld(), "UUT");
    pc_uuts_ = SortedIds(session_.pc(), "UUT");
  }
  void ShowFirstPCUUT() override {
    if (pc_uuts_.empty()) return;
    session_.current_uut().ID = pc_uuts_.front();
    session_.pc().LoadUUT(session_.current_uut());
  }
  void RefillProfileLists() override {
    veld_profiles_ = SortedIds(session_.veld(), "TestProfile");
    pc_profiles_ = SortedIds(session_.pc(), "TestProfile");
  }
  void ShowFirstPCProfile() override {
    if (pc_profiles_.empty()) return;
    session_.current_profile().ID = pc_profiles_.front();
    session_.pc().LoadTestProfile(session_.current_profile());
  }
  void RefillResultCombo() override {
    VectorListTarget combo;
    session_.pc().FillResultUUTCombo(combo);
    combo_ = combo.items;
  }
  std::vector<std::string> ResultComboItems() override { return combo_; }
  std::string SelectedResultUUT() override { return {}; }  // a fresh run has no selection
  void SelectResultComboItem(int) override {}

  const std::vector<std::string>& combo() const { return combo_; }

 private:
  Session& session_;
  TerminalProgress progress_;
  std::string printed_;
  std::vector<std::string> veld_uuts_, pc_uuts_, veld_profiles_, pc_profiles_, combo_;
};

// The window's side of the profile commands: the lists are read again as the window
// refills them, and a changed VELD table goes to the calibrator.
class ConsoleProfileHooks : public ProfileCommandHooks {
 public:
  explicit ConsoleProfileHooks(Session& session) : session_(session) {}
  void RefillUUTList(DatabaseSide side) override { SortedIds(session_.Database(side), "UUT"); }
  void RefillProfileList(DatabaseSide side) override { SortedIds(session_.Database(side), "TestProfile"); }
  void DownloadUUTTable() override { session_.rapi().DownloadUUTTable(); }
  void DownloadTestProfileTable() override { session_.rapi().DownloadTestProfileTable(); }

 private:
  Session& session_;
};

// A result file named on the command line: a name in the results folder, or a path.
struct ResultFile {
  std::string logical_path;  // what the facade reads
  std::string host_path;
  std::string file_name;     // the results list's "File Name", when in the results folder
  bool in_results_folder = false;
};

bool SameFolder(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec);
}

// A name without a folder of its own, so that in the results folder it stays there: the
// logical path takes '\\' as a separator as well as '/'.
bool IsPlainFileName(const std::string& argument) {
  return !argument.empty() && argument != "." && argument != ".." &&
         argument.find_first_of("/\\") == std::string::npos;
}

// A result file that is not there would read as an empty record and be exported or
// printed as if it were a result, so it is refused with the file error instead.
ResultFile ResolveResultFile(const std::string& argument) {
  ResultFile file;
  const std::string in_folder = std::string(kResultFolder) + argument;
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

// An existing output file is replaced only when the user answers Yes (--yes).
void ConfirmReplace(const std::string& path, Prompter& prompter) {
  if (!fs::exists(path)) return;
  if (!prompter.AskYesNo(path + " already exists.\r\nDo you want to replace it?")) throw CommandStopped{kExitStopped};
}

}  // namespace

int RunInit(Session&, const Invocation&) { return kExitDone; }

int RunConnect(Session& session, const Invocation&) {
  ConsoleSyncObserver observer(session);
  const bool connected =
      RunConnectSequence(session.rapi(), session.pc(), session.veld(), session.prompter(), observer);
  return connected ? kExitDone : kExitStopped;
}

int RunRefresh(Session& session, const Invocation&) {
  session.RequireDevice();
  ConsoleSyncObserver observer(session);
  RunRefreshSequence(session.rapi(), observer);
  PrintLines(observer.combo());
  return kExitDone;
}

int RunUuts(Session& session, const Invocation& invocation) {
  CDataBaseX& database = session.Database(SideOf(invocation));
  if (invocation.csv) {
    const std::string csv = BuildUUTCsv(database.ReadAllUUTs());
    std::fwrite(csv.data(), 1, csv.size(), stdout);
    return kExitDone;
  }
  PrintLines(SortedIds(database, "UUT"));
  return kExitDone;
}

int RunUut(Session& session, const Invocation& invocation) {
  const DatabaseSide side = SideOf(invocation);
  CDataBaseX& database = session.Database(side);
  const std::string& id = invocation.arguments[0];
  RequireIds(database, side, "UUT", {id}, session.prompter());
  UUT& uut = session.current_uut();
  uut.ID = id;
  database.LoadUUT(uut);
  PrintLine(WithNewlines(BuildUUTPanel(WithVisibleTexts(uut))));
  return kExitDone;
}

int RunProfiles(Session& session, const Invocation& invocation) {
  PrintLines(SortedIds(session.Database(SideOf(invocation)), "TestProfile"));
  return kExitDone;
}

int RunProfile(Session& session, const Invocation& invocation) {
  const DatabaseSide side = SideOf(invocation);
  CDataBaseX& database = session.Database(side);
  const std::string& id = invocation.arguments[0];
  RequireIds(database, side, "TestProfile", {id}, session.prompter());
  // The points are shown applied to a UUT, as in the profile dialog: the one asked for,
  // else the first of the database's UUT list, as the window shows after Connect.
  UUT& uut = session.current_uut();
  if (invocation.uut) {
    RequireIds(database, side, "UUT", {*invocation.uut}, session.prompter());
    uut.ID = *invocation.uut;
    database.LoadUUT(uut);
  } else if (const std::vector<std::string> uuts = SortedIds(database, "UUT"); !uuts.empty()) {
    uut.ID = uuts.front();
    database.LoadUUT(uut);
  }
  TestProfile& profile = session.current_profile();
  profile.ID = id;
  database.LoadTestProfile(profile);
  PrintLine(WithNewlines(BuildProfilePanel(WithVisibleTexts(profile))));
  for (const ProfilePointRow& row : BuildProfilePointRows(profile, uut)) {
    PrintLine(row.number + "\t" + row.percent_fs + "\t" + row.pressure + "\t" + row.output);
  }
  return kExitDone;
}

int RunTransfer(Session& session, const Invocation& invocation) {
  const bool uuts = invocation.arguments[0] == "uut";
  const DatabaseSide target_side = invocation.arguments[1] == "to-veld" ? DatabaseSide::VELD : DatabaseSide::PC;
  const DatabaseSide source_side = target_side == DatabaseSide::VELD ? DatabaseSide::PC : DatabaseSide::VELD;
  const std::vector<std::string> ids(invocation.arguments.begin() + 2, invocation.arguments.end());
  CDataBaseX& source = session.Database(source_side);
  CDataBaseX& target = session.Database(target_side);
  RequireIds(source, source_side, uuts ? "UUT" : "TestProfile", ids, session.prompter());
  // The mirror must not change unless the calibrator can be given the same change.
  if (target_side == DatabaseSide::VELD) session.RequireDevice();
  ConsoleProfileHooks hooks(session);
  const bool stored = uuts ? TransferUUTs(source, target, target_side, ids, session.current_uut(), hooks)
                           : TransferTestProfiles(source, target, target_side, ids, session.current_profile(), hooks);
  return stored ? kExitDone : kExitStopped;
}

int RunDelete(Session& session, const Invocation& invocation) {
  const bool uuts = invocation.arguments[0] == "uut";
  const DatabaseSide side = SideOf(invocation);
  const std::vector<std::string> ids(invocation.arguments.begin() + 1, invocation.arguments.end());
  CDataBaseX& database = session.Database(side);
  RequireIds(database, side, uuts ? "UUT" : "TestProfile", ids, session.prompter());
  if (side == DatabaseSide::VELD) session.RequireDevice();
  ConsoleProfileHooks hooks(session);
  const bool done = uuts ? DeleteUUTs(database, side, ids, session.current_uut(), session.prompter(), hooks)
                         : DeleteTestProfiles(database, side, ids, session.current_profile(), session.prompter(),
                                              hooks);
  return done ? kExitDone : kExitStopped;
}

int RunDownload(Session& session, const Invocation& invocation) {
  session.RequireDevice();
  if (invocation.arguments[0] == "uut") {
    session.rapi().DownloadUUTTable();
  } else {
    session.rapi().DownloadTestProfileTable();
  }
  return kExitDone;
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
    if (side == DatabaseSide::VELD) session.RequireDevice();
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
    VectorListTarget combo;
    session.pc().FillResultUUTCombo(combo);
    PrintLines(combo.items);
    return kExitDone;
  }
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
  PdfCertificatePrinter printer(out, invocation.paper ? *ParsePaper(*invocation.paper) : LocalePaper(),
                                session.prompter());
  ConsolePasswordEntry entry;
  CollationRecords records;
  switch (PrintButton(session.settings(), session.pc(), entry, selected, records, session.prompter(), printer)) {
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
  table.SetDevice(invocation.veld);
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
  static const char* const kChanging[] = {"init",   "connect",  "refresh",    "transfer",
                                          "delete", "download", "certificate"};
  return std::find(std::begin(kChanging), std::end(kChanging), command) != std::end(kChanging);
}

}  // namespace veld::cli
