#include "app/main_window.h"

#include <algorithm>
#include <cstdlib>

#include "app/lab_header_form.h"
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

std::vector<int> Sorted(std::vector<int> rows) {
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

  void StatusTextChanged(const std::string& status_text) override { window_.SetStatusText(status_text); }
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
  pc_.SetSystemData(&settings_);
  pc_.Open();
  if (pc_.IsLockedOut()) return false;
  for (WindowList which : kWindowLists) view_.ShowList(which, {});
  view_.ShowUUTPanel(kUUTPanelPlaceholder);
  view_.ShowProfilePanel(kProfilePanelPlaceholder);
  view_.ShowStatusText(status_text_);
  view_.ShowResultCombo({}, -1);
  view_.ShowResultRows({});
  return true;
}

template <typename Command>
void CRapiTestDlg::RunCommand(Command&& command) {
  if (busy_) return;
  BusyScope scope(*this);
  try {
    command();
  } catch (const FileError& error) {
    services_.prompter.Message(error.what());
  }
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
  state.selected.clear();
  for (int row : Sorted(selected_rows)) {
    if (row >= 0 && static_cast<size_t>(row) < state.items.size()) state.selected.push_back(row);
  }
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
  result_selection_.clear();
  for (int row : Sorted(selected_rows)) {
    if (row >= 0 && static_cast<size_t>(row) < result_rows_.size()) result_selection_.push_back(row);
  }
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

void CRapiTestDlg::SetStatusText(const std::string& text) {
  status_text_ = text;
  view_.ShowStatusText(status_text_);
}

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

void CRapiTestDlg::OnConnect() {
  RunCommand([&] {
    PrepareCalibrator();
    SyncView observer(*this);
    RunConnectSequence(rapi_, pc_, veld_, services_.prompter, observer);
  });
}

void CRapiTestDlg::OnRefreshTestResults() {
  RunCommand([&] {
    SyncView observer(*this);
    RunRefreshSequence(rapi_, observer);
  });
}

// --- Print, export, administrator -----------------------------------------------------

void CRapiTestDlg::OnPrint() {
  RunCommand([&] {
    const PrintOutcome outcome = PrintButton(settings_, pc_, services_.password_entry, SelectedResults(), records_,
                                             services_.prompter, services_.printer);
    if (outcome == PrintOutcome::LockedDown) view_.CloseWindow();
  });
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
    const std::string source = std::string(kResultFolder) + SelectedResults().front().file_name;
    pc_.ReadTestResults(records_.as_found, source);
    const std::optional<std::string> target =
        services_.save_as.AskSaveAs(HostPath(ProposedExportName(source)), "csv");
    if (!target) return;
    WriteCsvExport(records_.as_found, *target);
  });
}

void CRapiTestDlg::OnAdministrator() {
  RunCommand([&] {
    switch (RunPasswordCheck(pc_, services_.password_entry, services_.prompter, kAdministratorPrompt)) {
      case PasswordCheckResult::Passed: {
        PasswordConfigureForm form(administrator_checks_);
        services_.administrator.Run(form);
        break;
      }
      case PasswordCheckResult::LockedDown: view_.CloseWindow(); break;
      case PasswordCheckResult::Cancelled:
      case PasswordCheckResult::Failed: break;
    }
  });
}

// --- Profile commands ----------------------------------------------------------------

void CRapiTestDlg::DownloadAfterChange(bool uut_table) {
  if (uut_table) {
    rapi_.DownloadUUTTable();
  } else {
    rapi_.DownloadTestProfileTable();
  }
}

void CRapiTestDlg::OnEditUUT() {
  if (!CanEditProfiles()) return;
  RunCommand([&] {
    if (list(WindowList::PcUUTs).selected.empty() && list(WindowList::VeldUUTs).selected.empty()) {
      services_.prompter.Message(kProfileEditSelectionMessage);
      return;
    }
    const DatabaseSide side = uut_side_;
    CDataBaseX& database = Database(side);
    const UUT before = current_uut_;
    if (services_.uut_editor->Edit(current_uut_, list(ProfileList(side)).items, true, database)) {
      database.SaveUUT(current_uut_);
      RefillList(UUTList(side));
      if (side == DatabaseSide::VELD) DownloadAfterChange(true);
    } else {
      // The fetch drops the dialog's changes only when the side holds the ID; the record
      // as it was before the dialog stands in otherwise.
      current_uut_ = before;
      database.LoadUUT(current_uut_);
    }
    view_.FocusList(UUTList(side));
  });
}

void CRapiTestDlg::OnNewUUT() {
  if (!CanEditProfiles()) return;
  RunCommand([&] {
    const DatabaseSide side = uut_side_;
    CDataBaseX& database = Database(side);
    const UUT before = current_uut_;
    current_uut_.ID.clear();
    if (services_.uut_editor->Edit(current_uut_, list(ProfileList(side)).items, false, database)) {
      database.SaveUUT(current_uut_);
      RefillList(UUTList(side));
      if (side == DatabaseSide::VELD) DownloadAfterChange(true);
      return;
    }
    current_uut_ = before;  // the remembered ID, and none of the dialog's changes
    database.LoadUUT(current_uut_);
    view_.FocusList(UUTList(side));
  });
}

void CRapiTestDlg::OnDeleteUUTs() {
  RunCommand([&] {
    ProfileHooks hooks(*this);
    DeleteUUTs(Database(uut_side_), uut_side_, SelectedIds(UUTList(uut_side_)), current_uut_, services_.prompter,
               hooks);
  });
}

void CRapiTestDlg::OnTransferUUTsToPC() {
  if (uut_side_ != DatabaseSide::VELD) return;
  RunCommand([&] {
    ProfileHooks hooks(*this);
    TransferUUTs(veld_, pc_, DatabaseSide::PC, SelectedIds(WindowList::VeldUUTs), current_uut_, hooks);
  });
}

void CRapiTestDlg::OnTransferUUTsToVELD() {
  if (uut_side_ != DatabaseSide::PC) return;
  RunCommand([&] {
    ProfileHooks hooks(*this);
    TransferUUTs(pc_, veld_, DatabaseSide::VELD, SelectedIds(WindowList::PcUUTs), current_uut_, hooks);
  });
}

void CRapiTestDlg::OnEditTestProfile() {
  if (!CanEditProfiles()) return;
  RunCommand([&] {
    if (list(WindowList::PcProfiles).selected.empty() && list(WindowList::VeldProfiles).selected.empty()) {
      services_.prompter.Message(kProfileEditSelectionMessage);
      return;
    }
    const DatabaseSide side = profile_side_;
    CDataBaseX& database = Database(side);
    const TestProfile before = current_profile_;
    if (services_.profile_editor->Edit(current_profile_, current_uut_, database, true)) {
      database.SaveTestProfile(current_profile_);
      RefillList(ProfileList(side));
      if (side == DatabaseSide::VELD) DownloadAfterChange(false);
    } else {
      current_profile_ = before;
      database.LoadTestProfile(current_profile_);
    }
    view_.FocusList(ProfileList(side));
  });
}

void CRapiTestDlg::OnNewTestProfile() {
  if (!CanEditProfiles()) return;
  RunCommand([&] {
    const DatabaseSide side = profile_side_;
    CDataBaseX& database = Database(side);
    const TestProfile before = current_profile_;
    current_profile_.ID.clear();
    if (services_.profile_editor->Edit(current_profile_, current_uut_, database, false)) {
      database.SaveTestProfile(current_profile_);
      RefillList(ProfileList(side));
      if (side == DatabaseSide::VELD) DownloadAfterChange(false);
      return;
    }
    current_profile_ = before;
    database.LoadTestProfile(current_profile_);
    view_.FocusList(ProfileList(side));
  });
}

void CRapiTestDlg::OnDeleteTestProfiles() {
  RunCommand([&] {
    ProfileHooks hooks(*this);
    DeleteTestProfiles(Database(profile_side_), profile_side_, SelectedIds(ProfileList(profile_side_)),
                       current_profile_, services_.prompter, hooks);
  });
}

void CRapiTestDlg::OnTransferTestProfilesToPC() {
  if (profile_side_ != DatabaseSide::VELD) return;
  RunCommand([&] {
    ProfileHooks hooks(*this);
    TransferTestProfiles(veld_, pc_, DatabaseSide::PC, SelectedIds(WindowList::VeldProfiles), current_profile_,
                         hooks);
  });
}

void CRapiTestDlg::OnTransferTestProfilesToVELD() {
  if (profile_side_ != DatabaseSide::PC) return;
  RunCommand([&] {
    ProfileHooks hooks(*this);
    TransferTestProfiles(pc_, veld_, DatabaseSide::VELD, SelectedIds(WindowList::PcProfiles), current_profile_,
                         hooks);
  });
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
    if (!ApplyUUTImport(database, plan)) return;
    RefillList(UUTList(side));
    if (side == DatabaseSide::VELD) DownloadAfterChange(true);
    services_.prompter.Message(UUTImportSummary(plan, side, false));
  });
}

void CRapiTestDlg::OnExportUUTs() {
  RunCommand([&] {
    const DatabaseSide side = uut_side_;
    const std::optional<std::string> target = services_.save_as.AskSaveAs(HostPath(ProposedUUTExportPath(side)), "csv");
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
