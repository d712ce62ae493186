// veldane-cli as a user runs it: every command in a child process, on a temporary root
// and a demo calibrator volume, with its exit status and exact output.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>

#include "database/database.h"
#include "platform/file_error.h"
#include "process.h"
#include "support/recording_prompter.h"
#include "support/result_file_writer.h"
#include "support/temp_root.h"

namespace veld {
namespace {
namespace fs = std::filesystem;
using test::ProcessResult;

constexpr const char* kConnectFailed =
    "Unable to connect to VELD.  Please verify that device is connected through ActiveSync.\n";
constexpr const char* kConnectStatus =
    "Uploading Unit Under Test database from VELD.\n"
    "Unit Under Test database uploaded from VELD.\n"
    "Uploading Test Profile database from VELD.\n"
    "Test Profile database uploaded from VELD.\n"
    "Uploading Test Results data files from VELD.\n"
    "All data uploaded from VELD.\n";
constexpr const char* kDemoResultUUTs = "DG-3001\nPS-4001\nPT-1001\nPT-1002\nTX-2001\nTX-2002\n";
constexpr const char* kBuiltInUUTs = "73950R5WB2DQ8C\n7395R25WB2DQ8C\n";

void ExpectRun(const ProcessResult& result, int status, const std::string& out, const std::string& err) {
  EXPECT_EQ(result.exit_status, status);
  EXPECT_EQ(result.out, out);
  EXPECT_EQ(result.err, err);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The child processes get a home folder of their own: Qt and fontconfig keep caches
// there when a certificate is drawn, and tests never touch the real one.
class ScopedHome {
 public:
  explicit ScopedHome(const std::string& home) {
    fs::create_directories(home + "/run");
    fs::permissions(home + "/run", fs::perms::owner_all, fs::perm_options::replace);
    Set("HOME", home);
    Set("XDG_CACHE_HOME", home + "/.cache");
    Set("XDG_RUNTIME_DIR", home + "/run");
  }
  ~ScopedHome() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }

 private:
  void Set(const std::string& name, const std::string& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    setenv(name.c_str(), value.c_str(), 1);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

class CliTest : public test::TempRootTest {
 protected:
  ScopedHome home_{temp_.root() + "/../home"};

  ProcessResult Cli(const std::vector<std::string>& args, const std::string& input = "") {
    return test::RunProcess(VELDANE_CLI, args, input);
  }
  void MakeDemoDevice() {
    const ProcessResult made = test::RunProcess(VELD_DEMO_VOLUME, {temp_.device()});
    ASSERT_EQ(made.exit_status, 0) << made.err;
  }
  void ConnectToDemo() {
    MakeDemoDevice();
    ExpectRun(Cli({"connect"}), 0, kConnectStatus, "");
  }
  // A device that is not there: the stand-in library cannot reach it.
  void UnplugDevice() { setenv("VELD_DEVICE", (temp_.root() + "/no-device").c_str(), 1); }

  std::string Root(const std::string& relative) const { return temp_.root() + "/" + relative; }
  std::string DeviceFile(const std::string& relative) const {
    return temp_.device() + "/Mounted_Volume/VELD/" + relative;
  }
  std::string ResultsFolder() const { return Root("VELD/PC/TestResults/"); }

  void SetPCSetting(const std::string& key, const std::string& value) {
    test::RecordingPrompter prompter;
    CDataBaseX pc(prompter);
    pc.SetDevice(0);
    pc.SetSetting(key, value);
  }
  std::string PCSetting(const std::string& key) {
    test::RecordingPrompter prompter;
    CDataBaseX pc(prompter);
    pc.SetDevice(0);
    return pc.GetSettingValue(key);
  }
};

// ---- command line --------------------------------------------------------------------

struct UsageCase {
  std::vector<std::string> args;
  std::string problem;
};

class CliUsageTest : public CliTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(CliUsageTest, RefusesWithStatus2BeforeStartingUp) {
  ExpectRun(Cli(GetParam().args), 2, "", "veldane-cli: " + GetParam().problem + "\nTry 'veldane-cli --help'.\n");
  EXPECT_FALSE(fs::exists(Root("VELD"))) << "a usage error must not create the folder tree";
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliUsageTest,
    ::testing::Values(UsageCase{{}, "no command given"}, UsageCase{{"frobnicate"}, "unknown command frobnicate"},
                      UsageCase{{"uuts", "--fast"}, "unknown option --fast"},
                      UsageCase{{"uut"}, "missing arguments for uut\nusage: veldane-cli [--yes] uut ID [--veld]"},
                      UsageCase{{"about", "x"}, "too many arguments for about\nusage: veldane-cli [--yes] about"},
                      UsageCase{{"transfer", "uut", "sideways", "A"}, "transfer needs to-veld|to-pc, not \"sideways\""},
                      UsageCase{{"delete", "gauge", "A"}, "delete needs uut|profile, not \"gauge\""},
                      UsageCase{{"export", "A.DAT", "--veld"}, "--veld does not apply to export"},
                      UsageCase{{"export", "A.DAT", "-o"}, "-o needs a value"},
                      UsageCase{{"certificate", "A.DAT"}, "certificate needs -o OUT.pdf"}));

TEST_F(CliTest, HelpDescribesEveryCommandAndEachCommandAlone) {
  const ProcessResult overview = Cli({"--help"});
  EXPECT_EQ(overview.exit_status, 0);
  EXPECT_EQ(overview.err, "");
  EXPECT_EQ(overview.out.rfind("usage: veldane-cli [--yes] COMMAND [ARGS]\n", 0), 0u);
  for (const char* synopsis : {"  init\n", "  connect\n", "  refresh\n", "  uuts [--veld]\n", "  uut ID [--veld]\n",
                               "  profiles [--veld]\n", "  transfer uut|profile to-veld|to-pc ID...\n",
                               "  delete uut|profile ID... [--veld]\n", "  download uut|profile\n",
                               "  results [UUTID]\n", "  export FILE [-o OUT]\n",
                               "  certificate FILE [FILE2] -o OUT.pdf\n", "  decode PARTNUMBER\n",
                               "  settings [--veld]\n", "  about\n"}) {
    EXPECT_NE(overview.out.find(synopsis), std::string::npos) << synopsis;
  }
  const ProcessResult one = Cli({"export", "--help"});
  EXPECT_EQ(one.exit_status, 0);
  EXPECT_EQ(one.out.rfind("usage: veldane-cli [--yes] export FILE [-o OUT]\n\n", 0), 0u);
  EXPECT_FALSE(fs::exists(Root("VELD")));
}

// ---- start-up ------------------------------------------------------------------------

TEST_F(CliTest, InitStartsUpSilentlyAndSettingsListsTheDefaultsInFileOrder) {
  ExpectRun(Cli({"init"}), 0, "", "");
  EXPECT_TRUE(fs::exists(Root("VELD/PC/UUT/UUTTable.dat")));
  EXPECT_TRUE(fs::exists(Root("VELD/PC/TestProfile/TestProfileTable.dat")));
  EXPECT_FALSE(fs::exists(Root("VELD/VELD/UUT/UUTTable_PPCBK.dat"))) << "the VELD database is never opened";

  const ProcessResult settings = Cli({"settings"});
  ASSERT_EQ(settings.exit_status, 0);
  const std::vector<std::string> lines = Lines(settings.out);
  ASSERT_EQ(lines.size(), 33u);
  EXPECT_EQ(lines[0], "UseTrendGraph_TestResults=false");
  EXPECT_EQ(lines[15], "=false");  // the empty key
  EXPECT_EQ(lines[17], "LockDownAttemptLimit=00000000000000000000000000000003");
  EXPECT_EQ(lines[32], "Default582-UseDefaults=true");
}

TEST_F(CliTest, ASettingsTableThatIsNotThereIsAFileErrorWithStatus1) {
  ExpectRun(Cli({"settings", "--veld"}), 1, "",
            temp_.root() + "/VELD/VELD/System/SystemDataTable_PPCBK.dat was not found.\n");
}

TEST_F(CliTest, EveryCommandExits3WhileTheSystemIsLockedOut) {
  ASSERT_EQ(Cli({"init"}).exit_status, 0);
  SetPCSetting("LockedOut", "true");
  for (const std::vector<std::string>& args : {std::vector<std::string>{"init"}, {"about"}, {"uuts"}}) {
    ExpectRun(Cli(args), 3, "", "System is locked out.\n");
  }
}

// ---- device synchronisation ----------------------------------------------------------

TEST_F(CliTest, ConnectPrintsTheStatusAndMirrorsTheCalibrator) {
  ConnectToDemo();
  EXPECT_EQ(test::ReadBytes(Root("VELD/VELD/UUT/UUTTable_PPCBK.DAT")), test::ReadBytes(DeviceFile("UUT/UUTTable.DAT")));
  EXPECT_EQ(test::ReadBytes(Root("VELD/VELD/TestProfile/Custom-4_Custom.DAT")),
            test::ReadBytes(DeviceFile("TestProfile/Custom-4_Custom.DAT")));
  EXPECT_FALSE(fs::exists(Root("VELD/VELD/TestProfile/TestProfileRecCount")));
  EXPECT_EQ(test::ReadBytes(ResultsFolder() + "TX-2002_0001.DAT"),
            test::ReadBytes(DeviceFile("TestResults/DAT/TX-2002_0001.DAT")));
}

TEST_F(CliTest, ConnectAndRefreshWithoutADeviceStopWithTheConnectMessage) {
  UnplugDevice();
  ExpectRun(Cli({"connect"}), 1, "", kConnectFailed);
  ExpectRun(Cli({"refresh"}), 1, "", kConnectFailed);
  EXPECT_TRUE(fs::is_empty(ResultsFolder()));
}

TEST_F(CliTest, RefreshCopiesNewResultsAndListsTheUUTsThatHaveResults) {
  MakeDemoDevice();
  ExpectRun(Cli({"refresh"}), 0, kDemoResultUUTs, "");
  EXPECT_TRUE(fs::exists(ResultsFolder() + "PS-4001_0001.DAT"));
}

// ---- lists and panels ----------------------------------------------------------------

TEST_F(CliTest, ListsAreSortedIgnoringCase) {
  ConnectToDemo();
  ExpectRun(Cli({"uuts"}), 0, kBuiltInUUTs, "");
  ExpectRun(Cli({"uuts", "--veld"}), 0,
            std::string(kBuiltInUUTs) + "DG-3001\nPS-4001\nPT-1001\nPT-1002\nTX-2001\nTX-2002\n", "");
  ExpectRun(Cli({"profiles", "--veld"}), 0,
            "11pointtest\n21pointtest\n3pointtest\n5pointtest\n6pointtest\n7pointtest\nBoth-Leak\nCustom-4\n", "");
}

TEST_F(CliTest, ListingTheVeldDatabaseBeforeAnyUploadIsAFileError) {
  ExpectRun(Cli({"uuts", "--veld"}), 1, "", temp_.root() + "/VELD/VELD/UUT/UUTTable_PPCBK.dat was not found.\n");
}

TEST_F(CliTest, UutShowsThePanelOfAnExternallyExcitedFourWireTransmitter) {
  ConnectToDemo();
  // -100 to 100 Pa, held as inches of water column (248.642103 Pa each).
  ExpectRun(Cli({"uut", "TX-2002", "--veld"}), 0,
            "UUT ID:\t\tTX-2002\n"
            "UUT Serial Number:\t\n"
            "UUT Manufacturer:\t\n"
            "UUT Model:\t\t\n"
            "UUT Type:\t\t4WIR\n"
            "Accuracy:\t\t0.500 (%FS)\n"
            "Re-Cal. Accuracy:\t0.250 (%FS)\n"
            "InputRange:\t\t-0.402 to 0.402 (Pa)\n"
            "OutputRange:\t\t0.000 to 10.000 (VDC)\n"
            "Settling Time:\t\t 5000 (ms)\n"
            "System Volume:\t\t64.000 (cu. in.)\n"
            "Excitation:\t\tEXTERNAL\n"
            "Req'd Ctrl Stability:\t0.0003 (Pa)\n"
            "Max Leak Rate:\t\t0.000300 (Pa/s)\n"
            "Default Test Profile:\t5pointtest\n",
            "");
  ExpectRun(Cli({"uut", "TX-2002"}), 1, "", "No UUT profile \"TX-2002\" in the PC database.\n");
}

TEST_F(CliTest, ProfileShowsThePanelAndThePointsAppliedToAUUT) {
  ConnectToDemo();
  // "Both" over 7 points: 0, 1/3, 2/3, 1, 2/3, 1/3, 0 of -250 to 250 Pa and 4 to 20 mA.
  ExpectRun(Cli({"profile", "Both-Leak", "--veld", "--uut", "PT-1001"}), 0,
            "Test Profile ID:\t\tBoth-Leak\n"
            "Profile Type:\t\tBoth\n"
            "Number Of Test Points:\t7\n"
            "Perform Leak Test?:\tYES\n"
            "  1\t0.00\t-250.0\t4.000\n"
            "  2\t33.33\t-83.3\t9.333\n"
            "  3\t66.67\t83.3\t14.667\n"
            "  4\t100.00\t250.0\t20.000\n"
            "  5\t66.67\t83.3\t14.667\n"
            "  6\t33.33\t-83.3\t9.333\n"
            "  7\t0.00\t-250.0\t4.000\n"
            "  L\t\t0.00030\t\n",
            "");
  ExpectRun(Cli({"profile", "Both-Leak"}), 1, "", "No test profile \"Both-Leak\" in the PC database.\n");
  ExpectRun(Cli({"profile", "Both-Leak", "--veld", "--uut", "NOPE"}), 1, "",
            "No UUT profile \"NOPE\" in the VELD database.\n");
}

TEST_F(CliTest, DecodeShowsTheDecodedUUTOrWhyNot) {
  const ProcessResult decoded = Cli({"decode", "7395r25wb2dq8c"});
  EXPECT_EQ(decoded.exit_status, 0);
  EXPECT_EQ(decoded.err, "");
  EXPECT_EQ(decoded.out.rfind("UUT ID:\t\t7395R25WB2DQ8C\n", 0), 0u);
  EXPECT_NE(decoded.out.find("\nUUT Type:\t\t3WIR\n"), std::string::npos);
  ExpectRun(Cli({"decode", "XYZ"}), 1, "", "Incomplete Korvo Smart Part Numer\n");
}

TEST_F(CliTest, AboutPrintsTheRevisionHistoryWithPlainNewlines) {
  const ProcessResult about = Cli({"about"});
  EXPECT_EQ(about.exit_status, 0);
  EXPECT_EQ(about.out.rfind("Revision:\tRevision Change Description:\n\n3.04\t\tFix for deleting profiles on VELD.\n", 0),
            0u);
  const std::string last = "\n3.00\t\tUpdate for new Veldane.\n\n";
  ASSERT_GE(about.out.size(), last.size());
  EXPECT_EQ(about.out.substr(about.out.size() - last.size()), last);
  EXPECT_EQ(about.out.find('\r'), std::string::npos);
}

// ---- transfer, delete, download ------------------------------------------------------

TEST_F(CliTest, TransferToThePCCopiesTheRecordsAsTheyAre) {
  ConnectToDemo();
  ExpectRun(Cli({"transfer", "uut", "to-pc", "TX-2002", "DG-3001"}), 0, "", "");
  ExpectRun(Cli({"uuts"}), 0, std::string(kBuiltInUUTs) + "DG-3001\nTX-2002\n", "");
  EXPECT_EQ(Cli({"uut", "TX-2002"}).out, Cli({"uut", "TX-2002", "--veld"}).out);

  ExpectRun(Cli({"transfer", "profile", "to-pc", "Custom-4"}), 0, "", "");
  EXPECT_EQ(test::ReadBytes(Root("VELD/PC/TestProfile/Custom-4_Custom.DAT")),
            test::ReadBytes(DeviceFile("TestProfile/Custom-4_Custom.DAT")));
}

TEST_F(CliTest, DeleteAndTransferToTheVeldDatabaseKeepTheCalibratorLikeItsMirror) {
  ConnectToDemo();
  ASSERT_EQ(Cli({"transfer", "uut", "to-pc", "PT-1001"}).exit_status, 0);
  const std::string mirror = Root("VELD/VELD/UUT/UUTTable_PPCBK.DAT");
  const std::string device = DeviceFile("UUT/UUTTable.DAT");

  ExpectRun(Cli({"--yes", "delete", "uut", "PT-1001", "--veld"}), 0, "", "");
  EXPECT_EQ(test::ReadBytes(device), test::ReadBytes(mirror));
  EXPECT_EQ(test::ReadBytes(device).size(), 7 * 568u);

  ExpectRun(Cli({"transfer", "uut", "to-veld", "PT-1001"}), 0, "", "");
  EXPECT_EQ(test::ReadBytes(device), test::ReadBytes(mirror));
  ExpectRun(Cli({"connect"}), 0, kConnectStatus, "");
  EXPECT_NE(Cli({"uuts", "--veld"}).out.find("\nPT-1001\n"), std::string::npos);
}

TEST_F(CliTest, DeleteWithoutYesPrintsTheQuestionAndKeepsTheRecord) {
  ASSERT_EQ(Cli({"init"}).exit_status, 0);
  ExpectRun(Cli({"delete", "uut", "7395R25WB2DQ8C"}), 1, "",
            "You are about to delete a Unit Under Test profile from the PC database.  Are you sure you want to do "
            "this?\n");
  ExpectRun(Cli({"uuts"}), 0, kBuiltInUUTs, "");
  ExpectRun(Cli({"--yes", "delete", "profile", "NOPE"}), 1, "", "No test profile \"NOPE\" in the PC database.\n");
}

TEST_F(CliTest, DeletingACustomProfileRemovesItsPointsFileWhateverWasShownBefore) {
  ConnectToDemo();
  // Show a standard profile first, as a window would have before the delete.
  ASSERT_EQ(Cli({"profile", "5pointtest", "--veld"}).exit_status, 0);
  ExpectRun(Cli({"delete", "profile", "Custom-4", "--veld", "--yes"}), 0, "", "");
  EXPECT_FALSE(fs::exists(Root("VELD/VELD/TestProfile/Custom-4_Custom.DAT")));
  EXPECT_EQ(test::ReadBytes(DeviceFile("TestProfile/TestProfileTable.DAT")).size(), 7 * 144u);
}

TEST_F(CliTest, ChangesForTheCalibratorNeedTheCalibrator) {
  ConnectToDemo();
  const std::string mirror = test::ReadBytes(Root("VELD/VELD/UUT/UUTTable_PPCBK.DAT"));
  UnplugDevice();
  ExpectRun(Cli({"download", "uut"}), 1, "", kConnectFailed);
  ExpectRun(Cli({"--yes", "delete", "uut", "PT-1001", "--veld"}), 1, "", kConnectFailed);
  EXPECT_EQ(test::ReadBytes(Root("VELD/VELD/UUT/UUTTable_PPCBK.DAT")), mirror) << "the mirror must not drift";
  ExpectRun(Cli({"transfer", "uut", "to-veld", "NOPE"}), 1, "", "No UUT profile \"NOPE\" in the PC database.\n");
}

TEST_F(CliTest, DownloadCopiesTheMirrorToTheCalibrator) {
  ConnectToDemo();
  const std::string table = DeviceFile("TestProfile/TestProfileTable.DAT");
  test::WriteBytes(table, "");  // the calibrator's copy lost
  ExpectRun(Cli({"download", "profile"}), 0, "", "");
  EXPECT_EQ(test::ReadBytes(table), test::ReadBytes(Root("VELD/VELD/TestProfile/TestProfileTable_PPCBK.DAT")));
}

// ---- results, export, certificate ----------------------------------------------------

TEST_F(CliTest, ResultsListsUUTsAndTheRowsOfOne) {
  ConnectToDemo();
  ExpectRun(Cli({"results"}), 0, kDemoResultUUTs, "");
  ExpectRun(Cli({"results", "TX-2001"}), 0,
            "06/17/2024 13:15:00\tAs Found\tFail\tTX-2001_0001.DAT\n"
            "06/18/2024 10:05:00\tAs Left\tPass\tTX-2001_0002.DAT\n",
            "");
  ExpectRun(Cli({"results", "NOPE"}), 0, "", "");
}

TEST_F(CliTest, AResultFileCutShortStopsTheListing) {
  ConnectToDemo();
  test::WriteBytes(ResultsFolder() + "AAA_0001.DAT", std::string(100, '\0'));
  ExpectRun(Cli({"results"}), 1, "", "An attempt was made to access " + ResultsFolder() + "AAA_0001.DAT past its end.\n");
}

TEST_F(CliTest, ExportWritesTheCsvBesideTheResultAndReplacesOnlyWithYes) {
  ConnectToDemo();
  const std::string csv = ResultsFolder() + "PT-1001_0001.csv";
  ExpectRun(Cli({"export", "PT-1001_0001.DAT"}), 0, csv + "\n", "");
  const std::vector<std::string> lines = Lines(test::ReadBytes(csv));
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(lines[1], "VELD-00931,01/15/2024,PM-20417,1\r");
  EXPECT_EQ(lines[4], "PT-1001,6/14/2024 8:0:0,As Found,Passed\r");
  // Point 1 read 4 mA + 0.013 %FS of 16 mA.
  EXPECT_EQ(lines[13], "1,-250.0000,4.0000,-250.0000,4.0021,P,0.0130\r");
  EXPECT_EQ(lines[20], "5pointtest,Ascending,5\r");

  test::WriteBytes(csv, "keep");
  ExpectRun(Cli({"export", "PT-1001_0001.DAT"}), 1, "", csv + " already exists.\nDo you want to replace it?\n");
  EXPECT_EQ(test::ReadBytes(csv), "keep");
  ExpectRun(Cli({"--yes", "export", "PT-1001_0001.DAT"}), 0, csv + "\n", "");
  EXPECT_NE(test::ReadBytes(csv), "keep");
}

TEST_F(CliTest, ExportTakesAPathAndRefusesAFileThatIsNotThere) {
  const std::string source = temp_.root() + "/elsewhere/LEAK_7.DAT";
  test::ResultFileDescription description = test::DefaultResultFileDescription();
  description.leak_test = true;
  description.leak_value = 0.0001;  // below MaxLeakRate 0.0003: the leak test fails
  test::WriteResultFile(source, description);
  const std::string out = temp_.root() + "/out.csv";
  ExpectRun(Cli({"export", source, "-o", out}), 0, out + "\n", "");
  const std::string csv = test::ReadBytes(out);
  EXPECT_NE(csv.find("PT-1001,6/14/2024 10:32:5,As Found,Failed\r\n"), std::string::npos);
  EXPECT_NE(csv.find("\r\nL,L_0.000300,,0.000100\r\n\r\nProfile ID"), std::string::npos);

  ExpectRun(Cli({"export", "NOPE_0001.DAT"}), 1, "", "NOPE_0001.DAT was not found.\n");
}

std::string PdfText(const std::string& pdf) {
  const std::string text = pdf + ".txt";
  const std::string command = "pdftotext -layout '" + pdf + "' '" + text + "'";
  if (std::system(command.c_str()) != 0) return {};
  return test::ReadBytes(text);
}

TEST_F(CliTest, CertificateOfAPairCarriesTheValuesOfBothResultFiles) {
  ConnectToDemo();
  const std::string pdf = temp_.root() + "/PT-1001.pdf";
  // The As Left row first: collation orders the pair by kind, not by row.
  ExpectRun(Cli({"certificate", "PT-1001_0002.DAT", "PT-1001_0001.DAT", "-o", pdf}), 0, pdf + "\n", "");
  const std::string text = PdfText(pdf);
  ASSERT_FALSE(text.empty()) << "pdftotext could not read " << pdf;
  for (const char* value : {"PT-1001", "SN-48213", "5pointtest", "06/14/2024 08:00", "VELD-00931", "PM-20417",
                            "4.0021",    // As Found, point 1: 4 mA + 0.013 %FS
                            "11.9987",   // As Found, point 3: 12 mA - 0.008 %FS
                            "4.0006",    // As Left, point 1: 4 mA + 0.004 %FS
                            "19.9995"})  // As Left, point 5: 20 mA - 0.003 %FS
  {
    EXPECT_NE(text.find(value), std::string::npos) << value;
  }
}

struct RefusedPair {
  std::string first, second, message;
};

class CliCollationTest : public CliTest, public ::testing::WithParamInterface<RefusedPair> {};

TEST_P(CliCollationTest, ARefusedPairPrintsNothing) {
  ConnectToDemo();
  const std::string pdf = temp_.root() + "/refused.pdf";
  ExpectRun(Cli({"certificate", GetParam().first, GetParam().second, "-o", pdf}), 1, "", GetParam().message);
  EXPECT_FALSE(fs::exists(pdf));
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliCollationTest,
    ::testing::Values(
        RefusedPair{"PT-1001_0001.DAT", "TX-2001_0001.DAT",
                    "Test Results selected for printing are both As Found\nCannot collate into a valid report!\n"},
        // Another UUT, tested four days later.
        RefusedPair{"PT-1001_0001.DAT", "TX-2001_0002.DAT",
                    "Unit Under Test profiles do not match for these test results.\n"
                    "Date/Time tested of AsLeft file occurs more than 24 hours after Date/Time tested of AsFound "
                    "file.\nCannot collate into a valid report!\n"}));

TEST_F(CliTest, CertificateNeedsFilesOfTheResultsFolder) {
  ConnectToDemo();
  const std::string outside = temp_.root() + "/PT-1001_0001.DAT";
  fs::copy_file(ResultsFolder() + "PT-1001_0001.DAT", outside);
  ExpectRun(Cli({"certificate", outside, "-o", temp_.root() + "/x.pdf"}), 1, "",
            outside + " is not in the results folder " + Root("VELD/PC/TestResults") + ".\n");
}

// ---- protected printing and lock-down ------------------------------------------------

class CliLockDownTest : public CliTest {
 protected:
  void SetUp() override {
    ConnectToDemo();
    SetPCSetting("21CFRCompliantMode", "true");
    SetPCSetting("OperatorChief", "Chief   ADM001  calib8  0101A");
  }
  ProcessResult Print(const std::string& typed) {
    return Cli({"--yes", "certificate", "PT-1001_0001.DAT", "PT-1001_0002.DAT", "-o", pdf_}, typed);
  }
  std::string pdf_ = temp_.root() + "/protected.pdf";
};

TEST_F(CliLockDownTest, TheRightPasswordPrintsAndEndOfInputCancels) {
  ExpectRun(Print(""), 1, "", "");
  ExpectRun(Print("Chief\nADM001\n"), 1, "", "");  // input ends before the password
  EXPECT_EQ(PCSetting("FailedPWAttemptCount"), "00000000000000000000000000000000") << "a cancel counts nothing";
  EXPECT_FALSE(fs::exists(pdf_));
  ExpectRun(Print("Chief\nADM001\ncalib8\n"), 0, pdf_ + "\n", "");
  EXPECT_EQ(PCSetting("FailedPWAttemptCount"), "0");
}

TEST_F(CliLockDownTest, ThreeWrongPasswordsLockTheSystemAndTheNextStartExits3) {
  ExpectRun(Print("Chief\nADM001\nwrong\n"), 1, "", "");
  ExpectRun(Print("Chief\r\nADM001\r\nCALIB8\r\n"), 1, "", "");  // letter case counts
  EXPECT_EQ(PCSetting("FailedPWAttemptCount"), "2");
  EXPECT_EQ(PCSetting("LockedOut"), "false");
  ExpectRun(Print("Nobody\nX9\ncalib8\n"), 3, "",
            "System is being locked down due to 3 failed password entry attempts.\n"
            "Please see system administrator for unlock.\n");
  EXPECT_FALSE(fs::exists(pdf_));
  ExpectRun(Cli({"init"}), 3, "", "System is locked out.\n");

  const std::string log = test::ReadBytes(Root("VELD/PC/System/SYSTEMLOG.DAT"));
  EXPECT_EQ(Lines(log).size(), 3u);
  EXPECT_NE(log.find("Operator ID#:  X9\r\n"), std::string::npos);
  EXPECT_EQ(log.find("calib8"), std::string::npos) << "typed passwords are never logged";
}

}  // namespace
}  // namespace veld
