// The main window's state and commands, driven as the widgets drive them, against a
// stand-in calibrator volume.

#include <gtest/gtest.h>

#include <tuple>

#include "app/about_box.h"
#include "database/data_root_lock.h"
#include "database/desktop_settings.h"
#include "reports/csv_export.h"
#include "reports/uut_csv.h"
#include "window_fixture.h"

namespace veld::test {
namespace {

// Table rows print as their names.
template <typename Case>
  requires requires(const Case& c) { c.name; }
void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

OleDateTime Morning() { return OleDateTime(2024, 3, 7, 8, 0, 0); }
OleDateTime Later() { return OleDateTime(2024, 3, 7, 9, 30, 0); }

UUT MakeUUT(const std::string& id, const std::string& type, double excitation) {
  UUT uut;
  uut.ID = id;
  uut.SetOutputType(type);
  uut.Excitation = excitation;
  return uut;
}

TEST_F(WindowTest, StartUpShowsEmptyListsAndPlaceholderPanelsUnlessLockedOut) {
  ASSERT_TRUE(window_->StartUp());
  for (WindowList list : kWindowLists) EXPECT_TRUE(view_.lists.count(list) && Shown(list).empty());
  EXPECT_TRUE(view_.combo.empty() && view_.rows.empty());
  EXPECT_EQ(view_.combo_selection, -1);
  EXPECT_TRUE(!view_.uut_panel.empty() && view_.uut_panel.find("UUT ID:") == std::string::npos);
  EXPECT_TRUE(!view_.profile_panel.empty() && view_.profile_panel.find("Test Profile ID:") == std::string::npos);
  EXPECT_EQ(window_->uut_side(), DatabaseSide::PC);
  EXPECT_TRUE(prompter_.entries.empty());

  window_->pc().SetSetting("LockedOut", "true");
  MakeWindow();
  EXPECT_FALSE(window_->StartUp());
  EXPECT_TRUE(view_.lists.empty() && prompter_.entries.empty());
}

// The status text of each stage is the command-line tests' (every connect there).
TEST_F(WindowTest, ConnectFillsTheFourListsTheComboAndShowsTheFirstRecords) {
  StartWithCalibrator();
  PutResult("PT-1_0001.DAT", "PT-1", true, Morning());
  PutResult("pt-1_0002.DAT", "pt-1", false, Later());
  PutResult("AB_0001.DAT", "AB", true, Morning());
  window_->pc().SaveUUT(MakeUUT("zeta", "CSOU", 24.0));
  window_->pc().SaveUUT(MakeUUT("Alpha", "CSOU", 24.0));

  window_->OnConnect();

  EXPECT_EQ(Shown(WindowList::PcUUTs), (std::vector<std::string>{"73950R5WB2DQ8C", "7395R25WB2DQ8C", "Alpha", "zeta"}));
  EXPECT_EQ(Shown(WindowList::VeldUUTs), (std::vector<std::string>{"73950R5WB2DQ8C", "7395R25WB2DQ8C"}));
  EXPECT_EQ(Shown(WindowList::PcProfiles).size(), 6u);
  EXPECT_EQ(Shown(WindowList::VeldProfiles).size(), 6u);
  // Letter case aside, one entry per UUT ID; nothing selected.
  EXPECT_EQ(view_.combo, (std::vector<std::string>{"AB", "PT-1"}));
  EXPECT_EQ(view_.combo_selection, -1);
  EXPECT_EQ(view_.uut_panel.rfind("UUT ID:\t\t73950R5WB2DQ8C\r\n", 0), 0u);
  EXPECT_EQ(view_.profile_panel.rfind("Test Profile ID:\t\t11pointtest\r\n", 0), 0u);
  EXPECT_EQ(view_.statuses.size(), 1u + 4u);  // start-up's empty box, then each stage
  // The three new result files counted up as they are copied, then the count put away.
  using Progress = std::vector<std::pair<size_t, size_t>>;
  EXPECT_EQ(view_.progress, (Progress{{0, 3}, {1, 3}, {2, 3}, {3, 3}, {0, 0}}));
  view_.progress.clear();
  window_->OnRefreshTestResults();  // nothing new: nothing to count
  EXPECT_EQ(view_.progress, (Progress{{0, 0}}));
  EXPECT_FALSE(view_.busy || window_->busy());
  EXPECT_TRUE(prompter_.entries.empty());
}

// Files listed but gone by the time they are copied (the calibrator taken away) are failed
// copies: nothing is created on either side, and the last status line says how many. A
// missing table keeps the mirror as it was; a missing result folder is said, and the
// sequence goes on.
TEST_F(WindowTest, FilesGoneFromTheDeviceMidConnectAreCountedNotCopiedEmpty) {
  StartWithCalibrator();
  for (const char* name : {"A_1.DAT", "A_2.DAT", "B_1.DAT", "B_2.DAT", "C_1.DAT"}) PutResult(name, "X", true, Morning());
  {
    // Opens 1 and 2 are the two tables, 3 and 4 the first results.
    ScopedVariable vanish(rapi::kVanishAtVariable, std::string("5"));
    EXPECT_FALSE(window_->OnConnect());
  }
  EXPECT_TRUE(view_.statuses.back().ends_with("\r\n3 files could not be copied from VELD.\r\n"));
  EXPECT_EQ(NamesIn(HostPath("C:\\VELD\\PC\\TestResults")), (Names{"A_1.DAT", "A_2.DAT"}));
  EXPECT_EQ(NamesIn(OnDevice(Veld("TestResults/DAT"))), (Names{"A_1.DAT", "A_2.DAT"}));
  EXPECT_EQ(prompter_.entries.size(), 3u);
  EXPECT_EQ(view_.combo, Names{"X"});

  const std::string mirror = ReadBytes(HostPath("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat"));
  fs::remove(OnDevice(Veld("UUT/UUTTable.DAT")));
  EXPECT_FALSE(window_->OnConnect());
  EXPECT_TRUE(view_.statuses.back().ends_with("\r\n1 file could not be copied from VELD.\r\n"));
  EXPECT_EQ(ReadBytes(HostPath("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat")), mirror);
  EXPECT_FALSE(fs::exists(OnDevice(Veld("UUT/UUTTable.DAT"))));
  EXPECT_EQ(prompter_.Texts().back(), "Could not copy Mounted_Volume\\VELD\\UUT\\UUTTable.DAT from VELD.  "
                                      "C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat was not changed.");

  PutOnDevice(Veld("UUT/UUTTable.DAT"), mirror);
  fs::remove_all(OnDevice(Veld("TestResults")));
  window_->OnConnect();
  EXPECT_EQ(prompter_.Texts().back(), "Cannot find any files in Mounted_Volume\\VELD\\TestResults\\DAT\\ folder!  "
                                      "Test results could not be uploaded.");
  EXPECT_TRUE(view_.statuses.back().ends_with("\r\nAll data uploaded from VELD.\r\n"));
  EXPECT_EQ(view_.combo, Names{"X"});
}

// What one list action does to the side flag and the panel.
struct ClickCase {
  const char* name;
  WindowList list;
  std::vector<std::string> rows;  // the rows selected after the action
  bool mouse;                     // a click, or a selection by keyboard
  DatabaseSide uut_side;          // expected afterwards
  const char* panel_id;           // the UUT the panel shows afterwards
};

class WindowClickTest : public WindowTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(WindowClickTest, OnlyAMouseClickSetsTheSideAndOnlyOneSelectedRowShowsItsRecord) {
  const ClickCase& c = GetParam();
  StartWithCalibrator();
  window_->pc().SaveUUT(MakeUUT("PC-ONLY", "4WIR", 12.0));
  window_->OnConnect();
  Click(WindowList::PcUUTs, {"PC-ONLY"});  // the panel shows a PC record, the flag says PC
  ASSERT_EQ(window_->current_uut().ID, "PC-ONLY");

  std::vector<int> rows;
  for (const std::string& id : c.rows) rows.push_back(RowOf(c.list, id));
  if (c.mouse) {
    window_->OnListClicked(c.list, rows);
  } else {
    window_->OnListSelectionChanged(c.list, rows);
  }
  EXPECT_EQ(window_->uut_side(), c.uut_side);
  EXPECT_EQ(window_->current_uut().ID, c.panel_id);
  EXPECT_NE(view_.uut_panel.find(std::string("UUT ID:\t\t") + c.panel_id + "\r\n"), std::string::npos);
  // A UUT list never moves the profile flag, nor a profile list the UUT flag.
  EXPECT_EQ(window_->profile_side(), c.list == WindowList::VeldProfiles ? DatabaseSide::VELD : DatabaseSide::PC);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, WindowClickTest,
    ::testing::Values(
        ClickCase{"OneVeldRow", WindowList::VeldUUTs, {"7395R25WB2DQ8C"}, true, DatabaseSide::VELD, "7395R25WB2DQ8C"},
        ClickCase{"EmptyPartOfVeldList", WindowList::VeldUUTs, {}, true, DatabaseSide::VELD, "PC-ONLY"},
        ClickCase{"TwoVeldRows", WindowList::VeldUUTs, {"73950R5WB2DQ8C", "7395R25WB2DQ8C"}, true,
                  DatabaseSide::VELD, "PC-ONLY"},
        ClickCase{"KeyboardInVeldList", WindowList::VeldUUTs, {"7395R25WB2DQ8C"}, false, DatabaseSide::PC,
                  "PC-ONLY"},
        ClickCase{"ProfileListLeavesTheUUTSide", WindowList::VeldProfiles, {"3pointtest"}, true, DatabaseSide::PC,
                  "PC-ONLY"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, ChoosingAUUTListsItsResultsAndRefreshKeepsTheChoiceWhileItHasResults) {
  StartWithCalibrator();
  PutResult("PT-1_0001.DAT", "PT-1", true, Morning());
  PutResult("PT-1_0002.DAT", "PT-1", false, Later());
  PutResult("AB_0001.DAT", "AB", true, Morning());
  window_->OnConnect();

  ChooseResultUUT("PT-1");  // what a row shows is the results index's test
  ASSERT_EQ(view_.rows.size(), 2u);
  EXPECT_EQ(view_.rows[1].file_name, "PT-1_0002.DAT");

  // New results arrive: refresh copies them, keeps PT-1 chosen and lists it again. A file
  // already on the desktop is never copied again.
  PutResult("PT-1_0003.DAT", "PT-1", true, Later());
  PutResult("NEW_0001.DAT", "NEW", true, Later());
  PutResult("AB_0001.DAT", "CHANGED", true, Later());
  window_->OnRefreshTestResults();
  EXPECT_EQ(view_.combo, (std::vector<std::string>{"AB", "NEW", "PT-1"}));
  EXPECT_EQ(view_.combo_selection, 2);
  EXPECT_EQ(view_.rows.size(), 3u);
  EXPECT_TRUE(window_->result_selection().empty());
  // Its results gone from both sides: the first UUT is chosen.
  for (const char* name : {"PT-1_0001.DAT", "PT-1_0002.DAT", "PT-1_0003.DAT"}) {
    fs::remove(HostPath(std::string("C:\\VELD\\PC\\TestResults\\") + name));
    fs::remove(OnDevice(Veld(std::string("TestResults/DAT/") + name)));
  }
  window_->OnRefreshTestResults();
  EXPECT_EQ(view_.combo, (std::vector<std::string>{"AB", "NEW"}));
  EXPECT_EQ(view_.combo_selection, 0);
}

// What the selection may hold is the collation's test.
TEST_F(WindowTest, PrintPrintsTheSelectedPair) {
  StartWithCalibrator();
  PutResult("PT-1_0001.DAT", "PT-1", true, Morning());
  PutResult("PT-1_0002.DAT", "PT-1", false, Later());
  window_->OnConnect();
  ChooseResultUUT("PT-1");
  SelectResults({"PT-1_0002.DAT", "PT-1_0001.DAT"});
  window_->OnPrint();
  ASSERT_EQ(printer_.printed.size(), 1u);
  const RecordingPrinter::Job& job = printer_.printed[0];
  // The demo result is in Pa: a factor of 1.
  EXPECT_EQ(std::tuple(job.uut_id, job.as_found_points, job.as_left_points, job.pressure_factor),
            std::tuple("PT-1", 5, 5, 1.0));
  EXPECT_TRUE(password_.prompts.empty());
}

TEST_F(WindowTest, ProtectedPrintingAsksForAPasswordAndALockDownClosesTheWindow) {
  StartWithCalibrator();
  PutResult("PT-1_0001.DAT", "PT-1", true, Morning());
  window_->pc().SetSetting("21CFRCompliantMode", "true");
  window_->pc().SetSetting("LockDownAttemptLimit", "1");
  window_->OnConnect();  // reads the settings record
  ChooseResultUUT("PT-1");
  SelectResults({"PT-1_0001.DAT"});

  window_->settings().LockedOut = true;  // locked out: protected printing does nothing
  window_->OnPrint();
  EXPECT_TRUE(password_.prompts.empty());
  window_->settings().LockedOut = false;

  password_.answers.push_back(Operator());
  window_->OnPrint();
  EXPECT_EQ(password_.prompts.size(), 1u);
  EXPECT_TRUE(printer_.printed.empty());
  EXPECT_TRUE(view_.closed);
}

// No change is made while another program changes the data. (veldane-cli holds the data
// root for its whole run, so only the window's own commands take it here.)
TEST_F(WindowTest, ChangesWaitForOtherPrograms) {
  StartWithCalibrator();
  window_->pc().SaveUUT(MakeUUT("NEW-1", "4WIR", 12.0));
  ASSERT_TRUE(window_->OnConnect());
  const std::string mirror = HostPath("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat");
  const std::string uploaded = ReadBytes(mirror);
  Click(WindowList::PcUUTs, {"NEW-1"});
  ScopedVariable short_wait("VELD_LOCK_WAIT_MS", std::string("50"));
  {
    std::optional<DataRootLock> other = DataRootLock::Acquire(std::chrono::milliseconds(0));
    ASSERT_TRUE(other);
    EXPECT_FALSE(window_->OnTransferUUTsToVELD());
    EXPECT_EQ(prompter_.Texts().back(), DataRootLock::kBusyMessage);
    EXPECT_EQ(ReadBytes(mirror), uploaded);
  }
  EXPECT_TRUE(window_->OnTransferUUTsToVELD());
  EXPECT_NE(ReadBytes(mirror), uploaded);
}

// A later session that cannot reach the calibrator (its VELD lists stay empty until a
// connect): every command that would change the mirror stops before its dialog, says so,
// and leaves both mirror tables as they were.
TEST_F(WindowTest, NoCommandChangesTheMirrorBeforeTheCalibratorIsReached) {
  StartWithCalibrator();
  ASSERT_TRUE(window_->OnConnect());
  const std::string uut_mirror = HostPath(layout::UUTTable(DatabaseSide::VELD));
  const std::string profile_mirror = HostPath(layout::ProfileTable(DatabaseSide::VELD));
  const std::string uuts_before = ReadBytes(uut_mirror);
  const std::string profiles_before = ReadBytes(profile_mirror);
  const std::string csv = temp_.root() + "/new.csv";
  WriteBytes(csv, BuildUUTCsv(window_->pc().ReadAllUUTs()) +
                      "NEW-1,,,,,3WIR,24,psi,0,100,VDC,0,5,0.25,0.5,5000,64,0.001,0.0001,3pointtest\r\n");
  open_file_.answer = csv;

  MakeWindow();
  CalibratorSearch nowhere;
  nowhere.mount_roots = {temp_.root() + "/no-mounts"};
  window_->SetCalibratorSearch(nowhere);
  ASSERT_TRUE(window_->StartUp());
  window_->pc().SaveUUT(MakeUUT("PC-1", "4WIR", 12.0));
  window_->RefillList(WindowList::PcUUTs);
  TestProfile profile;
  profile.ID = "P-1";
  window_->pc().SaveTestProfile(profile);
  window_->RefillList(WindowList::PcProfiles);
  const auto click_first = [&](WindowList list) {
    ASSERT_FALSE(window_->list(list).items.empty());
    window_->OnListClicked(list, {0});
  };
  const auto click_empty = [&](WindowList list) { window_->OnListClicked(list, {}); };
  const std::vector<std::pair<const char*, std::function<void()>>> commands = {
      {"new UUT", [&] { click_empty(WindowList::VeldUUTs); window_->OnNewUUT(); }},
      {"delete UUT", [&] { click_empty(WindowList::VeldUUTs); window_->OnDeleteUUTs(); }},
      {"import UUTs", [&] { click_empty(WindowList::VeldUUTs); window_->OnImportUUTs(); }},
      {"UUT transfer", [&] { click_first(WindowList::PcUUTs); window_->OnTransferUUTsToVELD(); }},
      {"new profile", [&] { click_empty(WindowList::VeldProfiles); window_->OnNewTestProfile(); }},
      {"delete profile", [&] { click_empty(WindowList::VeldProfiles); window_->OnDeleteTestProfiles(); }},
      {"profile transfer", [&] { click_first(WindowList::PcProfiles); window_->OnTransferTestProfilesToVELD(); }},
      {"UUT download", [&] { window_->OnDownloadUUTData(); }},
      {"profile download", [&] { window_->OnDownloadTestProfileData(); }},
  };
  for (const auto& [name, run] : commands) {
    SCOPED_TRACE(name);
    prompter_.entries.clear();
    run();
    ASSERT_FALSE(prompter_.entries.empty());
    EXPECT_EQ(prompter_.Texts().back(), CCorvaneRAPI::kUnableToConnectMessage);
  }
  EXPECT_TRUE(uut_editor_.calls.empty());
  EXPECT_TRUE(profile_editor_.calls.empty());
  EXPECT_EQ(ReadBytes(uut_mirror), uuts_before);
  EXPECT_EQ(ReadBytes(profile_mirror), profiles_before);
}

TEST_F(WindowTest, ExportChecksTheSelectionProposesTheNameAndWritesTheChosenFile) {
  StartWithCalibrator();
  PutResult("PT-1_0001.DAT", "PT-1", true, Morning());
  PutResult("PT-1_0002.DAT", "PT-1", false, Later());
  window_->OnConnect();
  ChooseResultUUT("PT-1");

  window_->OnExport();
  SelectResults({"PT-1_0001.DAT", "PT-1_0002.DAT"});
  window_->OnExport();
  EXPECT_EQ(prompter_.Texts(), (std::vector<std::string>{kExportNoSelectionMessage, kExportTooManyMessage}));
  EXPECT_TRUE(save_as_.proposals.empty());

  SelectResults({"PT-1_0002.DAT"});
  window_->OnExport();  // cancelled in the dialog: nothing written
  const std::string proposed = HostPath("C:\\VELD\\PC\\TestResults\\PT-1_0002");
  ASSERT_EQ(save_as_.proposals, std::vector<std::string>{proposed + "|csv"});
  EXPECT_FALSE(FileExists(proposed + ".csv"));

  save_as_.answer = temp_.root() + "/out.csv";
  window_->OnExport();
  TestResults expected;
  window_->pc().ReadTestResults(expected, "C:\\VELD\\PC\\TestResults\\PT-1_0002.DAT");
  EXPECT_EQ(ReadBytes(*save_as_.answer), BuildCsvExport(expected));
  EXPECT_FALSE(window_->records().as_found.AsFound);  // the As Found record holds the export
}

// Import and export work on the UUT list clicked last; an import into the VELD database
// is downloaded to the calibrator, and only after the user said Yes to what it will do.
TEST_F(WindowTest, UUTsImportAndExportOnTheSideClickedLast) {
  StartWithCalibrator();
  window_->OnConnect();
  window_->OnListClicked(WindowList::VeldUUTs, {});
  save_as_.answer = temp_.root() + "/veld.csv";
  window_->OnExportUUTs();
  ASSERT_EQ(save_as_.proposals, std::vector<std::string>{HostPath("C:\\VELD\\VELD\\UUT\\VELD UUTs.csv") + "|csv"});
  const std::string csv = ReadBytes(*save_as_.answer);  // its rows are the CSV's test
  EXPECT_EQ(prompter_.Texts().back(), "2 UUT profiles of the VELD database written to " + *save_as_.answer + ".");

  const std::string file = temp_.root() + "/new.csv";
  WriteBytes(file, csv + "NEW-1,,,,,3WIR,24,psi,0,100,VDC,0,5,0.25,0.5,5000,64,0.001,0.0001,3pointtest\r\n");
  open_file_.answer = file;
  prompter_.entries.clear();
  prompter_.answer_yes = false;
  window_->OnImportUUTs();  // No: nothing changes
  EXPECT_EQ(open_file_.asked, std::vector<std::string>{"Import UUTs|" + HostPath("C:\\VELD\\VELD\\UUT") + "|csv"});
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{"Import the UUT profiles of " + file +
                                                        " into the VELD database?\r\n\r\n1 will be created and 0 "
                                                        "updated; 2 are unchanged."});
  EXPECT_EQ(Shown(WindowList::VeldUUTs).size(), 2u);
  prompter_.answer_yes = true;
  window_->OnImportUUTs();
  EXPECT_EQ(prompter_.Texts().back(), "1 created, 0 updated, 2 unchanged in the VELD database.");
  EXPECT_EQ(Shown(WindowList::VeldUUTs), (std::vector<std::string>{"73950R5WB2DQ8C", "7395R25WB2DQ8C", "NEW-1"}));
  EXPECT_EQ(ReadBytes(OnDevice(Veld("UUT/UUTTable.DAT"))),
            ReadBytes(HostPath("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat")));

  // Into the PC database: a bad row refuses the whole file.
  window_->OnListClicked(WindowList::PcUUTs, {});
  WriteBytes(file, "ID,Accuracy\r\nA,1\r\nB,-1\r\n");
  prompter_.entries.clear();
  window_->OnImportUUTs();
  ASSERT_EQ(prompter_.entries.size(), 1u);
  EXPECT_EQ(prompter_.entries[0].icon, MessageIcon::Exclamation);
  EXPECT_TRUE(prompter_.entries[0].text.ends_with(
      "Line 3: Accuracy -1 is out of range. Please enter a number between 0 and 10000. (%FS).\r\n"));
  EXPECT_EQ(window_->pc().ReadAllUUTs().size(), 2u);
  open_file_.answer.reset();
  window_->OnImportUUTs();  // cancelled in the dialog
  EXPECT_EQ(prompter_.entries.size(), 1u);
}

TEST_F(WindowTest, CertificateHeaderDialogShowsTheStoredHeaderAndStoresWhatOKConfirms) {
  ASSERT_TRUE(window_->StartUp());
  certificate_header_.change = [](LabHeaderForm& form) {
    form.name = "Acme Calibration";
    form.address = "1 Gauge Road\r\nSpringfield\n";
  };
  window_->OnCertificateHeader();
  const LabHeader stored = DesktopSettingsStore().LoadLabHeader();
  EXPECT_EQ(stored, (LabHeader{"Acme Calibration", {"1 Gauge Road", "Springfield"}, {}, ""}));
  certificate_header_.change = [](LabHeaderForm& form) { form.name = "Changed"; };
  certificate_header_.confirm = false;
  window_->OnCertificateHeader();  // cancelled
  EXPECT_EQ(DesktopSettingsStore().LoadLabHeader(), stored);
  EXPECT_EQ(certificate_header_.names_shown, (std::vector<std::string>{"", "Acme Calibration"}));
  EXPECT_TRUE(prompter_.entries.empty());
}

// The texts' problems and the logo file's are the store's tests; the form keeps a refused
// logo out, splits its texts into the header's lines, asks a name of a header that has
// only a logo, and removes a logo.
TEST(LabHeaderFormTest, ALogoMustBeAnImageAndAHeaderWithOnlyALogoNeedsAName) {
  test::TempRoot temp;
  WriteBytes(temp.root() + "/logo.png", std::string("\x89PNG\r\n\x1a\n", 8) + "rest");
  WriteBytes(temp.root() + "/logo.gif", "GIF89a");
  LabHeaderForm form(LabHeader{}, "");
  EXPECT_FALSE(form.ChooseLogo(temp.root() + "/logo.gif"));
  EXPECT_EQ(form.LastLogoProblem(), temp.root() + "/logo.gif is neither a PNG nor a JPEG image.");
  EXPECT_TRUE(form.LogoPath().empty());
  ASSERT_TRUE(form.ChooseLogo(temp.root() + "/logo.png"));
  EXPECT_EQ(form.Problems(), "The laboratory's name is missing.");
  form.name = "Acme";
  form.accreditation = "one\ntwo\nthree";
  EXPECT_EQ(form.Problems(), "The accreditation text has more than 2 lines.");
  form.accreditation = "one";
  EXPECT_EQ(form.Problems(), "");
  std::filesystem::create_directories(HostPath("C:\\VELD\\PC\\System"));
  DesktopSettingsStore store;
  form.Save(store);
  EXPECT_EQ(store.LoadLabHeader().logo, "LabLogo.png");
  form.RemoveLogo();
  form.Save(store);
  EXPECT_FALSE(FileExists(HostPath("C:\\VELD\\PC\\System\\LabLogo.png")));
}

TEST_F(WindowTest, AdministratorStatesLiveForTheRunAndCancelKeepsClicks) {
  ASSERT_TRUE(window_->StartUp());
  window_->pc().SetSetting("OperatorChief", "Chief   A1234   secret  0101X");
  Operator chief;
  chief.Name = "Chief";
  chief.Password = "secret";

  password_.answers = {};  // cancelled: no dialog (what a cancel counts is the password check's test)
  window_->OnAdministrator();
  EXPECT_TRUE(administrator_.shown.empty());

  password_.answers = {chief};
  administrator_.clicks = {{PasswordConfigureForm::Box::CfrComp, true}};
  window_->OnAdministrator();
  password_.answers = {chief};
  window_->OnAdministrator();
  ASSERT_EQ(administrator_.shown.size(), 2u);
  EXPECT_FALSE(administrator_.shown[0].cfr_comp);
  EXPECT_TRUE(administrator_.shown[1].cfr_comp);  // the click outlived the dialog
  EXPECT_EQ(password_.prompts.front(), "Please enter adminstrator password for access to system settings.");

  MakeWindow();  // a restart
  ASSERT_TRUE(window_->StartUp());
  password_.answers = {chief};
  window_->OnAdministrator();
  EXPECT_FALSE(administrator_.shown.back().cfr_comp);
}

// --- Profile commands ------------------------------------------------------------------

class WindowProfileCommandTest : public WindowTest {
 protected:
  // PC UUTs A, B, C (accuracies 0.1, 0.2, 0.3), then Connect.
  void Connected() {
    StartWithCalibrator();
    for (const char* id : {"A", "B", "C"}) {
      UUT uut = MakeUUT(id, "CSOU", 24.0);
      uut.Accuracy = (id[0] - 'A' + 1) / 10.0;
      window_->pc().SaveUUT(uut);
    }
    window_->OnConnect();
    prompter_.entries.clear();
  }
  std::string DeviceUUTTable() { return ReadBytes(OnDevice(Veld("UUT/UUTTable.DAT"))); }
  std::string VeldUUTTable() { return ReadBytes(HostPath("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat")); }
  double StoredAccuracy(CDataBaseX& database, const std::string& id) {
    UUT uut;
    uut.ID = id;
    uut.Accuracy = -1.0;
    database.LoadUUT(uut);
    return uut.Accuracy;
  }
};

// Delete works on the list clicked last, not on a keyboard selection; with nothing
// selected it still refills and downloads.
TEST_F(WindowProfileCommandTest, DeleteWorksOnTheListClickedLast) {
  Connected();
  Click(WindowList::PcUUTs, {"A"});
  window_->OnListSelectionChanged(WindowList::VeldUUTs, {RowOf(WindowList::VeldUUTs, "7395R25WB2DQ8C")});
  window_->OnDeleteUUTs();
  EXPECT_EQ(Shown(WindowList::PcUUTs), (std::vector<std::string>{"73950R5WB2DQ8C", "7395R25WB2DQ8C", "B", "C"}));
  EXPECT_EQ(Shown(WindowList::VeldUUTs).size(), 2u);
  window_->OnListClicked(WindowList::VeldUUTs, {});
  PutOnDevice(Veld("UUT/UUTTable.DAT"), "stale");
  window_->OnDeleteUUTs();
  EXPECT_EQ(prompter_.Texts(), (std::vector<std::string>{DeleteUUTQuestion(DatabaseSide::PC),
                                                         DeleteUUTQuestion(DatabaseSide::VELD)}));
  EXPECT_EQ(Shown(WindowList::VeldUUTs).size(), 2u);
  EXPECT_EQ(DeviceUUTTable(), VeldUUTTable());
}

TEST_F(WindowProfileCommandTest, TransferStoresEverySelectedUUTAndLeavesTheLastCurrent) {
  Connected();
  Click(WindowList::PcUUTs, {"A", "B", "C"});
  window_->OnTransferUUTsToPC();  // the PC list was clicked last: nothing
  EXPECT_EQ(Shown(WindowList::VeldUUTs).size(), 2u);
  window_->OnTransferUUTsToVELD();
  EXPECT_EQ(Shown(WindowList::VeldUUTs), (std::vector<std::string>{"73950R5WB2DQ8C", "7395R25WB2DQ8C", "A", "B", "C"}));
  EXPECT_EQ(window_->current_uut().ID, "C");  // the records and the download are the profile commands' tests
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(WindowProfileCommandTest, EditStoresInTheSideClickedLastAndDownloads) {
  Connected();
  window_->OnEditUUT();
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{"Please select a profile to edit."});
  EXPECT_TRUE(uut_editor_.calls.empty());

  Click(WindowList::VeldUUTs, {"7395R25WB2DQ8C"});
  uut_editor_.change = [](UUT& uut) { uut.Accuracy = 0.75; };
  window_->OnEditUUT();
  ASSERT_EQ(uut_editor_.calls.size(), 1u);
  EXPECT_TRUE(uut_editor_.calls[0].id_locked);
  EXPECT_EQ(uut_editor_.calls[0].profile_ids, Shown(WindowList::VeldProfiles));
  EXPECT_EQ(StoredAccuracy(window_->veld(), "7395R25WB2DQ8C"), 0.75);
  EXPECT_EQ(StoredAccuracy(window_->pc(), "7395R25WB2DQ8C"), 1.0);
  EXPECT_EQ(DeviceUUTTable(), VeldUUTTable());
  EXPECT_EQ(view_.focused, WindowList::VeldUUTs);
}

// Cancel: the current UUT is the record as stored, or as it was before the dialog when
// the side does not hold it, never the dialog's changes.
struct CancelCase {
  const char* name;
  bool new_uut;
  bool other_side;  // the panel shows a PC UUT, the VELD list was clicked last
};

class WindowCancelTest : public WindowProfileCommandTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(WindowCancelTest, CancelLeavesNoneOfTheDialogsChanges) {
  Connected();
  Click(WindowList::PcUUTs, {"B"});
  if (GetParam().other_side) window_->OnListClicked(WindowList::VeldUUTs, {});
  const std::string pc_before = ReadBytes(HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat"));
  uut_editor_.change = [](UUT& uut) {
    uut.ID = "7395R25WB2DQ8C";
    uut.Accuracy = 9.0;
  };
  uut_editor_.confirm = false;
  if (GetParam().new_uut) {
    window_->OnNewUUT();
    EXPECT_EQ(uut_editor_.calls.at(0).id_shown, "");
    EXPECT_FALSE(uut_editor_.calls.at(0).id_locked);
  } else {
    window_->OnListSelectionChanged(WindowList::PcUUTs, {RowOf(WindowList::PcUUTs, "B")});
    window_->OnEditUUT();
  }
  EXPECT_EQ(window_->current_uut().ID, "B");
  EXPECT_EQ(window_->current_uut().Accuracy, 0.2);
  EXPECT_EQ(ReadBytes(HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat")), pc_before);
  EXPECT_EQ(view_.focused, GetParam().other_side ? WindowList::VeldUUTs : WindowList::PcUUTs);
}

INSTANTIATE_TEST_SUITE_P(Cancel, WindowCancelTest,
                         ::testing::Values(CancelCase{"New", true, false}, CancelCase{"Edit", false, false},
                                           CancelCase{"NewOnTheOtherSide", true, true},
                                           CancelCase{"EditOnTheOtherSide", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowProfileCommandTest, NewCustomProfileOnTheVeldSideGoesToTheCalibratorWithItsPoints) {
  Connected();
  window_->OnListClicked(WindowList::VeldProfiles, {});
  profile_editor_.change = [](TestProfile& profile) {
    profile.ID = "Mine";
    profile.ProfileType = "Custom";
    profile.NumberOfPoints = 3;
    profile.CustomPoints = {0.0, 0.4, 1.0};
  };
  window_->OnNewTestProfile();
  ASSERT_EQ(profile_editor_.calls.size(), 1u);
  EXPECT_FALSE(profile_editor_.calls[0].id_locked);
  EXPECT_EQ(Shown(WindowList::VeldProfiles).size(), 7u);
  EXPECT_EQ(ReadBytes(OnDevice(Veld("TestProfile/Mine_Custom.DAT"))).size(), 24u);
  EXPECT_EQ(ReadBytes(OnDevice(Veld("TestProfile/TestProfileTable.DAT"))),
            ReadBytes(HostPath("C:\\VELD\\VELD\\TestProfile\\TestProfileTable_PPCBK.dat")));

  // Cancelled edit of it: the stored points again, not the dialog's.
  Click(WindowList::VeldProfiles, {"Mine"});
  profile_editor_.change = [](TestProfile& profile) { profile.CustomPoints = {0.0, 0.9, 1.0}; };
  profile_editor_.confirm = false;
  window_->OnEditTestProfile();
  EXPECT_EQ(window_->current_profile().CustomPoints, (std::vector<double>{0.0, 0.4, 1.0}));
}

TEST(AboutBoxTest, TextIsBuiltAfreshAtEachOpening) {
  AboutBoxForm box;
  EXPECT_TRUE(box.revision_text().empty());
  box.Open();
  const std::string once = box.revision_text();
  box.Open();
  EXPECT_EQ(box.revision_text(), once);
  EXPECT_EQ(once.rfind("Revision:\tRevision Change Description:\r\n\r\n3.04\t\tFix for deleting profiles on VELD.", 0),
            0u);
}

}  // namespace
}  // namespace veld::test
