#pragma once
// The main window without its widgets: everything the window owns for the run of the
// program (both databases, the device link, the settings record, the current UUT and test
// profile, the side flags, the result records, what its lists and combo hold and which of
// their rows are selected) and one command per control. A front end shows what the view
// interface is told and calls the commands when the user acts; the tests do the same with
// a recording view.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/calibrator_locator.h"
#include "app/main_view.h"
#include "app/password_dialogs.h"
#include "app/window_services.h"
#include "database/database.h"
#include "app/password_check.h"
#include "app/print_command.h"
#include "app/profile_commands.h"
#include "device/corvane_rapi.h"
#include "records/system_data.h"
#include "records/test_profile.h"
#include "records/uut.h"
#include "reports/collation.h"

namespace veld {

class ReportWindows;

inline constexpr const char* kLockedOutNotice = "System is locked out.";
inline constexpr const char* kProfileEditSelectionMessage = "Please select a profile to edit.";
inline constexpr const char* kExportNoSelectionMessage = "Please select a test result file to export.";
inline constexpr const char* kExportTooManyMessage =
    "Too many test results selected for collation into export file.  Please select 1 test result file only.";
inline constexpr const char* kNotACalibratorFolderMessage =
    "%s does not hold a calibrator volume: its root has no Mounted_Volume\\VELD folder.";

// The services through which the commands reach the user.
struct WindowServices {
  Prompter& prompter;
  PasswordEntry& password_entry;
  CertificatePrinter& printer;
  // The command-line tool has none of the dialogs below; without one, its commands do
  // nothing.
  SaveAsQuestion* save_as = nullptr;
  AdministratorDialog* administrator = nullptr;
  // The setup dialogs: EDIT and NEW.
  UUTEditor* uut_editor = nullptr;
  ProfileEditor* profile_editor = nullptr;
  // The chart, history and due dates windows; without them those buttons do nothing.
  ReportWindows* report_windows = nullptr;
  // Without these, "Import UUTs..." and "Certificate header..." do nothing.
  OpenFileQuestion* open_file = nullptr;
  CertificateHeaderDialog* certificate_header = nullptr;
};

class CRapiTestDlg {
 public:
  // The rows of one list and which of them are selected (ascending row numbers).
  struct ListState {
    std::vector<std::string> items;
    std::vector<int> selected;
  };

  CRapiTestDlg(MainView& view, const WindowServices& services);
  CRapiTestDlg(const CRapiTestDlg&) = delete;
  CRapiTestDlg& operator=(const CRapiTestDlg&) = delete;

  // Window initialisation: device flags, the settings record, the PC database opened with
  // its checks. False when the system is locked out: the window must not be shown.
  bool StartUp();

  // Every command that changes the data takes the data root's lock for its own length
  // (waiting its turn, or saying the data is busy). A caller that holds it already for
  // longer (the command-line tool, for its whole run) says so here.
  void SetHoldsDataRoot(bool held) { holds_data_root_ = held; }
  // Connects to the calibrator unless a Connect already has: a change of the mirror is
  // downloaded at once, and must not be made when it cannot be. False, after the message,
  // when the calibrator cannot be reached.
  bool RequireDevice();

  // Where Connect looks for the calibrator (default: $VELD_DEVICE at start, the usual
  // mount folders, no remembered folder).
  void SetCalibratorSearch(CalibratorSearch search) { calibrator_search_ = std::move(search); }
  // The "Calibrator folder..." command, with the folder the user chose: remembered when it
  // holds a calibrator volume, refused with a message otherwise.
  bool OnCalibratorFolderChosen(const std::string& folder, CalibratorFolderStore& store);
  const CalibratorSearch& calibrator_search() const { return calibrator_search_; }

  // --- What the user did to the lists --------------------------------------------------
  // A mouse click on a list (also on an empty part of it), with the rows selected after
  // the click: sets the side flag, shows the record of a single selected row.
  void OnListClicked(WindowList list, const std::vector<int>& selected_rows);
  // The selection changed by any means (the keyboard included): nothing else happens.
  void OnListSelectionChanged(WindowList list, const std::vector<int>& selected_rows);
  // An entry of the UUT ID combo was chosen (-1: none).
  void OnResultUUTChosen(int index);
  void OnResultSelectionChanged(const std::vector<int>& selected_rows);

  // --- Buttons ------------------------------------------------------------------------
  // The commands that change data say whether they did all they were asked: false when
  // they stopped on a message, a change was refused or a file could not be copied.
  bool OnConnect();
  bool OnRefreshTestResults();
  void OnPrint();
  void OnExport();
  void OnAdministrator();
  bool OnEditUUT();
  bool OnNewUUT();
  bool OnDeleteUUTs();
  bool OnTransferUUTsToPC();
  bool OnTransferUUTsToVELD();
  bool OnEditTestProfile();
  bool OnNewTestProfile();
  bool OnDeleteTestProfiles();
  bool OnTransferTestProfilesToPC();
  bool OnTransferTestProfilesToVELD();
  // The hidden "Download UUT Data" and "Download Test Profile Data" buttons.
  bool OnDownloadUUTData();
  bool OnDownloadTestProfileData();
  // The Print button on a selection of results (rows of the results list).
  PrintOutcome PrintResults(const std::vector<SelectedResult>& selected);
  // The error chart of the selected result or As Found/As Left pair, the drift history of
  // the UUT chosen in the UUT ID combo, the due dates of both databases' UUTs.
  void OnChart();
  void OnHistory();
  void OnDueDates();
  // The clock that says which day is today (default: the local time now).
  void SetClock(std::function<OleDateTime()> now) { now_ = std::move(now); }
  // The UUT profiles of the side clicked last, to and from a CSV file.
  void OnImportUUTs();
  void OnExportUUTs();
  // The laboratory header that certificates print, in the desktop's own settings.
  void OnCertificateHeader();

  // --- State --------------------------------------------------------------------------
  CDataBaseX& pc() { return pc_; }
  CDataBaseX& veld() { return veld_; }
  CDataBaseX& Database(DatabaseSide side) { return side == DatabaseSide::VELD ? veld_ : pc_; }
  CCorvaneRAPI& rapi() { return rapi_; }
  SystemData& settings() { return settings_; }
  UUT& current_uut() { return current_uut_; }
  TestProfile& current_profile() { return current_profile_; }
  DatabaseSide uut_side() const { return uut_side_; }
  DatabaseSide profile_side() const { return profile_side_; }
  const ListState& list(WindowList which) const { return lists_[Index(which)]; }
  const std::vector<std::string>& result_combo() const { return result_combo_; }
  const std::vector<ResultRow>& result_rows() const { return result_rows_; }
  const std::vector<int>& result_selection() const { return result_selection_; }
  const CollationRecords& records() const { return records_; }
  // True while a command runs; a second command is refused until it ends.
  bool busy() const { return busy_; }
  bool CanEditProfiles() const { return services_.uut_editor != nullptr && services_.profile_editor != nullptr; }

  // Refills one list from its database (the facade's list filling, sorted as the list
  // view sorts).
  void RefillList(WindowList list);
  // Lets the PC database refill the UUT ID combo from the result files; nothing selected.
  void RefillResultCombo();

 private:
  class SyncView;
  class ProfileHooks;
  class BusyScope;

  static size_t Index(WindowList list) { return static_cast<size_t>(list); }
  static bool IsUUTList(WindowList list) { return list == WindowList::PcUUTs || list == WindowList::VeldUUTs; }
  static DatabaseSide SideOf(WindowList list) {
    return list == WindowList::VeldUUTs || list == WindowList::VeldProfiles ? DatabaseSide::VELD : DatabaseSide::PC;
  }
  static WindowList UUTList(DatabaseSide side) {
    return side == DatabaseSide::VELD ? WindowList::VeldUUTs : WindowList::PcUUTs;
  }
  static WindowList ProfileList(DatabaseSide side) {
    return side == DatabaseSide::VELD ? WindowList::VeldProfiles : WindowList::PcProfiles;
  }

  // Runs a command: one at a time; a file error ends it and is shown. True when it did
  // what it was asked (the command's own answer, when it gives one) and copied every file.
  template <typename Command>
  bool RunCommand(Command&& command);
  // A change of the data root, under its lock.
  template <typename Change>
  bool WithDataRoot(Change&& change);
  bool CanChange(DatabaseSide side);
  // EDIT (true) or NEW (false) in the setup dialog of a UUT or a test profile.
  bool SetUpUUT(bool edit);
  bool SetUpTestProfile(bool edit);
  bool StoreUUT(DatabaseSide side);
  bool StoreTestProfile(DatabaseSide side);
  bool TransferUUTsBetween(DatabaseSide from, DatabaseSide to);
  bool TransferTestProfilesBetween(DatabaseSide from, DatabaseSide to);

  void ShowUUTOfRow(WindowList list, int row);
  void ShowProfileOfRow(WindowList list, int row);
  void ListResultsOfChosenUUT();
  std::vector<std::string> SelectedIds(WindowList list) const;
  std::vector<SelectedResult> SelectedResults() const;
  void PrepareCalibrator();
  void RunReportCommand(const std::function<void()>& command);

  MainView& view_;
  WindowServices services_;
  CDataBaseX pc_;
  CDataBaseX veld_;
  CCorvaneRAPI rapi_;
  DatabaseSide uut_side_ = DatabaseSide::PC;
  DatabaseSide profile_side_ = DatabaseSide::PC;
  CollationRecords records_;
  TestProfile current_profile_;
  UUT current_uut_;
  SystemData settings_;
  bool click_guard_ = false;
  bool busy_ = false;
  bool holds_data_root_ = false;
  bool device_ready_ = false;
  ListState lists_[4];
  std::vector<std::string> result_combo_;
  int result_combo_selection_ = -1;
  std::vector<ResultRow> result_rows_;
  std::vector<int> result_selection_;
  AdministratorChecks administrator_checks_;
  CalibratorSearch calibrator_search_;
  std::function<OleDateTime()> now_ = &OleDateTime::Now;
};

}  // namespace veld
