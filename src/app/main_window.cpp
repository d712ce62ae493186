#include "app/main_window.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <type_traits>

#include "app/lab_header_form.h"
#include "database/data_root_lock.h"
#include "database/results_index.h"
#include "app/main_window_texts.h"
#include "database/desktop_settings.h"
#include "app/sync_sequences.h"
#include "platform/file_error.h"
#include "platform/format.h"
#include "platform/host_path.h"
#include "records/list_target.h"
#include "reports/csv_export.h"
#include "app/panels.h"
#include "reports/uut_csv.h"

namespace veld {
namespace {

inline constexpr const char* kUUTPanelPlaceholder =
    "No UUT profile shown yet.\r\n\r\nConnect to the VELD, then click a UUT profile in one of the two lists.";
// A message box lists this many of an import's bad rows and counts the rest.
constexpr size_t kListedImportProblems = 20;

inline constexpr const char* kProfilePanelPlaceholder =
    "No test profile shown yet.\r\n\r\nConnect to the VELD, then click a test profile in one of the two lists.";

// The rows of a list of count rows that a selection names: ascending, each once.
std::vector<int> SelectedRowsOf(std::vector<int> rows, size_t count) {
  std::erase_if(rows, [count](int row) { return row < 0 || static_cast<size_t>(row) >= count; });
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

std::string EnvironmentDevice() {
  const char* device = std::getenv(kDeviceVariable);
  return device != nullptr ? device : "";
}

}  // namespace

// The window's side of the connect and refresh sequences.
class CRapiTestDlg::SyncView : public SyncObserver {
 public:
  explicit SyncView(CRapiTestDlg& window) : window_(window) {}
  ~SyncView() override { window_.view_.ShowProgress({}, 0, 0); }
  SyncView(const SyncView&) = delete;
  SyncView& operator=(const SyncView&) = delete;

  void StatusTextChanged(const std::string& status_text) override { window_.view_.ShowStatusText(status_text); }
  void BeginWaitCursor() override { window_.view_.SetBusy(true); }
  void EndWaitCursor() override { window_.view_.SetBusy(false); }
  void RefillUUTLists() override {
    window_.RefillList(WindowList::VeldUUTs);
    window_.RefillList(WindowList::PcUUTs);
  }
  void ShowFirstPCUUT() override {
    if (!window_.list(WindowList::PcUUTs).items.empty()) window_.ShowUUTOfRow(WindowList::PcUUTs, 0);
  }
  void RefillProfileLists() override {
    window_.RefillList(WindowList::VeldProfiles);
    window_.RefillList(WindowList::PcProfiles);
  }
  void ShowFirstPCProfile() override {
    if (!window_.list(WindowList::PcProfiles).items.empty()) window_.ShowProfileOfRow(WindowList::PcProfiles, 0);
  }
  void RefillResultCombo() override { window_.RefillResultCombo(); }
  std::vector<std::string> ResultComboItems() override { return window_.result_combo_; }
  std::string SelectedResultUUT() override {
    const int selected = window_.result_combo_selection_;
    return selected >= 0 ? window_.result_combo_[static_cast<size_t>(selected)] : std::string();
  }
  void ResultUploadProgress(size_t done, size_t total) override {
    if (total > 0) window_.view_.ShowProgress(ResultUploadProgressText(done, total), done, total);
  }
  void SelectResultComboItem(int index) override {
    window_.result_combo_selection_ = index;
    window_.view_.ShowResultCombo(window_.result_combo_, index);
    window_.ListResultsOfChosenUUT();
  }

 private:
  CRapiTestDlg& window_;
};

// The window's side of the delete and transfer commands.
class CRapiTestDlg::ProfileHooks : public ProfileCommandHooks {
 public:
  explicit ProfileHooks(CRapiTestDlg& window) : window_(window) {}
  void RefillUUTList(DatabaseSide side) override { window_.RefillList(UUTList(side)); }
  void RefillProfileList(DatabaseSide side) override { window_.RefillList(ProfileList(side)); }
  void DownloadUUTTable() override { window_.rapi_.DownloadUUTTable(); }
  void DownloadTestProfileTable() override { window_.rapi_.DownloadTestProfileTable(); }

 private:
  CRapiTestDlg& window_;
};

// One command at a time: set while a command runs, cleared however it ends.
class CRapiTestDlg::BusyScope {
 public:
  explicit BusyScope(CRapiTestDlg& window) : window_(window) { window_.busy_ = true; }
  ~BusyScope() {
    window_.busy_ = false;
    window_.view_.SetBusy(false);
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  CRapiTestDlg& window_;
};

CRapiTestDlg::CRapiTestDlg(MainView& view, const WindowServices& services)
    : view_(view),
      services_(services),
      pc_(services.prompter),
      veld_(services.prompter),
      rapi_(services.prompter),
      calibrator_search_{EnvironmentDevice(), DefaultMountRoots(), {}} {}

bool CRapiTestDlg::StartUp() {
  veld_.SetDevice(DatabaseSide::VELD);
  pc_.SetDevice(DatabaseSide::PC);
  pc_.SetSystemData(settings_);
  // The tables are created, converted and completed only by the program that holds the
  // data root; when another holds it, that one has done so at its own start-up.
  std::optional<DataRootLock> lock;
  if (!holds_data_root_) lock = DataRootLock::Acquire(std::chrono::milliseconds(0));
  if (holds_data_root_ || lock) pc_.Open();
  lock.reset();
  if (pc_.IsLockedOut()) return false;
  for (WindowList which : kWindowLists) view_.ShowList(which, {});
  view_.ShowUUTPanel(kUUTPanelPlaceholder);
  view_.ShowProfilePanel(kProfilePanelPlaceholder);
  view_.ShowStatusText({});
  view_.ShowResultCombo({}, -1);
  view_.ShowResultRows({});
  return true;
}

template <typename Command>
bool CRapiTestDlg::RunCommand(Command&& command) {
  if (busy_) return false;
  BusyScope scope(*this);
  const size_t failed_copies = rapi_.FailedCopies();
  try {
    bool done = true;
    if constexpr (std::is_same_v<std::invoke_result_t<Command>, bool>) {
      done = command();
    } else {
      command();
    }
    // A command during which a file could not be copied has not done what it was asked.
    return done && rapi_.FailedCopies() == failed_copies;
  } catch (const FileError& error) {
    services_.prompter.Message(error.what());
    return false;
  }
}

template <typename Change>
bool CRapiTestDlg::WithDataRoot(Change&& change) {
  if (holds_data_root_) return change();
  std::optional<DataRootLock> lock = DataRootLock::Acquire();
  if (!lock) {
    services_.prompter.Message(DataRootLock::kBusyMessage);
    return false;
  }
  return change();
}

bool CRapiTestDlg::RequireDevice() {
  if (device_ready_) return true;
  PrepareCalibrator();
  if (!rapi_.Connect()) {
    services_.prompter.Message(CCorvaneRAPI::kUnableToConnectMessage);
    return false;
  }
  device_ready_ = true;
  return true;
}

// The report commands live in a file of their own and run like every other command.
void CRapiTestDlg::RunReportCommand(const std::function<void()>& command) { RunCommand(command); }

// --- Lists ---------------------------------------------------------------------------

void CRapiTestDlg::RefillList(WindowList which) {
  VectorListTarget target;
  Database(SideOf(which)).FillList(target, IsUUTList(which) ? "UUT" : "TestProfile");
  SortLikeComboBox(target.items);
  ListState& state = lists_[Index(which)];
  state.items = std::move(target.items);
  state.selected.clear();
  view_.ShowList(which, state.items);
}

void CRapiTestDlg::OnListSelectionChanged(WindowList which, const std::vector<int>& selected_rows) {
  ListState& state = lists_[Index(which)];
  state.selected = SelectedRowsOf(selected_rows, state.items.size());
}

void CRapiTestDlg::OnListClicked(WindowList which, const std::vector<int>& selected_rows) {
  if (click_guard_ || busy_) return;
  click_guard_ = true;
  OnListSelectionChanged(which, selected_rows);
  if (IsUUTList(which)) {
    uut_side_ = SideOf(which);
  } else {
    profile_side_ = SideOf(which);
  }
  const std::vector<int>& selected = list(which).selected;
  if (selected.size() == 1) {
    RunCommand([&] {
      if (IsUUTList(which)) {
        ShowUUTOfRow(which, selected.front());
      } else {
        ShowProfileOfRow(which, selected.front());
      }
    });
  }
  click_guard_ = false;
}

void CRapiTestDlg::ShowUUTOfRow(WindowList which, int row) {
  current_uut_.ID = list(which).items[static_cast<size_t>(row)];
  Database(SideOf(which)).LoadUUT(current_uut_);
  view_.ShowUUTPanel(veld::BuildUUTPanel(current_uut_));
}

void CRapiTestDlg::ShowProfileOfRow(WindowList which, int row) {
  current_profile_.ID = list(which).items[static_cast<size_t>(row)];
  Database(SideOf(which)).LoadTestProfile(current_profile_);
  view_.ShowProfilePanel(veld::BuildProfilePanel(current_profile_));
}

std::vector<std::string> CRapiTestDlg::SelectedIds(WindowList which) const {
  std::vector<std::string> ids;
  for (int row : list(which).selected) ids.push_back(list(which).items[static_cast<size_t>(row)]);
  return ids;
}

// --- Results -------------------------------------------------------------------------

void CRapiTestDlg::RefillResultCombo() {
  VectorListTarget combo;
  pc_.FillResultUUTCombo(combo);
  result_combo_ = std::move(combo.items);
  result_combo_selection_ = -1;
  view_.ShowResultCombo(result_combo_, -1);
}

void CRapiTestDlg::OnResultUUTChosen(int index) {
  if (busy_ || index < 0 || static_cast<size_t>(index) >= result_combo_.size()) return;
  result_combo_selection_ = index;
  RunCommand([&] { ListResultsOfChosenUUT(); });
}

void CRapiTestDlg::ListResultsOfChosenUUT() {
  if (result_combo_selection_ < 0) return;
  VectorResultList rows;
  result_rows_.clear();
  result_selection_.clear();
  try {
    pc_.ListTestResults(rows, result_combo_[static_cast<size_t>(result_combo_selection_)], records_.as_found);
  } catch (...) {
    // Rows already added stay, as the list keeps them when a file cannot be read.
    result_rows_ = std::move(rows.rows);
    view_.ShowResultRows(result_rows_);
    throw;
  }
  result_rows_ = std::move(rows.rows);
  view_.ShowResultRows(result_rows_);
}

void CRapiTestDlg::OnResultSelectionChanged(const std::vector<int>& selected_rows) {
  result_selection_ = SelectedRowsOf(selected_rows, result_rows_.size());
}

std::vector<SelectedResult> CRapiTestDlg::SelectedResults() const {
  std::vector<SelectedResult> selected;
  for (int row : result_selection_) {
    const ResultRow& result = result_rows_[static_cast<size_t>(row)];
    selected.push_back({result.kind, result.file_name});
  }
  return selected;
}

// --- Synchronisation -----------------------------------------------------------------

void CRapiTestDlg::PrepareCalibrator() { UseCalibratorFolder(FindCalibrator(calibrator_search_)); }

bool CRapiTestDlg::OnCalibratorFolderChosen(const std::string& folder, CalibratorFolderStore& store) {
  if (!HoldsCalibratorVolume(folder)) {
    services_.prompter.Message(Format(kNotACalibratorFolderMessage, folder.c_str()));
    return false;
  }
  store.Save(folder);
  calibrator_search_.remembered_folder = folder;
  return true;
}

bool CRapiTestDlg::OnConnect() {
  return RunCommand([&] {
    return WithDataRoot([&] {
      PrepareCalibrator();
      SyncView observer(*this);
      device_ready_ = RunConnectSequence(rapi_, pc_, veld_, services_.prompter, observer);
      return device_ready_;
    });
  });
}

bool CRapiTestDlg::OnRefreshTestResults() {
  return RunCommand([&] {
    return WithDataRoot([&] {
      if (!RequireDevice()) return false;
      SyncView observer(*this);
      RunRefreshSequence(rapi_, observer);
      return true;
    });
  });
}

bool CRapiTestDlg::OnDownloadUUTData() {
  return RunCommand([&] { return WithDataRoot([&] { return RequireDevice() && (rapi_.DownloadUUTTable(), true); }); });
}

bool CRapiTestDlg::OnDownloadTestProfileData() {
  return RunCommand(
      [&] { return WithDataRoot([&] { return RequireDevice() && (rapi_.DownloadTestProfileTable(), true); }); });
}

// --- Print, export, administrator -----------------------------------------------------

void CRapiTestDlg::OnPrint() { PrintResults(SelectedResults()); }

PrintOutcome CRapiTestDlg::PrintResults(const std::vector<SelectedResult>& selected) {
  PrintOutcome outcome = PrintOutcome::Refused;
  RunCommand([&] {
    // Protected printing counts a failed password attempt: a change of the data root.
    const auto print = [&] {
      outcome = PrintButton(settings_, pc_, services_.password_entry, selected, records_, services_.prompter,
                            services_.printer);
      return outcome == PrintOutcome::Printed;
    };
    if (settings_.CFRCompliantMode) return WithDataRoot(print);
    return print();
  });
  if (outcome == PrintOutcome::LockedDown) view_.CloseWindow();
  return outcome;
}

void CRapiTestDlg::OnExport() {
  RunCommand([&] {
    if (result_selection_.size() > 1) {
      services_.prompter.Message(kExportTooManyMessage, MessageIcon::Exclamation);
      return;
    }
    if (result_selection_.empty()) {
      services_.prompter.Message(kExportNoSelectionMessage, MessageIcon::Exclamation);
      return;
    }
    const std::string source = ResultFilePath(SelectedResults().front().file_name);
    if (!ReadResultForReport(pc_, records_.as_found, source, services_.prompter)) return;
    if (services_.save_as == nullptr) return;
    const std::optional<std::string> target =
        services_.save_as->AskSaveAs(HostPath(ProposedExportName(source)), "csv");
    if (!target) return;
    WriteCsvExport(records_.as_found, *target);
  });
}

void CRapiTestDlg::OnAdministrator() {
  if (services_.administrator == nullptr) return;
  PasswordCheckResult result = PasswordCheckResult::Cancelled;
  RunCommand([&] {
    return WithDataRoot([&] {
      result = RunPasswordCheck(pc_, services_.password_entry, services_.prompter, kAdministratorPrompt);
      return true;
    });
  });
  if (result == PasswordCheckResult::LockedDown) view_.CloseWindow();
  // The dialog runs without the data root: it changes no file, and may stay open long.
  if (result == PasswordCheckResult::Passed) {
    PasswordConfigureForm form(administrator_checks_);
    services_.administrator->Run(form);
  }
}

// --- Profile commands ----------------------------------------------------------------

// The mirror must not change unless the calibrator can be given the same change.
bool CRapiTestDlg::CanChange(DatabaseSide side) { return side == DatabaseSide::PC || RequireDevice(); }

bool CRapiTestDlg::OnEditUUT() { return SetUpUUT(true); }

bool CRapiTestDlg::OnNewUUT() { return SetUpUUT(false); }

// EDIT (the ID locked) or NEW (the ID emptied) on the current UUT. The fetch after Cancel
// drops the dialog's changes only when the side holds the ID; the record as it was before
// the dialog stands in otherwise. EDIT gives the focus to the side's list however the
// dialog ends, NEW only after Cancel.
bool CRapiTestDlg::SetUpUUT(bool edit) {
  if (!CanEditProfiles()) return false;
  return RunCommand([&] {
    if (edit && list(WindowList::PcUUTs).selected.empty() && list(WindowList::VeldUUTs).selected.empty()) {
      services_.prompter.Message(kProfileEditSelectionMessage);
      return false;
    }
    const DatabaseSide side = uut_side_;
    if (!CanChange(side)) return false;
    CDataBaseX& database = Database(side);
    const UUT before = current_uut_;
    if (!edit) current_uut_.ID.clear();
    const bool confirmed = services_.uut_editor->Edit(current_uut_, list(ProfileList(side)).items, edit, database);
    const bool stored = confirmed && WithDataRoot([&] { return StoreUUT(side); });
    if (!confirmed) {
      current_uut_ = before;
      database.LoadUUT(current_uut_);
    }
    if (edit || !confirmed) view_.FocusList(UUTList(side));
    return stored;
  });
}

bool CRapiTestDlg::StoreUUT(DatabaseSide side) {
  const bool stored = Database(side).SaveUUT(current_uut_);
  RefillList(UUTList(side));
  if (side == DatabaseSide::VELD) rapi_.DownloadUUTTable();
  return stored;
}

bool CRapiTestDlg::StoreTestProfile(DatabaseSide side) {
  const bool stored = Database(side).SaveTestProfile(current_profile_);
  RefillList(ProfileList(side));
  if (side == DatabaseSide::VELD) rapi_.DownloadTestProfileTable();
  return stored;
}

bool CRapiTestDlg::OnDeleteUUTs() {
  return RunCommand([&] {
    const DatabaseSide side = uut_side_;
    if (!services_.prompter.AskYesNo(DeleteUUTQuestion(side))) return false;
    if (!CanChange(side)) return false;
    return WithDataRoot([&] {
      ProfileHooks hooks(*this);
      return DeleteUUTs(Database(side), side, SelectedIds(UUTList(side)), current_uut_, hooks);
    });
  });
}

bool CRapiTestDlg::TransferUUTsBetween(DatabaseSide from, DatabaseSide to) {
  return RunCommand([&] {
    if (!CanChange(to)) return false;
    return WithDataRoot([&] {
      ProfileHooks hooks(*this);
      return TransferUUTs(Database(from), Database(to), to, SelectedIds(UUTList(from)), current_uut_, hooks);
    });
  });
}

bool CRapiTestDlg::OnTransferUUTsToPC() {
  return uut_side_ == DatabaseSide::VELD && TransferUUTsBetween(DatabaseSide::VELD, DatabaseSide::PC);
}

bool CRapiTestDlg::OnTransferUUTsToVELD() {
  return uut_side_ == DatabaseSide::PC && TransferUUTsBetween(DatabaseSide::PC, DatabaseSide::VELD);
}

bool CRapiTestDlg::OnEditTestProfile() { return SetUpTestProfile(true); }

bool CRapiTestDlg::OnNewTestProfile() { return SetUpTestProfile(false); }

// EDIT or NEW on the current test profile, as SetUpUUT on the current UUT.
bool CRapiTestDlg::SetUpTestProfile(bool edit) {
  if (!CanEditProfiles()) return false;
  return RunCommand([&] {
    if (edit && list(WindowList::PcProfiles).selected.empty() && list(WindowList::VeldProfiles).selected.empty()) {
      services_.prompter.Message(kProfileEditSelectionMessage);
      return false;
    }
    const DatabaseSide side = profile_side_;
    if (!CanChange(side)) return false;
    CDataBaseX& database = Database(side);
    const TestProfile before = current_profile_;
    if (!edit) current_profile_.ID.clear();
    const bool confirmed = services_.profile_editor->Edit(current_profile_, current_uut_, database, edit);
    const bool stored = confirmed && WithDataRoot([&] { return StoreTestProfile(side); });
    if (!confirmed) {
      current_profile_ = before;
      database.LoadTestProfile(current_profile_);
    }
    if (edit || !confirmed) view_.FocusList(ProfileList(side));
    return stored;
  });
}

bool CRapiTestDlg::OnDeleteTestProfiles() {
  return RunCommand([&] {
    const DatabaseSide side = profile_side_;
    if (!services_.prompter.AskYesNo(DeleteProfileQuestion(side))) return false;
    if (!CanChange(side)) return false;
    return WithDataRoot([&] {
      ProfileHooks hooks(*this);
      return DeleteTestProfiles(Database(side), side, SelectedIds(ProfileList(side)), current_profile_, hooks);
    });
  });
}

bool CRapiTestDlg::TransferTestProfilesBetween(DatabaseSide from, DatabaseSide to) {
  return RunCommand([&] {
    if (!CanChange(to)) return false;
    return WithDataRoot([&] {
      ProfileHooks hooks(*this);
      return TransferTestProfiles(Database(from), Database(to), to, SelectedIds(ProfileList(from)), current_profile_,
                                  hooks);
    });
  });
}

bool CRapiTestDlg::OnTransferTestProfilesToPC() {
  return profile_side_ == DatabaseSide::VELD && TransferTestProfilesBetween(DatabaseSide::VELD, DatabaseSide::PC);
}

bool CRapiTestDlg::OnTransferTestProfilesToVELD() {
  return profile_side_ == DatabaseSide::PC && TransferTestProfilesBetween(DatabaseSide::PC, DatabaseSide::VELD);
}

// --- UUT profiles as CSV, certificate header ------------------------------------------

void CRapiTestDlg::OnImportUUTs() {
  if (services_.open_file == nullptr) return;
  RunCommand([&] {
    const DatabaseSide side = uut_side_;
    const std::optional<std::string> file =
        services_.open_file->AskOpen(kImportUUTsCaption, HostPath(layout::UUTFolder(side)), "csv");
    if (!file) return;
    CDataBaseX& database = Database(side);
    const UUTImportPlan plan = PlanUUTImportFromFile(database, *file);
    if (!plan.Acceptable()) {
      services_.prompter.Message(UUTImportProblemsText(plan, kListedImportProblems), MessageIcon::Exclamation);
      return;
    }
    if (!plan.ChangesSomething()) {
      services_.prompter.Message(UUTImportSummary(plan, side, false));
      return;
    }
    if (!services_.prompter.AskYesNo(UUTImportQuestion(plan, side, *file))) return;
    if (!CanChange(side)) return;
    const bool imported = WithDataRoot([&] {
      if (!ApplyUUTImport(database, plan)) return false;
      RefillList(UUTList(side));
      if (side == DatabaseSide::VELD) rapi_.DownloadUUTTable();
      return true;
    });
    if (imported) services_.prompter.Message(UUTImportSummary(plan, side, false));
  });
}

void CRapiTestDlg::OnExportUUTs() {
  if (services_.save_as == nullptr) return;
  RunCommand([&] {
    const DatabaseSide side = uut_side_;
    const std::optional<std::string> target = services_.save_as->AskSaveAs(HostPath(ProposedUUTExportPath(side)), "csv");
    if (!target) return;
    const size_t rows = ExportUUTs(Database(side), *target);
    services_.prompter.Message(UUTExportDoneText(rows, side, *target));
  });
}

void CRapiTestDlg::OnCertificateHeader() {
  if (services_.certificate_header == nullptr) return;
  RunCommand([&] {
    DesktopSettingsStore store;
    const LabHeader stored = store.LoadLabHeader();
    LabHeaderForm form(stored, store.LogoHostPath(stored));
    if (services_.certificate_header->Run(form)) form.Save(store);
  });
}

}  // namespace veld
